#include "strategy/stockquantchecker.h"

#include "analysis/indicatorscanners.h"
#include "core/stock.h"
#include "core/vorelapplication.h"
#include "tests/analysis/candleseries.h"
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
#include <QRegularExpression>
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

// Sets the checker setting of that name in the application's settings record.
void setSetting(const QString& name, float value)
{
    AppConfig& c = vorelApp()->config;
    const QMap<QString, float*> floats = {
        {"quantHammerFooter", &c.quantHammerFooter},
        {"quantHammerBody", &c.quantHammerBody},
        {"quantHammerHead", &c.quantHammerHead},
        {"quantHammerVolume", &c.quantHammerVolume},
        {"quantHammerMinSwing", &c.quantHammerMinSwing},
        {"quantHammerMaxIncrease", &c.quantHammerMaxIncrease},
        {"quantYangTunYinMinIncrease", &c.quantYangTunYinMinIncrease},
        {"quantYangTunYinMaxHead", &c.quantYangTunYinMaxHead},
        {"quantYangTunYinMinPrice", &c.quantYangTunYinMinPrice},
        {"quantYangTunYinMaxPrice", &c.quantYangTunYinMaxPrice},
        {"quantYangTunYinMinTradeVol", &c.quantYangTunYinMinTradeVol},
        {"quantDaoChuiZiFooter", &c.quantDaoChuiZiFooter},
        {"quantDaoChuiZiBody", &c.quantDaoChuiZiBody},
        {"quantDaoChuiZiHead", &c.quantDaoChuiZiHead},
        {"quantDaoChuiZiMinSwing", &c.quantDaoChuiZiMinSwing},
        {"quantDaoChuiZiMaxIncrease", &c.quantDaoChuiZiMaxIncrease},
        {"quantDaoChuiZiMinTradeVol", &c.quantDaoChuiZiMinTradeVol},
        {"quantCiXinGuLianDieDecease", &c.quantCiXinGuLianDieDecease},
    };
    const QMap<QString, int*> ints = {
        {"quantHammerMaN", &c.quantHammerMaN},
        {"quantHammerNDayLow", &c.quantHammerNDayLow},
        {"quantYangTunYinMaN", &c.quantYangTunYinMaN},
        {"quantYangTunYinMaN2", &c.quantYangTunYinMaN2},
        {"quantYangTunYinUseKDJ", &c.quantYangTunYinUseKDJ},
        {"quantDaoChuiZiMaN", &c.quantDaoChuiZiMaN},
        {"quantDaoChuiZiMa2", &c.quantDaoChuiZiMa2},
        {"quantCiXinGuLianDieN", &c.quantCiXinGuLianDieN},
    };
    if (floats.contains(name))
        *floats.value(name) = value;
    else if (ints.contains(name))
        *ints.value(name) = int(value);
    else
        QFAIL(qPrintable("no such setting: " + name));
}

// A series ending in a signal of the checker, and the signal's index.
struct Signal
{
    QVector<Stock> bars;
    int index = -1;
};

