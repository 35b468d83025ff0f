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
// painter's font family at the sizes set with setFontSize(), exactly that many points high on
// every device. The painter's state is restored when the surface is destroyed.
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

private:
    QPainter &m_painter;
    double m_pixelsPerMm;
    QPointF m_origin;
    ScaledFont m_font; // the painter's family at the sizes set, exact at any scale
};

} // namespace vernalith
