#include "core/exportutils.h"
#include "core/fileutils.h"
#include "core/geometry.h"
#include "tests/core/filesizelimit.h"
#include "tests/core/unprivileged.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegExp>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

class FileUtilsTest : public QObject
{
    Q_OBJECT
private slots:
    void missingFilesComeBackAsFailureTexts();
    void archiveEntriesAreReadByName();
    void writeFileWritesUtf8Whole();
    void failedWriteKeepsTheOldFile();
    void replacingKeepsTheLinkAndThePermissions();
    void tableExportJoinsCellsWithCommas();
    void forEachFileVisitsPlainFilesOnly();
    void historyFilesAreTheFilesNamedByACode();
    void oneListingTidiesTheFolderAndGivesItsHistories();
    void interruptedWritesGoUsersCopiesStay();
    void probeTellsWhyAFolderKeepsNothing();
    void pointLineDistanceHandlesVerticalLines();

private:
    QTemporaryDir dir;
};

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

class CollectingVisitor : public FileVisitor
{
public:
    void visit(const QString& path, int position, int count) override
    {
        visited << QString("%1:%2/%3").arg(QFileInfo(path).fileName()).arg(position).arg(count);
    }
    QStringList visited;
};

} // namespace

void FileUtilsTest::missingFilesComeBackAsFailureTexts()
{
    const QString missing = loadTemplate(dir.filePath("none"));
    QCOMPARE(missing, QString("load template file failed."));
    QVERIFY(isLoadTemplateFailure(missing));

    QuaZip broken(dir.filePath("none.zip"));
    QVERIFY(!broken.open(QuaZip::mdUnzip));
    QCOMPARE(loadTemplate("data/x", &broken), QString("load template zip file failed."));
}

void FileUtilsTest::archiveEntriesAreReadByName()
{
    const QString zipPath = dir.filePath("a.zip");
    {
        QuaZip zip(zipPath);
        QVERIFY(zip.open(QuaZip::mdCreate));
        QuaZipFile entry(&zip);
        QVERIFY(entry.open(QIODevice::WriteOnly, QuaZipNewInfo("data/pool.txt")));
        entry.write(QStringLiteral("600000\r\n浦发\r\n").toUtf8());
        entry.close();
    }
    QuaZip zip(zipPath);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    QCOMPARE(loadTemplate("data/pool.txt", &zip), QStringLiteral("600000\r\n浦发\r\n"));
    QVERIFY(isLoadTemplateFailure(loadTemplate("data/other.txt", &zip)));
}

void FileUtilsTest::writeFileWritesUtf8Whole()
{
    const QString path = dir.filePath("out.txt");
    writeFile(path, QStringLiteral("平安银行"));
    QCOMPARE(readAll(path), QStringLiteral("平安银行").toUtf8());
    writeFile(path, "short");
    QCOMPARE(readAll(path), QByteArray("short"));
    QCOMPARE(loadTemplate(path), QString("short"));
    // The writers make their folder before every write; making one that
    // stands already leaves "file exists" behind as the last error.
    QVERIFY(QDir().mkpath(dir.path()));
    writeFile(path, "again");
    QCOMPARE(readAll(path), QByteArray("again"));
}

