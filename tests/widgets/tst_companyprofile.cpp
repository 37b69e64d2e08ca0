#include "core/fileutils.h"
#include "core/vorelapplication.h"
#include "datasource/htmltext.h"
#include "datasource/stockcompanyinfo.h"
#include "tests/support/barbuilder.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/stockinfobox.h"
#include "widgets/stocklistview.h"
#include "widgets/webviewer.h"

#include <QAction>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

namespace {

QString profileBody(const QString& code = QString());

// The profile of `code` as the service answers it: its first holder and a
// concept of its own carry the code, so that a page showing another stock's
// profile shows.
QString profileOf(const QString& code)
{
    return profileBody(code);
}

// The request of the profile of the stock the service knows as `symbol`.
QString profileTarget(const QString& symbol)
{
    return "/stock/corp/cwbb/search?symbol=" + symbol + "&type=sum&jianjie=1&_appName=android&_net=WIFI";
}

// Whether `text`, a profile window's page, shows what the profile of `code` holds.
bool showsProfileOf(const QString& text, const QString& code)
{
    return text.contains(QStringLiteral("示例集团") + code) || text.contains(QStringLiteral("概念") + code);
}

QString profileBody(const QString& code)
{
    QString body = QStringLiteral(
        "{\"code\":0,\"msg\":\"\",\"data\":{\"jianjie\":{\"gsmz\":\"示例银行股份有限公司\",\"riqi\":\"1999-11-10\","
        "\"jg\":\"%3元\",\"fxs\":\"40000\",\"yw\":\"\\u5438\\u6536\\u516c\\u4f17\\u5b58\\u6b3e\",\"dy\":\"上海\","
        "\"hy\":\"银行\"},\"concept\":[{\"name\":\"上海本地\"},{\"name\":\"金融改革\"},{\"name\":\"<b>x</b>\"}],"
        "\"ZGB\":2935208.04,\"LTGB\":\"2810376.45\",\"GDRS\":180000,\"SQ_GDRS\":190000,\"RJCG\":16000,"
        "\"yysr\":[{\"a\":\"银行业务\",\"b\":\"75.2%\",\"c\":\"2016\"},{\"a\":\"其他业务\",\"b\":\"24.8%\",\"c\":\"2016\"}],"
        "\"fenhong\":[{\"a\":\"2016\",\"b\":\"10派2\",\"c\":\"x\",\"d\":\"y\",\"e\":\"z\",\"f\":\"2016-06-30 00:00:00\"}],"
        "\"cwbb\":[[[[\"营业收入\",\"x\",\"1000亿\",\"y\"]],[[\"净利润\",\"x\",\"300亿\",\"y\"]]]],"
        "\"gudong\":[{\"a\":\"1\",\"b\":\"2\",\"c\":\"3\",\"d\":\"1\",\"e\":\"示例集团\",\"f\":\"国有法人\",\"g\":\"7\",\"h\":\"20.03\",\"i\":\"9\",\"j\":\"10\"},"
        "{\"a\":\"1\",\"b\":\"2\",\"c\":\"3\",\"d\":\"2\",\"e\":\"<script>alert(1)</script>\",\"f\":\"境外法人\",\"g\":\"7\",\"h\":\"%3\",\"i\":\"9\",\"j\":\"10\"}]}}");
    if (!code.isEmpty()) {
        body.replace(QStringLiteral("示例集团"), QStringLiteral("示例集团") + code);
        body.replace(QStringLiteral("{\"name\":\"金融改革\"}"),
                     QStringLiteral("{\"name\":\"金融改革\"},{\"name\":\"概念") + code + "\"}");
    }
    return body;
}

// Runs `handle` on the next modal dialog once it is up (a download may come
// first), then forgets it. The caller deletes the returned poll when no
// dialog is expected.
QTimer* onNextModal(const std::function<void(QWidget*)>& handle)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, handle] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        handle(modal);
    });
    poll->start();
    return poll;
}

