#include "core/traderecord.h"
#include "core/vorelapplication.h"
#include "tests/support/barbuilder.h"
#include "tests/support/columnfit.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"
#include "widgets/linedelegate.h"
#include "widgets/stocklistview.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QStringList headers(const QTableWidget* view)
{
    QStringList labels;
    for (int c = 0; c < view->columnCount(); ++c)
        labels << view->horizontalHeaderItem(c)->text();
    return labels;
}

QStringList rowTexts(const QTableWidget* view, int row)
{
    QStringList texts;
    for (int c = 0; c < view->columnCount(); ++c) {
        const QTableWidgetItem* cell = view->item(row, c);
        texts << (cell ? cell->text() : QStringLiteral("<none>"));
    }
    return texts;
}

Stock makeStock(const QString& code, const QString& name, float change)
{
    return StockBuilder().code(code).name(name).changePercent(change).close(10);
}

// A stock whose `field` holds `value`; it has comments in two categories and
// a closed trade, so that every view lists it.
Stock stockWith(const QString& field, double value, int serial)
{
    Stock s = makeStock(QStringLiteral("60000%1").arg(serial), QStringLiteral("s%1").arg(serial), 1);
    s.comments[0] = QStringList{"a"};
    s.comments[1] = QStringList{"b"};
    auto* trade = new TradeRecord;
    trade->buyDate = "2017-03-01";
    trade->sellDate = "2017-03-02";
    trade->holdDays = 1;
    s.trade = trade;
    const float number = float(value);
    if (field == "close") s.close = number;
    else if (field == "volume") s.volume = number;
    else if (field == "amount") s.amount = number;
    else if (field == "changePercent") s.changePercent = number;
    else if (field == "buySellRatio") s.buySellRatio = number;
    else if (field == "buyVolume1") s.buyVolume1 = int(value);
    else if (field == "bidScore") s.bidScore = int(value);
    else if (field == "totals") s.totals = int(value);
    else if (field == "outstanding") s.outstanding = int(value);
    else if (field == "buyPrice") trade->buyPrice = number;
    else if (field == "sellPrice") trade->sellPrice = number;
    else if (field == "holdDays") trade->holdDays = int(value);
    else if (field == "gainPercent") trade->gainPercent = number;
    return s;
}

}   // namespace

class StockListViewTest : public QObject
{
    Q_OBJECT
private slots:
    void factoryMakesEveryViewType_data();
    void factoryMakesEveryViewType();
    void unknownTypeGivesNull();
    void sameCodeTwiceGivesTwoRowsAndTheLastRecord();
    void numericColumnsSortByValueTextColumnsByText();
    void everyNumberColumnOfEveryViewSortsByValue_data();
    void everyNumberColumnOfEveryViewSortsByValue();
    void rowStaysWholeWhileTheViewIsSorted();
    void auctionRowsAreRedFromZeroAndGreenBelow();
    void basicViewFormatsListingDate_data();
    void basicViewFormatsListingDate();
    void scannerViewListsStocksWithTwoCategoriesOrMore();
    void strategyViewShowsTradesAndSendsTheirDate();
    void numbersShowInPlainForm();
    void codesDatesTypesAndHeadersShowWhole_data();
    void codesDatesTypesAndHeadersShowWhole();
    void contextMenuActsOnTheRowUnderTheMouse();
    void disabledMenuStaysClosed();
    void menuActionsWithoutARowDoNothing();
    void rowsAreUnderlinedWithoutGrid();
};

