#include "analysis/candlestickwidget.h"
#include "core/fileutils.h"
#include "core/messagehandler.h"
#include "core/startuplisting.h"
#include "core/vorelapplication.h"
#include "datasource/poolaccess.h"
#include "tests/core/filesizelimit.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/programapplication.h"
#include "tests/support/sharelistfixture.h"
#include "widgets/settingsform.h"
#include "widgets/stocklistview.h"

#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// Runs against a real application object in a temporary working folder with a
// stock list database of our own and the compiled-in resource archive.
class VorelApplicationTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void damagedFolderIsToldOnceInOneBox();
    void plainFileWhereAFolderBelongsNamesWhatIsLost_data();
    void plainFileWhereAFolderBelongsNamesWhatIsLost();
    void poolHoldsListedCodesOnly();
    void shareListFiltersByListingDate();
    void readFileTakesArchiveOrDisk();
    void missingDatabaseGivesEmptyListAndAMessage();
    void damagedDatabaseGivesTheMessageOfAMissingOne_data();
    void damagedDatabaseGivesTheMessageOfAMissingOne();
    void logLinesCarryDateTimeAndKind();
    void logEntryIsOneLine_data();
    void logEntryIsOneLine();
    void shippedStockListFillsThePoolWithShareCounts();
    void startupListingHandsItsHistoriesToEveryoneWhoAsks();

private:
    QStringList startupMessages;
};

void VorelApplicationTest::initTestCase()
{
    QDir().mkpath("config");
    writeShareList("config/data.db",
                   {QStringLiteral("('600000','浦发银行','','银行',2810376,2935208,'19991110','上海','19991110')"),
                    QStringLiteral("('000001','平安银行','','银行',1940575,1940592,'19910403','深圳','19910403')"),
                    QStringLiteral("('300498','温氏股份','','农业综合',0,0,'20151102','广东','20151102')"),
                    QStringLiteral("('999999','不在股票池','','',0,0,'20200101','','20200101')")});
    MessageCatcher catcher;
    vorelApp()->init(nullptr);
    startupMessages = catcher.seen;
}

// main() started the application object on a damaged settings file and a full disk.
void VorelApplicationTest::damagedFolderIsToldOnceInOneBox()
{
    const QString folder = QDir::currentPath();
    QCOMPARE(startupMessages,
             QStringList(QStringLiteral("错误|设置文件 %1/config/config.ini 无法完整读取,已另存为 "
                                        "%1/config/config.ini.bad,所有设置恢复为默认值\n\n磁盘已满,无法在 %1 "
                                        "中写入文件,下载的数据、报表和设置都不会保存").arg(folder)));
    QVERIFY(QFile::exists("config/config.ini.bad"));
    MessageCatcher catcher;
    vorelApp()->init(nullptr);
    QVERIFY(catcher.seen.isEmpty());
}

// The settings are saved while only the downloads cannot be, and so on: the
// box names what is lost for the folder concerned, and nothing more.
void VorelApplicationTest::plainFileWhereAFolderBelongsNamesWhatIsLost_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("lost");
    QTest::newRow("data") << "data" << QStringLiteral("下载的数据");
    QTest::newRow("data/k") << "data/k" << QStringLiteral("K线图下载的数据");
    QTest::newRow("data/dl") << "data/dl" << QStringLiteral("下载的数据");
    QTest::newRow("output") << "output" << QStringLiteral("报表");
    QTest::newRow("config") << "config" << QStringLiteral("设置");
}

void VorelApplicationTest::plainFileWhereAFolderBelongsNamesWhatIsLost()
{
    QFETCH(QString, folder);
    QFETCH(QString, lost);
    const QString away = folder + ".away";
    const bool existed = QFileInfo(folder).isDir();
    QVERIFY(!existed || QDir().rename(folder, away));
    QVERIFY(saveWhole(folder, "a file where a folder belongs"));
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QDir::current().absoluteFilePath(folder) +
                                                  " is a file, not a folder: nothing can be stored in it"));
    const QString problem = workingFolderProblem();
    QVERIFY(QFile::remove(folder));
    QVERIFY(!existed || QDir().rename(away, folder));
    QCOMPARE(problem, QStringLiteral("%1 是一个文件,不是文件夹,%2无法保存在其中")
                          .arg(QDir::current().absoluteFilePath(folder), lost));
}

