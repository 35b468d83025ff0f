#pragma once

#include "rowstabledialog.h"

namespace vernalith {

// Why a hole row cannot be drawn, for a person; empty when it can: X-Pos and Y-Pos are numbers
// (card millimetres), Diameter a number above 0.
QString holeProblem(const QStringList &hole);

// Design > Holes...: the holes to cut in the card (screws, the pivot) as a table of X-Pos, Y-Pos
// and Diameter. A hole that cannot be drawn blocks OK. F1 and Help open the help page on style,
// bands and holes. The caller applies holes() when it is accepted.
class HolesDialog : public RowsTableDialog
{
    Q_OBJECT

public:
    explicit HolesDialog(const TableRows &holes, QWidget *parent = nullptr);

    // The rows with blanks around cells dropped.
    TableRows holes() const;
};

} // namespace vernalith
