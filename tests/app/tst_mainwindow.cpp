#include "app/vorelstock.h"
#include "core/vorelapplication.h"
#include "tests/support/columnfit.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "tests/support/screensize.h"
#include "widgets/linedelegate.h"
#include "widgets/vorelstockmsgbox.h"
#include "widgets/windowplacement.h"

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
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The K-line window, made once by the application's init step.
QWidget* chartWindowFor(VorelStock* window)
{
    if (!vorelApp()->chartWindow())
        vorelApp()->init(window);
    return vorelApp()->chartWindow();
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void windowCarriesTitleSizeAndMenus();
    void chartWindowTogglesFollowsAndCloses();
    void besideTakesTheFirstSideWithRoom_data();
    void besideTakesTheFirstSideWithRoom();
    void keptInsideMovesAndCutsOnlyWhatLiesOutside_data();
    void keptInsideMovesAndCutsOnlyWhatLiesOutside();
    void windowOnOrBeyondTheScreenIsPlacedWholeOnIt_data();
    void windowOnOrBeyondTheScreenIsPlacedWholeOnIt();
    void mainWindowComesUpWholeOnTheScreen();
    void chartStaysWholeOnASmallScreen_data();
    void chartStaysWholeOnASmallScreen();
    void everyWindowLiesWholeOnTheScreen_data();
    void everyWindowLiesWholeOnTheScreen();
    void pageListShowsEveryCaptionWithoutScrolling_data();
    void pageListShowsEveryCaptionWithoutScrolling();
    void screenshotShowsReadableChinese();
    void messageBoxClosesOnOkAndWrapsText();
    void lineDelegateDrawsOneGridLineUnderEachRow();
};

void MainWindowTest::windowCarriesTitleSizeAndMenus()
{
    VorelStock window;
    QCOMPARE(window.windowTitle(), QStringLiteral("岚蚁股票分析软件1.7.0.0"));
    QCOMPARE(window.size(), QSize(960, 640));
    const QList<QAction*> menus = window.menuBar()->actions();
    QVERIFY(!menus.isEmpty());
    QCOMPARE(menus.first()->text(), QStringLiteral("&视图"));
    QCOMPARE(menus.first()->menu()->actions().first()->text(), QStringLiteral("K线"));
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
    QCOMPARE(titles, QStringLiteral("&视图 &设置 &插件策略 &帮助").split(' '));
    QCOMPARE(entries, QStringLiteral("K线 配置 插件 绑定插件 关于").split(' '));
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
    // room for the chart right of the main window
    ScreenSizeOverride screen(QRect(0, 0, 2560, 1440), QRect(0, 0, 2560, 1400));
    VorelStock window;
    QWidget* chart = chartWindowFor(&window);
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
    const auto besideWindow = [&] {
        return QPoint(window.frameGeometry().right() + 1 + 16, window.frameGeometry().top());
    };
    QCOMPARE(chart->frameGeometry().topLeft(), besideWindow());   // beside it from the start
    window.move(window.pos() + QPoint(40, 10));
    QTRY_COMPARE(chart->frameGeometry().topLeft(), besideWindow());

    window.close();
    QVERIFY(!chart->isVisible());
}

void MainWindowTest::besideTakesTheFirstSideWithRoom_data()
{
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QRect>("placed");
    // a 1280 x 800 screen less a 30-pixel panel; the window is 400 x 300
    QTest::newRow("right") << QRect(0, 0, 600, 400) << QRect(616, 0, 400, 300);
    QTest::newRow("left") << QRect(700, 100, 500, 400) << QRect(284, 100, 400, 300);
    QTest::newRow("below") << QRect(100, 0, 1000, 300) << QRect(100, 316, 400, 300);
    QTest::newRow("above") << QRect(100, 400, 1000, 370) << QRect(100, 84, 400, 300);
    QTest::newRow("no room: right side, pushed in") << QRect(100, 50, 1000, 600) << QRect(880, 50, 400, 300);
    QTest::newRow("top kept inside") << QRect(0, 600, 600, 170) << QRect(616, 470, 400, 300);
    QTest::newRow("anchor partly off the screen") << QRect(1500, -200, 300, 300) << QRect(880, 116, 400, 300);
    QTest::newRow("right, not a pixel to spare") << QRect(0, 0, 864, 400) << QRect(880, 0, 400, 300);
    QTest::newRow("right one pixel short: below") << QRect(0, 0, 865, 400) << QRect(0, 416, 400, 300);
    QTest::newRow("below, not a pixel to spare") << QRect(0, 0, 1280, 454) << QRect(0, 470, 400, 300);
    QTest::newRow("below one pixel short: pushed in") << QRect(0, 0, 1280, 455) << QRect(880, 0, 400, 300);
}