void FileUtilsTest::failedWriteKeepsTheOldFile()
{
    const QString path = dir.filePath("locked/history");
    QDir().mkpath(dir.filePath("locked"));
    QVERIFY(saveWhole(path, "good"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    const QString sub = readOnlyFolder(dir.path(), "locked");
    QCOMPARE(withoutSuperuserRights([&path] { return saveWhole(path, "bad") ? 1 : 0; }), 0);
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readAll(path), QByteArray("good"));
    QCOMPARE(QDir(sub).entryList(QDir::Files | QDir::Hidden), QStringList("history"));
}

// A settings file the user keeps elsewhere through a link, or made readable
// to its owner only, stays so when the program writes it.
void FileUtilsTest::replacingKeepsTheLinkAndThePermissions()
{
    QTemporaryDir folder;
    const QString target = folder.filePath("kept/config.ini");
    QVERIFY(QDir().mkpath(folder.filePath("kept")));
    QVERIFY(saveWhole(target, "old"));
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(QFile::link(target, folder.filePath("config.ini")));

    QVERIFY(saveWhole(folder.filePath("config.ini"), "new"));
    QVERIFY(QFileInfo(folder.filePath("config.ini")).isSymLink());
    QCOMPARE(readAll(target), QByteArray("new"));
    QCOMPARE(QFile::permissions(target) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({"config.ini", "kept"}));
    QCOMPARE(QDir(folder.filePath("kept")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList("config.ini"));

    // a new file is readable by others as any file the user makes
    QVERIFY(saveWhole(folder.filePath("report.csv"), "a,b,\n"));
    QVERIFY(QFile::permissions(folder.filePath("report.csv")) & QFile::ReadOther);
}

void FileUtilsTest::tableExportJoinsCellsWithCommas()
{
    QTableWidget table(2, 2);
    table.setHorizontalHeaderLabels({"A", "B"});
    table.setItem(0, 0, new QTableWidgetItem("x,y"));
    table.setItem(0, 1, new QTableWidgetItem("z"));
    table.setItem(1, 0, new QTableWidgetItem("u"));
    table.setItem(1, 1, new QTableWidgetItem("v"));
    const QString path = dir.filePath("table.csv");
    QVERIFY(exportTableToCsv(path, &table));
    QCOMPARE(readAll(path), QByteArray("A,B,\nx y,z,\nu,v,\n"));

    // a cell without an item adds nothing, not even its comma
    delete table.takeItem(1, 1);
    QVERIFY(exportTableToCsv(path, &table));
    QCOMPARE(readAll(path), QByteArray("A,B,\nx y,z,\nu,\n"));
    QVERIFY(!exportTableToCsv(dir.filePath("missing/folder/t.csv"), &table));
}

void FileUtilsTest::forEachFileVisitsPlainFilesOnly()
{
    QTemporaryDir folder;
    saveWhole(folder.filePath("600000"), "a");
    saveWhole(folder.filePath("000001"), "b");
    QDir(folder.path()).mkdir("k");
    QFile::link(folder.filePath("600000"), folder.filePath("link"));
    CollectingVisitor visitor;
    forEachFile(folder.path(), &visitor);
    visitor.visited.sort();
    QCOMPARE(visitor.visited.size(), 2);
    QVERIFY(visitor.visited.at(0).startsWith("000001:"));
    QVERIFY(visitor.visited.at(0).endsWith("/2"));
    forEachFile(folder.filePath("nothing"), &visitor);
    QCOMPARE(visitor.visited.size(), 2);
}

void FileUtilsTest::historyFilesAreTheFilesNamedByACode()
{
    QTemporaryDir folder;
    for (const char* name : {"600000", "399678", "000001", "none", "600000.AsNkOc", "60000", "6000001", ".600002"})
        QVERIFY(saveWhole(folder.filePath(name), "x"));
    QDir(folder.path()).mkdir("600003");
    // A link named by a code is no history, whether it leads to one or nowhere.
    QVERIFY(QFile::link(folder.filePath("600000"), folder.filePath("600004")));
    QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("600005")));
    const QStringList expected{folder.filePath("000001"), folder.filePath("399678"), folder.filePath("600000")};
    QCOMPARE(historyFiles(folder.path()), expected);
    const QMap<QString, QString> map = historyFileMap(folder.path());
    QCOMPARE(map.keys(), expected);
    QCOMPARE(map.values(), expected);
    QVERIFY(historyFiles(folder.filePath("missing")).isEmpty());
}

void FileUtilsTest::oneListingTidiesTheFolderAndGivesItsHistories()
{
    const QString kHistoryNames = "[0-9]{6}|none";
    QTemporaryDir folder;
    const QDateTime start = QDateTime::currentDateTime();
    const QString left = temporaryCopyName(folder.filePath("600000"));
    const QString leftOfNone = temporaryCopyName(folder.filePath("none"));
    const QString underWayName = temporaryCopyName(folder.filePath("000001"));
    for (const QString& name : {QString("600000"), QString("399678"), QString("000001"), QString("none"),
                                QString("60000"), QString("600000.AsNkOc")})
        QVERIFY(saveWhole(folder.filePath(name), "x"));
    for (const QString& path : {left, leftOfNone, underWayName})
        QVERIFY(saveWhole(path, "x"));
    QDir(folder.path()).mkdir("600003");
    // Copies from before the start are what interrupted writes left; one
    // changed since belongs to a write under way.
    for (const QString& path : {left, leftOfNone, folder.filePath("600000.AsNkOc")}) {
        QFile copy(path);
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QVERIFY(copy.setFileTime(start.addSecs(-60), QFileDevice::FileModificationTime));
    }
    QFile underWay(underWayName);
    QVERIFY(underWay.open(QIODevice::ReadWrite));
    QVERIFY(underWay.setFileTime(start.addSecs(60), QFileDevice::FileModificationTime));
    underWay.close();

    QVERIFY(tidyHistoryFolder(folder.path(), kHistoryNames, start, [] { return true; }).isEmpty());
    QVERIFY(QFile::exists(left));

    const QMap<QString, QString> histories = tidyHistoryFolder(folder.path(), kHistoryNames, start, [] { return false; });
    QCOMPARE(histories, historyFileMap(folder.path()));
    QCOMPARE(histories.size(), 3);
    QVERIFY(!QFile::exists(left));
    QVERIFY(!QFile::exists(leftOfNone));
    QVERIFY(QFile::exists(underWayName));
    QVERIFY(QFile::exists(folder.filePath("none")));
    // without the mark it may be the user's copy
    QVERIFY(QFile::exists(folder.filePath("600000.AsNkOc")));
    QVERIFY(tidyHistoryFolder(folder.filePath("missing"), kHistoryNames, start, [] { return false; }).isEmpty());
}

