#include "datasource/webinterface.h"

#include <QDebug>
#include <QRegExp>

namespace {

// Every parser pattern is compiled alike: case-insensitive and minimal, so
// that "(.*)" stops at the next occurrence of what follows it.
QRegExp parserPattern(const QString& pattern)
{
    QRegExp expression(pattern, Qt::CaseInsensitive);
    expression.setMinimal(true);
    return expression;
}

void logError(const QString& message)
{
    qDebug().noquote() << message + "\n";
}

} // namespace

StockInterface::~StockInterface() = default;
void StockInterface::error(const QString& message) { logError(message); }
void StockInterface::setParameter(int, const QString&) {}

StringMapInterface::~StringMapInterface() = default;
void StringMapInterface::error(const QString& message) { logError(message); }

LHBInterface::~LHBInterface() = default;

NoticeInterface::~NoticeInterface() = default;
void NoticeInterface::error(const QString& message) { logError(message); }

StringListInterface::~StringListInterface() = default;
void StringListInterface::error(const QString& message) { logError(message); }

QString marketCode(const QString& code)
{
    return (code.startsWith('6') ? QStringLiteral("sh") : QStringLiteral("sz")) + code;
}

QStringList matchAll(const QString& text, const QString& pattern)
{
    QRegExp expression = parserPattern(pattern);
    QStringList matches;
    int position = 0;
    while ((position = expression.indexIn(text, position)) >= 0) {
        const int length = expression.matchedLength();
        matches.append(expression.cap(0));
        // An empty match would find itself again for ever.
        position += length > 0 ? length : 1;
        if (position > text.size())
            break;
    }
    return matches;
}

QString matchFirst(const QString& text, const QString& pattern)
{
    QRegExp expression = parserPattern(pattern);
    return expression.indexIn(text) < 0 ? QString() : expression.cap(0);
}

QString captureNoticeJson(const QString& body)
{
    return matchFirst(body, "defjson:(.*)charset");
}

QString captureRecoveryJson(const QString& body)
{
    QString block = matchFirst(body, "defjson:(.*)maketr:");
    if (block.isEmpty())
        return QString();
    block = block.mid(8);
    return block.mid(block.indexOf('"') + 1);
}
