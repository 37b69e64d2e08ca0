#pragma once

// The back-test pages: one tab per checker runs it over the daily history of
// every stock in data/, one stock per timer event on the GUI thread, lists
// every signal day with the next days' prices and writes the table to the
// checker's CSV report. The worker thread loads histories for a receiver that
// wants them delivered by signal instead.

#include "core/stock.h"
#include "core/tickqueue.h"

#include <QMap>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVector>
#include <QWidget>

class QProgressBar;
class QPushButton;
class StockQuantChecker;

// The signal days of one back-test run.
class StockQuantListWidget final : public QTableWidget
{
    Q_OBJECT
public:
    // `days` following days are evaluated: 3, or 4 for any other value.
    explicit StockQuantListWidget(int days, QWidget* parent = nullptr);

    int days() const { return followingDays; }
    // Empties the contents and leaves no rows; the header stays.
    void clearRows();

public slots:
    // Adds the row of the signal at bar `pos`; `flag` is the checker's result,
    // `type` its type id (which decides the next-day limit and the parameter text).
    void addStocks(const QVector<Stock>& stocks, int pos, int flag, int type);

private:
    void setNumber(int row, int column, double value);

    int followingDays = 4;
};

// One back-test tab: the table, "设置" and "扫描", and a progress bar while running.
class StockQuantCheckerWidget final : public QWidget
{
    Q_OBJECT
public:
    // The checker is not owned.
    explicit StockQuantCheckerWidget(StockQuantChecker* checker, QWidget* parent = nullptr);

    StockQuantListWidget* table() const { return list; }
    bool isRunning() const;

public slots:
    void onSearch();
    void onConfig();
    // Tests every day of a series delivered by StockQuantThreadTarget.
    void onUpdateStocks(const QString& code, const QVector<Stock>& stocks, int pos, int percent);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // The history files of `paths` the checker tests: new stocks only for
    // the new-stock checkers.
    QStringList candidateFiles(const QStringList& paths) const;
    void testStock(const QString& code, const QVector<Stock>& bars, int percent);
    void finishRun();

    StockQuantListWidget* list = nullptr;
    QProgressBar* progress = nullptr;
    StockQuantChecker* checker = nullptr;
    // The history files still to test, last first.
    QStringList queue;
    TickQueue ticks{this, queue};
    QString lastCode;
};

// A tab per checker.
class StockQuantFrameWork final : public QTabWidget
{
    Q_OBJECT
public:
    // One tab for every checker id that exists.
    explicit StockQuantFrameWork(QWidget* parent = nullptr);

    // Adds a tab for `checker` under its name; the tab takes ownership of it.
    void addChecker(StockQuantChecker* checker);
};

// Loads every history file of its work map on its own thread and hands each
// series over by (queued) signal. The map is replaced only while idle; the
// thread is never destroyed while it runs.
class StockQuantThreadTarget final : public QThread
{
    Q_OBJECT
public:
    explicit StockQuantThreadTarget(QObject* parent = nullptr);
    ~StockQuantThreadTarget() override;

    // Key (a code or any key) -> file path; ignored while the thread runs.
    void setStocks(const QMap<QString, QString>& stocks);

signals:
    void updateStocks(const QString& code, const QVector<Stock>& stocks, int pos, int percent);

protected:
    void run() override;

private:
    QMap<QString, QString> work;
    int counter = 0;
};
