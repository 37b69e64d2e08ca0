#pragma once

// The page "智能点评": after the close it walks the stock pool one stock per
// timer tick, downloads each daily history (kept under data/), runs the
// comment factory over it and lists the stocks with their comments. At the
// end its hint says how many stocks it scanned and listed, how many
// downloads failed and how many histories could not be stored.

#include "core/tickqueue.h"
#include "datasource/storedhistory.h"
#include "widgets/pagestatus.h"

#include <QDialog>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class SettingsForm;
class StockListView;

class StockScanWidget : public QWidget
{
    Q_OBJECT
public:
    explicit StockScanWidget(QWidget* parent = nullptr);
    ~StockScanWidget() override;

    // Milliseconds between two stocks; 30 unless a test sets another value.
    int tickInterval = 30;

    QPushButton* searchButton = nullptr;
    QPushButton* configButton = nullptr;
    StockListView* listView = nullptr;
    QProgressBar* progressBar = nullptr;
    QStackedWidget* stack = nullptr;
    QLabel* hintLabel = nullptr;
    // What data/none names when the page goes: the codes the service
    // answered without bars and those closing below 7.6.
    QStringList markedCodes;

    bool isScanning() const;

public slots:
    void onSearch();
    void addStock(QVector<Stock> bars);
    void onConfig();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void startScan();
    void finishScan();
    // Writes the list into output/, named by the date, and says where.
    void exportList();
    void scanNext();
    void stopForQuit();

    StockQQHistoryInterface history = storedDailySource();
    // The codes still to scan.
    QStringList codes;
    TickQueue ticks{this, codes};
    FailureTally failures;
    UnstoredHistories unstored;
    bool quitting = false;
};

// The page's settings: whether a finished scan exports its table.
class StockScannerConfig : public QDialog
{
    Q_OBJECT
public:
    explicit StockScannerConfig(QWidget* parent = nullptr);

    QCheckBox* exportBox = nullptr;

public slots:
    void onConfig();

private:
    SettingsForm* form;
};
