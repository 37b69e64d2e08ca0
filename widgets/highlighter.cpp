#include "widgets/highlighter.h"

#include <QTextDocument>

Highlighter::Highlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
    keywordFormat.setForeground(Qt::darkBlue);
}

void Highlighter::setTextQueue(QStringList words)
{
    rules.clear();
    for (const QString& word : words) {
        Rule rule;
        rule.pattern = QRegExp(QStringLiteral("\\b") + word + QStringLiteral("\\b"), Qt::CaseSensitive, QRegExp::RegExp);
        rule.format = keywordFormat;
        rules.append(rule);
    }
}

void Highlighter::highlightBlock(const QString& text)
{
    for (const Rule& rule : rules) {
        QRegExp expression = rule.pattern;
        int index = expression.indexIn(text);
        while (index >= 0) {
            const int length = expression.matchedLength();
            if (length > 0)
                setFormat(index, length, rule.format);
            // A word that can match nothing (an empty word, "a*") would find
            // the same empty match for ever: step past it.
            const int next = index + qMax(length, 1);
            if (next > text.size())
                break;
            index = expression.indexIn(text, next);
        }
    }
    setCurrentBlockState(0);
}
