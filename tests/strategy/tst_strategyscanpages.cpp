#include "strategy/stockhotstockfibonacciwidget.h"
#include "strategy/stocknewstockfibonacciwidget.h"
#include "strategy/stocktrendwidget.h"

#include "analysis/candlestickwidget.h"
#include "analysis/vorelplot.h"
#include "core/fileutils.h"
#include "core/seriesutils.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "tests/strategy/fibonacciseries.h"
#include "tests/support/dialogrows.h"
#include "tests/support/filecontents.h"
#include "tests/support/screenshot.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// The three pages' parameter dialogs, by the name of their page.
QDialog* openParameterDialog(const QString& page)
{
    if (page == "trend")
        return new StockTrendConfig;
    if (page == "hot stock")
        return new StockHotStockFibonacciConfig;
    return new StockNewStockFibonacciConfig;
}

QString okButtonOf(const QString& page)
{
    return page == "trend" ? QStringLiteral("设置") : QStringLiteral("确定");
}

QVector<RowRange> parameterRanges(const QString& page)
{
    if (page == "trend") {
        return {
            {QStringLiteral("最小间隔日[3,10]"), 0, &AppConfig::trendMinIntervalDay, 3, 10},
            {QStringLiteral("最小跨度日[20,240]"), 0, &AppConfig::trendMinSpan, 20, 240},
            {QStringLiteral("最大误差[0.01-3.00]%"), 0, &AppConfig::trendDelta, 0.01, 3.0, 0.01},
            {QStringLiteral("画线斜率[0.1-2.0]"), 0, &AppConfig::trendK, 0.1, 2.0, 0.1},
            {QStringLiteral("最近日[1,6]"), 0, &AppConfig::trendNearDay, 1, 6},
            {QStringLiteral("最小附着点(3,5)"), 0, &AppConfig::trendMinPoints, 3, 5},
        };
    }
    if (page == "hot stock") {
        return {
            {QStringLiteral("最大偏差[0.5%-8.0%]"), 0, &AppConfig::fibonacciHotStockDelta, 0.5, 8.0, 0.1},
            {QStringLiteral("均线周期[5-21]"), 0, &AppConfig::fibonacciHotStockSpan, 5, 21},
            {QStringLiteral("放量倍数[2.0-6.0]"), 0, &AppConfig::fibonacciHotStockVolRatio, 2.0, 6.0},
            // the label says 24, the box goes to 40
            {QStringLiteral("放量天数[5-24]"), 0, &AppConfig::fibonacciHotStockDays, 5, 40},
            {QStringLiteral("最大回落天数[3-21]"), 0, &AppConfig::fibonacciHotStockMaxFallDays, 3, 21},
            {QStringLiteral("最小振幅[>=8%]"), 0, &AppConfig::fibonacciHotStockMinSwing, 8, 100},
        };
    }
    return {
        {QStringLiteral("最大偏差(0.5%-8.0%)"), 0, &AppConfig::fibonacciNewStockDelta, 0.5, 8.0, 0.1},
        {QStringLiteral("均线周期(5-25)"), 0, &AppConfig::fibonacciNewStockSpan, 5, 25},
        {QStringLiteral("次新股上市范围(20-120)"), 0, &AppConfig::fibonacciNewStockMaxDays, 20, 120},
    };
}

// A daily history file as the K-line source stores it.
void writeHistory(const QString& code, const QVector<Stock>& bars)
{
    QStringList rows;
    for (const Stock& b : bars) {
        rows << QString("[\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"]")
                    .arg(b.date)
                    .arg(double(b.open))
                    .arg(double(b.close))
                    .arg(double(b.high))
                    .arg(double(b.low))
                    .arg(double(b.volume));
    }
    QFile file("data/" + code);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString("{\"code\":0,\"data\":{\"sz%1\":{\"qfqday\":[%2]}}}").arg(code, rows.join(',')).toLatin1());
}

