#pragma once

// The frame shared by the strategy pages that scan stored histories (the
// Fibonacci pages and the trend-line page): a code list, an embedded K-line
// chart, a group of radio buttons choosing the set-up, "设置", "扫描" and a
// progress bar.
// "扫描" hands every history file of data/ to a worker thread that runs the
// page's per-file callback; the codes of the hits are listed, and a clicked
// code is rescanned on the GUI thread and drawn with the set-up's lines.
// Where the progress bar runs, the status line says at the end that the scan
// is finished and how many codes it found.

#include "analysis/stockthreadtarget.h"
#include "core/vorelapplication.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

class CandlestickWidget;
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
    void onUpdateResult(int percent, const QString& code, int flag);
    void onScannFinished();

protected:
    StrategyScanPage(const QString& groupTitle, const QStringList& radioTexts,
                     StockThreadTarget::Callback callback, QWidget* parent);

    // Takes the settings the worker will read, before it starts, and hands
    // the worker its copy (StockThreadTarget::setParams).
    virtual void takeScanSettings() = 0;
    // Items the list starts with when a scan begins.
    virtual void fillListHead() {}
    // The list file written when a scan ends; empty writes none.
    QString listFile;
    void setKind(int kind);

private:
    QGroupBox* buildTypeGroup(const QString& title, const QStringList& radioTexts);

    // Hits of the running (or last) scan.
    int foundCount = 0;
};

// For a page's per-file callback: the settings the scan running on this
// thread was started with; outside a scan those of the settings record (the
// defaults without an application object).
template <class Params>
Params currentScanParams()
{
    if (const Params* taken = StockThreadTarget::currentParams<Params>())
        return *taken;
    return vorelApp() ? Params::fromConfig(vorelApp()->config) : Params();
}
