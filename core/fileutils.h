#pragma once

// File helpers: reading a text from disk or from the resource archive, writing
// a file whole, setting a damaged file aside, walking and tidying a folder,
// entering the working folder.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class QDateTime;
class QuaZip;

// The whole text of `path`: an entry of `archive` when one is given, else a
// disk file. On failure the text "load template zip file failed." or
// "load template file failed." comes back in place of the content.
QString loadTemplate(const QString& path, QuaZip* archive = nullptr);

// The two failure texts of loadTemplate, for callers that must tell a failed
// read from content.
extern const char* const kLoadTemplateZipFailed;
extern const char* const kLoadTemplateFileFailed;
bool isLoadTemplateFailure(const QString& text);

// Writes `text` as UTF-8, whole or not at all; a file that cannot be written
// is skipped (and logged).
void writeFile(const QString& path, const QString& text);

// Writes `bytes` to a temporary file in the target's folder, flushes it to the
// disk and renames it over `path`, so that a crash or a full disk never leaves
// half a file. A link is followed: the file it leads to is replaced. False
// (and the old file untouched) when anything fails.
bool saveWhole(const QString& path, const QByteArray& bytes);

// The name of a temporary copy of `path` as the program's writer makes it:
// "config.ini" gives "config.ini.vorel-tmp-" and six random letters or
// digits. The mark sets the program's own copies apart from any file a person
// keeps, so that the start-up clean-up removes those and nothing else.
QString temporaryCopyName(const QString& path);

// Moves `path` aside to the first free name of `path` + `suffix`, then
// `path` + `suffix` + ".1", ".2" and so on; an earlier copy is never
// replaced. The name it took, or an empty text (and `path` where it was)
// when it cannot be moved.
QString setAside(const QString& path, const QString& suffix);

// Makes the working folder the current folder, whatever folder the program
// was started from: $VOREL_WORK_DIR when set (made when missing), else the
// current folder when it is a working folder (it holds "config/data.db"),
// else the folder that holds the program. The folder entered, or an empty
// text (nothing changed) when it cannot be entered.
QString enterWorkingFolder();

// Why a file cannot be written at `path` now, for the user, asked after a
// failed saveWhole (which keeps the old file and says nothing of why): a
// folder in the file's place, a plain file in a folder's place, a missing or
// unwritable folder, a full disk.
QString saveFailureReason(const QString& path);

// The daily history files of `folder` by absolute path, in name order: the
// files named by a stock code (six digits, the index code too). Whatever else
// lies there (the list of marked codes, a copy left by an interrupted write)
// is no history.
QStringList historyFiles(const QString& folder);
// The same files as the file-scan worker takes them: each path as key and value.
QMap<QString, QString> historyFileMap(const QString& folder);

// Removes from `folder` the temporary copies that a write interrupted by a
// crash or a kill left behind (temporaryCopyName: "600000.vorel-tmp-as4kq0"
// beside "600000", the mark and its six characters in any case), of the files
// whose names match `names` (a regular expression, "[0-9]{6}|none"), and of
// the probe of probeFolder; the file that was to be replaced is still the old
// one. Nothing else goes: a file without the mark may be a person's copy.
void removeInterruptedWrites(const QString& folder, const QString& names);
// Both in one listing of `folder`: removes the copies of interrupted writes
// last changed before `writtenBefore` and gives the history files as
// historyFileMap does. Stops early, with what it has, once `stopped` says so.
QMap<QString, QString> tidyHistoryFolder(const QString& folder, const QString& names, const QDateTime& writtenBefore,
                                         const std::function<bool()>& stopped);

// Whether whole files can be stored in `folder`: a file of a few kilobytes is
// written there and removed.
enum class FolderState { Writable, Missing, NotAFolder, Unwritable, Full };
FolderState probeFolder(const QString& folder);

class FileVisitor
{
public:
    virtual ~FileVisitor() = default;
    virtual void visit(const QString& path, int position, int count) = 0;
};

// Calls the visitor for each plain file of `folder` (no symbolic links).
void forEachFile(const QString& folder, FileVisitor* visitor);
