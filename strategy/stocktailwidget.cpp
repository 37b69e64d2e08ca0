#include "strategy/stocktailwidget.h"

#include "analysis/stocktailscanner.h"
#include "analysis/stocktimedatawidget.h"
#include "core/calendar.h"
#include "core/clock.h"
#include "core/mail.h"
#include "core/vorelapplication.h"
#include "datasource/httpget.h"
#include "datasource/webinterface.h"
#include "strategy/bidscoring.h"
#include "widgets/stocklistview.h"

#include <QDebug>
#include <QLabel>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <algorithm>
#include <iostream>

namespace {

constexpr int kFirstTickMs = 600;
constexpr int kTickMs = 150;
constexpr int kMarketPages = 40;
// Both intraday shares (above the average, average rising) must exceed this.
constexpr float kMinuteStrength = 89.0f;
constexpr int kMailedPicks = 3;
const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";

} // namespace

StockTailWidget::StockTailWidget(QWidget* parent)
    : QWidget(parent)
{
    list = createStockListView(3, this);
    chart = new StockTimeDataWidget(this);
    label = new QLabel(QStringLiteral("交易日尾盘选股自动运行,无需手动搜索"), this);
    fitToPage(label);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addWidget(chart, 1);
    layout->addWidget(label, 0);

    scanner = new StockTailScanner(this);
    connect(list, &QTableWidget::cellClicked, this, &StockTailWidget::onClick);
    state = 0;
    ticks.start(kFirstTickMs);
}

StockTailWidget::~StockTailWidget() = default;

void StockTailWidget::timerEvent(QTimerEvent* event)
{
    if (!ticks.claim(event)) {
        QWidget::timerEvent(event);
        return;
    }
    if (step())
        ticks.startNext(kTickMs);
}

void StockTailWidget::stopTicking()
{
    ticks.stop();
}

bool StockTailWidget::step()
{
    if (stopped)
        return false;
    switch (state) {
    case 0:
        waitForStart();
        break;
    case 1:
        fetchRealtimePage();
        break;
    case 2:
        checkCandidate();
        break;
    case 3:
        recheckQuotes();
        break;
    default:
        finish();
        stopped = true;
        break;
    }
    return !stopped;
}

void StockTailWidget::waitForStart()
{
    const QDateTime now = chinaNow();
    if (now.time().hour() != 14 || now.time().minute() != 50)
        return;
    if (isNonTradingDay(now.date())) {
        stopped = true;
        return;
    }
    startTime = now.toString(QString::fromLatin1(kTimeFormat));
    showStep(QStringLiteral("自动分析中..."));
    QStringList pages;
    for (int page = 1; page <= kMarketPages; ++page)
        pages << QString::number(page);
    queue = realtimeSource.urls(pages);
    state = 1;
    fetchRealtimePage();
}

void StockTailWidget::fetchRealtimePage()
{
    if (ticks.isEmpty()) {
        showStep(QStringLiteral("检测股票涨幅完毕"));
        state = 2;
        return;
    }
    QString failure;
    const QString body = fetchForSource(realtimeSource, ticks.takeFirst(), this, &failure);
    failures.add(failure);
    const QVector<Stock> quotes = realtimeSource.parse(body, QString());
    const QMap<QString, Stock>& pool = vorelApp()->stockPool;
    for (const Stock& quote : quotes) {
        if (pool.contains(quote.code) && StockTailScanner::isCandidate(quote)) {
            // The market list names no industry; the pool does.
            Stock candidate = quote;
            candidate.industry = pool.value(quote.code).industry;
            candidates.append(candidate);
            std::cout << "code:" << quote.code.toStdString() << std::endl;
        }
    }
    showStep(QStringLiteral("检测股票涨幅"));
}

