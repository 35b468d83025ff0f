#include "currentcelldelegate.h"

#include <QAbstractItemView>

namespace vernalith {

QColor CurrentCellDelegate::strongColor(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Highlight);
}

QColor CurrentCellDelegate::mutedColor(const QPalette &palette)
{
    // A quarter of the strong colour over the cell background: still seen, never mistaken.
    const QColor strong = strongColor(palette);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    auto mix = [](int a, int b) { return (a + 3 * b) / 4; };
    return QColor(mix(strong.red(), base.red()), mix(strong.green(), base.green()), mix(strong.blue(), base.blue()));
}

void CurrentCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    const auto *view = qobject_cast<const QAbstractItemView *>(opt.widget);
    const bool marked = (opt.state & QStyle::State_Selected) || (view && view->currentIndex() == index);
    if (marked && view) {
        const bool focused = view->hasFocus();
        const QColor fill = focused ? strongColor(opt.palette) : mutedColor(opt.palette);
        const QColor ink = opt.palette.color(QPalette::Active, focused ? QPalette::HighlightedText : QPalette::Text);
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            opt.palette.setColor(group, QPalette::Highlight, fill);
            opt.palette.setColor(group, QPalette::HighlightedText, ink);
        }
        opt.state |= QStyle::State_Selected;
    }
    // The frame around the whole table marks the focus; no dotted cell rectangle on top.
    opt.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, opt, index);
}

} // namespace vernalith
