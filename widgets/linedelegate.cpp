#include "widgets/linedelegate.h"

#include <QPainter>
#include <QStyle>
#include <QTableView>

namespace {

QColor gridColor(QTableView* view)
{
    // The style answers with the grid colour only for an option initialised
    // from the view; a bare option gives a transparent colour.
    QStyleOptionViewItem option;
    option.initFrom(view);
    return QColor::fromRgba(static_cast<QRgb>(view->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view)));
}

} // namespace

LineDelegate::LineDelegate(QTableView* view)
    // The view owns its delegate: setItemDelegate() does not take ownership,
    // and an orphan delegate would outlive every table.
    : QStyledItemDelegate(view)
    , pen(QBrush(gridColor(view)), 0, view->gridStyle(), Qt::SquareCap, Qt::BevelJoin)
    , tableView(view)
{
}

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem withoutFocus(option);
    withoutFocus.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, withoutFocus, index);

    const QPen previous = painter->pen();
    painter->setPen(pen);
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->setPen(previous);
}
