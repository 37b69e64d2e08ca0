#include "datasource/failuretally.h"

FailureTally::FailureTally(const QString& failed)
    : failed(failed)
{
}

void FailureTally::reset()
{
    failures = 0;
    lastReason.clear();
}

void FailureTally::add(const QString& reason)
{
    if (reason.isEmpty())
        return;
    ++failures;
    lastReason = reason;
}

QString FailureTally::text(const QString& unit, int attempts) const
{
    if (failures == 0)
        return QString();
    const QString outcome = failures == attempts ? QStringLiteral("全部") + failed : failed;
    return QStringLiteral("%1%2%3，最近一次：%4").arg(failures).arg(unit, outcome, lastReason);
}
