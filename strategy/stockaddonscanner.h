#pragma once

// "执行策略选股": runs the bound add-on over every daily history file of
// data/ on a worker thread, lists the trades it reports, shows a trade's
// recent candles when its row is clicked, and sums the closed trades up when
// the scan ends. While it exists it is the application's addonScanner, the
// page the add-on host delivers reports to.

#include "core/stock.h"

#include <QDialog>
#include <QMap>
#include <QString>

class CandlestickWidget;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class StockListView;
class StockThreadTarget;

// Counters of the closed trades of a scan dialog.
struct TradeSummary
{
    int tradeCount = 0;
    int winCount = 0;
    int holdDaysSum = 0;
    double gainSum = 0;
    QMap<QString, int> buyDates;   // buy date -> closed trades bought that day

    // The summary line; empty without closed trades.
    QString text() const;
};

class StockAddonScanner final : public QDialog
{
    Q_OBJECT
public:
    explicit StockAddonScanner(QWidget* parent = nullptr);
    ~StockAddonScanner() override;

    // A reported trade (the stock carries its TradeRecord); GUI thread only.
    void addResult(const Stock& stock);

    // The worker's callback for one history file: the add-on's check of it.
    static bool scanFile(const QString& path, const QString& value, int kind);

    const TradeSummary& summary() const { return stats; }
    bool isScanning() const;

public slots:
    void onSearch();
    void onUpdateResult(int percent, const QString& code, int flag);
    void onScannFinished();
    void onClick(const QString& code, const QString& date);

private:
    void showMessage(const QString& title, const QString& text);

    CandlestickWidget* chart = nullptr;
    StockListView* listView = nullptr;
    QStackedWidget* stack = nullptr;
    QLabel* label = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* scanButton = nullptr;
    // Its settings are the add-on of the running scan, taken before the start.
    StockThreadTarget* worker = nullptr;
    // From the start of a scan until its end has been handled here; the button
    // is off meanwhile.
    bool scanning = false;
    TradeSummary stats;
};

// The bars of `bars` up to and including the last one dated no later than
// `date` ("yyyy-MM-dd" texts compare in date order).
QVector<Stock> barsUpTo(const QVector<Stock>& bars, const QString& date);
