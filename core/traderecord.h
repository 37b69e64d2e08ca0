#pragma once

// One trade result as the add-on host keeps it. A Stock carries it through its
// `trade` pointer; the strategy-result list view that lists the stock owns it.

#include <QString>

class TradeRecord
{
public:
    QString buyDate;
    float buyPrice = 0;
    QString sellDate;
    float sellPrice = 0;
    int holdDays = 0;
    float gainPercent = 0;
    QString strategy;
};
