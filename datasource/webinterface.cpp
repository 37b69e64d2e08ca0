#include "datasource/webinterface.h"

#include <QDebug>
#include <QRegExp>
#include <QVector>

namespace {

// Every parser pattern is compiled alike: case-insensitive and minimal, so
// that "(.*)" stops at the next occurrence of what follows it.
QRegExp parserPattern(const QString& pattern)
{
    QRegExp expression(pattern, Qt::CaseInsensitive);
    expression.setMinimal(true);
    return expression;
}

// Where the next unescaped "(.*)" gap of `pattern` starts at or after `from`,
// or -1.
int gapAt(const QString& pattern, int from)
{
    static const QString gap = QStringLiteral("(.*)");
    for (int at = pattern.indexOf(gap, from); at >= 0; at = pattern.indexOf(gap, at + 1)) {
        int backslashes = 0;
        while (at - backslashes > 0 && pattern.at(at - backslashes - 1) == QLatin1Char('\\'))
            ++backslashes;
        if (backslashes % 2 == 0)
            return at;
    }
    return -1;
}

// A parser pattern as the fixed markers between its "(.*)" gaps. Run as one
// expression, a minimal gap that never finds its closing marker scans to the
// end of the text from every opening marker, which makes a page of unclosed
// markers cost the square of its length. The leftmost shortest match is the
// first opening marker followed by the first of each later marker behind
// it, so each marker is searched for once, from where the one before ended.
// The markers of the parsers have fixed lengths, which this relies on.
class MarkerPattern
{
public:
    explicit MarkerPattern(const QString& pattern)
    {
        int from = 0;
        for (int gap = gapAt(pattern, 0); gap >= 0; gap = gapAt(pattern, from)) {
            markers.append(parserPattern(pattern.mid(from, gap - from)));
            from = gap + 4;
        }
        markers.append(parserPattern(pattern.mid(from)));
    }

    // The first match at or after `from` as start and length; false when
    // there is none.
    bool find(const QString& text, int from, int& start, int& length)
    {
        start = markers.first().indexIn(text, from);
        if (start < 0)
            return false;
        int end = start + markers.first().matchedLength();
        for (int i = 1; i < markers.size(); ++i) {
            const int at = markers[i].indexIn(text, end);
            if (at < 0)
                return false;
            end = at + markers[i].matchedLength();
        }
        length = end - start;
        return true;
    }

private:
    QVector<QRegExp> markers;
};

void logError(const QString& message)
{
    qDebug().noquote() << message + "\n";
}

} // namespace

WebSource::~WebSource() = default;
bool WebSource::hasForm(const QString& body) const { return !body.trimmed().isEmpty(); }

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

QString unreadableAnswer()
{
    return QStringLiteral("应答中没有可识别的数据");
}

QString answerFailure(const QString& failure, bool hasForm)
{
    if (!failure.isEmpty())
        return failure;
    return hasForm ? QString() : unreadableAnswer();
}

QString answerFailure(const WebSource& source, const QString& body, const QString& failure)
{
    return answerFailure(failure, failure.isEmpty() && source.hasForm(body));
}

QString marketCode(const QString& code)
{
    return (code.startsWith('6') ? QStringLiteral("sh") : QStringLiteral("sz")) + code;
}

QStringList matchAll(const QString& text, const QString& pattern)
{
    MarkerPattern expression(pattern);
    QStringList matches;
    int position = 0;
    int start = 0;
    int length = 0;
    while (position <= text.size() && expression.find(text, position, start, length)) {
        matches.append(text.mid(start, length));
        // An empty match would find itself again for ever.
        position = start + (length > 0 ? length : 1);
    }
    return matches;
}

QString matchFirst(const QString& text, const QString& pattern)
{
    MarkerPattern expression(pattern);
    int start = 0;
    int length = 0;
    return expression.find(text, 0, start, length) ? text.mid(start, length) : QString();
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
