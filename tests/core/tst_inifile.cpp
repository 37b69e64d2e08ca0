#include "core/inifile.h"

#include "tests/core/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::string local(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void namesMatchRegardlessOfCaseAndBlanks();
    void lineSplitsAtFirstEqualsSign();
    void lineWithoutEqualsIsKeyAndValue();
    void windowsLineEndsAreNotPartOfValues();
    void repeatedKeysAndHeadersMerge();

    void typedLookup_data();
    void typedLookup();
    void lookupNeverAddsAnything();
    void writtenValuesReadBack();

    void newSectionGoesToEndInLowerCase();
    void commentsAndBlankLinesKeepTheirPlaces();
    void linesBeforeFirstHeaderAndStrayLinesAreDropped();
    void lineBreakInValueCannotAddEntries();

    void emptyFileNameTouchesNoFile();
    void missingFileIsCreatedOnDestruction();
    void closeWritesOnceAndUnbinds();
    void failedWriteKeepsPreviousFile();
    void unreadableFileIsNotOverwritten();

private:
    QTemporaryDir dir;
    QString path;
};

void TestIniFile::init()
{
    QVERIFY(dir.isValid());
    path = dir.filePath(QString("config-%1.ini").arg(QTest::currentTestFunction()));
    QFile::remove(path);
}

void TestIniFile::namesMatchRegardlessOfCaseAndBlanks()
{
    writeAll(path, "[Hot Stock]\nfibonacciHotStockSpan = 8\n");
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("hotstock", "fibonacciHotStockSpan", 0), 8);
    QCOMPARE(ini.getValue("[hotstock]", "FIBONACCIHOTSTOCKSPAN", 0), 8);
    QCOMPARE(ini.getValue("HOT stock", "fibonacci HotStockSpan", 0), 8);
    // the stream skips the blank after "="
    QCOMPARE(ini.getValue("hotstock", "fibonacciHotStockSpan", std::string("x")), std::string("8"));
    QCOMPARE(ini.getValue("hotstock", "fibonacciHotStockSpan", "x"), std::string("8"));
    QCOMPARE(ini.getValue("coldstock", "fibonacciHotStockSpan", 3), 3);
}

void TestIniFile::lineSplitsAtFirstEqualsSign()
{
    writeAll(path, "[mail]\nsignature=a=b\n");
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("mail", "signature", ""), std::string("a=b"));
    ini.close();
    QCOMPARE(readAll(path), QByteArray("[mail]\nsignature=a=b\n"));
}

void TestIniFile::lineWithoutEqualsIsKeyAndValue()
{
    writeAll(path, "[s]\nflag\n");
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("s", "flag", ""), std::string("flag"));
}

void TestIniFile::windowsLineEndsAreNotPartOfValues()
{
    writeAll(path, "[s]\r\nname=abc\r\n\r\n; note\r\n");
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("s", "name", ""), std::string("abc"));
    ini.close();
    QCOMPARE(readAll(path), QByteArray("[s]\nname=abc\n\n; note\n"));
}

void TestIniFile::repeatedKeysAndHeadersMerge()
{
    writeAll(path, "[a]\nx=1\ny=2\n[b]\nz=3\n[A]\nx=4\n");
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("a", "x", 0), 4);
    ini.close();
    QCOMPARE(readAll(path), QByteArray("[a]\nx=4\ny=2\n[b]\nz=3\n"));
}

void TestIniFile::typedLookup_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bool 1") << QByteArray("1") << "bool" << "0" << "1";
    QTest::newRow("bool 0") << QByteArray("0") << "bool" << "1" << "0";
    QTest::newRow("bool true keeps default") << QByteArray("true") << "bool" << "0" << "0";
    QTest::newRow("bool 2 keeps default") << QByteArray("2") << "bool" << "1" << "1";
    QTest::newRow("int") << QByteArray("-17") << "int" << "5" << "-17";
    QTest::newRow("int with trailing text") << QByteArray("12abc") << "int" << "5" << "12";
    QTest::newRow("int not a number keeps default") << QByteArray("abc") << "int" << "5" << "5";
    QTest::newRow("int empty keeps default") << QByteArray("") << "int" << "5" << "5";
    QTest::newRow("int too large keeps default") << QByteArray("99999999999") << "int" << "5" << "5";
    QTest::newRow("float") << QByteArray("0.093") << "float" << "1" << "0.093";
    QTest::newRow("float garbage keeps default") << QByteArray("x1.5") << "float" << "1.2" << "1.2";
    QTest::newRow("float too large keeps default") << QByteArray("1e99") << "float" << "1.2" << "1.2";
    QTest::newRow("text first token") << QByteArray("  two words") << "text" << "d" << "two";
    QTest::newRow("text blank keeps default") << QByteArray("   ") << "text" << "d" << "d";
}

void TestIniFile::typedLookup()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, type);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    writeAll(path, "[s]\nk=" + stored + "\n");
    IniFile ini(local(path));
    if (type == "bool") {
        QCOMPARE(ini.getValue("s", "k", defaultValue == "1"), expected == "1");
    } else if (type == "int") {
        QCOMPARE(ini.getValue("s", "k", defaultValue.toInt()), expected.toInt());
    } else if (type == "float") {
        QCOMPARE(ini.getValue("s", "k", defaultValue.toFloat()), expected.toFloat());
    } else {
        QCOMPARE(QString::fromStdString(ini.getValue("s", "k", defaultValue.toStdString())), expected);
    }
    ini.close();
}

void TestIniFile::lookupNeverAddsAnything()
{
    writeAll(path, "[a]\nx=1\n");
    {
        IniFile ini(local(path));
        QCOMPARE(ini.getValue("b", "y", 2), 2);
        QCOMPARE(ini.getValue("a", "y", 3), 3);
    }
    QCOMPARE(readAll(path), QByteArray("[a]\nx=1\n"));
}

