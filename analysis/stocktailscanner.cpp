#include "analysis/stocktailscanner.h"

#include "analysis/candlepatterns.h"

StockTailScanner::StockTailScanner(QObject* parent) : StockScanner(parent) {}

int StockTailScanner::category() const
{
    return TailScannerCategory;
}

int StockTailScanner::scan(const QString&, const QVector<Stock>& bars, QStringList*)
{
    QString name;
    return hasBullishKPattern(bars, &name, false) ? 0 : -1;
}

bool StockTailScanner::isCandidate(const Stock& quote)
{
    if (!(quote.changePercent <= 6.5) || !(quote.close > quote.open))
        return false;
    if (quote.name.contains(QLatin1Char('*')))
        return false;
    // A quote without an open price (not traded yet) has no body to measure.
    if (!(quote.open > 0))
        return false;
    const float body = quote.close - quote.open;
    const float bodyPercent = body / quote.open * 100;
    if (bodyPercent < 2.2 || bodyPercent > 6.2)
        return false;
    const float shadows = (quote.high - quote.close) + (quote.open - quote.low);
    return shadows <= body * 0.33;
}
