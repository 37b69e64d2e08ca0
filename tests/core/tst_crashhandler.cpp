// Each case starts a helper program that dies on purpose and looks at how it
// ended and what it left in "crash/".

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const kDumpNamePattern =
    "^vorel\\.(\\d{4})-(\\d{2})-(\\d{2})-(\\d{2})-(\\d{2})-(\\d{2})-(\\d{2,3})-(\\d{2})\\.dmp$";

struct Outcome
{
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
};

QString probePath()
{
    return QCoreApplication::applicationDirPath() + "/vorel_crashprobe";
}

Outcome runProbe(const QString& workDir, const QString& mode)
{
    QProcess probe;
    probe.setWorkingDirectory(workDir);
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(probePath(), {mode});
    Outcome outcome;
    if (!probe.waitForStarted(10000) || !probe.waitForFinished(60000)) {
        probe.kill();
        probe.waitForFinished();
        return outcome;
    }
    outcome.status = probe.exitStatus();
    outcome.exitCode = probe.exitCode();
    return outcome;
}

QDateTime timeInDumpName(const QRegularExpressionMatch& m)
{
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt());
    return QDateTime(date, time, Qt::LocalTime);
}

} // namespace

class TestCrashHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faultLeavesOneDumpAndExitCodeOne_data();
    void faultLeavesOneDumpAndExitCodeOne();
    void noWritableCrashFolderStillEndsWithOne();
    void normalEndAndTerminationAreNoCrash();
};

void TestCrashHandler::initTestCase()
{
    QVERIFY2(QFile::exists(probePath()), qPrintable("missing helper " + probePath()));
}

void TestCrashHandler::faultLeavesOneDumpAndExitCodeOne_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("reason");

    QTest::newRow("null write") << "segv" << "reason: SIGSEGV";
    QTest::newRow("null write in a second thread") << "thread-segv" << "reason: SIGSEGV";
    QTest::newRow("uncaught exception") << "throw" << "uncaught exception: probe exception";
    QTest::newRow("uncaught exception in a second thread") << "thread-throw" << "probe exception in a thread";
    QTest::newRow("abort") << "abort" << "reason: SIGABRT";
    QTest::newRow("arithmetic fault") << "fpe" << "reason: SIGFPE";
    QTest::newRow("stack overflow") << "overflow" << "reason: SIGSEGV";
    QTest::newRow("failed allocation") << "oom" << "reason: failed allocation";
}

void TestCrashHandler::faultLeavesOneDumpAndExitCodeOne()
{
    QFETCH(QString, mode);
    QFETCH(QString, reason);

    QTemporaryDir work;
    QVERIFY(work.isValid());
    // a dump of an earlier crash stays where it is
    QVERIFY(QDir(work.path()).mkpath("crash"));
    QFile earlier(work.filePath("crash/vorel.2020-01-01-00-00-00-00-00.dmp"));
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.close();

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const Outcome outcome = runProbe(work.path(), mode);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    QCOMPARE(outcome.status, QProcess::NormalExit);
    QCOMPARE(outcome.exitCode, 1);
    // the empty folder of its own that the program asked a crash to remove
    QVERIFY(!QFileInfo::exists(work.filePath("runtime")));

    QStringList dumps = QDir(work.filePath("crash")).entryList(QDir::Files);
    QVERIFY(dumps.removeOne("vorel.2020-01-01-00-00-00-00-00.dmp"));
    QCOMPARE(dumps.size(), 1);
    const QRegularExpressionMatch m = QRegularExpression(kDumpNamePattern).match(dumps.first());
    QVERIFY2(m.hasMatch(), qPrintable(dumps.first()));
    const QDateTime named = timeInDumpName(m);
    QVERIFY2(named >= before && named <= after, qPrintable(dumps.first()));

    QFile dump(work.filePath("crash/" + dumps.first()));
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(dump.readAll());
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.contains("backtrace:\n") && text.count('\n') > 5, qPrintable(text));
}

void TestCrashHandler::noWritableCrashFolderStillEndsWithOne()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    // a plain file where the folder should be: no folder can be made there,
    // whatever rights the test runs with
    QFile blocker(work.filePath("crash"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const Outcome outcome = runProbe(work.path(), "thread-segv");
    QCOMPARE(outcome.status, QProcess::NormalExit);
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY(QFileInfo(work.filePath("crash")).isFile());
}

void TestCrashHandler::normalEndAndTerminationAreNoCrash()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());

    Outcome outcome = runProbe(work.path(), "exit");
    QCOMPARE(outcome.status, QProcess::NormalExit);
    QCOMPARE(outcome.exitCode, 0);

    // the program ends itself in order on SIGTERM; the crash handler keeps out
    outcome = runProbe(work.path(), "term");
    QCOMPARE(outcome.status, QProcess::CrashExit);
    QVERIFY(!QFileInfo::exists(work.filePath("crash")));
}

QTEST_GUILESS_MAIN(TestCrashHandler)
#include "tst_crashhandler.moc"
