#pragma once

#include "design/dialdesign.h"

#include <QRect>
#include <QString>

class QPainter;

namespace vernalith {

// Draws the card of `design` at true size on a screen painter whose origin is the window's
// client corner (the card's origin lies 10 mm right of and below it). When the design cannot be
// drawn, what was drawn stays and the reason is written in red inside `messageArea`; it is
// also returned (empty when the drawing succeeded).
QString paintPreview(QPainter &painter, const DialDesign &design, double logicalDpi, const QRect &messageArea);

} // namespace vernalith
