#include "strategy/stockaddonscanner.h"

#include "analysis/candlestickwidget.h"
#include "analysis/historyscan.h"
#include "analysis/stockthreadtarget.h"
#include "core/traderecord.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "strategy/addonhost.h"
#include "widgets/stocklistview.h"
#include "widgets/vorelstockmsgbox.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

namespace {

// The trade list has a fixed number of columns; its strategy-result type.
constexpr int kStrategyListType = 6;
constexpr int kChartBars = 30;

} // namespace

QString TradeSummary::text() const
{
    if (tradeCount <= 0)
        return QString();
    // Several trades on one buy day mean the strategy picks in herds.
    const int spread = buyDates.isEmpty() ? 0 : tradeCount / buyDates.size();
    return QStringLiteral("次数:%1,准确率:%2%,平均收益:%3%,平均持股天数:%4,离散度:%5(该数字越小越好)")
        .arg(tradeCount)
        .arg(winCount * 100.0 / tradeCount, 0, 'f', 2)
        .arg(gainSum / tradeCount, 0, 'f', 2)
        .arg(double(holdDaysSum) / tradeCount)
        .arg(spread);
}

QVector<Stock> barsUpTo(const QVector<Stock>& bars, const QString& date)
{
    QVector<Stock> kept;
    for (const Stock& bar : bars) {
        if (bar.date > date)
            break;
        kept.append(bar);
    }
    return kept;
}

StockAddonScanner::StockAddonScanner(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("执行策略选股"));
    setFixedWidth(680);

    chart = new CandlestickWidget(true, this);
    chart->setFixedHeight(150);
    listView = createStockListView(kStrategyListType, this);
    listView->setMenuEnabled(false);
    stack = new QStackedWidget(this);
    stack->setMaximumHeight(28);
    label = new QLabel(QStringLiteral("点击扫描即可智能查找股票组合趋势"), stack);
    progress = new QProgressBar(stack);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->hide();
    stack->addWidget(label);
    stack->addWidget(progress);
    stack->setCurrentIndex(0);
    scanButton = new QPushButton(QStringLiteral("扫描"), this);
    scanButton->setFixedWidth(72);

    auto* layout = new QGridLayout(this);
    layout->addWidget(chart, 0, 0, 1, 7);
    layout->addWidget(listView, 1, 0, 1, 7);
    layout->addWidget(stack, 2, 0, 1, 6);
    layout->addWidget(scanButton, 2, 6);

    worker = new StockThreadTarget(&StockAddonScanner::scanFile, this);
    worker->setKind(0);
    connect(scanButton, &QPushButton::clicked, this, &StockAddonScanner::onSearch);
    connect(worker, &StockThreadTarget::updateStock, this, &StockAddonScanner::onUpdateResult,
            Qt::QueuedConnection);
    connect(worker, &QThread::finished, this, &StockAddonScanner::onScannFinished,
            Qt::QueuedConnection);
    connect(listView, &StockListView::senderData, this, &StockAddonScanner::onClick);

    vorelApp()->addonScanner = this;
    VorelAddonHostImpl::setTradeDelivery(
        [](StockAddonScanner* page, const Stock& stock) { page->addResult(stock); });
}

StockAddonScanner::~StockAddonScanner()
{
    // Reports still on their way find no page from now on and are dropped.
    if (vorelApp()->addonScanner == this)
        vorelApp()->addonScanner = nullptr;
    // The scan ends before the dialog's parts go.
    worker->stop();
}

bool StockAddonScanner::isScanning() const
{
    return scanning;
}

void StockAddonScanner::showMessage(const QString& title, const QString& text)
{
    VorelStockMsgBox box(title, text, this);
    box.exec();
}

void StockAddonScanner::onSearch()
{
    // One scan at a time: the worker's map and pool must not change under it,
    // and one summary belongs to one scan.
    if (scanning)
        return;
    VorelAddonHostImpl* host = VorelAddonHostImpl::instance();
    if (!host || host->registry.boundIndex == -1) {
        showMessage(QStringLiteral("警告"), QStringLiteral("请选择策略插件"));
        return;
    }
    const HistoryScanFiles files;
    if (files.paths().isEmpty()) {
        showMessage(QStringLiteral("提示"), files.nothingToScan());
        return;
    }

    stack->setCurrentIndex(1);

    progress->setValue(0);
    progress->show();
    listView->clearStocks();
    // The list starts empty, so does its summary: counting on from an earlier
    // scan would sum trades up that are no longer listed, and count every
    // trade twice when the same files are scanned again.
    stats = TradeSummary();
    // The add-on of this scan, which the worker's callback runs.
    worker->setParams(host->registry.boundAddon());
    worker->setStocks(files.workMap());
    worker->setPool(vorelApp()->stockPool);
    scanning = true;
    scanButton->setEnabled(false);
    worker->start();
}

bool StockAddonScanner::scanFile(const QString& path, const QString&, int)
{
    VorelAddon* const* addon = StockThreadTarget::currentParams<VorelAddon*>();
    const QVector<Stock> bars = readHistoryFile(path);
    if (bars.isEmpty() || !addon || !*addon)
        return false;
    (*addon)->check(historyCode(path), bars);
    return true;
}

void StockAddonScanner::onUpdateResult(int percent, const QString&, int)
{
    progress->setValue(percent);
}

void StockAddonScanner::addResult(const Stock& stock)
{
    const TradeRecord* t = stock.trade;
    // Open trades (no sell point yet) are listed but stay out of the summary.
    if (t && !t->sellDate.isEmpty() && t->holdDays != 0) {
        ++stats.tradeCount;
        if (t->gainPercent >= 0)
            ++stats.winCount;
        stats.holdDaysSum += t->holdDays;
        stats.gainSum += t->gainPercent;
        ++stats.buyDates[t->buyDate];
    }
    listView->addStock(stock);
}

void StockAddonScanner::onScannFinished()
{
    // The worker reports each file before it is read; the last report is
    // short of the whole.
    progress->setValue(progress->maximum());
    scanning = false;
    scanButton->setEnabled(true);
    showMessage(QStringLiteral("汇总"), stats.text());
}

void StockAddonScanner::onClick(const QString& code, const QString& date)
{
    // The code comes from an add-on's report: it names a file only when it is one.
    const QVector<Stock> bars = barsUpTo(readDataHistory(code), date);
    chart->setStock(kChartBars, code, bars, QStringLiteral("day"), QStringLiteral("bfq"));
}
