#include "core/inifile.h"

#include "tests/core/filesizelimit.h"
#include "tests/support/filecontents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

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
    void typedLookup_data();
    void typedLookup();
    void saveKeepsLayoutAndDropsWhatHasNoSection();
    void handEditedFileIsReadLineByLine_data();
    void handEditedFileIsReadLineByLine();
    void lineBreakInValueCannotAddEntries();
    void closeWritesOnceAndUnbinds();
    void loadingAnotherFileForgetsTheFirst();
    void emptyFileNameTouchesNoFile();
    void failedWriteKeepsPreviousFile();
    void unreadableFileIsNotOverwritten();
    void fileThatIsNoTextIsNotOverwritten_data();
    void fileThatIsNoTextIsNotOverwritten();

private:
    QTemporaryDir dir;
    QString path;
};

void TestIniFile::init()
{
    QVERIFY(dir.isValid());
    path = dir.filePath(QString("config-%1.ini").arg(QTest::currentTestFunction()));
}

void TestIniFile::namesMatchRegardlessOfCaseAndBlanks()
{
    writeAll(path, "[Hot Stock]\nfibonacciHotStockSpan = 8\n");
    {
        IniFile ini(local(path));
        QCOMPARE(ini.getValue("hotstock", "fibonacciHotStockSpan", 0), 8);
        QCOMPARE(ini.getValue("[hotstock]", "FIBONACCIHOTSTOCKSPAN", 0), 8);
        // the stream skips the blank after "="
        QCOMPARE(ini.getValue("hotstock", "fibonacciHotStockSpan", "x"), std::string("8"));
        QCOMPARE(ini.getValue("coldstock", "fibonacciHotStockSpan", 3), 3);
        QCOMPARE(ini.getValue("hotstock", "other", 4), 4);
    }
    // lookups add nothing
    QCOMPARE(fileBytes(path), QByteArray("[Hot Stock]\nfibonacciHotStockSpan = 8\n"));
}

void TestIniFile::typedLookup_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bool 1") << QByteArray("1") << "bool" << "0" << "1";
    QTest::newRow("bool true keeps default") << QByteArray("true") << "bool" << "0" << "0";
    QTest::newRow("int with trailing text") << QByteArray("12abc") << "int" << "5" << "12";
    QTest::newRow("int not a number keeps default") << QByteArray("abc") << "int" << "5" << "5";
    QTest::newRow("int too large keeps default") << QByteArray("99999999999") << "int" << "5" << "5";
    QTest::newRow("float") << QByteArray("0.093") << "float" << "1" << "0.093";
    QTest::newRow("float empty keeps default") << QByteArray("") << "float" << "1.2" << "1.2";
    QTest::newRow("text first token") << QByteArray("  two words") << "text" << "d" << "two";
    QTest::newRow("text split at first equals") << QByteArray("a=b") << "text" << "d" << "a=b";
}

void TestIniFile::typedLookup()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, type);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    writeAll(path, "[s]\nk=" + stored + "\n");
    IniFile ini(local(path));
    if (type == "bool")
        QCOMPARE(ini.getValue("s", "k", defaultValue == "1"), expected == "1");
    else if (type == "int")
        QCOMPARE(ini.getValue("s", "k", defaultValue.toInt()), expected.toInt());
    else if (type == "float")
        QCOMPARE(ini.getValue("s", "k", defaultValue.toFloat()), expected.toFloat());
    else
        QCOMPARE(QString::fromStdString(ini.getValue("s", "k", defaultValue.toStdString())), expected);
    ini.close();
}

