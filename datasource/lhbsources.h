#pragma once

// The dragon-tiger list (龙虎榜): the stocks the exchanges list on a trade
// date, grouped under the reason for listing, and the five buying and five
// selling broker seats of one stock. Sina serves the list page, Eastmoney and
// QQ the seats. All three cut HTML or script text with matchAll; a page
// without the expected markers gives an empty result.

#include "datasource/webinterface.h"

// The stocks listed on a trade date, each carrying the reason heading above it.
class SinaLHBStockListInterface final : public StockInterface
{
public:
    // With dates ("yyyy-MM-dd"), one URL per date; without, the latest list.
    QStringList urls(const QStringList& dates) override;
    QVector<Stock> parse(const QString& body, const QString& extra) override;
    // The list table, closed by the pager below it.
    bool hasForm(const QString& body) const override;

    // The last reason heading seen. A list continued over several pages
    // starts its next page with stocks of the same reason, so it is kept
    // from one parse to the next.
    QString currentReason;

private:
    bool parseRow(const QString& row, Stock& stock);
};

// The buying (side 1) and selling (side 2) seats of one stock on one date,
// then a summary unit (side 0, no seat name) when the page has one.
class EastmoneyLHBDataInterface final : public LHBInterface
{
public:
    // Each argument is "code,date"; one that is not exactly two parts is skipped.
    QStringList urls(const QStringList& args) override;
    QVector<LHBUnit> parse(const QString& body, const QString& extra) override;
    // The detail block, through to the page's end.
    bool hasForm(const QString& body) const override;
};

// The seats of one stock from the QQ script service, amounts in 10,000 yuan.
class QQLHBDataInterface final : public LHBInterface
{
public:
    // Each argument is "code,date"; one that is not exactly two parts is skipped.
    QStringList urls(const QStringList& args) override;
    QVector<LHBUnit> parse(const QString& body, const QString& extra) override;
    // The array of seat arrays, opened and closed.
    bool hasForm(const QString& body) const override;
};

// One blocking request for the Eastmoney seats of `code` on `date`; empty
// when the page holds none, or when the request fails or its answer lacks the
// page's form, which `failure` (when given) then names (answerFailure).
QVector<LHBUnit> fetchEastmoneySeats(const QString& code, const QString& date, const QObject* owner = nullptr,
                                     QString* failure = nullptr);
