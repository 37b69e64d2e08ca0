#pragma once

// The new-stock Fibonacci page: lists the stored histories of recently listed
// stocks that show the chosen set-up, and draws a clicked code with the
// set-up's lines. The index "399678" heads every result list and is drawn
// plain, as the market's yardstick for new stocks.

#include "strategy/fibonaccistrategy.h"
#include "strategy/strategyscanpage.h"

#include <QDialog>

class QDoubleSpinBox;
class QSpinBox;
class SettingsForm;

// The worker's per-file callback: true when the history at `key` shows set-up
// `kind` (settings as scanHotStockFile takes them).
bool scanNewStockFile(const QString& key, const QString& value, int kind);

class StockNewStockFibonacciConfig;

class StockNewStockFibonacciWidget final
    : public StrategyScanPageOf<NewStockFibonacciParams, StockNewStockFibonacciConfig>
{
    Q_OBJECT
public:
    explicit StockNewStockFibonacciWidget(QWidget* parent = nullptr);

public slots:
    void onClick(QListWidgetItem* item) override;
    void do399678(QString code);

protected:
    void fillListHead() override;
};

class StockNewStockFibonacciConfig final : public QDialog
{
    Q_OBJECT
public:
    explicit StockNewStockFibonacciConfig(QWidget* parent = nullptr);

    QDoubleSpinBox* deltaSpin = nullptr;
    QSpinBox* spanSpin = nullptr;
    QSpinBox* maxDaysSpin = nullptr;

public slots:
    void onConfig();

private:
    SettingsForm* form;
};
