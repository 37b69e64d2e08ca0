#pragma once

// What the fuzz targets share: the input bytes decoded the way every download
// is decoded, and a small stock pool for the parsers that complete their
// records from it (one entry without share counts, which some parsers divide by).

#include "core/stock.h"
#include "core/textutils.h"

#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

inline QString fuzzBody(const uint8_t* data, size_t size)
{
    return decodeText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
}

// A folder for the files a target writes, made once per run. Every write of
// a whole file is synced to disk; in memory that no longer sets the pace.
inline QString fuzzScratchFolder(const QString& name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                                                       : QDir::tempPath() + "/fuzz-XXXXXX");
    const QString folder = dir.filePath(name);
    QDir().mkpath(folder);
    return folder;
}

inline QMap<QString, Stock> fuzzPool()
{
    QMap<QString, Stock> pool;
    for (const char* code : { "600000", "000001", "300001" }) {
        Stock stock;
        stock.code = QString::fromLatin1(code);
        stock.name = QStringLiteral("n") + stock.code;
        stock.industry = QStringLiteral("银行");
        stock.area = QStringLiteral("上海");
        stock.totals = 1000000;
        stock.outstanding = 800000;
        pool.insert(stock.code, stock);
    }
    Stock noShares;
    noShares.code = QStringLiteral("600002");
    pool.insert(noShares.code, noShares);
    return pool;
}