void MainWindowTest::besideTakesTheFirstSideWithRoom()
{
    QFETCH(QRect, anchor);
    QFETCH(QRect, placed);
    const QRect area(0, 0, 1280, 770);
    QCOMPARE(besideRect(anchor, QSize(400, 300), area, 16), placed);
    // a window larger than the area is cut to it
    QCOMPARE(besideRect(anchor, QSize(2000, 300), area, 16).width(), 1280);
}

void MainWindowTest::keptInsideMovesAndCutsOnlyWhatLiesOutside_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("kept");
    // the area of a 1280 x 800 screen under a 30-pixel panel at its top: x 0 to 1279, y 30 to 799
    QTest::newRow("the area itself") << QRect(0, 30, 1280, 770) << QRect(0, 30, 1280, 770);
    QTest::newRow("a pixel wider") << QRect(0, 30, 1281, 770) << QRect(0, 30, 1280, 770);
    QTest::newRow("a pixel taller") << QRect(0, 30, 1280, 771) << QRect(0, 30, 1280, 770);
    QTest::newRow("larger both ways, up and left") << QRect(-500, -400, 3000, 2000) << QRect(0, 30, 1280, 770);
    QTest::newRow("at the right edge") << QRect(880, 30, 400, 300) << QRect(880, 30, 400, 300);
    QTest::newRow("a pixel past the right edge") << QRect(881, 30, 400, 300) << QRect(880, 30, 400, 300);
    QTest::newRow("at the bottom edge") << QRect(0, 500, 400, 300) << QRect(0, 500, 400, 300);
    QTest::newRow("a pixel past the bottom edge") << QRect(0, 501, 400, 300) << QRect(0, 500, 400, 300);
    QTest::newRow("a pixel left of the screen") << QRect(-1, 100, 400, 300) << QRect(0, 100, 400, 300);
    QTest::newRow("a pixel under the panel") << QRect(100, 29, 400, 300) << QRect(100, 30, 400, 300);
    QTest::newRow("wholly off the screen, right and below") << QRect(5000, 5000, 400, 300) << QRect(880, 500, 400, 300);
    QTest::newRow("wholly off the screen, left and above") << QRect(-5000, -5000, 400, 300) << QRect(0, 30, 400, 300);
    QTest::newRow("wider than the area, off to the right") << QRect(900, 100, 1500, 300) << QRect(0, 100, 1280, 300);
}

void MainWindowTest::keptInsideMovesAndCutsOnlyWhatLiesOutside()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, kept);
    QCOMPARE(keptInside(frame, QRect(0, 30, 1280, 770)), kept);
}

void MainWindowTest::windowOnOrBeyondTheScreenIsPlacedWholeOnIt_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<bool>("fixedSize");
    QTest::addColumn<QRect>("placed");
    // a 1280 x 800 screen whose panel takes the 30 pixels at its bottom
    QTest::newRow("exactly the available area") << QRect(0, 0, 1280, 770) << false << QRect(0, 0, 1280, 770);
    QTest::newRow("the whole screen") << QRect(0, 0, 1280, 800) << false << QRect(0, 0, 1280, 770);
    QTest::newRow("larger than the screen") << QRect(-100, -50, 2000, 1500) << false << QRect(0, 0, 1280, 770);
    QTest::newRow("larger, of fixed size") << QRect(0, 0, 1400, 900) << true << QRect(0, 0, 1280, 770);
    QTest::newRow("off the screen") << QRect(3000, 2000, 640, 480) << false << QRect(640, 290, 640, 480);
    QTest::newRow("half off the left edge") << QRect(-320, 100, 640, 480) << false << QRect(0, 100, 640, 480);
}

// A shown window moved or grown past the screen (a place that suited a larger
// screen, a size its contents want): moved, and cut where it is larger, so
// that all of it, frame included, lies on the available area.
void MainWindowTest::windowOnOrBeyondTheScreenIsPlacedWholeOnIt()
{
    QFETCH(QRect, frame);
    QFETCH(bool, fixedSize);
    QFETCH(QRect, placed);
    ScreenSizeOverride screen(QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 770));
    QWidget window;
    window.setMinimumSize(200, 100);
    window.setGeometry(100, 100, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize decoration = window.frameGeometry().size() - window.size();
    if (fixedSize)
        window.setFixedSize(frame.size() - decoration);
    else
        window.resize(frame.size() - decoration);
    window.move(frame.topLeft());
    QCOMPARE(window.frameGeometry(), frame);
    keepWindowOnScreen(&window);
    QCOMPARE(window.frameGeometry(), placed);
    QCOMPARE(window.minimumSize() == window.maximumSize(), fixedSize);
}

