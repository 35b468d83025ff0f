#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

#include <optional>

namespace vernalith {

// The most values one tickmarks or digits row may list: the dial format's counters are 16-bit.
inline constexpr int kMaxListValues = 32767;

// Reads one number as a scale or a value list writes it: the C locale ("-3", "0.5", "1e3"),
// or "inf" / "-inf" in any case, blanks around it allowed. Anything else, NaN, and a finite
// text too large for a double give nothing.
std::optional<double> parseListNumber(QStringView text);

// Parses a value list: tokens separated by commas and/or blanks, each a number as
// parseListNumber() reads it or a range "start:stop:step" (finite numbers, step > 0) giving
// start, start +- step, ... towards stop, stop included when reached within 1e-9 of the step.
// Values keep the order written. Empty (or blank) text is no list and gives an empty vector.
// On a fault (a token that is neither, an empty entry between commas, a bad range, more than
// kMaxListValues values) it returns an empty vector and sets *error to a sentence for a person
// naming the token; otherwise *error is emptied. `error` may be null.
QVector<double> parseValueList(const QString &text, QString *error);

} // namespace vernalith
