#pragma once

#include "rowstabledialog.h"

namespace vernalith {

// Why a band row cannot be drawn, for a person; empty when it can. Scale is empty or the number
// of one of `scales`; From and To are readings on that scale (fractions of the sweep, 0 ... 1,
// without one); both radii are above 0, the inner one below the outer; Colour is "cut" (any
// case) or what parseColourCell() accepts.
QString bandProblem(const QStringList &band, const TableRows &scales);

// Design > Bands...: the design's coloured bands (ring sectors drawn under everything else) as a
// table: Scale (chosen from the design's scales), From, To, Inner Radius, Outer Radius, Colour
// (typed, or picked with Colour...). A band that cannot be drawn blocks OK. F1 and Help open the
// help page on style, bands and holes. The caller applies bands() when it is accepted.
class BandsDialog : public RowsTableDialog
{
    Q_OBJECT

public:
    BandsDialog(const TableRows &bands, const TableRows &scales, QWidget *parent = nullptr);

    // The rows with each colour written as #RRGGBB (or "cut") and blanks around cells dropped.
    TableRows bands() const;

private:
    void pickColour();
};

} // namespace vernalith
