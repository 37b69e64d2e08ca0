#include "core/messagehandler.h"

#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstdlib>

QString logLine(QtMsgType type, const QString& message)
{
    QString text;
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        text = QStringLiteral("Debug: %1").arg(message);
        break;
    case QtWarningMsg:
        text = QStringLiteral("Warning: %1").arg(message);
        break;
    case QtCriticalMsg:
        text = QStringLiteral("Critical: %1").arg(message);
        break;
    case QtFatalMsg:
        return QString();
    }
    const QDateTime now = QDateTime::currentDateTime();
    return now.date().toString("yyyy-MM-dd") + ' ' + now.time().toString() + ' ' + text;
}

void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::abort();
    // Opened anew for each message: the handler runs on any thread, and a log
    // that cannot be opened drops the message rather than logging its failure.
    QFile file(QStringLiteral("output.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << logLine(type, message) << '\n';
}
