#include "core/clock.h"

#include <QTimeZone>

#include <atomic>
#include <mutex>

namespace {

std::mutex fixedMutex;
QDateTime fixedTime;
std::atomic<bool> clockFixed{false};

QTimeZone chinaZone()
{
    static const QTimeZone zone = [] {
        QTimeZone shanghai("Asia/Shanghai");
        // China keeps no daylight saving time: a fixed offset serves where the
        // time zone database is missing.
        return shanghai.isValid() ? shanghai : QTimeZone(8 * 3600);
    }();
    return zone;
}

} // namespace

QDateTime chinaNow()
{
    if (clockFixed) {
        std::lock_guard<std::mutex> lock(fixedMutex);
        return fixedTime;
    }
    return QDateTime::currentDateTimeUtc().toTimeZone(chinaZone());
}

void setChinaNow(const QDateTime& when)
{
    std::lock_guard<std::mutex> lock(fixedMutex);
    fixedTime = when.isValid() ? when.toTimeZone(chinaZone()) : QDateTime();
    clockFixed = when.isValid();
}
