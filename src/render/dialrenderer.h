#pragma once

#include "design/dialdesign.h"
#include "drawingsurface.h"

#include <stdexcept>

namespace vernalith {

// The drawing met a value it cannot draw: a "Divisions" value outside 0..32766 for a row that
// would draw, a table over 32766 rows, or a number too large to compute with. what() names the
// place and the problem for a person, e.g.
// "Scale Digits, row 3: Divisions 40000 is too large (at most 32766)".
class DrawError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Draws the whole card of `design` on `surface`: outline, pivot cross, arcs, digits, tickmarks,
// labels, in that order. Does not clear the surface. On the first bad value it throws DrawError;
// what was drawn before stays drawn.
void drawDial(const DialDesign &design, DrawingSurface &surface);

} // namespace vernalith