namespace {

// Saves `bytes` into `path` in a child process that the kernel kills midway
// through the write, as a full quota or a crash would stop it. True when the
// child was killed so.
bool killedWhileSaving(const QString& path, const QByteArray& bytes)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        // the write past this size kills the process
        const rlimit limit{rlim_t(bytes.size() / 2), rlim_t(bytes.size() / 2)};
        std::signal(SIGXFSZ, SIG_DFL);
        setrlimit(RLIMIT_FSIZE, &limit);
        saveWhole(path, bytes);
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

} // namespace

// What the writer leaves when it is killed, in any case of its mark, goes;
// every name a person may give a copy stays, with or without capitals, of six
// characters or of any other length, and so does a copy in the unmarked form
// of older versions, which cannot be told from a person's.
void FileUtilsTest::interruptedWritesGoUsersCopiesStay()
{
    QTemporaryDir folder;
    QVERIFY(saveWhole(folder.filePath("config.ini"), "[hammer]\nquantHammerMaN=21\n"));
    QVERIFY(killedWhileSaving(folder.filePath("config.ini"), QByteArray(64 * 1024, '#')));
    const QStringList killed = QDir(folder.path()).entryList(QDir::Files).filter(QRegExp("^config\\.ini\\..+"));
    QCOMPARE(killed.size(), 1);
    QCOMPARE(readAll(folder.filePath("config.ini")), QByteArray("[hammer]\nquantHammerMaN=21\n"));

    const QString planted = QFileInfo(temporaryCopyName(folder.filePath("config.ini"))).fileName();
    const QString mark = planted.chopped(6);
    const QStringList leftovers{killed.first(), planted, "config.ini" + planted.mid(10).toUpper(), mark + "AB12cd"};
    const QStringList kept{"config.ini",          "config.ini.bad",     "config.ini.bad.1",   "config.ini.backup",
                           "config.ini.Backup",   "config.ini.BACKUP",  "config.ini.201703",  "config.ini.AsNkOc",
                           "config.ini.x7yz0q",   "config.ini.QWERTY",  "config.ini.AsNkOc1", "config.ini.My Copy",
                           mark + "ab12c",        mark + "ab12cde",     "other.ini." + planted.mid(11),
                           "config.inix" + planted.mid(10)};
    for (const QString& name : leftovers + kept)
        QVERIFY(QFile::exists(folder.filePath(name)) || saveWhole(folder.filePath(name), "x"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), leftovers.size() + kept.size());
    removeInterruptedWrites(folder.path(), "config\\.ini");
    QStringList expected = kept;
    expected.sort();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), expected);
}

void FileUtilsTest::probeTellsWhyAFolderKeepsNothing()
{
    QTemporaryDir folder;
    QCOMPARE(probeFolder(folder.path()), FolderState::Writable);
    QCOMPARE(probeFolder(folder.filePath("missing")), FolderState::Missing);
    QVERIFY(saveWhole(folder.filePath("data"), "a file where a folder belongs"));
    QCOMPARE(probeFolder(folder.filePath("data")), FolderState::NotAFolder);
    {
        FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.active);
        QCOMPARE(probeFolder(folder.path()), FolderState::Full);
    }
    // the probes leave nothing behind
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList("data"));

    const QString readOnly = readOnlyFolder(folder.path(), "readonly");
    QCOMPARE(withoutSuperuserRights([&readOnly] { return int(probeFolder(readOnly)); }), int(FolderState::Unwritable));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void FileUtilsTest::pointLineDistanceHandlesVerticalLines()
{
    QCOMPARE(pointLineDistance(QLineF(0, 0, 10, 0), 5, 3), 3.0f);
    QVERIFY(qAbs(pointLineDistance(QLineF(0, 0, 1, 1), 0, 2) - std::sqrt(2.0f)) < 1e-5f);
    QCOMPARE(pointLineDistance(QLineF(4, 0, 4, 10), 1, 5), 3.0f);
}

QTEST_MAIN(FileUtilsTest)
#include "tst_fileutils.moc"
