#pragma once

// The Fibonacci swing set-ups of the "高抛低吸" page and of the new-stock page.
// A scanner looks at one daily series: it finds a recent swing high and low,
// tests the swing against a Fibonacci level (or a breakout), a candle pattern,
// the volume level and the KDJ state, and leaves three horizontal lines for
// the K-line chart. A scanner object scans one series only.
//
// The parameters travel by value: the pages copy them from the settings record
// before a scan starts, so a worker never reads settings that the dialog is
// changing.

#include "analysis/stockscanner.h"
#include "addon/stockindicator.h"
#include "core/chartline.h"

#include <QVector>

class AppConfig;

// The turns of the span-bar average close over the whole series.
struct MaTurns
{
    int count = 1;        // 1 + number of turns
    bool rising = true;   // direction after the last turn
};

// Counts where the average changes direction; equal neighbours change nothing.
// *turns (when given) gets the bar indices of the turns.
MaTurns countMaTurns(const QVector<Stock>& bars, int span, QVector<int>* turns);

// ---------------------------------------------------------------------------
// Hot stocks

struct HotStockFibonacciParams
{
    bool volumeTest = false;   // fibonacciHotStock
    int days = 20;             // fibonacciHotStockDays (D)
    float volRatio = 3.0f;     // fibonacciHotStockVolRatio (R)
    float delta = 1.2f;        // fibonacciHotStockDelta (E, percent)
    int span = 6;              // fibonacciHotStockSpan (S)
    int maxFallDays = 9;       // fibonacciHotStockMaxFallDays (F)
    int minSwing = 12;         // fibonacciHotStockMinSwing (M, percent)

    static HotStockFibonacciParams fromConfig(const AppConfig& config);
};

class StockHotStockFibonacciScanner : public StockScanner
{
    Q_OBJECT
public:
    explicit StockHotStockFibonacciScanner(const HotStockFibonacciParams& params = HotStockFibonacciParams());

    int category() const override;
    // The common gate of every variant: length, optional volume expansion and
    // at least three turns of the average. 0 passes, -1 fails.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

    ChartLine line1;
    ChartLine line2;
    ChartLine line3;
    int turnCount = 0;
    bool rising = true;
    QVector<IndicatorResult> ma5;
    QVector<int> turns;

protected:
    // The last 5-bar average close (0 before a scan).
    float lastMa5() const;
    // Sets the three lines across the last 60 bars of a series of n bars.
    void setLines(int n, const QColor& colour, float v1, float v2, float v3);

    const HotStockFibonacciParams params;
};

// 上升趋势调整买入
class StockHotStockFbibonacciScanner_TIAOZHENGMAIRU final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 上升趋势升破买入
class StockHotStockFbibonacciScanner_ShengPoMAIRU final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 下降趋势反弹卖出
class StockHotStockFbibonacciScanner_FanTanMaiChu final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 下降跌破卖出
class StockHotStockFbibonacciScanner_DIEPOMAICHU final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 下降趋势反转买入
class StockHotStockFbibonacciScanner_FANZHUANMAIRU final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 上涨趋势反转卖出
class StockHotStockFbibonacciScanner_FANZHUANMAICHU final : public StockHotStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockHotStockFibonacciScanner::StockHotStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// The variant of type 0 to 5; null for any other type. The caller owns it.
StockHotStockFibonacciScanner* createFibonacciScanner(
    int type, const HotStockFibonacciParams& params = HotStockFibonacciParams());

// ---------------------------------------------------------------------------
// New stocks

struct NewStockFibonacciParams
{
    float delta = 1.2f;   // fibonacciNewStockDelta (E, percent)
    int span = 5;         // fibonacciNewStockSpan (S)
    int maxDays = 90;     // fibonacciNewStockMaxDays (X)

    static NewStockFibonacciParams fromConfig(const AppConfig& config);
};

class StockNewStockFibonacciScanner : public StockScanner
{
    Q_OBJECT
public:
    explicit StockNewStockFibonacciScanner(const NewStockFibonacciParams& params = NewStockFibonacciParams());

    int category() const override;
    // The base alone signals nothing.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

    ChartLine line1;
    ChartLine line2;
    ChartLine line3;

protected:
    // The steps shared by types 0 to 2: length, turns (wantedCount), extremes
    // over the first `extent` bars and a first bar that is the lowest.
    // -1 or 0; *high, *highIndex and *low are set on 0.
    int swing(const QVector<Stock>& bars, int minBars, int wantedCount, bool beforeSecondTurn,
              bool dropLastTwo, float* high, int* highIndex, float* low);
    void setLines(int n, int highIndex, float high, float low, float level3);
    // The level test of types 0 and 2: the last close within delta percent of
    // a retracement level of the swing. Sets the lines, the third at that
    // level, and adds the level's text; false without a level.
    bool closeAtLevel(const QVector<Stock>& bars, int highIndex, float high, float low, QStringList* out);

    const NewStockFibonacciParams params;
};

// 调整买入
class StockNewStockFbibonacciScanner_TIAOZHENGMAIRU final : public StockNewStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockNewStockFibonacciScanner::StockNewStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 升破买入
class StockNewStockFbibonacciScanner_ShengPoMAIRU final : public StockNewStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockNewStockFibonacciScanner::StockNewStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 反弹卖出
class StockNewStockFbibonacciScanner_FanTanMaiChu final : public StockNewStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockNewStockFibonacciScanner::StockNewStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 跌破卖出: every new stock of 6 bars or more.
class StockNewStockFbibonacciScanner_DIEPOMAICHU final : public StockNewStockFibonacciScanner
{
    Q_OBJECT
public:
    using StockNewStockFibonacciScanner::StockNewStockFibonacciScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// The variant of type 0 to 3; null for any other type. The caller owns it.
StockNewStockFibonacciScanner* createNewStockFibonacciScanner(
    int type, const NewStockFibonacciParams& params = NewStockFibonacciParams());
