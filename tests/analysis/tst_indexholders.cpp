// The indicator pane under the candles: which drawer fills it, from which bar
// on each indicator draws, the colour rules and the shared x range.

#include "analysis/indexholders.h"
#include "analysis/vorelplot.h"

#include <QtTest>

namespace {

// Bars 1..n: closes rising by 0.1 with every third bar falling, volumes 10000 x i.
QVector<Stock> makeBars(int n)
{
    QVector<Stock> bars;
    for (int i = 1; i <= n; ++i) {
        Stock bar;
        bar.code = "000001";
        bar.open = 10 + 0.1f * i;
        bar.close = (i % 3 == 0) ? bar.open - 0.05f : bar.open + 0.08f;
        bar.high = qMax(bar.open, bar.close) + 0.1f;
        bar.low = qMin(bar.open, bar.close) - 0.1f;
        bar.volume = 10000.0f * i;
        bars << bar;
    }
    return bars;
}

// Points drawn by every plottable of a holder.
int pointsOf(IndexHolder* holder)
{
    int points = 0;
    if (auto* volume = qobject_cast<VolumeHolder*>(holder))
        points = volume->upBars->dataCount() + volume->downBars->dataCount() + volume->vol5->dataCount()
            + volume->vol10->dataCount();
    else if (auto* macd = qobject_cast<MacdHolder*>(holder))
        points = macd->upBars->dataCount() + macd->downBars->dataCount() + macd->diff->dataCount()
            + macd->dea->dataCount();
    else if (auto* kdj = qobject_cast<KDJHolder*>(holder))
        points = kdj->k->dataCount() + kdj->d->dataCount() + kdj->j->dataCount();
    else if (auto* boll = qobject_cast<BollHolder*>(holder))
        points = boll->bars->dataCount() + boll->upper->dataCount() + boll->middle->dataCount()
            + boll->lower->dataCount();
    return points;
}

// The first key drawn by a holder's lines (its first graph), or -1.
double firstLineKey(IndexHolder* holder)
{
    QCPGraph* graph = nullptr;
    if (auto* volume = qobject_cast<VolumeHolder*>(holder))
        graph = volume->vol5;
    else if (auto* macd = qobject_cast<MacdHolder*>(holder))
        graph = macd->diff;
    else if (auto* kdj = qobject_cast<KDJHolder*>(holder))
        graph = kdj->k;
    else if (auto* boll = qobject_cast<BollHolder*>(holder))
        graph = boll->upper;
    return graph && graph->dataCount() ? graph->data()->constBegin()->key : -1;
}

struct Pane
{
    VorelPlot plot;
    IndexViewProxy* proxy = new IndexViewProxy(&plot, 1, 0);
};

} // namespace

class TestIndexHolders : public QObject
{
    Q_OBJECT

private slots:
    void paneBeforeSetupIgnoresUpdates();
    void firstUpdateDrawsVolume();
    void paneContentsPerIndicator_data();
    void paneContentsPerIndicator();
    void flatBarsDrawUpColour();
    void longSeriesShowsLastCountBars();
    void paneMovesWithCandles();
};

void TestIndexHolders::paneBeforeSetupIgnoresUpdates()
{
    Pane pane;
    pane.proxy->update(makeBars(10));
    pane.proxy->setCurrent("KDJ");
    QVERIFY(!pane.proxy->currentHolder());
    QVERIFY(pane.proxy->holderNames().isEmpty());
}

void TestIndexHolders::firstUpdateDrawsVolume()
{
    Pane pane;
    pane.proxy->setup(120);
    QCOMPARE(pane.proxy->holderNames(),
             QStringList({QStringLiteral("成交量"), "MACD", "KDJ", "Boll"}));
    const QVector<Stock> bars = makeBars(10);
    pane.proxy->update(bars);

    auto* volume = qobject_cast<VolumeHolder*>(pane.proxy->currentHolder());
    QVERIFY(volume);
    // Every third bar closes below its open.
    QCOMPARE(volume->upBars->dataCount(), 7);
    QCOMPARE(volume->downBars->dataCount(), 3);
    QCOMPARE(volume->downBars->data()->constBegin()->key, 3 * 86400.0);
    QCOMPARE(volume->downBars->data()->constBegin()->value, 3.0);
    QCOMPARE(volume->vol5->dataCount(), 10);
    QCOMPARE(volume->vol10->dataCount(), 10);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(volume->vol5->data()->at(i)->value, 0.0);
    QCOMPARE(volume->vol5->data()->at(4)->value, 3.0);   // (1 + 2 + 3 + 4 + 5) / 5
    for (int i = 0; i < 9; ++i)
        QCOMPARE(volume->vol10->data()->at(i)->value, 0.0);
    QCOMPARE(volume->vol10->data()->at(9)->value, 5.5);
    QCOMPARE(volume->vol10->data()->at(9)->key, 10 * 86400.0);

    for (IndexHolder* other : pane.proxy->allHolders()) {
        if (other != volume)
            QCOMPARE(pointsOf(other), 0);
    }
}

