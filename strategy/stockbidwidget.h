#pragma once

// Call-auction picking (竞价选股): once per program run, at 09:25 on a weekday,
// the page asks for the auction quotes of the whole stock pool, keeps what the
// quote source's auction filter lets through, ranks the picks by their
// order-book ratio, optionally scores each over its stored daily history, lists
// them and mails the best four. The user does nothing; a tick looks at the
// China clock every 600 ms. The label ends a run with what came of it: the
// picks, that nothing was picked, an unsent mail, the pool codes data/none
// left out, failed quote requests.

#include "core/stock.h"
#include "datasource/dataloader.h"
#include "widgets/pagestatus.h"

#include <QStringList>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QLabel;
class SinaInterface;
class StockListView;
class StockThreadTarget;

class StockBidWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit StockBidWidget(QWidget* parent = nullptr);
    ~StockBidWidget() override;

    // The codes of the run: the pool minus the codes listed in data/none and
    // the names containing "ST", shuffled. Counts in markedLeftOut the pool
    // codes that data/none left out.
    QStringList buildBidCodeList();
    // Scores, ranks, mails and shows the final picks.
    void composeBidMail(QVector<Stock> selected);
    // The history score of the stock whose file is `path` (bidHistoryScore),
    // computed on Qt's global thread pool while the caller waits.
    int analyzeStockFile(const QString& path);

    static bool bidRatioGreater(const Stock& a, const Stock& b);
    static bool bidScoreGreater(const Stock& a, const Stock& b);
    // The file-scan callback (worker thread): a bullish candle at the end of
    // the stored history.
    static bool scanBidFile(const QString& path, const QString& value, int kind);

    QTimer timer;
    IterateDataLoader loader;
    SinaInterface* quoteSource = nullptr;
    StockListView* list = nullptr;
    QLabel* label = nullptr;
    QVector<Stock> picks;
    int secondOffset = 0;
    bool fired = false;
    StockThreadTarget* fileScan = nullptr;
    // What the last composeBidMail sent and what the mail entry answered.
    QString mailBody;
    int mailResult = 0;
    FailureTally failures;
    // The pool codes the last run left out because data/none names them; the
    // end text counts them.
    int markedLeftOut = 0;

private slots:
    void process();
    void onFinished();
    void updateStocks(QVector<Stock> stocks);
    void onUpdateResult(int percent, QString code, int flag);
    void onScannFinished();
    void quotesFailed(const QString& url, const QString& message);

private:
    bool isAuctionTime() const;
    // The label text, with the failed quote requests of the run behind it.
    void showOutcome(const QString& text);
    void startFileScan();
};