void StockListViewTest::factoryMakesEveryViewType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("0 auction") << 0 << QStringList{"代码", "名称", "得分", "价格", "买卖比", "涨幅", "买1", "买2", "买3", "买4", "买5",
                                                 "卖1", "卖2", "卖3", "卖4", "卖5", "行业", "地域", "市值"};
    QTest::newRow("1 dragon-tiger") << 1 << QStringList{"代码", "名称", "价格", "成交量(万手)", "成交额", "类型", "日期"};
    QTest::newRow("2 dragon-tiger pk") << 2 << QStringList{"代码", "名称", "涨幅", "类型", "点评", "日期"};
    QTest::newRow("3 end of day") << 3 << QStringList{"代码", "名称", "涨幅", "现价", "昨收", "今开", "最高", "最低", "成交量", "行业"};
    QTest::newRow("4 basic") << 4 << QStringList{"代码", "名称", "行业", "地域", "股本", "流通股本", "上市日期"};
    QTest::newRow("5 scanner") << 5 << QStringList{"代码", "名称", "涨幅", "数目", "趋势指标", "成交量指标", "价格位置", "缺口", "K线", "形态"};
    QTest::newRow("6 strategy") << 6 << QStringList{"序号", "代码", "名称", "买入日期", "买入价位", "卖出日期", "卖出价位", "持股天数", "涨幅", "策略"};
}

void StockListViewTest::factoryMakesEveryViewType()
{
    QFETCH(int, type);
    QFETCH(QStringList, labels);
    QScopedPointer<StockListView> view(createStockListView(type));
    QVERIFY(view);
    QCOMPARE(headers(view.data()), labels);
}

void StockListViewTest::unknownTypeGivesNull()
{
    QVERIFY(!createStockListView(7));
    QVERIFY(!createStockListView(-1));
}

void StockListViewTest::sameCodeTwiceGivesTwoRowsAndTheLastRecord()
{
    QScopedPointer<StockListView> view(createStockListView(3));
    view->addStock(makeStock("600000", "first", 1));
    view->addStock(makeStock("600000", "second", 2));
    QCOMPARE(view->rowCount(), 2);
    QCOMPARE(view->stocks.size(), 1);
    QCOMPARE(view->stocks.value("600000").name, QStringLiteral("second"));

    view->clearStocks();
    QCOMPARE(view->rowCount(), 0);
    QVERIFY(view->stocks.isEmpty());
}

void StockListViewTest::numericColumnsSortByValueTextColumnsByText()
{
    QScopedPointer<StockListView> view(createStockListView(3));
    view->addStocks({makeStock("000002", "b", 10.5f), makeStock("000001", "a", 9.8f), makeStock("000003", "c", -2)});
    view->sortByColumn(2, Qt::AscendingOrder);   // 涨幅: numeric
    QCOMPARE(view->item(0, 2)->text(), QStringLiteral("-2"));
    QCOMPARE(view->item(1, 2)->text(), QStringLiteral("9.8"));
    QCOMPARE(view->item(2, 2)->text(), QStringLiteral("10.5"));

    view->sortByColumn(1, Qt::DescendingOrder);   // 名称: text
    QCOMPARE(view->item(0, 1)->text(), QStringLiteral("c"));
    QCOMPARE(view->item(2, 1)->text(), QStringLiteral("a"));

    OrderTableWidgetItem number("9.8"), larger("10.5"), word("abc");
    QVERIFY(number < larger);
    QVERIFY(!(larger < number));
    QVERIFY(word < number);   // a non-number counts as 0
    // one order whichever cell is asked: equal values go by text
    OrderTableWidgetItem zero("0"), question("?"), other("abd");
    QVERIFY(zero < question && !(question < zero));
    QVERIFY(word < other && !(other < word));
    QVERIFY(OrderTableWidgetItem("-1.20%") < OrderTableWidgetItem("0.5%"));
    QVERIFY(OrderTableWidgetItem("9%") < OrderTableWidgetItem("10%"));

    // a cell widget's column sorts by what the widget shows
    QTableWidget table(3, 1);
    const QStringList shown{"12.80", "3.50", "8.17"};
    for (int r = 0; r < 3; ++r)
        setSortedCellWidget(&table, r, 0, new QLabel(shown.at(r)), shown.at(r));
    table.sortItems(0, Qt::AscendingOrder);
    QStringList sorted;
    for (int r = 0; r < 3; ++r)
        sorted << qobject_cast<QLabel*>(table.cellWidget(r, 0))->text();
    QCOMPARE(sorted, (QStringList{"3.50", "8.17", "12.80"}));
    QCOMPARE(table.item(0, 0)->text(), QString());   // nothing drawn under the label
}

