#include "strategy/stockquantwidget.h"

#include "analysis/historyscan.h"
#include "core/clock.h"
#include "core/exportutils.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "strategy/stockquantchecker.h"
#include "widgets/linedelegate.h"
#include "widgets/stocklistview.h"
#include "widgets/vorelstockmsgbox.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>

namespace {

const int kFirstTickMs = 100;
const int kNextTickMs = 10;

// New stocks: listed within this many days of today.
const int kNewStockDays = 180;

} // namespace

// ---------------------------------------------------------------------------

StockQuantListWidget::StockQuantListWidget(int days, QWidget* parent)
    : QTableWidget(parent), followingDays(days == 3 ? 3 : 4)
{
    QStringList headers{QStringLiteral("代码"), QStringLiteral("信号日期"), QStringLiteral("信号参数"),
                        QStringLiteral("买入价格"), QStringLiteral("第二天收"), QStringLiteral("二天累计涨幅"),
                        QStringLiteral("第三天收"), QStringLiteral("三天累计涨幅"), QStringLiteral("第四天收"),
                        QStringLiteral("四天累计涨幅")};
    headers = headers.mid(0, followingDays == 3 ? 8 : 10);
    setColumnCount(headers.size());
    setHorizontalHeaderLabels(headers);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    setShowGrid(false);
    setItemDelegate(new LineDelegate(this));
    setSortingEnabled(true);
}

void StockQuantListWidget::clearRows()
{
    clearContents();
    setRowCount(0);
}

void StockQuantListWidget::setNumber(int row, int column, double value)
{
    setItem(row, column, new OrderTableWidgetItem(quantReportNumber(value)));
}

void StockQuantListWidget::addStocks(const QVector<Stock>& stocks, int pos, int, int type)
{
    if (pos < 0 || pos >= stocks.size())
        return;
    const CheckerFacts& facts = quantCheckerFacts(type);
    const bool hasNext = pos + 1 < stocks.size();
    if (facts.nextDayLimit && hasNext && stocks.at(pos + 1).changePercent > facts.nextDayLimit(vorelApp()->config))
        return;

    const Stock& signal = stocks.at(pos);
    // A sorted table would move the row away while it is being filled.
    const bool sorting = isSortingEnabled();
    setSortingEnabled(false);
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, new QTableWidgetItem(signal.code));
    setItem(row, 1, new QTableWidgetItem(signal.date));
    setItem(row, 2, new QTableWidgetItem(facts.parameterText(signal)));
    if (hasNext) {
        const double buy = stocks.at(pos + 1).open;
        setNumber(row, 3, buy);
        for (int k = 2; k <= followingDays && pos + k < stocks.size(); ++k) {
            const double close = stocks.at(pos + k).close;
            setNumber(row, 2 + 2 * (k - 1), close);
            setNumber(row, 3 + 2 * (k - 1), (close - buy) / buy * 100);
        }
    }
    setSortingEnabled(sorting);
}

// ---------------------------------------------------------------------------

StockQuantCheckerWidget::StockQuantCheckerWidget(StockQuantChecker* checker, QWidget* parent)
    : QWidget(parent), checker(checker)
{
    list = new StockQuantListWidget(checker ? checker->days() : 4, this);
    progress = new QProgressBar(this);
    progress->setValue(0);
    progress->hide();
    auto* config = new QPushButton(QStringLiteral("设置"), this);
    config->setFixedWidth(72);
    auto* search = new QPushButton(QStringLiteral("扫描"), this);
    search->setFixedWidth(72);

    auto* grid = new QGridLayout(this);
    grid->addWidget(list, 0, 0, 1, 4);
    grid->addWidget(progress, 1, 0, 1, 2);
    grid->addWidget(config, 1, 2);
    grid->addWidget(search, 1, 3);

    connect(config, &QPushButton::clicked, this, &StockQuantCheckerWidget::onConfig);
    connect(search, &QPushButton::clicked, this, &StockQuantCheckerWidget::onSearch);
}

bool StockQuantCheckerWidget::isRunning() const
{
    return ticks.isActive();
}

void StockQuantCheckerWidget::onConfig()
{
    if (checker)
        checker->config(this);
}

