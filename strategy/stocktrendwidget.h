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

class StockTrendConfig;

class StockTrendWidget final : public StrategyScanPageOf<TrendParams, StockTrendConfig>
{
    Q_OBJECT
public:
    explicit StockTrendWidget(QWidget* parent = nullptr);

public slots:
    void onClick(QListWidgetItem* item) override;
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