void StockTailWidget::checkCandidate()
{
    if (candidates.isEmpty()) {
        state = 3;
        queue = quoteSource.urls(results.keys());
        showStep(QStringLiteral("分析历史数据完毕"));
        return;
    }
    const Stock candidate = candidates.takeFirst();
    const QString code = candidate.code;
    // The history is kept in data/ for the pages that scan stored files; it
    // is stored only when a success answer gave bars.
    HistoryOutcome history;
    QVector<Stock> bars = fetchQQHistory(historySource, code, this, &history);
    // A history answer always has bars: one without held nothing readable.
    failures.add(answerFailure(history.failure, !bars.isEmpty()));
    unstored.add(history.notStored);
    // The last bar is today's, still being traded.
    if (!bars.isEmpty())
        bars.removeLast();
    QStringList comments;
    const int signal = scanner->scan(code, bars, &comments);
    showStep(QStringLiteral("检测股票走势"));
    if (signal != 0)
        return;

    QString failure;
    const StockTimeData record = parseTimeData(httpGet(minuteDataUrl(code), this, &failure));
    failures.add(answerFailure(failure, record.valid));
    std::cout << code.toStdString() << " " << record.aboveAveragePercent << " "
              << record.averageRisingPercent << std::endl;
    if (record.aboveAveragePercent > kMinuteStrength && record.averageRisingPercent > kMinuteStrength)
        results.insert(code, candidate);
    minutes.insert(code, record);
    showStep(QStringLiteral("检测股票今日明细"));
}

void StockTailWidget::recheckQuotes()
{
    if (ticks.isEmpty()) {
        state = 4;
        showStep(QStringLiteral("检测股票历史完毕"));
        return;
    }
    QString failure;
    const QString body = fetchForSource(quoteSource, ticks.takeFirst(), this, &failure);
    failures.add(failure);
    const QVector<Stock> quotes = quoteSource.parse(body, QString());
    for (const Stock& quote : quotes) {
        if (!StockTailScanner::isCandidate(quote))
            results.remove(quote.code);
    }
}

void StockTailWidget::showStep(const QString& text)
{
    showStatus(label, withFailures(withFailures(text, failures.text(QStringLiteral("次"))), unstored.text()));
}

void StockTailWidget::finish()
{
    showStep(results.isEmpty() ? QStringLiteral("分析股票完毕,没有选出股票")
                               : QStringLiteral("分析股票完毕,选出%1只股票").arg(results.size()));
    for (const Stock& stock : results)
        list->addStock(stock);
}

void StockTailWidget::onClick(int r, int)
{
    const QTableWidgetItem* item = list->item(r, 0);
    if (!item)
        return;
    const QString code = item->text();
    if (results.contains(code) && minutes.contains(code))
        chart->setData(minutes.value(code));
}

void StockTailWidget::composeTailMail()
{
    QVector<Stock> picked = results.values().toVector();
    std::shuffle(picked.begin(), picked.end(), *QRandomGenerator::global());
    if (picked.size() > kMailedPicks)
        picked.resize(kMailedPicks);
    std::stable_sort(picked.begin(), picked.end(),
                     [](const Stock& a, const Stock& b) { return a.value2 > b.value2; });
    QStringList lines;
    for (const Stock& s : picked) {
        lines << QStringLiteral("代码%1,股票%2,现价:%3,所属板块:%4,涨幅:%5%")
                     .arg(s.code, s.name, QString::number(double(s.close), 'g', 6), s.industry,
                          QString::number(truncatedChangePercent(s), 'g', 6));
    }
    lines << startTime;
    const QString body = QStringLiteral("NOTE:\n") + lines.join('\n') + QLatin1Char('\n')
                         + chinaNow().toString(QString::fromLatin1(kTimeFormat));
    const int result = sendMail(QStringLiteral("NOTE"), body, 1);
    // Only a mail that went out is announced as sent.
    const QString outcome = result == 0 ? QStringLiteral("尾盘选股已发送到您的邮箱")
                                        : QStringLiteral("尾盘选股邮件未发送");
    label->setText(QStringLiteral("NOTE:%1,%2").arg(result).arg(outcome));
}
