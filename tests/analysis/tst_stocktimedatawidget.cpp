// The intraday chart: red and green minute volumes, the price and average
// lines, the title, an empty record, and a screenshot.

#include "chartfixtures.h"

#include "analysis/stocktimedatawidget.h"
#include "analysis/vorelplot.h"
#include "tests/support/screenshot.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

StockTimeData minutes(const QVector<float>& prices, const QString& code = QStringLiteral("600000"))
{
    StockTimeData record;
    record.valid = true;
    record.code = code;
    float amount = 0;
    int total = 0;
    for (int i = 0; i < prices.size(); ++i) {
        MinuteRow row;
        row.time = QString("%1%2").arg(9 + (30 + i) / 60, 2, 10, QChar('0')).arg((30 + i) % 60, 2, 10, QChar('0'));
        row.price = prices.at(i);
        row.volume = 100 + 10 * i;
        total += row.volume;
        amount += row.volume * row.price;
        row.average = amount / total;
        record.rows << row;
    }
    return record;
}

} // namespace

class TestStockTimeDataWidget : public QObject
{
    Q_OBJECT

private slots:
    void volumeColours_data();
    void volumeColours();
    void linesFollowRows();
    void emptyRecordClearsChart();
    void dayAtOnePriceDrawsFlatWithReadableTicks();
    void lowChartGivesThePricesMostOfItsHeight();
    void screenshot();
};

void TestStockTimeDataWidget::volumeColours_data()
{
    QTest::addColumn<QVector<float>>("prices");
    QTest::addColumn<QVector<double>>("upKeys");
    QTest::addColumn<QVector<double>>("downKeys");

    // The first minute has nothing to fall from; an unchanged price is not a fall.
    QTest::newRow("first minute") << QVector<float>{10.0f} << QVector<double>{0} << QVector<double>{};
    QTest::newRow("unchanged") << QVector<float>{10.0f, 10.0f} << QVector<double>{0, 1} << QVector<double>{};
    QTest::newRow("fall then rise") << QVector<float>{10.0f, 9.9f, 10.1f, 10.05f}
                                    << QVector<double>{0, 2} << QVector<double>{1, 3};
}

void TestStockTimeDataWidget::volumeColours()
{
    QFETCH(QVector<float>, prices);
    QFETCH(QVector<double>, upKeys);
    QFETCH(QVector<double>, downKeys);

    StockTimeDataWidget widget;
    widget.setData(minutes(prices));
    QVector<double> up, down;
    for (auto it = widget.upBars->data()->constBegin(); it != widget.upBars->data()->constEnd(); ++it)
        up << it->key;
    for (auto it = widget.downBars->data()->constBegin(); it != widget.downBars->data()->constEnd(); ++it)
        down << it->key;
    QCOMPARE(up, upKeys);
    QCOMPARE(down, downKeys);
    QCOMPARE(widget.upBars->brush().color(), chartRisingColor());
    QCOMPARE(widget.downBars->brush().color(), chartFallingColor());
}

void TestStockTimeDataWidget::linesFollowRows()
{
    StockTimeDataWidget widget;
    const StockTimeData record = minutes({10.0f, 10.5f, 10.2f}, "000001");
    widget.setData(record);
    QCOMPARE(widget.title->text(), QString("000001"));
    QCPGraph* price = widget.plot->graph("price");
    QCPGraph* average = widget.plot->graph("ma");
    QCOMPARE(price->dataCount(), 3);
    QCOMPARE(price->data()->at(1)->value, double(10.5f));
    QCOMPARE(average->data()->at(2)->key, 2.0);
    QCOMPARE(average->data()->at(2)->value, double(record.rows.at(2).average));
    QCOMPARE(widget.upBars->data()->at(1)->value, 110.0);
    QCOMPARE(widget.record.rows.size(), 3);

    // A second record replaces the first.
    widget.setData(minutes({11.0f}, "600000"));
    QCOMPARE(price->dataCount(), 1);
    QCOMPARE(widget.upBars->dataCount() + widget.downBars->dataCount(), 1);
}

void TestStockTimeDataWidget::emptyRecordClearsChart()
{
    StockTimeDataWidget widget;
    QCOMPARE(widget.title->text(), QString("000000"));
    widget.setData(minutes({10.0f, 9.0f}));
    widget.setData(StockTimeData());
    QCOMPARE(widget.title->text(), QString());
    QCOMPARE(widget.plot->graph("price")->dataCount(), 0);
    QCOMPARE(widget.plot->graph("ma")->dataCount(), 0);
    QCOMPARE(widget.upBars->dataCount(), 0);
    QCOMPARE(widget.downBars->dataCount(), 0);
    QVERIFY(widget.record.rows.isEmpty());
}

void TestStockTimeDataWidget::dayAtOnePriceDrawsFlatWithReadableTicks()
{
    // A stock locked at its limit all day: the float average wobbles by noise.
    StockTimeDataWidget widget;
    widget.resize(720, 360);
    widget.setData(minutes(QVector<float>(241, 12.21f)));
    widget.plot->replot();
    QCOMPARE(chartfixtures::flatPriceAxisFault(widget.plot->yAxis, 12.21), QString());

    // a real day keeps the range its prices span
    widget.setData(minutes({10.0f, 11.0f}));
    QCOMPARE(widget.plot->yAxis->range().lower, 10.0);
}

// As low as the end-of-day page gives it on a 1280 x 800 screen at a large
// font: the prices get most of the height, their labels a line apart.
void TestStockTimeDataWidget::lowChartGivesThePricesMostOfItsHeight()
{
    QVector<float> prices;
    for (int i = 0; i < 241; ++i)
        prices << 10.0f + 0.01f * i;
    StockTimeDataWidget widget;
    widget.resize(1000, 250);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.setData(minutes(prices, "600000"));
    widget.plot->replot();
    QCOMPARE(chartfixtures::crowdedPriceAxisFault(widget.plot->yAxis, widget.height()), QString());
    QVERIFY(widget.volumeRect->height() > 0);
}

void TestStockTimeDataWidget::screenshot()
{
    // A trading day of 241 minutes drifting up with a midday dip.
    QVector<float> prices;
    for (int i = 0; i < 241; ++i)
        prices << 10.0f + 0.002f * i + 0.08f * std::sin(i / 9.0f) - (i > 110 && i < 140 ? 0.1f : 0.0f);
    StockTimeDataWidget widget;
    widget.resize(720, 360);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.setData(minutes(prices, "600000"));
    widget.plot->replot();
    QVERIFY(saveScreenshot(&widget, "intraday"));
}

QTEST_MAIN(TestStockTimeDataWidget)
#include "tst_stocktimedatawidget.moc"
