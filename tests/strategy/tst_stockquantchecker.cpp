#include "strategy/stockquantchecker.h"

#include "analysis/indicatorscanners.h"
#include "core/stock.h"
#include "core/vorelapplication.h"
#include "tests/support/barbuilder.h"
#include "tests/support/dialogrows.h"
#include "tests/support/sharelistfixture.h"

#include <QCheckBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {

// The stock's daily series as the history parser gives it: code, dates one
// day apart, change percents against the previous close, no previous-close field.
SeriesBuilder daily()
{
    return SeriesBuilder().code("600000");
}

// A series ending in a signal of the checker, and the signal's index.
struct Signal
{
    QVector<Stock> bars;
    int index = -1;
};

// 21 calm bars at 10, then a hammer: low 9, body 9.9-9.95, high 9.96.
Signal hammer()
{
    return {daily().flat(21, 10).add(ohlc(9.9f, 9.96f, 9.0f, 9.95f)).bars(), 21};
}

// A decline (which leaves KDJ oversold), then a falling bar engulfed by a rising one.
Signal yangTunYin()
{
    SeriesBuilder b = daily().line(30, 16.0f, 10.5f, 0.1f);
    b.add(ohlc(10.3f, 10.32f, 9.8f, 9.9f)).add(ohlc(9.85f, 10.41f, 9.8f, 10.4f).volume(2000));
    return {b.bars(), 31};
}

// A decline, then an inverted hammer: foot 0.02, body 0.03, head 0.55.
Signal daoChuiZi()
{
    SeriesBuilder b = daily().line(10, 10.0f, 16.0f, 0.1f).line(20, 16.0f, 10.0f, 0.1f);
    return {b.add(ohlc(9.92f, 10.5f, 9.9f, 9.95f)).bars(), 30};
}

// A new stock that rises to 17.1, falls to 13.5 and breaks above its first high.
Signal ciXinGuTuPo()
{
    SeriesBuilder b = daily().line(8, 10.0f, 17.0f, 0.1f).line(8, 16.5f, 13.5f, 0.1f).line(6, 14.0f, 16.5f, 0.1f);
    return {b.add(ohlc(16.6f, 17.45f, 16.5f, 17.4f)).bars(), 22};
}

// A new stock that rises for seven days and then falls 6 % five times.
Signal ciXinGuLianDie()
{
    SeriesBuilder b = daily().line(7, 10.0f, 16.0f, 0.1f);
    float c = 16.0f;
    for (int i = 0; i < 5; ++i)
        b.flat(1, c *= 0.94f);
    return {b.flat(3, c).bars(), 11};
}

// Calm bars, one step up, then a rise of 5.5 % through the averages.
Signal fangLiang()
{
    SeriesBuilder b = daily().flat(40, 10).flat(1, 10.05f);
    return {b.add(ohlc(10.1f, 10.62f, 10.1f, 10.6f).volume(3000)).bars(), 41};
}

// 20 calm bars, a dip below the average and a rise of 6 % above the upper band.
Signal bollBreak(int calmBars = 20)
{
    SeriesBuilder b = daily().flat(calmBars, 10);
    b.add(ohlc(10, 10, 9.9f, 9.9f)).add(ohlc(9.9f, 10.55f, 9.9f, 10.5f));
    return {b.bars(), calmBars + 1};
}

Signal signalFor(int id)
{
    switch (id) {
    case 1: return hammer();
    case 2: return yangTunYin();
    case 3: return daoChuiZi();
    case 4: return ciXinGuTuPo();
    case 5: return ciXinGuLianDie();
    case 6: return fangLiang();
    default: return bollBreak();
    }
}

int check(int id, const QVector<Stock>& bars, int index)
{
    std::unique_ptr<StockQuantChecker> checker(createQuantChecker(id));
    return checker->check("600000", bars, index);
}

int kdjVerdict(const QVector<Stock>& bars)
{
    StockKDJScanner scanner;
    QStringList texts;
    return scanner.scan("600000", bars, &texts);
}

