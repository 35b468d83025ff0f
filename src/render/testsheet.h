#pragma once

#include "drawingsurface.h"

#include <QString>

namespace vernalith {

// The rulers of the printer test sheet, in millimetres.
inline constexpr double kTestSheetRulerXMm = 150.0;
inline constexpr double kTestSheetRulerYMm = 200.0;

// Where the test sheet's parts lie, in card millimetres (the surface's card origin is the
// sheet's origin).
struct TestSheetLayout {
    CardPoint rulerCorner;   // the 0 mark of both rulers
    CardPoint cardCorner;    // the card outline's top-left corner
    double cardRoomXMm = 0;  // the largest card outline the sheet has room for
    double cardRoomYMm = 0;
};
TestSheetLayout testSheetLayout();

// Draws the printer test sheet at nominal size: a horizontal ruler 150 mm long and a vertical one
// 200 mm long from a shared 0 mark, each with a tick every millimetre, longer ones every 5 and
// 10 mm and the centimetres numbered (the shared 0 once); the card's outline of `cardWidthMm` x `cardHeightMm` (left
// out, with a note saying so, when it is not a positive size that fits); a title naming
// `printerName`; and how to measure. Everything lies within 175 x 240 mm from the card origin,
// so the sheet fits A4 and US Letter with a printable area's usual margins. Never throws.
void drawTestSheet(DrawingSurface &surface, const QString &printerName, double cardWidthMm, double cardHeightMm);

} // namespace vernalith
