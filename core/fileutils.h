#pragma once

// File helpers: reading a text from disk or from the resource archive, writing
// a file whole, walking a folder.

#include <QByteArray>
#include <QString>

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

// Writes `bytes` to a temporary file in the target's folder and renames it over
// `path`, so that a crash or a full disk never leaves half a file. False (and
// the old file untouched) when anything fails.
bool saveWhole(const QString& path, const QByteArray& bytes);

class FileVisitor
{
public:
    virtual ~FileVisitor() = default;
    virtual void visit(const QString& path, int position, int count) = 0;
};

// Calls the visitor for each plain file of `folder` (no symbolic links).
void forEachFile(const QString& folder, FileVisitor* visitor);
