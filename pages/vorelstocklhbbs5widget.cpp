#include "pages/vorelstocklhbbs5widget.h"

#include "datasource/lhbsources.h"
#include "pages/lhbseattable.h"
#include "widgets/pagestatus.h"

#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

VorelStockLHBBS5Widget::VorelStockLHBBS5Widget(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("股票龙虎榜席位买入"));
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    setFixedSize(760, 400);
    auto* layout = new QVBoxLayout(this);

    titleLabel = new QLabel(QStringLiteral("---"), this);
    QFont font = titleLabel->font();
    font.setPointSize(16);
    font.setUnderline(true);
    titleLabel->setFont(font);
    titleLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    layout->addWidget(titleLabel);

    table = new QTableWidget(this);
    setupSeatTable(table, 320, 120);
    layout->addWidget(table);
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel);
}

void VorelStockLHBBS5Widget::setSeats(const QVector<LHBUnit>& units)
{
    showSeats(table, units);
}

void VorelStockLHBBS5Widget::load(const QString& code, const QString& date)
{
    const QString key = code + "," + date;
    if (requests.isAsking(key))
        return;
    titleLabel->setText(QStringLiteral("%1,%2").arg(code, date));
    // The seats of the entry shown before are not this one's.
    setSeats({});
    showStatus(statusLabel, QString());
    const int ticket = requests.begin(key);
    QString failure;
    QPointer<VorelStockLHBBS5Widget> self(this);
    const QVector<LHBUnit> units = fetchEastmoneySeats(code, date, this, &failure);
    // A later load ran during the wait: the title is its entry's.
    if (!self || !requests.finish(ticket))
        return;
    setSeats(units);
    if (!failure.isEmpty())
        showStatus(statusLabel, seatFailureText(seatSubject(code, QString(), date), failure));
}
