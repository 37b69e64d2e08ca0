#include "strategy/stocktrendwidget.h"

#include "analysis/candlestickwidget.h"
#include "core/seriesutils.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "widgets/settingsform.h"

#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

constexpr int kChartBars = 240;

// One relative series per worker thread, refilled for every file: building a
// new one per file costs more than reading the file. A scanner reads it only
// during its scan of that file.
const QVector<Stock>& relativeSeriesOfThread(QVector<Stock> bars)
{
    thread_local QVector<Stock> series;
    relativeSeries(std::move(bars), &series);
    return series;
}

} // namespace

bool scanTrendFile(const QString& key, const QString&, int kind)
{
    return scanHistoryFile(key, kind, &createTrendScanner, &relativeSeriesOfThread) == 0;
}

StockTrendWidget::StockTrendWidget(QWidget* parent)
    : StrategyScanPageOf(QStringLiteral("画线类型"),
                         {QStringLiteral("水平支撑线"), QStringLiteral("水平压力线"),
                          QStringLiteral("射线"), QStringLiteral("压力线")},
                         &scanTrendFile, parent)
{
}

void StockTrendWidget::onClick(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString code = item->text();
    const QVector<Stock> series = relativeSeries(readDataHistory(code));
    // The chart always shows the support line, whichever type was scanned.
    std::unique_ptr<StockTrendScanner> scanner(
        createTrendScanner(0, TrendParams::fromConfig(vorelApp()->config)));
    QStringList messages;
    if (scanner->scan(code, series, &messages) != 0)
        return;
    ChartLine line;
    line.pen = QPen(QColor(240, 240, 250));
    line.scatter = QCPScatterStyle(QCPScatterStyle::ssDisc, 3);
    for (const TrendPoint& p : scanner->points)
        line.points.insert(p.first, p.second);
    chart->setTitle(code);
    chart->setData(kChartBars, series, line);
}

// ---------------------------------------------------------------------------

StockTrendConfig::StockTrendConfig(QWidget* parent)
    : QDialog(parent), form(new SettingsForm(this))
{
    setWindowTitle(QStringLiteral("智能画线参数设置"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    minIntervalSpin = form->addSpin(QStringLiteral("最小间隔日[3,10]"), {3, 10}, &AppConfig::trendMinIntervalDay);
    minSpanSpin = form->addSpin(QStringLiteral("最小跨度日[20,240]"), {20, 240}, &AppConfig::trendMinSpan);
    deltaSpin = form->addDoubleSpin(QStringLiteral("最大误差[0.01-3.00]%"), {0.01, 3.0, 0.01}, &AppConfig::trendDelta);
    kSpin = form->addDoubleSpin(QStringLiteral("画线斜率[0.1-2.0]"), {0.1, 2.0, 0.1}, &AppConfig::trendK);
    nearDaySpin = form->addSpin(QStringLiteral("最近日[1,6]"), {1, 6}, &AppConfig::trendNearDay);
    minPointsSpin = form->addSpin(QStringLiteral("最小附着点(3,5)"), {3, 5}, &AppConfig::trendMinPoints);
    typeCombo = form->addCombo(QStringLiteral("选点模式"),
                               {QStringLiteral("收盘价"), QStringLiteral("开盘价"), QStringLiteral("开收混合"),
                                QStringLiteral("开收平均"), QStringLiteral("极点价")},
                               &AppConfig::trendType, TrendParams::averageType);
    form->load();

    auto* layout = new QFormLayout(this);
    form->addToForm(layout);
    auto* ok = new QPushButton(QStringLiteral("设置"), this);
    layout->addRow(ok);
    connect(ok, &QPushButton::clicked, this, &StockTrendConfig::onConfig);
}

void StockTrendConfig::onConfig()
{
    form->store();
    accept();
}
