#pragma once

#include <QRect>
#include <QtMath>

namespace vernalith {

// Control positions and sizes are kept in twips (1/1440 inch), as the window was laid out; they
// become pixels at the screen's logical resolution, so the window keeps its proportions on any
// screen and its drawing stays true to size.
inline int twipsToPixels(int twips, double logicalDpi)
{
    return qRound(twips * logicalDpi / 1440.0);
}

inline QRect twipsRect(int left, int top, int width, int height, double logicalDpi)
{
    return QRect(twipsToPixels(left, logicalDpi), twipsToPixels(top, logicalDpi), twipsToPixels(width, logicalDpi),
                 twipsToPixels(height, logicalDpi));
}

} // namespace vernalith
