#pragma once

// End-of-day picking (尾盘选股): at 14:50 on a trading day the page walks the
// market's realtime quote list, keeps the pool stocks worth a closer look,
// checks each one's daily history for a bullish candle and its intraday
// minutes for strength, rechecks the survivors' quotes and lists them. A
// click on a listed stock shows its minutes. It runs at most once per program
// run, driven by its own timer events (one blocking request or two per event).
// Its label tells the step, the downloads that failed so far, the histories
// that could not be stored, and at the end how many stocks were picked.

#include "core/stock.h"
#include "core/tickqueue.h"
#include "datasource/quotesources.h"
#include "datasource/stocktimedata.h"
#include "datasource/storedhistory.h"
#include "widgets/pagestatus.h"

#include <QMap>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class StockListView;
class StockTailScanner;
class StockTimeDataWidget;

class StockTailWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit StockTailWidget(QWidget* parent = nullptr);
    ~StockTailWidget() override;

    // One step of the run; false when the page has stopped for good (no
    // further timer). The timer event calls it; tests may call it directly.
    bool step();
    // Ends the page's own ticking, for callers that drive step() themselves.
    void stopTicking();
    // Mails the picks (nothing calls it in this program) and tells the result.
    void composeTailMail();

    StockListView* list = nullptr;
    StockTimeDataWidget* chart = nullptr;
    QLabel* label = nullptr;
    int state = 0;
    QStringList queue;
    SinaRealtimeInterface realtimeSource;
    StockQQHistoryInterface historySource = storedDailySource();
    SinaInterface quoteSource;
    QVector<Stock> candidates;
    StockTailScanner* scanner = nullptr;
    QMap<QString, Stock> results;
    QMap<QString, StockTimeData> minutes;
    QString startTime;
    bool stopped = false;
    // The page's ticks, through `queue` in the states that fetch URLs.
    TickQueue ticks{this, queue};
    FailureTally failures;
    UnstoredHistories unstored;

public slots:
    void onClick(int r, int c);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void waitForStart();
    void fetchRealtimePage();
    void checkCandidate();
    void recheckQuotes();
    void finish();
    // The step's text, with the failed downloads of the run behind it.
    void showStep(const QString& text);
};
