#include "core/messagehandler.h"

#include "core/datafolders.h"

#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstdlib>

namespace {

// Each entry is one line of the log, dated: a message of more than one line
// (a source's error ends in a line end, a page's note holds paragraphs) has
// its line ends dropped at its ends and each run of them inside made a blank.
QString oneLine(const QString& message)
{
    QString line;
    line.reserve(message.size());
    bool lineEnd = false;
    for (const QChar c : message) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lineEnd = true;
            continue;
        }
        if (lineEnd && !line.isEmpty())
            line += QLatin1Char(' ');
        lineEnd = false;
        line += c;
    }
    return line;
}

} // namespace

QString logLine(QtMsgType type, const QString& message)
{
    const QString line = oneLine(message);
    QString text;
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        text = QStringLiteral("Debug: %1").arg(line);
        break;
    case QtWarningMsg:
        text = QStringLiteral("Warning: %1").arg(line);
        break;
    case QtCriticalMsg:
        text = QStringLiteral("Critical: %1").arg(line);
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
    QFile file(QString::fromLatin1(kLogFile));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << logLine(type, message) << '\n';
}