void TestIndexHolders::paneContentsPerIndicator_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("firstKey");

    // 10 bars: MACD from bar 2 (bars up/down, diff, dea), KDJ from bar 9, no Boll yet.
    QTest::newRow("MACD") << "MACD" << 9 * 3 << 2 * 86400.0;
    QTest::newRow("KDJ") << "KDJ" << 2 * 3 << 9 * 86400.0;
    QTest::newRow("Boll") << "Boll" << 0 << -1.0;
    QTest::newRow("volume") << QStringLiteral("成交量") << 10 * 3 << 86400.0;
}

void TestIndexHolders::paneContentsPerIndicator()
{
    QFETCH(QString, name);
    QFETCH(int, points);
    QFETCH(double, firstKey);

    Pane pane;
    pane.proxy->setup(120);
    const QVector<Stock> bars = makeBars(10);
    pane.proxy->update(bars);
    // Switch away and back so that every drawer has drawn once before.
    pane.proxy->setCurrent("KDJ");
    pane.proxy->update(bars);
    pane.proxy->setCurrent(name);
    pane.proxy->update(bars);

    IndexHolder* current = pane.proxy->currentHolder();
    QCOMPARE(current->objectName(), name);
    QVERIFY(current->isVisible());
    QCOMPARE(pointsOf(current), points);
    QCOMPARE(firstLineKey(current), firstKey);
    for (IndexHolder* other : pane.proxy->allHolders()) {
        if (other != current) {
            QVERIFY(!other->isVisible());
            QCOMPARE(pointsOf(other), 0);
        }
    }
}

void TestIndexHolders::flatBarsDrawUpColour()
{
    Pane pane;
    pane.proxy->setup(120);
    QVector<Stock> bars = makeBars(10);
    for (Stock& bar : bars) {
        bar.open = bar.close = bar.high = bar.low = 10;
    }
    pane.proxy->update(bars);
    auto* volume = qobject_cast<VolumeHolder*>(pane.proxy->currentHolder());
    QCOMPARE(volume->upBars->dataCount(), 10);
    QCOMPARE(volume->downBars->dataCount(), 0);

    // Constant closes give a MACD bar of exactly 0 from bar 2 on.
    pane.proxy->setCurrent("MACD");
    pane.proxy->update(bars);
    auto* macd = qobject_cast<MacdHolder*>(pane.proxy->currentHolder());
    QCOMPARE(macd->upBars->dataCount(), 9);
    QCOMPARE(macd->downBars->dataCount(), 0);
    QCOMPARE(macd->upBars->data()->constBegin()->value, 0.0);
}

void TestIndexHolders::longSeriesShowsLastCountBars()
{
    Pane pane;
    pane.proxy->setup(120);
    pane.proxy->setup(60);   // the first count stays
    const QVector<Stock> bars = makeBars(300);
    pane.proxy->setCurrent("Boll");
    pane.proxy->update(bars);

    auto* boll = qobject_cast<BollHolder*>(pane.proxy->currentHolder());
    QCOMPARE(boll->shownCount(), 120);
    // With 180 earlier bars the bands exist from the first shown bar on.
    QCOMPARE(boll->middle->dataCount(), 120);
    QCOMPARE(boll->bars->dataCount(), 120);
    QCOMPARE(boll->bars->data()->constBegin()->key, 86400.0);
    QCOMPARE(boll->bars->data()->constBegin()->open, double(bars.at(180).open));
    QCOMPARE((boll->bars->data()->constEnd() - 1)->close, double(bars.at(299).close));
    float sum = 0;
    for (int i = 161; i <= 180; ++i)
        sum += bars.at(i).close;
    QVERIFY(qAbs(boll->middle->data()->constBegin()->value - sum * 0.05f) < 1e-4);
    QVERIFY(boll->upper->data()->constBegin()->value > boll->middle->data()->constBegin()->value);
    QVERIFY(boll->lower->data()->constBegin()->value < boll->middle->data()->constBegin()->value);
    // The hidden drawers' empty bars must not pull the value axis down to 0.
    QVERIFY(pane.proxy->axis(QCPAxis::atLeft)->range().lower > 20);
}

void TestIndexHolders::paneMovesWithCandles()
{
    Pane pane;
    pane.proxy->setup(120);
    QCPAxis* paneKeys = pane.proxy->axis(QCPAxis::atBottom);
    pane.plot.xAxis->setRange(5 * 86400.0, 40 * 86400.0);
    QCOMPARE(paneKeys->range().lower, 5 * 86400.0);
    QCOMPARE(paneKeys->range().upper, 40 * 86400.0);
    paneKeys->setRange(1.0, 2.0);
    QCOMPARE(pane.plot.xAxis->range().lower, 1.0);
    QVERIFY(!paneKeys->visible());
    QVERIFY(!pane.proxy->axis(QCPAxis::atLeft)->visible());
}

QTEST_MAIN(TestIndexHolders)
#include "tst_indexholders.moc"