void TestIniFile::saveKeepsLayoutAndDropsWhatHasNoSection()
{
    writeAll(path,
             "orphan=1\r\n"
             "# orphan comment\r\n"
             "1. the picks of the day\r\n"
             "[ Mail ]\r\n"
             "# who gets the picks\r\n"
             "to = a@example.com\r\n"
             "\r\n"
             "; second comment\r\n"
             "42=a line starting with a digit\r\n"
             "host=smtp.example.com\r\n"
             "flag\r\n"
             "\r\n"
             "[hammer]\r\n"
             "; hammer comment\r\n"
             "quantHammerMaN=21\r\n"
             "[MAIL]\r\n"
             "host=second.example.com\r\n");
    {
        IniFile ini(local(path));
        QCOMPARE(ini.getValue("mail", "flag", ""), std::string("flag"));
        QCOMPARE(ini.getValue("mail", "host", ""), std::string("second.example.com"));
        ini.setValue("hammer", "quantHammerMaN", 30);
        ini.setValue("hotStock", "fibonacciHotStockDelta", 1.2f);
    }
    // the entry before the first header goes, the user's notes stay; a line
    // that gives no value stays where it stood
    QCOMPARE(fileBytes(path), QByteArray("# orphan comment\n"
                                       "1. the picks of the day\n"
                                       "[ Mail ]\n"
                                       "# who gets the picks\n"
                                       "to = a@example.com\n"
                                       "\n"
                                       "; second comment\n"
                                       "42=a line starting with a digit\n"
                                       "host=second.example.com\n"
                                       "flag=flag\n"
                                       "\n"
                                       "[hammer]\n"
                                       "; hammer comment\n"
                                       "quantHammerMaN=30\n"
                                       "[hotstock]\n"
                                       "fibonacciHotStockDelta=1.2\n"));
}

// What editors leave and people write: each file reads as its lines say, is
// no damaged file, and comes back as it was, with a line end after its last
// line.
void TestIniFile::handEditedFileIsReadLineByLine_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("rewritten");

    QTest::newRow("no line end after the last line")
        << QByteArray("[stockBid]\nbidMinPercent=-6\nbidRatio=0.2") << QByteArray("[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\n");
    QTest::newRow("no line end after a last CRLF line")
        << QByteArray("[stockBid]\r\nbidMinPercent=-6\r\nbidRatio=0.2") << QByteArray("[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\n");
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\n")
        << QByteArray("\xEF\xBB\xBF[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\n");
    QTest::newRow("stray line")
        << QByteArray("[stockBid]\nbidMinPercent=-6\n1 my note\nbidRatio=0.2\n")
        << QByteArray("[stockBid]\nbidMinPercent=-6\n1 my note\nbidRatio=0.2\n");
    QTest::newRow("stray lines of every kind")
        << QByteArray("<html>\n[stockBid]\n-- 2017 --\nbidMinPercent=-6\n_hidden=1\n=5\nbidRatio=0.2\n\xE6\xB3\xA8\n")
        << QByteArray("<html>\n[stockBid]\n-- 2017 --\nbidMinPercent=-6\n_hidden=1\n=5\nbidRatio=0.2\n\xE6\xB3\xA8\n");
    QTest::newRow("all three")
        << QByteArray("\xEF\xBB\xBF[stockBid]\r\n1 my note\r\nbidMinPercent=-6\r\nbidRatio=0.2")
        << QByteArray("\xEF\xBB\xBF[stockBid]\n1 my note\nbidMinPercent=-6\nbidRatio=0.2\n");
    QTest::newRow("tabs and other blanks in names")
        << QByteArray("[\tstock Bid ]\n\tbidMinPercent\t= -6\nbid\vRatio\f=0.2\n")
        << QByteArray("[\tstock Bid ]\n\tbidMinPercent\t= -6\nbid\vRatio\f=0.2\n");
    // a value that ends in "]" is no section header
    QTest::newRow("value in brackets")
        << QByteArray("[stockBid]\nbidMinPercent=-6\nnote=[draft]\nbidRatio=0.2\n")
        << QByteArray("[stockBid]\nbidMinPercent=-6\nnote=[draft]\nbidRatio=0.2\n");
    QTest::newRow("a last line cut within its value")
        << QByteArray("[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\nbidUseK=") << QByteArray("[stockBid]\nbidMinPercent=-6\nbidRatio=0.2\nbidUseK=\n");
}

void TestIniFile::handEditedFileIsReadLineByLine()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, rewritten);

    writeAll(path, file);
    {
        IniFile ini(local(path));
        QVERIFY(!ini.damaged());
        QCOMPARE(ini.getValue("stockbid", "bidMinPercent", 0.0f), -6.0f);
        QCOMPARE(ini.getValue("stockbid", "bidRatio", 0.0f), 0.2f);
        QCOMPARE(ini.getValue("stockbid", "bidUseK", true), true);
    }
    QCOMPARE(fileBytes(path), rewritten);
    // and it stays so from one start to the next
    { IniFile again(local(path)); }
    QCOMPARE(fileBytes(path), rewritten);
}

