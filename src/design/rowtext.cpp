#include "rowtext.h"

#include "tablecommands.h"

#include <QRegularExpression>

#include <algorithm>

namespace vernalith {

QString rowsAsText(const DesignTable &table, int firstRow, int lastRow)
{
    firstRow = std::max(firstRow, 1);
    lastRow = std::min(lastRow, table.rows() - 1);
    QString text;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < table.columns(); ++col) {
            if (col > 0)
                text += QLatin1Char('\t');
            text += table.cell(row, col);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

PasteOutcome pasteRows(DesignTable &table, const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    PasteOutcome outcome;
    for (const QString &line : std::as_const(lines)) {
        for (const QChar c : line) {
            if (c != QLatin1Char('\t') && !isCellCharacter(c)) {
                outcome.result = PasteOutcome::Refused;
                return outcome;
            }
        }
    }

    int at = std::max(table.row(), 0) + 1;
    for (const QString &line : std::as_const(lines)) {
        if (table.dataRowCount() >= kMaxDataRows) {
            outcome.result = PasteOutcome::Full;
            break;
        }
        table.addItem(line, at);
        ++at;
        ++outcome.inserted;
    }
    if (outcome.inserted > 0) {
        table.setCol(0);
        table.setRow(at - 1);
    }
    return outcome;
}

} // namespace vernalith
