#pragma once

// A window with the buying and selling seats of one dragon-tiger entry.

#include "core/records.h"
#include "widgets/latestrequest.h"

#include <QVector>
#include <QWidget>

class QLabel;
class QTableWidget;

class VorelStockLHBBS5Widget final : public QWidget
{
    Q_OBJECT
public:
    explicit VorelStockLHBBS5Widget(QWidget* parent = nullptr);

    // Rows for the units that name a seat; buyers on a red tint, everyone else
    // on a blue one.
    void setSeats(const QVector<LHBUnit>& units);
    // Titles the window "code,date" and shows the seats of one blocking
    // request; a failed one leaves the table empty and says why below it,
    // naming the entry. A load asked for while one is out takes over: the
    // earlier answer is not shown.
    void load(const QString& code, const QString& date);

    QLabel* titleLabel = nullptr;
    QTableWidget* table = nullptr;
    QLabel* statusLabel = nullptr;

private:
    LatestRequest requests;
};
