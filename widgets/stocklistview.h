#pragma once

// Every table of stocks in the program: a read-only, sortable table that keeps
// the records it shows, keyed by code, and offers a right-click menu for the
// company profile, the K-line chart and the top shareholders of a row's stock.
// The subclasses differ only in their columns and in how one Stock becomes one
// row; pages pick theirs through createStockListView.

#include "core/stock.h"
#include "widgets/latestrequest.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QVector>

class QMenu;
class TradeRecord;

// A cell that sorts by its text read as a number: a text that is no number
// counts as 0, and cells of equal value go by their texts, so that a column of
// words still sorts by text. A percentage ("-1.20%") reads as its number. The
// cell under a cell widget holds no text of its own but the text the widget
// shows, under `SortTextRole` (see setSortedCellWidget).
class OrderTableWidgetItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    static constexpr int SortTextRole = Qt::UserRole + 1;
    bool operator<(const QTableWidgetItem& other) const override;
};

// Shows `widget` in the cell (row, column) of `table` over a cell that sorts
// by `shownText`, the value the widget shows: a column of widgets sorts like
// one of numbers or texts. The table takes the widget.
void setSortedCellWidget(QTableWidget* table, int row, int column, QWidget* widget, const QString& shownText);

class StockListView : public QTableWidget
{
    Q_OBJECT
public:
    explicit StockListView(QWidget* parent = nullptr);
    ~StockListView() override;

    void setMenuEnabled(bool on);
    void clearStocks();
    // The row selected now (what an answer on its way must still belong
    // to); -1 when none is.
    int selectedRow() const;

    QMap<QString, Stock> stocks;
    int row = -1;
    int column = -1;
    QMenu* menu = nullptr;
    bool menuEnabled = true;

signals:
    void senderData(QString code, QString date);

public slots:
    void addStock(Stock stock);
    void addStocks(QVector<Stock> stocks);
    void onClick(int r, int c);
    void showStockHolderView();
    void showKChart();
    void showMenu(QPoint point);
    void showDesc();

protected:
    virtual void onRowClicked(int row, int column);
    virtual void appendRow(const Stock& stock);

    // Helpers for the row fillers: sorting is held off while a row is
    // filled, so every cell lands in the row of the stock being appended.
    int beginRow();
    void endRow();
    void setCell(int row, int column, QTableWidgetItem* item, bool centred);

    // The code of the row the context menu acts on; empty when that row has
    // no code cell.
    QString codeAtRow(int row, bool allowSecondColumn) const;

private:
    // Reads or fetches the profile of `code` and shows its page (简介 when
    // `description`, else 股东) while the request is still the latest one
    // and its stock's row the one selected: a request during another's wait
    // takes over, and no window opens over another stock.
    void openProfile(const QString& code, bool description);
    // "600000 浦发银行": the code and the name the view's record (or the
    // application's pool) gives it.
    QString stockLabel(const QString& code) const;
    // The profile window of `stock` with `html`, or with what failed when
    // `failure` (the download's reason, or answerFailure's for a text that
    // does not read) is set.
    void showProfile(const QString& stock, const QString& html, const QString& failure);

    bool sortingWasEnabled = false;
    // The profile request runs a local event loop while the view takes input.
    LatestRequest profileRequests;
};

// Call-auction picks: every cell numeric, rising red, falling green.
class BidStockListView final : public StockListView
{
    Q_OBJECT
public:
    explicit BidStockListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// Dragon-tiger list entries.
class LHBStockListView final : public StockListView
{
    Q_OBJECT
public:
    explicit LHBStockListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// Dragon-tiger comparison; no page creates it.
class LHBPKStockListView final : public StockListView
{
    Q_OBJECT
public:
    explicit LHBPKStockListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// End-of-day quotes.
class OCHLBasicStockListView final : public StockListView
{
    Q_OBJECT
public:
    explicit OCHLBasicStockListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// The plain stock list: code, name, industry, area, shares, listing date.
class BasicStockListView final : public StockListView
{
    Q_OBJECT
public:
    explicit BasicStockListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// Smart comments: one row per stock with comments in two categories or more.
class StockScannerListView final : public StockListView
{
    Q_OBJECT
public:
    explicit StockScannerListView(QWidget* parent = nullptr);
protected:
    void appendRow(const Stock& stock) override;
};

// Trades reported by a strategy. The view owns the TradeRecord of every
// stock it was given and deletes each one once.
class StockListViewStrategy final : public StockListView
{
    Q_OBJECT
public:
    explicit StockListViewStrategy(QWidget* parent = nullptr);
    ~StockListViewStrategy() override;
protected:
    void onRowClicked(int row, int column) override;
    void appendRow(const Stock& stock) override;
private:
    QSet<TradeRecord*> ownedTrades;
};

// A new view of `type` 0 to 6 (BidStockListView, LHBStockListView,
// LHBPKStockListView, OCHLBasicStockListView, BasicStockListView,
// StockScannerListView, StockListViewStrategy); null for any other number.
// The caller owns it.
StockListView* createStockListView(int type, QWidget* parent = nullptr);
