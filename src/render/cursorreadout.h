#pragma once

#include "design/dialdesign.h"
#include "needlegeometry.h"

#include <QString>
#include <QStringList>

namespace vernalith {

// What the preview tells about the card point under the mouse.
struct CursorReadout {
    double xMm = 0, yMm = 0; // from the card's top-left corner
    bool hasPolar = false;   // the pivot is readable, so radius and angle mean something
    double radiusMm = 0;     // from the pivot
    // Degrees in [0, 360) at the pivot, as the needle's angles are measured: 0 towards the
    // card's right edge, growing counter-clockwise as the card is seen (90 is straight up).
    double angleDeg = 0;
    bool hasValue = false; // a scale value is shown
    double value = 0;      // the scale's reading at that angle (the law's inverse); may be inf

    // One line for the preview, e.g. "X 23.40  Y 12.10 mm  r 21.30 mm  58.2°  value 0.4213".
    QString text() const;
};

// The readout at `card` (mm from the card's top-left corner). `row` is a full-width row of the
// tickmarks or digits table (or empty); the value is given when the row names a scale (its
// "Scale" cell) that exists and whose law is sound, and the angle lies within the needle's
// sweep, ends included. Dimensions are read as the renderer reads them; one that is not finite
// leaves the polar part out. Never throws.
CursorReadout cursorReadout(const DialDesign &design, CardPoint card, TableKind kind, const QStringList &row);

} // namespace vernalith
