#include "pages/lhbwidget.h"

#include "core/clock.h"
#include "core/vorelapplication.h"
#include "pages/vorelstocklhbbs5widget.h"
#include "tests/datasource/lhbfixtures.h"
#include "tests/support/barbuilder.h"
#include "tests/support/columnfit.h"
#include "tests/support/failedanswers.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/highlighter.h"
#include "widgets/stocklistview.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimeZone>
#include <QtTest>

#include <cmath>

using namespace lhbfixture;

namespace {

QStringList column(const QTableWidget* table, int c)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r)
        texts << (table->item(r, c) ? table->item(r, c)->text() : QStringLiteral("<none>"));
    return texts;
}

// Contrast of two colours as the accessibility guidelines measure it: 4.5 and
// more reads well for body text.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// "seat/colour" per row: "red" or "blue" for a tint of that hue on which the
// table's text reads well, every cell of the row alike; else what is wrong.
QStringList seatColours(const QTableWidget* table)
{
    const QColor text = table->palette().color(QPalette::Text);
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QColor colour = table->item(r, 0)->background().color();
        QString name = colour.red() > colour.blue() && colour.red() > colour.green()     ? "red"
                       : colour.blue() > colour.red() && colour.blue() > colour.green() ? "blue"
                                                                                        : colour.name();
        if (contrast(text, colour) < 4.5)
            name = "unreadable " + colour.name();
        for (int c = 1; c < table->columnCount(); ++c) {
            if (table->item(r, c)->background().color() != colour)
                name = "mixed";
        }
        rows << table->item(r, 0)->text() + "/" + name;
    }
    return rows;
}

QVector<LHBUnit> sampleSeats()
{
    LHBUnit buyer;
    buyer.seat = "甲营业部";
    buyer.buyAmount = "100";
    buyer.sellAmount = "0";
    buyer.netAmount = "100";
    buyer.side = 1;
    LHBUnit seller = buyer;
    seller.seat = "乙营业部";
    seller.side = 2;
    LHBUnit odd = buyer;
    odd.seat = "丙营业部";
    odd.side = 3;
    LHBUnit summary;
    summary.buyAmount = "100";
    return { buyer, summary, seller, odd };
}

// The marked stretches of a one-block document as "start+length".
QStringList markedRanges(QTextDocument* document, const QColor& colour)
{
    QStringList ranges;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (range.format.foreground().color() == colour)
                ranges << QString::number(block.position() + range.start) + "+" + QString::number(range.length);
        }
    }
    return ranges;
}

const char* const kListPath = "/q/go.php/vInvestConsult/kind/lhb/index.phtml";

// A row of the list as the page shows it: the seats are asked for by code and date.
Stock listedStock(const QString& code, const QString& date)
{
    return StockBuilder().code(code).date(date);
}

// Clicks row `r` of the list as a user does: the row is selected, then the
// page hears of the click.
void clickRow(StockListView* view, int r)
{
    const QRect cell = view->visualRect(view->model()->index(r, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

// "code name date" of the row selected in the list; empty when none is.
QString selectedSubject(const StockListView* view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    const int r = rows.first().row();
    return QStringList({ view->item(r, 0)->text(), view->item(r, 1)->text(), view->item(r, 6)->text() }).join(' ');
}

// Watches the page while it waits for seats and notes every moment the seat
// table or the words about it name another stock than the row selected:
// seats shown under a label that is not the selected row's, seats that are
// not its own (`seatsOf`, by subject), a seat failure of another stock.
class SeatWatch
{
public:
    SeatWatch(const LHBWidget& page, const QMap<QString, QStringList>& seatsOf)
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, &page, seatsOf] { look(page, seatsOf); });
        timer.start();
    }
    QStringList faults;

private:
    void look(const LHBWidget& page, const QMap<QString, QStringList>& seatsOf)
    {
        const QString selected = selectedSubject(page.listView);
        const QString label = page.seatLabel->text();
        const bool hint = label == QStringLiteral("席位：点击上面的股票查看");
        const bool namesSelected = !selected.isEmpty()
            && (label == "席位：" + selected || label == "席位：" + selected + QStringLiteral("（下载中…）"));
        if (!hint && !namesSelected)
            note("label \"" + label + "\" over " + selected);
        if (page.detailTable->rowCount() > 0) {
            if (label != "席位：" + selected)
                note("seats under \"" + label + "\" while " + selected + " is selected");
            for (const QString& seat : column(page.detailTable, 0)) {
                if (!seatsOf.value(selected).contains(seat))
                    note(seat + " under " + selected);
            }
        }
        const QString status = page.statusLabel->isHidden() ? QString() : page.statusLabel->text();
        if (status.contains(QStringLiteral("席位下载失败")) && (selected.isEmpty() || !status.startsWith(selected)))
            note("\"" + status + "\" while " + selected + " is selected");
    }
    void note(const QString& fault)
    {
        if (!faults.contains(fault))
            faults << fault;
    }

    QTimer timer;
};

} // namespace

class LHBWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void dateFallsBackToFridayAtTheWeekend_data();
    void dateFallsBackToFridayAtTheWeekend();
    void searchListsTheStocksOfTheDate();
    void listOfAnEarlierSearchArrivingLateIsDropped();
    void listAndSeatsSortNumbersByValue();
    void failedListKeepsTheListAndSaysWhy_data();
    void failedListKeepsTheListAndSaysWhy();
    void emptyListReplacesTheListAndItsSeats();
    void clickedStockShowsItsSeatsFetchedOnce();
    void sameStockOnAnotherDateHasItsOwnSeats();
    void failedSeatsLeaveNoSeatsAndSayWhy_data();
    void failedSeatsLeaveNoSeatsAndSayWhy();
    void failedSeatRequestIsAskedAgainOnTheNextClick();
    void clickDuringASeatRequestTakesOver();
    void lateSeatsNeverShowUnderAnotherRow_data();
    void lateSeatsNeverShowUnderAnotherRow();

    void seatWindowSkipsUnnamedUnitsAndColoursBySide();
    void seatWindowLoadsTheSeatsOfOneEntry();

    void highlighterMarksWholeWordsOnly();
    void highlighterWordsMatchingNothingDoNotHang();
};

void LHBWidgetTest::cleanup()
{
    setChinaNow(QDateTime());
}

void LHBWidgetTest::dateFallsBackToFridayAtTheWeekend_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("shown");
    QTest::newRow("sunday") << QDate(2016, 3, 20) << QDate(2016, 3, 18);
    QTest::newRow("saturday") << QDate(2016, 3, 19) << QDate(2016, 3, 18);
    QTest::newRow("friday") << QDate(2016, 3, 18) << QDate(2016, 3, 18);
    QTest::newRow("monday") << QDate(2016, 3, 21) << QDate(2016, 3, 21);
}

void LHBWidgetTest::dateFallsBackToFridayAtTheWeekend()
{
    QFETCH(QDate, today);
    QFETCH(QDate, shown);
    // Late in the China evening, when other zones may still be on the day before.
    setChinaNow(QDateTime(today, QTime(23, 30), QTimeZone("Asia/Shanghai")));
    LHBWidget page;
    QCOMPARE(page.dateEdit->date(), shown);
    QCOMPARE(page.dateEdit->text(), shown.toString("yyyy-MM-dd"));
}

