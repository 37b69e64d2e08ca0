#include "pages/datareporttabs.h"

#include "core/vorelapplication.h"
#include "pages/archievereport.h"
#include "pages/noticeexpress.h"
#include "pages/retradewidget.h"
#include "pages/stockahwidget.h"
#include "pages/stockfocuswidget.h"
#include "widgets/stocklistview.h"

#include <QTabWidget>

namespace {

const int kBasicStockListView = 4;

// The application keeps plain pointers to two of the pages; one that outlives
// its page must not point at a deleted widget.
template <typename Page>
void registerPage(Page* page, Page* VorelApplication::*slot)
{
    vorelApp()->*slot = page;
    QObject::connect(page, &QObject::destroyed, [page, slot] {
        if (VorelApplication* app = vorelApp()) {
            if (app->*slot == page)
                app->*slot = nullptr;
        }
    });
}

} // namespace

QTabWidget* createDataReportTabs()
{
    auto* tabs = new QTabWidget;
    tabs->addTab(new RetradeWidget, QStringLiteral("复盘股票"));
    tabs->addTab(new StockAHWidget, QStringLiteral("AH股比价"));
    tabs->addTab(new ArchieveReport, QStringLiteral("业绩报表"));

    auto* notices = new NoticeExpress;
    registerPage(notices, &VorelApplication::noticeExpress);
    tabs->addTab(notices, QStringLiteral("公司公告"));

    auto* hotStocks = new StockFocusWidget;
    registerPage(hotStocks, &VorelApplication::stockFocusWidget);
    tabs->addTab(hotStocks, QStringLiteral("热门股票"));

    tabs->addTab(createStockListView(kBasicStockListView), QStringLiteral("股票列表"));
    return tabs;
}

void fillStockListTab(QTabWidget* tabs, const QMap<QString, Stock>& pool)
{
    if (!tabs || tabs->count() == 0)
        return;
    auto* list = qobject_cast<StockListView*>(tabs->widget(tabs->count() - 1));
    if (!list || list->stocks.keys() == pool.keys())
        return;
    list->clearStocks();
    for (const Stock& stock : pool)
        list->addStock(stock);
}
