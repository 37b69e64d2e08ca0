#include "strategy/stockquantchecker.h"

#include "core/datafolders.h"
#include "core/vorelapplication.h"
#include "strategy/quantsignalrules.h"
#include "widgets/settingsform.h"

#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QIcon>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace {

const AppConfig& settings()
{
    return vorelApp()->config;
}

// The losing-streak dialog shows the fall limit as a positive percent and
// stores the negation of what the user enters.
float fallShown(float stored)
{
    return -losingStreakFallLimit(stored);
}

float fallStored(float shown)
{
    return -shown;
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
    auto* rows = new SettingsForm(built);
    if (!addRows(rows)) {
        delete built;
        return nullptr;
    }
    rows->load();
    auto* grid = new QGridLayout(built);
    rows->addToGrid(grid, 1, SettingsForm::CheckText::OnBox);
    QPushButton* ok = rows->addButtonRow(grid, QStringLiteral("确定"), 1);
    // Every concrete checker declares its own onConfig() slot.
    connect(ok, SIGNAL(clicked()), this, SLOT(onConfig()));
    dialog = built;
    form = rows;
    return built;
}

bool StockQuantChecker::addRows(SettingsForm*)
{
    return false;
}

QString StockQuantChecker::dialogTitle() const
{
    return QString();
}

void StockQuantChecker::storeSettings()
{
    if (form)
        form->store();
    if (dialog)
        dialog->close();
}

// ---------------------------------------------------------------------------
// 1 锤子线

QString StockQuantHammerChecker::name() const
{
    return QStringLiteral("锤子线量化策略");
}

QString StockQuantHammerChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("hammer.csv");
}

int StockQuantHammerChecker::typeId() const
{
    return 1;
}

int StockQuantHammerChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return hammerSignal(bars, index, settings());
}

bool StockQuantHammerChecker::addRows(SettingsForm* rows)
{
    // Head, body and foot are float percents in whole-number boxes: the
    // boxes show their integer part.
    maN = rows->addSpin(QStringLiteral("回调均线[16-45]"), {16, 45}, &AppConfig::quantHammerMaN);
    head = rows->addSpin(QStringLiteral("锤子线最大头部[0-15]%"), {0, 15}, &AppConfig::quantHammerHead);
    body = rows->addSpin(QStringLiteral("锤子线最大实体[10-30]%"), {10, 30}, &AppConfig::quantHammerBody);
    footer = rows->addSpin(QStringLiteral("锤子线最小足部[65-99]%"), {65, 90}, &AppConfig::quantHammerFooter);
    volume = rows->addDoubleSpin(QStringLiteral("锤子线成交量变化[1.0-1.8f]"), {1.0, 1.8, 0.1},
                                 &AppConfig::quantHammerVolume);
    minSwing = rows->addDoubleSpin(QStringLiteral("锤子线最小振幅[2.0-8.f]%"), {2.0, 8.0, 0.1},
                                   &AppConfig::quantHammerMinSwing);
    maxIncrease = rows->addDoubleSpin(QStringLiteral("锤子线最大涨幅[0.0-9.9f]%"), {0.0, 9.9, 0.1},
                                      &AppConfig::quantHammerMaxIncrease);
    nDayLow = rows->addSpin(QStringLiteral("最近几日收盘最低[0-8]"), {0, 8}, &AppConfig::quantHammerNDayLow);
    return true;
}

QString StockQuantHammerChecker::dialogTitle() const
{
    return QStringLiteral("锤子线量化策略参数设置");
}

void StockQuantHammerChecker::onConfig()
{
    storeSettings();
}

// ---------------------------------------------------------------------------
// 2 阳吞阴

QString StockQuantYangTunYinChecker::name() const
{
    return QStringLiteral("阳吞阴量化策略");
}

QString StockQuantYangTunYinChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("yty.csv");
}

int StockQuantYangTunYinChecker::typeId() const
{
    return 2;
}

int StockQuantYangTunYinChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return yangTunYinSignal(bars, index, settings());
}

