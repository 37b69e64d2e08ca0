#include "app/vorelstock.h"

#include "analysis/stockscanwidget.h"
#include "app/vorelaboutdlg.h"
#include "app/vorelstockconfigdialog.h"
#include "core/vorelapplication.h"
#include "pages/datareporttabs.h"
#include "pages/lhbwidget.h"
#include "strategy/stockaddonscanner.h"
#include "strategy/stockaddonsetting.h"
#include "strategy/stockbidwidget.h"
#include "strategy/stockhotstockfibonacciwidget.h"
#include "strategy/stocktailwidget.h"
#include "widgets/windowplacement.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QMoveEvent>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>

namespace {

const char* const kVersion = "1.7.0.0";
// The page list's width where the captions fit in it.
const int kPageListWidth = 96;
// Between the main window and the K-line window beside it.
const int kChartGap = 16;

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
    setWindowTitle(QStringLiteral("岚蚁股票分析软件%1").arg(kVersion));
    resize(960, 640);
    createMenus();
    createPages();
    statusBar();
}

VorelStock::~VorelStock() = default;

void VorelStock::createMenus()
{
    // Entries belong to the window, not to their menus.
    const auto entry = [this](QMenu* menu, const char* text, void (VorelStock::*slot)()) {
        auto* action = new QAction(QString::fromUtf8(text), this);
        connect(action, &QAction::triggered, this, slot);
        menu->addAction(action);
    };
    entry(menuBar()->addMenu(tr("&视图")), "K线", &VorelStock::showCandistickWidget);
    entry(menuBar()->addMenu(tr("&设置")), "配置", &VorelStock::visitConfigBox);
    QMenu* addons = menuBar()->addMenu(tr("&插件策略"));
    entry(addons, "插件", &VorelStock::visitAddonScanner);
    entry(addons, "绑定插件", &VorelStock::setAddonScanner);
    entry(menuBar()->addMenu(tr("&帮助")), "关于", &VorelStock::visitBox);
}

void VorelStock::createPages()
{
    pageList = new QListWidget;
    pageList->setViewMode(QListView::IconMode);
    pageList->setIconSize(QSize(64, 64));
    pageList->setMovement(QListView::Static);
    pageList->setSpacing(6);
    // The icons fit the narrow list; a horizontal bar would only hide the last one.
    pageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    pageStack = new QStackedWidget;

    // Pages, in list order, join here through addPage.
    addPage(QStringLiteral(":qrc/listIcon/bid.png"), QStringLiteral("竞价选股"), new StockBidWidget);
    addPage(QStringLiteral(":qrc/listIcon/ahk.png"), QStringLiteral("尾盘选股"), new StockTailWidget);
    addPage(QStringLiteral(":qrc/listIcon/scanner.png"), QStringLiteral("智能点评"), new StockScanWidget);
    addPage(QStringLiteral(":qrc/listIcon/sun.png"), QStringLiteral("高抛低吸"), new StockHotStockFibonacciWidget);
    addPage(QStringLiteral(":qrc/listIcon/stock_task_recurring.png"), QStringLiteral("龙虎榜"), new LHBWidget);
    addPage(QStringLiteral(":qrc/listIcon/list.png"), QStringLiteral("数据报表"), createDataReportTabs());
    fitPageList();

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

// The list is sized from its items as the desktop font draws them: one
// column, every caption whole, all pages shown without a scroll bar (the
// window grows taller where 640 pixels cannot hold them).
void VorelStock::fitPageList()
{
    const int spacing = pageList->spacing();
    int widest = 0;
    int height = spacing;
    for (int row = 0; row < pageList->count(); ++row) {
        const QSize item = pageList->sizeHintForIndex(pageList->model()->index(row, 0));
        widest = qMax(widest, item.width());
        height += item.height() + spacing;
    }
    const int frame = 2 * pageList->frameWidth();
    pageList->setMaximumWidth(qMax(kPageListWidth, widest + 2 * spacing + frame));
    pageList->setMinimumWidth(widest + 2 * spacing + frame);
    pageList->setMinimumHeight(height + frame);
}

void VorelStock::changePage(int index)
{
    // The data-report page is the last one; its stock list shows the pool.
    if (index == pageStack->count() - 1)
        fillStockListTab(qobject_cast<QTabWidget*>(pageStack->widget(index)), vorelApp()->stockPool);
    pageStack->setCurrentIndex(index);
}

void VorelStock::showCandistickWidget()
{
    // Placed before it shows, so that it comes up beside this window.
    QWidget* chart = chartWindow();
    if (chart && !chart->isVisible())
        placeWindowBeside(chart, this, kChartGap);
    vorelApp()->toggleCandlestickWidget();
}

void VorelStock::showEvent(QShowEvent* event)
{
    // The pages' contents may ask for more than a small screen has.
    if (!event->spontaneous())
        keepWindowOnScreen(this);
    QMainWindow::showEvent(event);
}

void VorelStock::moveEvent(QMoveEvent* event)
{
    // Right of this window, or where the screen has room for it.
    QWidget* chart = chartWindow();
    if (chart && chart->isVisible())
        placeWindowBeside(chart, this, kChartGap);
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

void VorelStock::visitBox()
{
    VorelAboutDlg dialog(this);
    dialog.exec();
}

void VorelStock::visitConfigBox()
{
    VorelStockConfigDialog dialog(this);
    dialog.exec();
}