void StockListViewTest::everyNumberColumnOfEveryViewSortsByValue_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QList<double>>("values");   // in text order, not in number order
    const QList<double> prices{11.34, 23.05, 8.17};
    const QList<double> changes{-1.25, -2.5, 10};
    const QList<double> counts{1200, 15000, 900};
    QTest::newRow("auction 得分") << 0 << 2 << "bidScore" << QList<double>{100, 60, 9};
    QTest::newRow("auction 价格") << 0 << 3 << "close" << prices;
    QTest::newRow("auction 买卖比") << 0 << 4 << "buySellRatio" << prices;
    QTest::newRow("auction 涨幅") << 0 << 5 << "changePercent" << changes;
    QTest::newRow("auction 买1") << 0 << 6 << "buyVolume1" << counts;
    QTest::newRow("dragon-tiger 价格") << 1 << 2 << "close" << prices;
    QTest::newRow("dragon-tiger 成交量") << 1 << 3 << "volume" << QList<double>{3201.5, 512.7, 77.4};
    QTest::newRow("dragon-tiger 成交额") << 1 << 4 << "amount" << QList<double>{10973.9, 4115.2, 905.6};
    QTest::newRow("dragon-tiger pk 涨幅") << 2 << 2 << "changePercent" << changes;
    QTest::newRow("end of day 涨幅") << 3 << 2 << "changePercent" << changes;
    QTest::newRow("end of day 现价") << 3 << 3 << "close" << prices;
    QTest::newRow("end of day 成交量") << 3 << 8 << "volume" << QList<double>{51270312, 9000000, 52366400};
    QTest::newRow("basic 股本") << 4 << 4 << "totals" << counts;
    QTest::newRow("basic 流通股本") << 4 << 5 << "outstanding" << counts;
    QTest::newRow("scanner 涨幅") << 5 << 2 << "changePercent" << changes;
    QTest::newRow("strategy 买入价位") << 6 << 4 << "buyPrice" << prices;
    QTest::newRow("strategy 卖出价位") << 6 << 6 << "sellPrice" << prices;
    QTest::newRow("strategy 持股天数") << 6 << 7 << "holdDays" << QList<double>{12, 3, 100};
    QTest::newRow("strategy 涨幅") << 6 << 8 << "gainPercent" << changes;
}

void StockListViewTest::everyNumberColumnOfEveryViewSortsByValue()
{
    QFETCH(int, type);
    QFETCH(int, column);
    QFETCH(QString, field);
    QFETCH(QList<double>, values);
    QScopedPointer<StockListView> view(createStockListView(type));
    for (int i = 0; i < values.size(); ++i)
        view->addStock(stockWith(field, values.at(i), i));
    QCOMPARE(view->rowCount(), values.size());
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        view->sortByColumn(column, order);
        QList<double> shown;
        for (int r = 0; r < view->rowCount(); ++r)
            shown << view->item(r, column)->text().toDouble();
        QList<double> expected = values;
        std::sort(expected.begin(), expected.end());
        if (order == Qt::DescendingOrder)
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(shown, expected);
    }
}

