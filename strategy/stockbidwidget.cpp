#include "strategy/stockbidwidget.h"

#include "analysis/stockthreadtarget.h"
#include "core/clock.h"
#include "core/mail.h"
#include "core/startuplisting.h"
#include "core/vorelapplication.h"
#include "datasource/poolaccess.h"
#include "datasource/quotesources.h"
#include "datasource/storedhistory.h"
#include "strategy/bidscoring.h"
#include "widgets/stocklistview.h"

#include <QDebug>
#include <QLabel>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>

namespace {

constexpr int kTickMs = 600;
constexpr int kMaxSelected = 12;

} // namespace

StockBidWidget::StockBidWidget(QWidget* parent)
    : QWidget(parent)
{
    list = createStockListView(0, this);
    label = new QLabel(QStringLiteral("无需手动扫描,软件竞价时间会自动搜索"), this);
    fitToPage(label);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(label);

    // Spreads the requests of many running copies over a quarter of a minute.
    secondOffset = QRandomGenerator::global()->bounded(15);
    fired = false;

    quoteSource = new SinaInterface;
    fileScan = new StockThreadTarget(&StockBidWidget::scanBidFile, this);
    connect(fileScan, &StockThreadTarget::updateStock, this, &StockBidWidget::onUpdateResult,
            Qt::QueuedConnection);
    connect(fileScan, &QThread::finished, this, &StockBidWidget::onScannFinished,
            Qt::QueuedConnection);
    startFileScan();

    connect(&timer, &QTimer::timeout, this, &StockBidWidget::process);
    connect(&loader, &DataLoader::sendStock, this, &StockBidWidget::updateStocks);
    connect(&loader, &DataLoader::sendOK, this, &StockBidWidget::onFinished);
    connect(&loader, &DataLoader::sendFailure, this, &StockBidWidget::quotesFailed);
    timer.start(kTickMs);
}

StockBidWidget::~StockBidWidget()
{
    timer.stop();
    fileScan->stop();
    loader.stockInterface = nullptr;
    delete quoteSource;
}

void StockBidWidget::startFileScan()
{
    // The histories come from the start-up listing of data/, which runs on
    // a thread of its own so that the window does not wait for a large
    // folder: the scan starts once the listing is there.
    StartupListing* listing = vorelApp()->startupListing;
    listing->whenDone(this, [this, listing] {
        const QMap<QString, QString> files = listing->historyFiles();
        if (files.isEmpty())
            return;
        fileScan->setStocks(files);
        fileScan->start();
    });
}

bool StockBidWidget::scanBidFile(const QString& path, const QString&, int)
{
    return storedHistoryEndsBullish(path);
}

bool StockBidWidget::isAuctionTime() const
{
    const QDateTime now = chinaNow();
    const QTime t = now.time();
    const int day = now.date().dayOfWeek();
    return t.hour() == 9 && t.minute() == 25 && day >= Qt::Monday && day <= Qt::Friday
           && t.second() > 30 + secondOffset;
}

void StockBidWidget::process()
{
    if (fired || !isAuctionTime())
        return;
    fired = true;
    loader.stockInterface = quoteSource;
    const QStringList urls = quoteSource->urls(buildBidCodeList());
    loader.setUrls(urls, QStringList());
    loader.start();
}

QStringList StockBidWidget::buildBidCodeList()
{
    const QStringList excluded = readMarkedCodes();
    QStringList codes;
    markedLeftOut = 0;
    for (const QString& code : codesWithoutST(vorelApp()->stockPool)) {
        if (excluded.contains(code))
            ++markedLeftOut;
        else
            codes << code;
    }
    std::shuffle(codes.begin(), codes.end(), *QRandomGenerator::global());
    return codes;
}

void StockBidWidget::updateStocks(QVector<Stock> stocks)
{
    list->addStocks(stocks);
    picks += stocks;
    label->setText(QStringLiteral("分析中"));
}

void StockBidWidget::quotesFailed(const QString&, const QString& message)
{
    failures.add(message);
}

void StockBidWidget::showOutcome(const QString& text)
{
    // A run that asked for fewer codes than the pool holds says so: data/none
    // may name many of them.
    QString outcome = text;
    if (markedLeftOut > 0)
        outcome += QStringLiteral("；跳过data/none中标记的%1只股票").arg(markedLeftOut);
    showStatus(label, withFailures(outcome, failures.text(QStringLiteral("次行情"))));
}

void StockBidWidget::onUpdateResult(int, QString, int) {}

void StockBidWidget::onScannFinished() {}

bool StockBidWidget::bidRatioGreater(const Stock& a, const Stock& b)
{
    return a.buySellRatio > b.buySellRatio;
}

bool StockBidWidget::bidScoreGreater(const Stock& a, const Stock& b)
{
    if (a.bidScore != b.bidScore)
        return a.bidScore > b.bidScore;
    return a.buySellRatio > b.buySellRatio;
}

void StockBidWidget::onFinished()
{
    if (list->rowCount() == 0) {
        showOutcome(QStringLiteral("竞价结束,没有选出股票"));
        return;
    }
    showOutcome(QStringLiteral("已选出%1股").arg(list->rowCount()));
    // A strict ordering: the sort must never be handed one that calls equal
    // elements greater than each other.
    QVector<Stock> sorted = picks;
    std::stable_sort(sorted.begin(), sorted.end(), &StockBidWidget::bidRatioGreater);
    if (sorted.size() > kMaxSelected)
        sorted.resize(kMaxSelected);
    composeBidMail(sorted);
}

void StockBidWidget::composeBidMail(QVector<Stock> selected)
{
    if (vorelApp()->config.bidUseK) {
        for (Stock& s : selected)
            s.bidScore += analyzeStockFile(historyPath(s.code));
    }
    std::stable_sort(selected.begin(), selected.end(), &StockBidWidget::bidScoreGreater);

    const QStringList lines = bidMailLines(selected);
    mailBody = QStringLiteral("今日关注:\n") + lines.join('\n');
    mailResult = sendMail(QStringLiteral("今日竞价选股"), mailBody, 1);
    if (mailResult == 0) {
        showOutcome(QStringLiteral("前4个竞价股票已发送到您的邮箱"));
    } else {
        qWarning() << "auction picks were not mailed, mail result" << mailResult;
        showOutcome(QStringLiteral("已选出%1股,邮件未发送").arg(list->rowCount()));
    }

    if (!lines.isEmpty()) {
        list->clearStocks();
        list->addStocks(selected);
    }
}

int StockBidWidget::analyzeStockFile(const QString& path)
{
    // The worker gets copies: the lists belong to the GUI thread.
    const QStringList codeList = vorelApp()->codeList;
    const QStringList reductionCodes = vorelApp()->reductionCodes;
    return QtConcurrent::run(&bidHistoryScore, path, codeList, reductionCodes).result();
}
