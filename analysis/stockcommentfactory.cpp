#include "analysis/stockcommentfactory.h"

#include "analysis/indicatorscanners.h"
#include "analysis/stockkscanner.h"

#include <memory>

StockCommentFactory::StockCommentFactory()
    : StockCommentFactory(QList<StockScanner*>{new StockMaNScanner, new StockMACDScanner, new StockVolScanner,
                                               new StockKScanner, new PricePositionScanner, new BreachScanner})
{
}

StockCommentFactory::StockCommentFactory(const QList<StockScanner*>& owned)
    : scanners(owned)
{
}

StockCommentFactory::~StockCommentFactory()
{
    qDeleteAll(scanners);
}

StockCommentFactory* StockCommentFactory::instance()
{
    static std::unique_ptr<StockCommentFactory> factory(new StockCommentFactory);
    return factory.get();
}

int StockCommentFactory::category() const
{
    return NoScannerCategory;
}

int StockCommentFactory::scan(const QString& code, const QVector<Stock>& bars, QStringList* out)
{
    if (out)
        out->clear();
    comments.clear();
    for (StockScanner* scanner : qAsConst(scanners)) {
        QStringList texts;
        if (scanner->scan(code, bars, &texts) != -1)
            comments[scanner->category()] += texts;
    }
    return 1;
}
