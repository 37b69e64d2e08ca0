#pragma once

// The page "龙虎榜": the dragon-tiger list of a trade date, and the buying and
// selling seats of the stock the user clicks.

#include "core/records.h"
#include "core/stock.h"
#include "datasource/dataloader.h"
#include "datasource/lhbsources.h"
#include "widgets/latestrequest.h"

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
    // Above the seats: whose they are (code, name and date), or that they are
    // on their way; nothing names a stock while the table holds no one's.
    QLabel* seatLabel = nullptr;
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
    // "code,date" of a row of the list, the key of its seats; empty for a
    // row without a code.
    QString seatKeyOfRow(int r) const;
    // The key of the row selected now; empty when none is.
    QString selectedSeatKey() const;
    // Fetches the seats of the row `key` names into the cache; true when
    // they may be shown: the answer came, and still belongs to the selected
    // row. A failure of that row is said, naming it.
    bool fetchSeats(const QString& key, const QString& subject);
    // The table and the label above it: the seats of `subject`, or none.
    void showSeatsOf(const QString& subject, const QVector<LHBUnit>& units);
    void showNoSeats();

    // Every list request carries the number of the search it belongs to, so
    // that a list still arriving for an earlier search is dropped.
    int searchCount = 0;
    // The seat request runs a local event loop: the page takes clicks and
    // new lists while it waits, and shows the seats of the latest click only.
    LatestRequest seatRequests;
};
