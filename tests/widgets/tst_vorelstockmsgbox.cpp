// The message box every page reports through: a long text wraps inside the
// box, which grows until all of it shows, links are handed to the browser,
// and "确定" ends exec().

#include "widgets/vorelstockmsgbox.h"

#include "tests/support/columnfit.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class VorelStockMsgBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void longTextWrapsInsideTheBox_data();
    void longTextWrapsInsideTheBox();
    void shortTextKeepsTheSmallBox();
    void okEndsTheModalRun();
};

void VorelStockMsgBoxTest::longTextWrapsInsideTheBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize");   // 0: the desktop's default font
    const QString warning = QStringLiteral("下载失败,请检查网络连接后重试。").repeated(4)
        + "<a href=\"http://example.invalid/help\">help</a>";
    const QString summary = QStringLiteral(
        "次数:3,准确率:66.67%,平均收益:0.50%,平均持股天数:1,离散度:1(该数字越小越好)");
    QTest::newRow("warning with link") << warning << 0;
    QTest::newRow("scan summary") << summary << 0;
    QTest::newRow("scan summary at 9 pt") << summary << 9;
}

void VorelStockMsgBoxTest::longTextWrapsInsideTheBox()
{
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    FontOverride font(pointSize);
    VorelStockMsgBox box(QStringLiteral("错误"), text);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QCOMPARE(box.windowTitle(), QStringLiteral("错误"));
    QCOMPARE(box.width(), 248);
    QVERIFY(box.height() >= 128);
    auto* label = box.findChild<QLabel*>();
    QVERIFY(label);
    QVERIFY(label->wordWrap());
    QVERIFY(label->openExternalLinks());
    QVERIFY(label->geometry().right() < box.width());
    QVERIFY(label->height() > label->fontMetrics().height());   // more than one line
    // every line of the text shows, none is cut off at the bottom
    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
             qPrintable(QString("%1 > %2").arg(label->heightForWidth(label->width())).arg(label->height())));
}

void VorelStockMsgBoxTest::shortTextKeepsTheSmallBox()
{
    VorelStockMsgBox box(QStringLiteral("提示"), QStringLiteral("更新完成"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.size(), QSize(248, 128));
}

void VorelStockMsgBoxTest::okEndsTheModalRun()
{
    VorelStockMsgBox box(QStringLiteral("提示"), QStringLiteral("更新完成"));
    auto* ok = box.findChild<QPushButton*>();
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("确定"));

    bool clicked = false;
    QTimer::singleShot(0, &box, [&] {
        clicked = box.isVisible();
        ok->click();
    });
    // A button that did not close the box would leave exec() running: the
    // guard ends it and the check below fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    bool timedOut = false;
    connect(&guard, &QTimer::timeout, &box, [&] {
        timedOut = true;
        box.reject();
    });
    guard.start(5000);
    box.exec();
    QVERIFY(clicked);
    QVERIFY(!timedOut);
    QVERIFY(!box.isVisible());
}

QTEST_MAIN(VorelStockMsgBoxTest)
#include "tst_vorelstockmsgbox.moc"
