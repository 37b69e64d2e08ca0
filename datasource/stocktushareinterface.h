#pragma once

// Reads a local 7-column CSV of daily bars (date, open, high, close, low,
// volume, amount), newest day first; it has no URLs.

#include "datasource/webinterface.h"

class StockTuShareInterface : public StockInterface
{
public:
    QStringList urls(const QStringList& args) override;
    // Bars oldest first; reading ends at the first line without 7 cells.
    QVector<Stock> parse(const QString& text, const QString& code) override;
    void setParameter(int key, const QString& value) override;
};
