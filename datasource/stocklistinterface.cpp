#include "datasource/stocklistinterface.h"

#include "core/textutils.h"
#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"

namespace {

const int kColumns = 23;

bool readRow(const QStringList& cells, Stock& stock)
{
    stock.code = cells.at(0);
    stock.name = cells.at(1);
    stock.industry = cells.at(2);
    stock.area = cells.at(3);
    stock.pe = cells.at(4).toFloat();
    // Share counts come in units of 10,000 shares.
    stock.outstanding = truncatedCount(double(cells.at(5).toFloat() * 10000.0f));
    stock.totals = truncatedCount(double(cells.at(6).toFloat() * 10000.0f));
    stock.totalAssets = cells.at(7).toFloat();
    stock.liquidAssets = cells.at(8).toFloat();
    stock.fixedAssets = cells.at(9).toFloat();
    stock.reserved = cells.at(10).toFloat();
    stock.reservedPerShare = cells.at(11).toFloat();
    stock.esp = cells.at(12).toFloat();
    stock.bvps = cells.at(13).toFloat();
    stock.pb = cells.at(14).toFloat();
    stock.timeToMarket = cells.at(15);
    stock.undp = cells.at(16).toFloat();
    stock.perundp = cells.at(17).toFloat();
    stock.rev = cells.at(18).toFloat();
    stock.profit = cells.at(19).toFloat();
    stock.gpr = cells.at(20).toFloat();
    stock.npr = cells.at(21).toFloat();
    stock.holders = cells.at(22).toInt();
    return stock.outstanding >= 1 && stock.totals >= 1 && !isSpecialTreatment(stock.name);
}

} // namespace

QStringList StockListInterface::urls(const QStringList&)
{
    return QStringList { providerUrl(Provider::StockList, "/static/all.csv") };
}

QVector<Stock> StockListInterface::parse(const QString& body, const QString&)
{
    QVector<Stock> stocks;
    const QStringList lines = splitLines(body);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(',', Qt::KeepEmptyParts);
        Stock stock;
        if (cells.size() == kColumns && readRow(cells, stock))
            stocks.append(stock);
    }
    return stocks;
}

bool StockListInterface::hasForm(const QString& body) const
{
    const int end = body.indexOf(QLatin1Char('\n'));
    return end >= 0 && body.left(end).split(QLatin1Char(',')).size() == kColumns && body.endsWith(QLatin1Char('\n'));
}