void StockListViewTest::rowStaysWholeWhileTheViewIsSorted()
{
    QScopedPointer<StockListView> view(createStockListView(3));
    view->sortByColumn(2, Qt::DescendingOrder);
    for (int i = 0; i < 20; ++i) {
        Stock stock = makeStock(QStringLiteral("6000%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("n%1").arg(i), i % 7);
        stock.industry = QStringLiteral("ind%1").arg(i);
        view->addStock(stock);
    }
    QCOMPARE(view->rowCount(), 20);
    QVERIFY(view->isSortingEnabled());
    for (int r = 0; r < view->rowCount(); ++r) {
        const QString code = view->item(r, 0)->text();
        const Stock& stock = view->stocks[code];
        QCOMPARE(view->item(r, 1)->text(), stock.name);
        QCOMPARE(view->item(r, 9)->text(), stock.industry);
        if (r > 0)
            QVERIFY(view->item(r - 1, 2)->text().toFloat() >= view->item(r, 2)->text().toFloat());
    }
}

void StockListViewTest::auctionRowsAreRedFromZeroAndGreenBelow()
{
    QScopedPointer<StockListView> view(createStockListView(0));
    view->setSortingEnabled(false);
    Stock rising = makeStock("600001", "r", 0.0f);
    rising.outstanding = 20000;
    rising.buyVolume1 = 300;
    view->addStock(rising);
    view->addStock(makeStock("600002", "f", -0.01f));
    for (int c = 0; c < 19; ++c) {
        QCOMPARE(view->item(0, c)->foreground().color(), QColor(Qt::red));
        QCOMPARE(view->item(1, c)->foreground().color(), QColor(Qt::green));
    }
    QCOMPARE(view->item(0, 5)->text(), QStringLiteral("0.00"));
    QCOMPARE(view->item(1, 5)->text(), QStringLiteral("-0.01"));
    QCOMPARE(view->item(0, 6)->text(), QStringLiteral("300.00"));
    QCOMPARE(view->item(0, 18)->text(), QStringLiteral("20.00"));   // 20000 x 10 / 10000
    QCOMPARE(view->item(0, 15)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    QVERIFY(view->item(0, 16)->textAlignment() != int(Qt::AlignHCenter | Qt::AlignVCenter));
}

void StockListViewTest::basicViewFormatsListingDate_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("eight digits") << "20100105" << "2010-01-05";
    QTest::newRow("already dashed") << "2010-01-05" << "2010-01-05";
    QTest::newRow("short") << "2010" << "2010";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("eight non-digits") << "unknown!" << "unknown!";
}

void StockListViewTest::basicViewFormatsListingDate()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QScopedPointer<StockListView> view(createStockListView(4));
    Stock stock = makeStock("000001", "平安银行", 0);
    stock.timeToMarket = stored;
    stock.totals = 1940591;
    view->addStock(stock);
    QCOMPARE(view->item(0, 6)->text(), shown);
    QCOMPARE(view->item(0, 4)->text(), QStringLiteral("1940591"));
}

void StockListViewTest::scannerViewListsStocksWithTwoCategoriesOrMore()
{
    QScopedPointer<StockListView> view(createStockListView(5));
    Stock single = makeStock("600001", "one", 1);
    single.comments[0] = QStringList{"5,10日均线金叉"};
    Stock full = makeStock("600002", "two", 1.234f);
    full.comments[0] = QStringList{"5,10日均线金叉", "MACD金叉"};
    full.comments[6] = QStringList{"60日新高,前60日最高:12.5"};
    full.comments[5] = QStringList{"KDJ超买"};
    view->addStock(single);
    view->addStock(full);
    QCOMPARE(view->rowCount(), 1);
    QCOMPARE(view->stocks.size(), 2);
    QCOMPARE(rowTexts(view.data(), 0),
             (QStringList{"600002", "two", "1.23", "3", "5,10日均线金叉,MACD金叉", "", "60日新高,前60日最高:12.5", "", "", ""}));
}

void StockListViewTest::strategyViewShowsTradesAndSendsTheirDate()
{
    QScopedPointer<StockListView> view(createStockListView(6));
    view->setSortingEnabled(false);
    Stock none = makeStock("600000", "none", 0);
    view->addStock(none);
    QCOMPARE(view->rowCount(), 0);

    auto* open = new TradeRecord;
    open->buyDate = "2017-03-01";
    open->buyPrice = 12.5f;
    open->strategy = "hammer";
    Stock held = makeStock("600001", "held", 0);
    held.trade = open;
    auto* closed = new TradeRecord;
    closed->buyDate = "2017-03-01";
    closed->sellDate = "2017-03-09";
    closed->holdDays = 6;
    closed->gainPercent = 4.5f;
    Stock sold = makeStock("600002", "sold", 0);
    sold.trade = closed;
    view->addStocks({held, sold, held});   // the same record twice is deleted once

    QCOMPARE(rowTexts(view.data(), 0),
             (QStringList{"1", "600001", "held", "2017-03-01", "12.5", "", "0", "0", "?", "hammer"}));
    QCOMPARE(view->item(1, 8)->text(), QStringLiteral("4.5"));

    QSignalSpy spy(view.data(), &StockListView::senderData);
    view->onClick(0, 3);
    view->onClick(1, 0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QList<QVariant>{"600001", "2017-03-01"}));
    QCOMPARE(spy.at(1), (QList<QVariant>{"600002", "2017-03-09"}));
}

