#pragma once

// The common base of every pattern scanner. A scanner looks at the daily bars of
// one stock (oldest first), appends its Chinese comments to a list and answers a
// signal: -1 no signal (too few bars or no pattern), 0 and 1 its two signals (by
// convention bullish and bearish), larger values scanner-specific levels.
// Scanners never report errors and never read outside the series they are given.

#include "core/stock.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// The comment group of a scanner: the key under which its texts are filed in
// Stock::comments and the column of the scanner list view.
enum ScannerCategory {
    NoScannerCategory = -1,            // base, shape base, helpers
    TrendScannerCategory = 0,          // moving averages and MACD: 趋势指标
    VolumeScannerCategory = 1,         // 成交量指标
    KLineScannerCategory = 2,          // candle patterns: K线
    ShapeScannerCategory = 3,          // chart shapes: 形态
    BreachScannerCategory = 4,         // gaps: 缺口
    KdjScannerCategory = 5,
    PricePositionScannerCategory = 6,  // 价格位置
    HotStockFibonacciScannerCategory = 96,
    TrendLineScannerCategory = 97,
    NewStockFibonacciScannerCategory = 98,
    TailScannerCategory = 99,
};

class StockScanner : public QObject
{
    Q_OBJECT
public:
    explicit StockScanner(QObject* parent = nullptr);
    ~StockScanner() override;

    virtual int category() const;
    // Examines bars, appends zero or more texts to *out and returns the signal.
    virtual int scan(const QString& code, const QVector<Stock>& bars, QStringList* out);
};

// Appends one comment of a scan to *out; a caller that wants only the signal
// passes no list.
inline void appendComment(QStringList* out, const QString& text)
{
    if (out)
        out->append(text);
}

// One key bar of a recognised shape.
struct ShapePoint
{
    QString date;
    float price = 0;
};

// The key bars of the last recognised shape, for callers that mark them.
struct ShapeRecord
{
    ShapePoint point1;
    ShapePoint point2;
    ShapePoint point3;
    QString name;
};

// Base of the chart-shape scanners. A subclass fills the record on a match and
// leaves it as it was otherwise.
class StockShapeScanner : public StockScanner
{
    Q_OBJECT
public:
    explicit StockShapeScanner(QObject* parent = nullptr);

    const ShapeRecord& shapeRecord() const { return shape; }

protected:
    ShapeRecord shape;
};
