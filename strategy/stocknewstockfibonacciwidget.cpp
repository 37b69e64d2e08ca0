#include "strategy/stocknewstockfibonacciwidget.h"

#include "analysis/candlestickwidget.h"
#include "core/vorelapplication.h"
#include "datasource/storedhistory.h"
#include "widgets/settingsform.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

constexpr int kChartBars = 240;

} // namespace

bool scanNewStockFile(const QString& key, const QString&, int kind)
{
    return scanHistoryFile(key, kind, &createNewStockFibonacciScanner) == 0;
}

StockNewStockFibonacciWidget::StockNewStockFibonacciWidget(QWidget* parent)
    : StrategyScanPageOf(QStringLiteral("操作类型"),
                         {QStringLiteral("调整买入"), QStringLiteral("升破买入"),
                          QStringLiteral("反弹卖出"), QStringLiteral("跌破卖出")},
                         &scanNewStockFile, parent)
{
}

void StockNewStockFibonacciWidget::fillListHead()
{
    list->insertItem(0, QString::fromLatin1(kIndexCode));
}

void StockNewStockFibonacciWidget::onClick(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString code = item->text();
    if (code == QLatin1String(kIndexCode)) {
        do399678(code);
        return;
    }
    const QVector<Stock> bars = readDataHistory(code);
    std::unique_ptr<StockNewStockFibonacciScanner> scanner(createNewStockFibonacciScanner(
        checkedType(), NewStockFibonacciParams::fromConfig(vorelApp()->config)));
    drawSetUp(scanner.get(), code, bars, kChartBars);
}

void StockNewStockFibonacciWidget::do399678(QString code)
{
    chart->setData(kChartBars, readDataHistory(code));
}

// ---------------------------------------------------------------------------

StockNewStockFibonacciConfig::StockNewStockFibonacciConfig(QWidget* parent)
    : QDialog(parent), form(new SettingsForm(this))
{
    setWindowTitle(QStringLiteral("次新股波非那切参数设置"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    deltaSpin = form->addDoubleSpin(QStringLiteral("最大偏差(0.5%-8.0%)"), {0.5, 8.0, 0.1},
                                    &AppConfig::fibonacciNewStockDelta);
    spanSpin = form->addSpin(QStringLiteral("均线周期(5-25)"), {5, 25}, &AppConfig::fibonacciNewStockSpan);
    maxDaysSpin = form->addSpin(QStringLiteral("次新股上市范围(20-120)"), {20, 120},
                                &AppConfig::fibonacciNewStockMaxDays);

    auto* layout = new QGridLayout(this);
    form->addToGrid(layout, 2, SettingsForm::CheckText::InLabelColumn);
    QPushButton* ok = form->addButtonRow(layout, QStringLiteral("确定"), 2);
    connect(ok, &QPushButton::clicked, this, &StockNewStockFibonacciConfig::onConfig);
    form->load();
}

void StockNewStockFibonacciConfig::onConfig()
{
    form->store();
    accept();
}