void LHBWidgetTest::searchListsTheStocksOfTheDate()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-15",
                      TestHttpServer::Reply::gbk(sinaListPage(reasonRow("日涨幅偏离值达7%的证券")
                                                              + stockRow({ "600123", "兰花科创", "2016-03-15" })
                                                              + stockRow({ "000456", "样本科技", "2016-03-15" }))));
    LHBWidget page;
    page.dateEdit->setDate(QDate(2016, 3, 15));
    QSignalSpy lists(&page.loader, &DataLoader::sendStock);
    QTest::mouseClick(page.searchButton, Qt::LeftButton);
    QVERIFY(lists.wait(5000));
    QCOMPARE(server.requests().first().query, QStringLiteral("tradedate=2016-03-15"));
    QCOMPARE(column(page.listView, 0), QStringList({ "600123", "000456" }));
    QCOMPARE(column(page.listView, 5), QStringList({ "日涨幅偏离值达7%的证券", "日涨幅偏离值达7%的证券" }));
    QCOMPARE(page.stocks.size(), 2);
    // codes, numbers, types and dates show whole
    QCOMPARE(cutTexts(page.listView, { 0, 2, 3, 4, 5, 6 }).join(" | "), QString());
    page.resize(900, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, "dragontiger"));

    // A new search keeps the list until its answer replaces it.
    QTest::mouseClick(page.searchButton, Qt::LeftButton);
    QCOMPARE(page.listView->rowCount(), 2);
    QVERIFY(lists.wait(5000));
    QCOMPARE(page.listView->rowCount(), 2);
    QVERIFY(page.statusLabel->isHidden());
}

void LHBWidgetTest::failedListKeepsTheListAndSaysWhy_data()
{
    addFailedAnswerRows();
}

void LHBWidgetTest::failedListKeepsTheListAndSaysWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-14",
                 TestHttpServer::Reply::gbk(sinaListPage(stockRow({ "600001", "旧日股份", "2016-03-14" }))));
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-15",
                 failedAnswer(failure, sinaListPage(stockRow({ "600002", "今日股份", "2016-03-15" })
                                                    + stockRow({ "600003", "明日股份", "2016-03-15" }))));
    server.serveExact("/stock/lhb,2016-03-14,600001.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "甲营业部", "1.00", "0.00", "1.00" } }, {})));
    LHBWidget page;
    QSignalSpy failures(&page.loader, &DataLoader::sendFailure);
    QSignalSpy ok(&page.loader, &DataLoader::sendOK);
    page.dateEdit->setDate(QDate(2016, 3, 14));
    page.onSearch();
    QVERIFY(ok.wait(5000));
    page.onClickCell(0, 0);
    QCOMPARE(page.detailTable->rowCount(), 1);

    page.dateEdit->setDate(QDate(2016, 3, 15));
    page.onSearch();
    QVERIFY(ok.wait(5000));
    QCOMPARE(failures.count(), 1);
    // the list and its seats stay as they were, and the page says why
    QCOMPARE(column(page.listView, 0), QStringList({ "600001" }));
    QCOMPARE(page.detailTable->rowCount(), 1);
    QVERIFY(!page.statusLabel->isHidden());
    QCOMPARE(page.statusLabel->text(), QString("龙虎榜下载失败：") + reason);
    page.resize(900, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, QString("dragontiger-failed-%1").arg(failureTag())));
}

void LHBWidgetTest::emptyListReplacesTheListAndItsSeats()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve(kListPath, TestHttpServer::Reply::gbk(sinaListPage(QString())));
    LHBWidget page;
    Stock listed;
    listed.code = "600001";
    page.updateStockList({ listed });
    page.detailTable->setRowCount(1);
    QSignalSpy ok(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QVERIFY(ok.wait(5000));
    // a day without entries is a real "nothing": no message
    QCOMPARE(page.listView->rowCount(), 0);
    QCOMPARE(page.detailTable->rowCount(), 0);
    QVERIFY(page.statusLabel->isHidden());
}

void LHBWidgetTest::listOfAnEarlierSearchArrivingLateIsDropped()
{
    TestHttpServer server;
    HostOverride hosts(server);
    TestHttpServer::Reply slow = TestHttpServer::Reply::gbk(sinaListPage(stockRow({ "600001", "旧日股份", "2016-03-14" })));
    slow.delayMs = 300;
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-14", slow);
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-15",
                 TestHttpServer::Reply::gbk(sinaListPage(stockRow({ "600002", "今日股份", "2016-03-15" }))));
    LHBWidget page;
    QSignalSpy lists(&page.loader, &DataLoader::sendStock);
    page.dateEdit->setDate(QDate(2016, 3, 14));
    page.onSearch();
    page.dateEdit->setDate(QDate(2016, 3, 15));
    page.onSearch();
    QTRY_COMPARE_WITH_TIMEOUT(lists.count(), 2, 5000);
    QCOMPARE(column(page.listView, 0), QStringList({ "600002" }));
    QCOMPARE(page.stocks.first().code, QStringLiteral("600002"));
}

