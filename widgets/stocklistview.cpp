#include "widgets/stocklistview.h"

#include "core/textutils.h"
#include "core/traderecord.h"
#include "core/vorelapplication.h"
#include "datasource/poolaccess.h"
#include "datasource/stockcompanyinfo.h"
#include "datasource/webinterface.h"
#include "widgets/linedelegate.h"
#include "widgets/pagestatus.h"
#include "widgets/reporttable.h"
#include "widgets/webviewer.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>

#include <cmath>

namespace {

const Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;

// Six significant digits, as the 'g' form gives them, but never an exponent:
// a volume of 51270312 reads so, not "5.12703e+07", and 12.34 stays 12.34.
QString plainText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QString::number(value == 0 ? 0.0 : value);
    const int leadingDigit = int(std::floor(std::log10(std::fabs(value))));
    const int decimals = qBound(0, 5 - leadingDigit, 15);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString f2Text(double value)
{
    return QString::number(value, 'f', 2);
}

QString intText(qint64 value)
{
    return QStringLiteral("%1").arg(value);
}

// "yyyyMMdd" as "yyyy-MM-dd"; anything else as it stands.
QString listingDateText(const QString& timeToMarket)
{
    if (timeToMarket.size() != 8)
        return timeToMarket;
    for (const QChar c : timeToMarket) {
        if (!c.isDigit())
            return timeToMarket;
    }
    QString text = timeToMarket;
    text.insert(6, QLatin1Char('-'));
    text.insert(4, QLatin1Char('-'));
    return text;
}

QString joinedComments(const Stock& stock, int category)
{
    return stock.comments.value(category).join(QLatin1Char(','));
}

QString sortTextOf(const QTableWidgetItem& item)
{
    const QVariant shown = item.data(OrderTableWidgetItem::SortTextRole);
    return shown.isValid() ? shown.toString() : item.text();
}

double sortNumberOf(const QString& text)
{
    QString number = text.trimmed();
    if (number.endsWith(QLatin1Char('%')))
        number.chop(1);
    bool isNumber = false;
    const double value = number.toDouble(&isNumber);
    return isNumber && std::isfinite(value) ? value : 0.0;
}

}   // namespace

bool OrderTableWidgetItem::operator<(const QTableWidgetItem& other) const
{
    // One order for the whole column, whichever cell is asked: by value,
    // then by text.
    const QString mine = sortTextOf(*this);
    const QString theirs = sortTextOf(other);
    const double a = sortNumberOf(mine);
    const double b = sortNumberOf(theirs);
    if (a != b)
        return a < b;
    return mine < theirs;
}

void setSortedCellWidget(QTableWidget* table, int row, int column, QWidget* widget, const QString& shownText)
{
    auto* cell = new OrderTableWidgetItem;
    cell->setData(OrderTableWidgetItem::SortTextRole, shownText);
    table->setItem(row, column, cell);
    table->setCellWidget(row, column, widget);
}

// ---------------------------------------------------------------------------

StockListView::StockListView(QWidget* parent)
    : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setVisible(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setShowGrid(false);
    setItemDelegate(new LineDelegate(this));
    setSortingEnabled(true);
    setContextMenuPolicy(Qt::CustomContextMenu);

    menu = new QMenu(this);
    connect(menu->addAction(QStringLiteral("简介")), &QAction::triggered, this, &StockListView::showDesc);
    connect(menu->addAction(QStringLiteral("K线")), &QAction::triggered, this, &StockListView::showKChart);
    connect(menu->addAction(QStringLiteral("股东")), &QAction::triggered, this,
            &StockListView::showStockHolderView);
    connect(this, &QWidget::customContextMenuRequested, this, &StockListView::showMenu);
    connect(this, &QTableWidget::cellClicked, this, &StockListView::onClick);
}

StockListView::~StockListView() = default;

void StockListView::setMenuEnabled(bool on)
{
    menuEnabled = on;
}

void StockListView::clearStocks()
{
    clearContents();
    setRowCount(0);
    stocks.clear();
    row = -1;
    column = -1;
}

int StockListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void StockListView::addStock(Stock stock)
{
    appendRow(stock);
    stocks[stock.code] = stock;
}

void StockListView::addStocks(QVector<Stock> list)
{
    for (const Stock& stock : list)
        addStock(stock);
}

void StockListView::onClick(int r, int c)
{
    row = r;
    column = c;
    // What the menu's windows belong to is the selected row (a click has
    // selected it already).
    if (item(r, 0))
        selectRow(r);
    onRowClicked(r, c);
}

