#pragma once

#include "design/dialdesign.h"
#include "drawingsurface.h"

#include <stdexcept>

namespace vernalith {

// The largest division count a row may have: division and row counters of dial files are
// 16-bit, and a count of n walks n + 1 divisions.
inline constexpr int kMaxDivisions = 32766;

// The drawing met a value it cannot draw: a "Divisions" value outside 0..32766 for a row that
// would draw, a table over 32766 rows, or a number too large to compute with. what() names the
// place and the problem for a person, e.g.
// "Scale Digits, row 3: Divisions 40000 is too large (at most 32766)".
class DrawError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Draws the whole card of `design` on `surface`: bands, outline, pivot cross, arcs, digits,
// tickmarks, labels, holes, in that order. Does not clear the surface. On the first bad value it throws DrawError;
// what was drawn before stays drawn. A design over the drawing budget (see drawbudget.h: too
// many items, or a text too long) throws before anything is drawn.
//
// Every number is read from its text with numericPrefix(). Rules beyond the plain drawing:
// - "Divisions" is rounded half to even; a count of 0 or below draws nothing (however negative),
//   one above 32766 throws. A digits row sets its font size even when it draws nothing.
// - A font size of 0 or below stands for 10 points.
// - Arcs of radius 0 or below, and arcs whose start and end angles are equal (both needle tips
//   on one ray), are not passed to the surface. Control characters are left out of every text;
//   texts that are then empty (an empty label, a digit that its pattern prints as nothing) are
//   not passed either; a label still sets its font size.
// - Every number read must be finite, even in a row that then draws nothing: a text such as
//   "1e400" throws, naming the field ("Card Width: ...") or the table, row and column
//   ("Scale Arcs, row 2: Radius ..."). So does any arithmetic step whose result is not finite.
// - A table with more than 32766 rows throws before any of its rows is drawn.
// - A tickmarks or digits row that names a scale or lists values (see RowScale) puts each reading
//   at the angle of its deflection; a digits row prints an infinite reading as "∞". A scale
//   number that does not exist, a broken law, a bad list or a reading outside its range throws,
//   naming table, row and fault. Rows with neither draw exactly as before scales existed.
// - Styles: a row's Width and Colour (arcs, tickmarks) or Colour and Font (digits, labels) reach
//   the surface through setStyle and setFontFamily, only when they differ from what was last set;
//   a bad cell throws like a bad number. A family that is not installed draws in the default
//   face (missingFontFamilies() tells which). Layers: the card edge Outline; arcs, tickmarks and
//   the pivot cross Marks; digits and labels Text; filled bands Bands; cut bands and holes Cut.
//   The surface is left in its starting layer, style and face.
// - A band is the ring sector between its radii from the angle of From to the angle of To: the
//   readings' deflections on its scale, or fractions of the sweep 0 ... 1 without one. Colour
//   "cut" (any case) draws its outline, unfilled, as a cut line. An unknown scale, a reading
//   outside the range, a radius of 0 or below, Inner Radius not below Outer Radius or a bad colour
//   throws, naming "Bands", the row and the fault. From equal to To draws nothing.
// - A hole is a circle of its Diameter (above 0, or it throws) around (X-Pos, Y-Pos) and a
//   centre cross of arms 1 mm long, or a third of the radius when that is shorter.
// Errors thrown by the surface itself pass through unchanged.
void drawDial(const DialDesign &design, DrawingSurface &surface);

} // namespace vernalith
