#pragma once

#include <QStyledItemDelegate>

namespace vernalith {

class DesignModel;

// Draws the first cell of a row that has properties (any cell not shown as a column: a scale,
// a value list, a width, a colour, a font) with a mark in its corner, and gives that cell the row's properties as its tooltip.
// The cell itself is drawn by the view's own delegate, whichever that is, so the mark adds to
// the view's look rather than replacing it. Set it for column 0 of the table's view.
class RowMarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // `model` gives the rows and the scales; not owned, must outlive the delegate.
    RowMarkDelegate(const DesignModel *model, QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The tooltip text of a data row (model row); empty when it has no properties.
    QString rowTooltip(int modelRow) const;

private:
    QAbstractItemDelegate *viewDelegate() const;

    const DesignModel *m_model;
    QAbstractItemView *m_view;
};

} // namespace vernalith
