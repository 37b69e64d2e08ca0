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

    seatLabel = new QLabel(this);
    seatLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(seatLabel, 2, 0, 1, 3);
    detailTable = new QTableWidget(this);
    setupSeatTable(detailTable, 360, 128);
    layout->addWidget(detailTable, 3, 0, 1, 3);
    showNoSeats();

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
        // (or still on their way) belong to a row that is gone.
        listView->clearStocks();
        seatRequests.forget();
        showNoSeats();
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
    const QString key = seatKeyOfRow(r);
    if (key.isEmpty())
        return;
    // The seats shown belong to the selected row (a click has selected it).
    listView->selectRow(r);
    // The same row clicked again while its seats are on their way: they
    // show when they come.
    if (seatRequests.isAsking(key))
        return;
    const QTableWidgetItem* nameItem = listView->item(r, 1);
    const QString subject = seatSubject(key.section(',', 0, 0), nameItem ? nameItem->text() : QString(),
                                        key.section(',', 1));
    if (!seatCache.contains(key)) {
        if (!fetchSeats(key, subject))
            return;
    } else {
        // What shows now is this row's: an answer still out for another is late.
        seatRequests.forget();
    }
    showStatus(statusLabel, QString());
    showSeatsOf(subject, seatCache.value(key));
}

QString LHBWidget::seatKeyOfRow(int r) const
{
    const QTableWidgetItem* codeItem = listView->item(r, 0);
    if (!codeItem || codeItem->text().trimmed().isEmpty())
        return QString();
    const QTableWidgetItem* dateItem = listView->item(r, 6);
    return codeItem->text().trimmed() + "," + (dateItem ? dateItem->text().trimmed() : QString());
}

QString LHBWidget::selectedSeatKey() const
{
    return seatKeyOfRow(listView->selectedRow());
}

bool LHBWidget::fetchSeats(const QString& key, const QString& subject)
{
    // The seats of the row clicked before are not this stock's.
    showSeats(detailTable, {});
    seatLabel->setText(QStringLiteral("席位：%1（下载中…）").arg(subject));
    const int ticket = seatRequests.begin(key);
    QString failure;
    QPointer<LHBWidget> self(this);
    const QVector<LHBUnit> units = fetchEastmoneySeats(key.section(',', 0, 0), key.section(',', 1), this, &failure);
    if (!self)
        return false;
    // A failed answer is not kept: the next click asks again. A good one is
    // kept even when it came late.
    if (failure.isEmpty())
        seatCache.insert(key, units);
    // Another row was clicked, or the list replaced, while the answer was on
    // its way: what shows is theirs.
    if (!seatRequests.finish(ticket))
        return false;
    if (selectedSeatKey() != key) {
        showNoSeats();
        return false;
    }
    if (!failure.isEmpty()) {
        showSeatsOf(subject, {});
        showStatus(statusLabel, seatFailureText(subject, failure));
        return false;
    }
    return true;
}

void LHBWidget::showSeatsOf(const QString& subject, const QVector<LHBUnit>& units)
{
    seatLabel->setText(QStringLiteral("席位：%1").arg(subject));
    showSeats(detailTable, units);
}

void LHBWidget::showNoSeats()
{
    seatLabel->setText(QStringLiteral("席位：点击上面的股票查看"));
    showSeats(detailTable, {});
}
