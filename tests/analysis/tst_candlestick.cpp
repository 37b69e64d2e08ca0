// The K-line chart window: which bars it shows at which keys, its averages
// and overlay lines, its title, its menus reloading over real HTTP, what a
// failed load leaves, the "K线" entry of the stock tables, and screenshots.

#include "chartfixtures.h"

#include "analysis/candlestickwidget.h"
#include "analysis/charttextlayer.h"
#include "analysis/indexholders.h"
#include "analysis/vorelplot.h"
#include "core/vorelapplication.h"
#include "tests/support/failedanswers.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stocklistview.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace chartfixtures;

namespace {

const char* const kKLinePath = "/appstock/app/fqkline/get";

QAction* findAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->menu()) {
            if (QAction* inner = findAction(action->menu(), text))
                return inner;
        } else if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

int lineCount(CandlestickWidget& chart, const char* name)
{
    return chart.plot->graph(QString::fromLatin1(name))->dataCount();
}

// The "param" item of the last K-line request, e.g. "sz000001,day,,,480,bfq".
QString lastParam(const TestHttpServer& server)
{
    const QList<TestHttpServer::Request> seen = server.requests();
    if (seen.isEmpty())
        return QString();
    return QUrlQuery(seen.last().query).queryItemValue("param");
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestCandlestick : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void shownBarsAndAverages_data();
    void shownBarsAndAverages();
    void overlayPointsMapToShownBars();
    void newSeriesClearsEveryOverlay();
    void emptySeriesOrCodeChangesNothing();
    void titleNamesPoolStocks_data();
    void titleNamesPoolStocks();
    void indicatorMenuSwitchesPane();
    void candlesDecideTheRange();
    void identicalBarsDrawFlatWithReadableTicks();
    void loadDataDrawsDownloadedBars();
    void menuActionChangesOnlyItsSetting_data();
    void menuActionChangesOnlyItsSetting();
    void failedLoadKeepsStockAndStoredBody_data();
    void failedLoadKeepsStockAndStoredBody();
    void codeUnfitForPathIsNotStored();
    void barsThatCannotBeKeptAreShownAndSaid();
    void lateLoadNeverReplacesALaterStock_data();
    void lateLoadNeverReplacesALaterStock();
    void kLineEntryLoadsIntoShownWindow();
    void screenshots();

private:
    VorelApplication* app() { return vorelApp(); }

    TestHttpServer server;
    QVector<Stock> served = realisticBars(150);
};

void TestCandlestick::initTestCase()
{
    QVERIFY(app());
    Stock named;
    named.code = "000001";
    named.name = QStringLiteral("平安银行");
    app()->stockPool.insert(named.code, named);
    Stock nameless;
    nameless.code = "600000";
    app()->stockPool.insert(nameless.code, nameless);
}

void TestCandlestick::init()
{
    server.clearRequests();
    server.clearFixtures();
    server.serve(kKLinePath, TestHttpServer::Reply::text(klineBody(served, "sz000001")));
}

void TestCandlestick::shownBarsAndAverages_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("firstShown");     // index of the first shown bar
    QTest::addColumn<int>("ma20Points");
    QTest::addColumn<double>("ma20FirstKey");

    QTest::newRow("50 bars") << 120 << 50 << 50 << 0 << 31 << 20 * 86400.0;
    QTest::newRow("300 bars") << 120 << 300 << 120 << 180 << 120 << 86400.0;
    QTest::newRow("count 0 shows all") << 0 << 30 << 30 << 0 << 11 << 20 * 86400.0;
}

void TestCandlestick::shownBarsAndAverages()
{
    QFETCH(int, count);
    QFETCH(int, size);
    QFETCH(int, shown);
    QFETCH(int, firstShown);
    QFETCH(int, ma20Points);
    QFETCH(double, ma20FirstKey);

    CandlestickWidget chart(true, nullptr);
    const QVector<Stock> bars = countingBars(size);
    chart.setData(count, bars);

    QCOMPARE(chart.count, count);
    QCOMPARE(chart.bars.size(), size);
    QCOMPARE(chart.candles->dataCount(), shown);
    QCOMPARE(chart.candles->data()->constBegin()->key, 86400.0);
    QCOMPARE((chart.candles->data()->constEnd() - 1)->key, shown * 86400.0);
    QCOMPARE(chart.candles->data()->constBegin()->close, double(bars.at(firstShown).close));

    // Averages are fed the whole series: MA20 of a shown bar covers the 20
    // bars up to it, including bars before the shown part.
    QCPGraph* ma20 = chart.plot->graph("ma20");
    QCOMPARE(ma20->dataCount(), ma20Points);
    QCOMPARE(ma20->data()->constBegin()->key, ma20FirstKey);
    const int firstAveraged = qMax(firstShown, 19);
    QCOMPARE(ma20->data()->constBegin()->value, firstAveraged - 9.5 + 1);   // mean of closes i-19..i, close = index + 1
    QCOMPARE(chart.plot->graph("ma5")->dataCount(), qMin(shown, size - 4));
}