// The plain text the profile window shows once its page has loaded; closes it.
QString viewerText(QWidget* modal)
{
    auto* viewer = qobject_cast<WebViewer*>(modal);
    if (!viewer) {
        modal->close();
        return QString();
    }
    (void)QTest::qWaitFor([viewer] { return !viewer->view->page()->mainFrame()->toPlainText().isEmpty(); }, 3000);
    const QString text = viewer->view->page()->mainFrame()->toPlainText();
    viewer->reject();
    return text;
}

// Every profile window that opens while it runs: its title, the code of the
// row selected in `view` then, and whether its page names that code; each is
// closed.
class ProfileWindows
{
public:
    explicit ProfileWindows(const StockListView* view)
    {
        poll.setInterval(5);
        QPointer<const StockListView> watched(view);
        QObject::connect(&poll, &QTimer::timeout, [this, watched] {
            auto* viewer = qobject_cast<WebViewer*>(QApplication::activeModalWidget());
            if (!viewer || viewer == handled)
                return;
            handled = viewer;
            const QModelIndexList rows = watched ? watched->selectionModel()->selectedRows() : QModelIndexList();
            const QString selected = rows.isEmpty() ? QString() : watched->item(rows.first().row(), 0)->text();
            const QString title = viewer->windowTitle();
            const QString text = viewerText(viewer);
            const bool pageNamesIt = !selected.isEmpty() && text.contains(selected) && showsProfileOf(text, selected);
            opened << title + " | " + selected + (pageNamesIt ? " | page names it" : " | page names another");
        });
        poll.start();
    }
    // "title | selected code | whether the page names it", in the order
    // they opened.
    QStringList opened;

private:
    QTimer poll;
    QPointer<WebViewer> handled;
};

// A left click on row `r`, as a user makes it.
void clickRow(StockListView* view, int r)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(r, 1)).center());
}

// The menu entry `text` chosen on row `r`: the right click selects the row.
void chooseOnRow(StockListView* view, int r, const QString& text)
{
    view->showMenu(view->visualRect(view->model()->index(r, 1)).center());
    view->menu->hide();
    for (QAction* action : view->menu->actions()) {
        if (action->text() == text)
            return action->trigger();   // the view may be gone when it returns
    }
}

}   // namespace

class CompanyProfileTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void unescapeUnicode_data();
    void unescapeUnicode();
    void tableCellCarriesWidthOnlyWhenGiven();
    void templateTakesContentAtEveryMarker();
    void missingTemplateShowsItsFailureText();
    void placeholdersAreFilledInOnePass();
    void parseFillsEverySection();
    void parseRefusesTextsWithoutNameOrConcepts();
    void unclosedSectionsGiveNoRows();
    void topHoldersTableOfNoHolders();
    void downloadedTextCannotBecomeMarkup();
    void requestNamesTheMarket();
    void viewerRunsNoScript();
    void profilePageScreenshot();
    void holdersViewShowsTheTable();
    void lateProfileNeverOpensOverAnotherStock_data();
    void lateProfileNeverOpensOverAnotherStock();
    void failedProfileSaysWhy_data();
    void failedProfileSaysWhy();
    void unreadableStoredProfileSaysSoWithoutAFetch();
    void storedProfileMeansNoRequest();
    void missingOrUnreadableProfileIsFetched();
    void profileWidgetsShowTheRecord();
};

void CompanyProfileTest::initTestCase()
{
    const QDir assets(qEnvironmentVariable("VOREL_SOURCE_DIR") + "/resources/assets");
    QVERIFY(assets.exists());
    QDir().mkpath("assets");
    for (const QString& name : assets.entryList(QDir::Files))
        QVERIFY(QFile::copy(assets.filePath(name), "assets/" + name));
}

