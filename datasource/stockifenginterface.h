#pragma once

// Daily K-line history from the iFeng finance API (the data update dialog
// keeps it under data/dl/). Names, industries, areas and share counts come
// from the application's stock pool. parse stores the body it read as the
// QQ source does (storeHistoryBody), the one file it may write;
// parseIFengHistory touches nothing.

#include "datasource/webinterface.h"

class StockiFengInterface : public StockInterface
{
public:
    QString cacheDir;   // prefix with trailing "/"; empty stores nothing

    QStringList urls(const QStringList& codes) override;
    // Stores the body as cacheDir + code under the same rule as the QQ source.
    QVector<Stock> parse(const QString& body, const QString& code) override;
    // The array of bar arrays, opened and closed.
    bool hasForm(const QString& body) const override;
    // CacheDirParameter (stockqqhistoryinterface.h): cacheDir; every other key is ignored.
    void setParameter(int key, const QString& value) override;
};

// The bars of an iFeng body, with the descriptive fields from `pool`; pure.
QVector<Stock> parseIFengHistory(const QString& body, const QString& code, const QMap<QString, Stock>& pool);
