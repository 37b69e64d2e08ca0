#include "analysis/stockkscanner.h"

#include "tests/analysis/candleseries.h"

#include <QtTest>

class TestStockKScanner : public QObject
{
    Q_OBJECT

private slots:
    void reportsFirstPatternInOrder_data();
    void reportsFirstPatternInOrder();
    void needsTwentyOneBars();
    void noPatternNoComment();
    void baseScannersGiveNoSignal();
};

void TestStockKScanner::reportsFirstPatternInOrder_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("comment");

    QTest::newRow("上升三法看涨") << 7 << 0 << "上升三法看涨";
    // Tried second with signal 0, bearish name or not.
    QTest::newRow("下降三法看跌") << 26 << 0 << "下降三法看跌";
    QTest::newRow("黑三兵") << 27 << 0 << "黑三兵";
    QTest::newRow("三阳开泰看涨") << 8 << 0 << "三阳开泰看涨";
    QTest::newRow("红三兵") << 1 << 0 << "红三兵";
    QTest::newRow("空方炮") << 24 << 1 << "空方炮";
    QTest::newRow("黄昏之星") << 25 << 1 << "黄昏之星";
    QTest::newRow("清晨之星") << 4 << 0 << "清晨之星";
    QTest::newRow("平头底部看涨") << 6 << 0 << "平头底部看涨";
    QTest::newRow("双飞乌鸦") << 29 << 1 << "双飞乌鸦";
    QTest::newRow("旭日东升") << 0 << 0 << "旭日东升";
    QTest::newRow("看跌母子线") << 32 << 0 << "看跌母子线";
    QTest::newRow("乌云盖顶") << 22 << 1 << "乌云盖顶";
    QTest::newRow("涨势尽头") << 23 << 1 << "涨势尽头";
    QTest::newRow("倾盆大雨") << 21 << 1 << "倾盆大雨";
    QTest::newRow("阳吞阴") << 2 << 0 << "阳吞阴";
    // Every 阴吞阳 is a 看跌母子线 as well, which is tried before it.
    QTest::newRow("阴吞阳") << 20 << 0 << "看跌母子线";
    QTest::newRow("穿刺看涨") << 5 << 0 << "穿刺看涨";
    QTest::newRow("阳孕十字看跌") << 28 << 0 << "阳孕十字看跌";
    QTest::newRow("锤子止跌") << 9 << 0 << "锤子止跌";
    // Every 锤子止跌看涨 is a 锤子止跌 too, which is tried first.
    QTest::newRow("锤子止跌看涨") << 10 << 0 << "锤子止跌";
    QTest::newRow("看涨母子线") << 11 << 0 << "看涨母子线";
    QTest::newRow("吊颈线") << 30 << 0 << "吊颈线";
}

void TestStockKScanner::reportsFirstPatternInOrder()
{
    QFETCH(int, id);
    QFETCH(int, signal);
    QFETCH(QString, comment);

    StockKScanner scanner;
    QCOMPARE(scanner.category(), 2);
    QStringList out = {"earlier"};
    QCOMPARE(scanner.scan("600000", patternSeries(id, 21), &out), signal);
    QCOMPARE(out, QStringList({"earlier", comment}));
}

void TestStockKScanner::needsTwentyOneBars()
{
    StockKScanner scanner;
    QStringList out;
    QCOMPARE(scanner.scan("600000", patternSeries(KPatternHongSanBing, 20), &out), -1);
    QVERIFY(out.isEmpty());
    QCOMPARE(scanner.scan("600000", {}, &out), -1);
    QCOMPARE(scanner.scan("600000", patternSeries(KPatternHongSanBing, 21), nullptr), 0);
}

void TestStockKScanner::noPatternNoComment()
{
    StockKScanner scanner;
    QStringList out;
    QCOMPARE(scanner.scan("600000", QVector<Stock>(60, flatBar(10)), &out), -1);
    // Patterns reached only through the library are not the scanner's.
    for (int id : {31, 97, 98, 99})
        QCOMPARE(scanner.scan("600000", patternSeries(id, 21), &out), -1);
    QVERIFY(out.isEmpty());
}

void TestStockKScanner::baseScannersGiveNoSignal()
{
    StockScanner base;
    StockShapeScanner shape;
    QStringList out;
    const QVector<Stock> bars = patternSeries(KPatternHongSanBing, 30);
    QCOMPARE(base.category(), -1);
    QCOMPARE(shape.category(), -1);
    QCOMPARE(base.scan("600000", bars, &out), -1);
    QCOMPARE(shape.scan("600000", bars, &out), -1);
    QVERIFY(out.isEmpty());
    QVERIFY(shape.shapeRecord().name.isEmpty());
    QVERIFY(shape.shapeRecord().point1.date.isEmpty());
    QVERIFY(base.parent() == nullptr);
}

QTEST_MAIN(TestStockKScanner)
#include "tst_stockkscanner.moc"
