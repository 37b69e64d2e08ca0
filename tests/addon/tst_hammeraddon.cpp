#include "addon/hammerstrategy.h"
#include "addon/vorelinterface.h"
#include "analysis/indicators.h"
#include "tests/support/barbuilder.h"

#include <QLibrary>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

struct Trade
{
    QString code;
    QString name;
    TradePoint buy;
    TradePoint sell;
    int holdDays = 0;
    QString strategy;
};

// A host that makes real indicators, can refuse the n-th one and records
// everything the add-on asks for and reports.
class RecordingHost final : public VorelAddonHost
{
public:
    QString version() override { return QStringLiteral("1.0.0"); }
    QMap<QString, Stock> stocks() override { return pool; }
    StockIndicator* createIndicator(int type, int n, int, int) override
    {
        requests.append({type, n});
        if (requests.size() == refuseRequest)
            return nullptr;
        if (type == 1)
            made.emplace_back(new MaNIndicator(n));
        else if (type == 4)
            made.emplace_back(new VolMaNIndicator(n));
        else
            return nullptr;
        return made.back().get();
    }
    bool checkKShape(int, const QVector<Stock>&) override { return false; }
    void report(const QString& code, const QString& name, const TradePoint& buy,
                const TradePoint& sell, int holdDays, const QString& strategy) override
    {
        trades.append({code, name, buy, sell, holdDays, strategy});
    }

    QMap<QString, Stock> pool;
    int refuseRequest = 0;   // 1-based; 0 refuses nothing
    QList<QPair<int, int> > requests;
    QList<Trade> trades;
    std::vector<std::unique_ptr<StockIndicator> > made;
};

// Flat bars (no candle at all) of `close` on volume 100.
Stock flat(int i, float close)
{
    return flatBar(close).volume(100).day(i);
}

// Bars 0..20 flat, bar 21 a hammer (open 10, close 10.25, high 10.25, low 9)
// on `volume`; then `after` flat bars. All prices are exact binary fractions,
// so the averages come out exact. Bars 12..20 close at `recentClose`, the
// ones before at `earlyClose`.
QVector<Stock> hammerSeries(float earlyClose, float recentClose, float volume, int after)
{
    QVector<Stock> days;
    for (int i = 0; i < 21; ++i)
        days.append(flat(i, i < 12 ? earlyClose : recentClose));
    days.append(ohlc(10, 10.25f, 9, 10.25f).volume(volume).day(21));
    for (int i = 0; i < after; ++i)
        days.append(flat(22 + i, 11 + i));
    return days;
}

QString addonPath()
{
    return qEnvironmentVariable("VOREL_RUN_DIR") + "/addon/Addon.so";
}

} // namespace

class TestHammerAddon : public QObject
{
    Q_OBJECT

private:
    QLibrary library;
    VorelInterfaceEntry entry = nullptr;

    // A fresh add-on bound to `host` (the library keeps the last host it was given).
    VorelAddon* bind(RecordingHost& host)
    {
        return entry(&host, kVorelInterfaceVersion);
    }

    QList<Trade> run(const QVector<Stock>& days, int refuse = 0)
    {
        RecordingHost host;
        host.refuseRequest = refuse;
        VorelAddon* addon = bind(host);
        addon->check("600000", days);
        addon->release();
        return host.trades;
    }

private slots:
    void initTestCase()
    {
        library.setFileName(addonPath());
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        entry = reinterpret_cast<VorelInterfaceEntry>(library.resolve("get_vorel_interface"));
        QVERIFY(entry);
    }

    void exportRefusesWithoutAskingTheHost_data()
    {
        QTest::addColumn<bool>("withHost");
        QTest::addColumn<int>("version");
        QTest::newRow("version 999") << true << 999;
        QTest::newRow("null host") << false << kVorelInterfaceVersion;
    }

    void exportRefusesWithoutAskingTheHost()
    {
        QFETCH(bool, withHost);
        QFETCH(int, version);
        RecordingHost host;
        QVERIFY(entry(withHost ? &host : nullptr, version) == nullptr);
        QVERIFY(host.requests.isEmpty());
    }

