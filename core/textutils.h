#pragma once

// Text helpers shared by every subsystem. They keep no state.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// Decodes bytes from a file or a web service: the declared charset when there
// is one Qt knows; otherwise UTF-8 when the bytes are valid UTF-8, else GB18030
// (a superset of the GBK the providers serve). The text ends at a zero byte.
QString decodeText(const QByteArray& bytes, const QByteArray& declaredCharset = QByteArray());

// Splits at "\n" keeping empty parts, each part trimmed ("a\r\n\r\nb" -> a, "", b).
QStringList splitLines(const QString& text);

// Capture 1 of the first case-insensitive, minimal match; empty when none.
QString firstCapture(const QString& text, const QString& pattern);

// A minimal reader for the flat JSON arrays of objects the web sources serve:
// quotes removed, objects split at "},{", pairs at "," and ":". A text
// without "[{" holds no object, and an object without a pair is skipped.
QVector<QMap<QString, QString> > parseJsonArray(const QString& text);

// True for a code that may become part of a file path: six digits.
bool isStockCodeForPath(const QString& code);
