#include "strategy/addonhost.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>
#include <unistd.h>

namespace {

QString builtAddon()
{
    return qEnvironmentVariable("VOREL_RUN_DIR") + "/addon/Addon.so";
}

QString fixture(const QString& name)
{
    return qEnvironmentVariable("VOREL_BINARY_DIR") + "/tests/addon/fixtures/" + name + ".so";
}

// Whether the dynamic loader still holds the library at `path`.
bool isResident(const QString& path)
{
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

// A copy of the built add-on cut to its first `bytes` bytes.
bool writeTruncatedAddon(const QString& path, qint64 bytes)
{
    QFile whole(builtAddon());
    QFile cut(path);
    if (!whole.open(QIODevice::ReadOnly) || !cut.open(QIODevice::WriteOnly))
        return false;
    return cut.write(whole.read(bytes)) == bytes;
}

QStringList loggedMessages;

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    loggedMessages << message;
}

// Loads `dir` into `host` and gives back what the loader logged meanwhile.
QStringList loadDirLogged(VorelAddonHostImpl& host, const QString& dir)
{
    loggedMessages.clear();
    qInstallMessageHandler(keepMessage);
    host.registry.loadDir(dir);
    qInstallMessageHandler(nullptr);
    return loggedMessages;
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(20000))
        return QString();
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

} // namespace

class TestAddonLoading : public QObject
{
    Q_OBJECT

private slots:
    void libraryExportsThePlainEntry()
    {
        const QString symbols = runTool("nm", {"-D", "--defined-only", builtAddon()});
        QVERIFY2(symbols.contains(QRegularExpression("\\bT get_vorel_interface\\n")),
                 qPrintable(symbols));
    }

    void libraryNeedsQtCoreOnly()
    {
        const QString needed = runTool("readelf", {"-d", builtAddon()});
        QVERIFY(needed.contains("libQt5Core"));
        QVERIFY2(!needed.contains(QRegularExpression("libQt5(?!Core)")), qPrintable(needed));
    }

    void folderLoadBindsEachLibraryOnce()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + "/";
        QVERIFY(QFile::copy(builtAddon(), d + "a_hammer.so"));
        QVERIFY(QFile::copy(fixture("refusingaddon"), d + "b_refuses.so"));
        QVERIFY(QFile::copy(fixture("noexportaddon"), d + "c_noexport.so"));
        for (const char* name : {"d_notes.so", "a_hammer"}) {
            // The second one would bring in "a_hammer.so" if the loader tried name variants.
            QFile text(d + name);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("not a library\n");
        }
        QVERIFY(QFile::copy(fixture("noexportaddon"), d + "readme.txt"));
        // Another name of a bound library: a symbolic link is not listed, a hard
        // link is the same image and must not be bound twice.
        QVERIFY(QFile::link(d + "a_hammer.so", d + "e_link.so"));
        QVERIFY(::link(QFile::encodeName(d + "a_hammer.so").constData(),
                       QFile::encodeName(d + "f_hard.so").constData()) == 0);

