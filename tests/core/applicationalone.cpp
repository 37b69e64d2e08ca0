#include "core/vorelapplication.h"
#include "tests/support/sharelistfixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The application object linked with core alone, as a tool or a test of the
// lower folders uses it: no steps of app/ are installed, so it must hold its
// state without windows and report its errors to the log, never in a box
// that nobody would close.
class ApplicationAloneTest : public QObject
{
    Q_OBJECT
private slots:
    void initLoadsThePoolWithoutAChartWindow();
    void missingDatabaseIsLoggedNotShown();
};

void ApplicationAloneTest::initLoadsThePoolWithoutAChartWindow()
{
    QDir().mkpath("config");
    writeShareList("config/data.db",
                   {QStringLiteral("('600000','浦发银行','','银行',2810376,2935208,'19991110','上海','19991110')")});
    vorelApp()->init(nullptr);
    QCOMPARE(vorelApp()->stockPool.keys(), QStringList({"600000"}));
    QVERIFY(!vorelApp()->candlestickWidget);
    QVERIFY(!vorelApp()->chartWindow());
    vorelApp()->toggleCandlestickWidget();
    vorelApp()->showChart("600000");
}

void ApplicationAloneTest::missingDatabaseIsLoggedNotShown()
{
    QVERIFY(QFile::rename("config/data.db", "config/data.db.away"));
    QTest::ignoreMessage(QtWarningMsg, QStringLiteral("无法读取数据文件软件,配置错误,请重新下载").toUtf8().constData());
    QVERIFY(vorelApp()->loadShareList(QString()).isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(QFile::rename("config/data.db.away", "config/data.db"));
}

int main(int argc, char** argv)
{
    return runInWorkingFolder<ApplicationAloneTest>(argc, argv);
}

#include "applicationalone.moc"
