#include "analysis/stockthreadtarget.h"

#include "core/tickqueue.h"

StockThreadTarget::StockThreadTarget(Callback callback, QObject* parent)
    : QThread(parent)
    , callback(callback)
{
}

StockThreadTarget::~StockThreadTarget()
{
    stop();
}

void StockThreadTarget::setStocks(const QMap<QString, QString>& stocks)
{
    if (!isRunning())
        this->stocks = stocks;
}

void StockThreadTarget::setPool(const QMap<QString, Stock>& pool)
{
    if (!isRunning())
        poolCopy = pool;
}

void StockThreadTarget::setKind(int kind)
{
    if (!isRunning())
        kindValue = kind;
}

void StockThreadTarget::stop()
{
    requestInterruption();
    wait();
}

StockThreadTarget* StockThreadTarget::current()
{
    return qobject_cast<StockThreadTarget*>(QThread::currentThread());
}

void StockThreadTarget::run()
{
    done = 0;
    const int size = stocks.size();
    for (auto it = stocks.constBegin(); it != stocks.constEnd(); ++it) {
        if (isInterruptionRequested())
            break;
        const int percent = progressPercent(done, size);
        if (callback && callback(it.key(), it.value(), kindValue))
            emit updateStock(percent, it.key(), 1);
        else
            emit updateStock(percent, QString(), 0);
        ++done;
    }
}
