#include "strategy/stockquantchecker.h"

#include "analysis/indicators.h"
#include "analysis/indicatorscanners.h"
#include "analysis/shapescanners.h"
#include "core/seriesutils.h"
#include "core/stock.h"
#include "core/vorelapplication.h"
#include "strategy/fibonaccistrategy.h"

#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace {

AppConfig& settings()
{
    return vorelApp()->config;
}

double avgClose(const QVector<Stock>& bars, int from, int to)
{
    return rangeAverage(bars, from, to, 0);
}

double avgVolume(const QVector<Stock>& bars, int from, int to)
{
    return rangeAverage(bars, from, to, 1);
}

// The candle measures of one bar.
struct Candle
{
    explicit Candle(const Stock& bar)
        : bodyLow(std::min(bar.open, bar.close)),
          bodyHigh(std::max(bar.open, bar.close)),
          range(bar.high - bar.low)
    {
    }
    float bodyLow;
    float bodyHigh;
    float range;
    float body() const { return bodyHigh - bodyLow; }
};

bool isInside(const QVector<Stock>& bars, int index)
{
    return index >= 0 && index < bars.size();
}

// The KDJ verdict on bar `index` (oversold, middle golden cross, oversold
// golden cross), from the bars up to it.
bool kdjFavours(const QString& code, const QVector<Stock>& bars, int index)
{
    StockKDJScanner scanner;
    QStringList ignored;
    const int r = scanner.scan(code, bars.mid(0, index + 1), &ignored);
    return r == 1 || r == 3 || r == 5;
}

// The first turn of the 5-bar average at or before `index`, or -1. A turn at
// bar j depends only on the averages of j and j - 1, so the turns of the whole
// series up to `index` are those of the series cut at `index`.
int firstTurnUpTo(const QVector<Stock>& bars, int index)
{
    QVector<int> turns;
    countMaTurns(bars, 5, &turns);
    return !turns.isEmpty() && turns.first() <= index ? turns.first() : -1;
}

QSpinBox* addSpin(QGridLayout* grid, const QString& label, int low, int high, int value)
{
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setValue(value);
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QDoubleSpinBox* addDoubleSpin(QGridLayout* grid, const QString& label, double low, double high, float value)
{
    auto* box = new QDoubleSpinBox;
    box->setRange(low, high);
    box->setSingleStep(0.1);
    box->setValue(double(value));
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QCheckBox* addCheck(QGridLayout* grid, const QString& label, bool checked)
{
    auto* box = new QCheckBox(label);
    box->setChecked(checked);
    grid->addWidget(box, grid->rowCount(), 1);
    return box;
}

// A float setting in an integer box shows its integer part.
int truncated(float value)
{
    return int(std::trunc(value));
}

template <typename Box>
bool allThere(std::initializer_list<Box*> boxes)
{
    return std::all_of(boxes.begin(), boxes.end(), [](Box* b) { return b != nullptr; });
}

} // namespace

// ---------------------------------------------------------------------------

StockQuantChecker::StockQuantChecker(QObject* parent) : QObject(parent) {}

QString StockQuantChecker::name() const
{
    return QStringLiteral("宽客Checker");
}

QString StockQuantChecker::csvPath() const
{
    return QStringLiteral("none");
}

int StockQuantChecker::days() const
{
    return 4;
}

int StockQuantChecker::typeId() const
{
    return 0;
}

int StockQuantChecker::check(const QString&, const QVector<Stock>&, int)
{
    return -1;
}

void StockQuantChecker::config(QWidget* parent)
{
    if (QDialog* built = buildDialog(parent))
        built->exec();
}

QDialog* StockQuantChecker::buildDialog(QWidget* parent)
{
    auto* built = new QDialog(parent);
    built->setAttribute(Qt::WA_DeleteOnClose);
    built->setWindowTitle(dialogTitle());
    built->setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));
    auto* grid = new QGridLayout(built);
    if (!addRows(grid)) {
        delete built;
        return nullptr;
    }
    const int row = grid->rowCount();
    grid->addItem(new QSpacerItem(137, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), row, 0);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    grid->addWidget(ok, row, 1);
    // Every concrete checker declares its own onConfig() slot.
    connect(ok, SIGNAL(clicked()), this, SLOT(onConfig()));
    dialog = built;
    return built;
}

bool StockQuantChecker::addRows(QGridLayout*)
{
    return false;
}