bool StockQuantYangTunYinChecker::addRows(SettingsForm* rows)
{
    maN = rows->addSpin(QStringLiteral("回调均线[4-45]"), {4, 45}, &AppConfig::quantYangTunYinMaN);
    maN2 = rows->addSpin(QStringLiteral("回调均线[4-45]"), {4, 45}, &AppConfig::quantYangTunYinMaN2);
    minIncrease = rows->addDoubleSpin(QStringLiteral("阳线最小涨幅[3.2-10.1]"), {2.4, 10.1, 0.1},
                                      &AppConfig::quantYangTunYinMinIncrease);
    maxIncrease = rows->addDoubleSpin(QStringLiteral("最大容忍涨幅[2.4-9.6]"), {2.4, 9.6, 0.1},
                                      &AppConfig::quantYangTunYinMaxIncrease);
    maxHead = rows->addDoubleSpin(QStringLiteral("最大上长影[0.0-24.0]%"), {0.0, 24.0, 0.1},
                                  &AppConfig::quantYangTunYinMaxHead);
    minPrice = rows->addDoubleSpin(QStringLiteral("最小可接受价格[4.8-10.0]"), {4.8, 10.0, 0.1},
                                   &AppConfig::quantYangTunYinMinPrice);
    maxPrice = rows->addDoubleSpin(QStringLiteral("最大可接受价格[48-999]"), {48, 999, 0.1},
                                   &AppConfig::quantYangTunYinMaxPrice);
    minTradeVol = rows->addDoubleSpin(QStringLiteral("阳线最大放量[0.9-3.6]"), {0.9, 3.6, 0.1},
                                      &AppConfig::quantYangTunYinMinTradeVol);
    // Only a stored 1 turns the test on in the dialog.
    useKdj = rows->addCheck(QStringLiteral("启动KD检测"), &AppConfig::quantYangTunYinUseKDJ,
                            [](int stored) { return stored == 1; });
    return true;
}

QString StockQuantYangTunYinChecker::dialogTitle() const
{
    return QStringLiteral("阳吞阴量化策略参数设置");
}

void StockQuantYangTunYinChecker::onConfig()
{
    storeSettings();
}

// ---------------------------------------------------------------------------
// 3 倒锤子

QString StockQuantDaoChuiZhiChecker::name() const
{
    return QStringLiteral("倒锤子量化策略");
}

QString StockQuantDaoChuiZhiChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("daochuizi.csv");
}

int StockQuantDaoChuiZhiChecker::typeId() const
{
    return 3;
}

int StockQuantDaoChuiZhiChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return daoChuiZiSignal(bars, index, settings());
}

bool StockQuantDaoChuiZhiChecker::addRows(SettingsForm* rows)
{
    maN = rows->addSpin(QStringLiteral("回调均线[4-45]"), {4, 45}, &AppConfig::quantDaoChuiZiMaN);
    ma2 = rows->addSpin(QStringLiteral("回调均线[4-45]"), {4, 64}, &AppConfig::quantDaoChuiZiMa2);
    head = rows->addDoubleSpin(QStringLiteral("倒锤头最小占比[60-99]%"), {60, 99.99, 0.1},
                               &AppConfig::quantDaoChuiZiHead);
    body = rows->addDoubleSpin(QStringLiteral("倒锤头实体最大占比[0-25]%"), {0, 25, 0.1},
                               &AppConfig::quantDaoChuiZiBody);
    footer = rows->addDoubleSpin(QStringLiteral("倒锤头下长影最大占比[0-25]%"), {0, 25, 0.1},
                                 &AppConfig::quantDaoChuiZiFooter);
    minSwing = rows->addDoubleSpin(QStringLiteral("倒锤头最小振幅[1.8-9.9]%"), {1.8, 9.9, 0.1},
                                   &AppConfig::quantDaoChuiZiMinSwing);
    maxIncrease = rows->addDoubleSpin(QStringLiteral("倒锤最大可接受涨幅[-2.0-9.9]"), {-2.0, 9.9, 0.1},
                                      &AppConfig::quantDaoChuiZiMaxIncrease);
    maxIncrease2 = rows->addDoubleSpin(QStringLiteral("第二日最大可接受涨幅[2.0-9.9]"), {2.0, 9.9, 0.1},
                                       &AppConfig::quantDaoChuiZiMaxIncrease2);
    minTradeVol = rows->addDoubleSpin(QStringLiteral("倒锤线当日最大放量[0.9-4.8]"), {0.9, 4.8, 0.1},
                                      &AppConfig::quantDaoChuiZiMinTradeVol);
    useKdj = rows->addCheck(QStringLiteral("启动KD验校"), &AppConfig::quantDaoChuiZiUseKDJ,
                            [](int stored) { return stored != 0; });
    return true;
}

