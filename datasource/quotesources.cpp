#include "datasource/quotesources.h"

#include "core/textutils.h"
#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"

namespace {

constexpr int kSinaBatch = 8;
constexpr int kTencentBatch = 64;
// The fields the quote lines must carry at least; later fields (Shanghai
// lines have had a 34th since about 2020, simple quotes 11 or 12 items since
// 2021) are not read.
constexpr int kSinaQuoteFields = 33;
constexpr int kTencentFields = 10;
constexpr float kMinBuySellRatio = 6.0f;
constexpr int kAuctionScore = 60;

// Shares to hands of 100 shares, remainder dropped.
int hands(const QString& shares)
{
    return shares.toInt() / 100;
}

BidFilter currentBidFilter()
{
    const AppConfig config = applicationConfig();
    BidFilter filter;
    filter.minPercent = config.bidMinPercent;
    filter.maxPercent = config.bidMaxPercent;
    filter.ratio = config.bidRatio;
    return filter;
}

void readQuoteFields(const QStringList& f, Stock* s)
{
    s->name = f.value(0);
    s->open = f.value(1).toFloat();
    s->preClose = f.value(2).toFloat();
    s->close = f.value(3).toFloat();
    s->high = f.value(4).toFloat();
    s->low = f.value(5).toFloat();
    s->volume = float(f.value(8).toLong() / 100);
    s->amount = float(f.value(9).toDouble() / 10000.0);
    s->buyVolume1 = hands(f.value(10));
    s->buyVolume2 = hands(f.value(12));
    s->buyVolume3 = hands(f.value(14));
    s->buyVolume4 = hands(f.value(16));
    s->buyVolume5 = hands(f.value(18));
    s->sellVolume1 = hands(f.value(20));
    s->sellVolume2 = hands(f.value(22));
    s->sellVolume3 = hands(f.value(24));
    s->sellVolume4 = hands(f.value(26));
    s->sellVolume5 = hands(f.value(28));
    s->date = f.value(30);
    s->text2 = f.value(31);
}

// The auction filter on a complete quote of a pool stock. A quote without a
// previous close or a pool entry without total shares cannot be judged (the
// ratios would divide by zero and an infinite or undefined value could slip
// through the comparisons), so it never passes.
bool passesBidFilter(Stock* s, int buySum, int sellSum, const BidFilter& filter)
{
    if (!(s->preClose > 0.0f) || s->totals <= 0)
        return false;
    s->change = s->close - s->preClose;
    s->changePercent = s->change * 100 / s->preClose;
    s->buySellRatio = 1.0f;
    s->value1 = 0.0f;
    if (!(s->changePercent >= filter.minPercent && s->changePercent <= filter.maxPercent))
        return false;
    s->buySellRatio = float(buySum) / float(sellSum);
    if (!(s->buySellRatio > kMinBuySellRatio))
        return false;
    s->value1 = float(buySum) / float(s->totals);
    return s->value1 > filter.ratio;
}

} // namespace

QStringList SinaRealtimeInterface::urls(const QStringList& pages)
{
    QStringList out;
    for (const QString& page : pages) {
        out << providerUrl(Provider::SinaFinance,
                           QStringLiteral("/quotes_service/api/json_v2.php/Market_Center.getHQNodeData"
                                          "?num=80&sort=0&node=hs_a&symbol=&_s_r_a=page&page=%1")
                               .arg(page.toInt()));
    }
    return out;
}

QVector<Stock> SinaRealtimeInterface::parse(const QString& body, const QString&)
{
    QVector<Stock> out;
    // Pages past the end of the market come back as "null".
    if (!body.trimmed().startsWith(QLatin1Char('[')))
        return out;
    const QVector<QMap<QString, QString> > items = parseJsonArray(body);
    out.reserve(items.size());
    for (const QMap<QString, QString>& m : items) {
        Stock s;
        s.name = m.value("name");
        s.code = m.value("code");
        s.close = m.value("trade").toFloat();
        s.changePercent = m.value("changepercent").toFloat();
        s.change = m.value("pricechange").toFloat();
        // Today's lists name the turnover "turnoverratio" and have no "turnover".
        s.turnover = m.value(m.contains("turnover") ? QStringLiteral("turnover") : QStringLiteral("turnoverratio"))
                         .toFloat();
        s.open = m.value("open").toFloat();
        s.low = m.value("low").toFloat();
        s.preClose = m.value("settlement").toFloat();
        s.high = m.value("high").toFloat();
        s.volume = m.value("volume").toFloat();
        out.append(s);
    }
    return out;
}

