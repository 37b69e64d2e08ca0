#include "analysis/indicatorscanners.h"

#include "analysis/indicatorfeed.h"
#include "core/seriesutils.h"

using indicatorfeed::lastResults;
using indicatorfeed::lastWindowed;

namespace {

// A cross needs four valid values: an average that is not valid yet reads as 0,
// and a line "crossing" that 0 is no event.
bool allValid(const IndicatorResult& a, const IndicatorResult& b, const IndicatorResult& c,
              const IndicatorResult& d)
{
    return a.valid && b.valid && c.valid && d.valid;
}

// +1 when fast crossed above slow on the last bar, -1 when below, else 0.
int crossDirection(const IndicatorResult& fastPrev, const IndicatorResult& fastLast,
                   const IndicatorResult& slowPrev, const IndicatorResult& slowLast)
{
    if (!allValid(fastPrev, fastLast, slowPrev, slowLast))
        return 0;
    if (fastLast.first > slowLast.first && fastPrev.first < slowPrev.first)
        return 1;
    if (fastLast.first < slowLast.first && fastPrev.first > slowPrev.first)
        return -1;
    return 0;
}

// The two-decimal percent of a gap; false when the base price cannot carry a
// percentage (a bar without prices).
bool gapPercent(float gap, float base, QString* text)
{
    if (!(base > 0))
        return false;
    *text = QString::number(gap / base * 100, 'f', 2);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------

StockMaNScanner::StockMaNScanner(QObject* parent) : StockScanner(parent) {}

int StockMaNScanner::category() const
{
    return TrendScannerCategory;
}

int StockMaNScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    if (bars.size() < 20)
        return -1;
    const auto fast = lastWindowed(ma5, 5, bars, 2);
    const auto slow = lastWindowed(ma10, 10, bars, 2);
    switch (crossDirection(fast[0], fast[1], slow[0], slow[1])) {
    case 1:
        appendComment(out, QStringLiteral("5,10日均线金叉"));
        return 0;
    case -1:
        appendComment(out, QStringLiteral("5,10日均线死叉"));
        return 1;
    default:
        return -1;
    }
}

// ---------------------------------------------------------------------------

StockMACDScanner::StockMACDScanner(QObject* parent) : StockScanner(parent) {}

int StockMACDScanner::category() const
{
    return TrendScannerCategory;
}

int StockMACDScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    if (bars.size() < 31)
        return -1;
    const auto r = lastResults(macd, bars, 0, 3);
    const float diff2 = r[0].second, dea2 = r[0].third;
    const float diff1 = r[1].second, dea1 = r[1].third;
    const float diff0 = r[2].second, dea0 = r[2].third;
    if (diff1 < dea1 && dea0 < diff0) {
        appendComment(out, QStringLiteral("MACD金叉"));
        return 0;
    }
    if (dea1 < diff1 && diff0 < dea0) {
        appendComment(out, QStringLiteral("MACD死叉"));
        return 1;
    }
    // The gap between DIFF and DEA narrowed and widened again while DIFF stayed above.
    const bool narrowedThenWidened = diff1 - dea1 < diff0 - dea0 && diff1 - dea1 < diff2 - dea2;
    if (narrowedThenWidened && diff0 > dea0 && diff1 > dea1 && diff2 > dea2) {
        appendComment(out, QStringLiteral("MACD支撑"));
        return 0;
    }
    return -1;
}

// ---------------------------------------------------------------------------

StockVolScanner::StockVolScanner(QObject* parent) : StockScanner(parent) {}

int StockVolScanner::category() const
{
    return VolumeScannerCategory;
}

int StockVolScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 20)
        return -1;
    const auto v5 = lastWindowed(vma5, 5, bars, 2);
    const auto v10 = lastWindowed(vma10, 10, bars, 2);
    const auto v60 = lastWindowed(vma60, 60, bars, 2);
    const int cross510 = crossDirection(v5[0], v5[1], v10[0], v10[1]);
    const int cross1060 = crossDirection(v10[0], v10[1], v60[0], v60[1]);

    if (cross510 == 1 && cross1060 == 1) {
        appendComment(out, QStringLiteral("5,10日成交量金叉"));
        appendComment(out, QStringLiteral("10,60日成交量金叉"));
        return 0;
    }
    if (cross510 == 1) {
        appendComment(out, QStringLiteral("5,10日成交量金叉"));
        return 1;
    }
    if (cross510 == -1 && cross1060 == -1) {
        appendComment(out, QStringLiteral("5,10日成交量死叉"));
        appendComment(out, QStringLiteral("10,60日成交量死叉"));
        return 1;
    }
    if (cross1060 == 1) {
        appendComment(out, QStringLiteral("10,60日成交量金叉"));
        return 1;
    }
    if (cross1060 == -1) {
        appendComment(out, QStringLiteral("10,60日成交量死叉"));
        return 1;
    }
    // The surge compares [n-21, n-1] with [n-41, n-21]; a shorter series has no
    // earlier period to compare with.
    if (n < 41)
        return -1;
    const double recent = rangeAverage(bars, n - 21, n - 1, 1);
    const double before = rangeAverage(bars, n - 41, n - 21, 1);
    if (recent > 3.0 * before) {
        appendComment(out, QStringLiteral("近20日放量"));
        return 1;
    }
    return -1;
}

