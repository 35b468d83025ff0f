#pragma once

#include "design/dialdesign.h"

#include <QString>
#include <QStringList>

namespace vernalith {

// The style cells of a row (Width, Colour, Font) as a person types them, checked and normalised.
// Each parser accepts an empty cell as "not set" and, on a bad cell, returns false with a reason
// a person can act on; the out-parameters are then left untouched. Null out-pointers are allowed.

// Empty -> true and *normalised empty (black). "#RRGGBB" or "#RGB" in any case, or an SVG colour
// name in any case -> true and *normalised "#RRGGBB" (upper case). Surrounding blanks are ignored.
// Anything else -> false, e.g. Colour "foo" is not #RRGGBB or a colour name.
bool parseColourCell(const QString &text, QString *normalised, QString *error);

// The line widths a card can carry, in millimetres.
inline constexpr double kMinLineWidthMm = 0.05;
inline constexpr double kMaxLineWidthMm = 5.0;

// Empty -> true and *mm = 0 (the surface's own thin pen). A plain decimal number (a full stop as
// the point, an optional exponent) from 0.05 to 5 -> true and *mm. Anything else -> false, e.g.
// Width 7 is outside 0.05 ... 5 mm.
bool parseWidthCell(const QString &text, double *mm, QString *error);

// The face every text uses when its row names none, or names one that is not installed.
QString defaultFontFamily(); // "DejaVu Sans"

// Empty -> the default face, *missing false. An installed family (compared without regard to
// case) -> that family as the font database spells it, *missing false. Anything else -> the
// default face, *missing true. Needs a QGuiApplication.
QString fontFamilyOrDefault(const QString &family, bool *missing);

// The families named in the Font cells of the digits and labels that are not installed, sorted,
// each once: the texts that use them are drawn in the default face instead.
QStringList missingFontFamilies(const DialDesign &design);

// How a fallback is told to a person: Font "X" is not installed; DejaVu Sans is used instead
QString fontFallbackMessage(const QString &family);

} // namespace vernalith