void StockListView::onRowClicked(int, int)
{
}

void StockListView::appendRow(const Stock&)
{
}

void StockListView::showMenu(QPoint point)
{
    if (!menuEnabled)
        return;
    // The menu acts on the row under the mouse, not on whatever row was
    // clicked before; a right-click beside every row acts on none.
    const QModelIndex index = indexAt(point);
    row = index.isValid() ? index.row() : -1;
    column = index.isValid() ? index.column() : -1;
    if (row >= 0)
        selectRow(row);
    menu->popup(QCursor::pos());
}

QString StockListView::codeAtRow(int r, bool allowSecondColumn) const
{
    const QTableWidgetItem* first = item(r, 0);
    if (!first)
        return QString();
    QString code = first->text();
    if (allowSecondColumn && code.size() != 6) {
        const QTableWidgetItem* second = item(r, 1);
        code = second ? second->text() : QString();
    }
    return code;
}

void StockListView::showKChart()
{
    const QString code = codeAtRow(row, false);
    if (code.isEmpty())
        return;
    if (vorelApp())
        vorelApp()->showChart(code);
}

void StockListView::showStockHolderView()
{
    openProfile(codeAtRow(row, false), false);
}

void StockListView::showDesc()
{
    openProfile(codeAtRow(row, true), true);
}

void StockListView::openProfile(const QString& code, bool description)
{
    if (!isStockCodeForPath(code))
        return;
    const QString subject = (description ? QStringLiteral("简介,") : QStringLiteral("股东,")) + code;
    // Asked again while its answer is on the way: one window comes.
    if (profileRequests.isAsking(subject))
        return;
    const int ticket = profileRequests.begin(subject);
    QPointer<StockListView> self(this);
    QString failure;
    const QString text = loadCompanyText(code, this, &failure);
    // Another profile asked for, another row selected or the list cleared
    // during the wait: this answer belongs to none of them.
    if (!self || !profileRequests.finish(ticket) || codeAtRow(selectedRow(), description) != code)
        return;
    failure = answerFailure(failure, hasCompanyInfoForm(text));
    const QString stock = stockLabel(code);
    QString html;
    if (failure.isEmpty())
        html = description ? companyDescriptionHtml(code, text) : stockHolderHtml(stock, text);
    showProfile(stock, html, failure);
}

QString StockListView::stockLabel(const QString& code) const
{
    QString name = stocks.value(code).name;
    if (name.isEmpty())
        name = applicationStockPool().value(code).name;
    return name.isEmpty() ? code : code + QLatin1Char(' ') + name;
}

void StockListView::showProfile(const QString& stock, const QString& html, const QString& failure)
{
    QString content = html;
    if (!failure.isEmpty())
        content = QStringLiteral("<p>%1</p>").arg(failureText(QStringLiteral("公司资料获取"), failure).toHtmlEscaped());
    WebViewer viewer(QStringLiteral("股东信息 - %1").arg(stock), this);
    viewer.setContent(content, true);
    viewer.exec();
}

int StockListView::beginRow()
{
    // With sorting on, Qt moves a row as soon as its sort cell is set and the
    // later cells would land in another stock's row.
    sortingWasEnabled = isSortingEnabled();
    setSortingEnabled(false);
    const int r = rowCount();
    insertRow(r);
    return r;
}

void StockListView::endRow()
{
    // Codes, dates and types show whole in any desktop font; with sorting off
    // the row being filled is still the last one.
    widenColumnsToRow(this, rowCount() - 1);
    setSortingEnabled(sortingWasEnabled);
}

void StockListView::setCell(int r, int c, QTableWidgetItem* cell, bool centred)
{
    if (centred)
        cell->setTextAlignment(kCentred);
    setItem(r, c, cell);
}

// ---------------------------------------------------------------------------

BidStockListView::BidStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(19);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("得分"),
                               QStringLiteral("价格"), QStringLiteral("买卖比"), QStringLiteral("涨幅"),
                               QStringLiteral("买1"), QStringLiteral("买2"), QStringLiteral("买3"),
                               QStringLiteral("买4"), QStringLiteral("买5"), QStringLiteral("卖1"),
                               QStringLiteral("卖2"), QStringLiteral("卖3"), QStringLiteral("卖4"),
                               QStringLiteral("卖5"), QStringLiteral("行业"), QStringLiteral("地域"),
                               QStringLiteral("市值")});
    widenColumnsToHeaders(this);
}

