#include "strategy/addonhost.h"

#include "analysis/candlepatterns.h"
#include "analysis/indicators.h"
#include "analysis/stockthreadtarget.h"
#include "core/traderecord.h"
#include "core/vorelapplication.h"
#include "strategy/libraryfile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QObject>
#include <QThread>

#include <cmath>
#include <memory>

namespace {

VorelAddonHostImpl* currentHost = nullptr;
VorelAddonHostImpl::TradeDelivery tradeDelivery = nullptr;

const char* const kEntryName = "get_vorel_interface";

// Every library the registry does not bind says so once in the log, with
// the file and the reason: the count at start-up tells only how many went in.
bool skip(const QString& path, const QString& why)
{
    qWarning().noquote() << "add-on skipped:" << path + ":" << why;
    return false;
}

bool unloadAndSkip(QLibrary& library, const QString& path, const QString& why)
{
    library.unload();
    return skip(path, why);
}

} // namespace

AddonRegistry::~AddonRegistry()
{
    // The libraries stay loaded until the process ends (an add-on's code may
    // still be on a stack); only our bookkeeping goes.
    for (const AddonEntry& e : entries)
        delete e.module;
}

void AddonRegistry::loadDir(const QString& dir)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files)
        loadAddon(file.absoluteFilePath(), host);
}

bool AddonRegistry::loadAddon(const QString& path, VorelAddonHost* host)
{
    QString damage;
    if (!isWholeSharedLibrary(path, &damage))
        return skip(path, damage);
    // An absolute path makes the loader try exactly this file and no name
    // variants of it, so "x" never loads a neighbouring "libx.so".
    auto library = std::make_unique<QLibrary>(QFileInfo(path).absoluteFilePath());
    if (!library->load())
        return skip(path, library->errorString());
    QFunctionPointer resolved = library->resolve(kEntryName);
    if (!resolved)
        return unloadAndSkip(*library, path, QStringLiteral("no entry point %1").arg(kEntryName));
    if (!isExportedFunction(reinterpret_cast<const void*>(resolved), &damage))
        return unloadAndSkip(*library, path, damage);
    const auto entry = reinterpret_cast<VorelInterfaceEntry>(resolved);
    // The same library under a second name (a copy linked in, a hard link)
    // shares one image with the first: binding it again would rebind its state.
    for (const AddonEntry& e : entries) {
        if (e.entry == entry)
            return unloadAndSkip(*library, path, QStringLiteral("the same library is already bound"));
    }
    if (!host)
        return unloadAndSkip(*library, path, QStringLiteral("no host to bind it to"));
    VorelAddon* addon = entry(host, kVorelInterfaceVersion);
    if (!addon)
        return unloadAndSkip(*library, path, QStringLiteral("the entry point refused the host"));
    entries.append(AddonEntry{library.release(), entry, addon});
    return true;
}

VorelAddon* AddonRegistry::addonAt(int i) const
{
    if (i < 0 || i >= entries.size())
        return nullptr;
    return entries.at(i).addon;
}

void AddonRegistry::unloadAll()
{
    for (const AddonEntry& e : entries) {
        e.addon->release();
        e.module->unload();
        delete e.module;
    }
    entries.clear();
}

VorelAddonHostImpl::VorelAddonHostImpl(VorelApplication* app)
    : app(app)
    , receiver(new QObject)
{
    registry.host = this;
    currentHost = this;
}

VorelAddonHostImpl::~VorelAddonHostImpl()
{
    if (currentHost == this)
        currentHost = nullptr;
    // Reports still queued are dropped with the receiver.
    delete receiver;
    // Nothing calls an add-on any more: its object and its indicators go with
    // the host, its library stays loaded until the process ends.
    for (AddonEntry& e : registry.entries) {
        e.addon->release();
        e.addon = nullptr;
    }
    registry.boundIndex = -1;
    qDeleteAll(indicators);
    indicators.clear();
}

VorelAddonHostImpl* VorelAddonHostImpl::instance()
{
    return currentHost;
}

void VorelAddonHostImpl::setTradeDelivery(TradeDelivery deliver)
{
    tradeDelivery = deliver;
}

QString VorelAddonHostImpl::version()
{
    return QStringLiteral("1.0.0");
}

QMap<QString, Stock> VorelAddonHostImpl::stocks()
{
    // On a scan worker the pool copy taken before its start; the GUI thread may
    // change the application's pool meanwhile.
    if (StockThreadTarget* worker = StockThreadTarget::current())
        return worker->pool();
    if (app && QThread::currentThread() == app->thread())
        return app->stockPool;
    return {};
}

StockIndicator* VorelAddonHostImpl::createIndicator(int type, int n, int, int)
{
    if (indicators.size() >= kMaxIndicators)
        return nullptr;
    StockIndicator* indicator = nullptr;
    switch (type) {
    case 0: indicator = new MacdIndicator; break;
    case 1: indicator = new MaNIndicator(n); break;
    case 2: indicator = new BollIndicator; break;
    case 3: indicator = new KDJIndicator; break;
    case 4: indicator = new VolMaNIndicator(n); break;
    default: return nullptr;
    }
    indicators.append(indicator);
    return indicator;
}

bool VorelAddonHostImpl::checkKShape(int id, const QVector<Stock>& days)
{
    QString name;
    return detectKPattern(id, days, &name);
}

float VorelAddonHostImpl::gainPercent(float buyPrice, float sellPrice)
{
    if (buyPrice == 0 || !std::isfinite(buyPrice) || !std::isfinite(sellPrice))
        return 0;
    const double basisPoints =
        std::trunc((double(sellPrice) - double(buyPrice)) * 10000.0 / double(buyPrice));
    return float(basisPoints / 100.0);
}

void VorelAddonHostImpl::report(const QString& code, const QString& name, const TradePoint& buy,
                                const TradePoint& sell, int holdDays, const QString& strategy)
{
    TradeRecord record;
    record.buyDate = buy.date;
    record.buyPrice = buy.price;
    record.sellDate = sell.date;
    record.sellPrice = sell.price;
    record.holdDays = holdDays;
    record.gainPercent = gainPercent(buy.price, sell.price);
    record.strategy = strategy;

    Stock stock;
    stock.code = code;
    stock.name = name;

    // Called on the scan worker: the page is looked up, and the record made,
    // only on the GUI thread, so a trade for a page that has gone costs nothing.
    VorelApplication* application = app;
    QMetaObject::invokeMethod(
        receiver,
        [application, stock, record]() mutable {
            StockAddonScanner* page = application ? application->addonScanner : nullptr;
            if (!page || !tradeDelivery)
                return;
            stock.trade = new TradeRecord(record);
            tradeDelivery(page, stock);
        },
        Qt::QueuedConnection);
}
