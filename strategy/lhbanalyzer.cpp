#include "strategy/lhbanalyzer.h"

#include "analysis/indicators.h"
#include "core/fileutils.h"
#include "core/textutils.h"
#include "datasource/storedhistory.h"

#include <QSet>

namespace {

const char* const kInstitution = "机构专用";

// Net buying of ten million yuan (the amounts are in 10,000 yuan).
const float kStrongNetBuy = 1000.0f;
// A branch whose record of success is below this has not earned its place.
const float kGoodRate = 60.0f;

QStringList fieldsOf(const QString& line)
{
    return line.split(',', Qt::KeepEmptyParts);
}

bool isInstitution(const LHBUnit& row)
{
    return row.seat.contains(QString::fromUtf8(kInstitution));
}

struct BuySide
{
    QVector<LHBUnit> rows;
    QSet<QString> seats;
    int institutions = 0;
    float netBuy = 0;
    int rated = 0;
    int good = 0;

    explicit BuySide(const QVector<LHBUnit>& all)
    {
        for (const LHBUnit& row : all) {
            if (row.side != 1)
                continue;
            rows.append(row);
            seats.insert(row.seat);
            if (isInstitution(row))
                ++institutions;
            netBuy += row.netAmount.toFloat();
            const QString rate = row.cell3.trimmed();
            if (!rate.endsWith('%'))
                continue;
            ++rated;
            // An institution seat has no branch record worth judging.
            if (rate.chopped(1).toFloat() >= kGoodRate || isInstitution(row))
                ++good;
        }
    }

    bool recordHolds() const { return rated == good; }
};

QString departmentBuy(const QMap<QString, QString>& table, const QSet<QString>& seats)
{
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (seats.contains(it.key()))
            return it.value() + QStringLiteral("买入");
    }
    return QString();
}

QString jointBuy(const QVector<CoworkPair>& table, const QSet<QString>& seats)
{
    for (const CoworkPair& pair : table) {
        if (seats.contains(pair.first) && seats.contains(pair.second))
            return QStringLiteral("营业部联合买入,单指标成功率高达:%1").arg(QString::number(pair.rate, 'g', 6));
    }
    return QString();
}

} // namespace

LhbAnalyzer::LhbAnalyzer()
    // Both tables are compiled-in resources; a read through the application's
    // resource-or-disk reader comes to the same plain file read.
    : LhbAnalyzer(loadTemplate(QStringLiteral(":qrc/department")), loadTemplate(QStringLiteral(":qrc/cowork")))
{
}

LhbAnalyzer::LhbAnalyzer(const QString& departmentText, const QString& coworkText)
    : departmentTable(parseDepartmentTable(departmentText))
    , coworkTable(parseCoworkTable(coworkText))
{
}

QMap<QString, QString> LhbAnalyzer::parseDepartmentTable(const QString& text)
{
    QMap<QString, QString> table;
    for (const QString& line : splitLines(text)) {
        const QStringList fields = fieldsOf(line);
        if (fields.size() == 2)
            table.insert(fields.at(0), fields.at(1));
    }
    return table;
}

QVector<CoworkPair> LhbAnalyzer::parseCoworkTable(const QString& text)
{
    QVector<CoworkPair> table;
    for (const QString& line : splitLines(text)) {
        const QStringList fields = fieldsOf(line);
        if (fields.size() != 3)
            continue;
        CoworkPair pair;
        pair.first = fields.at(0);
        pair.second = fields.at(1);
        QString rate = fields.at(2);
        rate.chop(1);   // the "%"
        pair.rate = rate.toFloat();
        table.append(pair);
    }
    return table;
}

LhbResult LhbAnalyzer::evaluate(const QString& code, const QVector<LHBUnit>& rows) const
{
    LhbResult result;
    const BuySide buy(rows);
    const QString joint = jointBuy(coworkTable, buy.seats);

    bool jointUsed = false;
    if (buy.recordHolds()) {
        result.reasons << QStringLiteral("买入营业部均有不俗成功率");
    } else if (buy.rows.size() - buy.good == 1 && !joint.isEmpty()) {
        // One weak branch is forgiven when it is buying together with a
        // partner it is known to succeed with.
        result.reasons << joint;
        jointUsed = true;
    } else {
        return LhbResult();
    }

    if (buy.netBuy < kStrongNetBuy)
        return result;
    result.reasons << QStringLiteral("买入机构买入净额超过一千万");
    result.score = 1;

    if (buy.institutions >= 1) {
        result.reasons << QStringLiteral("%1家机构买入").arg(buy.institutions);
        result.score = 2;
    }

    // The daily data of the data update dialog, when there is one.
    const QVector<Stock> bars = readDownloadedHistory(code);
    if (isFirstBreakBollUpper(bars, 1))
        result.reasons << QStringLiteral("首次突破布林上轨");
    if (isMacdGoldenCross(bars))
        result.reasons << QStringLiteral("MACD金叉");

    const QString department = departmentBuy(departmentTable, buy.seats);
    if (!department.isEmpty()) {
        result.reasons << department;
        ++result.score;
    }
    if (!jointUsed && !joint.isEmpty()) {
        result.reasons << joint;
        ++result.score;
    }

    result.code = code;
    return result;
}

void LhbAnalyzer::run()
{
    for (auto it = seatRows.cbegin(); it != seatRows.cend(); ++it) {
        const LhbResult result = evaluate(it.key(), it.value());
        if (result.score >= 2)
            results.insert(it.key(), result);
    }
}