void CompanyProfileTest::unescapeUnicode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "abc" << "abc";
    QTest::newRow("one escape") << "x\\u4e2dy" << QStringLiteral("x中y");
    QTest::newRow("upper hex") << "\\u4E2D\\u6587" << QStringLiteral("中文");
    QTest::newRow("too few digits") << "\\u4e2" << "\\u4e2";
    QTest::newRow("escaped backslash is not read twice") << "\\u005cu4e2d" << "\\u4e2d";
    QTest::newRow("capital U is no escape") << "\\U4e2d" << "\\U4e2d";
    QTest::newRow("a megabyte of escapes") << QString("\\u4e2d").repeated(170000) << QStringLiteral("中").repeated(170000);
}

void CompanyProfileTest::unescapeUnicode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ::unescapeUnicode(text);
    QCOMPARE(text, expected);
}

void CompanyProfileTest::tableCellCarriesWidthOnlyWhenGiven()
{
    QCOMPARE(htmlTableCell("a", 0), QStringLiteral("<td>a</td>"));
    QCOMPARE(htmlTableCell("a", 80), QStringLiteral("<td width=\"80\">a</td>"));
    QCOMPARE(htmlTable({{"k", "v"}}, 0, 40),
             QStringLiteral("<table><tbody><tr><td>k</td><td width=\"40\">v</td></tr></tbody></table>"));
}

void CompanyProfileTest::templateTakesContentAtEveryMarker()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<p>#CONTENT</p><div>#CONTENT</div>#content");
    file.close();
    QCOMPARE(fillTemplate(path, "\\u4e2d"), QStringLiteral("<p>中</p><div>中</div>#content"));
}

void CompanyProfileTest::missingTemplateShowsItsFailureText()
{
    const QString page = fillTemplate("no/such/template", "body");
    QVERIFY(isLoadTemplateFailure(page));
}

void CompanyProfileTest::placeholdersAreFilledInOnePass()
{
    QCOMPARE(fillPlaceholders("%1-%2-%11-%10-%3", {"a%3", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}),
             QStringLiteral("a%3-b-k-j-c"));
    QCOMPARE(fillPlaceholders("%1 %2 %7", {"x", "y"}), QStringLiteral("x y %7"));
    QCOMPARE(fillPlaceholders("100%", {"x"}), QStringLiteral("100%"));
}

void CompanyProfileTest::parseFillsEverySection()
{
    StockCompanyInfo info;
    QVERIFY(info.parse(profileBody()));
    QCOMPARE(info.gsmz(), QStringLiteral("示例银行股份有限公司"));
    QCOMPARE(info.riqi(), QStringLiteral("1999-11-10"));
    QCOMPARE(info.hy(), QStringLiteral("银行"));
    QCOMPARE(info.dy(), QStringLiteral("上海"));
    QCOMPARE(info.concepts(), (QStringList{QStringLiteral("上海本地"), QStringLiteral("金融改革"), "<b>x</b>"}));
    // share counts: the value after the colon, quoted or not, without separators
    QCOMPARE(info.zgb(), QStringLiteral("2935208.04"));
    QCOMPARE(info.ltgb(), QStringLiteral("2810376.45"));
    QCOMPARE(info.gdrs(), QStringLiteral("180000"));
    QCOMPARE(info.sqGdrs(), QStringLiteral("190000"));
    QCOMPARE(info.rjcg(), QStringLiteral("16000"));
    QCOMPARE(info.yysr().size(), 2);
    QCOMPARE(info.yysr().at(1).value1, QStringLiteral("其他业务"));
    QCOMPARE(info.yysr().at(1).value2, QStringLiteral("24.8%"));
    QCOMPARE(info.fenhong().size(), 1);
    QCOMPARE(info.fenhong().at(0).value6, QStringLiteral("2016-06-30"));
    QCOMPARE(info.cwbb().size(), 2);
    QCOMPARE(info.cwbb().at(1).value1, QStringLiteral("净利润"));
    QCOMPARE(info.cwbb().at(1).value2, QStringLiteral("300亿"));
    QCOMPARE(info.gudong().size(), 2);
    QCOMPARE(info.gudong().at(0).value5, QStringLiteral("示例集团"));
    QCOMPARE(info.gudong().at(0).value8, QStringLiteral("20.03"));
    QVERIFY(info.funds().isEmpty());
    QCOMPARE(info.emptyField(), QStringLiteral("-"));
}

