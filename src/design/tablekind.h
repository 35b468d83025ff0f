#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace vernalith {

// The four design tables, in the order of the dial file's sections.
enum class TableKind { ScaleArcs, ScaleTickmarks, ScaleDigits, FaceLabels };

inline constexpr std::array<TableKind, 4> kAllTables = {
    TableKind::ScaleArcs, TableKind::ScaleTickmarks, TableKind::ScaleDigits, TableKind::FaceLabels};

// Row and division counters of the dial format are 16-bit; 32766 is the most that
// every walk over a table (drawing, saving, opening) can handle.
inline constexpr int kMaxDataRows = 32766;

struct TableInfo {
    const char *controlName;   // "grdScaleArcs"
    const char *caption;       // "Scale Arcs", as a person names the table
    const char *sectionHeader; // "[Arcs]"
    QStringList titles;        // header cells, one per column
    // Cells a row keeps after its columns, in file order; not shown as columns. Empty = not set.
    QStringList extraTitles;
    std::array<int, 6> widthsTwips; // 0 = the view's default width
};

const TableInfo &tableInfo(TableKind kind);
int columnCount(TableKind kind);
int extraColumnCount(TableKind kind);
// Every cell a row holds: the columns, then the extra cells.
int storedColumnCount(TableKind kind);
// The cell index of the extra cell named `title` ("Scale" of the tickmarks is 3), or -1 when the
// table has no such cell.
int extraColumn(TableKind kind, const QString &title);
inline int tableIndex(TableKind kind) { return static_cast<int>(kind); }

} // namespace vernalith
