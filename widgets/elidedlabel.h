#pragma once

// A label for a table cell whose text may be longer than the cell: it shows
// as much of the text as fits, cut with "…", and the whole text as its
// tooltip. Both go through the same markup (keyword highlighting, for
// example), so that what the cut hides can still be found.

#include <QLabel>
#include <QString>

#include <functional>

class ElidedLabel final : public QLabel
{
public:
    // Rich text of a plain text; the identity when none is given.
    using Markup = std::function<QString(const QString& plain)>;

    explicit ElidedLabel(const QString& plainText, Markup markup = Markup(), QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString marked(const QString& text) const;

    QString plain;
    QString shown;   // the part of `plain` that fits the label's width
    Markup markup;
};
