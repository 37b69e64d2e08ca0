#pragma once

// Gives every stock table its look: one thin line under each row instead of a
// grid, and no focus frame.

#include <QPen>
#include <QStyledItemDelegate>

class QTableView;

class LineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LineDelegate(QTableView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QPen pen;
    QTableView* tableView = nullptr;
};