void TestIniFile::writtenValuesReadBack()
{
    {
        IniFile ini(local(path));
        ini.setValue("s", "f", 0.093f);
        ini.setValue("s", "negative", -8.0f);
        ini.setValue("s", "i", -42);
        ini.setValue("s", "b", true);
        ini.setValue("s", "t", std::string("mail.example"));
        ini.setValue("s", "d", 99.9);
    }
    QCOMPARE(readAll(path), QByteArray("[s]\nf=0.093\nnegative=-8\ni=-42\nb=1\nt=mail.example\nd=99.9\n"));
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("s", "f", 0.0f), 0.093f);
    QCOMPARE(ini.getValue("s", "negative", 0.0f), -8.0f);
    QCOMPARE(ini.getValue("s", "i", 0), -42);
    QCOMPARE(ini.getValue("s", "b", false), true);
    QCOMPARE(ini.getValue("s", "t", ""), std::string("mail.example"));
    QCOMPARE(ini.getValue("s", "d", 0.0), 99.9);
    ini.close();
}

void TestIniFile::newSectionGoesToEndInLowerCase()
{
    writeAll(path, "[autodraw]\ntrendK=0.05\n");
    {
        IniFile ini(local(path));
        ini.setValue("hotStock", "fibonacciHotStockDelta", 1.2f);
        ini.setValue("AutoDraw", "trendK", 0.5f);   // replaced in place, header as written
    }
    QCOMPARE(readAll(path), QByteArray("[autodraw]\ntrendK=0.5\n[hotstock]\nfibonacciHotStockDelta=1.2\n"));
}

void TestIniFile::commentsAndBlankLinesKeepTheirPlaces()
{
    const QByteArray text =
        "[ Mail ]\n"
        "# who gets the picks\n"
        "to = a@example.com\n"
        "\n"
        "; second comment\n"
        "# third comment\n"
        "\n"
        "\n"
        "host=smtp.example.com\n"
        "[hammer]\n"
        "; hammer comment\n"
        "quantHammerMaN=21\n";
    writeAll(path, text);
    {
        IniFile ini(local(path));
        ini.setValue("mail", "host", std::string("other.example.com"));
        ini.setValue("hammer", "quantHammerMaN", 30);
    }
    QByteArray expected = text;
    expected.replace("host=smtp.example.com", "host=other.example.com");
    expected.replace("quantHammerMaN=21", "quantHammerMaN=30");
    QCOMPARE(readAll(path), expected);
}

void TestIniFile::linesBeforeFirstHeaderAndStrayLinesAreDropped()
{
    writeAll(path, "orphan=1\n# orphan comment\n\n[s]\nk=v\n42=answer\n  \n");
    {
        IniFile ini(local(path));
        QCOMPARE(ini.getValue("s", "k", ""), std::string("v"));
    }
    QCOMPARE(readAll(path), QByteArray("[s]\nk=v\n\n"));
}

void TestIniFile::lineBreakInValueCannotAddEntries()
{
    {
        IniFile ini(local(path));
        ini.setValue("mail", "signature", std::string("thanks\n[hammer]\nquantHammerMaN=1"));
    }
    IniFile ini(local(path));
    QCOMPARE(ini.getValue("hammer", "quantHammerMaN", 21), 21);
    QCOMPARE(ini.allSections().size(), size_t(1));
    ini.close();
}

void TestIniFile::emptyFileNameTouchesNoFile()
{
    const QString oldCurrent = QDir::currentPath();
    QTemporaryDir work;
    QVERIFY(QDir::setCurrent(work.path()));
    {
        IniFile ini;
        QVERIFY(!ini.load(""));
        ini.setValue("s", "k", 1);
        ini.save();
    }
    QCOMPARE(QDir(work.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QVERIFY(QDir::setCurrent(oldCurrent));
}

void TestIniFile::missingFileIsCreatedOnDestruction()
{
    {
        IniFile ini;
        QVERIFY(!ini.load(local(path)));
        QVERIFY(!QFile::exists(path));
    }
    QVERIFY(QFile::exists(path));
    QCOMPARE(readAll(path), QByteArray());
}

void TestIniFile::closeWritesOnceAndUnbinds()
{
    {
        IniFile ini(local(path));
        ini.setValue("s", "k", 1);
        ini.close();
        QCOMPARE(readAll(path), QByteArray("[s]\nk=1\n"));
        writeAll(path, "[other]\nx=2\n");
        ini.setValue("s", "k", 3);
    }
    QCOMPARE(readAll(path), QByteArray("[other]\nx=2\n"));
}

void TestIniFile::failedWriteKeepsPreviousFile()
{
    const QByteArray before = "[hammer]\n# keep me\nquantHammerMaN=21\n";
    writeAll(path, before);
    {
        IniFile ini(local(path));
        for (int i = 0; i < 200; ++i)
            ini.setValue("hammer", "key" + std::to_string(i), i);
        FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.active);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write"));
        ini.close();
    }
    QCOMPARE(readAll(path), before);
    // no temporary file is left behind
    QCOMPARE(QDir(dir.path()).entryList(QStringList("*failedWrite*")).size(), 1);
}

void TestIniFile::unreadableFileIsNotOverwritten()
{
    if (geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    const QByteArray before = "[mail]\nto=a@example.com\n";
    writeAll(path, before);
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
        IniFile ini(local(path));
        QCOMPARE(ini.getValue("mail", "to", "none"), std::string("none"));
        ini.setValue("mail", "to", std::string("b@example.com"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not rewriting"));
    }
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(readAll(path), before);
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
