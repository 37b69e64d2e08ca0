// The INI file: any bytes as "config/config.ini", looked up, changed and
// written back.

#include "core/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Loads the file, reads and sets a few settings, and lets the object write it.
QByteArray normalise(const std::string& path)
{
    {
        IniFile file(path);
        file.getValue("hot stock", "hotStockSpan", 0);
        file.getValue("[stockBid]", "bidRatio", 0.5f);
        file.getValue("mail", "server", std::string("none"));
        file.getValue("", "before", true);
        file.setValue("stockBid", "bidRatio", 0.25f);
        file.setValue("Hot Stock", "hotStockSpan", 20);
    }
    return readAll(QString::fromStdString(path));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every write of the file is synced to disk; in memory that no longer
    // sets the pace of the run.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-inifile-XXXXXX")
                                                                       : QDir::tempPath() + "/fuzz-inifile-XXXXXX");
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    normalise(path.toStdString());
    // Once the program has written a file, reading and writing it again
    // changes nothing: settings never drift from one start to the next.
    const QByteArray once = normalise(path.toStdString());
    if (normalise(path.toStdString()) != once)
        abort();
    return 0;
}
