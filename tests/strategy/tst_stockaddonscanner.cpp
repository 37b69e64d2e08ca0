#include "strategy/stockaddonscanner.h"

#include "analysis/candlestickwidget.h"
#include "analysis/vorelplot.h"
#include "core/traderecord.h"
#include "core/vorelapplication.h"
#include "strategy/addonhost.h"
#include "strategy/stockaddonsetting.h"
#include "tests/analysis/chartfixtures.h"
#include "tests/datasource/klinefixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/columnfit.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "widgets/stocklistview.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

// 21 calm bars from `start` on (closes 12, then 10.25 from the 13th), then a
// hammer (open 10, close 10.25, high 10.25, low 9) on twice their volume.
QVector<Stock> hammerAt21(int start)
{
    QVector<Stock> bars;
    for (int i = 0; i < 21; ++i)
        bars << flatBar(i < 12 ? 12.f : 10.25f).volume(100).day(start + i);
    bars << ohlc(10, 10.25f, 9, 10.25f).volume(200).day(start + 21);
    return bars;
}

// A daily history file as the K-line source stores it.
QByteArray historyBody(const QString& code, const QVector<Stock>& bars)
{
    return klinefixtures::storedHistory(code, klinefixtures::plainBars(bars)).toLatin1();
}

void writeHistory(const QString& code, const QVector<Stock>& bars)
{
    QFile file("data/" + code);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(historyBody(code, bars));
}

// Three closed trades (gains 2.5, 0 and -1.0, the first two bought on the
// same day) and one open trade of a stock that also has a closed one.
void writeScanFixture()
{
    const Stock rise = ohlc(10, 11, 10, 11).volume(100).day(22);
    writeHistory("600001", hammerAt21(0) << rise << ohlc(10, 10.25f, 10, 10.25f).volume(100).day(23));
    writeHistory("600002", hammerAt21(0) << rise << flatBar(10).volume(100).day(23));
    writeHistory("600003", hammerAt21(5) << ohlc(10, 11, 10, 11).volume(100).day(27)
                                         << ohlc(10, 10, 9.9f, 9.9f).volume(100).day(28)
                                         << ohlc(10, 10.25f, 9, 10.25f).volume(1000).day(29));

    // Too short to test, and a file that holds no bars at all.
    writeHistory("600004", hammerAt21(0).mid(0, 21));
    QFile garbage("data/000000");
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("<html>not found</html>");
    // A whole copy left by an interrupted write is no stock of its own.
    QVERIFY(QFile::copy("data/600001", "data/600001.AsNkOc"));
}

Stock closedTrade(const QString& code, const QString& buyDate, float gain, int holdDays = 1)
{
    Stock stock;
    stock.code = code;
    auto* t = new TradeRecord;
    t->buyDate = buyDate;
    t->buyPrice = 10;
    t->sellDate = holdDays ? "2020-02-01" : QString();
    t->sellPrice = 10;
    t->holdDays = holdDays;
    t->gainPercent = gain;
    stock.trade = t;
    return stock;
}

AddonRegistry& registry()
{
    return VorelAddonHostImpl::instance()->registry;
}

QString cell(QTableWidget* table, int r, int c)
{
    QTableWidgetItem* item = table->item(r, c);
    return item ? item->text() : QString("<none>");
}

} // namespace

