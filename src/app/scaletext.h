#pragma once

#include "design/dialdesign.h"

#include <QString>

namespace vernalith {

// How a scale is named to a person: "2: db, -20 ... 3" (number, law, range); a row without a law
// shows "(no law)". `number` is 1-based.
QString scaleCaption(int number, const QStringList &scaleRow);

// The properties of a row, one per line, for its tooltip: "Scale 2: db, -20 ... 3" (or "Scale 5:
// no such scale"), "Values: ...", "Width: 0.5 mm", "Colour: #FF0000", "Font: ...", as far as the
// row has them. Empty when it has none.
QString rowPropertiesSummary(TableKind kind, const QStringList &row, const TableRows &scales);

} // namespace vernalith