void CompanyProfileTest::parseRefusesTextsWithoutNameOrConcepts()
{
    StockCompanyInfo none;
    QVERIFY(!none.parse("{\"riqi\":\"1999-11-10\",\"concept\":[{\"name\":\"a\"}],\"yysr\":[]}"));
    QVERIFY(none.riqi().isEmpty());
    QVERIFY(none.concepts().isEmpty());

    StockCompanyInfo noConcept;
    QVERIFY(!noConcept.parse("{\"gsmz\":\"名\",\"riqi\":\"1999\",\"hy\":\"银行\",\"gudong\":[{\"a\":\"1\"}]}"));
    QCOMPARE(noConcept.gsmz(), QStringLiteral("名"));
    QCOMPARE(noConcept.hy(), QStringLiteral("银行"));
    QVERIFY(noConcept.gudong().isEmpty());

    StockCompanyInfo garbage;
    QVERIFY(!garbage.parse(QString()));
    QVERIFY(!garbage.parse("<html>502 Bad Gateway</html>"));

    StockCompanyInfo unclosedConcepts;
    QVERIFY(!unclosedConcepts.parse(QStringLiteral("{\"gsmz\":\"名\",") + QString("\"concept\":").repeated(100000)));
    QCOMPARE(unclosedConcepts.gsmz(), QStringLiteral("名"));
}

void CompanyProfileTest::unclosedSectionsGiveNoRows()
{
    StockCompanyInfo info;
    QVERIFY(info.parse(QStringLiteral("{\"gsmz\":\"名\",\"concept\":[{\"name\":\"甲\"}],\"yysr\"")
                       + QString("\"fenhong\"\"cwbb\":\"gudong\"").repeated(30000)));
    QCOMPARE(info.concepts(), QStringList { QStringLiteral("甲") });
    QVERIFY(info.yysr().isEmpty());
    QVERIFY(info.fenhong().isEmpty());
    QVERIFY(info.cwbb().isEmpty());
    QVERIFY(info.gudong().isEmpty());
}

void CompanyProfileTest::topHoldersTableOfNoHolders()
{
    QCOMPARE(topHoldersHtml({}),
             QStringLiteral("<h6>前10流通股东</h6><table class=\"tftable\" border=\"1\"><tr><th>序号</th><th>股东</th>"
                            "<th>占比</th><th>类型</th></tr></table>"));
}