bool kdjFavours(int verdict)
{
    return verdict == 1 || verdict == 3 || verdict == 5;
}

// The control in the dialog's row whose label reads `label` (the n-th such row).
template <typename Control>
Control* control(QDialog* dialog, const QString& label, int nth = 0)
{
    return qobject_cast<Control*>(controlBeside(dialog, label, nth));
}

void pressOk(QDialog* dialog)
{
    pressButton(dialog, QStringLiteral("确定"));
}

// The dialog of the checker `id`, built and filled but not run.
QDialog* openDialogOf(int id, std::unique_ptr<StockQuantChecker>* checker)
{
    checker->reset(createQuantChecker(id));
    return (*checker)->buildDialog(nullptr);
}

QVector<RowRange> parameterRanges(int id)
{
    switch (id) {
    case 1:
        return {
            {QStringLiteral("回调均线[16-45]"), 0, &AppConfig::quantHammerMaN, 16, 45},
            {QStringLiteral("锤子线最大头部[0-15]%"), 0, &AppConfig::quantHammerHead, 0, 15},
            {QStringLiteral("锤子线最大实体[10-30]%"), 0, &AppConfig::quantHammerBody, 10, 30},
            // the label says 99, the box stops at 90
            {QStringLiteral("锤子线最小足部[65-99]%"), 0, &AppConfig::quantHammerFooter, 65, 90},
            {QStringLiteral("锤子线成交量变化[1.0-1.8f]"), 0, &AppConfig::quantHammerVolume, 1.0, 1.8, 0.1},
            {QStringLiteral("锤子线最小振幅[2.0-8.f]%"), 0, &AppConfig::quantHammerMinSwing, 2.0, 8.0, 0.1},
            {QStringLiteral("锤子线最大涨幅[0.0-9.9f]%"), 0, &AppConfig::quantHammerMaxIncrease, 0.0, 9.9, 0.1},
            {QStringLiteral("最近几日收盘最低[0-8]"), 0, &AppConfig::quantHammerNDayLow, 0, 8},
        };
    case 2:
        return {
            {QStringLiteral("回调均线[4-45]"), 0, &AppConfig::quantYangTunYinMaN, 4, 45},
            {QStringLiteral("回调均线[4-45]"), 1, &AppConfig::quantYangTunYinMaN2, 4, 45},
            // the label says 3.2, the box starts at 2.4
            {QStringLiteral("阳线最小涨幅[3.2-10.1]"), 0, &AppConfig::quantYangTunYinMinIncrease, 2.4, 10.1, 0.1},
            {QStringLiteral("最大容忍涨幅[2.4-9.6]"), 0, &AppConfig::quantYangTunYinMaxIncrease, 2.4, 9.6, 0.1},
            {QStringLiteral("最大上长影[0.0-24.0]%"), 0, &AppConfig::quantYangTunYinMaxHead, 0.0, 24.0, 0.1},
            {QStringLiteral("最小可接受价格[4.8-10.0]"), 0, &AppConfig::quantYangTunYinMinPrice, 4.8, 10.0, 0.1},
            {QStringLiteral("最大可接受价格[48-999]"), 0, &AppConfig::quantYangTunYinMaxPrice, 48, 999, 0.1},
            {QStringLiteral("阳线最大放量[0.9-3.6]"), 0, &AppConfig::quantYangTunYinMinTradeVol, 0.9, 3.6, 0.1},
        };
    case 3:
        return {
            {QStringLiteral("回调均线[4-45]"), 0, &AppConfig::quantDaoChuiZiMaN, 4, 45},
            // the second average's box goes to 64 under the same label
            {QStringLiteral("回调均线[4-45]"), 1, &AppConfig::quantDaoChuiZiMa2, 4, 64},
            {QStringLiteral("倒锤头最小占比[60-99]%"), 0, &AppConfig::quantDaoChuiZiHead, 60, 99.99, 0.1},
            {QStringLiteral("倒锤头实体最大占比[0-25]%"), 0, &AppConfig::quantDaoChuiZiBody, 0, 25, 0.1},
            {QStringLiteral("倒锤头下长影最大占比[0-25]%"), 0, &AppConfig::quantDaoChuiZiFooter, 0, 25, 0.1},
            {QStringLiteral("倒锤头最小振幅[1.8-9.9]%"), 0, &AppConfig::quantDaoChuiZiMinSwing, 1.8, 9.9, 0.1},
            {QStringLiteral("倒锤最大可接受涨幅[-2.0-9.9]"), 0, &AppConfig::quantDaoChuiZiMaxIncrease, -2.0, 9.9, 0.1},
            {QStringLiteral("第二日最大可接受涨幅[2.0-9.9]"), 0, &AppConfig::quantDaoChuiZiMaxIncrease2, 2.0, 9.9, 0.1},
            {QStringLiteral("倒锤线当日最大放量[0.9-4.8]"), 0, &AppConfig::quantDaoChuiZiMinTradeVol, 0.9, 4.8, 0.1},
        };
    case 4:
        return {{QStringLiteral("最大买点涨幅[3.6-9.6]%"), 0, &AppConfig::quantCiXinGuShengPoMaxIncrease, 3.6, 9.6, 0.1}};
    default:
        // the fall limit, shown as its size, has its own cases
        return {{QStringLiteral("连跌天数[3-6]"), 0, &AppConfig::quantCiXinGuLianDieN, 3, 6}};
    }
}

} // namespace

