#include "core/fileutils.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegExp>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <csignal>
#include <utility>

// Starts the built program in a fresh working folder, as a user would, and
// ends it the way a desktop session's logout does.
class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void ordinaryRunSaysHowManyAddonsItLoaded();
    void ordinaryRunEndsNormallyOnSigterm();
    void ordinaryRunRemovesWhatKilledWritesLeft();
    void ordinaryRunKeepsTheUsersFiles();
    void ordinaryRunLogsLinesOfOneFormEndingInStopped();
    void ordinaryRunMakesItsDataFolders();
    void sigtermDuringStartupMessageEndsTheProgram();
    void damagedWorkingFolderIsToldOnceAndKept();
    void startedElsewhereItWorksInTheFolderThatHoldsIt();
    void consoleWithoutARuntimeFolderStaysQuietAndClean_data();
    void consoleWithoutARuntimeFolderStaysQuietAndClean();

private:
    // Starts `program` (the staged one by default) from the folder
    // `startedIn` in `environment` (the test's own by default); `workDir` is
    // $VOREL_WORK_DIR, unset when empty.
    static void startProgram(QProcess& program, const QString& startedIn, const QString& workDir = QString(),
                             const QString& path = QString(),
                             QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    static QByteArray waitForAddonCount(QProcess& program);
    // Waits until `program` has counted its add-ons, lets it run `running` ms
    // more, ends it by SIGTERM and waits up to 20 s for its end; answers its
    // standard output up to the count.
    static QByteArray runThenTerminate(QProcess& program, int running);

    // One ordinary run, shared by the cases that check what it did: started
    // in a working folder with the stock list, the user's files and copies of
    // them under any name a person gives, and the copies that writes killed
    // midway left beside them, in every folder the program writes; ended by
    // SIGTERM half a second after it started.
    struct OrdinaryRun
    {
        QTemporaryDir folder;
        const QMap<QString, QByteArray> kept{{"data/600000", "history"},
                                             {"data/none", "600001"},
                                             {"data/6000001.AsNkOc", "not a copy of ours"},
                                             {"data/600000.AsNkOc", "a copy in the form of older versions"},
                                             {"data/none.Qw3rTy", "the user's copy"},
                                             {"data/k/600000.Backup", "the user's copy"},
                                             {"data/k/000001.zzZZzz", "the user's copy"},
                                             {"data/dl/600000.BACKUP", "the user's copy"},
                                             {"data/dl/600000.old", "the user's copy"},
                                             {"config/config.ini.backup", "the user's copy"},
                                             {"config/config.ini.Backup", "the user's copy"},
                                             {"config/config.ini.BACKUP", "the user's copy"},
                                             {"config/config.ini.Xy12Ab", "the user's copy"},
                                             {"output/hammer.csv", "report"},
                                             {"output/2026-12-09.csv.MyCopy", "the user's copy"},
                                             {"output/hammer.csv.Qw3rTy", "the user's copy"},
                                             {"list", "600000,"},
                                             {"list.Zx9Yw8", "the user's copy"}};
        // as the writer names its copies, one of them in capitals
        const QStringList leftovers{
            temporaryCopyName("data/600000"),        temporaryCopyName("data/none"),
            temporaryCopyName("data/k/000001"),      temporaryCopyName("data/dl/600000"),
            temporaryCopyName("config/config.ini"),  temporaryCopyName("output/hammer.csv"),
            "output/2026-12-09.csv" + temporaryCopyName(QString()).toUpper(), temporaryCopyName("list")};
        bool prepared = true;   // the stock list and every file above written
        QByteArray output;
        bool started = false;
        bool ended = false;
        QProcess::ExitStatus exitStatus = QProcess::CrashExit;
        int exitCode = -1;
    };
    const OrdinaryRun& ordinaryRun();
    QScopedPointer<OrdinaryRun> run;
};

