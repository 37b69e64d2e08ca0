// Build-time tool: makes the stock list database "config/data.db" (table
// ShareList) from the all-stocks CSV of the resource archive.
//
// Columns by position as the program reads them: 0 code, 1 name, 2 not read,
// 3 industry, 4 tradable shares, 5 total shares, 6 listing date, 7 area; plus
// listDate, the column the listing-date filter compares.
//
// The list server writes share counts in units of 100 million shares; the
// program reads them in units of 10,000.

#include "core/textutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <limits>

namespace {

constexpr int kHundredMillionsToTenThousands = 4;   // decimal places shifted

int fail(const QString& what)
{
    std::fprintf(stderr, "makedb: %s\n", qPrintable(what));
    return 1;
}

// The decimal text times 10^places, read digit by digit so that no binary
// rounding creeps in ("169.18" with 4 places is 1691800, not 1691799).
// Digits past `places` are dropped; text that is no plain non-negative
// decimal, or a count beyond the int range, gives 0.
int shiftedDecimal(const QString& text, int places)
{
    const QString trimmed = text.trimmed();
    const int point = trimmed.indexOf('.');
    const QString whole = point < 0 ? trimmed : trimmed.left(point);
    const QString fraction = (point < 0 ? QString() : trimmed.mid(point + 1)).leftJustified(places, '0', true);
    const QString digits = whole + fraction;
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return int(value);
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
    // The list server's file is GBK; the program's own decoder also takes UTF-8.
    const QStringList lines = splitLines(decodeText(csv.readAll()));
    const QStringList header = lines.value(0).split(',');

    const QString target = QString::fromLocal8Bit(argv[2]);
    const QString temporary = target + ".tmp";
    QFile::remove(temporary);
    int result = 0;
    int rows = 0;
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
            const QStringList cells = lines.at(i).split(',');
            if (cells.size() != header.size())
                continue;
            auto cell = [&](const char* column) { return cells.value(header.indexOf(column)); };
            query.addBindValue(cell("code"));
            query.addBindValue(cell("name"));
            query.addBindValue(QString());
            query.addBindValue(cell("industry"));
            query.addBindValue(shiftedDecimal(cell("outstanding"), kHundredMillionsToTenThousands));
            query.addBindValue(shiftedDecimal(cell("totals"), kHundredMillionsToTenThousands));
            query.addBindValue(cell("timeToMarket"));
            query.addBindValue(cell("area"));
            query.addBindValue(cell("timeToMarket"));
            if (query.exec())
                ++rows;
            else
                result = fail(query.lastError().text());
        }
        if (result == 0 && !db.commit())
            result = fail(db.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase("makedb");
    if (result == 0 && rows == 0)
        result = fail("no stock rows in " + csv.fileName());
    if (result != 0) {
        QFile::remove(temporary);
        return result;
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        return fail("cannot write " + target);
    return 0;
}