int volumeLevel(const QString&, const QVector<Stock>& bars, QString* text)
{
    if (bars.size() < 6)
        return -1;
    VolMaNIndicator vma5(5);
    const float m = lastWindowed(vma5, 5, bars, 1).back().first;
    const float v = bars.last().volume;
    int level = 2;
    QString name = QStringLiteral("成交量放量");
    if (v < 0.86 * m) {
        level = 1;
        name = QStringLiteral("成交量缩量");
    } else if (v <= 1.162 * m) {
        level = 0;
        name = QStringLiteral("成交量平量");
    }
    if (text)
        *text = name;
    return level;
}

// ---------------------------------------------------------------------------

BreachScanner::BreachScanner(QObject* parent) : StockScanner(parent) {}

int BreachScanner::category() const
{
    return BreachScannerCategory;
}

int BreachScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 5)
        return -1;
    const Stock& d0 = bars.at(n - 1);
    const Stock& d1 = bars.at(n - 2);
    QString percent;
    if (d0.low > d1.high) {
        if (!gapPercent(d0.low - d1.high, d1.high, &percent))
            return -1;
        appendComment(out, QStringLiteral("看涨缺口幅度:%1").arg(percent));
        return 0;
    }
    if (d0.high < d1.low) {
        if (!gapPercent(d1.low - d0.high, d0.high, &percent))
            return -1;
        appendComment(out, QStringLiteral("看跌缺口幅度:%1").arg(percent));
        return 1;
    }
    return -1;
}

// ---------------------------------------------------------------------------

StockKDJScanner::StockKDJScanner(QObject* parent) : StockScanner(parent) {}

int StockKDJScanner::category() const
{
    return KdjScannerCategory;
}

int StockKDJScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    if (bars.size() < 12)
        return -1;
    const auto r = lastResults(kdj, bars, 0, 2);
    const float kPrev = r[0].first, dPrev = r[0].second;
    const float k = r[1].first, d = r[1].second;
    const bool goldenCross = kPrev < dPrev && k > d;
    const bool deathCross = kPrev > dPrev && k < d;

    struct Row { bool holds; const char* text; int level; };
    const Row rows[] = {
        {goldenCross && k >= 43 && k <= 57, "DJ中线金叉", 3},
        {k < 23 && d < 23 && goldenCross, "KDJ超卖金叉", 5},
        {k > 80 && d > 80 && deathCross, "KDJ超买死叉", 6},
        {deathCross, "KDJ死叉", 4},
        {k < 23 && d < 23, "KDJ超卖", 1},
        {k >= 80 && d >= 80, "KDJ超买", 2},
    };
    for (const Row& row : rows) {
        if (row.holds) {
            appendComment(out, QString::fromUtf8(row.text));
            return row.level;
        }
    }
    return -1;
}

// ---------------------------------------------------------------------------

PricePositionScanner::PricePositionScanner(QObject* parent) : StockScanner(parent) {}

int PricePositionScanner::category() const
{
    return PricePositionScannerCategory;
}

int PricePositionScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int n = bars.size();
    if (n < 61)
        return -1;
    const int last = n - 1;
    float extreme = 0;
    float before = 0;
    if (highestIndex(bars, n - 61, last, &extreme, true) == last) {
        if (highestIndex(bars, n - 61, n - 2, &before, true) < 0)
            return -1;
        appendComment(out, QStringLiteral("60日新高,前60日最高:%1").arg(QString::number(before, 'g', 6)));
        return 0;
    }
    if (lowestIndex(bars, n - 61, last, &extreme, true) != last)
        return -1;
    if (lowestIndex(bars, n - 61, n - 2, &before, true) < 0)
        return -1;
    appendComment(out, QStringLiteral("60日新低,前60日最低:%1").arg(QString::number(before, 'g', 6)));
    return 0;
}

// ---------------------------------------------------------------------------

LianDieNDaysScanner::LianDieNDaysScanner(int n, QObject* parent) : StockScanner(parent), n(n) {}

int LianDieNDaysScanner::category() const
{
    return NoScannerCategory;
}

int LianDieNDaysScanner::scan(const QString&, const QVector<Stock>& bars, QStringList* out)
{
    const int count = bars.size();
    if (n < 1 || count <= n)
        return -1;
    for (int i = count - n; i < count; ++i) {
        const Stock& bar = bars.at(i);
        if (!(bar.close < bar.open && bar.close < bars.at(i - 1).close))
            return -1;
    }
    appendComment(out, QStringLiteral("连跌%1天反弹可期").arg(n));
    return 0;
}
