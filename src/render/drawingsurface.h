#pragma once

#include "needlegeometry.h"

#include <QString>

namespace vernalith {

// What the dial renderer draws on. Every coordinate is in card millimetres: origin at the
// card's top-left corner, X to the right, Y downwards. An implementation places the card's
// origin 10 mm right of and below its own top-left corner (on a printer, the corner of the
// printable area) and draws at true size.
class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    // Erases everything drawn so far (the preview clears before each drawing).
    virtual void clear() = 0;
    virtual void line(CardPoint from, CardPoint to) = 0;
    // The outline, not filled, of the axis-parallel rectangle with these opposite corners.
    virtual void box(CardPoint corner1, CardPoint corner2) = 0;
    // The arc of the circle around `centre` from `startAngle` counter-clockwise (as the card is
    // seen) to `endAngle`, radians as the needle geometry gives them. A radius of 0 or below and
    // equal angles draw nothing and are not errors.
    virtual void arc(CardPoint centre, double radius, double startAngle, double endAngle) = 0;
    // Font size for the text drawn from now on, in points (1/72 inch), as given; > 0.
    virtual void setFontSize(double points) = 0;
    // Width and line height, in millimetres, that `text` takes in the current font.
    virtual double textWidth(const QString &text) = 0;
    virtual double textHeight(const QString &text) = 0;
    // Draws `text` with the top-left corner of its box at `topLeft`.
    virtual void text(CardPoint topLeft, const QString &text) = 0;
};

} // namespace vernalith
