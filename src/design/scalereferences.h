#pragma once

#include <QString>
#include <QVector>

namespace vernalith {

// The scale a row's "Scale" cell names: its number (1 .. scaleCount) when the cell holds a
// whole number in that range, blanks around it allowed; 0 for anything else (empty, a word,
// a number of a scale that does not exist).
int scaleNumber(const QString &cell, int scaleCount);

// A "Scale" cell after the scale list was edited. `newNumberOfOld[k - 1]` is the number that
// the scale formerly numbered k now has, or 0 when it was removed. A reference to a removed
// scale becomes empty (the row draws without a scale again); one that named no scale before
// the edit is kept as it was typed, so that drawing still reports it.
QString renumberedScaleCell(const QString &cell, const QVector<int> &newNumberOfOld);

} // namespace vernalith
