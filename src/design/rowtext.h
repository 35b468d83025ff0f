#pragma once

#include "designtable.h"

#include <QString>

namespace vernalith {

// Rows of a table as plain text, the way spreadsheets exchange them: one line per row, cells
// separated by tabs.

// Grid rows `firstRow` .. `lastRow` (both >= 1, clamped to the data rows) as tab-separated
// lines, each ending in "\n". Empty when no data row is in the range.
QString rowsAsText(const DesignTable &table, int firstRow, int lastRow);

struct PasteOutcome {
    enum Result {
        Pasted,  // every line became a row
        Refused, // a character typing refuses: nothing was inserted
        Full,    // the table filled up: the lines up to that point were inserted
    };
    Result result = Pasted;
    int inserted = 0;
};

// Inserts the lines of `text` (split at "\r\n", "\n" or "\r"; a final line break ends the last
// line rather than starting an empty one) as rows after the current row, or first when the
// header row is current. Each line is split at tabs like a dial file row: surplus cells are
// dropped, missing ones left empty. A character that typing refuses (see isCellCharacter(); tabs
// separate cells) anywhere in the text refuses the whole paste. Stops once the table holds the
// most rows a dial file can keep. The current cell moves to the first column of the last
// inserted row.
PasteOutcome pasteRows(DesignTable &table, const QString &text);

} // namespace vernalith
