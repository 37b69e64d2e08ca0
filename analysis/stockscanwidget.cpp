#include "analysis/stockscanwidget.h"

#include "analysis/stockcommentfactory.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/datafolders.h"
#include "core/exportutils.h"
#include "core/vorelapplication.h"
#include "datasource/poolaccess.h"
#include "widgets/settingsform.h"
#include "widgets/stocklistview.h"
#include "widgets/vorelstockmsgbox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const int kMinimumBars = 10;
const float kMarkedCloseBelow = 7.6f;

bool isBeforeClose()
{
    const QDateTime now = chinaNow();
    return !isNonTradingDay(now.date()) && now.time().hour() < 15;
}

}   // namespace

StockScanWidget::StockScanWidget(QWidget* parent)
    : QWidget(parent)
{
    hintLabel = new QLabel(QStringLiteral("点击扫描即可智能点评相关股票"), this);
    // The end of a scan says a lot; the page must not widen for it.
    fitToPage(hintLabel);
    progressBar = new QProgressBar(this);
    progressBar->setRange(0, 100);
    stack = new QStackedWidget(this);
    stack->setMaximumHeight(28);
    stack->addWidget(hintLabel);
    stack->addWidget(progressBar);
    stack->setCurrentIndex(0);

    searchButton = new QPushButton(QStringLiteral("扫描"), this);
    searchButton->setFixedWidth(72);
    configButton = new QPushButton(QStringLiteral("设置"), this);
    configButton->setFixedWidth(72);

    listView = createStockListView(5, this);

    auto* top = new QHBoxLayout;
    top->addWidget(stack);
    top->addWidget(searchButton);
    top->addWidget(configButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(listView);

    connect(searchButton, &QPushButton::clicked, this, &StockScanWidget::onSearch);
    connect(configButton, &QPushButton::clicked, this, &StockScanWidget::onConfig);
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &StockScanWidget::stopForQuit);
}

StockScanWidget::~StockScanWidget()
{
    ticks.stop();
    if (!markedCodes.isEmpty())
        writeMarkedCodes(markedCodes);
}

bool StockScanWidget::isScanning() const
{
    return ticks.isActive() || stack->currentIndex() == 1;
}

void StockScanWidget::onSearch()
{
    searchButton->setEnabled(false);
    codes.clear();
    if (isBeforeClose()) {
        VorelStockMsgBox box(QStringLiteral("提示"), QStringLiteral("请在收盘后使用该功能"), this);
        box.exec();
        searchButton->setEnabled(true);
        return;
    }
    startScan();
}

void StockScanWidget::startScan()
{
    listView->clearStocks();
    failures.reset();
    unstored.reset();
    // "data/none" names what the last scan found without history: a stock
    // that failed in an earlier scan of this run and came whole in this one
    // must not stay left out of the next auction.
    markedCodes.clear();
    listView->setSortingEnabled(false);
    progressBar->setValue(0);
    stack->setCurrentIndex(1);

    QStringList pool;
    if (vorelApp())
        pool = codesWithoutST(vorelApp()->stockPool);
    // The index goes along with every scan, whatever the pool holds.
    pool << QString::fromLatin1(kIndexCode);
    std::shuffle(pool.begin(), pool.end(), *QRandomGenerator::global());
    codes = pool;
    quitting = false;
    ticks.start(tickInterval);
}

void StockScanWidget::finishScan()
{
    searchButton->setEnabled(true);
    listView->setSortingEnabled(true);
    // comments are read whole, not cut to the header's default width
    listView->resizeColumnsToContents();
    const QString counts = QStringLiteral("扫描已完成,共扫描%1只股票,列出%2只")
                               .arg(ticks.done())
                               .arg(listView->rowCount());
    showStatus(hintLabel, withFailures(withFailures(counts, failures.text(QStringLiteral("只股票"))), unstored.text()));
    // a scan cut short by the program's end is not worth a file
    if (!quitting && vorelApp() && vorelApp()->config.scanListExport)
        exportList();
    stack->setCurrentIndex(0);
}

void StockScanWidget::exportList()
{
    const QString date = chinaNow().toString(QStringLiteral("yyyy-MM-dd"));
    const QString path = QString::fromLatin1(kOutputFolder) + date + QLatin1String(".csv");
    const QString outcome = exportTableToCsvCreatingFolder(path, listView) ? QStringLiteral("结果已导出到%1")
                                                                           : QStringLiteral("结果无法导出到%1");
    showStatus(hintLabel, hintLabel->text() + QStringLiteral("；") + outcome.arg(path));
}

void StockScanWidget::timerEvent(QTimerEvent* event)
{
    if (!ticks.claim(event)) {
        QWidget::timerEvent(event);
        return;
    }
    progressBar->setValue(ticks.percentDone());
    if (ticks.isEmpty()) {
        finishScan();
        return;
    }
    scanNext();
}

void StockScanWidget::scanNext()
{
    const QString code = ticks.takeFirst();

    // The download runs a local event loop: the page may be closed or the
    // program asked to quit before it returns, which gives up the download.
    // Only a whole success answer may replace the stored history: a failed or
    // stalled download gives no bars, and the stored history of the stock is
    // left as it was.
    QPointer<StockScanWidget> self(this);
    HistoryOutcome outcome;
    const QVector<Stock> bars = fetchQQHistory(history, code, this, &outcome);
    if (!self)
        return;
    if (quitting) {
        finishScan();
        return;
    }

    if (!bars.isEmpty()) {
        unstored.add(outcome.notStored);
        addStock(bars);
    } else {
        // Only a stock the service answered without bars is marked for the
        // auction to leave out: a download that failed says nothing about
        // the stock, and an outage would else switch the next morning's
        // auction off. Either way the list misses the stock: said as a
        // history that held nothing readable.
        if (outcome.failure.isEmpty())
            markedCodes << code;
        failures.add(answerFailure(outcome.failure, false));
    }
    ticks.startNext(tickInterval);
}

void StockScanWidget::stopForQuit()
{
    quitting = true;
    if (ticks.isActive()) {
        ticks.stop();
        finishScan();
    }
}

void StockScanWidget::addStock(QVector<Stock> bars)
{
    if (bars.size() < kMinimumBars || bars.last().close < 0.001f)
        return;
    Stock stock = bars.last();
    if (vorelApp()) {
        const auto& pool = vorelApp()->stockPool;
        auto it = pool.constFind(stock.code);
        if (it != pool.cend()) {
            stock.name = it.value().name;
            stock.industry = it.value().industry;
        }
    }
    QStringList texts;
    StockCommentFactory* factory = StockCommentFactory::instance();
    const int result = factory->scan(stock.code, bars, &texts);
    if (result != -1) {
        stock.valid = result != 0;
        stock.comments = factory->comments;
        listView->addStock(stock);
    }
    if (stock.close < kMarkedCloseBelow)
        markedCodes << stock.code;
}

void StockScanWidget::onConfig()
{
    StockScannerConfig dialog(this);
    dialog.exec();
}

// ---------------------------------------------------------------------------

StockScannerConfig::StockScannerConfig(QWidget* parent)
    : QDialog(parent), form(new SettingsForm(this))
{
    setWindowTitle(QStringLiteral("股票智能点评设置"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    exportBox = form->addCheck(QStringLiteral("扫描完成自动导出CSV文件"), &AppConfig::scanListExport);
    form->load();
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(exportBox);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &StockScannerConfig::onConfig);
}

void StockScannerConfig::onConfig()
{
    form->store();
    close();
}
