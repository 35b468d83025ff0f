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
    // Flattened before scaling: Qt flattens to half a unit of the coordinates it is given.
    QList<QPolygonF> polygons = referenceOutline(font, text).toSubpathPolygons();
    const QTransform transform = toCard(font, topLeft);
    for (QPolygonF &polygon : polygons)
        polygon = transform.map(polygon);
    return polygons;
}

} // namespace vernalith
