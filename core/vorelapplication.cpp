#include "core/vorelapplication.h"

#include "core/datafolders.h"
#include "core/fileutils.h"
#include "core/startuplisting.h"
#include "core/textutils.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QWidget>
#include <quazip/quazip.h>

namespace {

const char* const kTitlePattern = "岚蚁选股 %1";
const char* const kVersion = "1.7.0.0";
const char* const kUnreadableShareList = "无法读取数据文件软件,配置错误,请重新下载";

// The name of the file at `path` as a pattern that matches that name alone.
QString namePattern(const char* path)
{
    return QRegularExpression::escape(QFileInfo(QString::fromLatin1(path)).fileName());
}

// The folders the program writes whole files into, with the names of those
// files: a copy that a killed write left beside one of them goes, so that no
// scan reads it as a stock and none piles up.
struct WrittenFolder
{
    QString path;
    QString names;      // a regular expression of the file names written there
    const char* lost;   // what the user loses when nothing can be stored there
};
const QVector<WrittenFolder>& writtenFolders()
{
    static const QVector<WrittenFolder> folders = {
        // everything else lies below it
        {QStringLiteral("."), namePattern(kListFile), "下载的数据、报表和设置"},
        {QString::fromLatin1(kSettingsFolder), namePattern(kSettingsFile), "设置"},
        {QString::fromLatin1(kHistoryFolder), "[0-9]{6}|" + namePattern(kMarkedCodesFile), "下载的数据"},
        {QString::fromLatin1(kKLineFolder), QStringLiteral("[0-9]{6}"), "K线图下载的数据"},
        {QString::fromLatin1(kDownloadFolder), QStringLiteral("[0-9]{6}"), "下载的数据"},
        {QString::fromLatin1(kOutputFolder), QStringLiteral(".+\\.csv"), "报表"},
    };
    return folders;
}

// The histories, which may be tens of thousands, are tidied by the start-up
// listing beside the start (StartupListing), not before the window.
const char* const kListedFolder = kHistoryFolder;

// Downloads are written into these folders; a write into a missing folder
// would be lost without a word.
void makeDataFolders()
{
    for (const char* folder : {kHistoryFolder, kKLineFolder, kDownloadFolder, kProfileFolder})
        QDir().mkpath(QString::fromLatin1(folder));
    for (const WrittenFolder& folder : writtenFolders()) {
        if (folder.path != QLatin1String(kListedFolder))
            removeInterruptedWrites(folder.path, folder.names);
    }
}

// The names of the files written into `path`, as writtenFolders() has them.
QString writtenNames(const char* path)
{
    for (const WrittenFolder& folder : writtenFolders()) {
        if (folder.path == QLatin1String(path))
            return folder.names;
    }
    return QString();
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

// Every row of ShareList (listed on or after `listedSince` when it is given)
// into `stocks`; false when the file cannot be read as the stock list: no
// database, no such table, a file cut short.
bool readShareList(QSqlDatabase& db, const QString& listedSince, QMap<QString, Stock>& stocks)
{
    QSqlQuery query(db);
    bool executed = false;
    if (listedSince.isEmpty()) {
        executed = query.exec("select * from ShareList ");
    } else {
        query.prepare("select * from ShareList where listDate >= ?");
        query.addBindValue(listedSince);
        executed = query.exec();
    }
    while (executed && query.next()) {
        const Stock stock = stockFromShareListRow(query);
        stocks.insert(stock.code, stock);
    }
    // A file cut short may fail only on a later row.
    if (executed && !query.lastError().isValid())
        return true;
    qWarning() << "cannot read the stock list" << kShareListFile << query.lastError().text();
    return false;
}

} // namespace

QString workingFolderProblem()
{
    for (const WrittenFolder& folder : writtenFolders()) {
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(folder.path));
        const QString lost = QString::fromUtf8(folder.lost);
        switch (probeFolder(path)) {
        case FolderState::Writable:
        case FolderState::Missing:   // made when first written, in a folder probed before it
            continue;
        case FolderState::NotAFolder:
            qWarning("%s is a file, not a folder: nothing can be stored in it", qPrintable(path));
            return QStringLiteral("%1 是一个文件,不是文件夹,%2无法保存在其中").arg(path, lost);
        case FolderState::Unwritable:
            qWarning("cannot write into %s: nothing can be stored in it", qPrintable(path));
            return QStringLiteral("无法在 %1 中写入文件,%2不会保存").arg(path, lost);
        case FolderState::Full:
            // the other folders share the disk
            qWarning("the disk is full: cannot write into %s, nothing downloaded, reported or set is kept",
                     qPrintable(path));
            return QStringLiteral("磁盘已满,无法在 %1 中写入文件,下载的数据、报表和设置都不会保存").arg(path);
        }
    }
    return QString();
}

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
    // Probed before the listing starts: it would take the probe's file in
    // "data/" for a killed write's and race the probe to remove it.
    for (const QString& note : {config.damagedFileNote(), workingFolderProblem()}) {
        if (!note.isEmpty())
            startupNotes << note;
    }
    const QString listed = QDir::cleanPath(QString::fromLatin1(kListedFolder));
    startupListing = new StartupListing(listed, writtenNames(kListedFolder), this);
    startupListing->start();
    if (installedParts().start)
        installedParts().start(*this);
}

VorelApplication::~VorelApplication()
{
    if (installedParts().finish)
        installedParts().finish(*this);
    delete startupListing;
    startupListing = nullptr;
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
    // Said once, before the pool's own messages.
    if (!startupNotes.isEmpty())
        showError(startupNotes.join(QStringLiteral("\n\n")));
    startupNotes.clear();
    // The archive may be open already: a page may have read from it first.
    if (!archive->isOpen() && !archive->open(QuaZip::mdUnzip)) {
        qWarning("the resource archive cannot be opened: the stock pool is empty");
        return;
    }

    QSet<QString> codes;
    for (const QString& line : splitLines(loadTemplate(QString::fromLatin1(kPoolArchiveEntry), archive))) {
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
        showError(QString::fromUtf8(kUnreadableShareList));
        return stocks;
    }
    bool opened = false;
    bool read = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
        db.setDatabaseName(kShareListFile);
        // The program only reads the stock list.
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        opened = db.open();
        if (opened) {
            read = readShareList(db, listedSince, stocks);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    if (!opened) {
        showError(QStringLiteral("软件配置错误,请重新下载"));
    } else if (!read) {
        // A damaged file is as good as a missing one: half a list would
        // silently drop stocks from the pool.
        stocks.clear();
        showError(QString::fromUtf8(kUnreadableShareList));
    }
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
    // Every page works on the pool: a start without it must be traceable.
    if (stockPool.isEmpty())
        qWarning("the stock pool is empty: %s lists none of its %d codes", kShareListFile, codes.size());
    return true;
}

void VorelApplication::process()
{
}

void VorelApplication::shutDown()
{
}