QString StockQuantDaoChuiZhiChecker::dialogTitle() const
{
    return QStringLiteral("倒锤子止跌策略参数设置");
}

void StockQuantDaoChuiZhiChecker::onConfig()
{
    storeSettings();
}

// ---------------------------------------------------------------------------
// 4 次新股升破

QString StockQuantCiXinGuTuPoChecker::name() const
{
    return QStringLiteral("次新股升破策略");
}

QString StockQuantCiXinGuTuPoChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("cxgsp.csv");
}

int StockQuantCiXinGuTuPoChecker::typeId() const
{
    return 4;
}

int StockQuantCiXinGuTuPoChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return ciXinGuTuPoSignal(bars, index, settings());
}

bool StockQuantCiXinGuTuPoChecker::addRows(SettingsForm* rows)
{
    // The edited maximum limits the day after the signal, in the result table.
    maxIncrease = rows->addDoubleSpin(QStringLiteral("最大买点涨幅[3.6-9.6]%"), {3.6, 9.6, 0.1},
                                      &AppConfig::quantCiXinGuShengPoMaxIncrease);
    return true;
}

QString StockQuantCiXinGuTuPoChecker::dialogTitle() const
{
    return QStringLiteral("次新股突破策略参数设置");
}

void StockQuantCiXinGuTuPoChecker::onConfig()
{
    storeSettings();
}

// ---------------------------------------------------------------------------
// 5 次新股连跌

QString StockQuantCiXinGuLianDieChecker::name() const
{
    return QStringLiteral("次新股连跌策略");
}

QString StockQuantCiXinGuLianDieChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("cxgld.csv");
}

int StockQuantCiXinGuLianDieChecker::days() const
{
    return 3;
}

int StockQuantCiXinGuLianDieChecker::typeId() const
{
    return 5;
}

int StockQuantCiXinGuLianDieChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return ciXinGuLianDieSignal(bars, index, settings());
}

bool StockQuantCiXinGuLianDieChecker::addRows(SettingsForm* rows)
{
    fallDays = rows->addSpin(QStringLiteral("连跌天数[3-6]"), {3, 6}, &AppConfig::quantCiXinGuLianDieN);
    hasJiaYang = rows->addCheck(QStringLiteral("包含假阴线"), &AppConfig::quantCiXinGuLianDieHasJiaYang);
    minFall = rows->addSpin(QStringLiteral("最小跌幅-[16-48]%"), {16, 48}, &AppConfig::quantCiXinGuLianDieDecease,
                            {&fallShown, &fallStored});
    return true;
}

QString StockQuantCiXinGuLianDieChecker::dialogTitle() const
{
    return QStringLiteral("次新股连跌策略参数设置");
}

void StockQuantCiXinGuLianDieChecker::onConfig()
{
    storeSettings();
}

// ---------------------------------------------------------------------------
// 6 放量涨停

QString StockQuantFangLiangZhangTingChecker::name() const
{
    return QStringLiteral("放量涨停策略");
}

QString StockQuantFangLiangZhangTingChecker::csvPath() const
{
    return QString::fromLatin1(kOutputFolder) + QLatin1String("flzt.csv");
}

int StockQuantFangLiangZhangTingChecker::typeId() const
{
    return 6;
}

int StockQuantFangLiangZhangTingChecker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return fangLiangZhangTingSignal(bars, index, settings());
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
    return QString::fromLatin1(kOutputFolder) + QLatin1String("byy2x.csv");
}

