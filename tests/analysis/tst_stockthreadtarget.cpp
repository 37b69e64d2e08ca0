#include "analysis/stockthreadtarget.h"

#include "analysis/historyscan.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
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

// A gated callback waits for the test, or for its worker to be stopped.
void waitForGate()
{
    while (gated && !gate.tryAcquire(1, 5)) {
        if (StockThreadTarget::current()->isInterruptionRequested())
            break;
    }
}

bool recordAndPassOdd(const QString& key, const QString&, int kind)
{
    waitForGate();
    seenKeys.append(key);
    lastKind.storeRelaxed(kind);
    return calls.fetchAndAddRelaxed(1) % 2 == 0;
}

// The settings the callback found, by type: -1 and "" where it found none.
int intParamSeen = 0;
QString textParamSeen;

bool readParams(const QString&, const QString&, int)
{
    waitForGate();
    const int* number = StockThreadTarget::currentParams<int>();
    const QString* text = StockThreadTarget::currentParams<QString>();
    intParamSeen = number ? *number : -1;
    textParamSeen = text ? *text : QString();
    return true;
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

    void callbackReadsTheSettingsOfItsTypeOnly()
    {
        QVERIFY(StockThreadTarget::currentParams<int>() == nullptr);
        StockThreadTarget worker(&readParams);
        worker.setStocks(entries(1));
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(intParamSeen, -1);   // none given

        int settings = 7;
        worker.setParams(settings);
        gated = true;
        worker.start();
        settings = 8;   // the worker keeps its own copy
        worker.setParams(QString("while running: ignored"));
        gate.release(1);
        QVERIFY(worker.wait(5000));
        QCOMPARE(intParamSeen, 7);
        QCOMPARE(textParamSeen, QString());

        gated = false;
        worker.setParams(QString("text"));
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(intParamSeen, -1);
        QCOMPARE(textParamSeen, QString("text"));
    }

    // Every folder scan starts from the listing of data/ and says why it
    // cannot start.
    void scanStartListsHistoriesOrSaysWhyNot()
    {
        const QString previous = QDir::currentPath();
        QTemporaryDir work;
        QVERIFY(work.isValid() && QDir::setCurrent(work.path()));
        const QString noFolder = QStringLiteral("没有可扫描的历史数据(data/),请先用智能点评下载");
        const QString noFile = QStringLiteral("无股票数据请先使用智能点评搜索股票数据之后再进行分析");

        QVERIFY(!HistoryScanFiles().hasFolder());
        QCOMPARE(HistoryScanFiles().nothingToScan(), noFolder);
        QFile plain("data");   // a file where the folder belongs
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(HistoryScanFiles().nothingToScan(), noFolder);
        QVERIFY(plain.remove());

        QVERIFY(QDir().mkpath("data/k"));
        for (const char* name : {"none", "600000.AsNkOc"}) {
            QFile other(QString("data/") + name);
            QVERIFY(other.open(QIODevice::WriteOnly));
        }
        QVERIFY(HistoryScanFiles().hasFolder());
        QVERIFY(HistoryScanFiles().paths().isEmpty());
        QCOMPARE(HistoryScanFiles().nothingToScan(), noFile);

        for (const char* name : {"600001", "000002"}) {
            QFile history(QString("data/") + name);
            QVERIFY(history.open(QIODevice::WriteOnly));
        }
        const HistoryScanFiles files;
        const QDir data("data");
        const QStringList expected{data.absoluteFilePath("000002"), data.absoluteFilePath("600001")};
        QCOMPARE(files.paths(), expected);
        QCOMPARE(files.workMap().keys(), expected);
        QCOMPARE(files.workMap().values(), expected);
        QCOMPARE(files.nothingToScan(), QString());
        QVERIFY(QDir::setCurrent(previous));
    }
};

QTEST_GUILESS_MAIN(TestStockThreadTarget)
#include "tst_stockthreadtarget.moc"
