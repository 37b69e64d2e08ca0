#pragma once

// The engine of the smart comments: runs a fixed set of scanners over one
// stock's bars and collects their texts grouped by scanner category.

#include "analysis/stockscanner.h"

#include <QList>
#include <QMap>
#include <QStringList>

class StockCommentFactory : public StockScanner
{
    Q_OBJECT
public:
    // The moving-average, MACD, volume, candlestick, price-position and gap
    // scanners, in this order.
    StockCommentFactory();
    // Runs `owned` (taken over) in list order instead.
    explicit StockCommentFactory(const QList<StockScanner*>& owned);
    ~StockCommentFactory() override;

    // The program's one factory, made on first use and deleted at exit.
    static StockCommentFactory* instance();

    int category() const override;
    // Fills `comments` from every scanner that signals; `out` is left empty.
    // Always 1.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

    QMap<int, QStringList> comments;
    QList<StockScanner*> scanners;
};