QString StockQuantChecker::dialogTitle() const
{
    return QString();
}

// ---------------------------------------------------------------------------
// 1 锤子线

QString StockQuantHammerChecker::name() const
{
    return QStringLiteral("锤子线量化策略");
}

QString StockQuantHammerChecker::csvPath() const
{
    return QStringLiteral("output/hammer.csv");
}

int StockQuantHammerChecker::typeId() const
{
    return 1;
}

int StockQuantHammerChecker::check(const QString&, const QVector<Stock>& bars, int i)
{
    const AppConfig& c = settings();
    const int n = c.quantHammerMaN;
    if (!isInside(bars, i) || i < 9 || i < n)
        return -1;
    const Stock& b = bars.at(i);
    const Candle k(b);
    // A bar without a range or a price has no shape to measure.
    if (!(k.range > 0) || !(b.low > 0))
        return -1;
    if (!(b.volume < c.quantHammerVolume * avgVolume(bars, i - n, i - 1)))
        return -1;
    if (!(b.close <= avgClose(bars, i - n + 1, i)))
        return -1;
    if (!((k.bodyLow - b.low) / b.low * 100 >= c.quantHammerMinSwing))
        return -1;
    if (!((k.bodyLow - b.low) / k.range * 100 >= c.quantHammerFooter))
        return -1;
    // The head is measured from the lower end of the body: the body counts into it.
    if (!((b.high - k.bodyLow) / k.range * 100 <= c.quantHammerHead))
        return -1;
    if (!(k.body() / k.range * 100 <= c.quantHammerBody))
        return -1;
    if (!(b.changePercent <= c.quantHammerMaxIncrease))
        return -1;
    const int lowDays = c.quantHammerNDayLow;
    if (lowDays > 0) {
        const int from = i - lowDays - 1;
        if (from < 0)
            return -1;
        for (int j = from; j < i; ++j) {
            if (b.close > bars.at(j).close)
                return -1;
        }
    }
    return 0;
}

bool StockQuantHammerChecker::addRows(QGridLayout* grid)
{
    const AppConfig& c = settings();
    maN = addSpin(grid, QStringLiteral("回调均线[16-45]"), 16, 45, c.quantHammerMaN);
    head = addSpin(grid, QStringLiteral("锤子线最大头部[0-15]%"), 0, 15, truncated(c.quantHammerHead));
    body = addSpin(grid, QStringLiteral("锤子线最大实体[10-30]%"), 10, 30, truncated(c.quantHammerBody));
    footer = addSpin(grid, QStringLiteral("锤子线最小足部[65-99]%"), 65, 90, truncated(c.quantHammerFooter));
    volume = addDoubleSpin(grid, QStringLiteral("锤子线成交量变化[1.0-1.8f]"), 1.0, 1.8, c.quantHammerVolume);
    minSwing = addDoubleSpin(grid, QStringLiteral("锤子线最小振幅[2.0-8.f]%"), 2.0, 8.0, c.quantHammerMinSwing);
    maxIncrease = addDoubleSpin(grid, QStringLiteral("锤子线最大涨幅[0.0-9.9f]%"), 0.0, 9.9, c.quantHammerMaxIncrease);
    nDayLow = addSpin(grid, QStringLiteral("最近几日收盘最低[0-8]"), 0, 8, c.quantHammerNDayLow);
    return true;
}

QString StockQuantHammerChecker::dialogTitle() const
{
    return QStringLiteral("锤子线量化策略参数设置");
}