void TestCandlestick::overlayPointsMapToShownBars()
{
    CandlestickWidget chart(true, nullptr);
    ChartLine line;
    line.points = {{10, 1.0f}, {250, 2.0f}, {299, 3.0f}, {400, 4.0f}, {-1, 5.0f}};
    line.style = QCPGraph::lsNone;
    line.pen = QPen(QColor(240, 240, 250));
    line.scatter = QCPScatterStyle(QCPScatterStyle::ssDisc, 3);
    chart.setData(120, countingBars(300), line);

    QCPGraph* graph = chart.plot->graph("line1");
    QCOMPARE(graph->dataCount(), 2);
    QCOMPARE(graph->data()->at(0)->key, 71 * 86400.0);
    QCOMPARE(graph->data()->at(0)->value, 2.0);
    QCOMPARE(graph->data()->at(1)->key, 120 * 86400.0);
    QCOMPARE(graph->lineStyle(), QCPGraph::lsNone);
    QCOMPARE(graph->pen().color(), QColor(240, 240, 250));
    QCOMPARE(graph->scatterStyle().shape(), QCPScatterStyle::ssDisc);

    // A style the plot does not know draws a plain line.
    line.style = 42;
    chart.setData(120, countingBars(300), line);
    QCOMPARE(graph->lineStyle(), QCPGraph::lsLine);
}

void TestCandlestick::newSeriesClearsEveryOverlay()
{
    CandlestickWidget chart(true, nullptr);
    ChartLine line;
    line.points = {{1, 1.0f}, {2, 2.0f}};
    chart.setData(60, countingBars(10), line, line, line);
    QCOMPARE(lineCount(chart, "line3"), 2);

    // The next stock comes with one line: the other two must not linger.
    chart.setData(60, countingBars(10, "600000"), line);
    QCOMPARE(lineCount(chart, "line1"), 2);
    QCOMPARE(lineCount(chart, "line2"), 0);
    QCOMPARE(lineCount(chart, "line3"), 0);

    chart.setData(60, countingBars(10, "000002"));
    QCOMPARE(lineCount(chart, "line1"), 0);
}

void TestCandlestick::emptySeriesOrCodeChangesNothing()
{
    CandlestickWidget chart(true, nullptr);
    chart.setData(60, countingBars(30));
    chart.setData(120, QVector<Stock>());
    QCOMPARE(chart.count, 60);
    QCOMPARE(chart.candles->dataCount(), 30);

    chart.setStock(30, QString(), countingBars(5), "week", "qfq");
    QCOMPARE(chart.candles->dataCount(), 30);
    QVERIFY(chart.code.isEmpty());

    chart.loadData(120, QString(), "day", "bfq");
    QCOMPARE(server.requestCount(), 0);

    chart.setStock(30, "600000", countingBars(5, "600000"), "week", "qfq");
    QCOMPARE(chart.candles->dataCount(), 5);
    QCOMPARE(chart.code, QString("600000"));
    QCOMPARE(chart.period, QString("week"));
    QCOMPARE(chart.adjust, QString("qfq"));
    QCOMPARE(server.requestCount(), 0);

    // a stock without a stored history keeps the chart on the one it shows
    chart.setStock(30, "000001", QVector<Stock>(), "day", "bfq");
    QCOMPARE(chart.code, QString("600000"));
    QCOMPARE(chart.period, QString("week"));
    QCOMPARE(chart.candles->dataCount(), 5);
}

void TestCandlestick::titleNamesPoolStocks_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::newRow("pool stock") << "000001" << QStringLiteral("平安银行(000001)");
    QTest::newRow("pool stock without name") << "600000" << "600000";
    QTest::newRow("outside the pool") << "300001" << "300001";
}

