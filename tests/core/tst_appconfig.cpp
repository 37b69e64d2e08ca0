#include "core/appconfig.h"

#include "tests/core/filesizelimit.h"
#include "tests/core/firststartconfig.h"
#include "tests/core/unprivileged.h"
#include "tests/support/filecontents.h"
#include "tests/support/settingkeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* const kConfig = "config/config.ini";

QByteArray readConfig()
{
    return fileBytes(kConfig);
}

void writeConfig(const QByteArray& bytes)
{
    QDir().mkpath("config");
    QFile file(kConfig);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

bool isDcz(const SettingKey& key)
{
    return qstrcmp(key.section, "dcz") == 0;
}

// A value of its own for every key: whole numbers from `base` on, fractions
// from base / 100 on, and one switch of the four on (the n-th of them). No
// two keys share a value, so a key read into or written from a neighbour's
// field shows.
double distinctValue(int index, int base, int onSwitch)
{
    int switches = 0;
    for (int i = 0; i < index; ++i)
        switches += isSwitch(kSettingKeys[i].field);
    const SettingField& field = kSettingKeys[index].field;
    if (isSwitch(field))
        return switches == onSwitch ? 1 : 0;
    return isWholeNumber(field) ? base + index : base / 100 + index + 0.25;
}

// The value under `key` in the last section headed `section` (in any case).
QString valueInFile(const QByteArray& file, const char* section, const char* key)
{
    QString current;
    QString found = "<missing>";
    for (const QString& line : QString::fromUtf8(file).split('\n')) {
        if (line.startsWith('['))
            current = line.mid(1, line.size() - 2).toLower();
        else if (current == QString(section).toLower() && line.startsWith(QString(key) + "="))
            found = line.mid(int(qstrlen(key)) + 1);
    }
    return found;
}

} // namespace

class TestAppConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWritesEverySavedSettingWithDefaults();
    void damagedFileIsKeptAsBadAndDefaultsAreUsed_data();
    void damagedFileIsKeptAsBadAndDefaultsAreUsed();
    void damagedFileThatCannotBeSetAsideIsNeverRewritten();
    void emptyFileYieldsDefaults();
    void handEditedFileKeepsEveryValue_data();
    void handEditedFileKeepsEveryValue();
    void storedValuesAreRead_data();
    void storedValuesAreRead();
    void changedValuesReachTheFileExceptDcz();
    void everyKeyFillsItsOwnField_data();
    void everyKeyFillsItsOwnField();
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
        // at once: a run killed before its exit leaves a whole file too
        QCOMPARE(readConfig(), QByteArray(kFirstStartFile));
        QVERIFY(config.damagedFileNote().isEmpty());
    }
    QCOMPARE(readConfig(), QByteArray(kFirstStartFile));
}

void TestAppConfig::damagedFileIsKeptAsBadAndDefaultsAreUsed_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray settings = "[hammer]\nquantHammerMaN=30\n[stockBid]\nbidRatio=0.5\n";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    QTest::newRow("garbage") << garbage;
    QTest::newRow("a zero byte") << settings + QByteArray("bidUseK=0\0\n", 11);
    QTest::newRow("zeros after a cut") << settings.left(30) + QByteArray(4096, '\0');
    QTest::newRow("huge") << settings + QByteArray(2 << 20, '#') + "\n";
}

