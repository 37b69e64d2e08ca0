#include "core/vorelapplication.h"

#include "analysis/candlestickwidget.h"
#include "core/fileutils.h"
#include "core/textutils.h"
#include "strategy/addonhost.h"
#include "ui/stockfocuswidget.h"
#include "ui/noticeexpress.h"
#include "ui/vorelstockmsgbox.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <quazip/quazip.h>

#include <cstdio>

namespace {

const char* const kTitlePattern = "岚蚁选股 %1";
const char* const kVersion = "1.7.0.0";
const char* const kShareListFile = "config/data.db";

// Downloads are written into these folders; a write into a missing folder
// would be lost without a word.
void makeDataFolders()
{
    for (const char* folder : {"data", "data/k", "data/dl", "data/data"})
        QDir().mkpath(QString::fromLatin1(folder));
}

void showError(const QString& text)
{
    VorelStockMsgBox box(QString::fromUtf8("错误"), text, nullptr);
    box.exec();
}

Stock stockFromShareListRow(const QSqlQuery& query)
{
    Stock stock;
    stock.code = query.value(0).toString();
    stock.name = query.value(1).toString();
    stock.industry = query.value(3).toString();
    stock.outstanding = query.value(4).toInt();
    stock.totals = query.value(5).toInt();
    stock.timeToMarket = query.value(6).toString();
    stock.area = query.value(7).toString();
    return stock;
}

} // namespace

VorelApplication::VorelApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    Q_INIT_RESOURCE(vorel);
    timer.setParent(this);

    // Our plug-in folder goes in front of Qt's own paths: replacing them would
    // hide the system's SQLite driver and styles.
    QStringList paths = libraryPaths();
    paths.prepend(applicationDirPath() + "/plugins/");
    setLibraryPaths(paths);

    setApplicationName(QString::fromUtf8(kTitlePattern).arg(kVersion));
    archive = new QuaZip(":qrc/data.zip");
    makeDataFolders();

    // add-on host: the one host, made before loading so that add-ons bind to it.
    auto* addonHost = new VorelAddonHostImpl(this);
    addonHost->registry.loadDir(QStringLiteral("addon"));
    std::printf("addon count:%d\n", addonHost->registry.count());
    std::fflush(stdout);
}

VorelApplication::~VorelApplication()
{
    // K-line window: a top-level widget without parent, so it goes explicitly.
    delete candlestickWidget;
    candlestickWidget = nullptr;
    delete archive;
    archive = nullptr;
    // add-on host: deleted here; the add-on libraries stay loaded until exit.
    delete VorelAddonHostImpl::instance();
}

void VorelApplication::init(VorelStock* window)
{
    mainWindow = window;
    if (!archive->open(QuaZip::mdUnzip))
        return;

    QSet<QString> codes;
    for (const QString& line : splitLines(loadTemplate("data/stockPool.txt", archive))) {
        if (!line.isEmpty())
            codes.insert(line);
    }
    loadStockPool(codes);

    // K-line window: made here (standalone, no parent).
    candlestickWidget = new CandlestickWidget(false, nullptr);
    // Notices and hot stocks: their pages start their searches once the
    // event loop runs, so that the window comes up first; the hot-stock search
    // waits for its answers, the notices download in the background meanwhile.
    QTimer::singleShot(0, this, [this] {
        if (noticeExpress)
            noticeExpress->onSearch();
        if (stockFocusWidget)
            stockFocusWidget->onSearch();
    });
}

void VorelApplication::setHotStocks(const QVector<QStringList>& rows)
{
    hotStocks.clear();
    for (const QStringList& row : rows)
        hotStocks.insert(row.value(1), row);
}

void VorelApplication::setAHPrices(const QVector<QStringList>& rows)
{
    ahPrices.clear();
    for (const QStringList& row : rows)
        ahPrices.insert(row.value(4), row);
}

QString VorelApplication::readFile(const QString& path)
{
    if (path.startsWith('?'))
        return loadTemplate(path.mid(1), archive);
    return loadTemplate(path);
}

void VorelApplication::toggleCandlestickWidget()
{
    QWidget* chart = chartWindow();
    if (chart)
        chart->setVisible(!chart->isVisible());
}

QWidget* VorelApplication::chartWindow() const
{
    // K-line window: returned here once it exists.
    return candlestickWidget;
}

QMap<QString, Stock> VorelApplication::loadShareList(const QString& listedSince)
{
    QMap<QString, Stock> stocks;
    if (!QFileInfo::exists(kShareListFile)) {
        showError(QString::fromUtf8("无法读取数据文件软件,配置错误,请重新下载"));
        return stocks;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
        db.setDatabaseName(kShareListFile);
        // The program only reads the stock list.
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (!db.open()) {
            showError(QString::fromUtf8("软件配置错误,请重新下载"));
        } else {
            QSqlQuery query(db);
            QString sql = "select * from ShareList ";
            if (!listedSince.isEmpty()) {
                sql += "where listDate >= ?";
                query.prepare(sql);
                query.addBindValue(listedSince);
                query.exec();
            } else {
                query.exec(sql);
            }
            while (query.next()) {
                const Stock stock = stockFromShareListRow(query);
                stocks.insert(stock.code, stock);
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    return stocks;
}

bool VorelApplication::loadStockPool(const QSet<QString>& codes)
{
    const QMap<QString, Stock> shareList = loadShareList(QString());
    for (const QString& code : codes) {
        const auto found = shareList.constFind(code);
        if (found != shareList.constEnd())
            stockPool.insert(code, found.value());
    }
    return true;
}

void VorelApplication::process()
{
}

void VorelApplication::shutDown()
{
}
