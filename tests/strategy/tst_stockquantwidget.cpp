#include "strategy/stockquantwidget.h"

#include "core/clock.h"
#include "core/vorelapplication.h"
#include "strategy/stockquantchecker.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/filecontents.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/sharelistfixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// 21 calm days, then a hammer (low 9, body 9.9-9.95, high 9.96).
QVector<Stock> calmThenHammer()
{
    return SeriesBuilder().flat(21, 10).add(ohlc(9.9f, 9.96f, 9.0f, 9.95f)).bars();
}

// A new stock rising for seven days, then falling 6 % on `falls` days.
QVector<Stock> risingThenFalling(int falls)
{
    SeriesBuilder bars;
    for (int i = 0; i < 7; ++i)
        bars.flat(1, 10 + i);
    float c = 16;
    for (int i = 0; i < falls; ++i)
        bars.flat(1, c *= 0.94f);
    return bars.flat(2, c).bars();
}

// A daily history as the K-line source stores it.
void writeHistory(const QString& code, const QVector<Stock>& bars)
{
    QVERIFY(klinefixtures::writeStoredHistory(code, klinefixtures::plainBars(bars)));
}

QVector<Stock> series(std::initializer_list<float> closes)
{
    return SeriesBuilder().code("600000").closes(closes).bars();
}

