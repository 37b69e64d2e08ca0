#pragma once

// Two progress dialogs that refresh local stock data: StockDataUpdate
// re-synchronises the application's stock pool with the all-stocks list,
// StockDownLoadDlg downloads the daily history of a list of codes into
// data/dl/, one code per tick, last code first. Both close by themselves
// when all went well; after a failed download they stay open on their label,
// which says what failed, until the user closes them.

#include "core/stock.h"
#include "core/tickqueue.h"
#include "datasource/dataloader.h"
#include "datasource/stocklistinterface.h"
#include "widgets/pagestatus.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <memory>

class QAbstractButton;
class QDialogButtonBox;
class QLabel;
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

private slots:
    void listFailed(const QString& url, const QString& message);

private:
    StockListInterface listSource;
    IterateDataLoader loader;
    QLabel* label = nullptr;
    QString failure;
    QProgressBar* progress = nullptr;
    QDialogButtonBox* buttons = nullptr;
    TickQueue startDelay{this};
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
    // Closes after a run without failures; otherwise says what failed, the
    // bar on the share of the codes stored, and lets the user close.
    void finish();

    QLabel* label = nullptr;
    QProgressBar* progress = nullptr;
    QDialogButtonBox* buttons = nullptr;
    FailureTally failures;
    std::unique_ptr<StockiFengInterface> source;
    // The codes still to download, last first, and their requests beside them.
    QStringList codes;
    QStringList urls;
    // One step more than the codes at construction: three codes read 50, 75
    // and 100.
    int total = 0;
    TickQueue downloads{this, codes};
};
