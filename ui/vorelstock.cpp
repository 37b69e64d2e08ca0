#include "ui/vorelstock.h"

#include "analysis/stockscanwidget.h"
#include "core/vorelapplication.h"
#include "strategy/stockaddonscanner.h"
#include "strategy/stockaddonsetting.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QMoveEvent>
#include <QStackedWidget>
#include <QStatusBar>

namespace {

const char* const kVersion = "1.7.0.0";

// The K-line chart window belongs to the application object; the main window
// only shows, hides, moves and closes it.
QWidget* chartWindow()
{
    return vorelApp()->chartWindow();
}

} // namespace

VorelStock::VorelStock(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowIcon(QIcon(":logo/vorel.png"));
    setWindowTitle(QString::fromUtf8("岚蚁股票分析软件%1").arg(kVersion));
    resize(960, 640);
    createMenus();
    createPages();
    statusBar();
}

VorelStock::~VorelStock() = default;

void VorelStock::createMenus()
{
    QMenu* view = menuBar()->addMenu(tr("&视图"));
    auto* chart = new QAction(QString::fromUtf8("K线"), this);
    connect(chart, &QAction::triggered, this, &VorelStock::showCandistickWidget);
    view->addAction(chart);
    // "&设置" menu ("配置" -> visitConfigBox) joins here.
    QMenu* addons = menuBar()->addMenu(QString::fromUtf8("&插件策略"));
    addons->addAction(QString::fromUtf8("插件"), this, &VorelStock::visitAddonScanner);
    addons->addAction(QString::fromUtf8("绑定插件"), this, &VorelStock::setAddonScanner);
    // "&帮助" menu ("关于" -> visitBox) joins here.
}

void VorelStock::createPages()
{
    pageList = new QListWidget;
    pageList->setViewMode(QListView::IconMode);
    pageList->setIconSize(QSize(64, 64));
    pageList->setMovement(QListView::Static);
    pageList->setMaximumWidth(96);
    pageList->setSpacing(6);

    pageStack = new QStackedWidget;

    // Pages, in list order, join here through addPage.
    // row 0 "竞价选股": call-auction picking page.
    // row 1 "尾盘选股": end-of-day picking page.
    addPage(QStringLiteral(":qrc/listIcon/scanner.png"), QString::fromUtf8("智能点评"), new StockScanWidget);
    // row 3 "高抛低吸": hot-stock Fibonacci page.
    // row 4 "龙虎榜": dragon-tiger page.
    // row 5 "数据报表": data-report tabs.

    connect(pageList, &QListWidget::currentRowChanged, this, &VorelStock::changePage);
    pageList->setCurrentRow(0);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(pageList, 0);
    layout->addWidget(pageStack, 1);
    setCentralWidget(central);
}

void VorelStock::addPage(const QString& iconPath, const QString& text, QWidget* page)
{
    auto* item = new QListWidgetItem(QIcon(iconPath), text, pageList);
    item->setTextAlignment(Qt::AlignHCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    pageStack->addWidget(page);
}

void VorelStock::changePage(int index)
{
    // The data-report page fills its stock-list tab from the pool here when it joins.
    pageStack->setCurrentIndex(index);
}

void VorelStock::showCandistickWidget()
{
    vorelApp()->toggleCandlestickWidget();
}

void VorelStock::moveEvent(QMoveEvent* event)
{
    QWidget* chart = chartWindow();
    if (chart && chart->isVisible())
        chart->move(pos().x() + width() + 16, pos().y());
    QMainWindow::moveEvent(event);
}

void VorelStock::closeEvent(QCloseEvent* event)
{
    if (QWidget* chart = chartWindow())
        chart->close();
    QMainWindow::closeEvent(event);
}

void VorelStock::visitAddonScanner()
{
    StockAddonScanner dialog(this);
    dialog.exec();
}

void VorelStock::setAddonScanner()
{
    StockAddonSetting dialog(this);
    dialog.exec();
}