bool SinaRealtimeInterface::hasForm(const QString& body) const
{
    const QString trimmed = body.trimmed();
    if (trimmed == QLatin1String("null"))
        return true;
    return trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

QList<QStringList> quoteBatches(const QStringList& codes, int size)
{
    QList<QStringList> batches;
    if (size <= 0)
        return batches;
    const int whole = codes.size() / size;
    for (int b = 0; b < whole; ++b)
        batches << codes.mid(b * size, size);
    const int rest = codes.size() % size;
    if (rest > 0) {
        QStringList tail;
        for (int i = codes.size() - 1; i >= whole * size; --i)
            tail << codes.at(i);
        batches << tail;
    }
    return batches;
}

QStringList SinaInterface::urls(const QStringList& codes)
{
    QStringList out;
    for (const QStringList& batch : quoteBatches(codes, kSinaBatch)) {
        QStringList symbols;
        for (const QString& code : batch)
            symbols << marketCode(code);
        out << providerUrl(Provider::SinaQuote, QStringLiteral("/list=") + symbols.join(','));
    }
    return out;
}

QVector<Stock> SinaInterface::parse(const QString& body, const QString&)
{
    return parseSinaQuotes(body, applicationStockPool(), currentBidFilter());
}

bool SinaInterface::hasForm(const QString& body) const
{
    return body.contains(QLatin1String("var hq_str_")) && body.trimmed().endsWith(QLatin1String("\";"));
}

Stock parseSinaQuoteLine(const QString& line, const QMap<QString, Stock>& pool, const BidFilter& filter)
{
    Stock s;
    const int first = line.indexOf('"');
    const int last = line.lastIndexOf('"');
    const int equals = line.indexOf('=');
    if (first < 0 || last <= first || equals < 6)
        return s;
    s.code = line.mid(equals - 6, 6);
    const QStringList fields = line.mid(first + 1, last - first - 1).split(',');
    if (fields.size() < kSinaQuoteFields)
        return s;
    readQuoteFields(fields, &s);

    const int buySum = s.buyVolume1 + s.buyVolume2 + s.buyVolume3 + s.buyVolume4 + s.buyVolume5;
    const int sellSum = s.sellVolume1 + s.sellVolume2 + s.sellVolume3 + s.sellVolume4 + s.sellVolume5;
    if (buySum == 0 || sellSum == 0)
        return s;
    const auto entry = pool.constFind(s.code);
    if (entry == pool.constEnd())
        return s;
    s.industry = entry->industry;
    s.area = entry->area;
    s.totals = entry->totals;
    s.outstanding = entry->outstanding;
    if (!passesBidFilter(&s, buySum, sellSum, filter))
        return s;
    s.valid = true;
    s.bidScore = kAuctionScore;
    return s;
}

QVector<Stock> parseSinaQuotes(const QString& body, const QMap<QString, Stock>& pool, const BidFilter& filter)
{
    QVector<Stock> out;
    for (const QString& line : body.split(';')) {
        const Stock s = parseSinaQuoteLine(line, pool, filter);
        if (s.valid)
            out.append(s);
    }
    return out;
}

QString tencentRandomText(float fraction)
{
    return (QString::number(fraction, 'g', 6) + QStringLiteral("____")).left(7);
}

QStringList tencentQuoteUrls(const QStringList& codes)
{
    QStringList out;
    for (const QStringList& batch : quoteBatches(codes, kTencentBatch)) {
        QString list;
        for (const QString& code : batch) {
            if (code.startsWith('0') || code.startsWith('3'))
                list += QStringLiteral("s_sz%1,").arg(code);
            else if (code.startsWith('6'))
                list += QStringLiteral("s_sh%1,").arg(code);
        }
        list.chop(1);
        const QString random = tencentRandomText(float(randomSuffix() / 2147483648.0));
        out << providerUrl(Provider::QQQuote, QStringLiteral("/r=%1q=").arg(random) + list);
    }
    return out;
}

QVector<Stock> parseTencentQuotes(const QString& body)
{
    return parseTencentQuotes(body, applicationStockPool());
}

QVector<Stock> parseTencentQuotes(const QString& body, const QMap<QString, Stock>& pool)
{
    QVector<Stock> out;
    for (const QString& line : body.split('\n')) {
        const QStringList items = line.split('~');
        if (items.size() < kTencentFields)
            continue;
        Stock s;
        s.name = items.at(1);
        s.code = items.at(2);
        s.close = items.at(3).toFloat();
        s.change = items.at(4).toFloat();
        s.changePercent = items.at(5).toFloat();
        s.volume = float(items.at(6).toFloat() / 10000.0);
        s.turnover = 0;
        const auto entry = pool.constFind(s.code);
        if (entry != pool.constEnd()) {
            s.name = entry->name;
            s.industry = entry->industry;
            s.area = entry->area;
            s.totals = entry->totals;
            s.outstanding = entry->outstanding;
            s.preClose = s.close - s.change;
            // Without total shares there is no turnover to give.
            s.turnover = s.totals > 0 ? float(s.volume * 10000.0 / s.totals) : 0.0f;
        }
        out.append(s);
    }
    return out;
}
