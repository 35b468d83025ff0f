#pragma once

#include "needlegeometry.h"
#include "scaledfont.h"

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

namespace vernalith {

// The filled outline of `text` in `font` at its current size, placed as every surface draws the
// text: the top-left corner of its box at `topLeft`, card millimetres. Curves stay curves.
QPainterPath textOutline(const ScaledFont &font, CardPoint topLeft, const QString &text);

// The same outline as closed polygons (one per contour, filled by the odd-even rule) for formats
// without curves, the curves flattened to within 5 micrometres: far finer than any laser's spot,
// and few enough points to keep a file of many digits in bounds.
QList<QPolygonF> textOutlinePolygons(const ScaledFont &font, CardPoint topLeft, const QString &text);

} // namespace vernalith
