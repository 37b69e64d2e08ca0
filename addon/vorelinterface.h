#pragma once

// The add-on interface: the program and every add-on library compile this very
// header, so the order of the virtual operations, the members of TradePoint and
// the declarations it includes (Stock, StockIndicator) are part of the binary
// contract between them. Change any of it and every add-on must be rebuilt; the
// interface version below says which contract a library was built against.
//
// An add-on library exports one plain C function:
//
//   extern "C" VorelAddon* get_vorel_interface(VorelAddonHost* host, int version);
//
// The program calls it once with its host and kVorelInterfaceVersion; the
// library answers with a new add-on object, or null to refuse.

#include "addon/stockindicator.h"
#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QVector>

// The version of this contract; a library refuses any other number.
constexpr int kVorelInterfaceVersion = 1000;

// One end of a trade: a "yyyy-MM-dd" date, or a text such as "下一交易日"
// while the day is not yet known (its price is 0 then).
struct TradePoint
{
    QString date;
    float price = 0;
};

// Implemented by an add-on. The object belongs to the add-on: the program never
// deletes it, it calls release().
class VorelAddon
{
public:
    virtual ~VorelAddon() = default;
    virtual void release() = 0;
    virtual QString author() = 0;
    virtual QString version() = 0;
    // The strategy's name: its entry in the bind dialog and the strategy text of its trades.
    virtual QString introduction() = 0;
    virtual QString hint() = 0;
    // Runs the strategy over one stock's daily bars, oldest first, and reports every
    // trade through the host. Called on a worker thread, one stock after the other.
    virtual int check(const QString& code, const QVector<Stock>& days) = 0;
};

// Implemented by the program. An add-on never deletes the host, so the interface
// has no virtual destructor (which would take a slot of the contract).
class VorelAddonHost
{
public:
    // The host's contract version text.
    virtual QString version() = 0;
    // A copy of the stock pool, code -> Stock.
    virtual QMap<QString, Stock> stocks() = 0;
    // A new indicator owned by the host (null when refused): type 0 MACD, 1 average
    // close over n bars, 2 Boll, 3 KDJ, 4 average volume over n bars. The last two
    // arguments are reserved.
    virtual StockIndicator* createIndicator(int type, int n, int reserved1, int reserved2) = 0;
    // Whether candle pattern `id` matches the end of `days`.
    virtual bool checkKShape(int id, const QVector<Stock>& days) = 0;
    // Records one trade; may be called from the worker thread that runs check().
    virtual void report(const QString& code, const QString& name, const TradePoint& buy,
                        const TradePoint& sell, int holdDays, const QString& strategy) = 0;

protected:
    ~VorelAddonHost() = default;
};

// The signature of the library export.
extern "C" {
typedef VorelAddon* (*VorelInterfaceEntry)(VorelAddonHost* host, int version);
}