void CompanyProfileTest::downloadedTextCannotBecomeMarkup()
{
    StockCompanyInfo info;
    QVERIFY(info.parse(profileBody()));
    const QString holders = topHoldersHtml(info.gudong());
    QVERIFY(!holders.contains("<script>"));
    QVERIFY(holders.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    QVERIFY(holders.contains(QStringLiteral("<tr><td>1</td><td>示例集团</td><td>20.03%</td><td>国有法人</td></tr>")));

    // an escape that names "<" stays text even after the viewer's own unescape pass
    QCOMPARE(safeHtmlText("\\u003cb\\u003e"), QStringLiteral("&lt;b&gt;"));
    QString twice = safeHtmlText("\\u005cu003cb");
    ::unescapeUnicode(twice);
    QVERIFY(!twice.contains('<'));

    const QString page = companyDescriptionHtml("600000", profileBody());
    QVERIFY(!page.contains("<b>x</b>"));
    QVERIFY(page.contains("&lt;b&gt;x&lt;/b&gt;"));
    QVERIFY(page.contains(QStringLiteral("吸收公众存款")));   // escapes of the provider are resolved
    QVERIFY(page.contains(QStringLiteral("%3元")));   // a downloaded "%3" is not filled again
    QVERIFY(!isLoadTemplateFailure(page));
}

void CompanyProfileTest::requestNamesTheMarket()
{
    HostOverride hosts("http://127.0.0.1:9");
    const QString sh = companyInfoUrl("600000");
    QVERIFY(sh.startsWith("http://127.0.0.1:9/stock/corp/cwbb/search?symbol=sh600000&type=sum&jianjie=1"
                          "&_appName=android&_net=WIFI&__random_suffix="));
    const int suffix = sh.mid(sh.lastIndexOf('=') + 1).toInt();
    QVERIFY(suffix >= 0 && suffix <= 32767);
    QVERIFY(companyInfoUrl("000001").contains("symbol=sz000001&"));
    QVERIFY(companyInfoUrl("300001").contains("symbol=sz300001&"));
}

void CompanyProfileTest::viewerRunsNoScript()
{
    TestHttpServer server;
    server.serve("/", TestHttpServer::Reply::text("x"));
    WebViewer viewer("t");
    QCOMPARE(viewer.windowTitle(), QStringLiteral("t"));
    QCOMPARE(viewer.size(), QSize(640, 340));
    QSignalSpy loaded(viewer.view, &QWebView::loadFinished);
    viewer.setContent("<p id=\"p\">a</p><script>document.getElementById('p').innerHTML='b';</script>"
                      "<img src=\"" + server.baseUrl() + "/leak.png\"><img src=\"file:///etc/passwd\">",
                      true);
    QVERIFY(loaded.wait(5000) || loaded.count() > 0);
    QCOMPARE(viewer.view->page()->mainFrame()->findFirstElement("#p").toPlainText(), QStringLiteral("a"));
    QTest::qWait(50);   // let the page try its loads; the server must see none
    QCOMPARE(server.requestCount(), 0);
}

void CompanyProfileTest::profilePageScreenshot()
{
    StockListView* view = createStockListView(4);
    Stock stock;
    stock.code = "600000";
    stock.name = QStringLiteral("示例银行");
    view->addStock(stock);
    vorelApp()->stockPool.insert("600000", stock);
    QDir().mkpath("data/data");
    QFile file("data/data/600000");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(profileBody().toUtf8());
    file.close();

    view->onClick(0, 1);
    bool shown = false;
    bool pictured = false;
    onNextModal([&shown, &pictured](QWidget* modal) {
        auto* viewer = qobject_cast<WebViewer*>(modal);
        if (!viewer) {
            modal->close();
            return;
        }
        shown = QTest::qWaitFor([viewer] {
            return viewer->view->page()->mainFrame()->toPlainText().contains(QStringLiteral("示例银行股份有限公司"));
        }, 3000);
        pictured = saveScreenshot(viewer, "company_profile");
        viewer->reject();
    });
    view->showDesc();
    QVERIFY(shown);
    QVERIFY(pictured);
    vorelApp()->stockPool.clear();
    delete view;
}

void CompanyProfileTest::holdersViewShowsTheTable()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact(profileTarget("sz000555"), TestHttpServer::Reply::text(profileOf("000555")));
    server.serveExact(profileTarget("sh600555"), TestHttpServer::Reply::text(profileOf("600555")));
    QScopedPointer<StockListView> view(createStockListView(3));
    view->addStock(StockBuilder().code("600555").name(QStringLiteral("他股")));
    Stock stock;
    stock.code = "000555";
    stock.name = QStringLiteral("样本股份");
    view->addStock(stock);
    view->onClick(1, 0);
    QString title;
    QString text;
    onNextModal([&title, &text](QWidget* modal) {
        title = modal->windowTitle();
        text = viewerText(modal);
    });
    view->showStockHolderView();
    QCOMPARE(server.requestCount(), 1);
    // the window and the page name the stock
    QCOMPARE(title, QStringLiteral("股东信息 - 000555 样本股份"));
    QVERIFY(text.startsWith(QStringLiteral("000555 样本股份\n")));
    QVERIFY(text.contains(QStringLiteral("前10流通股东")));
    QVERIFY(showsProfileOf(text, "000555"));
    QVERIFY(!showsProfileOf(text, "600555"));
    QVERIFY(text.contains("<script>alert(1)</script>"));   // shown as text, not run
    QCOMPARE(server.unanswered(), QStringList());
}

