#pragma once

// A list with the buttons of a condition editor. What a condition is has not
// been settled, so the buttons do nothing yet.

#include <QWidget>

class QListWidget;

class ConditionBox final : public QWidget
{
    Q_OBJECT
public:
    explicit ConditionBox(QWidget* parent = nullptr);

private slots:
    void onAdd();
    void onDelete();
    void onLoad();
    void onSave();
    void onSearch();

private:
    QListWidget* list = nullptr;
};