// Calm bars at 10 (21 by default), then a hammer: low 9, body 9.9-9.95, high 9.96.
Signal hammer(int calm = 21)
{
    return {daily().flat(calm, 10).add(ohlc(9.9f, 9.96f, 9.0f, 9.95f)).bars(), calm};
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

// A new stock that rises to 17.1, falls to `trough` (13.5 by default) and
// breaks above its first high.
Signal ciXinGuTuPo(float trough = 13.5f)
{
    SeriesBuilder b = daily().line(8, 10.0f, 17.0f, 0.1f).line(8, 16.5f, trough, 0.1f).line(6, trough + 0.5f, 16.5f, 0.1f);
    return {b.add(ohlc(16.6f, 17.45f, 16.5f, 17.4f)).bars(), 22};
}

// A new stock that rises for `rise` days (seven by default) and then falls 6 %
// `falls` times (five by default); its 5-day average turns down on the third
// fall (bar 9). Without a rise it falls from its first day, which already
// closes 6 % under the offering price, and its average turns on bar 5, the first
// it can turn on.
Signal ciXinGuLianDie(int falls = 5, int rise = 7)
{
    SeriesBuilder b = daily();
    if (rise > 0)
        b.line(rise, 10.0f, 16.0f, 0.1f);
    float c = 16.0f;
    for (int i = 0; i < falls; ++i) {
        b.flat(1, c *= 0.94f);
        if (b.size() == 1)
            b.pct(-6);
    }
    return {b.flat(3, c).bars(), 11};
}

// Calm bars (40 by default), one step up, then a rise of 5.5 % through the averages.
Signal fangLiang(int calm = 40)
{
    SeriesBuilder b = daily().flat(calm, 10).flat(1, 10.05f);
    return {b.add(ohlc(10.1f, 10.62f, 10.1f, 10.6f).volume(3000)).bars(), calm + 1};
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

// The fixture of checker `id` with `edits` made, for rows that move one
// price, volume or setting onto (or just past) the bound of one condition.
// Tokens, applied in this order:
//   calm=25, trough=14.96, falls=8, rise=0
//                                    the fixture's own parameter
//   index=13                         the bar tested (default: the fixture's)
//   level=9.95                       every bar before the tested one at that close
//   b=o,h,l,c  p.high=10.4  b-5.volume=2000
//                                    a bar (b the tested one, p the one before,
//                                    b-k k bars before) or one of its fields
//   b.changePercent=3.6  b.preClose=9.9
//                                    set after the change percents are
//                                    recomputed from the closes
//   cfg.quantHammerHead=12.5         a setting
Signal editedSignal(int id, const QString& edits)
{
    QMap<QString, float> params;
    QStringList barEdits;
    QStringList lateEdits;
    for (const QString& edit : edits.split(' ', Qt::SkipEmptyParts)) {
        const QString target = edit.section('=', 0, 0);
        if (target.startsWith("cfg."))
            setSetting(target.mid(4), edit.section('=', 1).toFloat());
        else if (target.endsWith(".changePercent") || target.endsWith(".preClose"))
            lateEdits << edit;
        else if (target == "b" || target == "p" || target.startsWith("b.") || target.startsWith("p.")
                 || target.startsWith("b-"))
            barEdits << edit;
        else
            params.insert(target, edit.section('=', 1).toFloat());
    }
    Signal s;
    switch (id) {
    case 1: s = hammer(int(params.value("calm", 21))); break;
    case 4: s = ciXinGuTuPo(params.value("trough", 13.5f)); break;
    case 5: s = ciXinGuLianDie(int(params.value("falls", 5)), int(params.value("rise", 7))); break;
    case 6: s = fangLiang(int(params.value("calm", 40))); break;
    default: s = signalFor(id); break;
    }
    s.index = int(params.value("index", s.index));
    if (params.contains("level")) {
        for (int i = 0; i < s.index; ++i)
            s.bars[i] = StockBuilder(flatBar(params.value("level"))).volume(s.bars.at(i).volume);
    }
    auto apply = [&s](const QString& edit) {
        const QString bar = edit.section(QRegularExpression("[.=]"), 0, 0);
        const int back = bar == "p" ? 1 : bar.startsWith("b-") ? bar.mid(2).toInt() : 0;
        if (!editBar(s.bars[s.index - back], edit.mid(bar.size())))
            qFatal("no such edit: %s", qPrintable(edit));
    };
    for (const QString& edit : barEdits)
        apply(edit);
    s.bars = SeriesBuilder(s.bars).bars();
    for (const QString& edit : lateEdits)
        apply(edit);
    return s;
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

    // Each condition of each rule on its bound and just past it: a bar,
    // a volume or a setting moved so that this one condition is met exactly
    // (a signal where the rule says <= or >=, none where it says < or >) or
    // just missed, every other condition still holding; the averaging
    // windows with a bar changed just inside and just outside them. Prices
    // are binary fractions wherever a ratio must come out exactly.
    void eachConditionOnItsBound_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<int>("expected");
        const struct
        {
            int id;
            const char* row;
            const char* edits;
            int expected;
        } rows[] = {
            // 锤子线: bar 9 is the first that can signal.
            {1, "9 days before", "calm=9 cfg.quantHammerMaN=5", 0},
            {1, "8 days before", "calm=8 cfg.quantHammerMaN=5", -1},
            {1, "volume equal to the limit", "cfg.quantHammerVolume=1.5 b.volume=1500", -1},
            {1, "volume just under the limit", "cfg.quantHammerVolume=1.5 b.volume=1499", 0},
            // The average volume is that of the N days before, not the day itself.
            {1, "own volume outside the average", "cfg.quantHammerVolume=1.8 b.volume=1850", -1},
            {1, "first day of the volume average", "calm=25 cfg.quantHammerVolume=1.5 b-21.volume=22000 b.volume=2900", 0},
            {1, "day before the volume average", "calm=25 cfg.quantHammerVolume=1.5 b-22.volume=0 b.volume=1499", 0},
            {1, "close equal to its average", "level=9.95", 0},
            {1, "first day of the close average", "calm=25 level=9.95 b-20.close=5", -1},
            {1, "day before the close average", "calm=25 level=9.95 b-21.close=5", 0},
            // Low 8, body 8.875-8.9375, high 9: foot 87.5 %, head 12.5 %, body 6.25 %, swing 10.9375 %.
            {1, "head on its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5", 0},
            {1, "head over its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.4", -1},
            {1, "foot on its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerFooter=87.5", 0},
            {1, "foot under its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerFooter=87.6", -1},
            {1, "body on its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerBody=6.25", 0},
            {1, "body over its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerBody=6.2", -1},
            {1, "swing on its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerMinSwing=10.9375", 0},
            {1, "swing under its limit", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerMinSwing=10.94", -1},
            // The body's lower end, whatever the colour: falling, the open is its upper end.
            {1, "falling hammer", "b=8.9375,9,8,8.875 cfg.quantHammerHead=12.5", 0},
            {1, "falling hammer with a short foot", "b=8.9375,9,8,8.875 cfg.quantHammerHead=12.5 cfg.quantHammerFooter=90", -1},
            {1, "rising hammer with a short foot", "b=8.875,9,8,8.9375 cfg.quantHammerHead=12.5 cfg.quantHammerFooter=90", -1},
            // The average volume of the N days before takes the day before.
            {1, "heavy day before", "cfg.quantHammerVolume=1.5 p.volume=22000 b.volume=2900", 0},
            // The lowest-close test: off at K = 0, the K + 1 days before at K = 1, from the first bar at K = 20.
            {1, "lower close the day before, test off", "cfg.quantHammerNDayLow=0 p.close=9 b.changePercent=0", 0},
            {1, "lower close two days before, K = 1", "cfg.quantHammerNDayLow=1 b-2.close=9.9", -1},
            {1, "K reaching back to the first bar", "cfg.quantHammerNDayLow=20", 0},
            {1, "rise equal to the limit", "b.changePercent=3.6", 0},
            {1, "rise over the limit", "b.changePercent=3.61", -1},

            // 阳吞阴
            {2, "KDJ off", "cfg.quantYangTunYinUseKDJ=0", 0},
            {2, "second average of 30 days", "cfg.quantYangTunYinMaN2=30", 0},
            {2, "second average of 31 days", "cfg.quantYangTunYinMaN2=31", -1},
            {2, "first average of 30 days", "cfg.quantYangTunYinMaN=30", 0},
            {2, "first average of 31 days", "cfg.quantYangTunYinMaN=31", -1},
            {2, "close equal to the first average", "cfg.quantYangTunYinMaN=1", 0},
            {2, "close equal to the second average", "cfg.quantYangTunYinMaN2=1", 0},
            {2, "first day of the first average", "cfg.quantYangTunYinUseKDJ=0 b-5.close=9", -1},
            {2, "day before the first average", "cfg.quantYangTunYinUseKDJ=0 b-6.close=8", 0},
            {2, "first day of the second average",
             "cfg.quantYangTunYinUseKDJ=0 cfg.quantYangTunYinMaN=1 cfg.quantYangTunYinMaN2=6 b-5.close=9", -1},
            {2, "day before the second average",
             "cfg.quantYangTunYinUseKDJ=0 cfg.quantYangTunYinMaN=1 cfg.quantYangTunYinMaN2=6 b-6.close=8", 0},
            {2, "previous high equal to the close", "cfg.quantYangTunYinUseKDJ=0 p.high=10.4", -1},
            {2, "previous bar unchanged", "cfg.quantYangTunYinUseKDJ=0 p.close=10.3 b.changePercent=5", -1},
            {2, "rise equal to the minimum", "b.changePercent=3", 0},
            {2, "rise under the minimum", "b.changePercent=2.99", -1},
            {2, "open equal to the previous high", "b.open=10.32", -1},
            {2, "open just under the previous high", "b.open=10.31", 0},
            // Range 1, upper shadow 0.0625.
            {2, "upper shadow equal to the limit",
             "cfg.quantYangTunYinUseKDJ=0 b.high=10.5 b.low=9.5 b.close=10.4375 cfg.quantYangTunYinMaxHead=6.25", -1},
            {2, "upper shadow just under the limit",
             "cfg.quantYangTunYinUseKDJ=0 b.high=10.5 b.low=9.5 b.close=10.4375 cfg.quantYangTunYinMaxHead=6.26", 0},
            {2, "close equal to the lowest price", "cfg.quantYangTunYinMinPrice=10.4", 0},
            {2, "close under the lowest price", "cfg.quantYangTunYinMinPrice=10.41", -1},
            {2, "close equal to the highest price", "cfg.quantYangTunYinMaxPrice=10.4", 0},
            {2, "close over the highest price", "cfg.quantYangTunYinMaxPrice=10.39", -1},
            {2, "volume equal to the minimum", "cfg.quantYangTunYinMinTradeVol=2", 0},
            {2, "volume under the minimum", "cfg.quantYangTunYinMinTradeVol=2.01", -1},

            // 倒锤子
            {3, "second average of 29 days", "cfg.quantDaoChuiZiMa2=29", 0},
            {3, "second average of 30 days", "cfg.quantDaoChuiZiMa2=30", -1},
            {3, "first average of 29 days", "cfg.quantDaoChuiZiMaN=29", 0},
            {3, "first average of 30 days", "cfg.quantDaoChuiZiMaN=30", -1},
            {3, "close equal to the first average", "cfg.quantDaoChuiZiMaN=0", 0},
            {3, "close equal to the second average", "cfg.quantDaoChuiZiMa2=0", 0},
            {3, "first day of the first average", "b-5.close=4", -1},
            {3, "day before the first average", "b-6.close=4", 0},
            {3, "first day of the second average", "cfg.quantDaoChuiZiMaN=0 cfg.quantDaoChuiZiMa2=5 b-5.close=4", -1},
            {3, "day before the second average", "cfg.quantDaoChuiZiMaN=0 cfg.quantDaoChuiZiMa2=5 b-6.close=4", 0},
            {3, "volume equal to its limit", "cfg.quantDaoChuiZiMinTradeVol=1", 0},
            {3, "volume over its limit", "cfg.quantDaoChuiZiMinTradeVol=1 b.volume=1001", -1},
            // The average volume takes the day itself and the N days before.
            {3, "own volume inside the average", "b.volume=1240", 0},
            {3, "first day of the volume average", "b-5.volume=2000 b.volume=1450", 0},
            {3, "day before the volume average", "b-6.volume=0 b.volume=1240", 0},
            {3, "rise equal to the limit", "b.changePercent=3.6", 0},
            {3, "rise over the limit", "b.changePercent=3.61", -1},
            // Range 1: the foot (open - low) against the head (high - body top).
            {3, "foot equal to the head",
             "b=9.9375,10.5,9.5,10.0625 cfg.quantDaoChuiZiHead=40 cfg.quantDaoChuiZiFooter=50", 0},
            {3, "foot longer than the head",
             "b=9.96875,10.5,9.5,10.09375 cfg.quantDaoChuiZiHead=40 cfg.quantDaoChuiZiFooter=50", -1},
            // A falling bar's foot reaches from the open, over the body.
            {3, "falling bar, foot with its body 6.25 %", "b=9.5625,10.5,9.5,9.53125", -1},
            {3, "rising bar, foot 3.125 %", "b=9.53125,10.5,9.5,9.5625", 0},
            // Low 9.5, body 9.53125-9.65625, high 10.5: foot 3.125 %, body 12.5 %, head 84.375 %.
            {3, "body on its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiBody=12.5", 0},
            {3, "body over its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiBody=12.4", -1},
            {3, "head on its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiHead=84.375", 0},
            {3, "head under its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiHead=84.4", -1},
            {3, "foot on its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiFooter=3.125", 0},
            {3, "foot over its limit", "b=9.53125,10.5,9.5,9.65625 cfg.quantDaoChuiZiFooter=3.1", -1},
            // Body from 8 up, high 8.5: a swing of 6.25 %.
            {3, "swing on its limit", "b=8,8.5,7.984375,8.0625 cfg.quantDaoChuiZiMinSwing=6.25", 0},
            {3, "swing under its limit", "b=8,8.5,7.984375,8.0625 cfg.quantDaoChuiZiMinSwing=6.26", -1},

            // 次新股升破: the high before the first turn is bar 7's 17.1.
            {4, "rise of 4.8 %", "b.changePercent=4.8", -1},
            {4, "rise of 4.81 %", "b.changePercent=4.81", 0},
            {4, "open equal to the close", "b.open=17.4", -1},
            {4, "upper shadow 2.41 % of the open", "b.high=17.8", -1},
            {4, "upper shadow 2.35 % of the open", "b.high=17.79", 0},
            {4, "close equal to the high", "b-15.high=17.125 b.close=17.125 b.changePercent=5", -1},
            {4, "close just over the high", "b-15.high=17.125 b.close=17.13 b.changePercent=5", 0},
            {4, "previous low equal to the high", "b-15.high=17.125 p=17.125,17.125,17.125,17.125 b.changePercent=5", -1},
            {4, "previous low just under the high", "b-15.high=17.125 p=17.125,17.125,17.12,17.125 b.changePercent=5", 0},
            {4, "later high equal to the high", "b-15.high=17.125 b-2.high=17.125", 0},
            {4, "later high over the high", "b-2.high=17.2", -1},
            {4, "fall of 15.07 %", "trough=14.96", 0},
            {4, "fall of 14.92 %", "trough=14.98", -1},
            // 17.25 over a low of 15.
            {4, "fall of exactly 15 %", "b-15.high=17.25 trough=15.25 b-7.low=15", 0},
            {4, "upper shadow exactly 2.4 % of the open", "b=15.625,17.625,15.625,17.25 b.changePercent=5", 0},
            {4, "first day's high the highest", "b-22.high=17.125", 0},
            // The low after the high counts from the bar after it (bar 8); a
            // later high counts from there (the first turn is bar 11) up to
            // the day before.
            {4, "fall of 17.9 % on the bar after the high", "trough=14.98 b-14.low=14.5", 0},
            {4, "higher high the day after the turn", "b-10.high=17.2", -1},
            {4, "higher high the day before", "p.high=17.2", -1},

            // 次新股连跌: falls summed against -24 %.
            {5, "falls summing to the limit",
             "b-4.changePercent=-4.5 b-3.changePercent=-4.5 b-2.changePercent=-5 b-1.changePercent=-5 b.changePercent=-5", -1},
            {5, "falls summing past the limit",
             "b-4.changePercent=-4.5 b-3.changePercent=-4.5 b-2.changePercent=-5 b-1.changePercent=-5 b.changePercent=-5.25", 0},
            {5, "first day of the streak unchanged",
             "b-4.changePercent=0 b-3.changePercent=-7 b-2.changePercent=-7 b-1.changePercent=-7 b.changePercent=-7", -1},
            {5, "streak starting on the first turn", "falls=8 index=13", 0},
            {5, "streak starting after the first turn", "falls=8 index=14", -1},
            {5, "streak from the first day, the average turning on its last",
             "rise=0 falls=8 index=5 cfg.quantCiXinGuLianDieN=5", 0},
            // The average turns the day after: a turn still to come is no turn yet.
            {5, "streak ending the day before the average turns", "rise=0 falls=8 index=4", -1},
            // A hand-edited file may hold N = 0: a streak of one day.
            {5, "one-day streak on the turn",
             "index=9 cfg.quantCiXinGuLianDieN=0 cfg.quantCiXinGuLianDieDecease=-5", 0},

            // 放量涨停
            {6, "rise of 4 %", "b.changePercent=4", -1},
            {6, "rise of 4.01 %", "b.changePercent=4.01", 0},
            {6, "33 bars", "calm=31", 0},
            {6, "32 bars", "calm=30", -1},

            // 首次突破布林上轨: the head against the previous close of 9.9.
            {7, "rise of 4 %", "b.changePercent=4", -1},
            {7, "rise of 4.01 %", "b.changePercent=4.01", 0},
            {7, "upper shadow 1.19 %", "b.high=10.618", 0},
            {7, "upper shadow 1.21 %", "b.high=10.6195", -1},
            // Days at 16, a previous close of 15.625 and a close of 16.875:
            // a head of 0.1875 is 1.2 % of that close.
            {7, "upper shadow exactly 1.2 %", "level=16 p=16,16,15.625,15.625 b=15.625,17.0625,15.625,16.875", 0},
            {7, "previous close equal to its average", "p=10,10,9.9,10", -1},
            {7, "previous close just under its average", "p=10,10,9.9,9.99", 0},
            {7, "open equal to the average", "p=10,10,9.5,9.5 b=10,10.5,9.9,10.5", -1},
            {7, "open just under the average", "p=10,10,9.5,9.5 b=9.99,10.5,9.9,10.5", 0},
            // A close of 9.65 four days back: the 5-day average of the day
            // before is 9.91, over its close of 9.9.
            {7, "close four days back in both averages", "b-4.close=9.65", 0},
        };
        for (const auto& row : rows)
            QTest::addRow("checker %d: %s", row.id, row.row) << row.id << QString(row.edits) << row.expected;
    }

    void eachConditionOnItsBound()
    {
        QFETCH(int, id);
        QFETCH(QString, edits);
        QFETCH(int, expected);
        const Signal s = editedSignal(id, edits);
        QCOMPARE(check(id, s.bars, s.index), expected);
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
        // One day later the verdict has turned already.
        const QVector<Stock> nextDay = SeriesBuilder(s.bars.mid(0, s.index + 1)).add(ohlc(12, 12, s.bars.at(s.index).close, 12)).bars();
        QVERIFY(!kdjFavours(kdjVerdict(nextDay)));
        QCOMPARE(check(id, nextDay, s.index), 0);
    }

    // The KDJ test passes the verdicts 1, 3 and 5 (oversold, middle golden
    // cross, oversold golden cross) and no other: sideways days at `level`
    // with one long lower shadow `back` days before the signal day, then the
    // checker's own last bars.
    void kdjVerdictsThatPass_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<float>("level");
        QTest::addColumn<float>("spread");
        QTest::addColumn<float>("shadowHigh");
        QTest::addColumn<float>("shadowLow");
        QTest::addColumn<int>("back");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<int>("expected");
        QTest::newRow("yty, middle golden cross") << 2 << 10.8f << 0.2f << 11.9f << 8.5f << 2 << 3 << 0;
        QTest::newRow("yty, death cross") << 2 << 12.2f << 0.2f << 12.3f << 7.5f << 4 << 4 << -1;
        QTest::newRow("yty, overbought") << 2 << 10.6f << 0.2f << 10.7f << 7.0f << 6 << 2 << -1;
        QTest::newRow("dcz, no verdict") << 3 << 10.4f << 0.1f << 10.5f << 7.0f << 2 << -1 << -1;
        QTest::newRow("dcz, death cross") << 3 << 11.8f << 0.1f << 11.9f << 9.5f << 5 << 4 << -1;
    }

    void kdjVerdictsThatPass()
    {
        QFETCH(int, id);
        QFETCH(float, level);
        QFETCH(float, spread);
        QFETCH(float, shadowHigh);
        QFETCH(float, shadowLow);
        QFETCH(int, back);
        QFETCH(int, verdict);
        QFETCH(int, expected);
        const QVector<Stock> last = id == 2 ? QVector<Stock>{ohlc(10.3f, 10.32f, 9.8f, 9.9f),
                                                             ohlc(9.85f, 10.41f, 9.8f, 10.4f).volume(2000)}
                                            : QVector<Stock>{ohlc(9.92f, 10.5f, 9.9f, 9.95f)};
        SeriesBuilder b = daily().flat(38 - last.size(), level, spread);
        for (const Stock& bar : last)
            b.add(bar);
        QVector<Stock> bars = b.bars();
        bars[37 - back] = ohlc(level, shadowHigh, shadowLow, level).volume(1000);
        bars = SeriesBuilder(bars).bars();
        QCOMPARE(kdjVerdict(bars), verdict);
        QCOMPARE(check(id, bars, 37), expected);
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
        QCOMPARE(check(5, SeriesBuilder(b.bars()).flat(2, c).bars(), 7), -1);   // ten bars
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
        // The mark itself lies near 10.4499: the close must pass 1.015 times the band.
        QTest::newRow("just under the mark") << 10.447f << -1;
        QTest::newRow("just over the mark") << 10.453f << 0;
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