// Closes that step +1.0 and -1.0 in the relative series (x 1.1, x 0.9) in
// turn, the first step a rise when startUp. An even count ends on the first
// step's level, so that level is the one the scanners try.
QVector<Stock> seesaw(int count, bool startUp)
{
    SeriesBuilder b;
    float close = 10;
    b.closes({close});
    for (int i = 0; i < count - 1; ++i) {
        close *= (i % 2 == 0) == startUp ? 1.1f : 0.9f;
        b.closes({close});
    }
    return b.bars();
}

// A random daily history. Levelled closes step x 1.1 or x 0.9 from the last
// close, which opens the bar: steps of exactly +1 and -1 in the relative
// series, so that levels recur and lines form. Other closes move by up to
// 5 % from an open near the last close.
QVector<Stock> randomHistory(quint32 seed, int count, bool levelled)
{
    QRandomGenerator random(seed);
    SeriesBuilder b;
    float close = float(5 + random.bounded(40.0));
    for (int i = 0; i < count; ++i) {
        const float open = levelled ? close : close * float(1 + (random.bounded(2.0) - 1) * 0.01);
        close = levelled ? close * (random.bounded(2) ? 1.1f : 0.9f)
                         : open * float(1 + (random.bounded(2.0) - 1) * 0.05);
        const float high = std::max(open, close) * float(1 + random.bounded(0.02));
        const float low = std::min(open, close) * float(1 - random.bounded(0.02));
        b.add(ohlc(open, high, low, close).volume(float(1000 + random.bounded(100000))));
    }
    return b.bars();
}

// A folder of histories of every kind a scan meets, in an order where long
// ones precede short ones and broken ones: a scan that carries anything from
// one file to the next lists other codes than fresh reads do.
void writeVariedHistories()
{
    QVERIFY(QDir().mkpath("data"));
    const int lengths[] = {480, 3, 120, 9, 10, 600, 44, 43, 60, 200, 91, 5, 30, 300, 6, 11};
    for (int i = 0; i < 48; ++i)
        writeHistory(QString::number(600100 + i), randomHistory(quint32(i) + 1, lengths[i % 16], i % 3 != 2));
    writeHistory("600200", breakdownSeries(6));
    writeHistory("600201", breakoutSeries(6));
    writeHistory("600202", zigzag(7).bars());
    writeHistory("600203", seesaw(12, true));
    writeHistory("600204", seesaw(12, false));
    writeHistory("600205", seesaw(40, false));
    QFile garbage("data/600206");
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("<html>not found</html>");
    QFile empty("data/600207");
    QVERIFY(empty.open(QIODevice::WriteOnly));
    writeHistory("600208", randomHistory(99, 480, true));
}

// The codes whose history `hit` takes, in the order a scan visits the files.
QStringList freshHits(const std::function<bool(const QString& path)>& hit)
{
    QStringList codes;
    for (const QFileInfo& file : QDir("data").entryInfoList(QDir::Files, QDir::Name)) {
        if (hit(file.absoluteFilePath()))
            codes << file.fileName();
    }
    return codes;
}

QStringList listed(QListWidget* list)
{
    QStringList codes;
    for (int i = 0; i < list->count(); ++i)
        codes << list->item(i)->text();
    return codes;
}

void runScan(StrategyScanPage& page)
{
    page.onScan();
    QVERIFY(page.isScanning());
    QVERIFY(page.statusLabel->isHidden());   // the progress bar has the place
    QTRY_VERIFY(!page.isScanning());
}

// What the status line says after a scan that found `hits` codes.
QString finishedText(int hits)
{
    return QStringLiteral("扫描完毕,找到%1只股票").arg(hits);
}

// Scans with each set-up of the page in turn and compares the list with the
// codes `freshHit` takes (after the items the list starts with). The number
// of hits of all set-ups, -1 when a list differs.
int hitsOfEverySetUp(StrategyScanPage& page, const QStringList& head,
                     const std::function<bool(int type, const QString& path)>& freshHit)
{
    int hits = 0;
    for (int type = 0; type < page.radios.size(); ++type) {
        page.radios.at(type)->click();
        runScan(page);
        if (QTest::currentTestFailed())
            return -1;
        const QStringList expected = freshHits([&](const QString& path) { return freshHit(type, path); });
        if (listed(page.list) != head + expected || page.statusLabel->text() != finishedText(expected.size())) {
            qWarning() << "set-up" << type << "listed" << listed(page.list) << page.statusLabel->text()
                       << "fresh scans" << expected;
            return -1;
        }
        hits += expected.size();
    }
    return hits;
}

