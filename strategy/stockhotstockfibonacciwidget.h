#pragma once

// "高抛低吸": lists the stored histories that show the chosen hot-stock
// Fibonacci set-up and draws the set-up of a clicked code. The codes of the
// last finished scan are also written to the file "list".

#include "strategy/fibonaccistrategy.h"
#include "strategy/strategyscanpage.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;
class SettingsForm;

// The worker's per-file callback: true when the history at `key` shows set-up
// `kind`. It reads the settings its page took before the scan started, never
// the settings record (currentScanParams), so it runs only on a page's worker.
bool scanHotStockFile(const QString& key, const QString& value, int kind);

class StockHotStockFibonacciConfig;

class StockHotStockFibonacciWidget final
    : public StrategyScanPageOf<HotStockFibonacciParams, StockHotStockFibonacciConfig>
{
    Q_OBJECT
public:
    explicit StockHotStockFibonacciWidget(QWidget* parent = nullptr);

public slots:
    void onClick(QListWidgetItem* item) override;
};

class StockHotStockFibonacciConfig final : public QDialog
{
    Q_OBJECT
public:
    explicit StockHotStockFibonacciConfig(QWidget* parent = nullptr);

    QCheckBox* hotCheck = nullptr;
    QDoubleSpinBox* deltaSpin = nullptr;      // E
    QDoubleSpinBox* volRatioSpin = nullptr;   // R
    QSpinBox* spanSpin = nullptr;             // S
    QSpinBox* daysSpin = nullptr;             // D
    QSpinBox* fallDaysSpin = nullptr;         // F
    QSpinBox* minSwingSpin = nullptr;         // M

public slots:
    void onConfig();

private:
    void loadSettings();

    SettingsForm* form;
};
