#include "strategy/strategyscanpage.h"

#include "analysis/candlestickwidget.h"
#include "analysis/historyscan.h"
#include "core/exportutils.h"
#include "datasource/storedhistory.h"
#include "widgets/pagestatus.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QStyle>

#include <algorithm>
#include <iterator>

namespace {

// Wide enough for a six-digit code beside the scroll bar of a long list, in
// whatever font the desktop gives; never narrower than the original 72 px.
int codeListWidth(const QListWidget* list)
{
    const QStyle* style = list->style();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int needed = list->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 2 * textMargin
                       + 2 * list->frameWidth() + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) + 2;
    return std::max(72, needed);
}

} // namespace

StrategyScanPage::StrategyScanPage(const QString& groupTitle, const QStringList& radioTexts,
                                   StockThreadTarget::Callback callback, QWidget* parent)
    : QWidget(parent)
{
    chart = new CandlestickWidget(true, this);
    chart->strategyPage = true;
    list = new QListWidget(this);
    list->setFixedWidth(codeListWidth(list));
    progress = new QProgressBar(this);
    progress->setValue(0);
    progress->hide();
    configButton = new QPushButton(QStringLiteral("设置"), this);
    configButton->setFixedWidth(72);
    scanButton = new QPushButton(QStringLiteral("扫描"), this);
    scanButton->setFixedWidth(72);

    auto* layout = new QGridLayout(this);
    layout->addWidget(list, 0, 0, 3, 1);
    layout->addWidget(chart, 0, 1, 1, 3);
    layout->addWidget(buildTypeGroup(groupTitle, radioTexts), 1, 1, 1, 3);
    layout->addWidget(progress, 2, 1);
    // The status takes the progress bar's cell while no scan runs.
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 2, 1);
    layout->addWidget(configButton, 2, 2);
    layout->addWidget(scanButton, 2, 3);

    worker = new StockThreadTarget(callback, this);
    worker->setKind(0);
    connect(list, &QListWidget::itemClicked, this, &StrategyScanPage::onClick);
    connect(configButton, &QPushButton::clicked, this, &StrategyScanPage::onConfig);
    connect(scanButton, &QPushButton::clicked, this, &StrategyScanPage::onScan);
    connect(worker, &StockThreadTarget::updateStock, this, &StrategyScanPage::onUpdateResult,
            Qt::QueuedConnection);
    connect(worker, &QThread::finished, this, &StrategyScanPage::onScannFinished, Qt::QueuedConnection);
}

StrategyScanPage::~StrategyScanPage()
{
    worker->stop();
}

QGroupBox* StrategyScanPage::buildTypeGroup(const QString& title, const QStringList& radioTexts)
{
    auto* group = new QGroupBox(title, this);
    group->setFixedHeight(64);
    auto* row = new QHBoxLayout(group);
    // The buttons in order, each with the slot of its number.
    void (StrategyScanPage::*const radioSlots[])() = {
        &StrategyScanPage::onClickRadioButton1, &StrategyScanPage::onClickRadioButton2,
        &StrategyScanPage::onClickRadioButton3, &StrategyScanPage::onClickRadioButton4,
        &StrategyScanPage::onClickRadioButton5, &StrategyScanPage::onClickRadioButton6,
    };
    for (const QString& text : radioTexts) {
        auto* radio = new QRadioButton(text, group);
        row->addWidget(radio);
        if (size_t(radios.size()) < std::size(radioSlots))
            connect(radio, &QRadioButton::clicked, this, radioSlots[radios.size()]);
        radios.append(radio);
    }
    if (!radios.isEmpty())
        radios.first()->setChecked(true);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    return group;
}

bool StrategyScanPage::isScanning() const
{
    // isHidden, not isVisible: a page that is not on screen scans all the same.
    return !progress->isHidden() || worker->isRunning();
}

void StrategyScanPage::showSetUp(int chartBars, const QVector<Stock>& bars, const QStringList& comments,
                                 const ChartLine& line1, const ChartLine& line2, const ChartLine& line3)
{
    chart->setComment(comments.join(QLatin1Char('\n')), false);
    chart->setData(chartBars, bars, line1, line2, line3);
}

int StrategyScanPage::checkedType() const
{
    for (int i = 0; i < radios.size(); ++i) {
        if (radios.at(i)->isChecked())
            return i;
    }
    return 0;
}

void StrategyScanPage::setKind(int kind)
{
    if (kind < radios.size())
        worker->setKind(kind);
}

void StrategyScanPage::onClickRadioButton1() { setKind(0); }
void StrategyScanPage::onClickRadioButton2() { setKind(1); }
void StrategyScanPage::onClickRadioButton3() { setKind(2); }
void StrategyScanPage::onClickRadioButton4() { setKind(3); }
void StrategyScanPage::onClickRadioButton5() { setKind(4); }
void StrategyScanPage::onClickRadioButton6() { setKind(5); }

void StrategyScanPage::onConfig()
{
    createConfigDialog()->exec();
}

void StrategyScanPage::onScan()
{
    if (isScanning())
        return;
    const HistoryScanFiles files;
    // An empty folder is scanned all the same: the scan then ends with no
    // hits and an empty list file.
    if (!files.hasFolder()) {
        showStatus(statusLabel, files.nothingToScan());
        return;
    }
    list->clear();
    fillListHead();
    foundCount = 0;
    showStatus(statusLabel, QString());
    progress->setValue(0);
    progress->show();
    takeScanSettings();
    // A button clicked during the last scan could not reach the running worker.
    worker->setKind(checkedType());
    worker->setStocks(files.workMap());
    worker->start();
}

void StrategyScanPage::onUpdateResult(int percent, const QString& code, int)
{
    progress->setValue(percent);
    if (!code.isEmpty()) {
        list->addItem(historyCode(code));
        ++foundCount;
    }
}

void StrategyScanPage::onScannFinished()
{
    progress->hide();
    showStatus(statusLabel, QStringLiteral("扫描完毕,找到%1只股票").arg(foundCount));
    if (!listFile.isEmpty())
        exportListWidget(listFile, list);
}

void reportMissingScanParams(const char* reader)
{
    // Logged before the assertion, so that the log of a debug build has it too.
    qCritical("%s: the scan worker on this thread was started without its settings, it scans nothing", reader);
    Q_ASSERT_X(false, "currentScanParams", "the page did not give its worker the scan's settings");
}

int scanHistoryFileWith(const QString& path, StockScanner* scanner, ScanSeries series)
{
    if (!scanner)
        return -1;
    QVector<Stock> bars = readHistoryFile(path);
    QStringList messages;
    const QString code = historyCode(path);
    // A series is made of the bars given up, not of a copy of them.
    return series ? scanner->scan(code, series(std::move(bars)), &messages) : scanner->scan(code, bars, &messages);
}
