// The INI file: any bytes as "config/config.ini", looked up, changed and
// written back.

#include "core/inifile.h"
#include "tests/fuzz/fuzzinput.h"

#include <QFile>

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
    static const QString path = fuzzScratchFolder(QStringLiteral("inifile")) + QStringLiteral("/config.ini");
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
