#pragma once

// The news search of one stock on the QQ K-line host, and the stock-doctor
// diagnosis page of the QQ stock application host.

#include "datasource/webinterface.h"

class StockNewsInterface final : public StringMapInterface
{
public:
    // One search URL per code (first page of six items).
    QStringList urls(const QStringList& codes) override;
    // One text map per object of the response's array; `extra` is not used.
    QVector<QMap<QString, QString> > parse(const QString& body, const QString& extra) override;
};

// One diagnosis page URL per code.
QStringList stockDoctorUrls(const QStringList& codes);

// The texts of a diagnosis page, tags cut off and trimmed, in this order: the
// rank class, the headline, the comment, the list of the first index block,
// the list of the second index block (each list's lines joined with "\n") and
// the index text. Empty when the page has no rank or no headline.
QStringList parseStockDoctor(const QString& body);
