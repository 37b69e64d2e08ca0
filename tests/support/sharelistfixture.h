#pragma once

// The working folder the application expects when a test runs it whole: a
// temporary folder made current, its "config" folder and the stock list
// database the application reads at start.

#include "core/textutils.h"
#include "core/vorelapplication.h"

#include <quazip/quazip.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

// Creates the ShareList table in the database at `path` and inserts each row,
// a value tuple such as "('600000','name','','industry',1,1,'19991110','area','19991110')".
// Failures are reported through QVERIFY in the running test.
inline void writeShareList(const QString& path, const QStringList& rows = {})
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec("create table ShareList (code text, name text, pinyin text, industry text,"
                           " outstanding integer, totals integer, timeToMarket text, area text, listDate text)"));
        for (const QString& row : rows)
            QVERIFY(query.exec("insert into ShareList values " + row));
        db.close();
    }
    QSqlDatabase::removeDatabase("writer");
}

// The codes of a pool list of the compiled-in resource archive, such as
// "data/stockPool.txt"; the archive is opened when it is not yet.
inline QSet<QString> shippedPoolCodes(const QString& entry)
{
    QSet<QString> codes;
    QuaZip* archive = vorelApp()->archive;
    if (!archive->isOpen() && !archive->open(QuaZip::mdUnzip))
        return codes;
    for (const QString& line : splitLines(vorelApp()->readFile("?" + entry))) {
        if (!line.isEmpty())
            codes.insert(line);
    }
    return codes;
}

// The pool a start with the shipped files fills: the stock list database the
// build made, copied into the working folder's "config", and the archive's
// pool list. Failures are reported through QVERIFY in the running test.
inline void loadShippedPool()
{
    QDir().mkpath("config");
    QFile::remove("config/data.db");
    QVERIFY(QFile::copy(qEnvironmentVariable("VOREL_RUN_DIR") + "/config/data.db", "config/data.db"));
    vorelApp()->stockPool.clear();
    QVERIFY(vorelApp()->loadStockPool(shippedPoolCodes("data/stockPool.txt")));
    QVERIFY(!vorelApp()->stockPool.isEmpty());
}

// Makes a fresh temporary folder current, creates the given folders in it
// (e.g. "config"), then runs the test object `T` under an application object
// `App` (a VorelApplication, or the program's: tests/support/programapplication.h)
// that lives as long as the test. Widgets default to the offscreen platform.
// Returns 2 when the folder cannot be prepared.
template<typename T, typename App = VorelApplication>
int runInWorkingFolder(int argc, char** argv, const QStringList& folders = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        return 2;
    for (const QString& folder : folders) {
        if (!QDir().mkpath(folder))
            return 2;
    }
    int result = 0;
    {
        App app(argc, argv);
        T test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}
