#pragma once

// The page "复盘股票": suspended stocks that resume trading today or later,
// with the suspension date, the resumption date and the reason. The list
// shown stays until a new one arrives; a failed download says why.

#include "core/records.h"
#include "datasource/dataloader.h"
#include "datasource/eastmoneynotice.h"
#include "widgets/pagestatus.h"

#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

class RetradeWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit RetradeWidget(QWidget* parent = nullptr);
    ~RetradeWidget() override;

    QTableWidget* table = nullptr;
    QPushButton* searchButton = nullptr;
    QLabel* statusLabel = nullptr;
    // The source is declared before the loader that borrows it.
    EastmoneyRecoveryTransactionInterface source;
    IterateDataLoader loader;

public slots:
    void onSearch();
    void onUpdateStockList(const QVector<Data>& list);

private slots:
    void downloadDone();
    void downloadFailed(const QString& url, const QString& message);

private:
    void appendRow(const Data& record);

    // The list's first answer replaces the rows shown.
    SearchState search;
};
