// The about box title, the call-auction settings tab (values shown within
// their ranges and written back when the tab goes), and where the main window
// offers the picking pages and the settings dialog.

#include "app/vorelaboutdlg.h"
#include "app/vorelstock.h"
#include "app/vorelstockconfigdialog.h"
#include "core/vorelapplication.h"
#include "strategy/bidconfigwidget.h"
#include "tests/support/dialogrows.h"
#include "tests/support/sharelistfixture.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>
#include <QtTest>

class TestSettingsDialogs : public QObject
{
    Q_OBJECT
private slots:
    void aboutBoxNamesProgramAndAddonVersion();
    void auctionTabWritesBackClampedValues_data();
    void auctionTabWritesBackClampedValues();
    void auctionRowsEditTheirOwnSetting_data();
    void auctionRowsEditTheirOwnSetting();
    void auctionRowsStepAsTheyShould();
    void mainWindowOffersPagesAndDialogs();
};

void TestSettingsDialogs::aboutBoxNamesProgramAndAddonVersion()
{
    VorelAboutDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("岚蚁选股 1.7.0.0(插件版本:1000)"));
}

void TestSettingsDialogs::auctionTabWritesBackClampedValues_data()
{
    QTest::addColumn<float>("minPercent");
    QTest::addColumn<float>("maxPercent");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("minAfter");
    QTest::addColumn<float>("maxAfter");
    QTest::addColumn<float>("ratioAfter");
    QTest::newRow("defaults") << -8.0f << 3.6f << 0.093f << -8.0f << 3.6f << 0.093f;
    QTest::newRow("ratio rounded to three decimals") << -8.0f << 3.6f << 0.1234f << -8.0f << 3.6f << 0.123f;
    QTest::newRow("beyond the ranges") << -12.0f << 9.5f << 5.0f << -10.0f << 8.0f << 0.99f;
    QTest::newRow("wrong signs") << 2.0f << -1.0f << 0.0f << 0.0f << 0.0f << 0.01f;
}

void TestSettingsDialogs::auctionTabWritesBackClampedValues()
{
    QFETCH(float, minPercent);
    QFETCH(float, maxPercent);
    QFETCH(float, ratio);
    QFETCH(float, minAfter);
    QFETCH(float, maxAfter);
    QFETCH(float, ratioAfter);
    AppConfig& config = vorelApp()->config;
    config.bidMinPercent = minPercent;
    config.bidMaxPercent = maxPercent;
    config.bidRatio = ratio;
    config.bidUseK = true;
    {
        BidConfigWidget form;
        QCOMPARE(form.ratioBox->decimals(), 3);
        QVERIFY(qAbs(form.maxPercentBox->value() - double(maxAfter)) < 1e-6);
    }
    QVERIFY(qAbs(config.bidMinPercent - minAfter) < 1e-6f);
    QVERIFY(qAbs(config.bidMaxPercent - maxAfter) < 1e-6f);
    QVERIFY(qAbs(config.bidRatio - ratioAfter) < 1e-6f);
    QCOMPARE(config.bidUseK, true);
}

void TestSettingsDialogs::auctionRowsEditTheirOwnSetting_data()
{
    QTest::addColumn<bool>("inSettingsDialog");
    QTest::addColumn<bool>("useKBefore");
    QTest::newRow("tab, switch turned on") << false << false;
    QTest::newRow("tab, switch turned off") << false << true;
    QTest::newRow("settings dialog, switch turned on") << true << false;
    QTest::newRow("settings dialog, switch turned off") << true << true;
}

// Every row found by its label, each with a value no other row holds: shown
// from its own setting and written back to it, nothing else touched.
void TestSettingsDialogs::auctionRowsEditTheirOwnSetting()
{
    QFETCH(bool, inSettingsDialog);
    QFETCH(bool, useKBefore);
    const QVector<DialogRow> rows = {
        plainRow(QStringLiteral("最大跌幅"), &AppConfig::bidMinPercent, -7.3, -2.5),
        plainRow(QStringLiteral("最大涨幅"), &AppConfig::bidMaxPercent, 5.1, 6.2),
        plainRow(QStringLiteral("最小比率"), &AppConfig::bidRatio, 0.25, 0.456),
        plainRow(QStringLiteral("使用K线判断"), &AppConfig::bidUseK, useKBefore, !useKBefore),
    };
    AppConfig& config = vorelApp()->config;
    const AppConfig saved = config;
    if (inSettingsDialog) {
        // the tab writes back when the dialog closed by "关闭" goes
        QCOMPARE(editThroughDialog(config, rows, [] { return new VorelStockConfigDialog; }, QStringLiteral("关闭")),
                 QString());
    } else {
        QCOMPARE(editThroughDialog(config, rows, [] { return new BidConfigWidget; }, QString()), QString());
    }
    config = saved;
}

void TestSettingsDialogs::auctionRowsStepAsTheyShould()
{
    BidConfigWidget form;
    const QVector<RowRange> ranges = {
        {QStringLiteral("最大跌幅"), 0, &AppConfig::bidMinPercent, -10.0, 0.0, 0.1},
        {QStringLiteral("最大涨幅"), 0, &AppConfig::bidMaxPercent, 0.0, 8.0, 0.1},
        {QStringLiteral("最小比率"), 0, &AppConfig::bidRatio, 0.01, 0.99, 0.001},
    };
    QCOMPARE(stepMismatches(&form, ranges).join(" | "), QString());
}

void TestSettingsDialogs::mainWindowOffersPagesAndDialogs()
{
    VorelStock window;
    QCOMPARE(window.pageList->item(0)->text(), QStringLiteral("竞价选股"));
    QCOMPARE(window.pageList->item(1)->text(), QStringLiteral("尾盘选股"));
    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus << action->text();
    QVERIFY(menus.contains(QStringLiteral("&设置")));
    QCOMPARE(menus.last(), QStringLiteral("&帮助"));

    // "配置" opens the settings dialog modally.
    QAction* settings = nullptr;
    for (QAction* action : window.menuBar()->actions())
        if (action->text() == QStringLiteral("&设置"))
            settings = action->menu()->actions().value(0);
    QVERIFY(settings);
    QCOMPARE(settings->text(), QStringLiteral("配置"));
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        auto* dialog = qobject_cast<VorelStockConfigDialog*>(QApplication::activeModalWidget());
        opened = dialog != nullptr;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    settings->trigger();
    QVERIFY(opened);
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestSettingsDialogs>(argc, argv);
}

#include "tst_settingsdialogs.moc"
