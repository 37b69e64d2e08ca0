#include "datasource/stocktushareinterface.h"

#include "core/textutils.h"

#include <algorithm>

QStringList StockTuShareInterface::urls(const QStringList&)
{
    return QStringList();
}

QVector<Stock> StockTuShareInterface::parse(const QString& text, const QString& code)
{
    QVector<Stock> bars;
    for (const QString& line : splitLines(text)) {
        const QStringList items = line.split(',', Qt::KeepEmptyParts);
        if (items.size() != 7)
            break;
        Stock bar;
        bar.code = code;
        bar.date = items.at(0);
        bar.open = items.at(1).toFloat();
        bar.high = items.at(2).toFloat();
        bar.close = items.at(3).toFloat();
        bar.low = items.at(4).toFloat();
        bar.volume = float(items.at(5).toDouble() * 0.0001);
        bar.amount = float(items.at(6).toDouble() * 0.0001);
        bars.append(bar);
    }
    // The files list the newest day first; series run oldest first.
    std::reverse(bars.begin(), bars.end());
    return bars;
}

void StockTuShareInterface::setParameter(int, const QString&) {}
