#pragma once

// The one record for a stock, a daily bar or a quote. It crosses the add-on
// boundary: the program and every add-on compile this very declaration, so the
// fields, their order and their types are part of the add-on interface.

#include <QMap>
#include <QString>
#include <QStringList>

class TradeRecord;

class Stock
{
public:
    QString code;
    QString name;
    QString area;
    int bidScore = 0;
    int buyVolume1 = 0;
    int buyVolume2 = 0;
    int buyVolume3 = 0;
    int buyVolume4 = 0;
    int buyVolume5 = 0;
    int sellVolume1 = 0;
    int sellVolume2 = 0;
    int sellVolume3 = 0;
    int sellVolume4 = 0;
    int sellVolume5 = 0;
    QString industry;
    float turnover = 0;
    float volume = 0;
    float amount = 0;
    float preClose = 0;
    float open = 0;
    float high = 0;
    float low = 0;
    float close = 0;
    float changePercent = 0;
    float change = 0;
    QString text1;
    QString date;
    QString timeToMarket;
    QString text2;
    float buySellRatio = 0;
    float value1 = 0;
    int totals = 0;
    int outstanding = 0;
    float pe = 0;
    float totalAssets = 0;
    float liquidAssets = 0;
    float fixedAssets = 0;
    float reserved = 0;
    float reservedPerShare = 0;
    float esp = 0;
    float bvps = 0;
    float pb = 0;
    float undp = 0;
    float perundp = 0;
    float rev = 0;
    float profit = 0;
    float gpr = 0;
    float npr = 0;
    int holders = 0;
    bool valid = false;
    QMap<int, QStringList> comments;
    QString lhbType;
    QString text3;
    QString text4;
    float value2 = 0;
    TradeRecord* trade = nullptr;   // not owned: see the strategy-result list view
};
