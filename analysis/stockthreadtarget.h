#pragma once

// A worker thread that runs one callback over every entry of a map of texts
// (the strategy pages give it the daily history files of data/, path as key
// and value) and reports progress to the GUI thread through updateStock.
//
// The callback runs on the worker thread. It must not touch widgets or anything
// the GUI thread changes: the owner hands the worker a copy of the stock pool
// before the start (setPool), and the callback reaches it, and the owning page
// (parent()), through StockThreadTarget::current(). A page keeps any setting
// its callback needs in a member that it fills before start() and leaves alone
// while the worker runs.
//
// The object is never destroyed while it runs: its destructor (and stop())
// request interruption and wait; the loop looks for the request between entries.

#include "core/stock.h"

#include <QMap>
#include <QString>
#include <QThread>

class StockThreadTarget : public QThread
{
    Q_OBJECT
public:
    using Callback = bool (*)(const QString& key, const QString& value, int kind);

    explicit StockThreadTarget(Callback callback, QObject* parent = nullptr);
    ~StockThreadTarget() override;

    // Both replace the data of the next run; while the worker runs they do nothing.
    void setStocks(const QMap<QString, QString>& stocks);
    void setPool(const QMap<QString, Stock>& pool);
    void setKind(int kind);

    int kind() const { return kindValue; }
    // The pool copy of the running worker; the callback reads it freely.
    const QMap<QString, Stock>& pool() const { return poolCopy; }

    // Asks the loop to end after the current entry and waits until it has.
    void stop();

    // The worker whose callback runs on the calling thread, null elsewhere.
    static StockThreadTarget* current();

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
};
