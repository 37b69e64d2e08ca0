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

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
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
        QCOMPARE(readText("list"), QString("600001,"));
        QCOMPARE(page.statusLabel->text(), finishedText(1));

        // Other set-ups over the same files find nothing; the list file follows.
        page.radios.at(0)->click();
        runScan(page);
        QCOMPARE(page.list->count(), 0);
        QCOMPARE(readText("list"), QString());
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
        QCOMPARE(readText("list"), QString("keep,"));
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
        QCOMPARE(readText("list"), QString());
        QVERIFY(QDir("data").removeRecursively());

        // Without the folder nothing starts, and the page says why.
        page.onScan();
        QVERIFY(!page.isScanning());
        QCOMPARE(page.statusLabel->text(), QStringLiteral("没有可扫描的历史数据(data/),请先用智能点评下载"));
        QVERIFY(QDir().rename("data.full", "data"));
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
