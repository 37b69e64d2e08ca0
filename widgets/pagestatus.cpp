#include "widgets/pagestatus.h"

#include <QLabel>

QLabel* createStatusLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    fitToPage(label);
    label->hide();
    return label;
}

void fitToPage(QLabel* label)
{
    // Reasons come from the network and the providers: never markup.
    label->setTextFormat(Qt::PlainText);
    // One line high: a layout must not hand it the room of the page's tables.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void showStatus(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setToolTip(text);
    label->setVisible(!text.isEmpty());
}

QString failureText(const QString& what, const QString& reason)
{
    return QStringLiteral("%1失败：%2").arg(what, reason);
}

QString withFailures(const QString& result, const QString& failures)
{
    if (failures.isEmpty())
        return result;
    return result.isEmpty() ? failures : result + QStringLiteral("；") + failures;
}

// ---------------------------------------------------------------------------
// One search at a time

bool SearchState::begin()
{
    if (running)
        return false;
    running = true;
    awaitingFirst = true;
    return true;
}

void SearchState::end()
{
    running = false;
    awaitingFirst = false;
}

bool SearchState::takeFirstAnswer()
{
    const bool first = awaitingFirst;
    awaitingFirst = false;
    return first;
}
