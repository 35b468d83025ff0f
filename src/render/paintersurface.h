#pragma once

#include "drawingsurface.h"
#include "scaledfont.h"

#include <QPointF>

class QPainter;

namespace vernalith {

// A drawing surface on any QPainter target (the window, a QPrinter, a QPdfWriter, a QImage, an
// SVG generator) at true size.
//
// The painter must have device-pixel user units when the surface is made: no transform, or only
// the size correction applyCardScale() sets (cardscale.h);
// `dotsPerInch` is the device's resolution (a screen's logical DPI, QPrinter::resolution(), the
// resolution given to a QPdfWriter or QImage). `surfaceOrigin`, in device pixels, is the
// surface's top-left corner; the card's origin lies 10 mm right of and below it. Text uses the
// painter's font family (until setFontFamily() names another) at the sizes set with
// setFontSize(), exactly that many points high on every device. The default style draws with
// the painter's pen colour and the surface's thin pen; a style with a width draws that many
// millimetres wide (on a screen or an image never under one pixel), in its colour, which texts
// and filled sectors take too. Layers make no difference here. The painter's state is restored
// when the surface is destroyed.
class PainterSurface : public DrawingSurface
{
public:
    PainterSurface(QPainter &painter, double dotsPerInch, QPointF surfaceOrigin = QPointF());
    ~PainterSurface() override;

    PainterSurface(const PainterSurface &) = delete;
    PainterSurface &operator=(const PainterSurface &) = delete;

    void clear() override; // erases the device with the painter's background brush
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;
    void setLayer(DrawLayer) override {}
    void setStyle(const DrawStyle &style) override;
    void setFontFamily(const QString &family) override;
    void sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled) override;
    void circle(CardPoint centre, double radius) override;

private:
    QPainter &m_painter;
    double m_pixelsPerMm;
    QPointF m_origin;
    QFont m_startFont;   // the painter's own, for the default face
    QColor m_startInk;   // the painter's pen colour, for the default style
    QColor m_ink;        // what lines, texts and fills are drawn in now
    double m_points = 10.0;
    ScaledFont m_font; // the current family at the sizes set, exact at any scale
};

} // namespace vernalith
