#pragma once

// A worker thread that runs one callback over every entry of a map of texts
// (the strategy pages give it the daily history files of data/, path as key
// and value) and reports progress to the GUI thread through updateStock.
//
// The callback runs on the worker thread. It must not touch widgets or anything
// the GUI thread changes: the owner hands the worker copies of what the
// callback needs before the start, the stock pool (setPool) and its settings
// of any type (setParams), and the callback reads them through
// StockThreadTarget::current() and currentParams().
//
// Progress is reported before each entry, as progressPercent (core/tickqueue.h)
// of the entries done, the one formula of every scan.
//
// The object is never destroyed while it runs: its destructor (and stop())
// request interruption and wait; the loop looks for the request between entries.

#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QThread>

#include <any>

class StockThreadTarget : public QThread
{
    Q_OBJECT
public:
    using Callback = bool (*)(const QString& key, const QString& value, int kind);

    explicit StockThreadTarget(Callback callback, QObject* parent = nullptr);
    ~StockThreadTarget() override;

    // These replace the data of the next run; while the worker runs they do nothing.
    void setStocks(const QMap<QString, QString>& stocks);
    void setPool(const QMap<QString, Stock>& pool);
    void setKind(int kind);
    template <class Params>
    void setParams(const Params& params)
    {
        if (!isRunning())
            runParams = params;
    }

    int kind() const { return kindValue; }
    // The pool copy of the running worker; the callback reads it freely.
    const QMap<QString, Stock>& pool() const { return poolCopy; }

    // Asks the loop to end after the current entry and waits until it has.
    void stop();

    // The worker whose callback runs on the calling thread, null elsewhere.
    static StockThreadTarget* current();
    // The settings that worker was given, when they are of type Params; null
    // on any other thread, without settings, or for settings of another type.
    template <class Params>
    static const Params* currentParams()
    {
        const StockThreadTarget* worker = current();
        return worker ? std::any_cast<Params>(&worker->runParams) : nullptr;
    }

signals:
    void updateStock(int percent, const QString& code, int flag);

protected:
    void run() override;

private:
    const Callback callback;
    QMap<QString, QString> stocks;
    int kindValue = 0;
    int done = 0;
    QMap<QString, Stock> poolCopy;
    std::any runParams;
};
