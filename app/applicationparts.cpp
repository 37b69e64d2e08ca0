#include "app/applicationparts.h"

#include "analysis/candlestickwidget.h"
#include "core/vorelapplication.h"
#include "pages/noticeexpress.h"
#include "pages/stockfocuswidget.h"
#include "strategy/addonhost.h"
#include "widgets/vorelstockmsgbox.h"

#include <QTimer>

#include <cstdio>

namespace {

void start(VorelApplication& app)
{
    // add-on host: the one host, made before loading so that add-ons bind to it.
    auto* addonHost = new VorelAddonHostImpl(&app);
    addonHost->registry.loadDir(QStringLiteral("addon"));
    std::printf("addon count:%d\n", addonHost->registry.count());
    std::fflush(stdout);
}

void init(VorelApplication& app)
{
    // K-line window: made here (standalone, no parent).
    app.candlestickWidget = new CandlestickWidget(false, nullptr);
    // Notices and hot stocks: their pages start their searches once the
    // event loop runs, so that the window comes up first; the hot-stock search
    // waits for its answers, the notices download in the background meanwhile.
    QTimer::singleShot(0, &app, [&app] {
        if (app.noticeExpress)
            app.noticeExpress->onSearch();
        if (app.stockFocusWidget)
            app.stockFocusWidget->onSearch();
    });
}

void finish(VorelApplication& app)
{
    // K-line window: a top-level widget without parent, so it goes explicitly.
    delete app.candlestickWidget;
    app.candlestickWidget = nullptr;
    // add-on host: deleted here; the add-on libraries stay loaded until exit.
    delete VorelAddonHostImpl::instance();
}

QWidget* chartWindow(const VorelApplication& app)
{
    return app.candlestickWidget;
}

void showChart(VorelApplication& app, const QString& code)
{
    CandlestickWidget* chart = app.candlestickWidget;
    if (!chart || !chart->isVisible())
        return;
    chart->loadData(120, code, QStringLiteral("day"), QStringLiteral("bfq"));
    // Where the screen has no room beside the main window the chart lies
    // over it, and the click on the list has just put the main window on
    // top: the stock asked for comes to the front.
    chart->raise();
    chart->activateWindow();
}

void showError(const QString& text)
{
    VorelStockMsgBox box(QStringLiteral("错误"), text, nullptr);
    box.exec();
}

} // namespace

void installApplicationParts()
{
    VorelApplication::installParts({start, init, finish, chartWindow, showChart, showError});
}