void TestCandlestick::titleNamesPoolStocks()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    CandlestickWidget chart(false, nullptr);
    QCOMPARE(chart.title->text(), QString("--"));
    chart.setData(120, countingBars(30, code));
    QCOMPARE(chart.title->text(), title);
    QCOMPARE(chart.windowTitle(), code);
}

void TestCandlestick::indicatorMenuSwitchesPane()
{
    CandlestickWidget chart(true, nullptr);
    QVERIFY(chart.indicatorMenu->actions().isEmpty());
    chart.setData(120, countingBars(40));
    chart.setData(120, countingBars(40));
    QStringList texts;
    for (QAction* action : chart.indicatorMenu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({QStringLiteral("成交量"), "MACD", "KDJ", "Boll"}));

    findAction(chart.menu, "KDJ")->trigger();
    auto* kdj = qobject_cast<KDJHolder*>(chart.proxy->currentHolder());
    QVERIFY(kdj);
    QCOMPARE(kdj->k->dataCount(), 32);
    auto* volume = qobject_cast<VolumeHolder*>(chart.proxy->allHolders().first());
    QCOMPARE(volume->upBars->dataCount() + volume->downBars->dataCount(), 0);
    QCOMPARE(server.requestCount(), 0);
}

void TestCandlestick::candlesDecideTheRange()
{
    // Boll draws only from bar 20: the pane must not narrow the candles to that.
    CandlestickWidget chart(true, nullptr);
    chart.setData(120, countingBars(50));
    chart.doAction("Boll");
    QVERIFY(chart.plot->xAxis->range().lower <= 86400.0);
    QVERIFY(chart.plot->xAxis->range().upper >= 50 * 86400.0);
    QCOMPARE(chart.proxy->axis(QCPAxis::atBottom)->range(), chart.plot->xAxis->range());
}

void TestCandlestick::identicalBarsDrawFlatWithReadableTicks()
{
    QVector<Stock> bars = countingBars(30);
    for (Stock& bar : bars)
        bar.open = bar.close = bar.high = bar.low = 12.21f;
    CandlestickWidget chart(true, nullptr);
    chart.resize(720, 480);
    chart.setData(120, bars);
    chart.plot->replot();
    QCOMPARE(flatPriceAxisFault(chart.plot->yAxis, 12.21), QString());
}

void TestCandlestick::loadDataDrawsDownloadedBars()
{
    HostOverride hosts(server);
    QDir("data/k").removeRecursively();
    CandlestickWidget chart(false, nullptr);
    chart.loadData(120, "000001", "day", "bfq");

    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(server.requests().first().path, QString(kKLinePath));
    QCOMPARE(lastParam(server), QString("sz000001,day,,,480,bfq"));
    QCOMPARE(chart.bars.size(), served.size());
    QCOMPARE(chart.candles->dataCount(), 120);
    QCOMPARE(chart.candles->data()->constBegin()->open, double(chart.bars.at(30).open));
    QCOMPARE(chart.bars.at(30).date, served.at(30).date);
    QCOMPARE(chart.title->text(), QStringLiteral("平安银行(000001)"));
    QCOMPARE(chart.code, QString("000001"));
    // The folder is made when missing and holds the body as downloaded.
    QCOMPARE(readFile("data/k/000001"), klineBody(served, "sz000001"));
}

void TestCandlestick::menuActionChangesOnlyItsSetting_data()
{
    QTest::addColumn<QString>("startPeriod");
    QTest::addColumn<QString>("startAdjust");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("adjust");

    QTest::newRow("前复权") << "week" << "bfq" << QStringLiteral("前复权") << "week" << "qfq";
    QTest::newRow("后复权") << "month" << "bfq" << QStringLiteral("后复权") << "month" << "hfq";
    QTest::newRow("不复权") << "week" << "qfq" << QStringLiteral("不复权") << "week" << "bfq";
    QTest::newRow("周线") << "month" << "qfq" << QStringLiteral("周线") << "week" << "qfq";
    QTest::newRow("月线") << "day" << "hfq" << QStringLiteral("月线") << "month" << "hfq";
    QTest::newRow("日线") << "week" << "hfq" << QStringLiteral("日线") << "day" << "hfq";
}

