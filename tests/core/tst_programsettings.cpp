// Starts the real program in a fresh working folder, ends it the way a session
// logout does (SIGTERM) and looks at the settings file it leaves behind.

#include "tests/core/firststartconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

namespace {

QString programPath()
{
    QString runDir = qEnvironmentVariable("VOREL_RUN_DIR");
    if (runDir.isEmpty())
        runDir = QCoreApplication::applicationDirPath() + "/../run";
    return runDir + "/VorelStock";
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// The program stops with an error box when it has no stock list.
bool writeShareList(const QString& path)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "sharelist");
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        ok = ok
             && query.exec("CREATE TABLE ShareList (code TEXT, name TEXT, pinyin TEXT, industry TEXT, "
                           "outstanding INTEGER, totals INTEGER, listDate TEXT, area TEXT)")
             && query.exec("INSERT INTO ShareList VALUES ('600000', 'A', '', 'B', 1, 2, '19991110', 'C')");
        db.close();
    }
    QSqlDatabase::removeDatabase("sharelist");
    return ok;
}

} // namespace

class TestProgramSettings : public QObject
{
    Q_OBJECT

private slots:
    void settingsWrittenOnTerminationAndReadBack();

private:
    bool runUntilTerminated(const QString& workDir);
};

// Runs the program until it has started its event loop, then sends SIGTERM
// and waits for it to end in order.
bool TestProgramSettings::runUntilTerminated(const QString& workDir)
{
    QFile::remove(workDir + "/output.txt");
    QProcess program;
    program.setWorkingDirectory(workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // the start-up downloads go to a closed local port, never outside
    env.insert("VOREL_HOST_OVERRIDE", "http://127.0.0.1:9");
    // started in a working folder, it works there
    env.remove("VOREL_WORK_DIR");
    program.setProcessEnvironment(env);
    program.start(programPath(), QStringList());
    if (!program.waitForStarted(10000))
        return false;
    bool started = false;
    for (int i = 0; i < 600 && !started && program.state() == QProcess::Running; ++i) {
        started = readFile(workDir + "/output.txt").contains("started");
        if (!started)
            program.waitForFinished(100);
    }
    if (!started || program.state() != QProcess::Running) {
        program.kill();
        program.waitForFinished();
        return false;
    }
    ::kill(pid_t(program.processId()), SIGTERM);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return false;
    }
    return program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
}

void TestProgramSettings::settingsWrittenOnTerminationAndReadBack()
{
    // The build stages the program before any test runs.
    QVERIFY2(QFile::exists(programPath()), qPrintable("no program at " + programPath()));
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkpath("config"));
    QVERIFY(writeShareList(work.filePath("config/data.db")));
    const QString config = work.filePath("config/config.ini");

    QVERIFY(runUntilTerminated(work.path()));
    QCOMPARE(readFile(config), QByteArray(kFirstStartFile));

    // values the user changed by hand are read and written back unchanged,
    // as an editor saves them: a byte-order mark, a note of the user's, no
    // line end after the last line
    QByteArray edited = "\xEF\xBB\xBF" + QByteArray(kFirstStartFile);
    edited.replace("quantHammerMaN=21", "quantHammerMaN=34");
    edited.replace("bidRatio=0.093", "bidRatio=0.2\n1 my note");
    edited.replace("bidUseK=1", "bidUseK=0");
    edited.append("[dcz]\n# read, never written\nquantDaoChuiZiHead=60");
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(edited);
    file.close();

    QVERIFY(runUntilTerminated(work.path()));
    QCOMPARE(readFile(config), edited + "\n");
    QCOMPARE(QDir(work.filePath("config")).entryList(QDir::Files), QStringList({"config.ini", "data.db"}));
    QVERIFY(!readFile(work.filePath("output.txt")).contains("cannot be read whole"));
    QVERIFY(!QFileInfo::exists(work.filePath("crash")));
}

QTEST_GUILESS_MAIN(TestProgramSettings)
#include "tst_programsettings.moc"
