#include "strategy/stocknewstockfibonacciwidget.h"

#include "analysis/candlestickwidget.h"
#include "core/vorelapplication.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QSpinBox>

#include <memory>

namespace {

constexpr int kChartBars = 240;
const char* const kIndexCode = "399678";

NewStockFibonacciParams currentScanParams()
{
    if (StockThreadTarget* worker = StockThreadTarget::current()) {
        if (auto* page = qobject_cast<StockNewStockFibonacciWidget*>(worker->parent()))
            return page->scanParams;
    }
    return vorelApp() ? NewStockFibonacciParams::fromConfig(vorelApp()->config) : NewStockFibonacciParams();
}

} // namespace

bool scanNewStockFile(const QString& key, const QString&, int kind)
{
    std::unique_ptr<StockNewStockFibonacciScanner> scanner(
        createNewStockFibonacciScanner(kind, currentScanParams()));
    if (!scanner)
        return false;
    QStringList messages;
    return scanner->scan(key.right(6), readHistoryFile(key), &messages) == 0;
}

StockNewStockFibonacciWidget::StockNewStockFibonacciWidget(QWidget* parent)
    : StrategyScanPage(QString::fromUtf8("操作类型"),
                       {QString::fromUtf8("调整买入"), QString::fromUtf8("升破买入"),
                        QString::fromUtf8("反弹卖出"), QString::fromUtf8("跌破卖出")},
                       &scanNewStockFile, parent)
{
    connect(list, &QListWidget::itemClicked, this, &StockNewStockFibonacciWidget::onClick);
    connect(configButton, &QPushButton::clicked, this, &StockNewStockFibonacciWidget::onConfig);
    void (StockNewStockFibonacciWidget::*radioSlots[])() = {
        &StockNewStockFibonacciWidget::onClickRadioButton1, &StockNewStockFibonacciWidget::onClickRadioButton2,
        &StockNewStockFibonacciWidget::onClickRadioButton3, &StockNewStockFibonacciWidget::onClickRadioButton4,
    };
    for (int i = 0; i < radios.size(); ++i)
        connect(radios.at(i), &QRadioButton::clicked, this, radioSlots[i]);
}

StockNewStockFibonacciWidget::~StockNewStockFibonacciWidget()
{
    // The worker's callback reads scanParams: it must end before they go.
    worker->stop();
}

void StockNewStockFibonacciWidget::takeScanSettings()
{
    scanParams = NewStockFibonacciParams::fromConfig(vorelApp()->config);
}

void StockNewStockFibonacciWidget::fillListHead()
{
    list->insertItem(0, QString::fromLatin1(kIndexCode));
}

void StockNewStockFibonacciWidget::onClickRadioButton1() { setKind(0); }
void StockNewStockFibonacciWidget::onClickRadioButton2() { setKind(1); }
void StockNewStockFibonacciWidget::onClickRadioButton3() { setKind(2); }
void StockNewStockFibonacciWidget::onClickRadioButton4() { setKind(3); }

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
    QStringList messages;
    if (!scanner || scanner->scan(code, bars, &messages) != 0)
        return;
    chart->setComment(messages.join(QLatin1Char('\n')), false);
    chart->setData(kChartBars, bars, scanner->line1, scanner->line2, scanner->line3);
}

void StockNewStockFibonacciWidget::do399678(QString code)
{
    chart->setData(kChartBars, readDataHistory(code));
}

void StockNewStockFibonacciWidget::onConfig()
{
    StockNewStockFibonacciConfig dialog;
    dialog.exec();
}

// ---------------------------------------------------------------------------

StockNewStockFibonacciConfig::StockNewStockFibonacciConfig(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("次新股波非那切参数设置"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    deltaSpin = new QDoubleSpinBox(this);
    deltaSpin->setRange(0.5, 8.0);
    deltaSpin->setSingleStep(0.1);
    spanSpin = new QSpinBox(this);
    spanSpin->setRange(5, 25);
    maxDaysSpin = new QSpinBox(this);
    maxDaysSpin->setRange(20, 120);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("最大偏差(0.5%-8.0%)"), this), 0, 0);
    layout->addWidget(deltaSpin, 0, 1, 1, 2);
    layout->addWidget(new QLabel(QString::fromUtf8("均线周期(5-25)"), this), 1, 0);
    layout->addWidget(spanSpin, 1, 1, 1, 2);
    layout->addWidget(new QLabel(QString::fromUtf8("次新股上市范围(20-120)"), this), 2, 0);
    layout->addWidget(maxDaysSpin, 2, 1, 1, 2);
    auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
    layout->addItem(new QSpacerItem(137, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 3, 0, 1, 2);
    layout->addWidget(ok, 3, 2);
    connect(ok, &QPushButton::clicked, this, &StockNewStockFibonacciConfig::onConfig);

    const AppConfig& c = vorelApp()->config;
    deltaSpin->setValue(c.fibonacciNewStockDelta);
    spanSpin->setValue(c.fibonacciNewStockSpan);
    maxDaysSpin->setValue(c.fibonacciNewStockMaxDays);
}

void StockNewStockFibonacciConfig::onConfig()
{
    AppConfig& c = vorelApp()->config;
    c.fibonacciNewStockDelta = float(deltaSpin->value());
    c.fibonacciNewStockSpan = spanSpin->value();
    c.fibonacciNewStockMaxDays = maxDaysSpin->value();
    accept();
}
