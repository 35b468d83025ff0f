#include "clientarea.h"

#include <QPaintEvent>
#include <QPainter>

namespace vernalith {

ClientArea::ClientArea(QWidget *parent) : QWidget(parent)
{
    // The background fill is the clearing before each drawing.
    setAutoFillBackground(true);
}

void ClientArea::paintEvent(QPaintEvent *event)
{
    if (!m_paint)
        return;
    QPainter painter(this);
    m_paint(painter, event->rect());
}

} // namespace vernalith
