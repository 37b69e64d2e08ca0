// The message box every page reports through: a long text stays inside the
// fixed box, links are handed to the browser, and "确定" ends exec().

#include "widgets/vorelstockmsgbox.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class VorelStockMsgBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void longTextWrapsInsideTheBox();
    void okEndsTheModalRun();
};

void VorelStockMsgBoxTest::longTextWrapsInsideTheBox()
{
    const QString text = QString::fromUtf8("下载失败,请检查网络连接后重试。").repeated(4)
        + "<a href=\"http://example.invalid/help\">help</a>";
    VorelStockMsgBox box(QString::fromUtf8("错误"), text);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QCOMPARE(box.windowTitle(), QString::fromUtf8("错误"));
    QCOMPARE(box.size(), QSize(248, 128));
    auto* label = box.findChild<QLabel*>();
    QVERIFY(label);
    QVERIFY(label->wordWrap());
    QVERIFY(label->openExternalLinks());
    QVERIFY(label->geometry().right() < box.width());
    QVERIFY(label->height() > label->fontMetrics().height());   // more than one line
}

void VorelStockMsgBoxTest::okEndsTheModalRun()
{
    VorelStockMsgBox box(QString::fromUtf8("提示"), QString::fromUtf8("更新完成"));
    auto* ok = box.findChild<QPushButton*>();
    QVERIFY(ok);
    QCOMPARE(ok->text(), QString::fromUtf8("确定"));

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