QStringList StockQuantCheckerWidget::candidateFiles(const QStringList& paths) const
{
    QStringList files;
    QSet<QString> listed;
    const bool newStocksOnly = quantCheckerFacts(checker->typeId()).newStocksOnly;
    if (newStocksOnly) {
        const QString since = chinaNow().date().addDays(-kNewStockDays).toString(QStringLiteral("yyyyMMdd"));
        const QStringList codes = vorelApp()->loadShareList(since).keys();
        listed = QSet<QString>(codes.begin(), codes.end());
    }
    for (const QString& path : paths) {
        if (!newStocksOnly || listed.contains(historyCode(path)))
            files.append(path);
    }
    return files;
}

void StockQuantCheckerWidget::onSearch()
{
    // One run at a time: a second one would share the queue and the table.
    if (!checker || isRunning())
        return;
    const QStringList paths = HistoryScanFiles().paths();
    if (paths.isEmpty())
        return;
    queue = candidateFiles(paths);
    if (queue.isEmpty())
        return;
    // A new run starts afresh: the stock that ended the last one may signal again.
    lastCode.clear();
    list->clearRows();
    progress->setValue(0);
    progress->show();
    ticks.start(kFirstTickMs);
}

void StockQuantCheckerWidget::timerEvent(QTimerEvent* event)
{
    if (!ticks.claim(event)) {
        QWidget::timerEvent(event);
        return;
    }
    if (ticks.isEmpty()) {
        finishRun();
        return;
    }
    const QString path = ticks.takeLast();
    testStock(historyCode(path), readHistoryFile(path), ticks.percentDone());
    ticks.startNext(kNextTickMs);
}

void StockQuantCheckerWidget::onUpdateStocks(const QString& code, const QVector<Stock>& stocks, int, int percent)
{
    if (checker)
        testStock(code, stocks, percent);
}

void StockQuantCheckerWidget::testStock(const QString& code, const QVector<Stock>& bars, int percent)
{
    progress->setValue(percent);
    const int type = checker->typeId();
    const bool repeats = quantCheckerFacts(type).repeats;
    for (int i = 0; i < bars.size(); ++i) {
        if (!repeats && code == lastCode)
            break;   // this stock has had its one row
        const int r = checker->check(code, bars, i);
        if (r < 0)
            continue;
        lastCode = code;
        list->addStocks(bars, i, r, type);
    }
}

void StockQuantCheckerWidget::finishRun()
{
    progress->hide();
    const QString path = checker->csvPath();
    const bool written = exportTableToCsvCreatingFolder(path, list);
    if (written) {
        VorelStockMsgBox box(QStringLiteral("提示"), QStringLiteral("策略测试文档%1已生成请查阅").arg(path), this);
        box.exec();
    } else {
        VorelStockMsgBox box(QStringLiteral("错误"), QStringLiteral("策略测试文档%1无法写入").arg(path), this);
        box.exec();
    }
}

// ---------------------------------------------------------------------------

StockQuantFrameWork::StockQuantFrameWork(QWidget* parent) : QTabWidget(parent)
{
    for (const CheckerFacts& facts : quantCheckerTable())
        addChecker(createQuantChecker(facts.typeId));
}

void StockQuantFrameWork::addChecker(StockQuantChecker* checker)
{
    if (!checker)
        return;
    auto* tab = new StockQuantCheckerWidget(checker);
    // The checker lives as long as its tab.
    checker->setParent(tab);
    addTab(tab, checker->name());
}

// ---------------------------------------------------------------------------

StockQuantThreadTarget::StockQuantThreadTarget(QObject* parent) : QThread(parent)
{
    qRegisterMetaType<QVector<Stock> >("QVector<Stock>");
}

StockQuantThreadTarget::~StockQuantThreadTarget()
{
    requestInterruption();
    wait();
}

void StockQuantThreadTarget::setStocks(const QMap<QString, QString>& stocks)
{
    if (!isRunning())
        work = stocks;
}

void StockQuantThreadTarget::run()
{
    counter = 0;
    const int size = work.size();
    for (auto it = work.constBegin(); it != work.constEnd(); ++it) {
        if (isInterruptionRequested())
            return;
        const QString& path = it.value();
        emit updateStocks(historyCode(path), readHistoryFile(path), 0, progressPercent(counter, size));
        ++counter;
    }
}
