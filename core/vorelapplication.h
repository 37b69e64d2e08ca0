#pragma once

// The application object: the hub every page reaches through vorelApp(). It
// owns the settings record, the stock pool, the resource archive, the caches
// of the information pages and the K-line chart window.

#include "core/appconfig.h"
#include "core/stock.h"

#include <QApplication>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>

class CandlestickWidget;
class NoticeExpress;
class QuaZip;
class StartupListing;
class StockAddonScanner;
class StockFocusWidget;
class VorelStock;
class VorelApplication;

// What the folders above core add to the application object: core cannot name
// their windows, so app/ installs these steps before the object is made.
// Without them (a tool or a test of the lower folders) the object holds its
// state only, has no K-line window and writes its errors to the log.
struct ApplicationParts
{
    std::function<void(VorelApplication&)> start;    // end of the constructor
    std::function<void(VorelApplication&)> init;     // end of init(), once the pool is loaded
    std::function<void(VorelApplication&)> finish;   // start of the destructor
    std::function<QWidget*(const VorelApplication&)> chartWindow;
    std::function<void(VorelApplication&, const QString& code)> showChart;
    std::function<void(const QString& text)> showError;
};

class VorelApplication : public QApplication
{
    Q_OBJECT
public:
    VorelApplication(int& argc, char** argv);
    ~VorelApplication() override;

    static void installParts(const ApplicationParts& parts);

    void init(VorelStock* window);
    QString readFile(const QString& path);
    void toggleCandlestickWidget();
    QWidget* chartWindow() const;   // the K-line window as a plain widget, or null
    // A list's "K线": the K-line window, when shown, loads the stock.
    void showChart(const QString& code);
    QMap<QString, Stock> loadShareList(const QString& listedSince);
    bool loadStockPool(const QSet<QString>& codes);
    // Information-page caches: each call replaces the whole cache, one entry
    // per row keyed by the row's code cell (hot stocks: cell 1, A/H pairs:
    // cell 4); of two rows with one code the later one stays.
    void setHotStocks(const QVector<QStringList>& rows);
    void setAHPrices(const QVector<QStringList>& rows);

    AppConfig config;   // built first, destroyed last: its destructor writes the settings file
    CandlestickWidget* candlestickWidget = nullptr;
    NoticeExpress* noticeExpress = nullptr;
    StockFocusWidget* stockFocusWidget = nullptr;
    StockAddonScanner* addonScanner = nullptr;
    QuaZip* archive = nullptr;
    QMap<QString, Stock> stockPool;
    QTimer timer;
    VorelStock* mainWindow = nullptr;
    QMap<QString, QStringList> hotStocks;
    QMap<QString, QStringList> ahPrices;
    QStringList codeList;
    QStringList reductionCodes;
    // The listing of data/ that the constructor starts; owned.
    StartupListing* startupListing = nullptr;

private slots:
    void process();
    void shutDown();

private:
    // What the user must know about the working folder found at start: a
    // damaged settings file, a folder that cannot be written.
    QStringList startupNotes;
};

// What keeps the program from storing what it should in the working folder,
// for the user: the first folder it writes into that is a plain file, cannot
// be written or has no room left, and what is lost for it. Empty when all is
// well.
QString workingFolderProblem();

// The running application object; null where the application running is not
// the program's (a tool or a test under a plain QApplication) or none runs,
// so code that may run there checks what it gets.
inline VorelApplication* vorelApp()
{
    return qobject_cast<VorelApplication*>(QCoreApplication::instance());
}
