#include "tablekind.h"

namespace vernalith {

const TableInfo &tableInfo(TableKind kind)
{
    static const std::array<TableInfo, 4> infos = {{
        {"grdScaleArcs", "Scale Arcs", "[Arcs]", {QStringLiteral("Radius")},
         {QStringLiteral("Width"), QStringLiteral("Colour")}, {0, 0, 0, 0, 0, 0}},
        {"grdScaleTickmarks", "Scale Tickmarks", "[Tickmarks]",
         {QStringLiteral("Divisions"), QStringLiteral("Outer Radius"), QStringLiteral("Inner Radius")},
         {QStringLiteral("Scale"), QStringLiteral("Values"), QStringLiteral("Width"), QStringLiteral("Colour")},
         {900, 1100, 1000, 0, 0, 0}},
        {"grdScaleDigits", "Scale Digits", "[Digits]",
         {QStringLiteral("Divisions"), QStringLiteral("Min Val"), QStringLiteral("Max Val"),
          QStringLiteral("Num Format"), QStringLiteral("Radius"), QStringLiteral("Fontsize")},
         {QStringLiteral("Scale"), QStringLiteral("Values"), QStringLiteral("Colour"), QStringLiteral("Font")},
         {750, 700, 700, 0, 700, 0}},
        {"grdFaceLabels", "Face Labels", "[Labels]",
         {QStringLiteral("X-Pos"), QStringLiteral("Y-Pos"), QStringLiteral("Text"), QStringLiteral("Fontsize")},
         {QStringLiteral("Colour"), QStringLiteral("Font")},
         {700, 700, 2700, 700, 0, 0}},
    }};
    return infos[static_cast<size_t>(tableIndex(kind))];
}

int columnCount(TableKind kind)
{
    return static_cast<int>(tableInfo(kind).titles.size());
}

int extraColumnCount(TableKind kind)
{
    return static_cast<int>(tableInfo(kind).extraTitles.size());
}

int storedColumnCount(TableKind kind)
{
    return columnCount(kind) + extraColumnCount(kind);
}

int extraColumn(TableKind kind, const QString &title)
{
    const qsizetype k = tableInfo(kind).extraTitles.indexOf(title);
    return k < 0 ? -1 : columnCount(kind) + static_cast<int>(k);
}

} // namespace vernalith