    void bindingAsksForTheThreeAverages()
    {
        // close over 10 and 21 bars, volume over 21: the host counts and keeps them
        RecordingHost host;
        VorelAddon* addon = bind(host);
        QVERIFY(addon);
        addon->release();
        QCOMPARE(host.requests, (QList<QPair<int, int> >{{1, 10}, {1, 21}, {4, 21}}));
    }

    void hammerCandle_data()
    {
        QTest::addColumn<float>("open");
        QTest::addColumn<float>("close");
        QTest::addColumn<float>("high");
        QTest::addColumn<float>("low");
        QTest::addColumn<bool>("hammer");
        QTest::newRow("short wick, long shadow") << 10.00f << 10.02f << 10.03f << 9.80f << true;
        QTest::newRow("wick above the close 0.04") << 10.00f << 10.02f << 10.06f << 9.80f << false;
        // 0.0335227549 - 0.00352275488 is 0.0300000000279 exactly, but rounds to
        // the single-precision 0.03, which still counts as short.
        QTest::newRow("wick rounding to 0.03") << 0.00352275488f << 0.00352275488f
                                               << 0.0335227549f << -0.01f << true;
        QTest::newRow("falling candle, close 0.03 below high") << 10.02f << 10.00f << 10.03f << 9.80f
                                                              << true;
        QTest::newRow("falling candle, close far below high") << 10.02f << 9.98f << 10.03f << 9.50f
                                                             << false;
        // 0.05 - 0.01 is exactly the single-precision 0.04: not longer than it.
        QTest::newRow("range exactly 0.04") << 0.05f << 0.05f << 0.05f << 0.01f << false;
        QTest::newRow("body a quarter of the shadow") << 10.00f << 10.25f << 10.25f << 9.00f << true;
        QTest::newRow("body above a quarter") << 10.00f << 10.25f << 10.25f << 9.0625f << false;
        // Lower shadow 1, body 0.2578: just over a quarter.
        QTest::newRow("body just over a quarter") << 10.00f << 10.2578125f << 10.2578125f << 9.0f << false;
        QTest::newRow("no price") << 0.f << 0.f << 0.f << 0.f << false;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("high not a number") << 10.00f << 10.02f << nan << 9.80f << false;
        QTest::newRow("low not a number") << 10.00f << 10.02f << 10.03f << nan << false;
    }

    void hammerCandle()
    {
        QFETCH(float, open);
        QFETCH(float, close);
        QFETCH(float, high);
        QFETCH(float, low);
        QFETCH(bool, hammer);
        QCOMPARE(hammer::isHammerCandle(ohlc(open, high, low, close).volume(1).day(0)), hammer);
    }

    void tradeEndsFollowTheHit_data()
    {
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("buyDate");
        QTest::addColumn<float>("buyPrice");
        QTest::addColumn<QString>("sellDate");
        QTest::addColumn<float>("sellPrice");
        QTest::addColumn<int>("holdDays");
        // 22 bars: only the last one is tested, and its trade is still open.
        QTest::newRow("hit on the last bar") << 0 << QStringLiteral("下一交易日") << 0.f
                                             << QString() << 0.f << 0;
        QTest::newRow("hit on the bar before") << 1 << dayText(22) << 11.f << QString() << 0.f << 0;
        QTest::newRow("two bars after the hit") << 2 << dayText(22) << 11.f << dayText(23) << 12.f << 1;
    }

    void tradeEndsFollowTheHit()
    {
        QFETCH(int, after);
        QFETCH(QString, buyDate);
        QFETCH(float, buyPrice);
        QFETCH(QString, sellDate);
        QFETCH(float, sellPrice);
        QFETCH(int, holdDays);
        const QList<Trade> trades = run(hammerSeries(12, 10.25f, 200, after));
        QCOMPARE(trades.size(), 1);
        const Trade& t = trades.first();
        QCOMPARE(t.code, QString("600000"));
        QCOMPARE(t.buy.date, buyDate);
        QCOMPARE(t.buy.price, buyPrice);
        QCOMPARE(t.sell.date, sellDate);
        QCOMPARE(t.sell.price, sellPrice);
        QCOMPARE(t.holdDays, holdDays);
        QCOMPARE(t.strategy, QStringLiteral("锤子量化策略"));
    }

