#include "core/calendar.h"

#include <QStringList>

namespace {

const QStringList& holidays()
{
    static const QStringList list =
        QStringLiteral("2017-05-01,2017-01-27,2017-01-30,2017-01-31,2017-02-01,2017-04-04,2016-04-03,2016-03-31")
            .split(',');
    return list;
}

} // namespace

bool isNonTradingDay(const QDate& date)
{
    if (holidays().contains(date.toString("yyyy-MM-dd")))
        return true;
    return date.dayOfWeek() == 6 || date.dayOfWeek() == 7;
}

QDate previousTradingDay(const QDate& date)
{
    QDate day = date.addDays(-1);
    while (isNonTradingDay(day))
        day = day.addDays(-1);
    return day;
}

QDate nextTradingDay(const QDate& date)
{
    QDate day = date.addDays(1);
    while (isNonTradingDay(day))
        day = day.addDays(1);
    return day;
}
