#pragma once

// The page "热门股票": stocks ranked by investor attention. The first search
// reads the ranking from the hot-stock host and keeps it in the application's
// hot-stock cache; every later search shows the cache (ordered by code)
// without fetching again. The application starts one search at start-up. A
// failed fetch keeps the rows shown and the cache, and says why.

#include "widgets/latestrequest.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

class StockFocusWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit StockFocusWidget(QWidget* parent = nullptr);
    ~StockFocusWidget() override;

    QTableWidget* table = nullptr;
    QPushButton* searchButton = nullptr;
    QLabel* statusLabel = nullptr;

public slots:
    void onSearch();
    // Shows the rows of exactly eight texts; others are left out.
    void setStockFocus(const QVector<QStringList>& rows);

private:
    // The ranking from the host; false with `failure` set when there is none.
    bool fetchRanking(QVector<QStringList>& rows, QString& failure);

    // The ranking request runs a local event loop while the page takes clicks.
    LatestRequest rankingRequest;
};
