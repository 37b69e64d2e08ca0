#include "core/fileutils.h"

#include "core/textutils.h"

#include <QDebug>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

const char* const kLoadTemplateZipFailed = "load template zip file failed.";
const char* const kLoadTemplateFileFailed = "load template file failed.";

QString loadTemplate(const QString& path, QuaZip* archive)
{
    if (archive) {
        if (!archive->setCurrentFile(path))
            return QString::fromLatin1(kLoadTemplateZipFailed);
        QuaZipFile entry(archive);
        if (!entry.open(QIODevice::ReadOnly))
            return QString::fromLatin1(kLoadTemplateZipFailed);
        const QByteArray bytes = entry.readAll();
        entry.close();
        return decodeText(bytes);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString::fromLatin1(kLoadTemplateFileFailed);
    return decodeText(file.readAll());
}

bool isLoadTemplateFailure(const QString& text)
{
    return text == QLatin1String(kLoadTemplateZipFailed) || text == QLatin1String(kLoadTemplateFileFailed);
}

bool saveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning() << "cannot write" << path << file.errorString();
        return false;
    }
    // QSaveFile buffers small writes and commit() renames even when the final
    // flush failed (a full disk): flush first so that a short write is seen.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        qWarning() << "cannot write" << path << file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qWarning() << "cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

void writeFile(const QString& path, const QString& text)
{
    saveWhole(path, text.toUtf8());
}

namespace {

// Whether `name` is a copy that an interrupted write left behind. saveWhole
// writes beside the target, under its name and six random letters or
// digits; the files written into the data folders are named by a code, or
// "none".
bool isInterruptedWrite(const QString& name)
{
    static const QRegularExpression copy(QStringLiteral("^([0-9]{6}|none)\\.[A-Za-z0-9]{6}$"));
    return copy.match(name).hasMatch();
}

void removeCopy(const QFileInfo& file)
{
    if (!QFile::remove(file.absoluteFilePath()))
        qWarning() << "cannot remove" << file.absoluteFilePath();
}

} // namespace

QStringList historyFiles(const QString& folder)
{
    QStringList paths;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& file : files) {
        if (isStockCodeForPath(file.fileName()))
            paths.append(file.absoluteFilePath());
    }
    return paths;
}

QMap<QString, QString> historyFileMap(const QString& folder)
{
    QMap<QString, QString> files;
    for (const QString& path : historyFiles(folder))
        files.insert(path, path);
    return files;
}

void removeInterruptedWrites(const QString& folder)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (isInterruptedWrite(file.fileName()))
            removeCopy(file);
    }
}

QMap<QString, QString> tidyHistoryFolder(const QString& folder, const QDateTime& writtenBefore,
                                         const std::function<bool()>& stopped)
{
    QMap<QString, QString> histories;
    QDirIterator entries(folder, QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    while (entries.hasNext() && !stopped()) {
        entries.next();
        const QFileInfo file = entries.fileInfo();
        const QString name = file.fileName();
        if (isStockCodeForPath(name)) {
            const QString path = file.absoluteFilePath();
            histories.insert(path, path);
        } else if (isInterruptedWrite(name) && file.lastModified() < writtenBefore) {
            // A copy made since then belongs to a write under way.
            removeCopy(file);
        }
    }
    return histories;
}

void forEachFile(const QString& folder, FileVisitor* visitor)
{
    QDir dir(folder);
    if (!dir.exists() || !visitor)
        return;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoSymLinks);
    for (int i = 0; i < files.size(); ++i)
        visitor->visit(files.at(i).absoluteFilePath(), i, files.size());
}
