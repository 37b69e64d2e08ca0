#include "datasource/eastmoneyahinterface.h"

#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"

namespace {

const int kPageCount = 5;
const int kRecordItems = 17;

// The service checks the token on every request; the odd-looking tail after
// the cache-busting fraction is part of the query it expects.
const char* const kPageTemplate =
    "/EM_Finance2014NumericApplication/JS.aspx?type=CT&cmd=C._AHH&sty=FCABHL&sortType=C&sortRule=-1"
    "&page=@1&pageSize=20&js=var%20quote_123%3d{rank:[(x)],pages:(pc)}"
    "&token=5b2e9c07d4f1a8362e0c7b9d4a15f8e3&jsName=quote_123&_g=@2%20[HTTP/1.1%20200%20OK%2068ms]";

// The cache-busting value of this service is a fraction, not an integer.
QString randomFraction()
{
    return QString::number(double(randomSuffix()) / 2147483648.0, 'g', 6);
}

// The record names the company beside its H code; the pool's name of the A
// share goes first, the served one fills in for a stock the pool lacks.
QStringList rowOf(const QStringList& items, const QMap<QString, Stock>& pool)
{
    const auto found = pool.constFind(items.at(5).trimmed());
    QString name = found == pool.constEnd() ? QString() : found->name;
    if (name.isEmpty())
        name = items.at(2).trimmed();
    return QStringList { name, items.at(1).trimmed(), items.at(3).trimmed(), items.at(4),
                         items.at(5), items.at(8), items.at(9), items.at(13), items.at(15) };
}

} // namespace

QStringList EastMoneyAHStringListInterface::urls(const QStringList&)
{
    QStringList pages;
    for (int page = 1; page <= kPageCount; ++page) {
        QString path = QString::fromLatin1(kPageTemplate);
        path.replace("@1", QString::number(page));
        path.replace("@2", randomFraction());
        pages.append(providerUrl(Provider::EastmoneyQuote, path));
    }
    return pages;
}

QVector<QStringList> EastMoneyAHStringListInterface::parse(const QString& body)
{
    QVector<QStringList> rows;
    const int first = body.indexOf('"');
    const int last = body.lastIndexOf('"');
    if (first < 0 || last <= first)
        return rows;

    const QString records = body.mid(first + 1, last - first - 1);
    const QMap<QString, Stock> pool = applicationStockPool();
    for (const QString& record : records.split("\",\"", Qt::KeepEmptyParts)) {
        const QStringList items = record.split(',', Qt::KeepEmptyParts);
        if (items.size() == kRecordItems)
            rows.append(rowOf(items, pool));
    }
    return rows;
}

bool EastMoneyAHStringListInterface::hasForm(const QString& body) const
{
    const int open = body.indexOf(QLatin1String("rank:["));
    return open >= 0 && body.indexOf(QLatin1Char(']'), open) > open;
}
