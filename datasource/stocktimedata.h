#pragma once

// One stock's intraday minutes of the current trading day, as served by the
// QQ finance minute service: the minute rows with their running average, two
// summary percentages, and the quote, order-book, price-level and deal values
// of the same response, stored unchanged. The end-of-day picking page judges
// stocks by it and the intraday chart draws it.
//
//   StockTimeData minutes = parseTimeData(httpGet(minuteDataUrl(code)));

#include <QString>
#include <QVector>

struct MinuteRow
{
    QString time;       // "hhmm" as sent
    float price = 0;
    float average = 0;  // running average price up to this minute
    int volume = 0;     // traded in this minute
};

struct OrderBookPair
{
    float price = 0;
    int volume = 0;
};

struct PriceLevel
{
    float price = 0;
    int volume = 0;
    int count = 0;
    float ratio = 0;
};

struct Deal
{
    QString time;
    float price = 0;
    int volume = 0;
    QString side;
    int amount = 0;
    int flag = 0;
};

struct StockTimeData
{
    bool valid = false;     // the response carried a date
    QString code;
    QString name;
    QString date;           // "yyyyMMdd"
    QVector<MinuteRow> rows;
    float quoteValues[16] = {};
    // Shares of rows, in percent; 0 for a record without rows (a suspended stock).
    float aboveAveragePercent = 0;
    float averageRisingPercent = 0;
    OrderBookPair orderBook[10];
    QVector<PriceLevel> priceLevels;
    QVector<Deal> deals;
    QString text1;
    QString text2;
};

// The minute request for a six-digit code.
QString minuteDataUrl(const QString& code);

// The record of one minute response, in today's form (the quote as one flat
// array after the rows) or the older one; an empty or foreign body gives a
// record that is not valid and has no rows.
StockTimeData parseTimeData(const QString& body);

// Minute rows from stored text, one minute a line, the latest line first:
// seven comma-separated fields of which 1 is the time, 2 the price and 4 the
// volume of that minute.
StockTimeData parseTimeDataText(const QString& text);

// True when the minute file at `path` has rows and both `a` is below its
// above-average share and `b` below its rising-average share.
bool checkMinuteFile(const QString& path, int a, int b);
