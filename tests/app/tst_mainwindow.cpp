#include "app/vorelstock.h"
#include "core/vorelapplication.h"
#include "tests/support/columnfit.h"
#include "widgets/linedelegate.h"
#include "widgets/vorelstockmsgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void windowCarriesTitleSizeAndMenus();
    void chartWindowTogglesFollowsAndCloses();
    void pageListShowsEveryCaptionWithoutScrolling_data();
    void pageListShowsEveryCaptionWithoutScrolling();
    void screenshotShowsReadableChinese();
    void messageBoxClosesOnOkAndWrapsText();
    void lineDelegateDrawsOneGridLineUnderEachRow();
};

void MainWindowTest::windowCarriesTitleSizeAndMenus()
{
    VorelStock window;
    QCOMPARE(window.windowTitle(), QString::fromUtf8("岚蚁股票分析软件1.7.0.0"));
    QCOMPARE(window.size(), QSize(960, 640));
    const QList<QAction*> menus = window.menuBar()->actions();
    QVERIFY(!menus.isEmpty());
    QCOMPARE(menus.first()->text(), QString::fromUtf8("&视图"));
    QCOMPARE(menus.first()->menu()->actions().first()->text(), QString::fromUtf8("K线"));
    // Every menu in its place, every entry owned by the window itself.
    QStringList titles;
    QStringList entries;
    for (QAction* menu : menus) {
        titles << menu->text();
        for (QAction* entry : menu->menu()->actions()) {
            entries << entry->text();
            QCOMPARE(entry->parent(), static_cast<QObject*>(&window));
        }
    }
    QCOMPARE(titles, QString::fromUtf8("&视图 &设置 &插件策略 &帮助").split(' '));
    QCOMPARE(entries, QString::fromUtf8("K线 配置 插件 绑定插件 关于").split(' '));
    QCOMPARE(window.pageList->count(), window.pageStack->count());
    QCOMPARE(window.pageList->maximumWidth(), 96);
    if (window.pageList->count() > 0) {
        QCOMPARE(window.pageList->currentRow(), 0);
        QCOMPARE(window.pageStack->currentIndex(), 0);
        window.pageList->setCurrentRow(window.pageList->count() - 1);
        QCOMPARE(window.pageStack->currentIndex(), window.pageList->count() - 1);
    }
}

void MainWindowTest::chartWindowTogglesFollowsAndCloses()
{
    VorelStock window;
    vorelApp()->init(&window);
    QWidget* chart = vorelApp()->chartWindow();
    QVERIFY(chart);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.showCandistickWidget();
    QVERIFY(chart->isVisible());
    window.showCandistickWidget();
    QVERIFY(!chart->isVisible());

    // a hidden chart stays where it is
    const QPoint parked = chart->pos();
    window.move(window.pos() + QPoint(30, 20));
    QCoreApplication::processEvents();
    QCOMPARE(chart->pos(), parked);

    window.showCandistickWidget();
    window.move(window.pos() + QPoint(40, 10));
    QTRY_COMPARE(chart->pos(), QPoint(window.pos().x() + window.width() + 16, window.pos().y()));

    window.close();
    QVERIFY(!chart->isVisible());
}

void MainWindowTest::pageListShowsEveryCaptionWithoutScrolling_data()
{
    addFontSizeRows();
}

void MainWindowTest::pageListShowsEveryCaptionWithoutScrolling()
{
    QFETCH(int, pointSize);
    FontOverride font(pointSize);
    VorelStock window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(saveScreenshot(&window, QString("pagelist-%1pt").arg(pointSize)));

    QListWidget* list = window.pageList;
    QCOMPARE(list->count(), 6);
    QVERIFY(!list->verticalScrollBar()->isVisible());
    const QRect viewport = list->viewport()->rect();
    const QFontMetrics metrics(list->font());
    for (int row = 0; row < list->count(); ++row) {
        const QRect item = list->visualItemRect(list->item(row));
        const QString caption = list->item(row)->text();
        QVERIFY2(viewport.contains(item), qPrintable(caption));
        QVERIFY2(metrics.horizontalAdvance(caption) <= item.width(), qPrintable(caption));
        QCOMPARE(item.left(), list->visualItemRect(list->item(0)).left());   // one column
    }
}

void MainWindowTest::screenshotShowsReadableChinese()
{
    VorelStock window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int row = 0; row < window.pageList->count(); ++row) {
        window.pageList->setCurrentRow(row);
        QVERIFY(saveScreenshot(&window, QString("mainwindow-%1").arg(row)));
    }

    // Chinese glyphs render as ink, not as empty boxes: a CJK string must
    // cover clearly more pixels than the box outline of a missing glyph.
    QLabel label(QString::fromUtf8("龙虎榜"));
    label.setStyleSheet("background: white; color: black;");
    label.resize(120, 40);
    const QImage text = label.grab().toImage();
    int dark = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            dark += qGray(text.pixel(x, y)) < 128;
    QVERIFY2(dark > 60, "no CJK font: install fonts-wqy-zenhei");
}

void MainWindowTest::messageBoxClosesOnOkAndWrapsText()
{
    VorelStockMsgBox box(QString::fromUtf8("提示"),
                         QString::fromUtf8("这是一条很长很长的提示信息，它必须在固定大小的对话框里换行显示而不被截断"));
    QCOMPARE(box.windowTitle(), QString::fromUtf8("提示"));
    QCOMPARE(box.width(), 248);
    QVERIFY(box.height() >= 128);
    QLabel* label = box.findChild<QLabel*>();
    QVERIFY(label->wordWrap());
    box.show();
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
    QVERIFY(label->openExternalLinks());
    QPushButton* ok = box.findChild<QPushButton*>();
    QCOMPARE(ok->text(), QString::fromUtf8("确定"));
    QTimer::singleShot(0, ok, &QPushButton::click);
    box.exec();   // returns because "确定" closes the box
    QVERIFY(!box.isVisible());
}

void MainWindowTest::lineDelegateDrawsOneGridLineUnderEachRow()
{
    QTableWidget table(3, 2);
    table.setShowGrid(false);
    auto* delegate = new LineDelegate(&table);
    QCOMPARE(delegate->parent(), static_cast<QObject*>(&table));
    table.setItemDelegate(delegate);
    QCOMPARE(delegate->tableView, static_cast<QTableView*>(&table));
    QVERIFY2(delegate->pen.color().alpha() > 0, "grid colour came out transparent");
    QCOMPARE(delegate->pen.width(), 0);

    table.resize(300, 200);
    table.setStyleSheet("QTableWidget { background: white; }");
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const QImage image = table.viewport()->grab().toImage();
    const QRect first = table.visualRect(table.model()->index(0, 0));
    const QColor line = image.pixelColor(first.center().x(), first.bottom());
    const QColor inside = image.pixelColor(first.center().x(), first.center().y());
    QVERIFY(line != inside);
    // no vertical grid line between the two columns
    const QColor between = image.pixelColor(first.right(), first.center().y());
    QCOMPARE(between, inside);
}

int main(int argc, char** argv)
{
    QTemporaryDir workingFolder;
    QDir::setCurrent(workingFolder.path());
    QDir().mkpath("config");
    // without the stock list the start-up shows a modal error box and waits
    if (!QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", "config/data.db")) {
        qCritical("the working folder has no config/data.db: build vorel_workdir first");
        return 1;
    }
    VorelApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