QStringList rowTexts(QTableWidget* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

class TestStockQuantWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        defaults = vorelApp()->config;
        setChinaNow(QDateTime(QDate(2020, 6, 30), QTime(16, 0)));
        writeShareList("config/data.db",
                       {"('600001','新股一','','',1,1,'20200601','','20200601')",
                        "('600002','老股二','','',1,1,'19990101','','19990101')",
                        "('600003','新股三','','',1,1,'20200101','','20200101')"});
    }

    void init()
    {
        vorelApp()->config = defaults;
        QDir("data").removeRecursively();
        QDir("output").removeRecursively();
        QVERIFY(QDir().mkpath("data"));
    }

    void rowHoldsBuyPriceAndFollowingDays_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("row");
        QTest::newRow("four days") << 4 << 1
                                   << "600000|" + dayText(1) + "|N/A|10.00|11.00|10.00|9.50|-5.00|12.00|20.00";
        QTest::newRow("three days") << 3 << 1 << "600000|" + dayText(1) + "|N/A|10.00|11.00|10.00|9.50|-5.00";
        QTest::newRow("two days left") << 4 << 3
                                       << "600000|" + dayText(3) + "|N/A|9.50|12.00|26.32||||";
        QTest::newRow("signal on the last day") << 4 << 5 << "600000|" + dayText(5) + "|N/A|||||||";
    }

    void rowHoldsBuyPriceAndFollowingDays()
    {
        QFETCH(int, days);
        QFETCH(int, pos);
        QFETCH(QString, row);
        StockQuantListWidget table(days);
        QCOMPARE(table.columnCount(), days == 3 ? 8 : 10);
        table.addStocks(series({8, 9, 10, 11, 9.5f, 12}), pos, 0, 7);
        QCOMPARE(rowTexts(&table), QStringList{row});
    }

    void nextDayRiseAboveTheLimitDropsTheSignal_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("rise");
        QTest::addColumn<int>("rows");
        QTest::newRow("yty 6.5 %") << 2 << 6.5f << 0;
        QTest::newRow("yty 6.0 %") << 2 << 6.0f << 1;
        QTest::newRow("dcz 4.9 % over 4.8") << 3 << 4.9f << 0;
        QTest::newRow("cxgsp 6.5 % over 6.4") << 4 << 6.5f << 0;
        QTest::newRow("flzt 4.9 %") << 6 << 4.9f << 0;
        QTest::newRow("flzt 4.8 %") << 6 << 4.8f << 1;
        QTest::newRow("hammer has no limit") << 1 << 10.0f << 1;
        QTest::newRow("cxgld has no limit") << 5 << 10.0f << 1;
        QTest::newRow("a type without a checker has no limit") << 8 << 10.0f << 1;
    }

    void nextDayRiseAboveTheLimitDropsTheSignal()
    {
        QFETCH(int, type);
        QFETCH(float, rise);
        QFETCH(int, rows);
        StockQuantListWidget table(4);
        QVector<Stock> bars = series({9, 10, 11});
        bars[2].changePercent = rise;
        table.addStocks(bars, 1, 0, type);
        QCOMPARE(table.rowCount(), rows);
        // Without a next day there is nothing to limit.
        table.addStocks(bars.mid(0, 2), 1, 0, type);
        QCOMPARE(table.rowCount(), rows + 1);
    }

    void signalParameterDescribesTheCandle_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("hammer: head and body per foot") << 1 << "50.00,50.00";
        QTest::newRow("inverted hammer: body and top per range") << 3 << "25.00,75.00";
        QTest::newRow("others") << 2 << "N/A";
        QTest::newRow("types without a checker") << 0 << "N/A";
    }

    void signalParameterDescribesTheCandle()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        Stock candle;
        candle.open = 10.5f;
        candle.close = 10.25f;
        candle.high = 10.75f;
        candle.low = 9.75f;
        StockQuantListWidget table(4);
        table.addStocks({candle}, 0, 0, type);
        QCOMPARE(table.item(0, 2)->text(), text);
    }

    void runListsEverySignalAndWritesTheReport()
    {
        writeHistory("600001", SeriesBuilder(calmThenHammer()).closes({10, 10.5f, 11, 11.5f}).bars());
        const QVector<Stock> again = SeriesBuilder(calmThenHammer() + calmThenHammer().mid(1)).bars();
        writeHistory("600002", again);
        QFile garbage("data/000000");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("<html>not found</html>");
        garbage.close();

        MessageCatcher catcher;
        StockQuantFrameWork frame;
        auto* tab = qobject_cast<StockQuantCheckerWidget*>(frame.widget(0));
        QVERIFY(tab);
        tab->onSearch();
        QVERIFY(tab->isRunning());
        QVERIFY(tab->findChild<QProgressBar*>()->isVisibleTo(tab));
        tab->onSearch();   // ignored while running
        QTRY_COMPARE(catcher.seen.size(), 1);
        QCOMPARE(catcher.seen.first(), QStringLiteral("提示|策略测试文档output/hammer.csv已生成请查阅"));
        QVERIFY(!tab->isRunning());
        QVERIFY(!tab->findChild<QProgressBar*>()->isVisibleTo(tab));

        tab->table()->sortItems(1);
        QStringList rows = rowTexts(tab->table());
        rows.sort();
        const QStringList expected{
            "600001|" + dayText(21) + "|1.11,5.56|10.00|10.50|5.00|11.00|10.00|11.50|15.00",
            "600002|" + dayText(21) + "|1.11,5.56|10.00|10.00|0.00|10.00|0.00|10.00|0.00",
            "600002|" + dayText(42) + "|1.11,5.56|||||||",
        };
        QCOMPARE(rows, expected);
        const QString csv = fileText("output/hammer.csv");
        QVERIFY2(csv.startsWith(QStringLiteral("代码,信号日期,信号参数,买入价格,第二天收,二天累计涨幅,"
                                               "第三天收,三天累计涨幅,第四天收,四天累计涨幅,\n")),
                 qPrintable(csv));
        // Commas inside a cell would split it: the parameter's comma is a blank.
        QVERIFY2(csv.contains("600001," + dayText(21) + ",1.11 5.56,10.00,"), qPrintable(csv));
        QCOMPARE(csv.count('\n'), 4);
    }

    void newStockRunTakesRecentListingsOnceEach()
    {
        writeHistory("600001", risingThenFalling(6));   // listed 29 days ago: two signal days
        writeHistory("600002", risingThenFalling(6));   // listed long ago
        writeHistory("600003", risingThenFalling(6));   // listed 181 days ago
        MessageCatcher catcher;
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(5));
        StockQuantCheckerWidget tab(checker.get());
        QCOMPARE(tab.table()->columnCount(), 8);
        for (int run = 1; run <= 2; ++run) {
            tab.onSearch();
            QTRY_COMPARE(catcher.seen.size(), run);
            // A second run over the same files lists the same rows.
            QCOMPARE(tab.table()->rowCount(), 1);
            QCOMPARE(tab.table()->item(0, 0)->text(), QString("600001"));
            QCOMPARE(tab.table()->item(0, 1)->text(), dayText(11));
        }
        QCOMPARE(fileText("output/cxgld.csv").count('\n'), 2);
    }

    void reportThatCannotBeWrittenIsAnError()
    {
        writeHistory("600001", calmThenHammer());
        QVERIFY(QDir().mkpath("output/hammer.csv"));   // a folder where the file should go
        MessageCatcher catcher;
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(1));
        StockQuantCheckerWidget tab(checker.get());
        tab.onSearch();
        QTRY_COMPARE(catcher.seen.size(), 1);
        QCOMPARE(catcher.seen.first(), QStringLiteral("错误|策略测试文档output/hammer.csv无法写入"));
        QCOMPARE(tab.table()->rowCount(), 1);
    }

    void nothingToScanStartsNothing()
    {
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(1));
        StockQuantCheckerWidget tab(checker.get());
        tab.onSearch();   // empty folder
        QVERIFY(!tab.isRunning());
        QDir("data").removeRecursively();
        tab.onSearch();   // no folder
        QVERIFY(!tab.isRunning());
    }

    void threadDeliversEveryHistoryInKeyOrder()
    {
        writeHistory("600001", calmThenHammer());
        writeHistory("600002", calmThenHammer());
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(1));
        StockQuantCheckerWidget tab(checker.get());
        StockQuantThreadTarget worker;
        connect(&worker, &StockQuantThreadTarget::updateStocks, &tab, &StockQuantCheckerWidget::onUpdateStocks);
        QSignalSpy spy(&worker, &StockQuantThreadTarget::updateStocks);
        worker.setStocks({{"b", QDir("data").absoluteFilePath("600002")}, {"a", QDir("data").absoluteFilePath("600001")}});
        worker.start();
        QVERIFY(worker.wait(5000));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), QString("600001"));
        QCOMPARE(spy.at(0).at(3).toInt(), 0);
        QCOMPARE(spy.at(1).at(0).toString(), QString("600002"));
        QCOMPARE(spy.at(1).at(3).toInt(), 50);
        QTRY_COMPARE(tab.table()->rowCount(), 2);
    }

    void frameHasATabPerCheckerAndOwnsThem()
    {
        auto frame = std::make_unique<StockQuantFrameWork>();
        QCOMPARE(frame->count(), 7);
        QCOMPARE(frame->tabText(0), QStringLiteral("锤子线量化策略"));
        QCOMPARE(frame->tabText(6), QStringLiteral("首次突破布林上轨混合一阳穿二线策略"));
        QPointer<StockQuantChecker> checker = frame->widget(4)->findChild<StockQuantChecker*>();
        QVERIFY(checker);
        QCOMPARE(checker->typeId(), 5);
        frame.reset();
        QVERIFY(checker.isNull());
    }

private:
    AppConfig defaults;
};

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestStockQuantWidget>(argc, argv, {"config"});
}

#include "tst_stockquantwidget.moc"
