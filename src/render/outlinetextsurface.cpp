#include "outlinetextsurface.h"

#include "textoutline.h"

#include <QPainter>

#include <cmath>

namespace vernalith {

OutlineTextSurface::OutlineTextSurface(DrawingSurface &inner, QPainter &painter, const QFont &font)
    : m_inner(inner), m_painter(painter), m_cardTransform(painter.worldTransform()), m_defaultFont(font), m_font(font)
{
}

void OutlineTextSurface::setFontSize(double points)
{
    m_inner.setFontSize(points);
    m_font.setPoints(points);
    if (std::isfinite(points) && points > 0)
        m_points = points;
}

void OutlineTextSurface::setStyle(const DrawStyle &style)
{
    m_inner.setStyle(style);
    m_colour = style.colour.isValid() ? style.colour : QColor(0, 0, 0);
}

void OutlineTextSurface::setFontFamily(const QString &family)
{
    m_inner.setFontFamily(family);
    QFont font = m_defaultFont;
    if (!family.isEmpty())
        font.setFamily(family);
    m_font = ScaledFont(font);
    m_font.setPoints(m_points);
}

void OutlineTextSurface::text(CardPoint topLeft, const QString &text)
{
    if (text.isEmpty() || !std::isfinite(topLeft.x) || !std::isfinite(topLeft.y))
        return;
    m_painter.save();
    m_painter.setWorldTransform(m_cardTransform);
    m_painter.fillPath(textOutline(m_font, topLeft, text), m_colour);
    m_painter.restore();
}

} // namespace vernalith
