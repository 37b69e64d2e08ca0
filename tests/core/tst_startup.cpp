#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegExp>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <utility>

// Starts the built program in a fresh working folder, as a user would, and
// ends it the way a desktop session's logout does.
class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void startsLogsAndEndsInOrderOnSigterm();
    void sigtermDuringStartupMessageEndsTheProgram();
    void damagedWorkingFolderIsToldOnceAndKept();

private:
    static void startProgram(QProcess& program, const QString& folder);
    static QByteArray waitForAddonCount(QProcess& program);
};

void StartupTest::startProgram(QProcess& program, const QString& folder)
{
    program.setWorkingDirectory(folder);
    program.setProgram(qEnvironmentVariable("VOREL_RUN_DIR") + "/VorelStock");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // nothing may leave the machine: every provider goes to a closed port
    environment.insert("VOREL_HOST_OVERRIDE", "http://127.0.0.1:9");
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

void StartupTest::startsLogsAndEndsInOrderOnSigterm()
{
    const QString runDir = qEnvironmentVariable("VOREL_RUN_DIR");
    QVERIFY(QFile::exists(runDir + "/VorelStock"));
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("config"));
    QVERIFY(QFile::copy(runDir + "/config/data.db", folder.filePath("config/data.db")));
    // The user's files, and the copies that writes killed midway left beside
    // them in every folder the program writes.
    QDir().mkpath(folder.filePath("data/k"));
    QDir().mkpath(folder.filePath("output"));
    const QMap<QString, QByteArray> kept{{"data/600000", "history"}, {"data/none", "600001"},
                                         {"data/6000001.AsNkOc", "not a copy of ours"},
                                         {"config/config.ini.backup", "the user's copy"},
                                         {"output/hammer.csv", "report"}, {"list", "600000,"}};
    const QStringList leftovers{"data/600000.AsNkOc", "data/none.Qw3rTy", "data/k/000001.zzZZzz",
                                "config/config.ini.Xy12Ab", "output/hammer.csv.Qw3rTy", "list.Zx9Yw8"};
    for (const QString& name : kept.keys() + leftovers) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kept.value(name, "half a history"));
    }

    QProcess program;
    startProgram(program, folder.path());
    QVERIFY(program.waitForStarted());
    const QByteArray output = waitForAddonCount(program);
    QVERIFY2(output.contains("addon count:0\n"), output.constData());
    QTest::qWait(500);

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // "data/" is tidied beside the start, every other folder before it.
    for (const QString& name : leftovers)
        QVERIFY2(!QFile::exists(folder.filePath(name)), qPrintable(name));
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        QFile file(folder.filePath(it.key()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), it.value());
    }

    QFile log(folder.filePath("output.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    const QRegExp form("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} (Debug|Warning|Critical): .*");
    for (const QString& line : lines)
        QVERIFY2(form.exactMatch(line), qPrintable(line));
    QVERIFY(lines.last().endsWith("Debug: stopped"));
    QVERIFY(QDir(folder.filePath("data/k")).exists());
    QVERIFY(QDir(folder.filePath("data/dl")).exists());
}

void StartupTest::sigtermDuringStartupMessageEndsTheProgram()
{
    // without config/data.db the start-up shows an error box and waits
    QTemporaryDir folder;
    QProcess program;
    startProgram(program, folder.path());
    QVERIFY(program.waitForStarted());
    waitForAddonCount(program);
    QTest::qWait(700);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(folder.filePath("config/config.ini")));
}

void StartupTest::damagedWorkingFolderIsToldOnceAndKept()
{
    // a settings file cut short, and a plain file where the data folder belongs
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("config"));
    QVERIFY(QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", folder.filePath("config/data.db")));
    const QByteArray cut = "[hammer]\nquantHammerMaN=34\n[stockBid]\nbidRa";
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

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