void TestIniFile::lineBreakInValueCannotAddEntries()
{
    {
        IniFile ini(local(path));
        ini.setValue("mail", "signature", std::string("thanks\n[hammer]\nquantHammerMaN=1"));
    }
    QCOMPARE(fileBytes(path), QByteArray("[mail]\nsignature=thanks [hammer] quantHammerMaN=1\n"));

    // Carriage returns at a line's end are the line break, however many: a
    // value must not lose one more of them at every start.
    writeAll(path, "[mail]\r\nsignature=thanks\r\r\r\n");
    for (int start = 0; start < 2; ++start) {
        IniFile ini(local(path));
        ini.setValue("mail", "to", std::string("a@example.com"));
    }
    QCOMPARE(fileBytes(path), QByteArray("[mail]\nsignature=thanks\nto=a@example.com\n"));
}

void TestIniFile::closeWritesOnceAndUnbinds()
{
    {
        IniFile ini(local(path));
        ini.setValue("s", "k", true);
        ini.close();
        QCOMPARE(fileBytes(path), QByteArray("[s]\nk=1\n"));
        writeAll(path, "[other]\nx=2\n");
        ini.setValue("s", "k", 3);
    }
    QCOMPARE(fileBytes(path), QByteArray("[other]\nx=2\n"));
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
    QVERIFY(QDir::setCurrent(oldCurrent));
    QVERIFY(QDir(work.path()).isEmpty());
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
    QCOMPARE(fileBytes(path), before);
    // and no temporary file is left behind
    QCOMPARE(QDir(dir.path()).entryList(QStringList("*failedWrite*")).size(), 1);
}

// A folder where the file should be: it cannot be read as a file, by the
// superuser either, and what it holds stays as it was.
void TestIniFile::unreadableFileIsNotOverwritten()
{
    QVERIFY(QDir().mkpath(path));
    writeAll(path + "/kept", "[mail]\nto=a@example.com\n");
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
        IniFile ini(local(path));
        QVERIFY(ini.damaged());
        ini.setValue("mail", "to", std::string("b@example.com"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not rewriting"));
    }
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList("kept"));
    QCOMPARE(fileBytes(path + "/kept"), QByteArray("[mail]\nto=a@example.com\n"));
}

// Bytes that are no text give no values, and the file keeps them: a caller
// that writes its settings back cannot replace them with defaults.
void TestIniFile::fileThatIsNoTextIsNotOverwritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("a zero byte") << QByteArray("[mail]\nto=a@example.com\0\n", 26);
    QTest::newRow("zeros after a cut") << QByteArray("[mail]\nto=a@exa") + QByteArray(512, '\0');
    QTest::newRow("larger than a settings file") << "[mail]\nto=a@example.com\n" + QByteArray(2 << 20, '#') + "\n";
}

void TestIniFile::fileThatIsNoTextIsNotOverwritten()
{
    QFETCH(QByteArray, file);
    writeAll(path, file);
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read"));
        IniFile ini(local(path));
        QVERIFY(ini.damaged());
        QCOMPARE(ini.getValue("mail", "to", "none"), std::string("none"));
        ini.setValue("mail", "to", std::string("b@example.com"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not rewriting"));
    }
    QCOMPARE(fileBytes(path), file);
}

void TestIniFile::loadingAnotherFileForgetsTheFirst()
{
    const QString second = dir.filePath("second.ini");
    writeAll(path, "[s]\nk=1\n[t]\nj=1\n");
    writeAll(second, "[T]\nj=2\n");
    {
        IniFile ini(local(path));
        QVERIFY(ini.load(local(second)));
        QCOMPARE(ini.getValue("s", "k", 7), 7);
        QCOMPARE(ini.getValue("t", "j", 7), 2);
        ini.setValue("s", "k", 5);
        ini.setValue("t", "j", 3);
    }
    QCOMPARE(fileBytes(second), QByteArray("[T]\nj=3\n[s]\nk=5\n"));
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
