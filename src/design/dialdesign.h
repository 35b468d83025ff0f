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

// A table's data rows; every row holds storedColumnCount(kind) cells: the columns, then the extra
// cells. Readers take cells with value(), so a shorter row (one built by hand) reads as one
// whose missing cells are empty.
using TableRows = QVector<QStringList>;
using DimensionTexts = std::array<QString, kDimensionCount>;

// The cells of a scale row, in file order. Law is one of scaleLawNames(); Points reads
// "v=d; v=d; ...". Scales are referred to by number, 1-based, in the rows' "Scale" cells.
enum class ScaleColumn { Law, Min, Max, Parameter, Points };
inline constexpr int kScaleColumnCount = 5;
QStringList scaleColumnTitles(); // "Law", "Min", "Max", "Parameter", "Points"

// The cells of a band row, in file order. Scale is a scale number or empty (From and To are then
// fractions of the sweep, 0 ... 1); Colour is #RRGGBB, an SVG colour name, "cut" or empty (black).
enum class BandColumn { Scale, From, To, InnerRadius, OuterRadius, Colour };
inline constexpr int kBandColumnCount = 6;
QStringList bandColumnTitles(); // "Scale", "From", "To", "Inner Radius", "Outer Radius", "Colour"

// The cells of a hole row, in file order: centre and diameter in card millimetres.
enum class HoleColumn { XPos, YPos, Diameter };
inline constexpr int kHoleColumnCount = 3;
QStringList holeColumnTitles(); // "X-Pos", "Y-Pos", "Diameter"

// The cells of the reference image's one row, in file order. Path is the image file (absolute in
// memory); Mode is "dpi" or "points". Dpi mode: Dpi and the image pixel (CornerX, CornerY) that is
// the card's top-left corner. Points mode: the image pixels of the needle pivot and the tips at
// zero and at full scale. Pixel coordinates are of the image as displayed (EXIF orientation
// applied). Opacity is a percentage, 0 ... 100; Shown is "1" or "0".
enum class ReferenceColumn { Path, Mode, Dpi, CornerX, CornerY, PivotX, PivotY, ZeroX, ZeroY, MaxX, MaxY, Opacity, Shown };
inline constexpr int kReferenceColumnCount = 13;

// A full-width row of empty cells.
QStringList emptyRow(TableKind kind);
// One row of empty cells: what an emptied table holds.
TableRows emptyTable(TableKind kind);
// Splits a tab-separated item into the visible columns of a full-width row: surplus pieces are
// dropped, missing ones and the extra cells left empty.
QStringList splitItem(TableKind kind, const QString &item);
// Splits an item into `cellCount` cells, the same way, then adds empty cells up to `paddedTo`.
QStringList splitCells(const QString &item, int cellCount, int paddedTo = 0);
// Equal rows, a missing cell counting as an empty one.
bool sameRows(const TableRows &a, const TableRows &b);

// One complete design as plain text values. Copying is cheap (implicitly shared Qt containers),
// so a snapshot can be taken for every drawing.
struct DialDesign {
    DimensionTexts dimensions;
    std::array<TableRows, 4> tables;
    TableRows scales; // kScaleColumnCount cells each; empty = no scales
    TableRows bands;  // kBandColumnCount cells each; empty = no bands
    TableRows holes;  // kHoleColumnCount cells each; empty = no holes
    QStringList reference; // kReferenceColumnCount cells; empty = no reference image

    // "52", "45", "26", "33", "5", "12", "47", "12", one empty row per table and no scales.
    static DialDesign startup();

    const QString &dimension(Dimension d) const { return dimensions[static_cast<size_t>(d)]; }
    QString &dimension(Dimension d) { return dimensions[static_cast<size_t>(d)]; }
    const TableRows &table(TableKind k) const { return tables[static_cast<size_t>(tableIndex(k))]; }
    TableRows &table(TableKind k) { return tables[static_cast<size_t>(tableIndex(k))]; }

    bool operator==(const DialDesign &other) const;
    bool operator!=(const DialDesign &other) const { return !(*this == other); }
};

} // namespace vernalith
