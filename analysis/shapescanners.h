#pragma once

// Chart shapes that span days or weeks: a breakdown through three moving
// averages, sideways ranges at high and low levels, double top, W shape,
// ascending triangle, one rising bar through three averages and a steady
// upward trend. A matching scanner appends its text (the trend scanner has
// none) and records the shape's key bars for callers that mark them; a scanner
// that does not match leaves its record as it was.
//
// A rule whose range would start before the first bar, or that would divide by
// a price of 0, gives no signal (-1).

#include "analysis/indicators.h"
#include "analysis/stockscanner.h"

// 断头铡刀: a fall of more than 3 % from above MA5, MA10 and MA20 to below all three.
class StockDuanTouChaDaoScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockDuanTouChaDaoScanner(QObject* parent = nullptr);

    int category() const override;
    // 1 on a match; needs 26 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MaNIndicator ma5{5};
    MaNIndicator ma10{10};
    MaNIndicator ma20{20};
};

// A narrow 7-day range at least 20 % above the 60-day low.
class StockGaoWeiHengPanScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockGaoWeiHengPanScanner(QObject* parent = nullptr);

    int category() const override;
    // 1 on a match; needs 61 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// A narrow 7-day range close to the low of the 60 to 20 days before.
class StockDiWeiHengPanScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockDiWeiHengPanScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 on a match; needs 61 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// Double top: two peaks after the last two MA5-over-MA10 golden crosses, a
// trough at least 9 % below both, ending in a bearish candle pattern.
class StockMShapeScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockMShapeScanner(QObject* parent = nullptr);

    int category() const override;
    // 1 on a match (record name "双顶形态"); needs 61 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MaNIndicator ma5{5};
    MaNIndicator ma10{10};
    MaNIndicator ma20{20};
};

// W shape: a bottom, a top at least 20 % higher, and the last bar back within
// 2 % of the bottom with a bullish candle pattern.
class StockWShapeScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockWShapeScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 on a match; needs 61 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// Ascending triangle: a flat top and rising lows, broken upwards by a strong bar.
class StockShangShengSanJiaoXingScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockShangShengSanJiaoXingScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 on a match; needs 26 bars, and the flat-top test reads 33.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;
};

// 一阳穿三线: a rise of more than 4 % above MA5, MA10 and MA30 that lay within
// 1.5 % of each other.
class StockYiYangChuanSanXianScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockYiYangChuanSanXianScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 on a match; needs 33 bars.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MaNIndicator ma5{5};
    MaNIndicator ma10{10};
    MaNIndicator ma30{30};
};

// A steady upward trend: MA5 above MA20 for 29 days without a day outside
// [-3.2 %, 3.61 %], starting from a low at least 21 days back. Appends nothing.
class StockUpwardTrendScanner final : public StockShapeScanner
{
    Q_OBJECT
public:
    explicit StockUpwardTrendScanner(QObject* parent = nullptr);

    int category() const override;
    // 0 on a match; needs 46 bars, and MA20 must be valid on each of the 29 days.
    int scan(const QString& code, const QVector<Stock>& bars, QStringList* out) override;

private:
    MaNIndicator ma5{5};
    MaNIndicator ma20{20};
    int days = 29;
    float maxChange = 3.61f;
    float minChange = -3.2f;
};