void LHBWidgetTest::listAndSeatsSortNumbersByValue()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serve(kListPath, TestHttpServer::Reply::gbk(sinaListPage(
                                stockRow({ "600123", "兰花科创", "2016-03-15", "11.34", "512.7", "10973.9" })
                                + stockRow({ "000456", "样本科技", "2016-03-15", "8.17", "3201.5", "4115.2" })
                                + stockRow({ "300789", "测试电子", "2016-03-15", "23.05", "77.4", "905.6" }))));
    server.serveExact("/stock/lhb,2016-03-15,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "甲营业部", "5000.00", "0.00", "5000.00" },
                                                                { "乙营业部", "300.00", "0.00", "300.00" },
                                                                { "丙营业部", "1234.50", "12.00", "1222.50" } }, {})));
    LHBWidget page;
    page.dateEdit->setDate(QDate(2016, 3, 15));
    QSignalSpy lists(&page.loader, &DataLoader::sendStock);
    page.onSearch();
    QVERIFY(lists.wait(5000));

    page.listView->sortByColumn(2, Qt::AscendingOrder);   // 价格
    QCOMPARE(column(page.listView, 2), QStringList({ "8.17", "11.34", "23.05" }));
    page.listView->sortByColumn(3, Qt::AscendingOrder);   // 成交量(万手)
    QCOMPARE(column(page.listView, 3), QStringList({ "77.4", "512.7", "3201.5" }));
    page.listView->sortByColumn(4, Qt::DescendingOrder);   // 成交额
    QCOMPARE(column(page.listView, 4), QStringList({ "10973.9", "4115.2", "905.6" }));

    const int row = column(page.listView, 0).indexOf("600123");
    page.onClickCell(row, 0);
    page.detailTable->sortByColumn(1, Qt::AscendingOrder);   // 买入金额(万元)
    QCOMPARE(column(page.detailTable, 0), QStringList({ "乙营业部", "丙营业部", "甲营业部" }));
    QCOMPARE(column(page.detailTable, 1), QStringList({ "300.00", "1234.50", "5000.00" }));
    page.resize(900, 600);
    page.show();
    QVERIFY(saveScreenshot(&page, "dragontiger-sorted"));
}

void LHBWidgetTest::clickedStockShowsItsSeatsFetchedOnce()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact("/stock/lhb,2016-03-15,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "中信证券股份有限公司上海溧阳路证券营业部", "5000.00", "0.00", "5000.00" },
                                                                { "机构专用", "300.00", "0.00", "300.00" } },
                                                              { { "财通证券股份有限公司杭州上塘路证券营业部", "0.00", "900.00", "-900.00" } })));
    LHBWidget page;
    Stock listed;
    listed.code = "600123";
    listed.date = "2016-03-15";
    page.updateStockList({ listed });

    page.onClickCell(0, 3);
    QCOMPARE(seatColours(page.detailTable), QStringList({ "中信证券股份有限公司上海溧阳路证券营业部/red", "机构专用/red",
                                                          "财通证券股份有限公司杭州上塘路证券营业部/blue" }));
    QCOMPARE(column(page.detailTable, 3), QStringList({ "5000.00", "300.00", "-900.00" }));

    page.detailTable->sortItems(0);   // the table sorts; a refill still lists every seat once
    page.onClickCell(0, 0);
    QCOMPARE(page.detailTable->rowCount(), 3);
    QCOMPARE(server.requestCount(), 1);
}

void LHBWidgetTest::sameStockOnAnotherDateHasItsOwnSeats()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact("/stock/lhb,2016-03-14,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "周一营业部", "1.00", "0.00", "1.00" } }, {})));
    server.serveExact("/stock/lhb,2016-03-15,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "周二营业部", "1.00", "0.00", "1.00" } }, {})));
    LHBWidget page;
    page.updateStockList({ listedStock("600123", "2016-03-14"), listedStock("600123", "2016-03-15") });

    page.onClickCell(0, 1);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "周一营业部" }));
    page.onClickCell(1, 1);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "周二营业部" }));
    page.onClickCell(0, 1);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "周一营业部" }));
    QCOMPARE(server.requestCount(), 2);
}

