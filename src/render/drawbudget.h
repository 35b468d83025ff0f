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

// The most characters all the texts of one drawing may hold together. The item budget alone
// lets 4 million digits of a 10,000-character pattern through: hours of work and files of tens of
// gigabytes from a dial file of a megabyte.
inline constexpr qint64 kDrawTextBudget = 40'000'000;

// Items one data row of a table draws, counted from its cells alone without drawing: a
// tickmark or digit row of n divisions n + 1 (with a value list, its number of values), an arc of positive radius 1, a label with text 1.
// A row that cannot be drawn (a division count out of range, a number too large) counts 0: the
// drawing refuses it with its own message.
qint64 rowDrawItems(TableKind kind, const QStringList &cells);

// Items the whole card draws: outline, pivot cross, every row of every table, the bands (one
// sector each) and the holes (a circle and two strokes each). Cheap: it reads the counts, it does
// not lay anything out.
qint64 countDrawItems(const DialDesign &design);

// Characters one data row's texts come to, at most about: a digit row of n divisions n + 1
// times its pattern and the whole digits of its largest value, a label its text.
qint64 rowTextCharacters(TableKind kind, const QStringList &cells);

// Characters of all the texts the card draws, counted as rowTextCharacters does.
qint64 countTextCharacters(const DialDesign &design);

// An empty string when `design` is within both budgets and its texts within kMaxTextLength;
// otherwise what is wrong, for a person, naming the count and the limit (or the row).
QString drawBudgetProblem(const DialDesign &design);

} // namespace vernalith
