#include "strategy/stocktrendscanner.h"

#include "core/appconfig.h"

#include <algorithm>
#include <cmath>

TrendParams TrendParams::fromConfig(const AppConfig& config)
{
    TrendParams p;
    p.minIntervalDay = config.trendMinIntervalDay;
    p.minSpan = config.trendMinSpan;
    p.delta = config.trendDelta;
    p.k = config.trendK;
    p.nearDay = config.trendNearDay;
    p.minPoints = config.trendMinPoints;
    p.type = config.trendType;
    return p;
}

StockTrendScanner::StockTrendScanner(const TrendParams& params)
    : params(params)
{
}

int StockTrendScanner::category() const
{
    return TrendLineScannerCategory;
}

int StockTrendScanner::scan(const QString&, const QVector<Stock>& series, QStringList*)
{
    if (series.size() < 10)
        return -1;
    bars = series;
    points.clear();
    lowIndex = highIndex = 0;
    lowValue = 99999.0f;
    highValue = 0.0f;
    for (int i = 0; i < bars.size(); ++i) {
        const Stock& bar = bars.at(i);
        const float top = std::max(bar.open, bar.close);
        const float bottom = std::min(bar.open, bar.close);
        if (top > highValue) {
            highValue = top;
            highIndex = i;
        }
        if (bottom < lowValue) {
            lowValue = bottom;
            lowIndex = i;
        }
    }
    return 0;
}

// Mode 0 is the close and mode 1 the open, as the settings dialog names them
// ("收盘价", "开盘价"): a stored choice means what the user picked.
float StockTrendScanner::supportPick(int i) const
{
    const Stock& bar = bars.at(i);
    switch (params.type) {
    case 0: return bar.close;
    case 1: return bar.open;
    case 2: return std::min(bar.open, bar.close);
    case 4: return bar.low;
    default: return (bar.open + bar.close) / 2;
    }
}

float StockTrendScanner::pressurePick(int i) const
{
    const Stock& bar = bars.at(i);
    switch (params.type) {
    case 0: return bar.close;
    case 1: return bar.open;
    case 2: return std::max(bar.open, bar.close);
    case 4: return bar.high;
    default: return (bar.open + bar.close) / 2;
    }
}

QVector<TrendPoint> StockTrendScanner::touches(float level, bool support) const
{
    const float tolerance = params.delta * std::fabs(level) * 0.01f;
    QVector<TrendPoint> found;
    for (int i = bars.size() - 1; i >= 0; --i) {
        const float pick = support ? supportPick(i) : pressurePick(i);
        if (std::fabs(pick - level) < tolerance) {
            if (found.isEmpty() || found.last().first - i >= params.minIntervalDay)
                found.append({i, pick});
        } else if (support ? pick < level : pick > level) {
            return {};
        }
    }
    return found;
}

int StockTrendScanner::horizontalScan(const QString& code, const QVector<Stock>& series, QStringList* out,
                                      std::initializer_list<float> factors, bool support)
{
    if (StockTrendScanner::scan(code, series, out) != 0)
        return -1;
    const int last = bars.size() - 1;
    const float pick = support ? supportPick(last) : pressurePick(last);
    for (float factor : factors) {
        const QVector<TrendPoint> found = touches(pick * factor, support);
        if (found.size() >= params.minPoints) {
            points = found;
            return 0;
        }
    }
    return -1;
}

int StockHorizontalBraceScanner::scan(const QString& code, const QVector<Stock>& series, QStringList* out)
{
    return horizontalScan(code, series, out, {1.0f, 0.98f, 0.94f, 0.92f, 0.90f}, true);
}

int StockHorizontalStressScanner::scan(const QString& code, const QVector<Stock>& series, QStringList* out)
{
    return horizontalScan(code, series, out, {1.0f, 1.02f, 1.04f, 1.06f, 1.08f}, false);
}

int StockTrendScanner::scanSlopedLine(const QString& code, const QVector<Stock>& series, QStringList* out)
{
    if (StockTrendScanner::scan(code, series, out) != 0 || series.size() < 25)
        return -1;
    const int n = bars.size();
    const int last = n - 1;
    int s = 1;
    while (s < n - 10) {
        for (int k = 0; k <= params.nearDay; ++k) {
            int breakBar = -1;
            if (tryRay(s, last - k, &breakBar))
                return 0;
            if (breakBar > s)
                s = breakBar;
        }
        ++s;
    }
    return -1;
}

bool StockTrendScanner::tryRay(int s, int e, int* breakBar)
{
    *breakBar = -1;
    // A break can move the start onto or past the end: no ray there.
    if (s < 0 || e <= s || e >= bars.size())
        return false;
    const float ys = std::min(bars.at(s).open, bars.at(s).close);
    const float ye = std::min(bars.at(e).open, bars.at(e).close);
    const float m = (ye - ys) / (e - s);
    const float c = ys - m * s;
    const float norm = std::sqrt(1 + m * m);
    auto distance = [&](int i) { return (supportPick(i) - m * i - c) / norm; };
    if (!(m >= params.k * 0.01f) || !(ys < ye))
        return false;

    QVector<int> hits;
    for (int i = s + 1; i < e; ++i) {
        const float p = supportPick(i);
        const float d = distance(i);
        if (d < -p * params.delta * 0.01f) {
            *breakBar = i;
            return false;
        }
        if (std::fabs(d) < p * params.delta * 0.0001f
            && (hits.isEmpty() || i - hits.last() > params.minIntervalDay))
            hits.append(i);
    }
    const int last = bars.size() - 1;
    if (hits.size() < params.minPoints || hits.last() - hits.first() < params.minSpan)
        return false;
    if (!(supportPick(hits.first() - 1) > supportPick(hits.first())))
        return false;
    if (!(std::fabs(distance(last)) < supportPick(last) * params.delta * 0.01f))
        return false;

    points.clear();
    for (int i : hits)
        points.append({i, params.type == 5 ? pressurePick(i) : supportPick(i)});
    return true;
}

StockTrendScanner* createTrendScanner(int type, const TrendParams& params)
{
    switch (type) {
    case 0: return new StockHorizontalBraceScanner(params);
    case 1: return new StockHorizontalStressScanner(params);
    default: return nullptr;
    }
}
