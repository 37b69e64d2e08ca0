#pragma once

// Small HTML builders shared by the company-profile source and the HTML
// viewer. Downloaded text never reaches a page unescaped: callers pass every
// field through safeHtmlText before it becomes part of the markup.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Replaces every backslash-u escape with four hexadecimal digits by the
// character it names, left to right in one pass; anything else is left alone.
void unescapeUnicode(QString& text);

// The template file at `path` with every "#CONTENT" replaced by `content`
// (unicode escapes of `content` resolved first). A template that cannot be
// read gives its failure text, which then shows in place of the page.
QString fillTemplate(const QString& path, const QString& content);

// "<td width=\"W\">text</td>", or "<td>text</td>" for width 0.
QString htmlTableCell(const QString& text, int width);

// A two-column table of text pairs.
QString htmlTable(const QVector<QPair<QString, QString> >& rows, int firstWidth, int secondWidth);

// Markup-safe form of a downloaded text: unicode escapes resolved, then <, >,
// &, quotes and backslashes written as entities, so that neither the page nor
// a later escape pass can turn the text into markup.
QString safeHtmlText(const QString& text);

// Fills the placeholders %1 .. %N of `pattern` with `values` in one pass: a
// value that itself holds "%3" is copied as it stands, never filled again.
QString fillPlaceholders(const QString& pattern, const QStringList& values);
