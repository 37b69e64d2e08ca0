#pragma once

// The Qt message handler: every message is appended to "output.txt" in the
// working folder as "yyyy-MM-dd hh:mm:ss Debug: text", one line an entry.

#include <QString>
#include <QtGlobal>

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The log line for a message, without the line end; empty for a fatal one.
// It is one line whatever the message holds: line ends at the message's ends
// are dropped, and each run of them inside becomes one blank.
QString logLine(QtMsgType type, const QString& message);