void VorelApplicationTest::poolHoldsListedCodesOnly()
{
    const auto& pool = vorelApp()->stockPool;
    // the archive's pool list has CRLF lines and many codes the database lacks
    QCOMPARE(pool.keys(), QStringList({"000001", "300498", "600000"}));
    const Stock& pufa = pool.value("600000");
    QCOMPARE(pufa.name, QStringLiteral("浦发银行"));
    QCOMPARE(pufa.industry, QStringLiteral("银行"));
    QCOMPARE(pufa.outstanding, 2810376);
    QCOMPARE(pufa.totals, 2935208);
    QCOMPARE(pufa.timeToMarket, QString("19991110"));
    QCOMPARE(pufa.area, QStringLiteral("上海"));
    QVERIFY(!pool.contains("999999"));
}

void VorelApplicationTest::shareListFiltersByListingDate()
{
    QCOMPARE(vorelApp()->loadShareList(QString()).size(), 4);
    QCOMPARE(vorelApp()->loadShareList("20151102").keys(), QStringList({"300498", "999999"}));
    QVERIFY(vorelApp()->loadShareList("2999").isEmpty());
    // a date text is data, never part of the statement
    QVERIFY(vorelApp()->loadShareList("x' or '1'='1").isEmpty());
}

void VorelApplicationTest::readFileTakesArchiveOrDisk()
{
    const QString pool = vorelApp()->readFile("?data/stockPool.txt");
    QVERIFY(pool.startsWith("600000\r\n"));
    QCOMPARE(vorelApp()->readFile("data/stockPool.txt"), QString("load template file failed."));
    QFile file("data/stockPool.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("600519\n");
    file.close();
    QCOMPARE(vorelApp()->readFile("data/stockPool.txt"), QString("600519\n"));
    QVERIFY(vorelApp()->readFile("?data/all.csv").startsWith("code,name,industry,area,pe,outstanding,totals,"));
    // a start-up step after a read from the open archive still fills the pool
    vorelApp()->stockPool.clear();
    vorelApp()->init(nullptr);
    QCOMPARE(vorelApp()->stockPool.keys(), QStringList({"000001", "300498", "600000"}));
}

void VorelApplicationTest::missingDatabaseGivesEmptyListAndAMessage()
{
    QVERIFY(QFile::rename("config/data.db", "config/data.db.away"));
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box) {
            shownTitle = box->windowTitle();
            box->close();
        }
    });
    QVERIFY(vorelApp()->loadShareList(QString()).isEmpty());
    QCOMPARE(shownTitle, QStringLiteral("错误"));
    QVERIFY(QFile::rename("config/data.db.away", "config/data.db"));
}

namespace {

QStringList loggedMessages;

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    loggedMessages << message;
}

} // namespace

void VorelApplicationTest::damagedDatabaseGivesTheMessageOfAMissingOne_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("missing") << "missing";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("no ShareList table") << "other table";
}

void VorelApplicationTest::damagedDatabaseGivesTheMessageOfAMissingOne()
{
    QFETCH(QString, damage);
    const QString path = "config/data.db";
    QVERIFY(QFile::rename(path, "config/data.db.away"));
    if (damage == "random") {
        QByteArray bytes;
        for (int i = 0; i < 16384; ++i)
            bytes.append(char((i * 7919 + 13) % 251));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    } else if (damage == "empty") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (damage == "truncated") {
        QStringList rows;
        for (int i = 0; i < 3000; ++i)
            rows << QStringLiteral("('%1','name %1','','industry',1,1,'19991110','area','19991110')").arg(600000 + i);
        writeShareList(path, rows);
        QFile file(path);
        QVERIFY(file.size() > 65536);
        QVERIFY(file.resize(file.size() / 2));
    } else if (damage == "other table") {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("create table Other (code text)"));
            db.close();
        }
        QSqlDatabase::removeDatabase("writer");
    }

    const QMap<QString, Stock> savedPool = vorelApp()->stockPool;
    vorelApp()->stockPool.clear();
    loggedMessages.clear();
    qInstallMessageHandler(keepMessage);
    QMap<QString, Stock> list;
    QStringList shown;
    {
        MessageCatcher catcher;
        list = vorelApp()->loadShareList(QString());
        vorelApp()->loadStockPool({"600000", "000001"});
        shown = catcher.seen;
    }
    qInstallMessageHandler(nullptr);
    const bool poolEmpty = vorelApp()->stockPool.isEmpty();
    vorelApp()->stockPool = savedPool;
    QFile::remove(path);
    QVERIFY(QFile::rename("config/data.db.away", path));

    QVERIFY(list.isEmpty());
    const QString message = QStringLiteral("错误|无法读取数据文件软件,配置错误,请重新下载");
    QCOMPARE(shown, (QStringList{message, message}));
    QVERIFY(poolEmpty);
    QVERIFY2(loggedMessages.filter("stock pool is empty").size() == 1, qPrintable(loggedMessages.join('\n')));
}

