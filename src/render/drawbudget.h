#pragma once

#include "design/dialdesign.h"

#include <QString>
#include <QStringList>

namespace vernalith {

// The most items (lines, arcs, texts) one drawing of a card may hold. Every design the bench
// program draws fits (its largest, four full tables, draws about 1.9 million); beyond this a
// legal file could make exports of gigabytes and hours of work.
inline constexpr qint64 kDrawItemBudget = 4'000'000;

// The longest text a label or a digit pattern may hold, in characters.
inline constexpr qsizetype kMaxTextLength = 10'000;

// Items one data row of a table draws, counted from its cells alone without drawing: a
// tickmark or digit row of n divisions n + 1 (with a value list, its number of values), an arc of positive radius 1, a label with text 1.
// A row that cannot be drawn (a division count out of range, a number too large) counts 0: the
// drawing refuses it with its own message.
qint64 rowDrawItems(TableKind kind, const QStringList &cells);

// Items the whole card draws: outline, pivot cross and every row of every table. Cheap: it
// reads the counts, it does not lay anything out.
qint64 countDrawItems(const DialDesign &design);

// An empty string when `design` is within the budget and its texts within kMaxTextLength;
// otherwise what is wrong, for a person, naming the count and the limit (or the row).
QString drawBudgetProblem(const DialDesign &design);

} // namespace vernalith
