#include "datasource/lhbsources.h"

#include "core/textutils.h"
#include "datasource/httpget.h"
#include "datasource/providerhosts.h"

namespace {

// The text between the first ">" and the next "<", trimmed: the content of a
// tag whose markup carries no nested tags.
QString tagText(const QString& text)
{
    const int open = text.indexOf('>');
    if (open < 0)
        return QString();
    const int close = text.indexOf('<', open + 1);
    const int length = close < 0 ? -1 : close - open - 1;
    return text.mid(open + 1, length).trimmed();
}

// From behind the first ">" up to and including the first "%" after it, trimmed;
// empty when the cell holds no percentage.
QString percentText(const QString& text)
{
    const int open = text.indexOf('>');
    const int percent = text.indexOf('%', open + 1);
    if (percent < 0)
        return QString();
    return text.mid(open + 1, percent - open).trimmed();
}

// One URL of the provider for each "code,date" argument: the path `pattern`
// with %1 the code and %2 the date, both trimmed. An argument of any other
// shape gets none.
QStringList codeDateUrls(Provider provider, const QString& pattern, const QStringList& args)
{
    QStringList list;
    for (const QString& arg : args) {
        const QStringList parts = arg.split(',', Qt::KeepEmptyParts);
        if (parts.size() == 2)
            list.append(providerUrl(provider, pattern.arg(parts.at(0).trimmed(), parts.at(1).trimmed())));
    }
    return list;
}

// One seat row of the Eastmoney detail tables; false when a marker is missing.
bool parseSeatRow(const QString& row, LHBUnit& unit)
{
    const QString link = matchFirst(row, ".html\">(.*)</a></a>");
    if (link.isEmpty())
        return false;
    unit.seat = link.mid(7, link.size() - 7 - 8);

    // The last two characters before the tag closes are the unit of the count.
    const QString times = matchFirst(row, "=\"times\">(.*)</span>");
    if (times.isEmpty())
        return false;
    const int open = times.indexOf('>');
    const int close = times.indexOf('<', open + 1);
    unit.cell2 = times.mid(open + 1, qMax(0, close - 2 - open - 1)).trimmed();

    const QString percent = matchFirst(row, "<span class=\"percent\"(.*)</span");
    if (percent.isEmpty())
        return false;
    unit.cell3 = tagText(percent);

    const QStringList cells = matchAll(row, "<td(.*)</td>");
    if (cells.size() != 7)
        return false;
    QString index = cells.at(0).mid(4);   // behind "<td>"
    index.chop(5);                          // "</td>"
    unit.cell1 = index.trimmed();
    unit.buyAmount = tagText(cells.at(2));
    unit.cell5 = percentText(cells.at(3));
    unit.sellAmount = tagText(cells.at(4));
    unit.cell7 = percentText(cells.at(5));
    unit.netAmount = tagText(cells.at(6));
    return true;
}

// The totals line under the two tables: amounts and shares of the whole list.
bool parseSummary(const QString& body, LHBUnit& unit)
{
    const QString total = matchFirst(body, "class=\"total-tr\">(.*)</tr>");
    const QStringList spans = matchAll(total, "span(.*)</span>");
    if (spans.size() != 6)
        return false;
    unit.buyAmount = tagText(spans.at(1));
    unit.cell5 = percentText(spans.at(2));
    unit.sellAmount = tagText(spans.at(3));
    unit.cell7 = percentText(spans.at(4));
    unit.netAmount = tagText(spans.at(5));
    unit.side = 0;
    return true;
}

QString listTable(const QString& body)
{
    return matchFirst(body, "<table class=\"list_table(.*)<div class=\"pages\">");
}

QString seatContent(const QString& body)
{
    return matchFirst(body, "class=\"content-sepe\">(.*)</html>");
}

// The span inside the outer "[[" and "]]" of a QQ seat script; false when
// the script has no such array.
bool seatArrays(const QString& body, QString* items)
{
    const int open = body.indexOf("[[");
    const int close = body.lastIndexOf("]]");
    if (open < 0 || close < open + 2)
        return false;
    if (items)
        *items = body.mid(open + 2, close - open - 2);
    return true;
}

// The text after the last ">" of a cell, read as a number.
float lastNumber(const QString& cell)
{
    return cell.mid(cell.lastIndexOf('>') + 1).toFloat();
}

} // namespace

QStringList SinaLHBStockListInterface::urls(const QStringList& dates)
{
    const QString path = QStringLiteral("/q/go.php/vInvestConsult/kind/lhb/index.phtml");
    if (dates.isEmpty())
        return QStringList { providerUrl(Provider::SinaFinance, path) };
    QStringList list;
    for (const QString& date : dates)
        list.append(providerUrl(Provider::SinaFinance, path + QStringLiteral("?tradedate=%1").arg(date)));
    return list;
}

