// Build-time tool: makes the stock list database "config/data.db" (table
// ShareList) from the all-stocks CSV of the resource archive.
//
// Columns by position as the program reads them: 0 code, 1 name, 2 not read,
// 3 industry, 4 tradable shares, 5 total shares, 6 listing date, 7 area; plus
// listDate, the column the listing-date filter compares.

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <cstdio>

namespace {

int fail(const QString& what)
{
    std::fprintf(stderr, "makedb: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return fail("usage: vorel_makedb all.csv data.db");

    QFile csv(QString::fromLocal8Bit(argv[1]));
    if (!csv.open(QIODevice::ReadOnly))
        return fail("cannot read " + csv.fileName());
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n');
    const QStringList header = lines.value(0).trimmed().split(',');

    const QString target = QString::fromLocal8Bit(argv[2]);
    const QString temporary = target + ".tmp";
    QFile::remove(temporary);
    int result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "makedb");
        db.setDatabaseName(temporary);
        if (!db.open())
            return fail(db.lastError().text());
        QSqlQuery query(db);
        query.exec("create table ShareList (code text primary key, name text, pinyin text, industry text,"
                   " outstanding integer, totals integer, timeToMarket text, area text, listDate text)");
        db.transaction();
        query.prepare("insert into ShareList values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList cells = lines.at(i).trimmed().split(',');
            if (cells.size() != header.size())
                continue;
            auto cell = [&](const char* column) { return cells.value(header.indexOf(column)); };
            query.addBindValue(cell("code"));
            query.addBindValue(cell("name"));
            query.addBindValue(QString());
            query.addBindValue(cell("industry"));
            query.addBindValue(cell("outstanding").toDouble());
            query.addBindValue(cell("totals").toDouble());
            query.addBindValue(cell("timeToMarket"));
            query.addBindValue(cell("area"));
            query.addBindValue(cell("timeToMarket"));
            if (!query.exec())
                result = fail(query.lastError().text());
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("makedb");
    if (result != 0)
        return result;
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return fail("cannot write " + target);
    return 0;
}
