#pragma once

// Plain text records of the information pages: notices, the suspension list and
// the seat rows of the dragon-tiger list.

#include <QMap>
#include <QString>
#include <QVariant>

class Data
{
public:
    QString date;
    QString code;
    QString name;
    QMap<QString, QString> fields;
    QVariant value;
};

class LHBUnit
{
public:
    QString seat;
    QString cell1;
    QString cell2;
    QString cell3;
    QString buyAmount;
    QString cell5;
    QString sellAmount;
    QString cell7;
    QString netAmount;
    int side = 0;   // 1 buy list; anything else is read as the sell list
};
