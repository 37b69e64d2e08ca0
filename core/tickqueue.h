#pragma once

// The bookkeeping of a page that works through a list on the GUI thread, one
// item per timer tick: the items still to do, how many the run set out with,
// the share done so far, and the one timer that brings the next tick. What a
// tick does, and how long the page waits between two, stays with the page, in
// its own timerEvent.
//
// A tick is one-shot: claiming it stops the timer, and the page starts the
// next one when its work is done. A tick's blocking request lets other events
// through meanwhile, and no second tick may start inside it.
//
// The queue works on a list its owner keeps under its own name, so the page's
// list stays what callers and tests know; a page may refill that list at any
// time (start() counts what it holds then).

#include <QBasicTimer>
#include <QStringList>
#include <QtGlobal>

class QObject;
class QTimerEvent;

class TickQueue final
{
public:
    // Ticks alone, for a page that only waits before it starts (no items).
    explicit TickQueue(QObject* owner);
    // Ticks through `items`, a list that `owner` keeps.
    TickQueue(QObject* owner, QStringList& items);
    Q_DISABLE_COPY(TickQueue)

    // A new run over what the list holds now: that many items are its total
    // (or `total`, for a page that counts its run otherwise), and the first
    // tick comes `firstMs` from now.
    void start(int firstMs, int total = -1);
    // The next tick of the run, `ms` from now; it replaces one still pending.
    void startNext(int ms);
    void stop();
    // Whether a tick is pending.
    bool isActive() const { return timer.isActive(); }
    // True when `event` is this queue's tick, whose timer is then stopped;
    // false for any other timer of the owner, which the owner passes on.
    bool claim(const QTimerEvent* event);

    bool isEmpty() const { return items.isEmpty(); }
    int remaining() const { return items.size(); }
    int total() const { return runTotal; }
    // Items of the run taken so far.
    int done() const;
    // done() in percent of total(), 0 for a run without items.
    int percentDone() const;
    QString takeFirst() { return items.takeFirst(); }
    QString takeLast() { return items.takeLast(); }

private:
    QObject* owner;
    QStringList ownItems;
    QStringList& items;
    QBasicTimer timer;
    int runTotal = 0;
};

// `done` of `total` in percent, rounded down and held within 0 to 100; 0 when
// there is no total. Counted in 64 bits: a count times 100 overflows an int
// long before the count does.
int progressPercent(qint64 done, qint64 total);
