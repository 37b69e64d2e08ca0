#include "datasource/stockqqhistoryinterface.h"

#include "core/fileutils.h"
#include "core/textutils.h"
#include "datasource/httpget.h"
#include "datasource/providerhosts.h"


namespace {

const QStringList kAdjustments { "bfq", "qfq", "hfq" };
const QStringList kPeriods { "day", "week", "month" };

// Text to float as QString::toFloat converts it (0 for anything that is no
// number). The service writes plain decimals, which take the exact fast path
// below: an integer mantissa below 2^53 divided by a power of ten up to 10^22
// is one correctly rounded division, the very double the general converter
// gives. Everything else goes to the general converter.
float toFloat(const QChar* begin, const QChar* end)
{
    static const double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    const QChar* p = begin;
    const bool negative = p != end && *p == QLatin1Char('-');
    if (negative)
        ++p;
    quint64 mantissa = 0;
    int digits = 0;
    int fraction = -1;
    bool fast = p != end;
    for (; p != end && fast; ++p) {
        const ushort c = p->unicode();
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + (c - '0');
            if (++digits > 15)
                fast = false;
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            fast = false;
        }
    }
    // "1." and "." and "-" are left to the general converter too.
    if (fast && digits > 0 && fraction != 0) {
        double value = double(mantissa);
        if (fraction > 0)
            value /= kPowers[fraction];
        return float(negative ? -value : value);
    }
    return QString(begin, int(end - begin)).toFloat();
}

// The span the bars stand in: from the "[" of the first bar to the first "]]",
// double quotes removed.
QString barsSpan(const QString& body)
{
    const int open = body.indexOf(QLatin1String("[["));
    QString span = open < 0 ? body : body.mid(open + 1);
    const int close = span.indexOf(QLatin1String("]]"));
    if (close >= 0)
        span.truncate(close);
    span.remove(QLatin1Char('"'));
    return span;
}

// One bar from the piece [begin, end): fewer than six comma-separated items
// give no bar; items after the sixth are ignored.
bool readBar(const QChar* begin, const QChar* end, Stock& bar)
{
    const QChar* items[7];
    int count = 0;
    items[count++] = begin;
    for (const QChar* p = begin; p != end && count < 7; ++p) {
        if (*p == QLatin1Char(','))
            items[count++] = p + 1;
    }
    if (count < 7) {
        if (count < 6)
            return false;
        items[6] = end + 1;   // the sixth item runs to the end of the piece
    }
    const QChar* dateBegin = items[0];
    if (dateBegin != items[1] - 1 && *dateBegin == QLatin1Char('['))
        ++dateBegin;
    bar.date = QString(dateBegin, int(items[1] - 1 - dateBegin));
    bar.open = toFloat(items[1], items[2] - 1);
    bar.close = toFloat(items[2], items[3] - 1);
    bar.high = toFloat(items[3], items[4] - 1);
    bar.low = toFloat(items[4], items[5] - 1);
    bar.volume = toFloat(items[5], items[6] - 1);
    return true;
}

} // namespace

QVector<Stock> parseQQHistory(const QString& body, const QString& code)
{
    const QString span = barsSpan(body);
    const QLatin1String separator("],[");
    QVector<Stock> bars;
    bars.reserve(span.count(QLatin1String("],[")) + 1);

    // The first bar has no previous close: its change stays 0.
    float previousClose = 0;
    bool first = true;
    const QChar* text = span.constData();
    int pieceStart = 0;
    while (pieceStart <= span.size()) {
        int pieceEnd = span.indexOf(separator, pieceStart);
        if (pieceEnd < 0)
            pieceEnd = span.size();
        Stock bar;
        if (readBar(text + pieceStart, text + pieceEnd, bar)) {
            bar.code = code;
            if (!first) {
                bar.change = bar.close - previousClose;
                bar.changePercent = previousClose != 0 ? bar.change * 100 / previousClose : 0;
            }
            previousClose = bar.close;
            first = false;
            bars.append(bar);
        }
        pieceStart = pieceEnd + separator.size();
    }
    return bars;
}

QStringList StockQQHistoryInterface::urls(const QStringList& codes)
{
    const QString pattern = QStringLiteral("/appstock/app/fqkline/get?p=1&param=%1,%2,,,480,%3&_appName=android");
    QStringList list;
    for (const QString& code : codes) {
        list.append(providerUrl(Provider::QQKLine, pattern.arg(marketCode(code), period, adjust))
                    + "&__random_suffix=" + QString::number(randomSuffix()));
    }
    return list;
}

QVector<Stock> StockQQHistoryInterface::parse(const QString& body, const QString& code)
{
    const QVector<Stock> bars = parseQQHistory(body, code);
    // A failed or empty download must never replace a good stored history, and
    // only a plain six-digit code may become part of a path.
    if (!bars.isEmpty() && !cacheDir.isEmpty() && isStockCodeForPath(code))
        saveWhole(cacheDir + code, body.toUtf8());
    return bars;
}

void StockQQHistoryInterface::setParameter(int key, const QString& value)
{
    if (key == 0)
        cacheDir = value;
    else if (key == 1 && kAdjustments.contains(value))
        adjust = value;
    else if (key == 2 && kPeriods.contains(value))
        period = value;
}

QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir)
{
    StockQQHistoryInterface source;
    source.setParameter(0, cacheDir);
    source.setParameter(1, adjust);
    source.setParameter(2, period);
    const QStringList urls = source.urls(QStringList { code });
    if (urls.isEmpty())
        return QVector<Stock>();
    return source.parse(httpGet(urls.first()), code);
}
