#pragma once

// Bars and K-line response bodies for the chart tests, checks of the price
// axis.

#include "core/stock.h"

#include <qcustomplot.h>

#include <QDate>
#include <QDir>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <random>

namespace chartfixtures {

// `n` bars of a stock that trades like a real one: a random walk of about 2%
// a day around 12 yuan, opens near the previous close, shadows on both sides,
// on trading days only. The same seed gives the same bars.
inline QVector<Stock> realisticBars(int n, const QString& code = QStringLiteral("000001"), unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> move(0.002f, 0.02f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    QVector<Stock> bars;
    QDate date(2019, 1, 2);
    float previousClose = 12.0f;
    for (int i = 0; i < n; ++i) {
        while (date.dayOfWeek() > 5)
            date = date.addDays(1);
        Stock bar;
        bar.code = code;
        bar.date = date.toString("yyyy-MM-dd");
        bar.open = previousClose * (1 + (unit(random) - 0.5f) * 0.01f);
        bar.close = previousClose * (1 + move(random));
        bar.high = qMax(bar.open, bar.close) * (1 + unit(random) * 0.015f);
        bar.low = qMin(bar.open, bar.close) * (1 - unit(random) * 0.015f);
        bar.volume = 300000 + unit(random) * 600000;
        previousClose = bar.close;
        bars << bar;
        date = date.addDays(1);
    }
    return bars;
}

// Simple bars for exact checks: close of bar i (1-based) is i.
inline QVector<Stock> countingBars(int n, const QString& code = QStringLiteral("000001"))
{
    QVector<Stock> bars;
    for (int i = 1; i <= n; ++i) {
        Stock bar;
        bar.code = code;
        bar.open = i - 0.5f;
        bar.close = i;
        bar.high = i + 0.5f;
        bar.low = i - 1.0f;
        bar.volume = 1000.0f * i;
        bars << bar;
    }
    return bars;
}

// The K-line service's answer for `bars`.
inline QString klineBody(const QVector<Stock>& bars, const QString& requestCode)
{
    QStringList rows;
    for (const Stock& bar : bars) {
        rows << QStringLiteral("[\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"]")
                    .arg(bar.date)
                    .arg(bar.open, 0, 'f', 2)
                    .arg(bar.close, 0, 'f', 2)
                    .arg(bar.high, 0, 'f', 2)
                    .arg(bar.low, 0, 'f', 2)
                    .arg(bar.volume, 0, 'f', 2);
    }
    return QStringLiteral("{\"code\":0,\"msg\":\"\",\"data\":{\"%1\":{\"day\":[%2],\"qt\":{}}}}")
        .arg(requestCode, rows.join(","));
}

// Empty when the price axis around a flat `price` spans at least 0.2 and
// shows two or more distinct tick labels; else what is wrong with it.
inline QString flatPriceAxisFault(QCPAxis* axis, double price)
{
    const QCPRange range = axis->range();
    if (range.size() < 0.2 || !range.contains(price))
        return QString("range %1 .. %2").arg(range.lower, 0, 'g', 10).arg(range.upper, 0, 'g', 10);
    const QVector<QString> labels = axis->tickVectorLabels();
    const QSet<QString> distinct(labels.begin(), labels.end());
    if (labels.size() < 2 || distinct.size() != labels.size())
        return "ticks " + QStringList(labels.toList()).join(' ');
    return QString();
}

// Empty when the price axis's rectangle takes more than half of
// `chartHeight` and its shown tick labels lie a line apart at least; else
// what is wrong with it.
inline QString crowdedPriceAxisFault(QCPAxis* axis, int chartHeight)
{
    if (2 * axis->axisRect()->height() <= chartHeight)
        return QString("prices %1 of %2 pixels").arg(axis->axisRect()->height()).arg(chartHeight);
    const int labelHeight = QFontMetrics(axis->tickLabelFont()).height();
    QVector<double> shown;
    for (double tick : axis->tickVector()) {
        if (axis->range().contains(tick))
            shown << axis->coordToPixel(tick);
    }
    if (shown.size() < 2)
        return QString("%1 tick labels").arg(shown.size());
    for (int i = 1; i < shown.size(); ++i) {
        if (qAbs(shown.at(i) - shown.at(i - 1)) < labelHeight)
            return QString("tick labels %1 pixels apart").arg(qAbs(shown.at(i) - shown.at(i - 1)));
    }
    return QString();
}


} // namespace chartfixtures
