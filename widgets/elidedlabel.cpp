#include "widgets/elidedlabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

ElidedLabel::ElidedLabel(const QString& plainText, Markup markup, QWidget* parent)
    : QLabel(parent)
    , plain(plainText)
    , shown(plainText)
    , markup(std::move(markup))
{
    setTextFormat(Qt::RichText);
    // Until the label has a width of its own it shows the whole text.
    setText(marked(plain));
    // "<qt>" keeps a tooltip without markup from showing its escapes.
    setToolTip(QStringLiteral("<qt>%1</qt>").arg(marked(plain)));
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    const int room = contentsRect().width() - 2 * margin() - qMax(indent(), 0);
    const QString fitting = fontMetrics().elidedText(plain, Qt::ElideRight, qMax(room, 0));
    if (fitting == shown)
        return;
    shown = fitting;
    setText(marked(shown));
}

QString ElidedLabel::marked(const QString& text) const
{
    return markup ? markup(text) : text.toHtmlEscaped();
}
