#pragma once

// The program's side of the add-on interface: the registry of loaded add-on
// libraries with the add-on the user bound, and the one host object through
// which add-ons get the stock pool, indicators and candle tests and report
// their trades. The application object makes the host at start-up and loads
// the folder "addon" through it.

#include "addon/vorelinterface.h"

#include <QList>
#include <QString>
#include <QVector>

class QLibrary;
class QObject;
class StockAddonScanner;
class VorelApplication;

// One bound add-on library.
struct AddonEntry
{
    QLibrary* module = nullptr;
    VorelInterfaceEntry entry = nullptr;
    VorelAddon* addon = nullptr;
};

class AddonRegistry
{
public:
    AddonRegistry() = default;
    ~AddonRegistry();
    AddonRegistry(const AddonRegistry&) = delete;
    AddonRegistry& operator=(const AddonRegistry&) = delete;

    // Tries every file of `dir` (no symbolic links, by name) as an add-on.
    void loadDir(const QString& dir);
    // Binds one library with `host`; false when it is no library, lacks the
    // export or exports it as no function, refuses, or is a library already
    // bound under another name, each said in one log line naming the file.
    bool loadAddon(const QString& path, VorelAddonHost* host);

    int count() const { return entries.size(); }
    VorelAddon* addonAt(int i) const;
    // The bound add-on, null when none is bound or the index is stale.
    VorelAddon* boundAddon() const { return addonAt(boundIndex); }
    // Releases every add-on and unloads its library.
    void unloadAll();

    QVector<AddonEntry> entries;
    int boundIndex = -1;
    // The host handed to the libraries loadDir binds.
    VorelAddonHost* host = nullptr;
};

class VorelAddonHostImpl final : public VorelAddonHost
{
public:
    explicit VorelAddonHostImpl(VorelApplication* app);
    // Releases the add-ons and deletes the indicators; the libraries stay loaded.
    ~VorelAddonHostImpl();
    VorelAddonHostImpl(const VorelAddonHostImpl&) = delete;
    VorelAddonHostImpl& operator=(const VorelAddonHostImpl&) = delete;

    // The host the application made, null before and after.
    static VorelAddonHostImpl* instance();

    // How report() hands a trade to the open scan page (the application's
    // addonScanner) on the GUI thread. The page sets it when it is made: the
    // page builds on this host, so the host reaches it through here instead
    // of including the page.
    using TradeDelivery = void (*)(StockAddonScanner* page, const Stock& stock);
    static void setTradeDelivery(TradeDelivery deliver);

    QString version() override;
    // On a scan worker the pool copy it was started with, on the GUI thread the
    // application's pool, elsewhere nothing.
    QMap<QString, Stock> stocks() override;
    StockIndicator* createIndicator(int type, int n, int reserved1, int reserved2) override;
    bool checkKShape(int id, const QVector<Stock>& days) override;
    void report(const QString& code, const QString& name, const TradePoint& buy,
                const TradePoint& sell, int holdDays, const QString& strategy) override;

    // At most this many indicators are ever made.
    static constexpr int kMaxIndicators = 11;

    // The gain of a trade in percent, digits after the second decimal cut (not
    // rounded); 0 when the buy price is 0 or a price is no number.
    static float gainPercent(float buyPrice, float sellPrice);

    AddonRegistry registry;
    QList<StockIndicator*> indicators;
    VorelApplication* app = nullptr;

private:
    // Lives on the thread that made the host (the GUI thread): reports are
    // queued to it and delivered there.
    QObject* receiver = nullptr;
};
