#pragma once

// The end-of-day picking's scanner: a bullish candle pattern on the last bars,
// and a pre-filter that keeps only quotes worth fetching a history for.

#include "analysis/stockscanner.h"

class StockTailScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockTailScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 when any bullish candle pattern matches the end of bars, else -1;
    // appends nothing.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

    // A realtime quote that rose between 2.2 % and 6.2 % from its open, at most
    // 6.5 % on the day, with short shadows and no "*" in its name.
    static bool isCandidate(const Stock& quote);
};
