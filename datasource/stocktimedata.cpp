#include "datasource/stocktimedata.h"

#include "core/fileutils.h"
#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMinuteRowFields = 3;

// Running average price and the two shares over a sequence of minutes.
class MinuteAccumulator
{
public:
    explicit MinuteAccumulator(QVector<MinuteRow>& rows)
        : rows(rows)
    {
    }

    // `cumulative` is the volume traded up to and including this minute.
    void add(const QString& time, float price, qint64 cumulative)
    {
        const int volume = int(qBound<qint64>(std::numeric_limits<int>::min(), cumulative - cumulativeVolume,
                                              std::numeric_limits<int>::max()));
        cumulativeVolume = cumulative;
        amount += double(volume) * price;
        // Before the first traded share there is no average yet: the price
        // stands for it rather than 0/0.
        const float average = cumulative != 0 ? float(amount / double(cumulative)) : price;
        rows.append(MinuteRow{time, price, average, volume});
        if (price >= average)
            ++aboveAverage;
        if (average >= previousAverage)
            ++rising;
        previousAverage = average;
    }

    qint64 tradedSoFar() const { return cumulativeVolume; }

    // Shares of the rows; a day without rows keeps 0 rather than 0/0.
    void finish(StockTimeData& record) const
    {
        if (rows.isEmpty())
            return;
        record.aboveAveragePercent = float(aboveAverage) / rows.size() * 100;
        record.averageRisingPercent = float(rising) / rows.size() * 100;
    }

private:
    QVector<MinuteRow>& rows;
    // A busy day passes 2^31 shares: the totals must not wrap or lose shares.
    qint64 cumulativeVolume = 0;
    double amount = 0;
    float previousAverage = 0;
    int aboveAverage = 0;
    int rising = 0;
};

// The minute list is the first bracketed list: "hhmm price cumulativeVolume",
// today followed by the cumulative amount, which is not read.
void parseMinuteRows(const QString& body, StockTimeData& record)
{
    // Without a bracketed list the body is no minute response at all (an
    // error page): its words must not pass for minutes.
    const int close = body.indexOf(']');
    const int open = body.lastIndexOf('[', close);
    if (close < 0 || open < 0)
        return;
    QString list = body.left(close);
    list = list.mid(list.indexOf('[') + 1);
    list.remove('"');

    MinuteAccumulator minutes(record.rows);
    for (const QString& part : list.split(',')) {
        const QStringList fields = part.split(' ');
        if (fields.size() < kMinuteRowFields)
            continue;
        minutes.add(fields.at(0), fields.at(1).toFloat(), fields.at(2).toLongLong());
    }
    minutes.finish(record);
}

QStringList quoteCells(const QString& text)
{
    QString cells = text;
    cells.remove('"');
    return cells.split(',');
}

// The six values of quote list A and the ten order-book pairs, `cells`
// starting at the price.
void readQuoteValuesAndBook(const QStringList& cells, StockTimeData& record)
{
    record.quoteValues[7] = cells.at(0).toFloat();
    record.quoteValues[2] = cells.at(1).toFloat();
    record.quoteValues[5] = cells.at(2).toFloat();
    record.quoteValues[11] = cells.at(3).toFloat();
    record.quoteValues[1] = cells.at(4).toFloat();
    record.quoteValues[0] = cells.at(5).toFloat();
    for (int k = 0; k < 10; ++k) {
        record.orderBook[k].price = cells.at(6 + 2 * k).toFloat();
        record.orderBook[k].volume = cells.at(7 + 2 * k).toInt();
    }
}

void readQuoteListA(const QStringList& cells, StockTimeData& record)
{
    if (cells.size() != 27)
        return;
    readQuoteValuesAndBook(cells, record);
}

void readQuoteListB(const QStringList& cells, StockTimeData& record)
{
    if (cells.size() != 19)
        return;
    record.quoteValues[3] = cells.at(0).toFloat();
    record.quoteValues[4] = cells.at(1).toFloat();
    record.quoteValues[5] = cells.at(3).toFloat();
    record.quoteValues[11] = cells.at(5).toInt();
    record.quoteValues[10] = cells.at(6).toInt();
    record.quoteValues[14] = cells.at(7).toFloat();
    record.quoteValues[9] = cells.at(8).toFloat();
    record.quoteValues[15] = cells.at(12).toFloat();
}

void readDeals(const QString& text, StockTimeData& record)
{
    for (QString part : text.split('|')) {
        part.replace(QStringLiteral("\\/"), QStringLiteral(","));
        const QStringList values = part.split(',');
        if (values.size() != 6)
            continue;
        record.deals.append(Deal{values.at(0), values.at(1).toFloat(), values.at(2).toInt(),
                                 values.at(3), values.at(4).toInt(), values.at(5).toInt()});
    }
}

void readPriceLevels(const QString& rest, StockTimeData& record)
{
    const QString last = rest.mid(rest.lastIndexOf('['));
    const int open = last.indexOf('"');
    const int close = open < 0 ? -1 : last.indexOf('"', open + 1);
    if (close < 0)
        return;
    for (const QString& group : last.mid(open + 1, close - open - 1).split('^')) {
        const QStringList values = group.split('~');
        if (values.size() != 4)
            continue;
        record.priceLevels.append(PriceLevel{values.at(0).toFloat(), values.at(1).toInt(),
                                             values.at(2).toInt(), values.at(3).toFloat()});
    }
}