const StartupTest::OrdinaryRun& StartupTest::ordinaryRun()
{
    if (run)
        return *run;
    run.reset(new OrdinaryRun);
    const QString runDir = qEnvironmentVariable("VOREL_RUN_DIR");
    const QTemporaryDir& folder = run->folder;
    QDir().mkpath(folder.filePath("config"));
    run->prepared = QFile::copy(runDir + "/config/data.db", folder.filePath("config/data.db"));
    QDir().mkpath(folder.filePath("data/k"));
    QDir().mkpath(folder.filePath("data/dl"));
    QDir().mkpath(folder.filePath("output"));
    for (const QString& name : run->kept.keys() + run->leftovers) {
        QFile file(folder.filePath(name));
        const QByteArray bytes = run->kept.value(name, "half a history");
        run->prepared = run->prepared && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QProcess program;
    startProgram(program, folder.path());
    run->started = program.waitForStarted();
    if (run->started) {
        run->output = waitForAddonCount(program);
        QTest::qWait(500);
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        run->ended = program.waitForFinished(20000);
        run->exitStatus = program.exitStatus();
        run->exitCode = program.exitCode();
    }
    return *run;
}

void StartupTest::ordinaryRunSaysHowManyAddonsItLoaded()
{
    QVERIFY(QFile::exists(qEnvironmentVariable("VOREL_RUN_DIR") + "/VorelStock"));
    QVERIFY(ordinaryRun().prepared);
    const QByteArray output = ordinaryRun().output;
    QVERIFY2(output.contains("addon count:0\n"), output.constData());
}

void StartupTest::ordinaryRunEndsNormallyOnSigterm()
{
    const OrdinaryRun& run = ordinaryRun();
    QVERIFY2(run.started, "the program did not start");
    QVERIFY2(run.ended, "still running 20 s after SIGTERM");
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
}

// "data/" is tidied beside the start, every other folder before it.
void StartupTest::ordinaryRunRemovesWhatKilledWritesLeft()
{
    const OrdinaryRun& run = ordinaryRun();
    QVERIFY(run.prepared && run.ended);
    for (const QString& name : run.leftovers)
        QVERIFY2(!QFile::exists(run.folder.filePath(name)), qPrintable(name));
}

void StartupTest::ordinaryRunKeepsTheUsersFiles()
{
    const OrdinaryRun& run = ordinaryRun();
    for (auto it = run.kept.cbegin(); it != run.kept.cend(); ++it) {
        QFile file(run.folder.filePath(it.key()));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(it.key()));
        QCOMPARE(file.readAll(), it.value());
    }
}

