#include "analysis/candlepatternfile.h"

#include "analysis/candlepatterns.h"

#include <QtTest>

class TestCandlePatternFile : public QObject
{
    Q_OBJECT

private slots:
    void readsNewestFirstFileAndDetects();
    void missingFileGivesNoBars();
};

namespace {

// One line per day, newest first: date, open, high, close, low, volume, amount.
QByteArray hongSanBingCsv()
{
    return "2024-01-08,11,11.5,11.5,11,120000,5000\n"
           "2024-01-05,10.5,11,11,10.5,110000,5000\n"
           "2024-01-04,10,10.5,10.5,10,100000,5000\n"
           "2024-01-03,9.5,10,10,9.5,90000,5000\n"
           "2024-01-02,9,9,9,9,80000,5000\n"
           "2024-01-01,9,9,9,9,80000,5000\n";
}

} // namespace

void TestCandlePatternFile::readsNewestFirstFileAndDetects()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("600000");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(hongSanBingCsv());
    file.close();

    QVector<Stock> bars;
    QString name;
    QVERIFY(detectKPatternInFile(KPatternHongSanBing, path, &bars, &name));
    QCOMPARE(name, QString("红三兵"));
    QCOMPARE(bars.size(), 6);
    QCOMPARE(bars.first().date, QString("2024-01-01"));
    QCOMPARE(bars.last().date, QString("2024-01-08"));
    QCOMPARE(bars.last().close, 11.5f);

    name.clear();
    QVERIFY(!detectKPatternInFile(KPatternHeiSanBing, path, nullptr, &name));
    QVERIFY(name.isEmpty());
}

void TestCandlePatternFile::missingFileGivesNoBars()
{
    QTemporaryDir dir;
    QVector<Stock> bars = {Stock()};
    QVERIFY(!detectKPatternInFile(KPatternHongSanBing, dir.filePath("none"), &bars, nullptr));
    QVERIFY(bars.isEmpty());
}

QTEST_APPLESS_MAIN(TestCandlePatternFile)
#include "tst_candlepatternfile.moc"