void StockListViewTest::numbersShowInPlainForm()
{
    Stock big = makeStock("600000", "big", 1.5f);
    big.close = 12.34f;
    big.volume = 51270312;
    big.amount = 2147483648.0f;
    QScopedPointer<StockListView> dragonTiger(createStockListView(1));
    dragonTiger->addStock(big);
    QCOMPARE(rowTexts(dragonTiger.data(), 0).mid(2, 3), (QStringList{"12.34", "51270312", "2147483648"}));
    Stock small = big;
    small.volume = 12.5f;
    small.amount = 0.00001f;
    dragonTiger->addStock(small);
    QCOMPARE(rowTexts(dragonTiger.data(), 1).mid(2, 3), (QStringList{"12.34", "12.5", "0.00001"}));
    // more significant digits than six: six are shown, rounded
    Stock precise = big;
    precise.close = 12.345678f;
    precise.volume = 1234.5678f;
    precise.amount = 0.000123456789f;
    dragonTiger->addStock(precise);
    QCOMPARE(rowTexts(dragonTiger.data(), 2).mid(2, 3), (QStringList{"12.3457", "1234.57", "0.000123457"}));

    QScopedPointer<StockListView> quotes(createStockListView(3));
    big.high = 1234567.5f;
    big.low = -0.5f;
    quotes->addStock(big);
    const QStringList row = rowTexts(quotes.data(), 0);
    QCOMPARE(row.at(3), QStringLiteral("12.34"));
    QCOMPARE(row.at(6), QStringLiteral("1234568"));
    QCOMPARE(row.at(7), QStringLiteral("-0.5"));
    QCOMPARE(row.at(8), QStringLiteral("51270312"));
    // large volumes still sort by value
    Stock smaller = big;
    smaller.code = "600001";
    smaller.volume = 9000000;
    quotes->addStock(smaller);
    quotes->sortByColumn(8, Qt::AscendingOrder);
    QCOMPARE(quotes->item(0, 0)->text(), QStringLiteral("600001"));
}

void StockListViewTest::codesDatesTypesAndHeadersShowWhole_data()
{
    addFontSizeRows();
}

