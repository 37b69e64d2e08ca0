#pragma once

// Scanners that turn indicator values and simple price facts of a stock's daily
// bars into comments: moving-average, MACD and volume crosses, volume surges,
// KDJ zones, price gaps, new 60-day extremes and runs of falling days.
//
// Each scanner resets its indicators at the start of a scan, so one object can
// be reused for every stock of a market. A rule that would have to look before
// the first bar, or compare against an indicator value that is not valid yet,
// gives no signal (-1).

#include "analysis/indicators.h"
#include "analysis/stockscanner.h"

// MA5 crossing MA10 on the last bar.
class StockMaNScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockMaNScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 golden cross, 1 death cross; needs 20 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MaNIndicator ma5{5};
    MaNIndicator ma10{10};
};

// DIFF against DEA: crosses, and a narrowing gap that widens again above DEA.
class StockMACDScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockMACDScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 golden cross or support, 1 death cross; needs 31 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MacdIndicator macd;
};

// Crosses of the 5-, 10- and 60-day volume averages and a 20-day volume surge.
class StockVolScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockVolScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 only for the double golden cross, 1 for every other text; needs 20 bars.
    // The surge compares the last 20 days with the 20 before, so it needs 41.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    VolMaNIndicator vma5{5};
    VolMaNIndicator vma10{10};
    VolMaNIndicator vma60{60};
};

// The last bar's volume against its 5-day average (which includes it):
// 1 "成交量缩量", 0 "成交量平量", 2 "成交量放量"; -1 with fewer than 6 bars,
// *text untouched. code is not read.
int volumeLevel(const QString& code, const QVector<Stock>& bars, QString* text);

// A price gap between the last two bars.
class BreachScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit BreachScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 upward gap, 1 downward gap, with the gap in percent; needs 5 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// KDJ crosses and overbought/oversold zones.
class StockKDJScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockKDJScanner(QObject* parent = nullptr);

    int category() const override;
    // 3 middle golden cross, 5 oversold golden cross, 6 overbought death cross,
    // 4 death cross, 1 oversold, 2 overbought; needs 12 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    KDJIndicator kdj;
};

// A new 60-day high or low on the last bar.
class PricePositionScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit PricePositionScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 with the previous 60 days' extreme in the text. The last bar is compared
    // with the 60 before it, so 61 bars are needed.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// A run of n falling days: each of the last n bars closes below its open and
// below the close before it.
class LianDieNDaysScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit LianDieNDaysScanner(int n, QObject* parent = nullptr);

    int category() const override;
    // 0 on a run; needs n + 1 bars. A run length below 1 never signals.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    int n = 1;
};
