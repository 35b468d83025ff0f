#pragma once

#include "tablekind.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace vernalith {

// The eight dimension fields, in the order the renderer reads them and the dial file stores them.
enum class Dimension { CardWidth, CardHeight, NeedlePivotX, NeedlePivotY, ZeroPosX, ZeroPosY, MaxPosX, MaxPosY };
inline constexpr int kDimensionCount = 8;

const char *dimensionFieldName(Dimension d); // "txtCardWidth"
QString dimensionTitle(Dimension d);          // "Card Width"

// A table's data rows; every row holds exactly columnCount(kind) cells.
using TableRows = QVector<QStringList>;
using DimensionTexts = std::array<QString, kDimensionCount>;

QStringList emptyRow(TableKind kind);
// One row of empty cells: what an emptied table holds.
TableRows emptyTable(TableKind kind);
// Splits a tab-separated item into a row: surplus pieces are dropped, missing ones left empty.
QStringList splitItem(TableKind kind, const QString &item);

// One complete design as plain text values. Copying is cheap (implicitly shared Qt containers),
// so a snapshot can be taken for every drawing.
struct DialDesign {
    DimensionTexts dimensions;
    std::array<TableRows, 4> tables;

    // "52", "45", "26", "33", "5", "12", "47", "12" and one empty row per table.
    static DialDesign startup();

    const QString &dimension(Dimension d) const { return dimensions[static_cast<size_t>(d)]; }
    QString &dimension(Dimension d) { return dimensions[static_cast<size_t>(d)]; }
    const TableRows &table(TableKind k) const { return tables[static_cast<size_t>(tableIndex(k))]; }
    TableRows &table(TableKind k) { return tables[static_cast<size_t>(tableIndex(k))]; }

    bool operator==(const DialDesign &other) const
    {
        return dimensions == other.dimensions && tables == other.tables;
    }
    bool operator!=(const DialDesign &other) const { return !(*this == other); }
};

} // namespace vernalith
