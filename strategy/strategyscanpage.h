#pragma once

// The frame shared by the strategy pages that scan stored histories (the
// Fibonacci pages and the trend-line page): a code list, an embedded K-line
// chart, a group of radio buttons choosing the set-up, "设置", "扫描" and a
// progress bar.
// "扫描" hands every history file of data/ to a worker thread that runs the
// page's per-file callback with the settings the page took at the start; the
// codes of the hits are listed, and a clicked code is rescanned on the GUI
// thread and drawn with the set-up's lines.
// Where the progress bar runs, the status line says at the end that the scan
// is finished and how many codes it found.
//
// The frame holds what the pages share: the radio buttons and their slots,
// the worker and its stop, the settings snapshot (StrategyScanPageOf), the
// per-file step of the worker (scanHistoryFile) and "设置". A page adds its
// texts, its per-file callback naming its scanner factory and what counts as
// a hit, its settings dialog and its drawing of a clicked code.

#include "analysis/stockscanner.h"
#include "analysis/stockthreadtarget.h"
#include "core/vorelapplication.h"

#include <QDialog>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class CandlestickWidget;
class ChartLine;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QRadioButton;

class StrategyScanPage : public QWidget
{
    Q_OBJECT
public:
    // Stops a running worker before the page's parts go.
    ~StrategyScanPage() override;

    // From "扫描" until the worker has finished.
    bool isScanning() const;
    // The set-up of the first checked radio button (0 when none is checked).
    int checkedType() const;

    CandlestickWidget* chart = nullptr;
    QListWidget* list = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* statusLabel = nullptr;
    QPushButton* scanButton = nullptr;
    QPushButton* configButton = nullptr;
    QVector<QRadioButton*> radios;
    StockThreadTarget* worker = nullptr;

public slots:
    void onScan();
    // Rescans a clicked code and draws it; a list item names a history only
    // when it is a code (readDataHistory).
    virtual void onClick(QListWidgetItem* item) = 0;
    void onUpdateResult(int percent, const QString& code, int flag);
    void onScannFinished();
    // Radio button n chooses set-up n - 1 for the worker (the scan itself
    // takes the checked button when it starts); a page uses as many of these
    // as it has buttons, and the others do nothing.
    void onClickRadioButton1();
    void onClickRadioButton2();
    void onClickRadioButton3();
    void onClickRadioButton4();
    void onClickRadioButton5();
    void onClickRadioButton6();
    // Shows the page's settings dialog modally.
    void onConfig();

protected:
    StrategyScanPage(const QString& groupTitle, const QStringList& radioTexts,
                     StockThreadTarget::Callback callback, QWidget* parent);

    // Takes the settings the worker will read, before it starts.
    virtual void takeScanSettings() = 0;
    // The page's settings dialog, without parent.
    virtual std::unique_ptr<QDialog> createConfigDialog() const = 0;
    // Items the list starts with when a scan begins.
    virtual void fillListHead() {}
    // The list file written when a scan ends; empty writes none.
    QString listFile;
    void setKind(int kind);

    // For onClick of a Fibonacci page: scans a clicked code's `bars` with
    // `scanner` and, where the set-up is there (0), shows the last `chartBars`
    // bars with the scanner's comments and its three lines. Without a scanner
    // or a set-up the chart stays as it is.
    template <class FibonacciScanner>
    void drawSetUp(FibonacciScanner* scanner, const QString& code, const QVector<Stock>& bars, int chartBars)
    {
        QStringList comments;
        if (scanner && scanner->scan(code, bars, &comments) == 0)
            showSetUp(chartBars, bars, comments, scanner->line1, scanner->line2, scanner->line3);
    }

private:
    QGroupBox* buildTypeGroup(const QString& title, const QStringList& radioTexts);
    void showSetUp(int chartBars, const QVector<Stock>& bars, const QStringList& comments, const ChartLine& line1,
                   const ChartLine& line2, const ChartLine& line3);

    // Hits of the running (or last) scan.
    int foundCount = 0;
};

// A scan page whose scanners take settings of type Params (built from the
// settings record by Params::fromConfig) and whose "设置" shows a dialog of
// type Config.
template <class Params, class Config>
class StrategyScanPageOf : public StrategyScanPage
{
public:
    // The settings of the running (or last) scan.
    Params scanParams;

protected:
    using StrategyScanPage::StrategyScanPage;

    // The worker gets its own copy, which its callback reads
    // (currentScanParams).
    void takeScanSettings() override
    {
        scanParams = Params::fromConfig(vorelApp()->config);
        worker->setParams(scanParams);
    }

    std::unique_ptr<QDialog> createConfigDialog() const override
    {
        return std::make_unique<Config>();
    }
};

// Says that `reader` (a per-file callback's step) ran on a thread whose worker
// holds no settings of its type: a fault of the code that started the worker,
// which stops a debug build.
void reportMissingScanParams(const char* reader);

// For a page's per-file callback: the settings the scan running on this
// thread was started with. The settings record is never read instead: the
// dialog may change it while the worker runs. A worker always has them
// (takeScanSettings); null, said by reportMissingScanParams, where it has not.
template <class Params>
const Params* currentScanParams()
{
    const Params* taken = StockThreadTarget::currentParams<Params>();
    if (!taken)
        reportMissingScanParams(Q_FUNC_INFO);
    return taken;
}

// How a page's scanners see a stored history: the bars as read, or a series
// the page makes of them, valid until the next call on the same thread.
using ScanSeries = const QVector<Stock>& (*)(QVector<Stock> bars);

// The result of `scanner` over the history file at `path`, seen through
// `series` where the page gives one; -1 (no signal) without a scanner.
int scanHistoryFileWith(const QString& path, StockScanner* scanner, ScanSeries series);

// A scan page's per-file step on the worker thread: the result of the scanner
// `createScanner` makes for set-up `kind` from the settings the scan was
// started with, over the history file at `path`; -1 (no signal) where the
// factory has no scanner of that set-up or the worker no settings.
template <class Params, class Scanner>
int scanHistoryFile(const QString& path, int kind, Scanner* (*createScanner)(int, const Params&),
                    ScanSeries series = nullptr)
{
    const Params* params = currentScanParams<Params>();
    if (!params)
        return -1;
    const std::unique_ptr<StockScanner> scanner(createScanner(kind, *params));
    return scanHistoryFileWith(path, scanner.get(), series);
}
