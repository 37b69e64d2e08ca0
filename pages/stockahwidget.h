#pragma once

// The page "AH股比价": stocks listed both as A shares and as H shares with
// their prices side by side. The first search downloads the source's pages
// back to back; every row lands in the application's A/H cache, from which
// later searches are served without network traffic. Pages that fail are
// counted on the status line.

#include "datasource/dataloader.h"
#include "datasource/eastmoneyahinterface.h"
#include "widgets/pagestatus.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

class StockAHWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit StockAHWidget(QWidget* parent = nullptr);
    ~StockAHWidget() override;

    QTableWidget* table = nullptr;
    QPushButton* searchButton = nullptr;
    QLabel* statusLabel = nullptr;
    // The source is declared before the loader so that the loader, which
    // borrows it, goes first.
    EastMoneyAHStringListInterface source;
    IterateDataLoader loader;

public slots:
    void onSearch();
    void setStocks(const QVector<QStringList>& rows);

private slots:
    void downloadDone();
    void pageFailed(const QString& url, const QString& message);

private:
    void appendRow(const QStringList& row);

    SearchState search;
    FailureTally failures;
};
