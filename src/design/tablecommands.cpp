#include "tablecommands.h"

namespace vernalith {

bool isCellCharacter(QChar c)
{
    // Halves of a surrogate pair arrive one key code at a time and are taken like any other.
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return true;
    }
}

KeyResult tableKeyPress(DesignTable &table, QChar code)
{
    if (code == QChar(kKeyCut)) {
        table.setText(QString());
        return KeyResult::Changed;
    }
    if (isCellCharacter(code)) {
        table.setText(table.text() + code);
        return KeyResult::Changed;
    }
    if (code == QChar(kKeyEnter)) {
        if (table.col() < table.lastColumn()) {
            table.setCol(table.col() + 1);
            return KeyResult::Changed;
        }
        if (table.dataRowCount() >= kMaxDataRows)
            return KeyResult::Refused;
        table.appendEmptyRow();
        table.setRow(table.row() + 1);
        table.setCol(0);
        return KeyResult::Changed;
    }
    if (code == QChar(kKeyBackspace)) {
        const QString text = table.text();
        // A character beyond the 16-bit range goes as a whole, never half of it.
        const bool pair = text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate();
        if (!text.isEmpty())
            table.setText(text.left(text.size() - (pair ? 2 : 1)));
        return KeyResult::Changed;
    }
    return KeyResult::Ignored;
}

bool addTableRow(DesignTable &table)
{
    if (table.dataRowCount() >= kMaxDataRows)
        return false;
    table.appendEmptyRow();
    return true;
}

void removeTableRow(DesignTable &table)
{
    if (table.row() <= 0 || table.rows() <= 1)
        return;
    if (table.rows() == 2) {
        for (int k = 0; k <= table.lastColumn(); ++k) {
            table.setCol(k);
            table.setText(QString());
        }
        // A removed row takes its scale and value list with it.
        for (int k = table.columns(); k < table.storedColumns(); ++k)
            table.setCell(1, k, QString());
        return;
    }
    table.removeItem(table.row());
}

void clearAllTables(const std::array<DesignTable *, 4> &tables)
{
    for (DesignTable *table : tables) {
        for (int i = table->rows() - 1; i >= 1; --i) {
            table->setRow(i);
            removeTableRow(*table);
        }
    }
}

} // namespace vernalith
