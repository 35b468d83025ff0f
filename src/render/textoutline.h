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
// without curves. The curves are flattened at the font's reference size, to about 1/200 of its
// reference em, before they are scaled to the card: a 1000-pixel reference gives steps under a
// micrometre at ordinary sizes.
QList<QPolygonF> textOutlinePolygons(const ScaledFont &font, CardPoint topLeft, const QString &text);

} // namespace vernalith
