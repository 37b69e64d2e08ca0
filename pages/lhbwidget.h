#pragma once

// The page "龙虎榜": the dragon-tiger list of a trade date, and the buying and
// selling seats of the stock the user clicks.

#include "core/records.h"
#include "core/stock.h"
#include "datasource/dataloader.h"
#include "datasource/lhbsources.h"

#include <QMap>
#include <QString>
#include <QVector>
#include <QWidget>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class StockListView;

class LHBWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit LHBWidget(QWidget* parent = nullptr);
    ~LHBWidget() override;

    QDateEdit* dateEdit = nullptr;
    QPushButton* searchButton = nullptr;
    StockListView* listView = nullptr;
    QTableWidget* detailTable = nullptr;
    // Says why the list or the seats could not be shown; the list keeps what
    // it showed meanwhile.
    QLabel* statusLabel = nullptr;
    IterateDataLoader loader;
    SinaLHBStockListInterface source;
    QVector<Stock> stocks;
    // Seats already fetched, by "code,date": a stock listed on several dates
    // has different seats on each.
    QMap<QString, QVector<LHBUnit> > seatCache;

public slots:
    void onSearch();
    void updateStockList(const QVector<Stock>& stocks);
    void onClickCell(int r, int c);

private slots:
    void listFailed(const QString& url, const QString& message);

private:
    // Whether the list request in flight belongs to the latest search.
    bool isCurrentSearch() const;

    // Every list request carries the number of the search it belongs to, so
    // that a list still arriving for an earlier search is dropped.
    int searchCount = 0;
    // The seat request runs a local event loop; a click meanwhile is ignored
    // rather than started on top of it.
    bool fetchingSeats = false;
};
