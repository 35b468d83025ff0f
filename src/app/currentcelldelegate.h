#pragma once

#include <QStyledItemDelegate>

namespace vernalith {

// Draws a table's current and selected cells in a strong colour while the table has the
// keyboard focus, and in a muted one while another control has it, so that the eye finds the
// table that takes the keys.
class CurrentCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The colours a current cell gets, from the view's palette.
    static QColor strongColor(const QPalette &palette);
    static QColor mutedColor(const QPalette &palette);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace vernalith