void TestAppConfig::damagedFileIsKeptAsBadAndDefaultsAreUsed()
{
    QFETCH(QByteArray, file);
    writeConfig(file);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("config/config.ini cannot be read whole: kept as "
                                                          "config/config.ini.bad, every setting takes its default"));
    const QDir folder("config");
    {
        AppConfig config;
        QCOMPARE(config.quantHammerMaN, 21);
        QCOMPARE(config.bidRatio, 0.093f);
        QCOMPARE(config.damagedFileNote(),
                 QStringLiteral("设置文件 %1 无法完整读取,已另存为 %2,所有设置恢复为默认值")
                     .arg(folder.absoluteFilePath("config.ini"), folder.absoluteFilePath("config.ini.bad")));
        QCOMPARE(readConfig(), QByteArray(kFirstStartFile));
    }
    QCOMPARE(fileBytes("config/config.ini.bad"), file);
    {
        // told once: the file the program wrote reads whole at the next start
        AppConfig next;
        QVERIFY(next.damagedFileNote().isEmpty());
    }

    // A second damaged file goes beside the first, which stays as it was;
    // the box names the copy just made.
    const QByteArray second = QByteArray("[hammer]\nquantHammerMaN=40\0\0", 28);
    writeConfig(second);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("kept as config/config.ini.bad.1,"));
    {
        AppConfig again;
        QCOMPARE(again.quantHammerMaN, 21);
        QVERIFY2(again.damagedFileNote().contains(QStringLiteral("已另存为 %1,").arg(folder.absoluteFilePath("config.ini.bad.1"))),
                 qPrintable(again.damagedFileNote()));
    }
    QCOMPARE(fileBytes("config/config.ini.bad"), file);
    QCOMPARE(fileBytes("config/config.ini.bad.1"), second);
    QCOMPARE(readConfig(), QByteArray(kFirstStartFile));

    // and a third beside both
    const QByteArray third = QByteArray("[hammer]\nquantHammerMaN=50\0", 27);
    writeConfig(third);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("kept as config/config.ini.bad.2,"));
    {
        AppConfig later;
        QCOMPARE(later.quantHammerMaN, 21);
    }
    QCOMPARE(fileBytes("config/config.ini.bad"), file);
    QCOMPARE(fileBytes("config/config.ini.bad.1"), second);
    QCOMPARE(fileBytes("config/config.ini.bad.2"), third);
}

void TestAppConfig::damagedFileThatCannotBeSetAsideIsNeverRewritten()
{
    const QByteArray cut = QByteArray("[hammer]\nquantHammerMaN=30\nquantHammerBo\0\0\0", 41);
    writeConfig(cut);
    // the settings folder cannot be changed: the file cannot be moved aside
    const QString folder = readOnlyFolder(QDir::currentPath(), "config");
    const int started = withoutSuperuserRights([] {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be read whole nor be set aside"));
        AppConfig config;
        config.quantHammerMaN = 40;
        const bool told = config.damagedFileNote().contains(QStringLiteral("该文件保持原样"));
        return config.quantHammerMaN == 40 && told ? 0 : 1;
    });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(started, 0);
    QCOMPARE(readConfig(), cut);
    QCOMPARE(QDir("config").entryList(QDir::Files), QStringList("config.ini"));
}

void TestAppConfig::emptyFileYieldsDefaults()
{
    // the saved settings' defaults show in the first-start file; the [dcz]
    // ones are never written and show only here
    writeConfig(QByteArray());
    {
        AppConfig config;
        QCOMPARE(config.quantDaoChuiZiMaN, 5);
        QCOMPARE(config.quantDaoChuiZiHead, 70.0f);
        QCOMPARE(config.quantDaoChuiZiFooter, 5.0f);
        QCOMPARE(config.quantDaoChuiZiMaxIncrease2, 4.8f);
        QCOMPARE(config.quantDaoChuiZiUseKDJ, 1);
        // nothing in it was lost: nothing to tell, nothing to keep aside
        QVERIFY(config.damagedFileNote().isEmpty());
        QCOMPARE(readConfig(), QByteArray(kFirstStartFile));
    }
    QCOMPARE(QDir("config").entryList(QDir::Files), QStringList("config.ini"));
}

