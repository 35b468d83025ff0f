#pragma once

#include <QPointF>

class QPainter;

namespace vernalith {

// A correction of the printed size: the card is drawn `x` times as wide and `y` times as high,
// about its own top-left corner, so that a printer that prints too large or too small gives a
// card of the right size. 1, 1 is no correction.
struct CardScale {
    double x = 1.0;
    double y = 1.0;

    bool isIdentity() const { return x == 1.0 && y == 1.0; }
};

// The smallest and largest factors a correction may hold. A printer that is further off is not
// drifting: its driver is fitting or scaling the page, which a factor must not hide.
inline constexpr double kMinCardScale = 0.95;
inline constexpr double kMaxCardScale = 1.05;

// True when both factors lie in kMinCardScale .. kMaxCardScale (a NaN does not).
bool isUsableCardScale(CardScale scale);

// Sets `painter`'s world transform to scale by `scale` about the card's top-left corner, which
// lies 10 mm right of and below `surfaceOrigin` (device pixels) at `dotsPerInch`. A
// PainterSurface made afterwards on the same painter, origin and resolution then draws the card
// scaled; everything else about it is unchanged. The painter must have no transform before.
void applyCardScale(QPainter &painter, CardScale scale, double dotsPerInch, QPointF surfaceOrigin = QPointF());

} // namespace vernalith
