#pragma once

// The candlestick scanner: tries the candle patterns of the library in a fixed
// order on the last bars and reports the first that matches.

#include "analysis/stockscanner.h"

class StockKScanner final : public StockScanner
{
    Q_OBJECT
public:
    explicit StockKScanner(QObject* parent = nullptr);

    int category() const override;
    // Appends the name of the first matching pattern and returns its signal
    // (0 or 1); -1 with fewer than 21 bars or no match.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};
