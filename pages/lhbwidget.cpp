#include "pages/lhbwidget.h"

#include "core/clock.h"
#include "pages/lhbseattable.h"
#include "widgets/pagestatus.h"
#include "widgets/stocklistview.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
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
    // The status shares the spacer's cell beside the button.
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 0, 2);

    listView = createStockListView(1, this);
    layout->addWidget(listView, 1, 0, 1, 3);

    detailTable = new QTableWidget(this);
    setupSeatTable(detailTable, 360, 128);
    layout->addWidget(detailTable, 2, 0, 1, 3);

    loader.stockInterface = &source;

    connect(searchButton, &QPushButton::clicked, this, &LHBWidget::onSearch);
    connect(&loader, &DataLoader::sendStock, this, &LHBWidget::updateStockList);
    connect(&loader, &DataLoader::sendFailure, this, &LHBWidget::listFailed);
    connect(listView, &QTableWidget::cellClicked, this, &LHBWidget::onClickCell);
}

LHBWidget::~LHBWidget() = default;

void LHBWidget::onSearch()
{
    // The list shown stays until the new one arrives: a failed search must
    // not look like a day without entries.
    showStatus(statusLabel, QString());
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

bool LHBWidget::isCurrentSearch() const
{
    return loader.currentCode == QString::number(searchCount);
}

void LHBWidget::updateStockList(const QVector<Stock>& list)
{
    if (sender() == &loader) {
        if (!isCurrentSearch())
            return;
        // The answer of the search replaces the list, and the seats shown
        // belong to a row that is gone.
        listView->clearStocks();
        showSeats(detailTable, {});
    }
    stocks = list;
    listView->addStocks(list);
}

void LHBWidget::listFailed(const QString&, const QString& message)
{
    if (isCurrentSearch())
        showStatus(statusLabel, failureText(QStringLiteral("龙虎榜下载"), message));
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
        // The seats of the row clicked before are not this stock's.
        showSeats(detailTable, {});
        fetchingSeats = true;
        QString failure;
        QPointer<LHBWidget> self(this);
        const QVector<LHBUnit> units = fetchEastmoneySeats(code, date, this, &failure);
        if (!self)
            return;
        fetchingSeats = false;
        // A failed answer is not kept: the next click asks again.
        if (!failure.isEmpty()) {
            showStatus(statusLabel, failureText(QStringLiteral("席位下载"), failure));
            return;
        }
        seatCache.insert(key, units);
    }
    showStatus(statusLabel, QString());
    showSeats(detailTable, seatCache.value(key));
}