void VorelApplicationTest::logLinesCarryDateTimeAndKind()
{
    const QString line = logLine(QtDebugMsg, "hello");
    QVERIFY2(QRegExp("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} Debug: hello").exactMatch(line), qPrintable(line));
    QVERIFY(logLine(QtWarningMsg, "w").endsWith(" Warning: w"));
    QVERIFY(logLine(QtCriticalMsg, "c").endsWith(" Critical: c"));

    qInstallMessageHandler(messageHandler);
    qDebug("%s", "written to the log");
    qInstallMessageHandler(nullptr);
    QFile log("output.txt");
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().endsWith(" Debug: written to the log\n"));
}

// A message with line ends of its own (a source's error ends in one) is one
// dated line of the log: no blank line follows it, no undated line breaks it.
void VorelApplicationTest::logEntryIsOneLine_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logged");
    QTest::newRow("ends in LF") << "Connection refused\n" << "Connection refused";
    QTest::newRow("ends in CR LF") << "Connection refused\r\n" << "Connection refused";
    QTest::newRow("paragraphs") << QStringLiteral("设置已恢复\n\n磁盘已满") << QStringLiteral("设置已恢复 磁盘已满");
    QTest::newRow("CR inside") << "half\rwritten" << "half written";
    QTest::newRow("starts with LF") << "\nlate" << "late";
}

void VorelApplicationTest::logEntryIsOneLine()
{
    QFETCH(QString, message);
    QFETCH(QString, logged);
    QFile log("output.txt");
    const qint64 before = log.size();
    const QtMessageHandler previous = qInstallMessageHandler(messageHandler);
    qDebug().noquote() << message;
    qInstallMessageHandler(previous);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.seek(before));
    const QString added = QString::fromUtf8(log.readAll());
    const QRegExp entry("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} Debug: " + QRegExp::escape(logged) + "\n");
    QVERIFY2(entry.exactMatch(added), qPrintable(added));
}