void BidStockListView::appendRow(const Stock& s)
{
    const QStringList texts = {
        s.code, s.name, intText(s.bidScore), plainText(s.close), plainText(s.buySellRatio), f2Text(s.changePercent),
        f2Text(uint(s.buyVolume1)), f2Text(uint(s.buyVolume2)), f2Text(uint(s.buyVolume3)),
        f2Text(uint(s.buyVolume4)), f2Text(uint(s.buyVolume5)),
        f2Text(uint(s.sellVolume1)), f2Text(uint(s.sellVolume2)), f2Text(uint(s.sellVolume3)),
        f2Text(uint(s.sellVolume4)), f2Text(uint(s.sellVolume5)),
        s.industry, s.area, f2Text(s.outstanding * s.close / 10000.0)};
    const QColor colour = s.changePercent >= 0 ? QColor(Qt::red) : QColor(Qt::green);
    const int r = beginRow();
    for (int c = 0; c < texts.size(); ++c) {
        auto* cell = new OrderTableWidgetItem(texts.at(c));
        cell->setForeground(colour);
        setCell(r, c, cell, c <= 15);
    }
    endRow();
}

// ---------------------------------------------------------------------------

LHBStockListView::LHBStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(7);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("价格"),
                               QStringLiteral("成交量(万手)"), QStringLiteral("成交额"), QStringLiteral("类型"),
                               QStringLiteral("日期")});
    widenColumnsToHeaders(this);
}

void LHBStockListView::appendRow(const Stock& s)
{
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(s.code), true);
    setCell(r, 1, new QTableWidgetItem(s.name), true);
    setCell(r, 2, new OrderTableWidgetItem(plainText(s.close)), true);
    setCell(r, 3, new OrderTableWidgetItem(plainText(s.volume)), true);
    setCell(r, 4, new OrderTableWidgetItem(plainText(s.amount)), true);
    setCell(r, 5, new QTableWidgetItem(s.lhbType), false);
    setCell(r, 6, new QTableWidgetItem(s.date), true);
    endRow();
}

// ---------------------------------------------------------------------------

LHBPKStockListView::LHBPKStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(6);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("涨幅"),
                               QStringLiteral("类型"), QStringLiteral("点评"), QStringLiteral("日期")});
    setColumnWidths(this, {64, 64, 64, 240, 240, 100});
}

void LHBPKStockListView::appendRow(const Stock& s)
{
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(s.code), true);
    setCell(r, 1, new QTableWidgetItem(s.name), true);
    setCell(r, 2, new OrderTableWidgetItem(f2Text(s.changePercent)), true);
    setCell(r, 3, new QTableWidgetItem(s.lhbType), false);
    setCell(r, 4, new QTableWidgetItem(s.text3), false);
    setCell(r, 5, new QTableWidgetItem(s.date), true);
    endRow();
}

// ---------------------------------------------------------------------------

OCHLBasicStockListView::OCHLBasicStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(10);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("涨幅"),
                               QStringLiteral("现价"), QStringLiteral("昨收"), QStringLiteral("今开"),
                               QStringLiteral("最高"), QStringLiteral("最低"), QStringLiteral("成交量"),
                               QStringLiteral("行业")});
    widenColumnsToHeaders(this);
}

void OCHLBasicStockListView::appendRow(const Stock& s)
{
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(s.code), true);
    setCell(r, 1, new QTableWidgetItem(s.name), true);
    const float numbers[] = {s.changePercent, s.close, s.preClose, s.open, s.high, s.low, s.volume};
    for (int i = 0; i < 7; ++i)
        setCell(r, 2 + i, new OrderTableWidgetItem(plainText(numbers[i])), true);
    setCell(r, 9, new QTableWidgetItem(s.industry), true);
    endRow();
}

// ---------------------------------------------------------------------------

BasicStockListView::BasicStockListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(7);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("行业"),
                               QStringLiteral("地域"), QStringLiteral("股本"), QStringLiteral("流通股本"),
                               QStringLiteral("上市日期")});
    widenColumnsToHeaders(this);
}

void BasicStockListView::appendRow(const Stock& s)
{
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(s.code), true);
    setCell(r, 1, new QTableWidgetItem(s.name), true);
    setCell(r, 2, new QTableWidgetItem(s.industry), true);
    setCell(r, 3, new QTableWidgetItem(s.area), true);
    setCell(r, 4, new OrderTableWidgetItem(intText(s.totals)), true);
    setCell(r, 5, new OrderTableWidgetItem(intText(s.outstanding)), true);
    setCell(r, 6, new QTableWidgetItem(listingDateText(s.timeToMarket)), true);
    endRow();
}

