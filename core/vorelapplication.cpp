#include "core/vorelapplication.h"

#include "core/fileutils.h"
#include "core/textutils.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <QWidget>
#include <quazip/quazip.h>

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

ApplicationParts& installedParts()
{
    static ApplicationParts parts;
    return parts;
}

void showError(const QString& text)
{
    if (installedParts().showError)
        installedParts().showError(text);
    else
        qWarning("%s", qPrintable(text));
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
    if (installedParts().start)
        installedParts().start(*this);
}

VorelApplication::~VorelApplication()
{
    if (installedParts().finish)
        installedParts().finish(*this);
    delete archive;
    archive = nullptr;
}

void VorelApplication::installParts(const ApplicationParts& parts)
{
    installedParts() = parts;
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
    if (installedParts().init)
        installedParts().init(*this);
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
    return installedParts().chartWindow ? installedParts().chartWindow(*this) : nullptr;
}

void VorelApplication::showChart(const QString& code)
{
    if (installedParts().showChart)
        installedParts().showChart(*this, code);
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
