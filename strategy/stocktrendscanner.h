#pragma once

// Horizontal support and pressure lines, and rising support rays, in a daily
// series: a level that several earlier bars touched without the series ever
// closing through it. Scanners of this family run over relative series too,
// where prices may be zero or negative.

#include "analysis/stockscanner.h"

#include <QPair>
#include <QVector>

class AppConfig;

struct TrendParams
{
    int minIntervalDay = 3;   // trendMinIntervalDay: least distance in bars between two touches
    int minSpan = 15;         // trendMinSpan: least span of a ray
    float delta = 0.03f;      // trendDelta: tolerance in percent of the level
    float k = 0.05f;          // trendK: least slope of a ray, hundredths of a price unit per bar
    int nearDay = 3;          // trendNearDay: how close to the last bar a ray must end
    int minPoints = 3;        // trendMinPoints: least number of touches
    // trendType: which price of a bar counts; a value of no other mode
    // (0, 1, 2, 4) counts the mean of open and close, as this one does
    static constexpr int averageType = 3;
    int type = averageType;

    static TrendParams fromConfig(const AppConfig& config);
};

// Bar index and price of one touch.
using TrendPoint = QPair<int, float>;

class StockTrendScanner : public StockScanner
{
    Q_OBJECT
public:
    explicit StockTrendScanner(const TrendParams& params = TrendParams());

    int category() const override;
    // -1 with fewer than 10 bars, else 0 after finding the body extremes.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
    // A rising support ray through body bottoms ending near the last bar:
    // 0 with its touches in points, -1 otherwise.
    int scanSlopedLine(const QString& code, const QVector<Stock>& bars, QStringList* out);

    // The price of bar i that counts for a support or a pressure line.
    float supportPick(int i) const;
    float pressurePick(int i) const;

    QVector<TrendPoint> points;
    QVector<Stock> bars;
    int lowIndex = 0;
    float lowValue = 99999.0f;
    int highIndex = 0;
    float highValue = 0.0f;

protected:
    // Touches of `level`, newest first; empty when a bar breaks through it.
    QVector<TrendPoint> touches(float level, bool support) const;
    // Tries the levels pick(last) x factor in order; 0 on the first with
    // enough touches.
    int horizontalScan(const QString& code, const QVector<Stock>& series, QStringList* out,
                       std::initializer_list<float> factors, bool support);

    const TrendParams params;

private:
    // One ray from bar s to bar e; on failure *breakBar is the bar that broke it (or -1).
    bool tryRay(int s, int e, int* breakBar);
};

class StockHorizontalBraceScanner final : public StockTrendScanner
{
    Q_OBJECT
public:
    using StockTrendScanner::StockTrendScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

class StockHorizontalStressScanner final : public StockTrendScanner
{
    Q_OBJECT
public:
    using StockTrendScanner::StockTrendScanner;
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 0 support, 1 pressure; null for any other type. The caller owns it.
StockTrendScanner* createTrendScanner(int type, const TrendParams& params = TrendParams());