void LHBWidgetTest::failedSeatsLeaveNoSeatsAndSayWhy_data()
{
    addFailedAnswerRows();
}

void LHBWidgetTest::failedSeatsLeaveNoSeatsAndSayWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact("/stock/lhb,2016-03-15,600123.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "甲营业部", "1.00", "0.00", "1.00" } }, {})));
    // a seat page cut in the middle of its tables is one of the failures
    server.serveExact("/stock/lhb,2016-03-15,000456.html",
                 failedAnswer(failure, eastmoneySeatPage({ { "乙营业部", "1.00", "0.00", "1.00" },
                                                           { "丙营业部", "2.00", "0.00", "2.00" } },
                                                         { { "丁营业部", "0.00", "3.00", "-3.00" } })));
    LHBWidget page;
    page.updateStockList({ listedStock("600123", "2016-03-15"), listedStock("000456", "2016-03-15") });
    page.onClickCell(0, 0);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "甲营业部" }));

    // the seats of the first stock go as soon as the second is asked for
    int seatsWhileAsking = -1;
    connect(&server, &TestHttpServer::requestSeen, &page, [&] { seatsWhileAsking = page.detailTable->rowCount(); });
    page.onClickCell(1, 0);
    QCOMPARE(seatsWhileAsking, 0);
    QCOMPARE(page.detailTable->rowCount(), 0);
    // the failure names its stock, and so does the label over the empty table
    QCOMPARE(page.statusLabel->text(), QString("000456 2016-03-15的席位下载失败：") + reason);
    QVERIFY(!page.statusLabel->isHidden());
    QCOMPARE(page.seatLabel->text(), QString("席位：000456 2016-03-15"));

    // the seat window says the same
    VorelStockLHBBS5Widget window;
    window.load("600123", "2016-03-15");
    QCOMPARE(window.table->rowCount(), 1);
    QVERIFY(window.statusLabel->isHidden());
    window.load("000456", "2016-03-15");
    QCOMPARE(window.table->rowCount(), 0);
    QCOMPARE(window.statusLabel->text(), QString("000456 2016-03-15的席位下载失败：") + reason);
    window.show();
    QVERIFY(saveScreenshot(&window, QString("seatwindow-failed-%1").arg(failureTag())));

    // a good answer afterwards clears the message
    page.onClickCell(0, 0);
    QVERIFY(page.statusLabel->isHidden());
}

void LHBWidgetTest::failedSeatRequestIsAskedAgainOnTheNextClick()
{
    TestHttpServer server;
    HostOverride hosts(server);
    LHBWidget page;
    Stock listed;
    listed.code = "000456";
    listed.date = "2016-03-15";
    page.updateStockList({ listed });
    page.detailTable->setRowCount(2);   // left from an earlier click

    page.onClickCell(0, 0);   // nothing served: 404
    QCOMPARE(page.detailTable->rowCount(), 0);

    server.serveExact("/stock/lhb,2016-03-15,000456.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "甲营业部", "1.00", "0.00", "1.00" } }, {})));
    page.onClickCell(0, 0);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "甲营业部" }));
    QCOMPARE(server.requestCount(), 2);
    page.onClickCell(5, 0);   // no such row
    QCOMPARE(server.requestCount(), 2);
}