void CompanyProfileTest::lateProfileNeverOpensOverAnotherStock_data()
{
    // what happens while the first row's profile is held for a second
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<int>("requests");
    QTest::newRow("股东 of another row")
        << "holders" << QStringList { QStringLiteral("股东信息 - 000555 样本股份 | 000555 | page names it") } << 2;
    QTest::newRow("the same 简介 again")
        << "same" << QStringList { QStringLiteral("股东信息 - 601988 示例银行 | 601988 | page names it") } << 1;
    QTest::newRow("another row clicked") << "click" << QStringList() << 1;
    QTest::newRow("list cleared") << "clear" << QStringList() << 1;
    QTest::newRow("view closed") << "close" << QStringList() << 1;
}

void CompanyProfileTest::lateProfileNeverOpensOverAnotherStock()
{
    QFETCH(QString, meanwhile);
    QFETCH(QStringList, windows);
    QFETCH(int, requests);
    TestHttpServer server;
    HostOverride hosts(server);
    TestHttpServer::Reply slow = TestHttpServer::Reply::text(profileOf("601988"));
    slow.delayMs = 1000;
    server.serveExact(profileTarget("sh601988"), slow);
    server.serveExact(profileTarget("sz000555"), TestHttpServer::Reply::text(profileOf("000555")));
    QPointer<StockListView> view(createStockListView(4));
    Stock first;
    first.code = "601988";
    first.name = QStringLiteral("示例银行");
    Stock second;
    second.code = "000555";
    second.name = QStringLiteral("样本股份");
    view->addStocks({ first, second });
    view->resize(600, 200);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));

    ProfileWindows seen(view);
    QTimer::singleShot(100, view, [&] {
        if (meanwhile == "holders")
            chooseOnRow(view, 1, QStringLiteral("股东"));
        else if (meanwhile == "same")
            chooseOnRow(view, 0, QStringLiteral("简介"));
        else if (meanwhile == "click")
            clickRow(view, 1);
        else if (meanwhile == "clear")
            view->clearStocks();
        else
            view->deleteLater();
    });
    chooseOnRow(view, 0, QStringLiteral("简介"));
    QTest::qWait(30);   // a last look for a window
    // each window names its stock, the one selected, and opens once
    QCOMPARE(seen.opened, windows);
    QCOMPARE(server.requestCount(), requests);
    QCOMPARE(server.unanswered(), QStringList());
    QCOMPARE(view.isNull(), meanwhile == "close");
    delete view;
}

void CompanyProfileTest::failedProfileSaysWhy_data()
{
    addFailedAnswerRows();
    // the provider's own answer for a request it cannot serve
    QTest::newRow("provider refusal") << "refusal" << unreadableAnswer();
}

void CompanyProfileTest::failedProfileSaysWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve("/stock/corp/cwbb/search", failure == "refusal"
                                                ? TestHttpServer::Reply::text("{\"code\":-1,\"msg\":\"busy\"}")
                                                : failedAnswer(failure, profileBody()));
    QScopedPointer<StockListView> view(createStockListView(4));
    Stock stock;
    stock.code = "600777";
    view->addStock(stock);
    view->onClick(0, 0);
    for (void (StockListView::*show)() : {&StockListView::showDesc, &StockListView::showStockHolderView}) {
        QString text;
        onNextModal([&text](QWidget* modal) { text = viewerText(modal); });
        (view.data()->*show)();
        QCOMPARE(text, QStringLiteral("公司资料获取失败：") + reason);
    }
    QCOMPARE(server.requestCount(), 2);
}

