#include "core/tickqueue.h"

#include <QObject>
#include <QTimerEvent>

TickQueue::TickQueue(QObject* owner)
    : TickQueue(owner, ownItems)
{
}

TickQueue::TickQueue(QObject* owner, QStringList& items)
    : owner(owner), items(items)
{
}

void TickQueue::start(int firstMs, int total)
{
    runTotal = total < 0 ? items.size() : total;
    startNext(firstMs);
}

void TickQueue::startNext(int ms)
{
    timer.start(ms, owner);
}

void TickQueue::stop()
{
    timer.stop();
}

bool TickQueue::claim(const QTimerEvent* event)
{
    if (!timer.isActive() || event->timerId() != timer.timerId())
        return false;
    timer.stop();
    return true;
}

int TickQueue::done() const
{
    return qBound(0, runTotal - remaining(), runTotal);
}

int TickQueue::percentDone() const
{
    return progressPercent(done(), runTotal);
}

int progressPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return int(qBound<qint64>(0, done, total) * 100 / total);
}
