#pragma once

// Two progress dialogs that refresh local stock data: StockDataUpdate
// re-synchronises the application's stock pool with the all-stocks list,
// StockDownLoadDlg downloads the daily history of a list of codes into
// "data/dl/", one code per tick, last code first.

#include "core/stock.h"
#include "datasource/dataloader.h"
#include "datasource/stocklistinterface.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <memory>

class QAbstractButton;
class QDialogButtonBox;
class QProgressBar;
class StockiFengInterface;

class StockDataUpdate final : public QDialog
{
    Q_OBJECT
public:
    explicit StockDataUpdate(QWidget* parent = nullptr);

public slots:
    void onClick(QAbstractButton* button);
    void onUpdate(const QVector<Stock>& stocks);
    void onOK();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    StockListInterface listSource;
    IterateDataLoader loader;
    QProgressBar* progress = nullptr;
    QDialogButtonBox* buttons = nullptr;
    int timerId = 0;
};

class StockDownLoadDlg final : public QDialog
{
    Q_OBJECT
public:
    explicit StockDownLoadDlg(const QStringList& codes, QWidget* parent = nullptr);
    ~StockDownLoadDlg() override;

    // Milliseconds between two downloads (the first waits 600); tests shorten it.
    int tickInterval = 600;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QProgressBar* progress = nullptr;
    QDialogButtonBox* buttons = nullptr;
    std::unique_ptr<StockiFengInterface> source;
    QStringList codes;
    QStringList urls;
    int total = 0;
    int timerId = 0;
};
