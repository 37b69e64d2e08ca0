#include "strategy/bidscoring.h"

#include "analysis/candlepatterns.h"
#include "analysis/indicators.h"
#include "analysis/shapescanners.h"
#include "datasource/storedhistory.h"

#include <QDebug>

#include <cmath>

namespace {

constexpr int kMailLines = 4;
constexpr int kAuctionScore = 60;
constexpr int kMinimumBars = 10;

} // namespace

bool storedHistoryEndsBullish(const QString& path)
{
    QString name;
    return hasBullishKPattern(readHistoryFile(path), &name, false);
}

double truncatedChangePercent(const Stock& stock)
{
    if (!(stock.preClose > 0.0f))
        return 0.0;
    const double p = (double(stock.close) - double(stock.preClose)) * 100.0 / double(stock.preClose);
    if (!std::isfinite(p))
        return 0.0;
    return std::trunc(p * 100.0) / 100.0;
}

QStringList bidMailLines(const QVector<Stock>& scored)
{
    QStringList lines;
    for (const Stock& s : scored) {
        lines << QStringLiteral("代码%1,股票%2,推荐度:%3,开价:%4,所属板块:%5,涨幅:%6%")
                     .arg(s.code, s.name)
                     .arg(s.bidScore)
                     .arg(QString::number(double(s.close), 'g', 6), s.industry,
                          QString::number(truncatedChangePercent(s), 'g', 6));
        if (lines.size() >= kMailLines || s.bidScore < kAuctionScore)
            break;
    }
    return lines;
}

int bidHistoryScore(const QString& path, const QStringList& codeList, const QStringList& reductionCodes)
{
    const QVector<Stock> bars = readHistoryFile(path);
    if (bars.isEmpty())
        qDebug() << "load file:" << path << ",failed";
    if (bars.size() < kMinimumBars)
        return 0;
    const QString code = historyCode(path);

    BollIndicator boll;
    IndicatorResult lastBoll;
    QVector<Stock> kept;
    kept.reserve(bars.size());
    for (const Stock& bar : bars) {
        if (!(bar.close > 0.01f))
            continue;
        lastBoll = boll.update(bar);
        kept.append(bar);
    }

    int score = 0;
    if (lastBoll.valid && !kept.isEmpty()) {
        const float upper = lastBoll.first + lastBoll.second - lastBoll.third;
        if (kept.last().close > upper)
            score += 6;
    }
    if (codeList.contains(code))
        score += 2;
    if (reductionCodes.contains(code))
        score -= 32;

    // Each scanner judges the stock on its own, with a fresh comment list.
    auto reports = [&](StockScanner&& scanner, int signal) {
        QStringList comments;
        return scanner.scan(code, kept, &comments) == signal;
    };
    if (reports(StockMShapeScanner(), 1))
        score -= 36;
    if (reports(StockDuanTouChaDaoScanner(), 1))
        score -= 36;
    if (reports(StockGaoWeiHengPanScanner(), 1))
        score -= 36;
    if (reports(StockDiWeiHengPanScanner(), 0))
        score += 2;
    return score;
}
