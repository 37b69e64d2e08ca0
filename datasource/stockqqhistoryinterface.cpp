#include "datasource/stockqqhistoryinterface.h"

#include "datasource/historystore.h"
#include "datasource/httpget.h"
#include "datasource/klinebars.h"
#include "datasource/providerhosts.h"

#include <QRegularExpression>

namespace {

const QStringList kAdjustments { "bfq", "qfq", "hfq" };
const QStringList kPeriods { "day", "week", "month" };

// The opening of the first object under "data": "data", a colon, "{" and the
// quoted key (captured), a colon and "{", blanks allowed between them.
QRegularExpressionMatch qqDataOpening(const QString& body)
{
    static const QRegularExpression opening(QStringLiteral("\"data\"\\s*:\\s*\\{\\s*\"([^\"]*)\"\\s*:\\s*\\{"));
    return opening.match(body);
}

// Whether `body`, read into `bars`, is a whole answer of the service for the
// stock of `code`, fit to replace its stored history. The service lists each
// trading day once, oldest first, in bars of six items or more: an answer
// with a short or empty piece, a word among the numbers, or a day repeated or
// going back is garbled, and none of its bars can be trusted. The service
// names the stock an answer is for as the request named it: an answer for
// another stock, which a cache or a proxy may hand out, is no history of
// this one.
bool isWholeAnswer(const QString& body, const QString& code, const QVector<Stock>& bars, const KLineReading& reading)
{
    return reading.closed && reading.numeric && reading.everyPieceABar && datesRise(bars)
           && qqDataKey(body, reading.barsAt) == marketCode(code);
}

// Whether `body` is the service's answer for the stock of `code` that holds
// no bars at all, as it answers for a code it does not know.
bool answersWithoutBars(const QString& body, const QString& code)
{
    return !body.contains(QLatin1String("[[")) && qqDataKey(body) == marketCode(code);
}

} // namespace

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
    return parse(body, code, nullptr);
}

QVector<Stock> StockQQHistoryInterface::parse(const QString& body, const QString& code, QString* notStored)
{
    KLineReading reading;
    QVector<Stock> bars = readKLineBars(body, code, &reading);
    const bool whole = cacheDir.isEmpty() || isWholeAnswer(body, code, bars, reading);
    return storeHistoryBody(std::move(bars), whole, body, cacheDir, code, notStored);
}

void StockQQHistoryInterface::setParameter(int key, const QString& value)
{
    if (key == CacheDirParameter)
        cacheDir = value;
    else if (key == AdjustParameter && kAdjustments.contains(value))
        adjust = value;
    else if (key == PeriodParameter && kPeriods.contains(value))
        period = value;
}

QVector<Stock> fetchQQHistory(const StockQQHistoryInterface& source, const QString& code, const QObject* owner,
                              HistoryOutcome* outcome)
{
    HistoryOutcome local;
    HistoryOutcome& result = outcome ? *outcome : local;
    result = HistoryOutcome();
    // A copy: the request runs a local event loop, in which the page that
    // owns `source` may go.
    StockQQHistoryInterface reader = source;
    const QStringList urls = reader.urls(QStringList { code });
    if (urls.isEmpty())
        return QVector<Stock>();
    const QString body = httpGet(urls.first(), owner, &result.failure);
    QVector<Stock> bars = reader.parse(body, code, &result.notStored);
    if (bars.isEmpty() && result.failure.isEmpty() && !answersWithoutBars(body, code))
        result.failure = unreadableAnswer();
    return bars;
}

QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir, HistoryOutcome* outcome)
{
    StockQQHistoryInterface source;
    source.setParameter(CacheDirParameter, cacheDir);
    source.setParameter(AdjustParameter, adjust);
    source.setParameter(PeriodParameter, period);
    return fetchQQHistory(source, code, nullptr, outcome);
}

QString qqDataKey(const QString& body)
{
    return qqDataOpening(body).captured(1);
}

QString qqDataKey(const QString& body, int at)
{
    const QRegularExpressionMatch match = qqDataOpening(body);
    if (!match.hasMatch() || match.capturedEnd() > at)
        return QString();
    // The key's object must still be open at `at`: count its braces, and
    // skip what stands in quotes.
    int depth = 1;
    for (int i = match.capturedEnd(); i < at; ++i) {
        const QChar c = body.at(i);
        if (c == QLatin1Char('"')) {
            for (++i; i < at && body.at(i) != QLatin1Char('"'); ++i) {
                if (body.at(i) == QLatin1Char('\\'))
                    ++i;
            }
        } else if (c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char('}') && --depth == 0) {
            return QString();
        }
    }
    return match.captured(1);
}
