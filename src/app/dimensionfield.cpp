#include "dimensionfield.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include <limits>

namespace vernalith {

DimensionField::DimensionField(QWidget *parent) : QLineEdit(parent)
{
    // A field takes text of any length.
    setMaxLength(std::numeric_limits<int>::max());
}

void DimensionField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    m_focusByClick = event->reason() == Qt::MouseFocusReason;
    emit gotFocus();
}

void DimensionField::mousePressEvent(QMouseEvent *event)
{
    if (!m_focusByClick) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    // The press that brought the focus: let the line edit handle it (it places the cursor),
    // then put back what the focus handler selected.
    m_focusByClick = false;
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::mousePressEvent(event);
    if (start >= 0)
        setSelection(start, length);
}

} // namespace vernalith