void CompanyProfileTest::unreadableStoredProfileSaysSoWithoutAFetch()
{
    TestHttpServer server;
    HostOverride hosts(server);
    QDir().mkpath("data/data");
    writeFile("data/data/600666", "\x01garbage without fields");
    QScopedPointer<StockListView> view(createStockListView(4));
    Stock stock;
    stock.code = "600666";
    view->addStock(stock);
    view->onClick(0, 0);
    QString text;
    onNextModal([&text](QWidget* modal) { text = viewerText(modal); });
    view->showDesc();
    QCOMPARE(text, QStringLiteral("公司资料获取失败：") + unreadableAnswer());
    QCOMPARE(server.requestCount(), 0);   // the stored text is read, not refetched
}

void CompanyProfileTest::storedProfileMeansNoRequest()
{
    TestHttpServer server;
    HostOverride hosts(server);
    QDir().mkpath("data/data");
    QFile file("data/data/600123");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(profileBody().toUtf8());
    file.close();

    const QString text = loadCompanyText("600123");
    QCOMPARE(server.requestCount(), 0);
    const QString html = companyDescriptionHtml("600123", text);
    QVERIFY(html.contains(QStringLiteral("示例银行股份有限公司")));
    QVERIFY(html.contains(QStringLiteral("<span class=\"label label-default\"> 金融改革 </span>")));
    QVERIFY(html.contains(QStringLiteral("2935208.04")));
    QVERIFY(html.contains(QStringLiteral("<h6>银行业务<span class=\"label label-default\"> 75.2%</span></h6>\t")));
}

void CompanyProfileTest::missingOrUnreadableProfileIsFetched()
{
    TestHttpServer server;
    HostOverride hosts(server);
    for (const char* code : { "000888", "000777", "600888" })
        server.serveExact(profileTarget(providerSymbol(code)), TestHttpServer::Reply::text(profileOf(code)));
    QDir().mkpath("data/data/000777");   // a folder where the file should be: unreadable

    QCOMPARE(loadCompanyText("000888"), profileOf("000888"));
    QCOMPARE(loadCompanyText("000777"), profileOf("000777"));
    QCOMPARE(loadCompanyText("600888"), profileOf("600888"));
    QCOMPARE(server.requestCount(), 3);
    QCOMPARE(server.unanswered(), QStringList());
    QVERIFY(!QFile::exists("data/data/000888"));   // the program never writes profiles

    QCOMPARE(loadCompanyText("../etc"), QString());   // not a code: no path, no request
    QCOMPARE(server.requestCount(), 3);
}

void CompanyProfileTest::profileWidgetsShowTheRecord()
{
    StockCompanyInfo info;
    QVERIFY(info.parse(profileBody()));
    StockInfoBox box;
    box.brief->setConcepts(info.concepts());
    QCOMPARE(box.brief->conceptGrid->count(), 3);
    auto* third = qobject_cast<QLabel*>(box.brief->conceptGrid->itemAtPosition(1, 0)->widget());
    QVERIFY(third);
    QCOMPARE(third->textFormat(), Qt::PlainText);
    box.finance->setData(info);
    QCOMPARE(box.finance->labels.size(), 2);
    QCOMPARE(box.finance->labels.at(0)->text(), QStringLiteral("1000亿"));
    QCOMPARE(StockInfoBox::changePalette(1, QPalette()).color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(StockInfoBox::changePalette(-1, QPalette()).color(QPalette::WindowText), QColor(Qt::green));
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<CompanyProfileTest>(argc, argv);
}

#include "tst_companyprofile.moc"
