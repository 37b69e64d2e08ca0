#include "core/fileutils.h"

#include "core/datafolders.h"
#include "core/textutils.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

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

namespace {

// No person names a file so: what carries it is a copy of the program's own.
const char kTemporaryMark[] = ".vorel-tmp-";
const int kTemporaryRandomLength = 6;
// What probeFolder writes, under the same mark, into every folder it probes.
const char kProbeName[] = ".probe";

QByteArray localName(const QString& path)
{
    return QFile::encodeName(path);
}

QString lastError()
{
    return qt_error_string(errno);
}

// The file a link at `path` leads to, through links of links, so that writing
// replaces that file and leaves the link; `path` itself when it is no link
// or a loop of links.
QString linkTarget(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.filePath();
}

// Creates a new file under a marked temporary name beside `path` and opens it
// for writing; -1 (errno set) when none can be made.
int createTemporaryCopy(const QString& path, mode_t mode, QString& made)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = temporaryCopyName(path);
        const int fd = ::open(localName(made).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAllBytes(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= size_t(written);
    }
    return true;
}

// Writes the whole copy and has it on the disk before it may replace
// anything: a full disk may only show when the data is flushed.
bool fillCopy(int fd, const QByteArray& bytes)
{
    if (!writeAllBytes(fd, bytes))
        return false;
    // a file system that cannot sync says EINVAL: there is nothing to wait for
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// The copy of `target` holding `bytes`, renamed over it; `reason` says why
// not. A copy that fails is removed.
bool replaceWithCopy(const QString& target, const QByteArray& bytes, QString& reason)
{
    struct stat existing = {};
    const bool exists = ::stat(localName(target).constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        reason = QStringLiteral("it is a folder");
        return false;
    }
    // a file the user made read-only stays as it is
    if (exists && ::access(localName(target).constData(), W_OK) != 0) {
        reason = lastError();
        return false;
    }
    QString copy;
    // a new file takes the usual permissions; a replaced one keeps its own,
    // and nobody else sees the copy before that
    const int fd = createTemporaryCopy(target, exists ? 0600 : 0666, copy);
    if (fd < 0) {
        reason = lastError();
        return false;
    }
    // a file system without permissions refuses: the copy keeps its own then
    if (exists)
        (void)::fchmod(fd, existing.st_mode & 07777);
    bool written = fillCopy(fd, bytes);
    if (!written)
        reason = lastError();
    if (::close(fd) != 0 && written) {
        reason = lastError();
        written = false;
    }
    if (written && ::rename(localName(copy).constData(), localName(target).constData()) != 0) {
        reason = lastError();
        written = false;
    }
    if (!written)
        ::unlink(localName(copy).constData());
    return written;
}

} // namespace

QString temporaryCopyName(const QString& path)
{
    static const char kCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = path + QLatin1String(kTemporaryMark);
    for (int i = 0; i < kTemporaryRandomLength; ++i)
        name += QLatin1Char(kCharacters[QRandomGenerator::system()->bounded(int(sizeof(kCharacters) - 1))]);
    return name;
}

bool saveWhole(const QString& path, const QByteArray& bytes)
{
    QString reason;
    if (!replaceWithCopy(linkTarget(path), bytes, reason)) {
        qWarning() << "cannot write" << path << reason;
        return false;
    }
    return true;
}

namespace {

// A rename that fails with EEXIST where a plain one would replace `to`.
int renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return -1;
    // a file system that cannot be asked so: look first
    struct stat taken = {};
    if (::lstat(to.constData(), &taken) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

} // namespace

QString setAside(const QString& path, const QString& suffix)
{
    const QByteArray from = localName(path);
    for (int number = 0; number < 100000; ++number) {
        QString kept = path + suffix;
        if (number > 0)
            kept += QLatin1Char('.') + QString::number(number);
        if (renameWithoutReplacing(from, localName(kept)) == 0)
            return kept;
        if (errno != EEXIST) {
            qWarning() << "cannot move" << path << "to" << kept << lastError();
            return QString();
        }
    }
    return QString();
}

namespace {

// The folder that holds the running program, whatever its name was given as.
QString programFolder()
{
    const QFileInfo program(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    return program.fileName().isEmpty() ? QString() : program.absolutePath();
}

} // namespace

QString enterWorkingFolder()
{
    QString folder = qEnvironmentVariable("VOREL_WORK_DIR");
    if (folder.isEmpty())
        folder = QFileInfo::exists(QString::fromLatin1(kShareListFile)) ? QDir::currentPath() : programFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QDir::setCurrent(folder))
        return QString();
    return QDir::currentPath();
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

// The copies that interrupted writes of the files named `names` leave, and
// an interrupted probe. Only the mark tells them: "config.ini.Backup" may be
// a person's copy as well as a copy of ours in an older form, and stays.
QRegularExpression interruptedWrites(const QString& names)
{
    return QRegularExpression(QStringLiteral("^(?:%1|%2)(?i)%3[a-z0-9]{%4}$")
                                  .arg(names, QRegularExpression::escape(QLatin1String(kProbeName)),
                                       QRegularExpression::escape(QLatin1String(kTemporaryMark)))
                                  .arg(kTemporaryRandomLength));
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
    QString probe;
    const int fd = createTemporaryCopy(folder + QLatin1Char('/') + QLatin1String(kProbeName), 0600, probe);
    if (fd < 0)
        return hasRoomFor(folder, block.size()) ? FolderState::Unwritable : FolderState::Full;
    // A full disk may still let a file be made: then its first block fails.
    const bool written = writeAllBytes(fd, block);
    ::close(fd);
    ::unlink(localName(probe).constData());
    return written ? FolderState::Writable : FolderState::Full;
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
