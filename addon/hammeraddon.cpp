#include "addon/hammeraddon.h"

#include "addon/hammerstrategy.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

// Every text handed to the host is built at run time (fromUtf8), unlike the
// QStringLiteral of the rest of the program: a literal's characters stay in
// this library's image, and a host that unloads the library would keep copies
// that point into it.
const QString kAuthor = QString::fromUtf8("岚蚁(http://www.vorelstock.com)");
const QString kIntroduction = QString::fromUtf8("锤子量化策略");
const QString kNextTradingDay = QString::fromUtf8("下一交易日");

// Library-wide state, set by the export. The indicators belong to the host and
// are shared by every check call; the mutex keeps two calls from feeding them
// at once, whatever thread the host calls from.
struct LibraryState
{
    QMutex mutex;
    VorelAddonHost* host = nullptr;
    StockIndicator* ma10 = nullptr;
    StockIndicator* ma21 = nullptr;
    StockIndicator* volMa21 = nullptr;
};

LibraryState& state()
{
    static LibraryState instance;
    return instance;
}

QVector<hammer::Averages> averagesOf(const QVector<Stock>& days, LibraryState& s)
{
    s.ma10->clear();
    s.ma21->clear();
    s.volMa21->clear();
    QVector<hammer::Averages> averages;
    averages.reserve(days.size());
    for (const Stock& day : days) {
        hammer::Averages a;
        a.ma10 = s.ma10->update(day).first;
        a.ma21 = s.ma21->update(day).first;
        a.volMa21 = s.volMa21->update(day).first;
        averages.append(a);
    }
    return averages;
}

void reportHit(VorelAddonHost* host, const QString& code, const QString& name,
               const QVector<Stock>& days, int i)
{
    TradePoint buy;
    buy.date = kNextTradingDay;
    if (i + 1 < days.size()) {
        buy.date = days.at(i + 1).date;
        buy.price = days.at(i + 1).open;
    }
    TradePoint sell;
    int holdDays = 0;
    if (i + 2 < days.size()) {
        sell.date = days.at(i + 2).date;
        sell.price = days.at(i + 2).close;
        holdDays = 1;
    }
    host->report(code, name, buy, sell, holdDays, kIntroduction);
}

} // namespace

void VorelAddonImpl::release()
{
    delete this;
}

QString VorelAddonImpl::author()
{
    return kAuthor;
}

QString VorelAddonImpl::version()
{
    return QString::fromUtf8("1.0.0.4");
}

QString VorelAddonImpl::introduction()
{
    return kIntroduction;
}

QString VorelAddonImpl::hint()
{
    return QString::fromUtf8("岚蚁标准策略");
}

int VorelAddonImpl::check(const QString& code, const QVector<Stock>& days)
{
    if (days.size() <= hammer::kFirstTestedBar)
        return 0;
    LibraryState& s = state();
    QMutexLocker lock(&s.mutex);
    // Without all three averages the rules cannot be tested at all.
    if (!s.host || !s.ma10 || !s.ma21 || !s.volMa21)
        return 0;

    const QString name = s.host->stocks().value(code).name;
    const QVector<hammer::Averages> averages = averagesOf(days, s);
    int hits = 0;
    for (int i = hammer::kFirstTestedBar; i < days.size(); ++i) {
        if (hammer::isHit(days, averages, i)) {
            reportHit(s.host, code, name, days, i);
            ++hits;
        }
    }
    return hits;
}

VorelAddon* get_vorel_interface(VorelAddonHost* host, int version)
{
    if (version != kVorelInterfaceVersion || !host)
        return nullptr;
    LibraryState& s = state();
    QMutexLocker lock(&s.mutex);
    s.host = host;
    s.ma10 = host->createIndicator(1, 10, 0, 0);
    s.ma21 = host->createIndicator(1, 21, 0, 0);
    s.volMa21 = host->createIndicator(4, 21, 0, 0);
    return new VorelAddonImpl;
}