// What people do to a settings file by hand: each keeps every value it holds
// through a start and an exit, and no box, no copy set aside.
void TestAppConfig::handEditedFileKeepsEveryValue_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("keptPart");

    QTest::newRow("no line end after the last line")
        << QByteArray("[hammer]\nquantHammerMaN=30\n[stockBid]\nbidRatio=0.2")
        << QByteArray("[stockBid]\nbidRatio=0.2\nbidMinPercent=-8\n");
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF[stockBid]\r\nbidRatio=0.2\r\n[hammer]\r\nquantHammerMaN=30\r\n")
        << QByteArray("\xEF\xBB\xBF[stockBid]\nbidRatio=0.2\n");
    QTest::newRow("stray line")
        << QByteArray("[stockBid]\n1 my note\nbidRatio=0.2\n[hammer]\nquantHammerMaN=30\n")
        << QByteArray("[stockBid]\n1 my note\nbidRatio=0.2\n");
    QTest::newRow("a line of markup before the first header")
        << QByteArray("<html>\n[stockBid]\nbidRatio=0.2\n[hammer]\nquantHammerMaN=30\n")
        << QByteArray("<html>\n[stockBid]\nbidRatio=0.2\n");
    QTest::newRow("cut within its last line")
        << QByteArray("[hammer]\nquantHammerMaN=30\n[stockBid]\nbidRatio=0.2\nbidMinPercent=-")
        << QByteArray("[stockBid]\nbidRatio=0.2\nbidMinPercent=-8\n");
}

void TestAppConfig::handEditedFileKeepsEveryValue()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, keptPart);

    writeConfig(file);
    {
        AppConfig config;
        QVERIFY(config.damagedFileNote().isEmpty());
        QCOMPARE(config.bidRatio, 0.2f);
        QCOMPARE(config.quantHammerMaN, 30);
        QCOMPARE(config.bidMinPercent, -8.0f);
    }
    const QByteArray written = readConfig();
    QVERIFY2(written.contains(keptPart), written.constData());
    QVERIFY2(written.contains("quantHammerMaN=30\n"), written.constData());
    QCOMPARE(QDir("config").entryList(QDir::Files), QStringList("config.ini"));
    AppConfig next;
    QCOMPARE(next.bidRatio, 0.2f);
    QCOMPARE(next.quantHammerMaN, 30);
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
    QVERIFY(config.damagedFileNote().isEmpty());
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

void TestAppConfig::everyKeyFillsItsOwnField_data()
{
    QTest::addColumn<int>("onSwitch");
    for (int on = 0; on < 4; ++on)
        QTest::addRow("switch %d on", on) << on;
}

void TestAppConfig::everyKeyFillsItsOwnField()
{
    QFETCH(int, onSwitch);
    QByteArray file;
    const char* section = "";
    for (int i = 0; i < kSettingKeyCount; ++i) {
        const SettingKey& key = kSettingKeys[i];
        if (qstrcmp(section, key.section) != 0)
            file += QByteArray("[") + (section = key.section) + "]\n";
        file += QByteArray(key.key) + "=" + QByteArray::number(distinctValue(i, 100, onSwitch)) + "\n";
    }
    writeConfig(file);
    {
        AppConfig config;
        for (int i = 0; i < kSettingKeyCount; ++i) {
            const double value = fieldValue(config, kSettingKeys[i].field);
            QVERIFY2(qFuzzyCompare(value, distinctValue(i, 100, onSwitch)),
                     qPrintable(QString("%1 reads %2").arg(kSettingKeys[i].key).arg(value)));
        }
        // every field takes a new value of its own, another switch is on
        for (int i = 0; i < kSettingKeyCount; ++i)
            setFieldValue(config, kSettingKeys[i].field, distinctValue(i, 300, (onSwitch + 1) % 4));
    }
    const QByteArray written = readConfig();
    for (int i = 0; i < kSettingKeyCount; ++i) {
        const SettingKey& key = kSettingKeys[i];
        // the [dcz] entries stay as the file had them
        const double expected = isDcz(key) ? distinctValue(i, 100, onSwitch) : distinctValue(i, 300, (onSwitch + 1) % 4);
        const QString value = valueInFile(written, key.section, key.key);
        bool read = false;
        QVERIFY2(qFuzzyCompare(value.toDouble(&read), expected) && read,
                 qPrintable(QString("%1=%2 in\n%3").arg(key.key, value, QString::fromUtf8(written))));
    }
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
