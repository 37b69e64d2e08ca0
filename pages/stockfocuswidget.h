#pragma once

// The page "热门股票": stocks ranked by investor attention. The first search
// reads the ranking from the hot-stock host and keeps it in the application's
// hot-stock cache; every later search shows the cache (ordered by code)
// without fetching again. The application starts one search at start-up.

#include <QStringList>
#include <QVector>
#include <QWidget>

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

public slots:
    void onSearch();
    // Shows the rows of exactly eight texts; others are left out.
    void setStockFocus(const QVector<QStringList>& rows);

private:
    bool searching = false;
};
