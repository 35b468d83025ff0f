#pragma once

#include "designtable.h"

#include <QChar>

#include <array>

namespace vernalith {

// Keyboard editing of a table's current cell and the row commands. One procedure serves all
// four tables; the window's per-table handlers only name the table.

enum class KeyResult {
    Changed, // the cell, the current cell or the row count changed
    Ignored, // the key does nothing in a table
    Refused, // the table is full: the user should hear a beep
};

// Character codes that the table reacts to besides printable characters.
inline constexpr char16_t kKeyCut = 24;       // Ctrl+X
inline constexpr char16_t kKeyEnter = 13;
inline constexpr char16_t kKeyBackspace = 8;

// True for the characters a cell may take from the keyboard: any but a control character (so no
// tab or line break) or a line or paragraph separator.
bool isCellCharacter(QChar c);

// Ctrl+X empties the current cell; a cell character is appended to it; Backspace drops its last
// character (both halves of a surrogate pair); Enter moves one column right, or from the last column appends an empty row at the
// bottom and moves to the first cell of the next row (refused once the table is full).
KeyResult tableKeyPress(DesignTable &table, QChar code);

// Appends an empty row; the current cell stays. Returns false (and does nothing) when the
// table already holds the most rows a dial file can keep.
bool addTableRow(DesignTable &table);

// Removes the current data row, or empties it (extra cells too) when it is the only one; does nothing while the
// header row is current.
void removeTableRow(DesignTable &table);

// Empties every table from the bottom up: each ends with one empty data row, current cell on
// row 1 in its last column.
void clearAllTables(const std::array<DesignTable *, 4> &tables);

} // namespace vernalith
