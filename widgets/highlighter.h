#pragma once

// Marks whole words of a list, dark blue, in a text document (the notice
// titles, for example). Each word is a regular expression between word
// boundaries.

#include <QRegExp>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVector>

class QTextDocument;

class Highlighter final : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit Highlighter(QTextDocument* document);

    struct Rule
    {
        QRegExp pattern;
        QTextCharFormat format;
    };

    QVector<Rule> rules;
    QTextCharFormat keywordFormat;

public slots:
    // Replaces the words; the document is marked anew only when it is
    // re-highlighted (rehighlight() or an edit).
    void setTextQueue(QStringList words);

protected:
    void highlightBlock(const QString& text) override;
};