class TestStockAddonScanner : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir("data").removeRecursively();
        QVERIFY(QDir().mkpath("data"));
        registry().boundIndex = -1;
    }

    void addonOfTheWorkingFolderIsLoaded()
    {
        QVERIFY(VorelAddonHostImpl::instance());
        QCOMPARE(registry().count(), 1);
    }

    void bindDialogShowsAndBindsTheAddon()
    {
        StockAddonSetting dialog;
        auto* combo = dialog.findChild<QComboBox*>();
        QCOMPARE(combo->count(), 1);
        const QString details = dialog.findChild<QTextEdit*>()->toPlainText();
        QVERIFY2(details.startsWith(QStringLiteral("介绍锤子量化策略\n版本:1.0.0.4\n作者:岚蚁")),
                 qPrintable(details));
        dialog.onConfig();
        QCOMPARE(registry().boundIndex, 0);

        // every line of the details shows, at a larger font too
        for (int pointSize : { 0, 12 }) {
            FontOverride font(pointSize);
            StockAddonSetting shown;
            shown.show();
            QVERIFY(QTest::qWaitForWindowExposed(&shown));
            auto* text = shown.findChild<QTextEdit*>();
            QVERIFY2(text->document()->size().height() <= text->viewport()->height(), qPrintable(QString::number(pointSize)));
            QVERIFY(shown.width() >= 320 && shown.height() >= 128);
            QVERIFY(saveScreenshot(&shown, QString("bindaddon-%1pt").arg(pointSize)));
        }
    }

    void scanNeedsABoundAddonAndHistories_data()
    {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing bound") << false << QStringLiteral("警告|请选择策略插件");
        QTest::newRow("no history files")
            << true << QStringLiteral("提示|无股票数据请先使用智能点评搜索股票数据之后再进行分析");
    }

    void scanNeedsABoundAddonAndHistories()
    {
        QFETCH(bool, bound);
        QFETCH(QString, message);
        registry().boundIndex = bound ? 0 : -1;
        MessageCatcher catcher;
        StockAddonScanner scanner;
        scanner.onSearch();
        QCOMPARE(catcher.seen, QStringList{message});
        QVERIFY(!scanner.isScanning());
        QVERIFY(scanner.findChild<QPushButton*>()->isEnabled());
    }

    void scanWithoutHistoryFolderSaysSo()
    {
        registry().boundIndex = 0;
        QVERIFY(QDir("data").removeRecursively());
        MessageCatcher catcher;
        StockAddonScanner scanner;
        scanner.onSearch();
        QCOMPARE(catcher.seen,
                 QStringList{QStringLiteral("提示|没有可扫描的历史数据(data/),请先用智能点评下载")});
        QVERIFY(!scanner.isScanning());
    }

    void summaryCountsClosedTradesOnly_data()
    {
        QTest::addColumn<QList<float> >("gains");
        QTest::addColumn<QStringList>("buyDates");
        QTest::addColumn<QList<int> >("holdDays");
        QTest::addColumn<QString>("summary");
        QTest::newRow("three closed trades on two days")
            << QList<float>{2.5f, 0.f, -1.0f} << QStringList{"2020-01-02", "2020-01-02", "2020-01-03"}
            << QList<int>{1, 1, 1}
            << QStringLiteral("次数:3,准确率:66.67%,平均收益:0.50%,平均持股天数:1,"
                              "离散度:1(该数字越小越好)");
        QTest::newRow("an open trade changes nothing")
            << QList<float>{2.5f, 0.f, -1.0f, 7.f}
            << QStringList{"2020-01-02", "2020-01-02", "2020-01-03", "2020-01-04"}
            << QList<int>{1, 1, 1, 0}
            << QStringLiteral("次数:3,准确率:66.67%,平均收益:0.50%,平均持股天数:1,"
                              "离散度:1(该数字越小越好)");
        QTest::newRow("uneven holding days")
            << QList<float>{-0.5f, 1.f} << QStringList{"2020-01-02", "2020-01-03"}
            << QList<int>{1, 2}
            << QStringLiteral("次数:2,准确率:50.00%,平均收益:0.25%,平均持股天数:1.5,"
                              "离散度:1(该数字越小越好)");
        QTest::newRow("only open trades") << QList<float>{1.f} << QStringList{"2020-01-02"}
                                          << QList<int>{0} << QString();
    }

    void summaryCountsClosedTradesOnly()
    {
        QFETCH(QList<float>, gains);
        QFETCH(QStringList, buyDates);
        QFETCH(QList<int>, holdDays);
        QFETCH(QString, summary);
        StockAddonScanner scanner;
        for (int i = 0; i < gains.size(); ++i)
            scanner.addResult(closedTrade("600000", buyDates.at(i), gains.at(i), holdDays.at(i)));
        // Every trade is listed, also the open ones and repeated codes.
        QCOMPARE(scanner.findChild<StockListView*>()->rowCount(), gains.size());
        QCOMPARE(scanner.summary().text(), summary);
    }

    void reportsReachOnlyAnOpenPage()
    {
        VorelAddonHostImpl* host = VorelAddonHostImpl::instance();
        const TradePoint buy{"2020-01-02", 10.f};
        const TradePoint sell{"2020-01-03", 10.5f};
        host->report("600000", "", buy, sell, 1, "s");   // no page: dropped
        QCoreApplication::processEvents();

        auto scanner = std::make_unique<StockAddonScanner>();
        host->report("600000", "", buy, sell, 1, "s");
        QCOMPARE(scanner->summary().tradeCount, 0);     // delivered on the GUI thread, later
        QTRY_COMPARE(scanner->summary().tradeCount, 1);
        QCOMPARE(scanner->summary().gainSum, 5.0);

        host->report("600000", "", buy, sell, 1, "s");
        scanner.reset();                                // closed before delivery: dropped
        QCoreApplication::processEvents();
        QVERIFY(vorelApp()->addonScanner == nullptr);
    }

    void scanListsTheTradesAndSumsThemUp()
    {
        writeScanFixture();
        registry().boundIndex = 0;
        Stock pooled;
        pooled.name = QStringLiteral("测试一");
        vorelApp()->stockPool.insert("600001", pooled);

        MessageCatcher catcher;
        StockAddonScanner scanner;
        auto* button = scanner.findChild<QPushButton*>();
        scanner.onSearch();
        QVERIFY(scanner.isScanning());
        QVERIFY(!button->isEnabled());
        scanner.onSearch();   // ignored while the first scan runs
        QTRY_COMPARE(catcher.seen.size(), 1);
        QVERIFY(!scanner.isScanning());
        QVERIFY(button->isEnabled());
        QCOMPARE(catcher.seen.first(),
                 QStringLiteral("汇总|次数:3,准确率:66.67%,平均收益:0.50%,平均持股天数:1,"
                                "离散度:1(该数字越小越好)"));

        auto* list = scanner.findChild<StockListView*>();
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(scanner.findChild<QProgressBar*>()->value(), 100);   // the scan ran to its end

        // Scanning the same files again lists and sums up the same trades,
        // not twice as many.
        scanner.onSearch();
        QTRY_COMPARE(catcher.seen.size(), 2);
        QCOMPARE(catcher.seen.last(), catcher.seen.first());
        QCOMPARE(list->rowCount(), 4);
        // Each row shows one trade whole, also when a code trades twice.
        const QStringList expected{
            "600001|" + QStringLiteral("测试一") + "|" + dayText(22) + "|" + dayText(23) + "|2.5",
            "600002||" + dayText(22) + "|" + dayText(23) + "|0",
            "600003||" + dayText(27) + "|" + dayText(28) + "|-1",
            "600003||" + QStringLiteral("下一交易日") + "||?"};
        QStringList rows;
        for (int r = 0; r < list->rowCount(); ++r) {
            rows << QStringList{cell(list, r, 1), cell(list, r, 2), cell(list, r, 3),
                                cell(list, r, 5), cell(list, r, 8)}
                        .join('|');
        }
        QCOMPARE(rows, expected);
        vorelApp()->stockPool.clear();

        // A row click shows the stored history up to the trade's day, unadjusted
        // daily bars; a code that is no file name shows nothing.
        scanner.onClick("600003", dayText(28));
        auto* chart = scanner.findChild<CandlestickWidget*>();
        QVERIFY(chart);
        QCOMPARE(chart->code, QString("600003"));
        QCOMPARE(chart->period, QString("day"));
        QCOMPARE(chart->adjust, QString("bfq"));
        QCOMPARE(chart->count, 30);
        QCOMPARE(chart->bars.size(), 24);   // days 5..28 of 5..29
        QCOMPARE(chart->bars.first().date, dayText(5));
        QCOMPARE(chart->bars.last().date, dayText(28));

        // The low chart gives the prices most of its height, their labels a
        // line apart at least.
        scanner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scanner));
        chart->plot->replot();
        QCOMPARE(chartfixtures::crowdedPriceAxisFault(chart->plot->yAxis, chart->height()), QString());
        QVERIFY(saveScreenshot(&scanner, "addonscanner"));
        scanner.onClick("../../x", dayText(28));
    }

    void closingDuringAScanEndsIt()
    {
        writeScanFixture();
        // Enough files that the second scan is still under way when the dialog goes.
        const QByteArray body = historyBody("600001", hammerAt21(0));
        for (int i = 0; i < 300; ++i) {
            QFile file(QString("data/%1").arg(300000 + i));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(body);
        }
        registry().boundIndex = 0;
        MessageCatcher catcher;
        auto scanner = std::make_unique<StockAddonScanner>();
        scanner->onSearch();
        QTRY_COMPARE(catcher.seen.size(), 1);
        scanner->onSearch();
        QVERIFY(scanner->isScanning());
        QPointer<QThread> worker = scanner->findChild<QThread*>();
        QVERIFY(worker);
        scanner.reset();
        QVERIFY(worker.isNull());
        QVERIFY(vorelApp()->addonScanner == nullptr);
        QCoreApplication::processEvents();   // trades still queued find no page
        QCOMPARE(catcher.seen.size(), 1);
    }

    void barsUpToKeepsTheDaysUntilTheDate()
    {
        QVector<Stock> bars(4);
        for (int i = 0; i < 4; ++i)
            bars[i].date = dayText(i);
        QCOMPARE(barsUpTo(bars, dayText(1)).size(), 2);
        QCOMPARE(barsUpTo(bars, dayText(9)).size(), 4);
        QCOMPARE(barsUpTo(bars, QStringLiteral("下一交易日")).size(), 4);
        QCOMPARE(barsUpTo(bars, QString()).size(), 0);
    }
};

int main(int argc, char** argv)
{
    // The application works in its working folder: "addon", "data", "config".
    QTemporaryDir work;
    const QString addon = qEnvironmentVariable("VOREL_RUN_DIR") + "/addon/Addon.so";
    if (!work.isValid() || !QDir::setCurrent(work.path()) || !QDir().mkpath("addon")
        || !QFile::copy(addon, "addon/Addon.so"))
        return 2;
    int result = 0;
    {
        ProgramApplication app(argc, argv);
        TestStockAddonScanner test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "tst_stockaddonscanner.moc"