        VorelAddonHostImpl host(nullptr);
        host.registry.loadDir(dir.path());
        QCOMPARE(host.registry.count(), 1);
        QCOMPARE(host.registry.addonAt(0)->introduction(), QStringLiteral("锤子量化策略"));
        QCOMPARE(host.registry.boundIndex, -1);
        QVERIFY(!isResident(d + "b_refuses.so"));
        QVERIFY(!isResident(d + "c_noexport.so"));
        QVERIFY(!isResident(d + "readme.txt"));
        host.registry.unloadAll();
        QCOMPARE(host.registry.count(), 0);
    }

    void addonTextsOutliveTheLibrary()
    {
        // The settings page keeps what an add-on says of itself: unloading the
        // library must not take those texts along.
        QTemporaryDir dir;
        const QString path = dir.path() + "/hammer.so";
        QVERIFY(QFile::copy(builtAddon(), path));
        VorelAddonHostImpl host(nullptr);
        QVERIFY(host.registry.loadAddon(path, &host));
        VorelAddon* addon = host.registry.addonAt(0);
        const QStringList texts = {addon->author(), addon->version(), addon->introduction(), addon->hint()};
        host.registry.unloadAll();
        QVERIFY(!isResident(path));
        QCOMPARE(texts, (QStringList{QStringLiteral("岚蚁(http://www.vorelstock.com)"), QStringLiteral("1.0.0.4"),
                                     QStringLiteral("锤子量化策略"), QStringLiteral("岚蚁标准策略")}));
    }

    void refusingLibraryIsFreedAndNotCounted()
    {
        VorelAddonHostImpl host(nullptr);
        QVERIFY(!host.registry.loadAddon(fixture("refusingaddon"), &host));
        QCOMPARE(host.registry.count(), 0);
        QVERIFY(!isResident(fixture("refusingaddon")));
    }

    void truncatedLibraryIsSkippedWithALogLine_data()
    {
        QTest::addColumn<qint64>("bytes");
        const qint64 size = QFileInfo(builtAddon()).size();
        QTest::newRow("one byte short") << size - 1;
        QTest::newRow("half") << size / 2;
        QTest::newRow("a tenth") << size / 10;
        QTest::newRow("the ELF header only") << qint64(64);
        QTest::newRow("part of the ELF header") << qint64(20);
    }

    void truncatedLibraryIsSkippedWithALogLine()
    {
        QFETCH(qint64, bytes);
        QTemporaryDir dir;
        QVERIFY(writeTruncatedAddon(dir.path() + "/a_cut.so", bytes));
        QVERIFY(QFile::copy(builtAddon(), dir.path() + "/b_whole.so"));
        VorelAddonHostImpl host(nullptr);
        const QStringList logged = loadDirLogged(host, dir.path());
        QCOMPARE(host.registry.count(), 1);
        QVERIFY(!isResident(dir.path() + "/a_cut.so"));
        QVERIFY2(logged.filter("a_cut.so").size() == 1, qPrintable(logged.join('\n')));
        host.registry.unloadAll();
    }

    // An entry point that cannot serve leaves the library out, freed, with the
    // reason in one log line, and the add-on beside it still goes in.
    void entryThatCannotServeIsSkippedWithALogLine_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("why");
        QTest::newRow("exported for data") << "dataentryaddon" << "not exported as a function";
        QTest::newRow("missing") << "noexportaddon" << "no entry point get_vorel_interface";
        QTest::newRow("refusing") << "refusingaddon" << "refused";
    }

    void entryThatCannotServeIsSkippedWithALogLine()
    {
        QFETCH(QString, library);
        QFETCH(QString, why);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(fixture(library), dir.path() + "/a_bad.so"));
        QVERIFY(QFile::copy(builtAddon(), dir.path() + "/b_whole.so"));
        VorelAddonHostImpl host(nullptr);
        const QStringList logged = loadDirLogged(host, dir.path());
        QCOMPARE(host.registry.count(), 1);
        QCOMPARE(host.registry.addonAt(0)->introduction(), QStringLiteral("锤子量化策略"));
        QVERIFY(!isResident(dir.path() + "/a_bad.so"));
        const QStringList lines = logged.filter("a_bad.so");
        QVERIFY2(lines.size() == 1 && lines.first().contains(why), qPrintable(logged.join('\n')));
        host.registry.unloadAll();
    }

    void emptyOrMissingFolderLoadsNothing()
    {
        QTemporaryDir dir;
        VorelAddonHostImpl host(nullptr);
        host.registry.loadDir(dir.path());
        host.registry.loadDir(dir.path() + "/missing");
        QCOMPARE(host.registry.count(), 0);
        QVERIFY(host.registry.addonAt(-1) == nullptr);
        QVERIFY(host.registry.addonAt(0) == nullptr);
        QVERIFY(host.registry.boundAddon() == nullptr);
    }

    void createIndicatorByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("made");
        QTest::newRow("macd") << 0 << true;
        QTest::newRow("average close") << 1 << true;
        QTest::newRow("boll") << 2 << true;
        QTest::newRow("kdj") << 3 << true;
        QTest::newRow("average volume") << 4 << true;
        QTest::newRow("unknown 7") << 7 << false;
        QTest::newRow("negative") << -1 << false;
    }

    void createIndicatorByType()
    {
        QFETCH(int, type);
        QFETCH(bool, made);
        VorelAddonHostImpl host(nullptr);
        QCOMPARE(host.createIndicator(type, 5, 0, 0) != nullptr, made);
        QCOMPARE(host.indicators.size(), made ? 1 : 0);
    }

    void indicatorsServeTheirTypeAndRunOut()
    {
        VorelAddonHostImpl host(nullptr);
        StockIndicator* ma = host.createIndicator(1, 2, 0, 0);
        StockIndicator* vol = host.createIndicator(4, 2, 0, 0);
        Stock bar;
        bar.close = 4;
        bar.volume = 10;
        ma->update(bar);
        vol->update(bar);
        bar.close = 6;
        bar.volume = 30;
        QCOMPARE(ma->update(bar).first, 5.f);
        QCOMPARE(vol->update(bar).first, 20.f);

        for (int i = 2; i < VorelAddonHostImpl::kMaxIndicators; ++i)
            QVERIFY(host.createIndicator(1, 5, 0, 0));
        QVERIFY(host.createIndicator(1, 5, 0, 0) == nullptr);   // the 12th
        QCOMPARE(host.indicators.size(), 11);
    }

    void gainIsCutAtTheSecondDecimal_data()
    {
        QTest::addColumn<float>("buy");
        QTest::addColumn<float>("sell");
        QTest::addColumn<float>("gain");
        QTest::newRow("plus 5") << 10.0f << 10.5f << 5.0f;
        QTest::newRow("minus 10") << 10.0f << 9.0f << -10.0f;
        QTest::newRow("cut, not rounded") << 3.0f << 3.1f << 3.33f;
        QTest::newRow("cut toward zero") << 3.0f << 2.9f << -3.33f;
        QTest::newRow("rounding would give 66.67") << 3.0f << 5.0f << 66.66f;
        QTest::newRow("no buy price") << 0.0f << 10.0f << 0.0f;
        QTest::newRow("no prices") << 0.0f << 0.0f << 0.0f;
    }

    void gainIsCutAtTheSecondDecimal()
    {
        QFETCH(float, buy);
        QFETCH(float, sell);
        QFETCH(float, gain);
        const float result = VorelAddonHostImpl::gainPercent(buy, sell);
        QVERIFY(std::isfinite(result));
        QCOMPARE(result, gain);
    }

    void programPrintsTheAddonCount_data()
    {
        QTest::addColumn<bool>("withAddon");
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("line");
        QTest::newRow("with the add-on") << true << QString() << "addon count:1";
        QTest::newRow("without") << false << QString() << "addon count:0";
        QTest::newRow("with the add-on and a copy cut short") << true << "cut" << "addon count:1";
        QTest::newRow("with the add-on and an entry exported for data")
            << true << "dataentryaddon" << "addon count:1";
    }

    void programPrintsTheAddonCount()
    {
        QFETCH(bool, withAddon);
        QFETCH(QString, beside);
        QFETCH(QString, line);
        QTemporaryDir dir;
        if (withAddon) {
            QVERIFY(QDir(dir.path()).mkdir("addon"));
            QVERIFY(QFile::copy(builtAddon(), dir.path() + "/addon/Addon.so"));
        }
        const QString besidePath = dir.path() + "/addon/A_beside.so";
        if (beside == "cut")
            QVERIFY(writeTruncatedAddon(besidePath, QFileInfo(builtAddon()).size() / 2));
        else if (!beside.isEmpty())
            QVERIFY(QFile::copy(fixture(beside), besidePath));
        QProcess program;
        program.setWorkingDirectory(dir.path());
        // the folder holds no stock list: it is the working folder only when named so
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VOREL_WORK_DIR", dir.path());
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("VOREL_RUN_DIR") + "/VorelStock", QStringList());
        QVERIFY(program.waitForStarted());
        QByteArray out;
        // The line comes before the main window; the program runs on afterwards.
        while (!out.contains('\n') && program.waitForReadyRead(30000))
            out += program.readAllStandardOutput();
        program.kill();
        program.waitForFinished();
        QCOMPARE(QString::fromLocal8Bit(out).section('\n', 0, 0), line);
        if (!beside.isEmpty()) {
            QFile log(dir.path() + "/output.txt");
            QVERIFY(log.open(QIODevice::ReadOnly));
            QCOMPARE(log.readAll().count("add-on skipped: " + QFile::encodeName(besidePath)), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestAddonLoading)
#include "tst_addonloading.moc"