void LHBWidgetTest::clickDuringASeatRequestTakesOver()
{
    TestHttpServer server;
    HostOverride hosts(server);
    TestHttpServer::Reply slow = TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "甲营业部", "1.00", "0.00", "1.00" } }, {}));
    slow.delayMs = 200;
    server.serveExact("/stock/lhb,2016-03-15,600123.html", slow);
    server.serveExact("/stock/lhb,2016-03-15,000456.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "乙营业部", "2.00", "0.00", "2.00" } }, {})));
    LHBWidget page;
    page.updateStockList({ listedStock("600123", "2016-03-15"), listedStock("000456", "2016-03-15") });
    page.onClickCell(1, 0);
    QCOMPARE(server.requestCount(), 1);

    // The request runs a local event loop: clicks keep arriving meanwhile.
    // The same row again asks nothing more; another row takes over, here
    // with the seats it had already.
    QTimer::singleShot(20, &page, [&page]() { page.onClickCell(0, 0); });
    QTimer::singleShot(40, &page, [&page]() { page.onClickCell(1, 0); });
    page.onClickCell(0, 0);
    QCOMPARE(server.requestCount(), 2);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "乙营业部" }));
    QCOMPARE(page.seatLabel->text(), QString("席位：000456 2016-03-15"));

    // the late answer was kept
    page.onClickCell(0, 0);
    QCOMPARE(column(page.detailTable, 0), QStringList({ "甲营业部" }));
    QCOMPARE(page.seatLabel->text(), QString("席位：600123 2016-03-15"));
    QCOMPARE(server.requestCount(), 2);
}

void LHBWidgetTest::lateSeatsNeverShowUnderAnotherRow_data()
{
    QTest::addColumn<bool>("lateFailure");
    QTest::addColumn<bool>("newSearch");
    QTest::newRow("another row clicked, seats come late") << false << false;
    QTest::newRow("another row clicked, failure comes late") << true << false;
    QTest::newRow("new search, seats come late") << false << true;
    QTest::newRow("new search, failure comes late") << true << true;
}

