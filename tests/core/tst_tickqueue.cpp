// The tick queue of the timer-driven pages: the share of a run it reports, the
// list it counts, and that each tick comes once, to its own queue only. The
// ticks are zero-millisecond timers run by the event loop: nothing waits.

#include "core/tickqueue.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QtTest>

namespace {

// A page in miniature: counts the ticks of its queue and the other timers it
// gets.
class Ticker : public QObject
{
public:
    QStringList items;
    TickQueue queue{this, items};
    int ticks = 0;
    int foreign = 0;

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (!queue.claim(event)) {
            ++foreign;
            killTimer(event->timerId());
            return;
        }
        ++ticks;
    }
};

// Lets the event loop fire what is due, a bounded number of rounds.
void runDueTimers()
{
    for (int round = 0; round < 20; ++round)
        QCoreApplication::processEvents();
}

} // namespace

class TickQueueTest : public QObject
{
    Q_OBJECT
private slots:
    void progressIsHeldWithinARunAndNeverOverflows_data();
    void progressIsHeldWithinARunAndNeverOverflows();
    void runCountsTheOwnersListAsItStandsAtTheStart();
    void eachTickComesOnceAndOnlyToItsQueue();
};

void TickQueueTest::progressIsHeldWithinARunAndNeverOverflows_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("no total") << qint64(0) << qint64(0) << 0;
    QTest::newRow("a third, rounded down") << qint64(1) << qint64(3) << 33;
    QTest::newRow("all") << qint64(3) << qint64(3) << 100;
    // 30 million times 100 is past the int range
    QTest::newRow("a large run") << qint64(30000000) << qint64(40000000) << 75;
    QTest::newRow("more than the total") << qint64(5) << qint64(4) << 100;
    QTest::newRow("less than nothing") << qint64(-1) << qint64(4) << 0;
}

void TickQueueTest::progressIsHeldWithinARunAndNeverOverflows()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, percent);
    QCOMPARE(progressPercent(done, total), percent);
}

void TickQueueTest::runCountsTheOwnersListAsItStandsAtTheStart()
{
    Ticker page;
    page.items = QStringList{"a", "b", "c"};
    page.queue.start(1000);
    QCOMPARE(page.queue.total(), 3);
    QCOMPARE(page.queue.percentDone(), 0);
    QCOMPARE(page.queue.takeFirst(), QString("a"));
    QCOMPARE(page.queue.takeLast(), QString("c"));
    QCOMPARE(page.queue.done(), 2);
    QCOMPARE(page.queue.percentDone(), 66);
    QCOMPARE(page.items, QStringList{"b"});

    // The page refills its own list; the next run counts what it holds then.
    page.items = QStringList{"x", "y"};
    QCOMPARE(page.queue.remaining(), 2);
    page.queue.start(1000);
    QCOMPARE(page.queue.done(), 0);
    // A run counted with one step more than its items (the last step shows
    // 100 only once the list is empty).
    page.queue.start(1000, 3);
    page.queue.takeLast();
    QCOMPARE(page.queue.percentDone(), 66);
    page.queue.takeLast();
    QCOMPARE(page.queue.percentDone(), 100);
    QVERIFY(page.queue.isEmpty());
    page.queue.stop();
}

void TickQueueTest::eachTickComesOnceAndOnlyToItsQueue()
{
    Ticker page;
    page.queue.start(0);
    QVERIFY(page.queue.isActive());
    runDueTimers();
    QCOMPARE(page.ticks, 1);
    QVERIFY(!page.queue.isActive());   // claimed: the page starts the next one
    runDueTimers();
    QCOMPARE(page.ticks, 1);

    // A next tick started while one is pending replaces it.
    page.queue.startNext(0);
    page.queue.startNext(0);
    runDueTimers();
    QCOMPARE(page.ticks, 2);

    // A stopped run brings no tick.
    page.queue.startNext(0);
    page.queue.stop();
    runDueTimers();
    QCOMPARE(page.ticks, 2);

    // Another timer of the page, due while the queue's tick is pending, is
    // not that tick.
    page.queue.startNext(60000);
    page.startTimer(0);
    runDueTimers();
    QCOMPARE(page.foreign, 1);
    QCOMPARE(page.ticks, 2);
    QVERIFY(page.queue.isActive());
    page.queue.stop();
}

QTEST_GUILESS_MAIN(TickQueueTest)
#include "tst_tickqueue.moc"
