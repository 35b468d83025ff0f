#pragma once

#include "needlegeometry.h"

#include <QColor>
#include <QString>

namespace vernalith {

// What the dial renderer draws on. Every coordinate is in card millimetres: origin at the
// card's top-left corner, X to the right, Y downwards. An implementation places the card's
// origin 10 mm right of and below its own top-left corner (on a printer, the corner of the
// printable area) and draws at true size.
// The layers a maker's export separates (DXF layers, SVG groups); the renderer names the layer
// before drawing each kind of item.
enum class DrawLayer { Outline, Cut, Marks, Text, Bands };

// The pen of lines, boxes, arcs, circles and sector outlines, and the colour of texts and filled
// sectors. A width of 0 is the surface's own thin pen (what every line had before styles).
struct DrawStyle {
    QColor colour = QColor(0, 0, 0);
    double widthMm = 0;

    bool operator==(const DrawStyle &o) const { return colour == o.colour && widthMm == o.widthMm; }
    bool operator!=(const DrawStyle &o) const { return !(*this == o); }
};

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

    // Styles, layers and the shapes that came with them. Until told otherwise a surface draws in
    // the Marks layer, black, with its own thin pen, in DejaVu Sans.
    virtual void setLayer(DrawLayer layer) = 0;
    virtual void setStyle(const DrawStyle &style) = 0;
    // The font family of the texts drawn from now on; empty = DejaVu Sans. The renderer passes
    // only families that are installed (it falls back itself and reports the fallback).
    virtual void setFontFamily(const QString &family) = 0;
    // The ring sector between radii `inner` and `outer` around `centre`, from `startAngle`
    // counter-clockwise to `endAngle` (as arc()): filled in the style's colour, or, when `filled`
    // is false, only its outline (a cut line).
    virtual void sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle,
                        bool filled) = 0;
    // The outline of the circle of `radius` around `centre`.
    virtual void circle(CardPoint centre, double radius) = 0;
};

} // namespace vernalith