void LHBWidgetTest::lateSeatsNeverShowUnderAnotherRow()
{
    QFETCH(bool, lateFailure);
    QFETCH(bool, newSearch);
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-15",
                 TestHttpServer::Reply::gbk(sinaListPage(stockRow({ "600123", "兰花科创", "2016-03-15" })
                                                         + stockRow({ "000456", "样本科技", "2016-03-15" }))));
    server.serveExact(QString(kListPath) + "?tradedate=2016-03-16",
                 TestHttpServer::Reply::gbk(sinaListPage(stockRow({ "300789", "测试电子", "2016-03-16" }))));
    // the first stock's seat page is held for a second
    const QString slowPage = eastmoneySeatPage({ { "甲营业部", "1.00", "0.00", "1.00" } }, {});
    TestHttpServer::Reply slow = lateFailure ? failedAnswer("status", slowPage) : TestHttpServer::Reply::gbk(slowPage);
    slow.delayMs = 1000;
    server.serveExact("/stock/lhb,2016-03-15,600123.html", slow);
    server.serveExact("/stock/lhb,2016-03-15,000456.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "乙营业部", "2.00", "0.00", "2.00" } }, {})));
    const QMap<QString, QStringList> seatsOf { { "600123 兰花科创 2016-03-15", { "甲营业部" } },
                                               { "000456 样本科技 2016-03-15", { "乙营业部" } } };

    LHBWidget page;
    page.dateEdit->setDate(QDate(2016, 3, 15));
    QSignalSpy listed(&page.loader, &DataLoader::sendOK);
    page.onSearch();
    QVERIFY(listed.wait(5000));
    page.resize(900, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    SeatWatch watch(page, seatsOf);
    QTimer::singleShot(100, &page, [&] {
        if (newSearch) {
            page.dateEdit->setDate(QDate(2016, 3, 16));
            QTest::mouseClick(page.searchButton, Qt::LeftButton);
        } else {
            clickRow(page.listView, 1);
        }
    });
    clickRow(page.listView, 0);   // back when the held page has come
    if (newSearch)
        QTRY_COMPARE(listed.count(), 2);
    QTest::qWait(20);   // a last look of the watch
    QCOMPARE(watch.faults, QStringList());
    QVERIFY(page.statusLabel->isHidden());
    // seats that came late are kept for the next click; a failure is not
    QCOMPARE(page.seatCache.contains("600123,2016-03-15"), !lateFailure);

    if (newSearch) {
        QCOMPARE(column(page.listView, 0), QStringList({ "300789" }));
        QCOMPARE(page.detailTable->rowCount(), 0);
        QCOMPARE(page.seatLabel->text(), QStringLiteral("席位：点击上面的股票查看"));
        return;
    }
    QCOMPARE(column(page.detailTable, 0), QStringList({ "乙营业部" }));
    QCOMPARE(page.seatLabel->text(), QStringLiteral("席位：000456 样本科技 2016-03-15"));
    QVERIFY(saveScreenshot(&page, "dragontiger-seats-of-the-selected-row"));

    // back on the first row: its seats, or its failure under its own name
    server.serveExact("/stock/lhb,2016-03-15,600123.html",
                 lateFailure ? failedAnswer("status", slowPage) : TestHttpServer::Reply::gbk(slowPage));
    const int asked = server.requestCount();
    clickRow(page.listView, 0);
    QCOMPARE(server.requestCount(), asked + (lateFailure ? 1 : 0));
    QCOMPARE(watch.faults, QStringList());
    QCOMPARE(page.seatLabel->text(), QStringLiteral("席位：600123 兰花科创 2016-03-15"));
    if (lateFailure) {
        QCOMPARE(page.detailTable->rowCount(), 0);
        QCOMPARE(page.statusLabel->text(),
                 QStringLiteral("600123 兰花科创 2016-03-15的席位下载失败：HTTP 500 Internal Server Error"));
    } else {
        QCOMPARE(column(page.detailTable, 0), QStringList({ "甲营业部" }));
    }
}

void LHBWidgetTest::seatWindowSkipsUnnamedUnitsAndColoursBySide()
{
    VorelStockLHBBS5Widget window;
    window.setSeats(sampleSeats());
    QCOMPARE(seatColours(window.table), QStringList({ "甲营业部/red", "乙营业部/blue", "丙营业部/blue" }));
    window.setSeats({});
    QCOMPARE(window.table->rowCount(), 0);
}

void LHBWidgetTest::seatWindowLoadsTheSeatsOfOneEntry()
{
    TestHttpServer server;
    HostOverride hosts(server);
    server.serveExact("/stock/lhb,2016-03-15,300789.html",
                 TestHttpServer::Reply::gbk(eastmoneySeatPage({ { "机构专用", "700.00", "0.00", "700.00" } },
                                                              { { "乙营业部", "0.00", "100.00", "-100.00" } })));
    VorelStockLHBBS5Widget window;
    window.load("300789", "2016-03-15");
    QCOMPARE(window.titleLabel->text(), QStringLiteral("300789,2016-03-15"));
    QCOMPARE(seatColours(window.table), QStringList({ "机构专用/red", "乙营业部/blue" }));
    QCOMPARE(column(window.table, 1), QStringList({ "700.00", "0.00" }));
}

void LHBWidgetTest::highlighterMarksWholeWordsOnly()
{
    QTextDocument document(QStringLiteral("龙虎榜 股东减持 减持, 减持公告\n再次 减持 龙虎榜"));
    Highlighter highlighter(&document);
    highlighter.setTextQueue({ "减持", "龙虎榜" });
    QVERIFY(markedRanges(&document, Qt::darkBlue).isEmpty());   // marked only once re-highlighted
    highlighter.rehighlight();
    QCOMPARE(markedRanges(&document, Qt::darkBlue),
             QStringList({ "0+3", "9+2", "21+2", "24+3" }));

    highlighter.setTextQueue({});
    highlighter.rehighlight();
    QVERIFY(markedRanges(&document, Qt::darkBlue).isEmpty());
}

void LHBWidgetTest::highlighterWordsMatchingNothingDoNotHang()
{
    QTextDocument document(QStringLiteral("ab abc a\nb"));
    Highlighter highlighter(&document);
    highlighter.setTextQueue({ "", "x*", "abc?", "(" });
    highlighter.rehighlight();
    QCOMPARE(markedRanges(&document, Qt::darkBlue), QStringList({ "0+2", "3+3" }));
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<LHBWidgetTest>(argc, argv);
}

#include "tst_lhbwidget.moc"