// The quote sections follow the minute list at fixed offsets from its
// markers; every cut is bounded, so a foreign text only leaves fields empty.
void parseQuoteSections(QString r, StockTimeData& record)
{
    r = r.mid(20);
    r = r.mid(r.indexOf(']') + 2);

    const int bracket = r.indexOf('[');
    const QString key = bracket > 0 ? r.left(bracket - 1).mid(3, 6) : QString();
    if (bracket >= 0) {
        const QString tail = r.mid(bracket + 7);
        record.name = tail.left(tail.indexOf('"'));
    }
    if (key.isEmpty())
        return;
    const int keyAt = r.indexOf(key, 10);
    if (keyAt < 0)
        return;
    r = r.mid(keyAt + 9);

    const int colon = r.indexOf(':');
    if (colon < 0)
        return;
    readQuoteListA(quoteCells(r.left(colon)), record);

    r = r.mid(qMax(0, colon - 2));
    const int quote = r.indexOf('"');
    readDeals(quote < 0 ? r : r.left(quote), record);
    if (quote < 0)
        return;

    r = r.mid(quote + 1);
    const int listEnd = r.indexOf(']');
    readQuoteListB(quoteCells(r.left(listEnd)), record);
    if (listEnd < 0)
        return;

    readPriceLevels(r.mid(listEnd + 2), record);
}

// Today's answer opens its quote object with the stock's own quote as one flat
// array, in the order of the provider's quote line ("1", name, code, price,
// previous close, open, volume, outer and inner volume, five bid and five ask
// pairs, the deals, the time, ...), and the market line, the index quotes and
// the deal tables follow it:
//   "qt":{"sh600000":["1","浦发银行","600000","10.05",...],"market":[...],...
// The older answer opened it with the market line, which its fixed cuts step
// over; in today's form those cuts would take the market line for the quote.
// Returns the position of the quote object in today's form, else -1.
int todaysQuoteObject(const QString& rest)
{
    const QString opening = QStringLiteral("\"qt\":{");
    const int at = rest.indexOf(opening);
    if (at < 0 || rest.midRef(at + opening.size()).startsWith(QLatin1String("\"market\"")))
        return -1;
    return at;
}

// The items of the array keyed `key` in the quote object at `from`, unquoted;
// empty when there is none or it is not whole.
QStringList todaysQuoteItems(const QString& rest, int from, const QString& key)
{
    const QString opening = QStringLiteral("\"%1\":[\"").arg(key);
    const int start = rest.indexOf(opening, from);
    if (start < 0)
        return {};
    const int first = start + opening.size();
    const int end = rest.indexOf(QLatin1String("\"]"), first);
    if (end < 0)
        return {};
    return rest.mid(first, end - first).split(QStringLiteral("\",\""));
}

// Only what today's array holds at the places the older cuts read: the name,
// the six values of list A and the order book, the deals. The values of the
// older list B and its price levels have no place in it that can be told, so
// they stay 0 and empty.
void readTodaysQuote(const QStringList& items, StockTimeData& record)
{
    constexpr int kName = 1, kCode = 2, kPrice = 3, kDeals = 29;
    // An array of another stock, or none at all, tells nothing of this one.
    if (items.size() <= kCode || items.at(kCode) != record.code)
        return;
    record.name = items.at(kName);
    if (items.size() <= kDeals)
        return;
    readQuoteValuesAndBook(items.mid(kPrice, kDeals - kPrice), record);
    readDeals(items.at(kDeals), record);
}

} // namespace

QString minuteDataUrl(const QString& code)
{
    return providerUrl(Provider::QQKLine,
                       QStringLiteral("/appstock/app/minute/query?code=%1&_appName=android&_net=WIFI&__random_suffix=%2")
                           .arg(marketCode(code))
                           .arg(randomSuffix()));
}

StockTimeData parseTimeData(const QString& body)
{
    StockTimeData record;
    parseMinuteRows(body, record);

    // "data":{"sh600000": the code follows the key, its brace and the prefix.
    const int dataAt = body.indexOf(QLatin1String("data"));
    QString key;
    if (dataAt >= 0) {
        key = body.mid(dataAt + 8, 8);
        record.code = body.mid(dataAt + 10, 6);
    }

    const QString rest = body.mid(body.indexOf(']') + 1);
    const QString dateMatch = matchFirst(rest, QStringLiteral("\"date\":\"(.*)\""));
    if (dateMatch.isEmpty())
        return record;
    record.valid = true;
    record.date = dateMatch.mid(8).left(8);
    const int quoteObject = todaysQuoteObject(rest);
    if (quoteObject < 0)
        parseQuoteSections(rest, record);
    else if (!key.isEmpty())
        readTodaysQuote(todaysQuoteItems(rest, quoteObject, key), record);
    return record;
}

StockTimeData parseTimeDataText(const QString& text)
{
    StockTimeData record;
    QStringList lines = text.split('\n');
    std::reverse(lines.begin(), lines.end());

    MinuteAccumulator minutes(record.rows);
    for (const QString& line : lines) {
        const QStringList fields = line.split(',');
        if (fields.size() != 7)
            continue;
        minutes.add(fields.at(1), fields.at(2).toFloat(), minutes.tradedSoFar() + fields.at(4).toInt());
    }
    minutes.finish(record);
    return record;
}

bool checkMinuteFile(const QString& path, int a, int b)
{
    const QString text = loadTemplate(path);
    if (isLoadTemplateFailure(text))
        return false;
    const StockTimeData record = parseTimeDataText(text);
    return !record.rows.isEmpty() && a < record.aboveAveragePercent && b < record.averageRisingPercent;
}
