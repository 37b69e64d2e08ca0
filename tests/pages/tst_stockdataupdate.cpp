#include "pages/stockdataupdate.h"

#include "core/vorelapplication.h"
#include "tests/support/barbuilder.h"
#include "tests/support/failedanswers.h"
#include "tests/support/filecontents.h"
#include "tests/support/messagecatcher.h"
#include "tests/support/programapplication.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "tests/support/testhttpserver.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// An iFeng body with one bar per date, closing at `close`. The service's
// answer does not name its stock: each stock of a test closes at a price of
// its own, so that a history kept under another code shows.
QString ifengBody(const QStringList& dates, const QString& close = "10.5")
{
    QStringList bars;
    for (const QString& date : dates) {
        QStringList cells{"\"" + date + "\"", "\"10.0\"", "\"10.8\"", "\"" + close + "\"",
                          "\"9.9\"", "\"300\"", "\"0.5\"", "\"5.00\""};
        while (cells.size() < 17)
            cells.append("\"1.0\"");
        bars.append("[" + cells.join(',') + "]");
    }
    return "{\"record\":[" + bars.join(',') + "]}";
}

// The one-bar history of `code`, closing at a price its code gives.
QString ifengHistoryOf(const QString& code)
{
    return ifengBody({ "2020-01-02" }, QString("10.%1").arg(code.right(2)));
}

QString stockListRow(const QString& code, const QString& name)
{
    QStringList cells{code, name, QStringLiteral("银行"), QStringLiteral("上海"), "10", "100", "200"};
    for (int i = 0; i < 8; ++i)
        cells << "1.5";
    cells << "19991110";
    for (int i = 0; i < 6; ++i)
        cells << "2.5";
    cells << "1000";
    return cells.join(',');
}

// The list in the server's form: its header line, then a few stocks, every
// line ending in CR LF.
QString stockList()
{
    QString list = "code,name,industry,area,pe,outstanding,totals,totalAssets,liquidAssets,fixedAssets,reserved,"
                   "reservedPerShare,esp,bvps,pb,timeToMarket,undp,perundp,rev,profit,gpr,npr,holders\r\n";
    for (const char* code : {"600009", "600010", "600011", "600012"})
        list += stockListRow(code, QStringLiteral("上海机场")) + "\r\n";
    return list;
}

Stock stock(const QString& code, const QString& name)
{
    return StockBuilder().code(code).name(name);
}

} // namespace

class TestStockDataUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir("data").removeRecursively();
        QFile::remove("config/data.db");
        vorelApp()->stockPool.clear();
    }

    void downloadStoresEveryHistoryLastCodeFirst()
    {
        TestHttpServer server;
        HostOverride hosts(server);
        server.serve("/akdaily/", [](const TestHttpServer::Request& request) {
            // The stocks of a second dialog, run beside the first, are all refused.
            if (request.query.contains("000006") || request.query.contains("000007"))
                return TestHttpServer::Reply::status404();
            // One stock's answer is an error page: nothing is stored for it.
            if (request.query.contains("000002"))
                return TestHttpServer::Reply::text("<html>busy</html>", "text/html");
            // One stock's chunked answer breaks off after four chunks, within
            // its third bar: Qt often finishes it without an error.
            if (request.query.contains("600005")) {
                const QString body = ifengBody({ "2020-01-02", "2020-01-03", "2020-01-06" });
                return TestHttpServer::Reply::chunkedCutShort(body.toUtf8(), 70 * 4);
            }
            const QString code = request.query.section('&', 0, 0).right(6);
            TestHttpServer::Reply reply = TestHttpServer::Reply::text(ifengHistoryOf(code), "application/json");
            // An error status is no history, whatever its body holds.
            if (request.query.contains("000004"))
                reply.status = 500;
            return reply;
        });
        QDir().mkpath("data/dl");
        QFile old("data/dl/000004");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old history of 000004");
        old.close();
        QFile oldCut("data/dl/600005");
        QVERIFY(oldCut.open(QIODevice::WriteOnly));
        oldCut.write("old history of 600005");
        oldCut.close();
        StockDownLoadDlg dialog({"000004", "600001", "000002", "600003", "600005"});
        StockDownLoadDlg refused({"000006", "000007"});
        QVERIFY(!dialog.isEnabled());
        dialog.tickInterval = 10;
        refused.tickInterval = 10;
        dialog.show();
        refused.show();
        QSignalSpy progress(dialog.findChild<QProgressBar*>(), &QProgressBar::valueChanged);
        QSignalSpy refusedProgress(refused.findChild<QProgressBar*>(), &QProgressBar::valueChanged);
        // Three downloads failed: the dialog stays, says so, and lets the user close it.
        QLabel* label = dialog.findChild<QLabel*>();
        QTRY_COMPARE(label->text(), QStringLiteral("更新完毕；3只股票下载失败，最近一次：HTTP 500 Internal Server Error"));
        QVERIFY(dialog.isVisible() && dialog.isEnabled());
        QVERIFY(saveScreenshot(&dialog, "dataupdate-failed"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog.isVisible());
        // The bar ends on the share stored, two of five, never full beside a failure.
        QList<int> values;
        for (const QList<QVariant>& args : progress)
            values << args.first().toInt();
        QCOMPARE(values, (QList<int>{33, 50, 66, 83, 100, 40}));
        // A run that stored nothing does not say it is done.
        QTRY_COMPARE(refused.findChild<QLabel*>()->text(),
                     QStringLiteral("更新失败：2只股票全部下载失败，最近一次：HTTP 404 Not Found"));
        QCOMPARE(refusedProgress.last().first().toInt(), 0);
        QVERIFY(refused.isVisible() && refused.isEnabled());
        QVERIFY(saveScreenshot(&refused, "dataupdate-all-failed"));
        QStringList asked;
        for (const TestHttpServer::Request& request : server.requests()) {
            if (!request.query.contains("000006") && !request.query.contains("000007"))
                asked << request.query;
        }
        // Qt itself may send the GET of the broken chunked answer again, at
        // once; any other repeated request is the dialog's.
        while (asked.size() > 1 && asked.at(1) == asked.at(0) && asked.at(0).contains("600005"))
            asked.removeAt(1);
        QCOMPARE(asked, (QStringList{"code=sh600005&type=last", "code=sh600003&type=last", "code=sz000002&type=last",
                                     "code=sh600001&type=last", "code=sz000004&type=last"}));
        QCOMPARE(QDir("data/dl").entryList(QDir::Files), (QStringList{"000004", "600001", "600003", "600005"}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old history of 000004"));
        QVERIFY(oldCut.open(QIODevice::ReadOnly));
        QCOMPARE(oldCut.readAll(), QByteArray("old history of 600005"));
        // each history under its own code
        QCOMPARE(fileText("data/dl/600001"), ifengHistoryOf("600001"));
        QCOMPARE(fileText("data/dl/600003"), ifengHistoryOf("600003"));
    }

    void downloadOfNoCodesClosesAtOnce()
    {
        StockDownLoadDlg dialog({});
        dialog.show();
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.findChild<QProgressBar*>()->value(), 0);
    }

    void resultPageReplacesThePoolByCode()
    {
        vorelApp()->stockPool.insert("000001", stock("000001", "old"));
        StockDataUpdate dialog;
        dialog.onUpdate({stock("600000", "first"), stock("600001", "other"), stock("600000", "second")});
        QCOMPARE(vorelApp()->stockPool.keys(), (QStringList{"600000", "600001"}));
        QCOMPARE(vorelApp()->stockPool.value("600000").name, QString("second"));
        QCOMPARE(dialog.findChild<QProgressBar*>()->value(), 99);
        // An empty page leaves the pool alone.
        dialog.onUpdate({});
        QCOMPARE(vorelApp()->stockPool.size(), 2);
    }

    void syncEndsWithTheStoredStockList()
    {
        writeShareList("config/data.db",
                       {QStringLiteral("('600000','浦发银行','','银行',1,1,'19991110','上海','19991110')")});
        TestHttpServer server;
        HostOverride hosts(server);
        server.serve("/static/all.csv", TestHttpServer::Reply::gbk(stockList(), "text/csv"));
        StockDataUpdate dialog;
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(vorelApp()->stockPool.keys(), QStringList{"600000"});
        QCOMPARE(vorelApp()->stockPool.value("600000").name, QStringLiteral("浦发银行"));
    }

    void failedStockListSaysWhy_data()
    {
        addFailedAnswerRows();
    }

    void failedStockListSaysWhy()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        writeShareList("config/data.db",
                       {QStringLiteral("('600000','浦发银行','','银行',1,1,'19991110','上海','19991110')")});
        TestHttpServer server;
        HostOverride hosts(server);
        server.serve("/static/all.csv", failedAnswer(failure, stockList()));
        vorelApp()->stockPool.insert("000001", stock("000001", "kept"));
        StockDataUpdate dialog;
        dialog.show();
        QLabel* label = dialog.findChild<QLabel*>();
        QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("股票列表下载失败：") + reason, 10000);
        QVERIFY(dialog.isVisible());
        // the stored list still replaces the pool, as after every sync
        QCOMPARE(vorelApp()->stockPool.keys(), QStringList{"600000"});
        // no list came: the bar stays where it was, not full beside the failure
        QCOMPARE(dialog.findChild<QProgressBar*>()->value(), 0);
        QVERIFY(saveScreenshot(&dialog, "stocklistsync-failed-" + failureTag()));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog.isVisible());
    }

    void unreadableStockListKeepsThePool()
    {
        vorelApp()->stockPool.insert("000001", stock("000001", "kept"));
        MessageCatcher catcher;
        StockDataUpdate dialog;
        dialog.onOK();
        QCOMPARE(catcher.seen.size(), 1);
        QVERIFY(catcher.seen.first().startsWith(QStringLiteral("错误|")));
        QCOMPARE(vorelApp()->stockPool.keys(), QStringList{"000001"});
    }

    void cancelCloses()
    {
        TestHttpServer server;
        HostOverride hosts(server);
        server.serve("/static/all.csv", TestHttpServer::Reply::stalled());
        vorelApp()->stockPool.insert("000001", stock("000001", "kept"));
        StockDataUpdate dialog;
        dialog.show();
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(vorelApp()->stockPool.size(), 1);
    }
};

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestStockDataUpdate, ProgramApplication>(argc, argv, {"config"});
}

#include "tst_stockdataupdate.moc"