void TestCandlestick::menuActionChangesOnlyItsSetting()
{
    QFETCH(QString, startPeriod);
    QFETCH(QString, startAdjust);
    QFETCH(QString, action);
    QFETCH(QString, period);
    QFETCH(QString, adjust);

    HostOverride hosts(server);
    CandlestickWidget chart(false, nullptr);
    chart.loadData(60, "000001", startPeriod, startAdjust);
    QCOMPARE(chart.candles->dataCount(), 60);
    QCOMPARE(chart.period, startPeriod);

    QAction* entry = findAction(chart.menu, action);
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(lastParam(server), QString("sz000001,%1,,,480,%2").arg(period, adjust));
    QCOMPARE(chart.period, period);
    QCOMPARE(chart.adjust, adjust);
    QCOMPARE(chart.code, QString("000001"));
    QCOMPARE(chart.count, 60);
}

void TestCandlestick::failedLoadKeepsStockAndStoredBody_data()
{
    addFailedAnswerRows();
    // the provider's own answer for a request it cannot serve
    QTest::newRow("provider refusal") << "refusal" << unreadableAnswer();
    // a whole answer of the stock whose days run backwards
    QTest::newRow("bars out of order") << "backwards" << unreadableAnswer();
}

void TestCandlestick::failedLoadKeepsStockAndStoredBody()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    HostOverride hosts(server);
    CandlestickWidget chart(false, nullptr);
    chart.loadData(120, "000001", "day", "qfq");
    const QString stored = readFile("data/k/000001");
    QVERIFY(!stored.isEmpty());
    QVERIFY(chart.statusLabel->isHidden());

    server.clearFixtures();
    QVector<Stock> backwards = served;
    std::reverse(backwards.begin(), backwards.end());
    if (failure == "refusal")
        server.serve(kKLinePath, TestHttpServer::Reply::text("{\"code\":-1,\"msg\":\"busy\"}"));
    else if (failure == "backwards")
        server.serve(kKLinePath, TestHttpServer::Reply::text(klineBody(backwards, "sz000001")));
    else
        server.serve(kKLinePath, failedAnswer(failure, klineBody(served, "sz000001")));
    findAction(chart.menu, QStringLiteral("周线"))->trigger();
    QCOMPARE(chart.period, QString("day"));
    QCOMPARE(chart.adjust, QString("qfq"));
    QCOMPARE(chart.code, QString("000001"));
    QCOMPARE(chart.bars.size(), served.size());
    QCOMPARE(chart.candles->dataCount(), 120);
    QCOMPARE(readFile("data/k/000001"), stored);
    QCOMPARE(server.requestCount(), 2);
    QVERIFY(!chart.statusLabel->isHidden());
    QCOMPARE(chart.statusLabel->text(), QStringLiteral("000001的K线下载失败：") + reason);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QVERIFY(saveScreenshot(&chart, "kline-failed-" + failureTag()));

    // the next load that brings bars takes the message away
    server.serve(kKLinePath, TestHttpServer::Reply::text(klineBody(served, "sz000001")));
    findAction(chart.menu, QStringLiteral("周线"))->trigger();
    QCOMPARE(chart.period, QString("week"));
    QVERIFY(chart.statusLabel->isHidden());
}

void TestCandlestick::codeUnfitForPathIsNotStored()
{
    HostOverride hosts(server);
    const QStringList before = QDir("data/k").entryList(QDir::Files);
    CandlestickWidget chart(false, nullptr);
    chart.loadData(120, "../000001", "day", "bfq");
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(QDir("data/k").entryList(QDir::Files), before);
    QVERIFY(!QFile::exists("data/000001"));
}

// The download is shown though data/k/ cannot keep it, and the status line
// says why; the next load that is kept takes the words away.
void TestCandlestick::barsThatCannotBeKeptAreShownAndSaid()
{
    HostOverride hosts(server);
    QFile::remove("data/k/000001");
    QVERIFY(QDir().mkpath("data/k/000001"));
    CandlestickWidget chart(false, nullptr);
    chart.loadData(120, "000001", "day", "bfq");
    QCOMPARE(chart.code, QString("000001"));
    QCOMPARE(chart.bars.size(), served.size());
    QCOMPARE(chart.candles->dataCount(), 120);
    QVERIFY(!chart.statusLabel->isHidden());
    QCOMPARE(chart.statusLabel->text(),
             QStringLiteral("000001的K线保存失败：data/k/000001 是一个文件夹,不是文件"));
    QVERIFY(QFileInfo("data/k/000001").isDir());
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QVERIFY(saveScreenshot(&chart, "kline-unstored"));

    QVERIFY(QDir("data/k/000001").removeRecursively());
    findAction(chart.menu, QStringLiteral("周线"))->trigger();
    QCOMPARE(chart.period, QString("week"));
    QVERIFY(chart.statusLabel->isHidden());
}

