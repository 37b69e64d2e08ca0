#pragma once

// The price comparison of companies listed both in Shanghai/Shenzhen (A
// shares) and in Hong Kong (H shares): five fixed pages of 20 companies. The
// service answers with a script that holds one quoted, comma-separated record
// per company.

#include "datasource/webinterface.h"

class EastMoneyAHStringListInterface final : public StringListInterface
{
public:
    // The five pages, page 1 first; the arguments are ignored.
    QStringList urls(const QStringList& args) override;
    // One row of nine cells per well-formed record, in the order of the body:
    // A-share name (from the stock pool, the record's own name when the pool
    // has none),
    // H code, H price, H change, A code, A price, A change, A/H price ratio,
    // A/H premium. Records with any other item count than 17 are skipped.
    QVector<QStringList> parse(const QString& body) override;
    // The script's record list "rank:[...]", opened and closed; a page past
    // the last company has it empty.
    bool hasForm(const QString& body) const override;
};
