#pragma once

// The Qt message handler: every message is appended to "output.txt" in the
// working folder as "yyyy-MM-dd hh:mm:ss Debug: text".

#include <QString>
#include <QtGlobal>

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The log line for a message, without the line end; empty for a fatal one.
QString logLine(QtMsgType type, const QString& message);
