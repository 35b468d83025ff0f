#include "rowmarkdelegate.h"

#include "design/designmodel.h"
#include "scaletext.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace vernalith {

RowMarkDelegate::RowMarkDelegate(const DesignModel *model, QAbstractItemView *view)
    : QStyledItemDelegate(view), m_model(model), m_view(view)
{
}

QAbstractItemDelegate *RowMarkDelegate::viewDelegate() const
{
    QAbstractItemDelegate *general = m_view->itemDelegate();
    return general == this ? nullptr : general;
}

QString RowMarkDelegate::rowTooltip(int modelRow) const
{
    const auto *table = qobject_cast<const DesignTable *>(m_view->model());
    if (!table || modelRow < 0 || modelRow >= table->dataRowCount() || !table->rowHasProperties(modelRow + 1))
        return QString();
    return rowPropertiesSummary(table->kind(), table->rowsData().at(modelRow), m_model->scales());
}

void RowMarkDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (QAbstractItemDelegate *general = viewDelegate())
        general->paint(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);

    const auto *table = qobject_cast<const DesignTable *>(index.model());
    if (!table || !table->rowHasProperties(index.row() + 1))
        return;
    // A filled corner, as spreadsheets mark a cell that carries more than it shows.
    const QRect r = option.rect;
    const int size = std::max(5, std::min(r.height() / 2, 9));
    QPainterPath corner;
    corner.moveTo(r.topLeft());
    corner.lineTo(r.left() + size, r.top());
    corner.lineTo(r.left(), r.top() + size);
    corner.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    // Orange reads against both the plain and the selected (blue) cell.
    painter->fillPath(corner, QColor(230, 115, 0));
    painter->restore();
}

QSize RowMarkDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (QAbstractItemDelegate *general = viewDelegate())
        return general->sizeHint(option, index);
    return QStyledItemDelegate::sizeHint(option, index);
}

bool RowMarkDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                const QModelIndex &index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString tip = rowTooltip(index.row());
        if (!tip.isEmpty()) {
            QToolTip::showText(event->globalPos(), tip, view, option.rect);
            return true;
        }
    }
    if (QAbstractItemDelegate *general = viewDelegate())
        return general->helpEvent(event, view, option, index);
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace vernalith