void StockListViewTest::codesDatesTypesAndHeadersShowWhole()
{
    QFETCH(int, pointSize);
    FontOverride font(pointSize);
    Stock listed = makeStock("600000", QStringLiteral("浦发银行"), 1.5f);
    listed.volume = 51270312;
    listed.amount = 2147483648.0f;
    listed.lhbType = QStringLiteral("日涨幅偏离值达到7%的前五只证券");
    listed.date = "2026-12-08";
    QScopedPointer<StockListView> dragonTiger(createStockListView(1));
    dragonTiger->addStock(listed);
    QCOMPARE(cutTexts(dragonTiger.data(), {0, 2, 3, 4, 5, 6}).join(" | "), QString());

    auto* trade = new TradeRecord;
    trade->buyDate = "2026-11-30";
    trade->sellDate = "2026-12-08";
    trade->buyPrice = 1234.56f;
    trade->holdDays = 6;
    listed.trade = trade;
    QScopedPointer<StockListView> trades(createStockListView(6));
    trades->addStock(listed);
    QCOMPARE(cutTexts(trades.data(), {0, 1, 3, 4, 5}).join(" | "), QString());

    // headers show whole before any row arrives
    QScopedPointer<StockListView> quotes(createStockListView(3));
    QCOMPARE(cutTexts(quotes.data(), {}).join(" | "), QString());
}

void StockListViewTest::contextMenuActsOnTheRowUnderTheMouse()
{
    QScopedPointer<StockListView> view(createStockListView(3));
    view->resize(600, 300);
    view->setSortingEnabled(false);
    view->addStocks({makeStock("600001", "a", 1), makeStock("600002", "b", 2), makeStock("600003", "c", 3)});
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.data()));

    view->onClick(0, 0);
    const QPoint third = view->visualRect(view->model()->index(2, 1)).center();
    view->showMenu(third);
    QCOMPARE(view->row, 2);
    QVERIFY(view->menu->isVisible());
    view->menu->hide();

    view->showMenu(QPoint(5, view->viewport()->height() - 5));   // below every row
    QCOMPARE(view->row, -1);
    view->menu->hide();
}

void StockListViewTest::disabledMenuStaysClosed()
{
    QScopedPointer<StockListView> view(createStockListView(6));
    view->setMenuEnabled(false);
    view->showMenu(QPoint(1, 1));
    QVERIFY(!view->menu->isVisible());
}

void StockListViewTest::menuActionsWithoutARowDoNothing()
{
    TestHttpServer server;
    HostOverride hosts(server);
    QScopedPointer<StockListView> view(createStockListView(4));
    view->addStock(makeStock("600001", "a", 1));
    view->showDesc();
    view->showStockHolderView();
    view->showKChart();
    view->row = 5;
    view->showDesc();
    QCOMPARE(server.requestCount(), 0);
}

void StockListViewTest::rowsAreUnderlinedWithoutGrid()
{
    QScopedPointer<StockListView> view(createStockListView(3));
    view->setSortingEnabled(false);
    view->setAlternatingRowColors(false);
    view->resize(600, 200);
    view->addStocks({makeStock("600001", "a", 1), makeStock("600002", "b", 2)});
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.data()));
    view->setCurrentCell(0, 1);

    auto* delegate = qobject_cast<LineDelegate*>(view->itemDelegate());
    QVERIFY(delegate);
    const QColor line = delegate->pen.color();
    QVERIFY(line.alpha() > 0);   // a transparent pen would draw no line at all

    const QImage image = view->viewport()->grab().toImage();
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    const QRect next = view->visualRect(view->model()->index(0, 2));
    // The line runs under the whole row.
    for (int x : {cell.left() + 2, cell.center().x(), next.center().x()})
        QCOMPARE(QColor(image.pixel(x, cell.bottom())), line);
    // No vertical grid line between the cells: across the row, from the first
    // cell's left edge into the next cell, every pixel above the text has the
    // cell's own background (the selected row's as well as a plain one's).
    for (int r = 0; r < 2; ++r) {
        const QRect first = view->visualRect(view->model()->index(r, 1));
        const QRect second = view->visualRect(view->model()->index(r, 2));
        const int y = first.top() + 2;
        const QColor background(image.pixel(first.center().x(), y));
        QVERIFY(background != line);
        for (int x = first.left(); x <= second.left() + 1; ++x)
            QCOMPARE(QColor(image.pixel(x, y)), background);
    }
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<StockListViewTest>(argc, argv);
}

#include "tst_stocklistview.moc"
