#pragma once

// "绑定插件": lists the loaded add-ons by their introduction, shows the details
// of the chosen one and binds it for the rest of the run.

#include <QDialog>

class QComboBox;
class QPushButton;
class QTextEdit;

class StockAddonSetting final : public QDialog
{
    Q_OBJECT
public:
    explicit StockAddonSetting(QWidget* parent = nullptr);

public slots:
    void onConfig();
    void onChangeAddon(int index);

private:
    // Sizes the dialog for the details shown.
    void fitToDetails();

    QTextEdit* details = nullptr;
    QComboBox* addons = nullptr;
    QPushButton* bindButton = nullptr;
};
