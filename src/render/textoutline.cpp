#include "textoutline.h"

#include <QTransform>

namespace vernalith {

namespace {

// The text laid out in the reference font, baseline an ascent below the origin, as the painter
// draws it before the surface scales it down.
QPainterPath referenceOutline(const ScaledFont &font, const QString &text)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addText(QPointF(0, font.referenceAscent()), font.referenceFont(), text);
    return path;
}

QTransform toCard(const ScaledFont &font, CardPoint topLeft)
{
    QTransform transform;
    transform.translate(topLeft.x, topLeft.y);
    transform.scale(font.scale(), font.scale());
    return transform;
}

} // namespace

QPainterPath textOutline(const ScaledFont &font, CardPoint topLeft, const QString &text)
{
    return toCard(font, topLeft).map(referenceOutline(font, text));
}

QList<QPolygonF> textOutlinePolygons(const ScaledFont &font, CardPoint topLeft, const QString &text)
{
    // Qt flattens curves to within half a unit of the coordinates it is given: flattened in
    // hundredths of a millimetre, the outline stays within 5 micrometres at every size.
    constexpr double kUnitsPerMm = 100.0;
    QTransform toUnits;
    toUnits.scale(font.scale() * kUnitsPerMm, font.scale() * kUnitsPerMm);
    QList<QPolygonF> polygons = toUnits.map(referenceOutline(font, text)).toSubpathPolygons();
    QTransform toCardMm;
    toCardMm.translate(topLeft.x, topLeft.y);
    toCardMm.scale(1 / kUnitsPerMm, 1 / kUnitsPerMm);
    for (QPolygonF &polygon : polygons)
        polygon = toCardMm.map(polygon);
    return polygons;
}

} // namespace vernalith