// ---------------------------------------------------------------------------

StockScannerListView::StockScannerListView(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(10);
    setHorizontalHeaderLabels({QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("涨幅"),
                               QStringLiteral("数目"), QStringLiteral("趋势指标"), QStringLiteral("成交量指标"),
                               QStringLiteral("价格位置"), QStringLiteral("缺口"), QStringLiteral("K线"),
                               QStringLiteral("形态")});
    widenColumnsToHeaders(this);
}

void StockScannerListView::appendRow(const Stock& s)
{
    if (s.comments.size() < 2)
        return;
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(s.code), true);
    setCell(r, 1, new QTableWidgetItem(s.name), true);
    setCell(r, 2, new OrderTableWidgetItem(f2Text(s.changePercent)), true);
    setCell(r, 3, new OrderTableWidgetItem(intText(s.comments.size())), true);
    // trend, volume, price position, gap, candlestick, shape
    const int categories[] = {0, 1, 6, 4, 2, 3};
    for (int i = 0; i < 6; ++i)
        setCell(r, 4 + i, new QTableWidgetItem(joinedComments(s, categories[i])), 4 + i <= 8);
    endRow();
}

// ---------------------------------------------------------------------------

StockListViewStrategy::StockListViewStrategy(QWidget* parent)
    : StockListView(parent)
{
    setColumnCount(10);
    setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("代码"), QStringLiteral("名称"),
                               QStringLiteral("买入日期"), QStringLiteral("买入价位"), QStringLiteral("卖出日期"),
                               QStringLiteral("卖出价位"), QStringLiteral("持股天数"), QStringLiteral("涨幅"),
                               QStringLiteral("策略")});
    setColumnWidths(this, {36, 72, 72, 72, 72, 72, 72, 72, 72, 72});
}

StockListViewStrategy::~StockListViewStrategy()
{
    // A record handed in twice (or under two codes) is still deleted once.
    qDeleteAll(ownedTrades);
}

void StockListViewStrategy::appendRow(const Stock& s)
{
    if (!s.trade)
        return;
    ownedTrades.insert(s.trade);
    const TradeRecord& t = *s.trade;
    const int r = beginRow();
    setCell(r, 0, new OrderTableWidgetItem(intText(r + 1)), false);
    setCell(r, 1, new QTableWidgetItem(s.code), false);
    setCell(r, 2, new QTableWidgetItem(s.name), false);
    setCell(r, 3, new QTableWidgetItem(t.buyDate), false);
    setCell(r, 4, new OrderTableWidgetItem(plainText(t.buyPrice)), false);
    setCell(r, 5, new QTableWidgetItem(t.sellDate), false);
    setCell(r, 6, new OrderTableWidgetItem(plainText(t.sellPrice)), false);
    setCell(r, 7, new OrderTableWidgetItem(intText(t.holdDays)), false);
    // "?" is a cell of the same kind as the gains beside it: a column of
    // mixed kinds would sort by whichever cell happens to be asked.
    setCell(r, 8, new OrderTableWidgetItem(t.holdDays == 0 ? QStringLiteral("?") : plainText(t.gainPercent)), false);
    setCell(r, 9, new QTableWidgetItem(t.strategy), false);
    endRow();
}

void StockListViewStrategy::onRowClicked(int r, int)
{
    const QTableWidgetItem* codeCell = item(r, 1);
    if (!codeCell)
        return;
    const QTableWidgetItem* sellCell = item(r, 5);
    const QTableWidgetItem* buyCell = item(r, 3);
    const QString sellDate = sellCell ? sellCell->text() : QString();
    const QString date = !sellDate.isEmpty() ? sellDate : (buyCell ? buyCell->text() : QString());
    emit senderData(codeCell->text(), date);
}

// ---------------------------------------------------------------------------

StockListView* createStockListView(int type, QWidget* parent)
{
    switch (type) {
    case 0: return new BidStockListView(parent);
    case 1: return new LHBStockListView(parent);
    case 2: return new LHBPKStockListView(parent);
    case 3: return new OCHLBasicStockListView(parent);
    case 4: return new BasicStockListView(parent);
    case 5: return new StockScannerListView(parent);
    case 6: return new StockListViewStrategy(parent);
    default: return nullptr;
    }
}
