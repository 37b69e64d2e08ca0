#include "analysis/stockthreadtarget.h"

#include <QAtomicInt>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// The callback is a plain function: what it sees goes through these.
QAtomicInt calls;
QAtomicInt lastKind(-1);
QSemaphore gate;           // released by the test to let one callback through
bool gated = false;
QStringList seenKeys;      // written on the worker, read after it ended
QStringList poolSeen;
bool sawWorker = false;

bool recordAndPassOdd(const QString& key, const QString&, int kind)
{
    // A gated callback waits for the test, or for its worker to be stopped.
    while (gated && !gate.tryAcquire(1, 5)) {
        if (StockThreadTarget::current()->isInterruptionRequested())
            break;
    }
    seenKeys.append(key);
    lastKind.storeRelaxed(kind);
    return calls.fetchAndAddRelaxed(1) % 2 == 0;
}

bool readPool(const QString&, const QString&, int)
{
    StockThreadTarget* self = StockThreadTarget::current();
    sawWorker = self != nullptr;
    if (self)
        poolSeen = self->pool().keys();
    return true;
}

QMap<QString, QString> entries(int n)
{
    QMap<QString, QString> map;
    for (int i = 0; i < n; ++i) {
        const QString key = QStringLiteral("/data/%1").arg(600000 + i);
        map.insert(key, key);
    }
    return map;
}

} // namespace

class TestStockThreadTarget : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        calls = 0;
        lastKind = -1;
        gated = false;
        seenKeys.clear();
        poolSeen.clear();
        sawWorker = false;
        gate.acquire(gate.available());
    }

    void runReportsPercentsAndHits_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int> >("percents");
        QTest::newRow("three entries") << 3 << QList<int>{0, 33, 66};
        QTest::newRow("one entry") << 1 << QList<int>{0};
        QTest::newRow("empty map") << 0 << QList<int>{};
    }

    void runReportsPercentsAndHits()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, percents);
        StockThreadTarget worker(&recordAndPassOdd);
        worker.setStocks(entries(size));
        QSignalSpy updates(&worker, &StockThreadTarget::updateStock);
        QSignalSpy finished(&worker, &QThread::finished);
        worker.start();
        // finished() comes from the worker thread: it may be out before the wait starts.
        QVERIFY(worker.wait(5000));
        QCOMPARE(finished.count(), 1);

        QCOMPARE(updates.count(), percents.size());
        const QStringList keys = entries(size).keys();
        for (int i = 0; i < updates.count(); ++i) {
            QCOMPARE(updates.at(i).at(0).toInt(), percents.at(i));
            // Even calls pass: the key and flag 1; the others an empty code and flag 0.
            const bool hit = i % 2 == 0;
            QCOMPARE(updates.at(i).at(1).toString(), hit ? keys.at(i) : QString());
            QCOMPARE(updates.at(i).at(2).toInt(), hit ? 1 : 0);
        }
        QCOMPARE(seenKeys, keys);   // in key order
    }

    void kindStartsAtZeroAndReachesTheCallback()
    {
        StockThreadTarget worker(&recordAndPassOdd);
        QCOMPARE(worker.kind(), 0);
        worker.setStocks(entries(1));
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(lastKind.loadRelaxed(), 0);

        worker.setKind(3);
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(lastKind.loadRelaxed(), 3);
    }

    void dataChangedDuringARunIsIgnored()
    {
        gated = true;
        StockThreadTarget worker(&recordAndPassOdd);
        worker.setStocks(entries(2));
        worker.start();
        worker.setStocks(entries(5));   // running: ignored, and not kept for later
        worker.setKind(7);
        gate.release(2);
        QVERIFY(worker.wait(5000));
        QCOMPARE(seenKeys.size(), 2);
        QCOMPARE(lastKind.loadRelaxed(), 0);

        // The object is reusable: a second start walks the same map again.
        seenKeys.clear();
        gate.release(2);
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(seenKeys, entries(2).keys());
    }

    void destroyingARunningWorkerStopsBetweenEntries()
    {
        gated = true;
        auto owner = std::make_unique<QObject>();
        QPointer<StockThreadTarget> worker = new StockThreadTarget(&recordAndPassOdd, owner.get());
        worker->setStocks(entries(1000));
        worker->start();
        gate.release(3);
        QTRY_VERIFY(calls.loadRelaxed() >= 3);
        owner.reset();   // deletes the worker while it runs
        QVERIFY(worker.isNull());
        // The entry under way ends; no further one starts.
        QVERIFY(calls.loadRelaxed() <= 4);
    }

    void callbackReadsThePoolCopyTakenBeforeTheStart()
    {
        QVERIFY(StockThreadTarget::current() == nullptr);
        StockThreadTarget worker(&readPool);
        QMap<QString, Stock> pool;
        pool.insert("600000", Stock());
        worker.setPool(pool);
        worker.setStocks(entries(1));
        worker.start();
        pool.insert("000001", Stock());   // the owner's later changes stay its own
        QVERIFY(worker.wait(5000));
        QVERIFY(sawWorker);
        QCOMPARE(poolSeen, QStringList{"600000"});
    }
};

QTEST_GUILESS_MAIN(TestStockThreadTarget)
#include "tst_stockthreadtarget.moc"
