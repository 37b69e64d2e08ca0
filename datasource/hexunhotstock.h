#pragma once

// The ranking of stocks by investor attention on the hot-stock host. Its
// address changes now and then, so it is read off the host's root page each
// time; the ranking itself is XML, one element per stock whose child elements
// are the eight texts of a row (rank, code, name, attention, change of
// attention, change in percent, rank trend, latest price).

#include <QString>
#include <QStringList>
#include <QVector>

// The host's root page, which links the ranking service.
QString hotStockRootUrl();

// The request for the first 30 entries of ranking type 1, built from the last
// link to the ranking service on `rootPage`; empty when the page has none.
QString hotStockRankingUrl(const QString& rootPage);

// One row per child element of the document element, its texts taken from the
// row's child elements in document order. No rows when `xml` does not parse.
QVector<QStringList> parseHotStockXml(const QString& xml);

// Whether `xml` is a ranking document at all (it parses), which tells an
// error page or a cut document from a ranking without entries.
bool hasHotStockRankingForm(const QString& xml);
