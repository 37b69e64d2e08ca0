#pragma once

// Daily history CSV of the 163 quotes service.

#include "core/stock.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// One URL per code of the application's stock pool whose record's date is not
// already the start date (1080 days before China's today).
QStringList neteaseHistoryUrls(const QStringList& codes);
// The same with the pool and today given; pure.
QStringList neteaseHistoryUrls(const QStringList& codes, const QMap<QString, Stock>& pool, const QDate& today);

// The bars of a 163 CSV body (header line first; fewer than 27 lines give
// none), with industry and area from the application's stock pool. Stores
// nothing: the source has no cache directory.
QVector<Stock> parseNeteaseHistory(const QString& body, const QString& code);
QVector<Stock> parseNeteaseHistory(const QString& body, const QString& code, const QMap<QString, Stock>& pool);