void TestCandlestick::lateLoadNeverReplacesALaterStock_data()
{
    // what the chart is asked for while the first stock's bars are held
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("requests");
    QTest::newRow("another stock loaded") << "load" << "600000" << 2;
    QTest::newRow("the same stock again") << "same" << "000001" << 1;
    QTest::newRow("bars handed over") << "set" << "600000" << 1;
}

void TestCandlestick::lateLoadNeverReplacesALaterStock()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, shown);
    QFETCH(int, requests);
    HostOverride hosts(server);
    server.clearFixtures();
    const QVector<Stock> other = realisticBars(60, "600000");
    server.serve(kKLinePath, [this, &other](const TestHttpServer::Request& request) {
        if (request.query.contains("sh600000"))
            return TestHttpServer::Reply::text(klineBody(other, "sh600000"));
        TestHttpServer::Reply slow = TestHttpServer::Reply::text(klineBody(served, "sz000001"));
        slow.delayMs = 500;
        return slow;
    });
    QFile::remove("data/k/000001");
    CandlestickWidget chart(false, nullptr);
    QTimer::singleShot(50, &chart, [&] {
        if (meanwhile == "load")
            chart.loadData(120, "600000", "day", "bfq");
        else if (meanwhile == "same")
            chart.loadData(120, "000001", "day", "bfq");
        else
            chart.setStock(120, "600000", other, "day", "bfq");
    });
    chart.loadData(120, "000001", "day", "bfq");

    QCOMPARE(server.requestCount(), requests);
    QCOMPARE(chart.code, shown);
    QCOMPARE(chart.title->text(), shown == "000001" ? QStringLiteral("平安银行(000001)") : shown);
    QCOMPARE(chart.bars.size(), shown == "000001" ? served.size() : other.size());
    // the late answer is kept where the chart keeps its downloads
    QCOMPARE(readFile("data/k/000001"), klineBody(served, "sz000001"));
}

void TestCandlestick::kLineEntryLoadsIntoShownWindow()
{
    HostOverride hosts(server);
    // The window the application makes at start-up.
    if (!app()->candlestickWidget)
        app()->candlestickWidget = new CandlestickWidget(false, nullptr);
    CandlestickWidget* chart = app()->candlestickWidget;
    QVERIFY(!chart->isVisible());

    std::unique_ptr<StockListView> view(createStockListView(4));
    Stock stock;
    stock.code = "000001";
    stock.name = QStringLiteral("平安银行");
    view->addStock(stock);
    view->row = 0;

    // A hidden window is not loaded.
    view->showKChart();
    QCOMPARE(server.requestCount(), 0);

    app()->toggleCandlestickWidget();
    QVERIFY(chart->isVisible());
    // the list's window is in front when its menu is used
    view->show();
    view->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), view.get());
    view->showKChart();
    QCOMPARE(server.requestCount(), 1);
    // the chart comes to the front with the stock asked for
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(chart));
    QCOMPARE(lastParam(server), QString("sz000001,day,,,480,bfq"));
    QCOMPARE(chart->candles->dataCount(), 120);
    QCOMPARE(chart->count, 120);
    QCOMPARE(chart->title->text(), QStringLiteral("平安银行(000001)"));

    app()->toggleCandlestickWidget();
    QVERIFY(!chart->isVisible());
}

void TestCandlestick::screenshots()
{
    CandlestickWidget chart(false, nullptr);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.setData(120, realisticBars(200));
    chart.setComment(QStringLiteral("均线多头排列"), false);

    const QStringList panes = chart.proxy->holderNames();
    const QStringList files = {"kline-volume", "kline-macd", "kline-kdj", "kline-boll"};
    for (int i = 0; i < panes.size(); ++i) {
        chart.doAction(panes.at(i));
        chart.plot->replot();
        const QImage image = chart.grab().toImage();
        QCOMPARE(image.size(), QSize(960, 320));
        QVERIFY(saveScreenshot(image, files.at(i)));
    }
}

int main(int argc, char** argv)
{
    // The chart writes "data/k/" under the working folder.
    return runInWorkingFolder<TestCandlestick, ProgramApplication>(argc, argv);
}

#include "tst_candlestick.moc"