void StockQuantHammerChecker::onConfig()
{
    if (!allThere<QSpinBox>({maN, head, body, footer, nDayLow})
        || !allThere<QDoubleSpinBox>({volume, minSwing, maxIncrease}))
        return;
    AppConfig& c = settings();
    c.quantHammerMaN = maN->value();
    c.quantHammerHead = float(head->value());
    c.quantHammerBody = float(body->value());
    c.quantHammerFooter = float(footer->value());
    c.quantHammerVolume = float(volume->value());
    c.quantHammerMinSwing = float(minSwing->value());
    c.quantHammerMaxIncrease = float(maxIncrease->value());
    c.quantHammerNDayLow = nDayLow->value();
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 2 阳吞阴

QString StockQuantYangTunYinChecker::name() const
{
    return QStringLiteral("阳吞阴量化策略");
}

QString StockQuantYangTunYinChecker::csvPath() const
{
    return QStringLiteral("output/yty.csv");
}

int StockQuantYangTunYinChecker::typeId() const
{
    return 2;
}

int StockQuantYangTunYinChecker::check(const QString& code, const QVector<Stock>& bars, int i)
{
    const AppConfig& c = settings();
    const int n = c.quantYangTunYinMaN;
    const int n2 = c.quantYangTunYinMaN2;
    if (!isInside(bars, i) || i < 1 || i < n + 1 || i < n2 + 1)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    const Candle k(b);
    if (!(k.range > 0))
        return -1;
    if (!(b.close <= avgClose(bars, i - n + 1, i)) || !(b.close <= avgClose(bars, i - n2 + 1, i)))
        return -1;
    if (!(b.open < b.close && p.high < b.close && p.open <= b.close && p.close < p.open))
        return -1;
    if (!(b.changePercent >= c.quantYangTunYinMinIncrease))
        return -1;
    if (!(p.high > b.open))
        return -1;
    if (!((b.high - b.close) / k.range < c.quantYangTunYinMaxHead * 0.01))
        return -1;
    if (!(c.quantYangTunYinMinPrice <= b.close && b.close <= c.quantYangTunYinMaxPrice))
        return -1;
    if (!(b.volume >= c.quantYangTunYinMinTradeVol * p.volume))
        return -1;
    if (c.quantYangTunYinUseKDJ != 0 && !kdjFavours(code, bars, i))
        return -1;
    return 0;
}

bool StockQuantYangTunYinChecker::addRows(QGridLayout* grid)
{
    const AppConfig& c = settings();
    maN = addSpin(grid, QStringLiteral("回调均线[4-45]"), 4, 45, c.quantYangTunYinMaN);
    maN2 = addSpin(grid, QStringLiteral("回调均线[4-45]"), 4, 45, c.quantYangTunYinMaN2);
    minIncrease = addDoubleSpin(grid, QStringLiteral("阳线最小涨幅[3.2-10.1]"), 2.4, 10.1, c.quantYangTunYinMinIncrease);
    maxIncrease = addDoubleSpin(grid, QStringLiteral("最大容忍涨幅[2.4-9.6]"), 2.4, 9.6, c.quantYangTunYinMaxIncrease);
    maxHead = addDoubleSpin(grid, QStringLiteral("最大上长影[0.0-24.0]%"), 0.0, 24.0, c.quantYangTunYinMaxHead);
    minPrice = addDoubleSpin(grid, QStringLiteral("最小可接受价格[4.8-10.0]"), 4.8, 10.0, c.quantYangTunYinMinPrice);
    maxPrice = addDoubleSpin(grid, QStringLiteral("最大可接受价格[48-999]"), 48, 999, c.quantYangTunYinMaxPrice);
    minTradeVol = addDoubleSpin(grid, QStringLiteral("阳线最大放量[0.9-3.6]"), 0.9, 3.6, c.quantYangTunYinMinTradeVol);
    useKdj = addCheck(grid, QStringLiteral("启动KD检测"), c.quantYangTunYinUseKDJ == 1);
    return true;
}

QString StockQuantYangTunYinChecker::dialogTitle() const
{
    return QStringLiteral("阳吞阴量化策略参数设置");
}

void StockQuantYangTunYinChecker::onConfig()
{
    if (!allThere<QSpinBox>({maN, maN2})
        || !allThere<QDoubleSpinBox>({minIncrease, maxIncrease, maxHead, minPrice, maxPrice, minTradeVol})
        || !useKdj)
        return;
    AppConfig& c = settings();
    c.quantYangTunYinMaN = maN->value();
    c.quantYangTunYinMaN2 = maN2->value();
    c.quantYangTunYinMinIncrease = float(minIncrease->value());
    c.quantYangTunYinMaxIncrease = float(maxIncrease->value());
    c.quantYangTunYinMaxHead = float(maxHead->value());
    c.quantYangTunYinMinPrice = float(minPrice->value());
    c.quantYangTunYinMaxPrice = float(maxPrice->value());
    c.quantYangTunYinMinTradeVol = float(minTradeVol->value());
    c.quantYangTunYinUseKDJ = useKdj->isChecked() ? 1 : 0;
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 3 倒锤子

QString StockQuantDaoChuiZhiChecker::name() const
{
    return QStringLiteral("倒锤子量化策略");
}

QString StockQuantDaoChuiZhiChecker::csvPath() const
{
    return QStringLiteral("output/daochuizi.csv");
}

int StockQuantDaoChuiZhiChecker::typeId() const
{
    return 3;
}

int StockQuantDaoChuiZhiChecker::check(const QString& code, const QVector<Stock>& bars, int i)
{
    const AppConfig& c = settings();
    const int n = c.quantDaoChuiZiMaN;
    const int n2 = c.quantDaoChuiZiMa2;
    if (!isInside(bars, i) || i <= n2 || i <= n)
        return -1;
    const Stock& b = bars.at(i);
    const Candle k(b);
    if (!(k.range > 0) || !(k.bodyLow > 0))
        return -1;
    if (!(b.close <= avgClose(bars, i - n, i)) || !(b.close <= avgClose(bars, i - n2, i)))
        return -1;
    if (!(b.volume <= c.quantDaoChuiZiMinTradeVol * avgVolume(bars, i - n, i)))
        return -1;
    if (!(b.changePercent <= c.quantDaoChuiZiMaxIncrease))
        return -1;
    const float head = b.high - k.bodyHigh;
    const float foot = b.open - b.low;
    if (!(foot <= head))
        return -1;
    if (!((b.high - k.bodyLow) / k.bodyLow * 100 >= c.quantDaoChuiZiMinSwing))
        return -1;
    if (!(k.body() / k.range * 100 <= c.quantDaoChuiZiBody))
        return -1;
    if (!(head / k.range * 100 >= c.quantDaoChuiZiHead))
        return -1;
    if (!(foot / k.range * 100 <= c.quantDaoChuiZiFooter))
        return -1;
    // Always tested: the stored switch has never turned this test off.
    if (!kdjFavours(code, bars, i))
        return -1;
    return 0;
}

bool StockQuantDaoChuiZhiChecker::addRows(QGridLayout* grid)
{
    const AppConfig& c = settings();
    maN = addSpin(grid, QStringLiteral("回调均线[4-45]"), 4, 45, c.quantDaoChuiZiMaN);
    ma2 = addSpin(grid, QStringLiteral("回调均线[4-45]"), 4, 64, c.quantDaoChuiZiMa2);
    head = addDoubleSpin(grid, QStringLiteral("倒锤头最小占比[60-99]%"), 60, 99.99, c.quantDaoChuiZiHead);
    body = addDoubleSpin(grid, QStringLiteral("倒锤头实体最大占比[0-25]%"), 0, 25, c.quantDaoChuiZiBody);
    footer = addDoubleSpin(grid, QStringLiteral("倒锤头下长影最大占比[0-25]%"), 0, 25, c.quantDaoChuiZiFooter);
    minSwing = addDoubleSpin(grid, QStringLiteral("倒锤头最小振幅[1.8-9.9]%"), 1.8, 9.9, c.quantDaoChuiZiMinSwing);
    maxIncrease = addDoubleSpin(grid, QStringLiteral("倒锤最大可接受涨幅[-2.0-9.9]"), -2.0, 9.9, c.quantDaoChuiZiMaxIncrease);
    maxIncrease2 = addDoubleSpin(grid, QStringLiteral("第二日最大可接受涨幅[2.0-9.9]"), 2.0, 9.9, c.quantDaoChuiZiMaxIncrease2);
    minTradeVol = addDoubleSpin(grid, QStringLiteral("倒锤线当日最大放量[0.9-4.8]"), 0.9, 4.8, c.quantDaoChuiZiMinTradeVol);
    useKdj = addCheck(grid, QStringLiteral("启动KD验校"), c.quantDaoChuiZiUseKDJ != 0);
    return true;
}

QString StockQuantDaoChuiZhiChecker::dialogTitle() const
{
    return QStringLiteral("倒锤子止跌策略参数设置");
}

void StockQuantDaoChuiZhiChecker::onConfig()
{
    if (!allThere<QSpinBox>({maN, ma2})
        || !allThere<QDoubleSpinBox>({head, body, footer, minSwing, maxIncrease, maxIncrease2, minTradeVol})
        || !useKdj)
        return;
    AppConfig& c = settings();
    c.quantDaoChuiZiMaN = maN->value();
    c.quantDaoChuiZiMa2 = ma2->value();
    c.quantDaoChuiZiHead = float(head->value());
    c.quantDaoChuiZiBody = float(body->value());
    c.quantDaoChuiZiFooter = float(footer->value());
    c.quantDaoChuiZiMinSwing = float(minSwing->value());
    c.quantDaoChuiZiMaxIncrease = float(maxIncrease->value());
    c.quantDaoChuiZiMaxIncrease2 = float(maxIncrease2->value());
    c.quantDaoChuiZiMinTradeVol = float(minTradeVol->value());
    c.quantDaoChuiZiUseKDJ = useKdj->isChecked() ? 1 : 0;
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 4 次新股升破

QString StockQuantCiXinGuTuPoChecker::name() const
{
    return QStringLiteral("次新股升破策略");
}

QString StockQuantCiXinGuTuPoChecker::csvPath() const
{
    return QStringLiteral("output/cxgsp.csv");
}

int StockQuantCiXinGuTuPoChecker::typeId() const
{
    return 4;
}

int StockQuantCiXinGuTuPoChecker::check(const QString&, const QVector<Stock>& bars, int i)
{
    if (!isInside(bars, i) || i < 1)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    // The bar's own tests first: they decide most days without the average.
    // The limit is fixed here; the edited maximum rise limits the next day.
    if (!(b.changePercent > 4.8f) || !(b.open < b.close) || !(b.open > 0))
        return -1;
    if (!((b.high - b.close) / b.open <= 0.024f))
        return -1;

    const int t0 = firstTurnUpTo(bars, i);
    if (t0 < 0)
        return -1;
    float high = 0;
    const int h = highestIndex(bars, 0, t0, &high, true);
    if (h < 0 || !(b.close > high) || !(p.low < high))
        return -1;
    float low = 0;
    if (lowestIndex(bars, h + 1, i, &low, true) < 0 || !(low > 0) || !((high - low) / low >= 0.15f))
        return -1;
    float high2 = 0;
    if (highestIndex(bars, h + 1, i - 1, &high2, true) < 0 || !(high >= high2))
        return -1;
    return 0;
}

bool StockQuantCiXinGuTuPoChecker::addRows(QGridLayout* grid)
{
    maxIncrease = addDoubleSpin(grid, QStringLiteral("最大买点涨幅[3.6-9.6]%"), 3.6, 9.6,
                                settings().quantCiXinGuShengPoMaxIncrease);
    return true;
}

QString StockQuantCiXinGuTuPoChecker::dialogTitle() const
{
    return QStringLiteral("次新股突破策略参数设置");
}

void StockQuantCiXinGuTuPoChecker::onConfig()
{
    if (!maxIncrease)
        return;
    settings().quantCiXinGuShengPoMaxIncrease = float(maxIncrease->value());
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 5 次新股连跌

namespace {

// The setting holds the limit on the summed fall. Files written by hand hold
// it positive (the shipped default is 24) or negative (what the dialog
// stores); either way it means a fall of that size, so the sign is ignored.
float fallLimit(float stored)
{
    return -std::fabs(stored);
}

} // namespace

QString StockQuantCiXinGuLianDieChecker::name() const
{
    return QStringLiteral("次新股连跌策略");
}

QString StockQuantCiXinGuLianDieChecker::csvPath() const
{
    return QStringLiteral("output/cxgld.csv");
}

int StockQuantCiXinGuLianDieChecker::days() const
{
    return 3;
}

int StockQuantCiXinGuLianDieChecker::typeId() const
{
    return 5;
}

int StockQuantCiXinGuLianDieChecker::check(const QString&, const QVector<Stock>& bars, int i)
{
    const AppConfig& c = settings();
    if (bars.size() <= 10 || !isInside(bars, i))
        return -1;
    const int s = i - c.quantCiXinGuLianDieN;
    if (s < 0 || s > i)
        return -1;
    float sum = 0;
    for (int j = s; j <= i; ++j) {
        const float change = bars.at(j).changePercent;
        if (!(change < 0))
            return -1;
        sum += change;
    }
    if (!(sum < fallLimit(c.quantCiXinGuLianDieDecease)))
        return -1;
    const int t0 = firstTurnUpTo(bars, i);
    if (t0 < 0 || s > t0)
        return -1;
    return 0;
}

bool StockQuantCiXinGuLianDieChecker::addRows(QGridLayout* grid)
{
    const AppConfig& c = settings();
    fallDays = addSpin(grid, QStringLiteral("连跌天数[3-6]"), 3, 6, c.quantCiXinGuLianDieN);
    hasJiaYang = addCheck(grid, QStringLiteral("包含假阴线"), c.quantCiXinGuLianDieHasJiaYang);
    minFall = addSpin(grid, QStringLiteral("最小跌幅-[16-48]%"), 16, 48,
                      truncated(-fallLimit(c.quantCiXinGuLianDieDecease)));
    return true;
}

QString StockQuantCiXinGuLianDieChecker::dialogTitle() const
{
    return QStringLiteral("次新股连跌策略参数设置");
}

void StockQuantCiXinGuLianDieChecker::onConfig()
{
    if (!fallDays || !minFall || !hasJiaYang)
        return;
    AppConfig& c = settings();
    c.quantCiXinGuLianDieN = fallDays->value();
    c.quantCiXinGuLianDieHasJiaYang = hasJiaYang->isChecked();
    c.quantCiXinGuLianDieDecease = -float(minFall->value());
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 6 放量涨停

QString StockQuantFangLiangZhangTingChecker::name() const
{
    return QStringLiteral("放量涨停策略");
}

QString StockQuantFangLiangZhangTingChecker::csvPath() const
{
    return QStringLiteral("output/flzt.csv");
}

int StockQuantFangLiangZhangTingChecker::typeId() const
{
    return 6;
}

int StockQuantFangLiangZhangTingChecker::check(const QString& code, const QVector<Stock>& bars, int i)
{
    // The scanner needs 33 bars and a rise above 4 % on its last one; testing
    // that here spares a copy of the series on nearly every day.
    if (!isInside(bars, i) || i < 32 || !(bars.at(i).changePercent > 4.0f))
        return -1;
    StockYiYangChuanSanXianScanner scanner;
    QStringList ignored;
    return scanner.scan(code, bars.mid(0, i + 1), &ignored) != -1 ? 0 : -1;
}

void StockQuantFangLiangZhangTingChecker::config(QWidget*) {}

// ---------------------------------------------------------------------------
// 7 首次突破布林上轨混合一阳穿二线

QString StockQuantBollYiYangChuan2Checker::name() const
{
    return QStringLiteral("首次突破布林上轨混合一阳穿二线策略");
}

QString StockQuantBollYiYangChuan2Checker::csvPath() const
{
    return QStringLiteral("output/byy2x.csv");
}

int StockQuantBollYiYangChuan2Checker::typeId() const
{
    return 7;
}

int StockQuantBollYiYangChuan2Checker::check(const QString&, const QVector<Stock>& bars, int i)
{
    if (bars.size() <= 20 || !isInside(bars, i) || i <= 20)
        return -1;
    const Stock& b = bars.at(i);
    const Stock& p = bars.at(i - 1);
    // Histories that carry no previous close of their own measure the head
    // against the close before.
    const float reference = b.preClose > 0 ? b.preClose : p.close;
    if (!(b.changePercent > 4.0f) || !(b.open <= b.close) || !(reference > 0))
        return -1;
    if (!((b.high - b.close) / reference <= 0.012f))
        return -1;

    // Both averages have period 5 and so coincide; one stands for the two.
    // Each indicator is fed from the first bar its window reaches up to bar i.
    BollIndicator boll;
    IndicatorResult band;
    for (int j = std::max(0, i - 19); j <= i; ++j)
        band = boll.update(bars.at(j));
    MaNIndicator ma(5);
    IndicatorResult before;
    IndicatorResult now;
    for (int j = std::max(0, i - 5); j <= i; ++j) {
        before = now;
        now = ma.update(bars.at(j));
    }
    if (!band.valid || !before.valid || !now.valid)
        return -1;
    if (!(now.first < b.close) || !(before.first > p.close) || !(now.first > b.open))
        return -1;
    const float upper = band.first + band.second - band.third;
    return b.close > 1.015f * upper ? 0 : -1;
}

void StockQuantBollYiYangChuan2Checker::config(QWidget*) {}

// ---------------------------------------------------------------------------

StockQuantChecker* createQuantChecker(int id)
{
    switch (id) {
    case 1: return new StockQuantHammerChecker;
    case 2: return new StockQuantYangTunYinChecker;
    case 3: return new StockQuantDaoChuiZhiChecker;
    case 4: return new StockQuantCiXinGuTuPoChecker;
    case 5: return new StockQuantCiXinGuLianDieChecker;
    case 6: return new StockQuantFangLiangZhangTingChecker;
    case 7: return new StockQuantBollYiYangChuan2Checker;
    default: return nullptr;
    }
}
