#include "core/fileutils.h"

#include "core/textutils.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>

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

// Calls `take` with the name of every plain file of `folder`, the entries
// QDir::Files | QDir::NoSymLinks lists (no folder, symbolic link, device or
// pipe), hidden ones only when `hidden` is set, in the order the file system
// gives them, until `take` returns false. QDir makes a QFileInfo of every
// entry and the caller then an absolute path of each, which costs ten times
// what reading the folder does: histories are listed by name alone.
template <class Take>
void forEachPlainFileName(const QString& folder, bool hidden, Take take)
{
    DIR* dir = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const char* const name = entry->d_name;
        if (!hidden && name[0] == '.')
            continue;
        bool plain = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            // A file system that does not say: ask for the entry itself.
            struct stat status = {};
            plain = ::fstatat(::dirfd(dir), name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode);
        }
        if (plain && !take(QFile::decodeName(name)))
            break;
    }
    ::closedir(dir);
}

// What a file name follows in the absolute path of a file of `folder`, as
// QFileInfo::absoluteFilePath writes it: absolute, clean, ending in "/".
QString absoluteFolderPrefix(const QString& folder)
{
    QString prefix = QDir::cleanPath(QDir(folder).absolutePath());
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    return prefix;
}

// The history files named `names` in `folder` by absolute path, path as key
// and value.
QMap<QString, QString> historyMap(const QString& folder, QStringList names)
{
    // Six digits each: the plain order of the texts is the order of the
    // names, and with it the map's order, so each path goes in last.
    std::sort(names.begin(), names.end());
    const QString prefix = absoluteFolderPrefix(folder);
    QMap<QString, QString> files;
    for (const QString& name : names) {
        const QString path = prefix + name;
        files.insert(files.cend(), path, path);
    }
    return files;
}

} // namespace

QStringList historyFiles(const QString& folder)
{
    return historyFileMap(folder).keys();
}

QMap<QString, QString> historyFileMap(const QString& folder)
{
    QStringList names;
    forEachPlainFileName(folder, false, [&names](const QString& name) {
        if (isStockCodeForPath(name))
            names.append(name);
        return true;
    });
    return historyMap(folder, names);
}

namespace {

// The copies that interrupted writes of the files named `names` leave.
QRegularExpression interruptedWrites(const QString& names)
{
    // saveWhole writes beside the target, under its name and six random
    // letters or digits. Six lower-case letters or six digits are rather a
    // user's copy ("config.ini.backup", "hammer.csv.201703"): those stay.
    return QRegularExpression(QStringLiteral("^(%1)\\.(?![a-z]{6}$)(?![0-9]{6}$)[A-Za-z0-9]{6}$").arg(names));
}

void removeCopy(const QFileInfo& file)
{
    if (!QFile::remove(file.absoluteFilePath()))
        qWarning() << "cannot remove" << file.absoluteFilePath();
}

} // namespace

void removeInterruptedWrites(const QString& folder, const QString& names)
{
    const QRegularExpression copy = interruptedWrites(names);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (copy.match(file.fileName()).hasMatch())
            removeCopy(file);
    }
}

QMap<QString, QString> tidyHistoryFolder(const QString& folder, const QString& names, const QDateTime& writtenBefore,
                                         const std::function<bool()>& stopped)
{
    const QRegularExpression copy = interruptedWrites(names);
    const QString prefix = absoluteFolderPrefix(folder);
    QStringList histories;
    forEachPlainFileName(folder, true, [&](const QString& name) {
        if (stopped())
            return false;
        if (isStockCodeForPath(name)) {
            histories.append(name);
        } else if (copy.match(name).hasMatch()) {
            // A copy made since then belongs to a write under way.
            const QFileInfo file(prefix + name);
            if (file.lastModified() < writtenBefore)
                removeCopy(file);
        }
        return true;
    });
    return historyMap(folder, histories);
}

namespace {

// Whether the file system of `folder` has `bytes` free for us; true when that
// cannot be told.
bool hasRoomFor(const QString& folder, qint64 bytes)
{
    struct statvfs space = {};
    if (::statvfs(QFile::encodeName(folder).constData(), &space) != 0)
        return true;
    return qint64(space.f_bavail) * qint64(space.f_frsize) >= bytes;
}

} // namespace

FolderState probeFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return FolderState::Missing;
    if (!info.isDir())
        return FolderState::NotAFolder;
    const QByteArray block(4096, ' ');
    QTemporaryFile probe(folder + QStringLiteral("/.probe"));
    if (!probe.open())
        return hasRoomFor(folder, block.size()) ? FolderState::Unwritable : FolderState::Full;
    // A full disk may still let a file be made: then its first block fails.
    if (probe.write(block) != block.size() || !probe.flush())
        return FolderState::Full;
    return FolderState::Writable;
}

QString saveFailureReason(const QString& path)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("%1 是一个文件夹,不是文件").arg(path);
    // The file's folder, or the first folder above it that exists: a plain
    // file there keeps every folder below it from being made.
    const QString folder = file.path();
    QFileInfo existing(folder);
    while (!existing.exists() && existing.path() != existing.filePath())
        existing = QFileInfo(existing.path());
    if (existing.exists() && !existing.isDir())
        return QStringLiteral("%1 是一个文件,不是文件夹").arg(existing.filePath());
    switch (probeFolder(folder)) {
    case FolderState::Missing:
        return QStringLiteral("文件夹 %1 不存在").arg(folder);
    case FolderState::Unwritable:
        return QStringLiteral("无法在 %1 中写入文件").arg(folder);
    case FolderState::Full:
        return QStringLiteral("磁盘已满,无法在 %1 中写入文件").arg(folder);
    case FolderState::NotAFolder:
    case FolderState::Writable:
        break;
    }
    // The folder takes files again: the write met something that has passed.
    return QStringLiteral("无法写入 %1").arg(path);
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
