#pragma once

#include "drawingsurface.h"
#include "scaledfont.h"

#include <QFont>
#include <QTransform>

class QPainter;

namespace vernalith {

// A surface that passes everything to another one but fills each text's outline on a painter
// instead of drawing it as text: for PDFs whose texts are shapes, for engravers and programs
// without the font. The outlines come from `font` (a family; sizes and the family set later
// follow the drawing), placed exactly where the text would have been drawn.
//
// The painter's world transform when this surface is made is taken for card millimetres, which
// is what a PainterSurface sets up for its own life: make this surface right after the
// PainterSurface it wraps, on the same painter, and let it go first.
class OutlineTextSurface : public DrawingSurface
{
public:
    OutlineTextSurface(DrawingSurface &inner, QPainter &painter, const QFont &font);

    void clear() override { m_inner.clear(); }
    void line(CardPoint from, CardPoint to) override { m_inner.line(from, to); }
    void box(CardPoint corner1, CardPoint corner2) override { m_inner.box(corner1, corner2); }
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override
    {
        m_inner.arc(centre, radius, startAngle, endAngle);
    }
    void setFontSize(double points) override;
    double textWidth(const QString &text) override { return m_inner.textWidth(text); }
    double textHeight(const QString &text) override { return m_inner.textHeight(text); }
    void text(CardPoint topLeft, const QString &text) override;
    void setLayer(DrawLayer layer) override { m_inner.setLayer(layer); }
    void setStyle(const DrawStyle &style) override;
    void setFontFamily(const QString &family) override;
    void sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled) override
    {
        m_inner.sector(centre, inner, outer, startAngle, endAngle, filled);
    }
    void circle(CardPoint centre, double radius) override { m_inner.circle(centre, radius); }

private:
    DrawingSurface &m_inner;
    QPainter &m_painter;
    QTransform m_cardTransform;
    QFont m_defaultFont;
    ScaledFont m_font;
    double m_points = 10;
    QColor m_colour = QColor(0, 0, 0);
};

} // namespace vernalith
