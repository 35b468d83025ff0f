#pragma once

#include <QStringView>

namespace vernalith {

// Reads the number at the start of a text, the way every field and cell is read as a number:
// leading blanks (space, tab, CR, LF) skipped, an optional sign, digits with at most one full
// stop (whatever the locale), and an exponent only when it is complete ("1e3" is 1000, "2e" and
// "2e+" are 2). Reading stops at the first other character, a blank included; no digit gives 0.
// Never fails: a magnitude beyond a double gives an infinity, which drawing reports.
double numericPrefix(QStringView text);

} // namespace vernalith