    void averagesAndVolumeDecideAHit_data()
    {
        QTest::addColumn<float>("earlyClose");
        QTest::addColumn<float>("recentClose");
        QTest::addColumn<float>("volume");
        QTest::addColumn<bool>("hit");
        // The hammer closes at 10.25; the 10-day average of bars 12..21 is recentClose
        // when that is 10.25, and the 21-day one mixes in earlyClose.
        QTest::newRow("close equal to the 10-day average") << 12.f << 10.25f << 200.f << true;
        QTest::newRow("close above the 10-day average") << 12.f << 10.f << 200.f << false;
        QTest::newRow("close equal to the 21-day average") << 10.25f << 10.25f << 200.f << false;
        QTest::newRow("volume twice the day-before average") << 12.f << 10.25f << 200.f << true;
        QTest::newRow("volume just under twice") << 12.f << 10.25f << 199.99f << false;
    }

    void averagesAndVolumeDecideAHit()
    {
        QFETCH(float, earlyClose);
        QFETCH(float, recentClose);
        QFETCH(float, volume);
        QFETCH(bool, hit);
        QCOMPARE(run(hammerSeries(earlyClose, recentClose, volume, 2)).size(), hit ? 1 : 0);
    }

    void twentyOneBarsAreNotEnough()
    {
        QVector<Stock> days = hammerSeries(12, 10.25f, 200, 0);
        days.removeFirst();
        QVERIFY(run(days).isEmpty());
    }

    void everyHitIsReportedInBarOrder()
    {
        QVector<Stock> days = hammerSeries(12, 10.25f, 200, 0);
        // A second hammer right after the first one, on heavy volume again.
        days.append(ohlc(10, 10.25f, 9, 10.25f).volume(1000).day(22));
        days.append(flat(23, 10.5f));
        const QList<Trade> trades = run(days);
        QCOMPARE(trades.size(), 2);
        QCOMPARE(trades.at(0).buy.date, dayText(22));
        QCOMPARE(trades.at(1).buy.date, dayText(23));
    }

    void nameComesFromThePool()
    {
        RecordingHost host;
        Stock pooled;
        pooled.name = QStringLiteral("浦发银行");
        host.pool.insert("600000", pooled);
        VorelAddon* addon = bind(host);
        addon->check("600000", hammerSeries(12, 10.25f, 200, 2));
        addon->check("000001", hammerSeries(12, 10.25f, 200, 2));
        addon->release();
        QCOMPARE(host.trades.size(), 2);
        QCOMPARE(host.trades.at(0).name, pooled.name);
        QCOMPARE(host.trades.at(1).name, QString());
    }

    void refusedIndicatorMeansNoReports_data()
    {
        QTest::addColumn<int>("refuse");
        QTest::newRow("10-day average") << 1;
        QTest::newRow("21-day average") << 2;
        QTest::newRow("volume average") << 3;
    }

    void refusedIndicatorMeansNoReports()
    {
        QFETCH(int, refuse);
        QVERIFY(run(hammerSeries(12, 10.25f, 200, 2), refuse).isEmpty());
    }

    void checkStartsEachStockAfresh()
    {
        // A stock whose history alone yields no hit must not inherit the
        // averages of the stock checked before it.
        RecordingHost host;
        VorelAddon* addon = bind(host);
        addon->check("600000", hammerSeries(12, 10.25f, 200, 2));
        addon->check("600001", hammerSeries(10.25f, 10.25f, 200, 2));
        addon->release();
        QCOMPARE(host.trades.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHammerAddon)
#include "tst_hammeraddon.moc"
