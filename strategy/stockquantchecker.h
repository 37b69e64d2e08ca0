#pragma once

// The candle-pattern strategies of the back-test. A checker answers, for one
// bar of one stock's daily series, whether that bar is a buy signal (a value
// >= 0) or not (-1), names itself and its CSV report, says how many following
// days the result table evaluates, and edits its parameters in a modal dialog.
// The answer is the checker's rule (strategy/quantsignalrules.h) under the
// application's settings record, read at each check.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <vector>

class AppConfig;
class QCheckBox;
class QDialog;
class QDoubleSpinBox;
class QSpinBox;
class QWidget;
class SettingsForm;
class Stock;

class StockQuantChecker : public QObject
{
    Q_OBJECT
public:
    explicit StockQuantChecker(QObject* parent = nullptr);

    virtual QString name() const;
    virtual QString csvPath() const;
    virtual int days() const;
    virtual int typeId() const;
    virtual int check(const QString& code, const QVector<Stock>& bars, int index);
    // Builds the parameter dialog and runs it modally.
    virtual void config(QWidget* parent);

    // The dialog that config runs, built and filled from the settings but not
    // shown; null for checkers without parameters. It deletes itself when closed.
    QDialog* buildDialog(QWidget* parent);

protected:
    // Adds the checker's rows to the dialog's form; answers false when the
    // checker has no parameters.
    virtual bool addRows(SettingsForm* rows);
    virtual QString dialogTitle() const;
    // What each checker's onConfig() does: the dialog's values go to the
    // settings record and the dialog closes.
    void storeSettings();

    QPointer<QDialog> dialog;
    QPointer<SettingsForm> form;
};

// 锤子线: a long lower shadow under a small body at a low close on calm volume.
class StockQuantHammerChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;

public slots:
    void onConfig();

protected:
    bool addRows(SettingsForm* rows) override;
    QString dialogTitle() const override;

private:
    QPointer<QSpinBox> maN, head, body, footer, nDayLow;
    QPointer<QDoubleSpinBox> volume, minSwing, maxIncrease;
};

// 阳吞阴: a rising bar that engulfs a falling one below the averages.
class StockQuantYangTunYinChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;

public slots:
    void onConfig();

protected:
    bool addRows(SettingsForm* rows) override;
    QString dialogTitle() const override;

private:
    QPointer<QSpinBox> maN, maN2;
    QPointer<QDoubleSpinBox> minIncrease, maxIncrease, maxHead, minPrice, maxPrice, minTradeVol;
    QPointer<QCheckBox> useKdj;
};

// 倒锤子: a long upper shadow over a small body below the averages.
class StockQuantDaoChuiZhiChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;

public slots:
    void onConfig();

protected:
    bool addRows(SettingsForm* rows) override;
    QString dialogTitle() const override;

private:
    QPointer<QSpinBox> maN, ma2;
    QPointer<QDoubleSpinBox> head, body, footer, minSwing, maxIncrease, maxIncrease2, minTradeVol;
    QPointer<QCheckBox> useKdj;
};

// 次新股升破: a new stock closing above the high before its first average turn.
class StockQuantCiXinGuTuPoChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;

public slots:
    void onConfig();

protected:
    bool addRows(SettingsForm* rows) override;
    QString dialogTitle() const override;

private:
    QPointer<QDoubleSpinBox> maxIncrease;
};

// 次新股连跌: a new stock falling several days in a row from its first turn on.
class StockQuantCiXinGuLianDieChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int days() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;

public slots:
    void onConfig();

protected:
    bool addRows(SettingsForm* rows) override;
    QString dialogTitle() const override;

private:
    QPointer<QSpinBox> fallDays, minFall;
    QPointer<QCheckBox> hasJiaYang;
};

// 放量涨停: one rising bar through three close averages.
class StockQuantFangLiangZhangTingChecker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;
    void config(QWidget* parent) override;
};

// 首次突破布林上轨混合一阳穿二线
class StockQuantBollYiYangChuan2Checker final : public StockQuantChecker
{
    Q_OBJECT
public:
    using StockQuantChecker::StockQuantChecker;
    QString name() const override;
    QString csvPath() const override;
    int typeId() const override;
    int check(const QString& code, const QVector<Stock>& bars, int index) override;
    void config(QWidget* parent) override;
};

// The checker of id 1 to 7, without parent; null for any other id. The caller owns it.
StockQuantChecker* createQuantChecker(int id);

// What the back-test does with a checker type's signals beyond its rule, one
// row per type id: the result table and the run look a type up here instead
// of testing ids of their own. Nothing in it touches a widget.
struct CheckerFacts
{
    int typeId = 0;
    // Makes the checker, without parent; null where no checker exists.
    StockQuantChecker* (*make)() = nullptr;
    // The rise of the day after a signal above which the result table drops
    // the signal (the signal day's rise is the rule's own business); null
    // where the day after is not limited.
    float (*nextDayLimit)(const AppConfig& settings) = nullptr;
    // The "信号参数" text of the signal bar; null where the type describes none.
    QString (*signalParameter)(const Stock& bar) = nullptr;
    // Every signal day of a stock makes a row, or only its first one.
    bool repeats = true;
    // Only stocks listed recently are tested.
    bool newStocksOnly = false;

    // The signal parameter's text, "N/A" where the type describes none.
    QString parameterText(const Stock& bar) const;
};

// Every checker type, by rising id.
const std::vector<CheckerFacts>& quantCheckerTable();
// The facts of type `typeId`; a type outside the table has no checker, no
// next-day limit and no parameter text, repeats and tests every stock.
const CheckerFacts& quantCheckerFacts(int typeId);
// A number of the back-test report: two decimals, or "N/A" where a zero price
// left nothing finite to show.
QString quantReportNumber(double value);