// The stock list the build makes from the archive's all-stocks list, read as
// the program reads it, and the archive's pool lists against it.
void VorelApplicationTest::shippedStockListFillsThePoolWithShareCounts()
{
    QVERIFY(QFile::rename("config/data.db", "config/data.db.away"));
    QVERIFY(QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", "config/data.db"));
    const QMap<QString, Stock> list = vorelApp()->loadShareList(QString());
    QCOMPARE(list.size(), 3189);
    // Readable Chinese, and share counts in 10,000 converted from the
    // decimal text exactly (169.18 is 1691800, not 1691799).
    const Stock pufa = list.value("600000");
    QCOMPARE(pufa.name, QStringLiteral("浦发银行"));
    QCOMPARE(pufa.industry, QStringLiteral("银行"));
    QCOMPARE(pufa.area, QStringLiteral("上海"));
    QCOMPARE(pufa.outstanding, 2161800);
    QCOMPARE(pufa.totals, 2161800);
    QCOMPARE(pufa.timeToMarket, QString("19991110"));
    const Stock pingan = list.value("000001");
    QCOMPARE(pingan.area, QStringLiteral("深圳"));
    QCOMPARE(pingan.outstanding, 1691800);
    QCOMPARE(pingan.totals, 1717000);
    QCOMPARE(vorelApp()->loadShareList("20170328").size(), 3);

    // Every pool code is a listed stock with share counts and no "ST" name,
    // from both exchanges.
    const QMap<QString, int> sizes { { "data/stockPool.txt", 179 }, { "data/stockPool1.txt", 179 },
                                     { "data/stockPool2.txt", 960 } };
    for (auto file = sizes.cbegin(); file != sizes.cend(); ++file) {
        QVERIFY(vorelApp()->readFile("?" + file.key()).endsWith("\r\n"));
        const QSet<QString> codes = shippedPoolCodes(file.key());
        vorelApp()->stockPool.clear();
        QVERIFY(vorelApp()->loadStockPool(codes));
        const QMap<QString, Stock>& pool = vorelApp()->stockPool;
        QCOMPARE(pool.size(), file.value());
        int shanghai = 0;
        for (const Stock& stock : pool) {
            QVERIFY2(stock.totals > 0 && stock.outstanding > 0 && !stock.name.contains("ST"), qPrintable(stock.code));
            shanghai += stock.code.startsWith('6') ? 1 : 0;
        }
        QVERIFY(shanghai > 0 && shanghai < pool.size());
    }
    QVERIFY(vorelApp()->stockPool.contains("600000"));

    QVERIFY(QFile::remove("config/data.db"));
    QVERIFY(QFile::rename("config/data.db.away", "config/data.db"));
}

void VorelApplicationTest::startupListingHandsItsHistoriesToEveryoneWhoAsks()
{
    // The application's own listing of "data/" is there from the start.
    QVERIFY(vorelApp()->startupListing);

    QTemporaryDir folder;
    QVERIFY(saveWhole(folder.filePath("600000"), "x"));
    QVERIFY(saveWhole(folder.filePath("000001"), "x"));
    StartupListing listing(folder.path(), "[0-9]{6}|none");
    QObject page;
    using Handed = QList<QMap<QString, QString>>;
    Handed early;
    Handed late;
    listing.whenDone(&page, [&] { early << listing.historyFiles(); });
    listing.start();
    QVERIFY(listing.wait(10000));
    // Asked once it is done: the answer is queued, never given in the call.
    listing.whenDone(&page, [&] { late << listing.historyFiles(); });
    QVERIFY(late.isEmpty());
    QTRY_COMPARE(early.size() + late.size(), 2);
    const QMap<QString, QString> expected = historyFileMap(folder.path());
    QCOMPARE(expected.size(), 2);
    QCOMPARE(early, Handed{expected});
    QCOMPARE(late, Handed{expected});
}

// A tool or a test of one page runs the program's parts under a plain
// QApplication: there is no application object of the program, and what reads
// the pool or the settings through it finds none and goes on.
class PlainApplicationTest : public QObject
{
    Q_OBJECT
private slots:
    void noApplicationObjectOfTheProgram();
    void pagesThatReadThePoolWorkWithoutOne();
};

void PlainApplicationTest::noApplicationObjectOfTheProgram()
{
    QVERIFY(QCoreApplication::instance());
    QVERIFY(!vorelApp());
    QVERIFY(applicationStockPool().isEmpty());
}

void PlainApplicationTest::pagesThatReadThePoolWorkWithoutOne()
{
    CandlestickWidget chart;
    chart.setTitle("600000");
    QCOMPARE(chart.title->text(), QString("600000"));

    QScopedPointer<StockListView> list(createStockListView(4));
    Stock stock;
    stock.code = "600000";
    list->addStock(stock);
    list->row = 0;
    list->showKChart();

    QWidget owner;
    SettingsForm form(&owner);
    QSpinBox* box = form.addSpin(QStringLiteral("周期"), {1, 100}, &AppConfig::quantHammerMaN);
    box->setValue(42);
    form.load();
    form.store();
    QCOMPARE(box->value(), 42);
}

int main(int argc, char** argv)
{
    QTemporaryDir workingFolder;
    QDir::setCurrent(workingFolder.path());
    {
        // First, while no application object of the program was ever made.
        // Its own arguments stay with the test below, which may name them.
        int plainArgc = 1;
        QApplication plain(plainArgc, argv);
        PlainApplicationTest test;
        if (const int failed = QTest::qExec(&test, plainArgc, argv))
            return failed;
    }
    QDir().mkpath("config");
    QFile settings("config/config.ini");
    if (!settings.open(QIODevice::WriteOnly) || settings.write(QByteArray("[hammer]\nquant\0", 15)) != 15)
        return 2;
    settings.close();
    std::unique_ptr<FileSizeLimit> fullDisk(new FileSizeLimit(16));
    ProgramApplication app(argc, argv);
    fullDisk.reset();
    VorelApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vorelapplication.moc"