QVector<Stock> SinaLHBStockListInterface::parse(const QString& body, const QString&)
{
    QVector<Stock> stocks;
    const QString table = listTable(body);
    if (table.isEmpty())
        return stocks;
    for (const QString& row : matchAll(table, "<tr(.*)</tr>")) {
        Stock stock;
        if (parseRow(row, stock))
            stocks.append(stock);
    }
    return stocks;
}

bool SinaLHBStockListInterface::hasForm(const QString& body) const
{
    return !listTable(body).isEmpty();
}

bool SinaLHBStockListInterface::parseRow(const QString& row, Stock& stock)
{
    stock.lhbType = currentReason;
    const int spanEnd = row.indexOf("</span>");
    if (spanEnd >= 0) {
        const QString heading = row.left(spanEnd);
        currentReason = heading.mid(heading.lastIndexOf('>') + 1).trimmed();
        return false;
    }
    if (!row.contains("_blank"))
        return false;
    QStringList cells = matchAll(row, "<td(.*)</td>");
    if (cells.size() != 8)
        return false;
    for (QString& cell : cells) {
        cell.chop(5);
        cell = cell.trimmed();
    }

    // A row without a six-digit code or a date would send the seat request
    // somewhere meaningless: it is not a stock.
    const int query = cells.at(1).indexOf("q=");
    const int dateEnd = cells.at(7).indexOf("',this");
    if (query < 0 || dateEnd < 0)
        return false;
    stock.code = cells.at(1).mid(query + 2, 6);
    if (!isStockCodeForPath(stock.code))
        return false;

    QString name = cells.at(2);
    name.chop(4);
    stock.name = name.mid(name.lastIndexOf('>') + 1).trimmed();
    stock.close = lastNumber(cells.at(3));
    stock.volume = lastNumber(cells.at(5));
    stock.amount = lastNumber(cells.at(6));
    stock.date = cells.at(7).left(dateEnd).right(10);
    stock.valid = true;
    return true;
}

QStringList EastmoneyLHBDataInterface::urls(const QStringList& args)
{
    return codeDateUrls(Provider::EastmoneyData, QStringLiteral("/stock/lhb,%2,%1.html"), args);
}

QVector<LHBUnit> EastmoneyLHBDataInterface::parse(const QString& body, const QString&)
{
    QVector<LHBUnit> units;
    const QString content = seatContent(body);
    if (content.isEmpty())
        return units;
    const QStringList bodies = matchAll(content, "<tbody>(.*)</tbody>");
    for (int side = 1; side <= 2 && side <= bodies.size(); ++side) {
        for (const QString& row : matchAll(bodies.at(side - 1), "<tr>(.*)</tr>")) {
            LHBUnit unit;
            if (!parseSeatRow(row, unit))
                continue;
            unit.side = side;
            units.append(unit);
        }
    }
    LHBUnit summary;
    if (parseSummary(body, summary))
        units.append(summary);
    return units;
}

bool EastmoneyLHBDataInterface::hasForm(const QString& body) const
{
    return !seatContent(body).isEmpty();
}

QStringList QQLHBDataInterface::urls(const QStringList& args)
{
    return codeDateUrls(Provider::QQStock, QStringLiteral("/cgi-bin/sstock/q_lhb_xx_js?c=%1&b=%2&l=070001"), args);
}

QVector<LHBUnit> QQLHBDataInterface::parse(const QString& body, const QString&)
{
    QVector<LHBUnit> units;
    QString items;
    if (!seatArrays(body, &items))
        return units;
    items.remove('"');
    for (const QString& item : items.split("],[", Qt::KeepEmptyParts)) {
        const QStringList cells = item.split(',', Qt::KeepEmptyParts);
        if (cells.size() != 8)
            continue;
        LHBUnit unit;
        unit.side = cells.at(2) == QLatin1String("B") ? 1 : 2;
        unit.seat = cells.at(5);
        unit.cell1 = cells.at(3);
        // The service counts in yuan; the seat tables show 10,000 yuan.
        unit.buyAmount = QString::number(cells.at(6).toFloat() * 0.0001, 'g', 6);
        unit.sellAmount = QString::number(cells.at(7).toFloat() * 0.0001, 'g', 6);
        units.append(unit);
    }
    return units;
}

bool QQLHBDataInterface::hasForm(const QString& body) const
{
    return seatArrays(body, nullptr);
}

QVector<LHBUnit> fetchEastmoneySeats(const QString& code, const QString& date, const QObject* owner,
                                     QString* failure)
{
    EastmoneyLHBDataInterface source;
    const QStringList list = source.urls({ code + "," + date });
    if (list.isEmpty()) {
        if (failure)
            failure->clear();
        return QVector<LHBUnit>();
    }
    return source.parse(fetchForSource(source, list.first(), owner, failure), QString());
}