void StartupTest::ordinaryRunLogsLinesOfOneFormEndingInStopped()
{
    QFile log(ordinaryRun().folder.filePath("output.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    const QRegExp form("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} (Debug|Warning|Critical): .*");
    for (const QString& line : lines)
        QVERIFY2(form.exactMatch(line), qPrintable(line));
    QVERIFY(lines.last().endsWith("Debug: stopped"));
}

void StartupTest::ordinaryRunMakesItsDataFolders()
{
    const OrdinaryRun& run = ordinaryRun();
    QVERIFY(QDir(run.folder.filePath("data/k")).exists());
    QVERIFY(QDir(run.folder.filePath("data/dl")).exists());
}

void StartupTest::startProgram(QProcess& program, const QString& startedIn, const QString& workDir,
                               const QString& path, QProcessEnvironment environment)
{
    program.setWorkingDirectory(startedIn);
    program.setProgram(path.isEmpty() ? qEnvironmentVariable("VOREL_RUN_DIR") + "/VorelStock" : path);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // nothing may leave the machine: every provider goes to a closed port
    environment.insert("VOREL_HOST_OVERRIDE", "http://127.0.0.1:9");
    environment.remove("VOREL_WORK_DIR");
    if (!workDir.isEmpty())
        environment.insert("VOREL_WORK_DIR", workDir);
    program.setProcessEnvironment(environment);
    program.start();
}

QByteArray StartupTest::waitForAddonCount(QProcess& program)
{
    // the add-on count is the last line the application object prints
    QByteArray output;
    for (int i = 0; i < 200 && !output.contains("addon count:"); ++i) {
        program.waitForReadyRead(100);
        output += program.readAllStandardOutput();
    }
    return output;
}

QByteArray StartupTest::runThenTerminate(QProcess& program, int running)
{
    const QByteArray output = waitForAddonCount(program);
    QTest::qWait(running);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    program.waitForFinished(20000);
    return output;
}

void StartupTest::sigtermDuringStartupMessageEndsTheProgram()
{
    // without config/data.db the start-up shows an error box and waits; the
    // folder is named by $VOREL_WORK_DIR, the program started elsewhere
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    QProcess program;
    startProgram(program, elsewhere.path(), folder.path());
    QVERIFY(program.waitForStarted());
    runThenTerminate(program, 700);
    QCOMPARE(program.state(), QProcess::NotRunning);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(folder.filePath("config/config.ini")));
    QVERIFY(QFile::exists(folder.filePath("output.txt")));
    QVERIFY(QDir(elsewhere.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void StartupTest::damagedWorkingFolderIsToldOnceAndKept()
{
    // a settings file cut short and filled up with zeros, as a file system
    // may leave it after a power cut, and a plain file where the data folder
    // belongs
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("config"));
    QVERIFY(QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", folder.filePath("config/data.db")));
    const QByteArray cut = "[hammer]\nquantHammerMaN=34\n[stockBid]\nbidRa" + QByteArray(64, '\0');
    const QByteArray data = "not a folder";
    for (const auto& file : {std::make_pair("config/config.ini", cut), std::make_pair("data", data)}) {
        QFile out(folder.filePath(file.first));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.second);
    }

    QProcess program;
    startProgram(program, folder.path());
    QVERIFY(program.waitForStarted());
    waitForAddonCount(program);
    // the notes went to the log before the add-ons were counted; the box waits
    QTest::qWait(300);
    QCOMPARE(program.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);

    QFile log(folder.filePath("output.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QCOMPARE(text.count("config/config.ini cannot be read whole: kept as config/config.ini.bad"), 1);
    QCOMPARE(text.count(folder.filePath("data") + " is a file, not a folder"), 1);
    QFile kept(folder.filePath("config/config.ini.bad"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), cut);
    QFile settings(folder.filePath("config/config.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("quantHammerMaN=21\n"));
    QFile plain(folder.filePath("data"));
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), data);
}

// As a file manager or a shell elsewhere starts it: the program works in
// the folder that holds it, as make run lays that out, and leaves the folder
// it was started from as it was, from its first log line on.
void StartupTest::startedElsewhereItWorksInTheFolderThatHoldsIt()
{
    const QString runDir = qEnvironmentVariable("VOREL_RUN_DIR");
    QTemporaryDir work;
    QTemporaryDir elsewhere;
    QVERIFY(QFile::copy(runDir + "/VorelStock", work.filePath("VorelStock")));
    QVERIFY(QFile::link(runDir + "/lib", work.filePath("lib")));
    QVERIFY(QDir().mkpath(work.filePath("config")));
    QVERIFY(QFile::copy(runDir + "/config/data.db", work.filePath("config/data.db")));

    QProcess program;
    startProgram(program, elsewhere.path(), QString(), work.filePath("VorelStock"));
    QVERIFY(program.waitForStarted());
    QVERIFY(runThenTerminate(program, 300).contains("addon count:0\n"));
    QCOMPARE(program.state(), QProcess::NotRunning);
    QCOMPARE(program.exitCode(), 0);

    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QFile log(work.filePath("output.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.first().endsWith(" started"), qPrintable(lines.first()));
    QVERIFY2(lines.last().endsWith("Debug: stopped"), qPrintable(lines.last()));
    QVERIFY(QFile::exists(work.filePath("config/config.ini")));
    QVERIFY(QDir(work.filePath("data/k")).exists());
    // the stock list was found: no box waited for the SIGTERM
    QVERIFY(!lines.join('\n').contains(QStringLiteral("无法读取数据文件")));
}

// A console or a container names no runtime folder for the session, or one
// Qt refuses: a start says nothing of it, leaves nothing in the temporary
// folder ($TMPDIR, where Qt would make its own) and leaves a folder the
// session named as it was.
void StartupTest::consoleWithoutARuntimeFolderStaysQuietAndClean_data()
{
    QTest::addColumn<QString>("named");   // what XDG_RUNTIME_DIR names, under a folder of the test's
    QTest::addColumn<int>("mode");        // the rights of that folder when it is made; 0 for none
    QTest::newRow("none named") << QString() << 0;
    QTest::newRow("a folder others may enter") << "shared" << 0755;
    QTest::newRow("a missing folder") << "gone" << 0;
}

void StartupTest::consoleWithoutARuntimeFolderStaysQuietAndClean()
{
    QFETCH(QString, named);
    QFETCH(int, mode);
    QTemporaryDir work;
    QTemporaryDir temp;
    QTemporaryDir session;
    QVERIFY(QDir().mkpath(work.filePath("config")));
    QVERIFY(QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", work.filePath("config/data.db")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    if (!named.isEmpty())
        environment.insert("XDG_RUNTIME_DIR", session.filePath(named));
    if (mode) {
        QVERIFY(QDir().mkpath(session.filePath(named)));
        QVERIFY(::chmod(QFile::encodeName(session.filePath(named)).constData(), mode_t(mode)) == 0);
    }
    environment.insert("TMPDIR", temp.path());

    QProcess program;
    startProgram(program, work.path(), work.path(), QString(), environment);
    QVERIFY(program.waitForStarted());
    QVERIFY(runThenTerminate(program, 300).contains("addon count:0\n"));
    QCOMPARE(program.state(), QProcess::NotRunning);
    QCOMPARE(program.exitCode(), 0);

    QFile log(work.filePath("output.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString said = QString::fromUtf8(log.readAll()) + QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(said.contains("Debug: stopped"), qPrintable(said));
    for (const char* warning : {"XDG_RUNTIME_DIR", "runtime directory", "cannot remove"})
        QVERIFY2(!said.contains(warning), qPrintable(said));
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    if (!named.isEmpty()) {
        struct stat kept = {};
        const bool exists = ::stat(QFile::encodeName(session.filePath(named)).constData(), &kept) == 0;
        QCOMPARE(exists, mode != 0);
        QCOMPARE(int(kept.st_mode & 0777), mode);
        QVERIFY(!exists || QDir(session.filePath(named)).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