// The main window asked for more than the screen, or for a place off it,
// comes up whole on the screen.
void MainWindowTest::mainWindowComesUpWholeOnTheScreen()
{
    const QRect available(0, 0, 1280, 770);
    ScreenSizeOverride screen(QRect(0, 0, 1280, 800), available);
    for (const QRect& asked : {QRect(-100, -50, 2000, 1500), QRect(3000, 2000, 960, 640), QRect(0, 0, 1280, 800)}) {
        VorelStock window;
        window.setGeometry(asked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(available.contains(window.frameGeometry()),
                 qPrintable(QString("%1,%2 %3x%4").arg(window.frameGeometry().x()).arg(window.frameGeometry().y())
                                .arg(window.frameGeometry().width()).arg(window.frameGeometry().height())));
        window.close();
    }
}

void MainWindowTest::chartStaysWholeOnASmallScreen_data()
{
    QTest::addColumn<QPoint>("mainAt");
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("centred") << QPoint(160, 80);
    QTest::newRow("right edge") << QPoint(300, 100);
    QTest::newRow("partly off the screen") << QPoint(900, 500);
}

// The K-line window is 960 x 320, as wide as the main window: on a 1280 x 800
// screen it has no room beside it and must still lie whole on the screen.
void MainWindowTest::chartStaysWholeOnASmallScreen()
{
    QFETCH(QPoint, mainAt);
    const QRect available(0, 0, 1280, 770);
    ScreenSizeOverride screen(QRect(0, 0, 1280, 800), available);
    VorelStock window;
    QWidget* chart = chartWindowFor(&window);
    window.move(mainAt);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.showCandistickWidget();
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    QVERIFY2(available.contains(chart->frameGeometry()), qPrintable(QString("chart at %1,%2")
                                                                     .arg(chart->frameGeometry().x())
                                                                     .arg(chart->frameGeometry().y())));
    QCOMPARE(chart->size(), QSize(960, 320));
    QVERIFY(available.contains(window.frameGeometry()));
    window.move(window.pos() + QPoint(200, 150));
    QTRY_VERIFY(available.contains(chart->frameGeometry()));
    window.close();
}

void MainWindowTest::everyWindowLiesWholeOnTheScreen_data()
{
    addFontSizeRows();
}

// On a 1280 x 800 screen: the main window, the K-line window and every dialog
// of the menus.
void MainWindowTest::everyWindowLiesWholeOnTheScreen()
{
    QFETCH(int, pointSize);
    FontOverride font(pointSize);
    const QRect available(0, 0, 1280, 770);
    ScreenSizeOverride screen(QRect(0, 0, 1280, 800), available);
    VorelStock window;
    QWidget* chart = chartWindowFor(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(available.contains(window.frameGeometry()));
    window.showCandistickWidget();
    QVERIFY(available.contains(chart->frameGeometry()));

    QStringList opened;
    QStringList outside;
    QStringList cut;
    const auto check = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        opened << dialog->windowTitle();
        if (!available.contains(dialog->frameGeometry()))
            outside << dialog->windowTitle();
        // and nothing in it is cut: every line of text shows whole
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->isVisible() && !label->wordWrap() && label->width() < label->sizeHint().width())
                cut << dialog->windowTitle() + ": " + label->text();
        }
        for (QTextEdit* text : dialog->findChildren<QTextEdit*>()) {
            if (text->isVisible() && text->document()->size().height() > text->viewport()->height())
                cut << dialog->windowTitle() + ": " + text->toPlainText();
        }
        saveScreenshot(dialog, QString("dialog-%1-%2pt").arg(dialog->metaObject()->className()).arg(pointSize));
        dialog->close();
    };
    for (void (VorelStock::*open)() : {&VorelStock::visitBox, &VorelStock::visitConfigBox,
                                       &VorelStock::visitAddonScanner, &VorelStock::setAddonScanner}) {
        QTimer::singleShot(50, &window, check);
        (window.*open)();
    }
    QCOMPARE(opened.size(), 4);
    QCOMPARE(outside.join(" | "), QString());
    QCOMPARE(cut.join(" | "), QString());
    window.close();
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
    QLabel label(QStringLiteral("龙虎榜"));
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
    VorelStockMsgBox box(QStringLiteral("提示"),
                         QStringLiteral("这是一条很长很长的提示信息，它必须在固定大小的对话框里换行显示而不被截断"));
    QCOMPARE(box.windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box.width(), 248);
    QVERIFY(box.height() >= 128);
    QLabel* label = box.findChild<QLabel*>();
    QVERIFY(label->wordWrap());
    box.show();
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
    QVERIFY(label->openExternalLinks());
    QPushButton* ok = box.findChild<QPushButton*>();
    QCOMPARE(ok->text(), QStringLiteral("确定"));
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
    ProgramApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
