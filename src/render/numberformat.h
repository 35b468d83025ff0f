#pragma once

#include <QString>

namespace vernalith {

// Formats `value` for a scale digit by a "Num Format" pattern.
//
// Pattern characters:
//   "0"  a digit that is always shown (leading and trailing zeros are kept);
//   "#"  a digit shown only when significant ("#" alone prints nothing for 0);
//   "."  the decimal point (the first one; any later one is a literal). It is printed only
//        when a decimal digit follows it, so "0.#" gives "5" for 5 and "5.5" for 5.5;
//   ","  between the first and the last digit of the integer part: groups the integer digits
//        by thousands ("#,##0" gives "1,234,567") and is not printed where it stands;
//   "E+0", "E-0", "e+0", "e-0" (an E or e, a sign and one or more "0"/"#"): an exponent part.
//        The number is printed as a mantissa times a power of ten: the mantissa has as many
//        integer digits as the places before it (at least one) and is printed by the pattern
//        before the E; then the E or e as written, the exponent's sign ("+" always shows it,
//        "-" only a minus) and its digits, padded with zeros to the number of "0"s; then the
//        rest of the pattern as text. "0.00E+00" gives "1.23E+03" for 1234.56;
//   ";"  separates sections, as spreadsheets have them: positive;negative;zero. A negative
//        value is printed by the second section without a minus sign of its own ("0;(0)"
//        gives "(5)" for -5); a value that rounds to zero by the first section's places is
//        printed by the third (by the first when there is none), so "+0;-0;0" gives "+3",
//        "-3" and "0". An empty section prints nothing; sections after the third are ignored;
//   anything else, including "%" and a "," elsewhere, is printed as it stands ("0 V", "0.0%";
//        "%" does not multiply by 100).
// Integer digits beyond the pattern's integer places are all printed, at the first integer
// place; with no integer place at all they go just before the decimal point. A pattern
// without any digit place prints only its literal text, all of it ("V." gives "V.").
//
// The value is rounded to the pattern's number of decimal places, half away from zero, on its
// decimal form to 15 significant digits (what a double holds reliably), so 2.675 with "0.00"
// gives "2.68" although the nearest double lies just below 2.675, and arithmetic noise such as
// 0.1 + 0.2 = 0.30000000000000004 does not show. Digits past the 15th are printed as zeros.
// A negative value gets a leading "-" (before any literal) unless it rounds to zero.
//
// The empty pattern gives the plain decimal form with at most 15 significant digits, no
// trailing zeros and no leading blank: 0.1 + 0.2 gives "0.3", 100 gives "100", -2.5 gives
// "-2.5". Magnitudes of 1e15 and above or below 1e-5, whose plain form would show digits that
// carry no information, use the exponent form "1E+20", "1.5E-07".
//
// Infinities and NaN give "inf", "-inf" and "nan" whatever the pattern.
QString formatNumber(double value, const QString &pattern);

} // namespace vernalith