int StockQuantBollYiYangChuan2Checker::typeId() const
{
    return 7;
}

int StockQuantBollYiYangChuan2Checker::check(const QString&, const QVector<Stock>& bars, int index)
{
    return bollYiYangChuan2Signal(bars, index, settings());
}

void StockQuantBollYiYangChuan2Checker::config(QWidget*) {}

// ---------------------------------------------------------------------------

namespace {

template <typename Checker>
StockQuantChecker* makeChecker()
{
    return new Checker;
}

// The shape of the signal candle in percent: hammers by head and body against
// the lower shadow, inverted hammers by body and body top against the range.
QString hammerShape(const Stock& bar)
{
    const double top = std::max(bar.open, bar.close);
    const double bottom = std::min(bar.open, bar.close);
    const double foot = bottom - bar.low;
    if (!(foot > 0))
        return QStringLiteral("N/A");
    return quantReportNumber((bar.high - top) / foot * 100) + ',' + quantReportNumber((top - bottom) / foot * 100);
}

QString invertedHammerShape(const Stock& bar)
{
    const double top = std::max(bar.open, bar.close);
    const double bottom = std::min(bar.open, bar.close);
    const double range = double(bar.high) - bar.low;
    if (!(range > 0))
        return QStringLiteral("N/A");
    return quantReportNumber((top - bottom) / range * 100) + ',' + quantReportNumber((top - bar.low) / range * 100);
}

// The maxima the dialogs edit for the day after a signal; the volume limit-up
// has a fixed one.
float yangTunYinNextDay(const AppConfig& c)
{
    return c.quantYangTunYinMaxIncrease;
}

float daoChuiZiNextDay(const AppConfig& c)
{
    return c.quantDaoChuiZiMaxIncrease2;
}

float ciXinGuTuPoNextDay(const AppConfig& c)
{
    return c.quantCiXinGuShengPoMaxIncrease;
}

float fangLiangZhangTingNextDay(const AppConfig&)
{
    return 4.8f;
}

} // namespace

QString CheckerFacts::parameterText(const Stock& bar) const
{
    return signalParameter ? signalParameter(bar) : QStringLiteral("N/A");
}

const std::vector<CheckerFacts>& quantCheckerTable()
{
    // New stocks are judged on their first signal only.
    static const std::vector<CheckerFacts> table{
        // id, checker, next-day limit, signal parameter, repeats, new stocks only
        {1, &makeChecker<StockQuantHammerChecker>, nullptr, &hammerShape, true, false},
        {2, &makeChecker<StockQuantYangTunYinChecker>, &yangTunYinNextDay, nullptr, true, false},
        {3, &makeChecker<StockQuantDaoChuiZhiChecker>, &daoChuiZiNextDay, &invertedHammerShape, true, false},
        {4, &makeChecker<StockQuantCiXinGuTuPoChecker>, &ciXinGuTuPoNextDay, nullptr, false, true},
        {5, &makeChecker<StockQuantCiXinGuLianDieChecker>, nullptr, nullptr, false, true},
        {6, &makeChecker<StockQuantFangLiangZhangTingChecker>, &fangLiangZhangTingNextDay, nullptr, true, false},
        {7, &makeChecker<StockQuantBollYiYangChuan2Checker>, nullptr, nullptr, true, false},
    };
    return table;
}

const CheckerFacts& quantCheckerFacts(int typeId)
{
    static const CheckerFacts none;
    const std::vector<CheckerFacts>& table = quantCheckerTable();
    const auto row = std::find_if(table.begin(), table.end(),
                                  [typeId](const CheckerFacts& facts) { return facts.typeId == typeId; });
    return row != table.end() ? *row : none;
}

StockQuantChecker* createQuantChecker(int id)
{
    const CheckerFacts& facts = quantCheckerFacts(id);
    return facts.make ? facts.make() : nullptr;
}

QString quantReportNumber(double value)
{
    return std::isfinite(value) ? QString::number(value, 'f', 2) : QStringLiteral("N/A");
}
