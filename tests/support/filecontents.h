#pragma once

// What a file holds, read whole, for comparing in a test; a file that cannot
// be read reads "<missing>", which no file of the program holds.

#include <QByteArray>
#include <QFile>
#include <QString>

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QString fileText(const QString& path)
{
    return QString::fromUtf8(fileBytes(path));
}
