#pragma once

// "智能画线": lists the stored histories that have a horizontal support or
// pressure line and draws the support line of a clicked code over its chart.
// The scanners see the relative series of a history, so levels compare in
// cumulative tenths of a percent rather than in prices.

#include "strategy/stocktrendscanner.h"
#include "strategy/strategyscanpage.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class SettingsForm;

// The worker's per-file callback: true when the history at `key` has a line
// of type `kind` (0 support, 1 pressure; other types have no scanner).
bool scanTrendFile(const QString& key, const QString& value, int kind);

class StockTrendWidget final : public StrategyScanPage
{
    Q_OBJECT
public:
    explicit StockTrendWidget(QWidget* parent = nullptr);
    ~StockTrendWidget() override;

    TrendParams scanParams;

public slots:
    void onClick(QListWidgetItem* item);
    void onClickRadioButton1();
    void onClickRadioButton2();
    void onClickRadioButton3();
    void onClickRadioButton4();
    void onConfig();

protected:
    void takeScanSettings() override;
};

class StockTrendConfig final : public QDialog
{
    Q_OBJECT
public:
    explicit StockTrendConfig(QWidget* parent = nullptr);

    QSpinBox* minIntervalSpin = nullptr;
    QSpinBox* minSpanSpin = nullptr;
    QDoubleSpinBox* deltaSpin = nullptr;
    QDoubleSpinBox* kSpin = nullptr;
    QSpinBox* nearDaySpin = nullptr;
    QSpinBox* minPointsSpin = nullptr;
    QComboBox* typeCombo = nullptr;

public slots:
    void onConfig();

private:
    SettingsForm* form;
};
