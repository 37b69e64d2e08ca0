#include "core/appconfig.h"

#include "tests/core/filesizelimit.h"
#include "tests/core/firststartconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const kConfig = "config/config.ini";

QByteArray readConfig()
{
    QFile file(kConfig);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void writeConfig(const QByteArray& bytes)
{
    QDir().mkpath("config");
    QFile file(kConfig);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestAppConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWritesEverySavedSettingWithDefaults();
    void emptyFileYieldsDefaults();
    void storedValuesAreRead_data();
    void storedValuesAreRead();
    void changedValuesReachTheFileExceptDcz();
    void handWrittenDczSectionStaysAsWritten();
    void foreignSectionsAndCommentsSurvive();
    void copyWritesNothing();
    void failedSaveKeepsPreviousFile();

private:
    QString oldCurrent;
    QScopedPointer<QTemporaryDir> work;
};

void TestAppConfig::init()
{
    oldCurrent = QDir::currentPath();
    work.reset(new QTemporaryDir);
    QVERIFY(work->isValid());
    QVERIFY(QDir::setCurrent(work->path()));
}

void TestAppConfig::cleanup()
{
    QDir::setCurrent(oldCurrent);
    work.reset();
}

void TestAppConfig::firstStartWritesEverySavedSettingWithDefaults()
{
    // neither the file nor its folder exists yet
    {
        AppConfig config;
        QVERIFY(QFile::exists(kConfig));
        QCOMPARE(readConfig(), QByteArray());
    }
    QCOMPARE(readConfig(), QByteArray(kFirstStartFile));
}

void TestAppConfig::emptyFileYieldsDefaults()
{
    // the saved settings' defaults show in the first-start file; the [dcz]
    // ones are never written and show only here
    writeConfig(QByteArray());
    AppConfig config;
    QCOMPARE(config.quantDaoChuiZiMaN, 5);
    QCOMPARE(config.quantDaoChuiZiHead, 70.0f);
    QCOMPARE(config.quantDaoChuiZiFooter, 5.0f);
    QCOMPARE(config.quantDaoChuiZiMaxIncrease2, 4.8f);
    QCOMPARE(config.quantDaoChuiZiUseKDJ, 1);
}

void TestAppConfig::storedValuesAreRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("bidUseK");
    QTest::addColumn<int>("quantHammerMaN");
    QTest::addColumn<float>("bidRatio");

    QTest::newRow("0 is false") << QByteArray("[stockBid]\nbidUseK=0\n") << false << 21 << 0.093f;
    QTest::newRow("false keeps default") << QByteArray("[stockBid]\nbidUseK=false\n") << true << 21 << 0.093f;
    QTest::newRow("headers in any case and blanks")
        << QByteArray("[ STOCK bid ]\nBIDUSEK = 0\nbid ratio=0.5\n[Hammer]\nquantHammerMaN = 30\n") << false << 30 << 0.5f;
    QTest::newRow("unreadable values keep defaults")
        << QByteArray("[stockBid]\nbidRatio=fast\n[hammer]\nquantHammerMaN=\n") << true << 21 << 0.093f;
}

void TestAppConfig::storedValuesAreRead()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, bidUseK);
    QFETCH(int, quantHammerMaN);
    QFETCH(float, bidRatio);

    writeConfig(file);
    AppConfig config;
    QCOMPARE(config.bidUseK, bidUseK);
    QCOMPARE(config.quantHammerMaN, quantHammerMaN);
    QCOMPARE(config.bidRatio, bidRatio);
}

void TestAppConfig::changedValuesReachTheFileExceptDcz()
{
    writeConfig("[hammer]\nquantHammerMaN=21\n[dcz]\nquantDaoChuiZiMaN=5\n");
    {
        AppConfig config;
        config.quantHammerMaN = 34;
        config.quantDaoChuiZiMaN = 9;
    }
    const QByteArray text = readConfig();
    QVERIFY2(text.startsWith("[hammer]\nquantHammerMaN=34\nquantHammerFooter=75\n"), text.constData());
    QVERIFY2(text.contains("[dcz]\nquantDaoChuiZiMaN=5\n[fibonaccinewstock]\n"), text.constData());
    QVERIFY(!text.contains("quantDaoChuiZiMa2"));

    AppConfig again;
    QCOMPARE(again.quantHammerMaN, 34);
    QCOMPARE(again.quantDaoChuiZiMaN, 5);
}

void TestAppConfig::handWrittenDczSectionStaysAsWritten()
{
    const QByteArray dcz = "[ DCZ ]\n; shape of the inverted hammer\nquantDaoChuiZiHead = 60\n";
    writeConfig(dcz);
    {
        AppConfig config;
        QCOMPARE(config.quantDaoChuiZiHead, 60.0f);
        config.quantDaoChuiZiHead = 10;
    }
    QVERIFY2(readConfig().startsWith(dcz + "[fibonaccinewstock]\n"), readConfig().constData());
}

void TestAppConfig::foreignSectionsAndCommentsSurvive()
{
    const QByteArray before =
        "# settings of the picking program\n"
        "[mail]\n"
        "; where the picks go\n"
        "to=a@example.com\n"
        "\n"
        "[hotStock]\n"
        "# tuned by hand\n"
        "fibonacciHotStockSpan=7\n"
        "\n"
        "# keep the scan small\n"
        "fibonacciHotStockDays=10\n";
    writeConfig(before);
    {
        AppConfig config;
        QCOMPARE(config.fibonacciHotStockSpan, 7);
        config.fibonacciHotStockDays = 15;
    }
    const QByteArray text = readConfig();
    // a comment before the first header is the user's note: it stays too
    QVERIFY2(text.startsWith("# settings of the picking program\n[mail]\n; where the picks go\nto=a@example.com\n\n"
                             "[hotStock]\n# tuned by hand\nfibonacciHotStockSpan=7\n\n"
                             "# keep the scan small\nfibonacciHotStockDays=15\nfibonacciHotStock=0\n"),
             text.constData());
}

void TestAppConfig::copyWritesNothing()
{
    AppConfig config;
    config.quantHammerMaN = 40;
    writeConfig("[hammer]\nquantHammerMaN=22\n");
    {
        AppConfig snapshot(config);
        QCOMPARE(snapshot.quantHammerMaN, 40);
        AppConfig assigned(snapshot);
        assigned = config;
    }
    QCOMPARE(readConfig(), QByteArray("[hammer]\nquantHammerMaN=22\n"));
}

void TestAppConfig::failedSaveKeepsPreviousFile()
{
    const QByteArray before = "[mail]\nto=a@example.com\n[hammer]\nquantHammerMaN=21\n";
    writeConfig(before);
    auto config = new AppConfig;   // rewrites the (already normalised) file unchanged
    config->quantHammerMaN = 50;
    {
        FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.active);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write"));
        delete config;
    }
    QCOMPARE(readConfig(), before);
    QCOMPARE(QDir("config").entryList(QDir::Files), QStringList("config.ini"));
}

QTEST_GUILESS_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