class TestStockQuantChecker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { defaults = vorelApp()->config; }
    void init() { vorelApp()->config = defaults; }

    void factoryKnowsIdsOneToSeven()
    {
        for (int id = 1; id <= 7; ++id) {
            std::unique_ptr<StockQuantChecker> checker(createQuantChecker(id));
            QVERIFY(checker);
            QCOMPARE(checker->typeId(), id);
        }
        QVERIFY(!createQuantChecker(0));
        QVERIFY(!createQuantChecker(8));
    }

    // Each fixture signals at its index and not on the day before; later bars
    // (a crash, then a rally) never change the verdict on an earlier day, and
    // no index outside the series is read.
    void signalDependsOnTheDaysUpToIt_data()
    {
        QTest::addColumn<int>("id");
        for (int id = 1; id <= 7; ++id)
            QTest::newRow(qPrintable(QString("checker %1").arg(id))) << id;
    }

    void signalDependsOnTheDaysUpToIt()
    {
        QFETCH(int, id);
        const Signal s = signalFor(id);
        QCOMPARE(check(id, s.bars, s.index), 0);
        QCOMPARE(check(id, s.bars, s.index - 1), -1);
        QCOMPARE(check(id, s.bars, s.bars.size()), -1);
        QCOMPARE(check(id, s.bars, -1), -1);

        const float last = s.bars.last().close;
        const QVector<Stock> longer =
            SeriesBuilder(s.bars).line(12, last, last * 0.5f, 0.1f).line(12, last * 0.5f, last * 1.5f, 0.1f).bars();
        QCOMPARE(check(id, longer, s.index), 0);
    }

    // The KDJ test of the two checkers that use it looks at the signal day,
    // not at the last day of the history.
    void kdjIsJudgedOnTheSignalDay_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("yty") << 2;
        QTest::newRow("dcz") << 3;
    }

    void kdjIsJudgedOnTheSignalDay()
    {
        QFETCH(int, id);
        const Signal s = signalFor(id);
        QVERIFY(kdjFavours(kdjVerdict(s.bars.mid(0, s.index + 1))));
        const float last = s.bars.last().close;
        const QVector<Stock> longer = SeriesBuilder(s.bars).line(15, last, last * 2.0f, 0.1f).bars();
        QVERIFY(!kdjFavours(kdjVerdict(longer)));   // today's KDJ would refuse
        QCOMPARE(check(id, longer, s.index), 0);
    }

    void yangTunYinKdjSwitch()
    {
        // A wide sideways range keeps KDJ in the middle without a cross.
        SeriesBuilder b = daily().flat(30, 10.6f, 2.0f);
        b.add(ohlc(10.3f, 10.32f, 9.8f, 9.9f)).add(ohlc(9.85f, 10.41f, 9.8f, 10.4f).volume(2000));
        const QVector<Stock> bars = b.bars();
        QVERIFY(!kdjFavours(kdjVerdict(bars)));
        vorelApp()->config.quantYangTunYinUseKDJ = 1;
        QCOMPARE(check(2, bars, 31), -1);
        vorelApp()->config.quantYangTunYinUseKDJ = 0;
        QCOMPARE(check(2, bars, 31), 0);
    }

    void hammerRules_data()
    {
        QTest::addColumn<float>("open");
        QTest::addColumn<float>("high");
        QTest::addColumn<float>("low");
        QTest::addColumn<float>("close");
        QTest::addColumn<float>("volume");
        QTest::addColumn<int>("expected");
        QTest::newRow("hammer") << 9.9f << 9.96f << 9.0f << 9.95f << 1000.f << 0;
        QTest::newRow("volume at the limit") << 9.9f << 9.96f << 9.0f << 9.95f << 1010.f << -1;
        // Head 13 % of the range counted from the body's lower end, though
        // the shadow above the body is only 12 %.
        QTest::newRow("body counts into the head") << 9.87f << 10.0f << 9.0f << 9.88f << 1000.f << -1;
        QTest::newRow("short foot") << 9.5f << 9.6f << 9.0f << 9.55f << 1000.f << -1;
        QTest::newRow("no range") << 9.9f << 9.9f << 9.9f << 9.9f << 1000.f << -1;
        QTest::newRow("no price") << 0.f << 0.f << 0.f << 0.f << 1000.f << -1;
    }

    void hammerRules()
    {
        QFETCH(float, open);
        QFETCH(float, high);
        QFETCH(float, low);
        QFETCH(float, close);
        QFETCH(float, volume);
        QFETCH(int, expected);
        Signal s = hammer();
        s.bars[s.index] = ohlc(open, high, low, close).volume(volume);
        QCOMPARE(check(1, SeriesBuilder(s.bars).bars(), s.index), expected);
    }

    void hammerNeedsTheLowestRecentClose_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<float>("earlierClose");
        QTest::addColumn<int>("expected");
        QTest::newRow("off") << 0 << 9.0f << 0;
        QTest::newRow("equal earlier close") << 2 << 9.95f << 0;
        QTest::newRow("lower earlier close") << 2 << 9.94f << -1;
        QTest::newRow("lower close before the window") << 1 << 9.94f << 0;
    }

    void hammerNeedsTheLowestRecentClose()
    {
        QFETCH(int, days);
        QFETCH(float, earlierClose);
        QFETCH(int, expected);
        Signal s = hammer();
        // The close three days back: inside the window of K = 2 (3 bars), not of K = 1.
        s.bars[s.index - 3] = flatBar(earlierClose).volume(1000);
        vorelApp()->config.quantHammerNDayLow = days;
        QCOMPARE(check(1, SeriesBuilder(s.bars).bars(), s.index), expected);
    }

    void hammerNeedsEnoughDays()
    {
        vorelApp()->config.quantHammerMaN = 25;
        const Signal s = hammer();
        QCOMPARE(check(1, s.bars, s.index), -1);
    }

    void losingStreakRules_data()
    {
        QTest::addColumn<float>("fall");
        QTest::addColumn<bool>("flatDay");
        QTest::addColumn<float>("limit");
        QTest::addColumn<int>("expected");
        // The limit on the summed fall holds whatever its stored sign.
        QTest::newRow("-30 % under the default 24") << 0.94f << false << 24.f << 0;
        QTest::newRow("-20 % under the default 24") << 0.96f << false << 24.f << -1;
        QTest::newRow("-20 % under -16") << 0.96f << false << -16.f << 0;
        QTest::newRow("one day unchanged") << 0.94f << true << 24.f << -1;
    }

    void losingStreakRules()
    {
        QFETCH(float, fall);
        QFETCH(bool, flatDay);
        QFETCH(float, limit);
        QFETCH(int, expected);
        Signal s = ciXinGuLianDie();
        for (int i = 7; i < 12; ++i) {
            const float c = s.bars[i - 1].close * (flatDay && i == 9 ? 1.0f : fall);
            s.bars[i] = flatBar(c).volume(1000);
        }
        vorelApp()->config.quantCiXinGuLianDieDecease = limit;
        QCOMPARE(check(5, SeriesBuilder(s.bars).bars(), 11), expected);
    }

    // The history must be longer than ten days; the streak may lie in its first days.
    void losingStreakNeedsElevenBars()
    {
        SeriesBuilder b = daily().line(3, 10.0f, 12.0f, 0.1f);
        float c = 12.0f;
        for (int i = 0; i < 5; ++i)
            b.flat(1, c *= 0.94f);
        QCOMPARE(check(5, b.bars(), 7), -1);
        QCOMPARE(check(5, b.flat(3, c).bars(), 7), 0);
    }

    void newStockBreakUpNeedsATurn()
    {
        SeriesBuilder b = daily().line(30, 10.0f, 20.0f, 0.1f).add(ohlc(20.0f, 21.1f, 20.0f, 21.0f));
        QCOMPARE(check(4, b.bars(), 30), -1);
    }

    // The upper band lies two standard deviations of the last 20 closes above
    // their mean, and the close must pass it by 1.5 %. Over calm days swinging
    // between 9.9 and 10.1, a close of 10.35 stays under that mark (10.415),
    // one of 10.55 passes it (10.488).
    void bollBandIsTwoDeviationsWide_data()
    {
        QTest::addColumn<float>("close");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside the band") << 10.35f << -1;
        QTest::newRow("above the band") << 10.55f << 0;
    }

    void bollBandIsTwoDeviationsWide()
    {
        QFETCH(float, close);
        QFETCH(int, expected);
        SeriesBuilder b = daily();
        for (int i = 0; i < 20; ++i)
            b.flat(1, i % 2 ? 10.1f : 9.9f);
        b.add(ohlc(10, 10, 9.9f, 9.9f)).add(ohlc(9.9f, close, 9.9f, close));
        QCOMPARE(check(7, b.bars(), 21), expected);
    }

    void bollNeedsTwentyOneEarlierDays()
    {
        const Signal early = bollBreak(19);
        QCOMPARE(early.index, 20);
        QCOMPARE(check(7, early.bars, early.index), -1);
        const Signal first = bollBreak(20);
        QCOMPARE(check(7, first.bars, first.index), 0);
    }

    void bollMeasuresTheHeadAgainstThePreviousClose()
    {
        Signal s = bollBreak();
        // A history that carries its own previous close uses it.
        s.bars[s.index].preClose = 1.0f;
        QCOMPARE(check(7, s.bars, s.index), -1);
        s.bars[s.index].preClose = 9.9f;
        QCOMPARE(check(7, s.bars, s.index), 0);
    }

    void dialogsShowAndStoreTheSettings()
    {
        AppConfig& c = vorelApp()->config;
        c.quantHammerHead = 12.7f;
        c.quantHammerFooter = 99;
        c.quantHammerBody = 1e30f;   // a hand-written value beyond any integer
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(1));
        QPointer<QDialog> dialog = checker->buildDialog(nullptr);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("锤子线量化策略参数设置"));
        auto* head = control<QSpinBox>(dialog, QStringLiteral("锤子线最大头部[0-15]%"));
        auto* footer = control<QSpinBox>(dialog, QStringLiteral("锤子线最小足部[65-99]%"));
        auto* volume = control<QDoubleSpinBox>(dialog, QStringLiteral("锤子线成交量变化[1.0-1.8f]"));
        auto* body = control<QSpinBox>(dialog, QStringLiteral("锤子线最大实体[10-30]%"));
        QVERIFY(head && footer && volume && body);
        QCOMPARE(head->value(), 12);       // truncated
        QCOMPARE(footer->value(), 90);     // clamped
        QCOMPARE(body->value(), 30);       // clamped before it is truncated
        volume->setValue(1.5);
        dialog->show();
        pressOk(dialog);
        QCOMPARE(c.quantHammerHead, 12.f);
        QCOMPARE(c.quantHammerFooter, 90.f);
        QCOMPARE(c.quantHammerVolume, 1.5f);
        QTRY_VERIFY(dialog.isNull());     // closed and deleted
    }

    void dialogRowsEditTheirOwnSetting_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QVector<DialogRow>>("rows");
        // No two rows share a value, before or after the edit; the two rows
        // labelled "回调均线[4-45]" are told apart by their order.
        QTest::newRow("hammer") << 1 << QVector<DialogRow>{
            plainRow(QStringLiteral("回调均线[16-45]"), &AppConfig::quantHammerMaN, 33, 18),
            plainRow(QStringLiteral("锤子线最大头部[0-15]%"), &AppConfig::quantHammerHead, 7, 14),
            plainRow(QStringLiteral("锤子线最大实体[10-30]%"), &AppConfig::quantHammerBody, 22, 11),
            plainRow(QStringLiteral("锤子线最小足部[65-99]%"), &AppConfig::quantHammerFooter, 81, 66),
            plainRow(QStringLiteral("锤子线成交量变化[1.0-1.8f]"), &AppConfig::quantHammerVolume, 1.35, 1.7),
            plainRow(QStringLiteral("锤子线最小振幅[2.0-8.f]%"), &AppConfig::quantHammerMinSwing, 6.5, 2.4),
            plainRow(QStringLiteral("锤子线最大涨幅[0.0-9.9f]%"), &AppConfig::quantHammerMaxIncrease, 8.8, 0.5),
            plainRow(QStringLiteral("最近几日收盘最低[0-8]"), &AppConfig::quantHammerNDayLow, 5, 2),
        };
        QTest::newRow("yty") << 2 << QVector<DialogRow>{
            plainRow(QStringLiteral("回调均线[4-45]"), &AppConfig::quantYangTunYinMaN, 12, 40, 0),
            plainRow(QStringLiteral("回调均线[4-45]"), &AppConfig::quantYangTunYinMaN2, 31, 5, 1),
            plainRow(QStringLiteral("阳线最小涨幅[3.2-10.1]"), &AppConfig::quantYangTunYinMinIncrease, 9.2, 4.1),
            plainRow(QStringLiteral("最大容忍涨幅[2.4-9.6]"), &AppConfig::quantYangTunYinMaxIncrease, 3.3, 7.7),
            plainRow(QStringLiteral("最大上长影[0.0-24.0]%"), &AppConfig::quantYangTunYinMaxHead, 17.5, 1.2),
            plainRow(QStringLiteral("最小可接受价格[4.8-10.0]"), &AppConfig::quantYangTunYinMinPrice, 5.6, 9.4),
            plainRow(QStringLiteral("最大可接受价格[48-999]"), &AppConfig::quantYangTunYinMaxPrice, 321.5, 77.7),
            plainRow(QStringLiteral("阳线最大放量[0.9-3.6]"), &AppConfig::quantYangTunYinMinTradeVol, 2.8, 1.3),
            plainRow(QStringLiteral("启动KD检测"), &AppConfig::quantYangTunYinUseKDJ, 0, 1),
        };
        QTest::newRow("dcz") << 3 << QVector<DialogRow>{
            plainRow(QStringLiteral("回调均线[4-45]"), &AppConfig::quantDaoChuiZiMaN, 9, 44, 0),
            plainRow(QStringLiteral("回调均线[4-45]"), &AppConfig::quantDaoChuiZiMa2, 58, 6, 1),
            plainRow(QStringLiteral("倒锤头最小占比[60-99]%"), &AppConfig::quantDaoChuiZiHead, 88.5, 61.2),
            plainRow(QStringLiteral("倒锤头实体最大占比[0-25]%"), &AppConfig::quantDaoChuiZiBody, 13.5, 24.2),
            plainRow(QStringLiteral("倒锤头下长影最大占比[0-25]%"), &AppConfig::quantDaoChuiZiFooter, 21.5, 0.7),
            plainRow(QStringLiteral("倒锤头最小振幅[1.8-9.9]%"), &AppConfig::quantDaoChuiZiMinSwing, 7.3, 2.2),
            plainRow(QStringLiteral("倒锤最大可接受涨幅[-2.0-9.9]"), &AppConfig::quantDaoChuiZiMaxIncrease, -1.5, 5.5),
            plainRow(QStringLiteral("第二日最大可接受涨幅[2.0-9.9]"), &AppConfig::quantDaoChuiZiMaxIncrease2, 8.6, 3.1),
            plainRow(QStringLiteral("倒锤线当日最大放量[0.9-4.8]"), &AppConfig::quantDaoChuiZiMinTradeVol, 4.4, 1.6),
            plainRow(QStringLiteral("启动KD验校"), &AppConfig::quantDaoChuiZiUseKDJ, 0, 1),
        };
        QTest::newRow("cxgsp") << 4 << QVector<DialogRow>{
            plainRow(QStringLiteral("最大买点涨幅[3.6-9.6]%"), &AppConfig::quantCiXinGuShengPoMaxIncrease, 5.2, 8.3),
        };
        QTest::newRow("cxgld") << 5 << QVector<DialogRow>{
            plainRow(QStringLiteral("连跌天数[3-6]"), &AppConfig::quantCiXinGuLianDieN, 5, 3),
            plainRow(QStringLiteral("包含假阴线"), &AppConfig::quantCiXinGuLianDieHasJiaYang, 0, 1),
            // shown as the size of the fall, stored negative
            {QStringLiteral("最小跌幅-[16-48]%"), 0, &AppConfig::quantCiXinGuLianDieDecease, -37, 37, 19, -19},
        };
    }

    // Each row found by its label: shown from its own setting and written
    // back to it by "确定", nothing else touched.
    void dialogRowsEditTheirOwnSetting()
    {
        QFETCH(int, id);
        QFETCH(QVector<DialogRow>, rows);
        std::unique_ptr<StockQuantChecker> checker;
        QCOMPARE(editThroughDialog(vorelApp()->config, rows, [&] { return openDialogOf(id, &checker); },
                                   QStringLiteral("确定")),
                 QString());
        QCOMPARE(editLeftUnconfirmed(vorelApp()->config, rows, [&] { return openDialogOf(id, &checker); }), QString());
    }

    void dialogRowsKeepToTheirRange_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("atLow");
        QTest::addColumn<double>("beyond");
        for (int id = 1; id <= 5; ++id) {
            for (bool atLow : {true, false}) {
                const char* end = atLow ? "low" : "high";
                QTest::addRow("checker %d, on the %s end", id, end) << id << atLow << 0.0;
                QTest::addRow("checker %d, one past the %s end", id, end) << id << atLow << 1.0;
                QTest::addRow("checker %d, far past the %s end", id, end) << id << atLow << 1e9;
            }
        }
    }

    // A stored value on an end of its range shows as it is; one past it (a
    // hand-edited file) shows the end, and the end is what "确定" stores.
    void dialogRowsKeepToTheirRange()
    {
        QFETCH(int, id);
        QFETCH(bool, atLow);
        QFETCH(double, beyond);
        // the fall limit as the dialog stores it, so that "确定" leaves it as it is
        vorelApp()->config.quantCiXinGuLianDieDecease = -24;
        std::unique_ptr<StockQuantChecker> checker;
        QCOMPARE(editThroughDialog(vorelApp()->config, rowsAtEnd(parameterRanges(id), atLow, beyond),
                                   [&] { return openDialogOf(id, &checker); }, QStringLiteral("确定")),
                 QString());
    }

    void dialogRowsStepAsTheyShould()
    {
        for (int id = 1; id <= 5; ++id) {
            std::unique_ptr<StockQuantChecker> checker;
            std::unique_ptr<QDialog> dialog(openDialogOf(id, &checker));
            QCOMPARE(stepMismatches(dialog.get(), parameterRanges(id)).join(" | "), QString());
        }
    }

    void switchesReadTheirStoredValue_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("yty 1") << 2 << 1 << true;
        QTest::newRow("yty 2") << 2 << 2 << false;
        QTest::newRow("dcz 2") << 3 << 2 << true;
        QTest::newRow("dcz 0") << 3 << 0 << false;
    }

    void switchesReadTheirStoredValue()
    {
        QFETCH(int, id);
        QFETCH(int, stored);
        QFETCH(bool, checked);
        AppConfig& c = vorelApp()->config;
        c.quantYangTunYinUseKDJ = stored;
        c.quantDaoChuiZiUseKDJ = stored;
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(id));
        QPointer<QDialog> dialog = checker->buildDialog(nullptr);
        auto* box = dialog->findChild<QCheckBox*>();
        QCOMPARE(box->isChecked(), checked);
        pressOk(dialog);
        QCOMPARE(id == 2 ? c.quantYangTunYinUseKDJ : c.quantDaoChuiZiUseKDJ, checked ? 1 : 0);
        delete dialog;
    }

    void losingStreakDialogShowsTheFallAsPositive_data()
    {
        QTest::addColumn<float>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("-24") << -24.f << 24;
        QTest::newRow("default 24") << 24.f << 24;
        QTest::newRow("-5 clamped") << -5.f << 16;
        QTest::newRow("-16, the least") << -16.f << 16;
        QTest::newRow("-15, under the least") << -15.f << 16;
        QTest::newRow("-48, the most") << -48.f << 48;
        QTest::newRow("-49, over the most") << -49.f << 48;
        QTest::newRow("49 as written by hand") << 49.f << 48;
        QTest::newRow("far over the most") << -1e9f << 48;
    }

    void losingStreakDialogShowsTheFallAsPositive()
    {
        QFETCH(float, stored);
        QFETCH(int, shown);
        vorelApp()->config.quantCiXinGuLianDieDecease = stored;
        std::unique_ptr<StockQuantChecker> checker(createQuantChecker(5));
        QPointer<QDialog> dialog = checker->buildDialog(nullptr);
        auto* fall = control<QSpinBox>(dialog, QStringLiteral("最小跌幅-[16-48]%"));
        QVERIFY(fall);
        QCOMPARE(fall->value(), shown);
        // left as shown, the fall is stored as the negative of what it shows
        pressOk(dialog);
        QCOMPARE(vorelApp()->config.quantCiXinGuLianDieDecease, float(-shown));
        delete dialog;

        dialog = checker->buildDialog(nullptr);
        fall = control<QSpinBox>(dialog, QStringLiteral("最小跌幅-[16-48]%"));
        fall->setValue(30);
        pressOk(dialog);
        QCOMPARE(vorelApp()->config.quantCiXinGuLianDieDecease, -30.f);
        delete dialog;
    }

    void checkersWithoutParametersHaveNoDialog()
    {
        for (int id : {6, 7}) {
            std::unique_ptr<StockQuantChecker> checker(createQuantChecker(id));
            QVERIFY(!checker->buildDialog(nullptr));
            checker->config(nullptr);   // returns at once
        }
    }

private:
    AppConfig defaults;
};

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestStockQuantChecker>(argc, argv, {"config"});
}

#include "tst_stockquantchecker.moc"
