#include "strategy/stockhotstockfibonacciwidget.h"

#include "analysis/candlestickwidget.h"
#include "core/datafolders.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "widgets/settingsform.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

constexpr int kChartBars = 60;

} // namespace

bool scanHotStockFile(const QString& key, const QString&, int kind)
{
    return scanHistoryFile(key, kind, &createFibonacciScanner) != -1;
}

StockHotStockFibonacciWidget::StockHotStockFibonacciWidget(QWidget* parent)
    : StrategyScanPageOf(QStringLiteral("操作类型"),
                         {QStringLiteral("上升趋势调整买入"), QStringLiteral("上升趋势升破买入"),
                          QStringLiteral("下降趋势反弹卖出"), QStringLiteral("下降跌破卖出"),
                          QStringLiteral("下降趋势反转买入"), QStringLiteral("上涨趋势反转卖出")},
                         &scanHotStockFile, parent)
{
    listFile = QString::fromLatin1(kListFile);
}

void StockHotStockFibonacciWidget::onClick(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString code = item->text();
    const QVector<Stock> bars = readDataHistory(code);
    std::unique_ptr<StockHotStockFibonacciScanner> scanner(
        createFibonacciScanner(checkedType(), HotStockFibonacciParams::fromConfig(vorelApp()->config)));
    drawSetUp(scanner.get(), code, bars, kChartBars);
}

// ---------------------------------------------------------------------------

StockHotStockFibonacciConfig::StockHotStockFibonacciConfig(QWidget* parent)
    : QDialog(parent), form(new SettingsForm(this))
{
    setWindowTitle(QStringLiteral("热点股票波非那切参数设置"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));

    deltaSpin = form->addDoubleSpin(QStringLiteral("最大偏差[0.5%-8.0%]"), {0.5, 8.0, 0.1},
                                    &AppConfig::fibonacciHotStockDelta);
    spanSpin = form->addSpin(QStringLiteral("均线周期[5-21]"), {5, 21}, &AppConfig::fibonacciHotStockSpan);
    volRatioSpin = form->addDoubleSpin(QStringLiteral("放量倍数[2.0-6.0]"), {2.0, 6.0},
                                       &AppConfig::fibonacciHotStockVolRatio);
    // The label promises up to 24 days; stored settings of up to 40 stay editable.
    daysSpin = form->addSpin(QStringLiteral("放量天数[5-24]"), {5, 40}, &AppConfig::fibonacciHotStockDays);
    fallDaysSpin = form->addSpin(QStringLiteral("最大回落天数[3-21]"), {3, 21},
                                 &AppConfig::fibonacciHotStockMaxFallDays);
    minSwingSpin = form->addSpin(QStringLiteral("最小振幅[>=8%]"), {8, 100}, &AppConfig::fibonacciHotStockMinSwing);
    hotCheck = form->addCheck(QStringLiteral("启动热度分析"), &AppConfig::fibonacciHotStock);

    auto* layout = new QGridLayout(this);
    form->addToGrid(layout, 2, SettingsForm::CheckText::InLabelColumn);
    QPushButton* ok = form->addButtonRow(layout, QStringLiteral("确定"), 2);
    connect(ok, &QPushButton::clicked, this, &StockHotStockFibonacciConfig::onConfig);

    loadSettings();
}

void StockHotStockFibonacciConfig::loadSettings()
{
    form->load();
}

void StockHotStockFibonacciConfig::onConfig()
{
    form->store();
    accept();
}
