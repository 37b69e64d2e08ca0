#pragma once

// The all-stocks list, a 23-column CSV with a header line, which fills the
// descriptive fields of Stock. "ST" names and rows without shares are dropped.

#include "datasource/webinterface.h"

class StockListInterface : public StockInterface
{
public:
    QStringList urls(const QStringList& args) override;
    QVector<Stock> parse(const QString& body, const QString& extra) override;
    // A header line of the 23 column names, and a line break at the end: the
    // list has no closing mark, and a body cut off ends inside a line.
    bool hasForm(const QString& body) const override;
};
