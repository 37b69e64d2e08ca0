#pragma once

// Rates the stocks of a dragon-tiger list by who bought them: branches with a
// good record, institutions, well-known branches (the department table),
// branches known to buy together (the cowork table), and two chart signals on
// the stock's downloaded daily data. A stock with a score of 2 or more is a
// result.

#include "core/records.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

struct LhbResult
{
    QString code;
    int score = 0;
    QStringList reasons;
};

struct CoworkPair
{
    QString first;
    QString second;
    float rate = 0;   // joint success rate in percent
};

class LhbAnalyzer
{
public:
    // Reads the tables compiled into the program (":qrc/department",
    // ":qrc/cowork").
    LhbAnalyzer();
    // Takes the tables as texts in the same line formats.
    LhbAnalyzer(const QString& departmentText, const QString& coworkText);

    // Lines "branch,label"; a later line for the same branch wins.
    static QMap<QString, QString> parseDepartmentTable(const QString& text);
    // Lines "branch,branch,85.71%", in file order.
    static QVector<CoworkPair> parseCoworkTable(const QString& text);

    // The score and reasons of one stock's seat rows. The daily data is read
    // from data/dl/ + code under the working folder.
    LhbResult evaluate(const QString& code, const QVector<LHBUnit>& rows) const;
    // Evaluates every stock of seatRows; results keeps those scoring 2 or more.
    void run();

    QMap<QString, QVector<LHBUnit> > seatRows;   // input: the seats of each stock on one date
    QMap<QString, LhbResult> results;
    QMap<QString, QString> departmentTable;
    QVector<CoworkPair> coworkTable;
};