int lineCount(CandlestickWidget* chart, const char* name)
{
    return chart->plot->graph(QString::fromLatin1(name))->dataCount();
}

// The codes a worker running `callback` with set-up `kind` finds in the
// history of `code`, given the settings `taken` (none when null).
template <class Params>
QStringList workerHits(StockThreadTarget::Callback callback, int kind, const QString& code, const Params* taken)
{
    StockThreadTarget worker(callback);
    worker.setKind(kind);
    if (taken)
        worker.setParams(*taken);
    const QString path = QFileInfo("data/" + code).absoluteFilePath();
    worker.setStocks({{path, path}});
    QStringList hits;
    // Direct: the list is read only once the worker has ended.
    QObject::connect(
        &worker, &StockThreadTarget::updateStock, &worker, [&hits](int, const QString& hit, int) {
            if (!hit.isEmpty())
                hits << historyCode(hit);
        },
        Qt::DirectConnection);
    worker.start();
    if (!worker.wait(20000))
        qWarning() << "the worker did not end";
    return hits;
}

// The settings dialog may change the record while a scan runs: `callback`
// finds `code` with set-up `kind` by the settings its worker was given,
// whatever the record says (`unfind` changes the record so that `code` is
// found no more), and a worker given none finds nothing.
template <class Params>
void checkWorkerReadsItsOwnSettings(StockThreadTarget::Callback callback, int kind, const QString& code,
                                    const std::function<void(AppConfig&)>& unfind)
{
    AppConfig& config = vorelApp()->config;
    const AppConfig saved = config;
    const Params finding = Params::fromConfig(config);
    unfind(config);
    const Params missing = Params::fromConfig(config);
    const QStringList foundUnderAnotherRecord = workerHits(callback, kind, code, &finding);
    config = saved;
    QCOMPARE(foundUnderAnotherRecord, QStringList{code});
    QCOMPARE(workerHits(callback, kind, code, &missing), QStringList());
#ifdef QT_NO_DEBUG
    // (A debug build stops at the assertion instead.)
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("started without its settings, it scans nothing"));
    QCOMPARE(workerHits<Params>(callback, kind, code, nullptr), QStringList());
#endif
}

} // namespace

class TestStrategyScanPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath("data"));
        writeHistory("600001", breakdownSeries(6));          // hot type 3, 50 bars
        writeHistory("600002", breakdownSeries(6).mid(0, 40)); // too short for hot stocks
        writeHistory("300001", SeriesBuilder().flat(30, 10).bars());
        writeHistory("300002", SeriesBuilder().flat(100, 10).bars());
        writeHistory("600011", seesaw(12, true));             // a relative pressure line
        writeHistory("600012", seesaw(12, false));            // a relative support line
        writeHistory("399678", SeriesBuilder().flat(300, 1000).bars());
        QFile garbage("data/000000");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("<html>not found</html>");
    }

    void hotScanListsHitsAndWritesListWhole()
    {
        QVERIFY(saveWhole("list", "old,old,old,old,"));
        StockHotStockFibonacciWidget page;
        page.radios.at(3)->click();
        QCOMPARE(page.worker->kind(), 3);
        runScan(page);
        QCOMPARE(listed(page.list), QStringList{"600001"});
        QCOMPARE(fileText("list"), QString("600001,"));
        QCOMPARE(page.statusLabel->text(), finishedText(1));

        // Other set-ups over the same files find nothing; the list file follows.
        page.radios.at(0)->click();
        runScan(page);
        QCOMPARE(page.list->count(), 0);
        QCOMPARE(fileText("list"), QString());
        // a scan that found nothing says that it ran
        QVERIFY(!page.statusLabel->isHidden());
        QCOMPARE(page.statusLabel->text(), finishedText(0));
        page.resize(900, 600);
        page.show();
        QVERIFY(saveScreenshot(&page, "fibonacci-finished"));
    }

    void hotScanTakesTheSettingsRecord()
    {
        AppConfig& config = vorelApp()->config;
        const int swing = config.fibonacciHotStockMinSwing;
        config.fibonacciHotStockMinSwing = 30;
        StockHotStockFibonacciWidget page;
        page.radios.at(3)->click();
        runScan(page);
        config.fibonacciHotStockMinSwing = swing;
        QCOMPARE(page.list->count(), 0);
        QCOMPARE(page.scanParams.minSwing, 30);
    }

    void scanIgnoredWhileOneRuns()
    {
        // The page is never shown here: a running scan is told by the bar
        // having been shown, not by the bar being on screen.
        StockHotStockFibonacciWidget page;
        page.list->addItem("keep");
        page.progress->show();
        page.onScan();
        QVERIFY(!page.worker->isRunning());
        QCOMPARE(listed(page.list), QStringList{"keep"});
    }

    void setUpChosenDuringAScanCountsForTheNext()
    {
        StockHotStockFibonacciWidget page;
        page.onScan();
        // While the worker runs it keeps its set-up; the button still counts.
        page.radios.at(3)->click();
        QTRY_VERIFY(!page.isScanning());
        runScan(page);
        QCOMPARE(listed(page.list), QStringList{"600001"});
    }

    void workersScanWithTheSettingsTheirPageTook()
    {
        checkWorkerReadsItsOwnSettings<HotStockFibonacciParams>(
            &scanHotStockFile, 3, "600001", [](AppConfig& config) { config.fibonacciHotStockMinSwing = 30; });
        if (QTest::currentTestFailed())
            return;
        checkWorkerReadsItsOwnSettings<NewStockFibonacciParams>(
            &scanNewStockFile, 3, "600001", [](AppConfig& config) { config.fibonacciNewStockMaxDays = 40; });
        if (QTest::currentTestFailed())
            return;
        checkWorkerReadsItsOwnSettings<TrendParams>(&scanTrendFile, 0, "600012",
                                                    [](AppConfig& config) { config.trendMinPoints = 4; });
    }

    void closingMidScanEndsTheWorker()
    {
        for (int i = 0; i < 3; ++i) {
            auto* page = new StockTrendWidget;
            QPointer<StockThreadTarget> worker = page->worker;
            page->onScan();
            delete page;
            QVERIFY(worker.isNull());
        }
    }

    void hotClickDrawsTheCheckedSetUp()
    {
        StockHotStockFibonacciWidget page;
        page.radios.at(3)->click();
        // the clicked row among others: its own stock is drawn
        page.list->addItems({"600012", "600001", "600002"});
        page.onClick(page.list->item(1));
        QCOMPARE(page.chart->bars.size(), 50);
        QCOMPARE(page.chart->bars.first().code, QString("600001"));
        QCOMPARE(lineCount(page.chart, "line1"), 2);
        QCOMPARE(lineCount(page.chart, "line3"), 2);

        // Another set-up, a foreign item text, and a missing file leave it as it is.
        page.radios.at(1)->click();
        page.onClick(page.list->item(0));
        page.radios.at(3)->click();
        page.onClick(new QListWidgetItem("../data/600001", page.list));
        page.onClick(new QListWidgetItem("699999", page.list));
        page.onClick(nullptr);
        QCOMPARE(page.chart->bars.size(), 50);
        QCOMPARE(lineCount(page.chart, "line1"), 2);
    }

    void hotDialogReadsAndWritesTheSettings()
    {
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        config.fibonacciHotStockDays = 33;
        config.fibonacciHotStock = true;
        StockHotStockFibonacciConfig dialog;
        QCOMPARE(dialog.daysSpin->value(), 33);
        QVERIFY(dialog.hotCheck->isChecked());
        dialog.deltaSpin->setValue(2.5);
        dialog.minSwingSpin->setValue(20);
        dialog.hotCheck->setChecked(false);
        dialog.onConfig();
        QCOMPARE(config.fibonacciHotStockDelta, 2.5f);
        QCOMPARE(config.fibonacciHotStockMinSwing, 20);
        QVERIFY(!config.fibonacciHotStock);
        QCOMPARE(config.fibonacciHotStockDays, 33);
        config = saved;
    }

    void newStockScanHeadsWithIndexAndWritesNoFile()
    {
        QVERIFY(saveWhole("list", "keep,"));
        StockNewStockFibonacciWidget page;
        page.radios.at(3)->click();
        runScan(page);
        // Every history of 6 to 90 bars: the index (300) and 300002 (100) are too long.
        QCOMPARE(listed(page.list),
                 (QStringList{"399678", "300001", "600001", "600002", "600011", "600012"}));
        QCOMPARE(fileText("list"), QString("keep,"));
        QCOMPARE(page.statusLabel->text(), finishedText(5));   // the index heads the list unasked
    }

    void newStockIndexIsDrawnWithoutLines()
    {
        StockNewStockFibonacciWidget page;
        page.radios.at(3)->click();
        page.list->addItems({"399678", "600002", "300001", "600001"});
        page.onClick(page.list->item(2));
        QCOMPARE(page.chart->bars.size(), 30);
        QCOMPARE(page.chart->bars.first().code, QString("300001"));
        page.onClick(page.list->item(0));
        QCOMPARE(page.chart->bars.size(), 300);
        QCOMPARE(page.chart->bars.first().code, QString("399678"));
        QCOMPARE(page.chart->count, 240);
        QCOMPARE(lineCount(page.chart, "line1"), 0);
    }

    void newStockDialogWritesItsThreeSettings()
    {
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        StockNewStockFibonacciConfig dialog;
        QCOMPARE(dialog.maxDaysSpin->value(), config.fibonacciNewStockMaxDays);
        dialog.maxDaysSpin->setValue(60);
        dialog.spanSpin->setValue(9);
        dialog.deltaSpin->setValue(3.3);
        dialog.onConfig();
        QCOMPARE(config.fibonacciNewStockMaxDays, 60);
        QCOMPARE(config.fibonacciNewStockSpan, 9);
        QCOMPARE(config.fibonacciNewStockDelta, 3.3f);
        config = saved;
    }

    void trendScanListsByLineType()
    {
        StockTrendWidget page;
        QVERIFY(page.radios.at(0)->isChecked());
        runScan(page);
        QVERIFY(listed(page.list).contains("600012"));
        QVERIFY(!listed(page.list).contains("600011"));

        page.radios.at(1)->click();
        runScan(page);
        QVERIFY(listed(page.list).contains("600011"));
        QVERIFY(!listed(page.list).contains("600012"));

        // "射线" and "压力线" have no scanner.
        for (int i : {2, 3}) {
            page.radios.at(i)->click();
            QCOMPARE(page.worker->kind(), i);
            runScan(page);
            QCOMPARE(page.list->count(), 0);
        }
        // The page has four buttons: the slots of a fifth and sixth do nothing.
        page.onClickRadioButton5();
        page.onClickRadioButton6();
        QCOMPARE(page.worker->kind(), 3);
    }

    // A long result list gets a scroll bar; the codes beside it stay whole in
    // the desktop's font.
    void resultListShowsSixDigitCodesWhole()
    {
        StockTrendWidget trend;
        StockHotStockFibonacciWidget hot;
        StockNewStockFibonacciWidget fresh;
        for (StrategyScanPage* page : std::initializer_list<StrategyScanPage*>{&trend, &hot, &fresh}) {
            for (int i = 0; i < 200; ++i)
                page->list->addItem(QString::number(600000 + i));
            page->resize(900, 600);
            page->show();
            QVERIFY(QTest::qWaitForWindowExposed(page));
            QVERIFY(page->list->verticalScrollBar()->isVisible());
            const int margin = page->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, page->list) + 1;
            const int text = page->list->fontMetrics().horizontalAdvance("600000") + 2 * margin;
            QVERIFY2(text <= page->list->viewport()->width(),
                     qPrintable(QString("%1 px of text in %2 px").arg(text).arg(page->list->viewport()->width())));
        }
    }

    void trendClickDrawsTheSupportLine()
    {
        StockTrendWidget page;
        // The pressure button does not change what a click draws.
        page.radios.at(1)->click();
        page.list->addItems({"600001", "600012", "600011"});
        page.onClick(page.list->item(1));
        QCOMPARE(page.chart->bars.size(), 11);
        QCOMPARE(page.chart->bars.first().code, QString("600012"));
        QCOMPARE(lineCount(page.chart, "line1"), 3);
        // A history without a support line leaves the chart as it is.
        page.onClick(new QListWidgetItem("600011", page.list));
        QCOMPARE(page.chart->bars.first().code, QString("600012"));
    }

    void trendDialogClampsAndWritesTheSettings()
    {
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        config.trendMinSpan = 15;
        config.trendType = 1;
        StockTrendConfig dialog;
        QCOMPARE(dialog.minSpanSpin->value(), 20);
        QCOMPARE(dialog.typeCombo->currentText(), QStringLiteral("开盘价"));
        dialog.typeCombo->setCurrentIndex(4);
        dialog.kSpin->setValue(0.5);
        dialog.onConfig();
        QCOMPARE(config.trendType, 4);
        QCOMPARE(config.trendK, 0.5f);
        QCOMPARE(config.trendMinSpan, 20);
        config = saved;
    }

    // Every set-up of the three pages, against a fresh read, a fresh series
    // and a fresh scanner for every file.
    void scansListWhatFreshScansOfEachFileFind()
    {
        QVERIFY(QDir().rename("data", "data.kept"));
        writeVariedHistories();
        const AppConfig& config = vorelApp()->config;
        QStringList messages;

        StockTrendWidget trend;
        QVERIFY(hitsOfEverySetUp(trend, {}, [&](int type, const QString& path) {
                    std::unique_ptr<StockTrendScanner> scanner(
                        createTrendScanner(type, TrendParams::fromConfig(config)));
                    return scanner
                        && scanner->scan(path.right(6), relativeSeries(readHistoryFile(path)), &messages) == 0;
                }) >= 4);
        StockHotStockFibonacciWidget hot;
        QVERIFY(hitsOfEverySetUp(hot, {}, [&](int type, const QString& path) {
                    std::unique_ptr<StockHotStockFibonacciScanner> scanner(
                        createFibonacciScanner(type, HotStockFibonacciParams::fromConfig(config)));
                    return scanner->scan(path.right(6), readHistoryFile(path), &messages) != -1;
                }) >= 2);
        StockNewStockFibonacciWidget newStock;
        QVERIFY(hitsOfEverySetUp(newStock, {"399678"}, [&](int type, const QString& path) {
                    std::unique_ptr<StockNewStockFibonacciScanner> scanner(
                        createNewStockFibonacciScanner(type, NewStockFibonacciParams::fromConfig(config)));
                    return scanner->scan(path.right(6), readHistoryFile(path), &messages) == 0;
                }) >= 10);

        QVERIFY(QDir("data").removeRecursively());
        QVERIFY(QDir().rename("data.kept", "data"));
    }

    void emptyDataFolderWritesAnEmptyList()
    {
        QVERIFY(QDir().rename("data", "data.full"));
        QVERIFY(QDir().mkpath("data"));
        QVERIFY(saveWhole("list", "600001,"));
        StockHotStockFibonacciWidget page;
        runScan(page);
        QCOMPARE(fileText("list"), QString());
        QVERIFY(QDir("data").removeRecursively());

        // Without the folder nothing starts, and the page says why.
        page.onScan();
        QVERIFY(!page.isScanning());
        QCOMPARE(page.statusLabel->text(), QStringLiteral("没有可扫描的历史数据(data/),请先用智能点评下载"));
        QVERIFY(QDir().rename("data.full", "data"));
    }

    void parameterRowsEditTheirOwnSetting_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QVector<DialogRow>>("rows");
        // No two rows share a value, before or after the edit.
        QTest::newRow("trend") << QString("trend") << QVector<DialogRow>{
            plainRow(QStringLiteral("最小间隔日[3,10]"), &AppConfig::trendMinIntervalDay, 7, 9),
            plainRow(QStringLiteral("最小跨度日[20,240]"), &AppConfig::trendMinSpan, 120, 200),
            plainRow(QStringLiteral("最大误差[0.01-3.00]%"), &AppConfig::trendDelta, 2.25, 0.75),
            plainRow(QStringLiteral("画线斜率[0.1-2.0]"), &AppConfig::trendK, 1.5, 0.3),
            plainRow(QStringLiteral("最近日[1,6]"), &AppConfig::trendNearDay, 2, 6),
            plainRow(QStringLiteral("最小附着点(3,5)"), &AppConfig::trendMinPoints, 4, 5),
            plainRow(QStringLiteral("选点模式"), &AppConfig::trendType, 1, 0),
        };
        QTest::newRow("hot stock, switch turned on") << QString("hot stock") << QVector<DialogRow>{
            plainRow(QStringLiteral("最大偏差[0.5%-8.0%]"), &AppConfig::fibonacciHotStockDelta, 4.4, 7.1),
            plainRow(QStringLiteral("均线周期[5-21]"), &AppConfig::fibonacciHotStockSpan, 17, 6),
            plainRow(QStringLiteral("放量倍数[2.0-6.0]"), &AppConfig::fibonacciHotStockVolRatio, 2.7, 5.5),
            plainRow(QStringLiteral("放量天数[5-24]"), &AppConfig::fibonacciHotStockDays, 38, 13),
            plainRow(QStringLiteral("最大回落天数[3-21]"), &AppConfig::fibonacciHotStockMaxFallDays, 4, 19),
            plainRow(QStringLiteral("最小振幅[>=8%]"), &AppConfig::fibonacciHotStockMinSwing, 55, 9),
            plainRow(QStringLiteral("启动热度分析"), &AppConfig::fibonacciHotStock, 0, 1),
        };
        QTest::newRow("hot stock, switch turned off") << QString("hot stock") << QVector<DialogRow>{
            plainRow(QStringLiteral("最大偏差[0.5%-8.0%]"), &AppConfig::fibonacciHotStockDelta, 0.6, 3.9),
            plainRow(QStringLiteral("均线周期[5-21]"), &AppConfig::fibonacciHotStockSpan, 8, 20),
            plainRow(QStringLiteral("放量倍数[2.0-6.0]"), &AppConfig::fibonacciHotStockVolRatio, 4.25, 2.1),
            plainRow(QStringLiteral("放量天数[5-24]"), &AppConfig::fibonacciHotStockDays, 11, 29),
            plainRow(QStringLiteral("最大回落天数[3-21]"), &AppConfig::fibonacciHotStockMaxFallDays, 16, 5),
            plainRow(QStringLiteral("最小振幅[>=8%]"), &AppConfig::fibonacciHotStockMinSwing, 90, 33),
            plainRow(QStringLiteral("启动热度分析"), &AppConfig::fibonacciHotStock, 1, 0),
        };
        QTest::newRow("new stock") << QString("new stock") << QVector<DialogRow>{
            plainRow(QStringLiteral("最大偏差(0.5%-8.0%)"), &AppConfig::fibonacciNewStockDelta, 3.3, 0.9),
            plainRow(QStringLiteral("均线周期(5-25)"), &AppConfig::fibonacciNewStockSpan, 23, 8),
            plainRow(QStringLiteral("次新股上市范围(20-120)"), &AppConfig::fibonacciNewStockMaxDays, 45, 110),
        };
    }

    // Each row found by its label: shown from its own setting and written
    // back to it by the dialog's button, nothing else touched.
    void parameterRowsEditTheirOwnSetting()
    {
        QFETCH(QString, page);
        QFETCH(QVector<DialogRow>, rows);
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        QCOMPARE(editThroughDialog(config, rows, [&] { return openParameterDialog(page); }, okButtonOf(page)),
                 QString());
        QCOMPARE(editLeftUnconfirmed(config, rows, [&] { return openParameterDialog(page); }), QString());
        config = saved;
    }

    void parameterRowsKeepToTheirRange_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("atLow");
        QTest::addColumn<double>("beyond");
        for (const char* page : {"trend", "hot stock", "new stock"}) {
            for (bool atLow : {true, false}) {
                const char* end = atLow ? "low" : "high";
                QTest::addRow("%s, on the %s end", page, end) << QString(page) << atLow << 0.0;
                QTest::addRow("%s, one past the %s end", page, end) << QString(page) << atLow << 1.0;
                QTest::addRow("%s, far past the %s end", page, end) << QString(page) << atLow << 1e9;
            }
        }
    }

    // A stored value on an end of its range shows as it is; one past it (a
    // hand-edited file) shows the end, and the end is what the button stores.
    void parameterRowsKeepToTheirRange()
    {
        QFETCH(QString, page);
        QFETCH(bool, atLow);
        QFETCH(double, beyond);
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        const QVector<DialogRow> rows = rowsAtEnd(parameterRanges(page), atLow, beyond);
        QCOMPARE(editThroughDialog(config, rows, [&] { return openParameterDialog(page); }, okButtonOf(page)),
                 QString());
        config = saved;
    }

    void parameterRowsStepAsTheyShould()
    {
        for (const char* page : {"trend", "hot stock", "new stock"}) {
            std::unique_ptr<QDialog> dialog(openParameterDialog(page));
            QCOMPARE(stepMismatches(dialog.get(), parameterRanges(page)).join(" | "), QString());
        }
    }

    void trendModeListShowsTheModeInEffect_data()
    {
        QTest::addColumn<int>("stored");
        for (int mode = 0; mode < 5; ++mode)
            QTest::addRow("mode %d", mode) << mode;
        QTest::newRow("negative") << -1;
        QTest::newRow("as many as the items") << 5;
        QTest::newRow("seven") << 7;
        QTest::newRow("largest") << std::numeric_limits<int>::max();
        QTest::newRow("smallest") << std::numeric_limits<int>::min();
    }

    // A mode beyond the list (a hand-edited file) shows the item whose prices
    // the scanners pick for it, and stays stored until the user sets one.
    void trendModeListShowsTheModeInEffect()
    {
        QFETCH(int, stored);
        AppConfig& config = vorelApp()->config;
        const AppConfig saved = config;
        config.trendType = stored;
        StockTrendConfig dialog;
        const int shown = dialog.typeCombo->currentIndex();
        QVERIFY(shown >= 0 && shown < dialog.typeCombo->count());
        dialog.show();
        QVERIFY(saveScreenshot(&dialog, QString("trendconfig-mode-%1").arg(QTest::currentDataTag()).replace(' ', '-')));
        // a bar whose four prices differ, and two more to tell min/max from open/close
        const QVector<Stock> bars = {ohlc(10.0f, 10.9f, 9.2f, 10.4f), ohlc(10.6f, 11.3f, 9.9f, 10.1f)};
        TrendParams inEffect;
        inEffect.type = stored;
        TrendParams named;
        named.type = shown;
        StockTrendScanner byStored(inEffect);
        StockTrendScanner byShown(named);
        byStored.bars = byShown.bars = bars;
        for (int i = 0; i < bars.size(); ++i) {
            QCOMPARE(byShown.supportPick(i), byStored.supportPick(i));
            QCOMPARE(byShown.pressurePick(i), byStored.pressurePick(i));
        }
        // every item picks its own prices: the list holds no two names for one mode
        QSet<QString> picks;
        for (int mode = 0; mode < dialog.typeCombo->count(); ++mode) {
            TrendParams params;
            params.type = mode;
            StockTrendScanner scanner(params);
            scanner.bars = bars;
            picks.insert(QString("%1 %2 %3 %4").arg(scanner.supportPick(0)).arg(scanner.pressurePick(0))
                             .arg(scanner.supportPick(1)).arg(scanner.pressurePick(1)));
        }
        QCOMPARE(picks.size(), dialog.typeCombo->count());

        dialog.reject();
        QCOMPARE(config.trendType, stored);
        QVERIFY(pressButton(&dialog, QStringLiteral("设置")));
        QCOMPARE(config.trendType, shown);
        config = saved;
    }
};

int main(int argc, char** argv)
{
    // The pages read "data/" and write "list" in the working folder.
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        return 2;
    int result = 0;
    {
        VorelApplication app(argc, argv);
        TestStrategyScanPages test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "tst_strategyscanpages.moc"
