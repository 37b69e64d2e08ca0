#pragma once

// The settings dialog: a frame of settings tabs (the call-auction settings).
// Each tab writes its values into the settings record itself, so the dialog
// only closes.

#include <QDialog>

class QTabWidget;

class VorelStockConfigDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit VorelStockConfigDialog(QWidget* parent = nullptr);

    QTabWidget* tabs = nullptr;

private slots:
    void onClose();
};
