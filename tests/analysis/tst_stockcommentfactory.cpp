#include "analysis/stockcommentfactory.h"

#include <QtTest>

namespace {

// A scanner that answers what it was told to, for checking how the factory
// files the answers.
class FixedScanner final : public StockScanner
{
public:
    FixedScanner(int category, int result, QStringList texts)
        : fixedCategory(category), result(result), texts(std::move(texts))
    {
    }
    int category() const override { return fixedCategory; }
    int scan(const QString&, const QVector<Stock>&, QStringList* out) override
    {
        *out += texts;
        ++calls;
        return result;
    }

    int fixedCategory;
    int result;
    QStringList texts;
    int calls = 0;
};

QVector<Stock> bars(int count, float start, float step)
{
    QVector<Stock> series;
    for (int i = 0; i < count; ++i) {
        Stock bar;
        bar.code = "600000";
        bar.close = start + step * i;
        bar.open = bar.close - step / 2;
        bar.high = qMax(bar.open, bar.close) + 0.1f;
        bar.low = qMin(bar.open, bar.close) - 0.1f;
        bar.volume = 1000;
        series << bar;
    }
    return series;
}

}   // namespace

class StockCommentFactoryTest : public QObject
{
    Q_OBJECT
private slots:
    void textsAreGroupedByCategoryInScannerOrder();
    void scannersWithoutSignalLeaveNoEntry();
    void stockWithNoCommentsGivesAnEmptyMap();
    void eachScanStartsAfresh();
    void programFactoryRunsTheSixScannersInOrder();
    void newHighAndGapLandInTheirCategories();
};

void StockCommentFactoryTest::textsAreGroupedByCategoryInScannerOrder()
{
    StockCommentFactory factory({new FixedScanner(0, 0, {"ma"}), new FixedScanner(0, 1, {"macd1", "macd2"}),
                                 new FixedScanner(1, 1, {"vol"}), new FixedScanner(6, 0, {"high"})});
    QStringList out{"left over"};
    QCOMPARE(factory.scan("600000", {}, &out), 1);
    QVERIFY(out.isEmpty());
    QCOMPARE(factory.comments.keys(), (QList<int>{0, 1, 6}));
    QCOMPARE(factory.comments.value(0), (QStringList{"ma", "macd1", "macd2"}));
    QCOMPARE(factory.comments.value(1), QStringList{"vol"});
    QCOMPARE(factory.category(), -1);
}

void StockCommentFactoryTest::scannersWithoutSignalLeaveNoEntry()
{
    StockCommentFactory factory({new FixedScanner(2, -1, {"ignored"}), new FixedScanner(4, 0, {})});
    QStringList out;
    factory.scan("600000", {}, &out);
    QVERIFY(!factory.comments.contains(2));
    // a signal without text still counts as a category
    QVERIFY(factory.comments.contains(4));
    QVERIFY(factory.comments.value(4).isEmpty());
}

void StockCommentFactoryTest::stockWithNoCommentsGivesAnEmptyMap()
{
    StockCommentFactory factory;
    QStringList out;
    QCOMPARE(factory.scan("600000", bars(5, 10, 0), &out), 1);   // too few bars for every scanner
    QVERIFY(factory.comments.isEmpty());
    QCOMPARE(factory.scan("600000", {}, &out), 1);
    QVERIFY(factory.comments.isEmpty());
}

void StockCommentFactoryTest::eachScanStartsAfresh()
{
    auto* first = new FixedScanner(3, 0, {"shape"});
    StockCommentFactory factory({first});
    QStringList out;
    factory.scan("600000", {}, &out);
    first->result = -1;
    factory.scan("600000", {}, &out);
    QVERIFY(factory.comments.isEmpty());
    QCOMPARE(first->calls, 2);
}

void StockCommentFactoryTest::programFactoryRunsTheSixScannersInOrder()
{
    StockCommentFactory* factory = StockCommentFactory::instance();
    QCOMPARE(StockCommentFactory::instance(), factory);
    QList<int> categories;
    QStringList classes;
    for (StockScanner* scanner : factory->scanners) {
        categories << scanner->category();
        classes << scanner->metaObject()->className();
    }
    QCOMPARE(categories, (QList<int>{0, 0, 1, 2, 6, 4}));
    QCOMPARE(classes, (QStringList{"StockMaNScanner", "StockMACDScanner", "StockVolScanner", "StockKScanner",
                                   "PricePositionScanner", "BreachScanner"}));
}

void StockCommentFactoryTest::newHighAndGapLandInTheirCategories()
{
    QVector<Stock> series = bars(80, 10, 0.05f);
    Stock& last = series.last();
    last.open = last.low = series.at(78).high + 0.5f;   // gap over the day before
    last.close = last.open + 0.2f;
    last.high = last.close + 0.1f;
    StockCommentFactory factory;
    QStringList out;
    factory.scan("600000", series, &out);
    QVERIFY(factory.comments.value(6).value(0).startsWith(QStringLiteral("60日新高")));
    QVERIFY(factory.comments.value(4).value(0).startsWith(QStringLiteral("看涨缺口幅度:")));
}

QTEST_GUILESS_MAIN(StockCommentFactoryTest)
#include "tst_stockcommentfactory.moc"
