#include "pages/lhbwidget.h"

#include "core/clock.h"
#include "pages/lhbseattable.h"
#include "widgets/stocklistview.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>

namespace {

// The list is published on trading days: at a weekend, the Friday before.
QDate lastWeekday(const QDate& today)
{
    const int day = today.dayOfWeek();
    return day > 5 ? today.addDays(5 - day) : today;
}

} // namespace

LHBWidget::LHBWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QGridLayout(this);

    dateEdit = new QDateEdit(lastWeekday(chinaNow().date()), this);
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    layout->addWidget(dateEdit, 0, 0);

    searchButton = new QPushButton(QStringLiteral("查询"), this);
    layout->addWidget(searchButton, 0, 1);
    layout->addItem(new QSpacerItem(196, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2);

    listView = createStockListView(1, this);
    layout->addWidget(listView, 1, 0, 1, 3);

    detailTable = new QTableWidget(this);
    setupSeatTable(detailTable, 360, 128);
    layout->addWidget(detailTable, 2, 0, 1, 3);

    loader.stockInterface = &source;

    connect(searchButton, &QPushButton::clicked, this, &LHBWidget::onSearch);
    connect(&loader, &DataLoader::sendStock, this, &LHBWidget::updateStockList);
    connect(listView, &QTableWidget::cellClicked, this, &LHBWidget::onClickCell);
}

LHBWidget::~LHBWidget() = default;

void LHBWidget::onSearch()
{
    listView->clearStocks();
    const QStringList list = source.urls({ dateEdit->text() });

    // Pages still queued for an earlier search are not wanted any more.
    loader.urlQueue.clear();
    loader.codes.clear();
    ++searchCount;
    QStringList tokens;
    for (int i = 0; i < list.size(); ++i)
        tokens.append(QString::number(searchCount));
    loader.setUrls(list, tokens);
    loader.interval = 100;
    loader.start();
}

void LHBWidget::updateStockList(const QVector<Stock>& list)
{
    if (sender() == &loader && loader.currentCode != QString::number(searchCount))
        return;
    stocks = list;
    listView->addStocks(list);
}

void LHBWidget::onClickCell(int r, int)
{
    const QTableWidgetItem* codeItem = listView->item(r, 0);
    const QTableWidgetItem* dateItem = listView->item(r, 6);
    if (!codeItem || fetchingSeats)
        return;
    const QString code = codeItem->text().trimmed();
    const QString date = dateItem ? dateItem->text().trimmed() : QString();
    const QString key = code + "," + date;

    if (!seatCache.contains(key)) {
        fetchingSeats = true;
        const QVector<LHBUnit> units = fetchEastmoneySeats(code, date);
        fetchingSeats = false;
        // A failed or empty answer is not kept: the next click asks again.
        if (units.isEmpty()) {
            showSeats(detailTable, units);
            return;
        }
        seatCache.insert(key, units);
    }
    showSeats(detailTable, seatCache.value(key));
}
