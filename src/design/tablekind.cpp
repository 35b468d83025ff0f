#include "tablekind.h"

namespace vernalith {

const TableInfo &tableInfo(TableKind kind)
{
    static const std::array<TableInfo, 4> infos = {{
        {"grdScaleArcs", "Scale Arcs", "[Arcs]", {QStringLiteral("Radius")}, {0, 0, 0, 0, 0, 0}},
        {"grdScaleTickmarks", "Scale Tickmarks", "[Tickmarks]",
         {QStringLiteral("Divisions"), QStringLiteral("Outer Radius"), QStringLiteral("Inner Radius")},
         {900, 1100, 1000, 0, 0, 0}},
        {"grdScaleDigits", "Scale Digits", "[Digits]",
         {QStringLiteral("Divisions"), QStringLiteral("Min Val"), QStringLiteral("Max Val"),
          QStringLiteral("Num Format"), QStringLiteral("Radius"), QStringLiteral("Fontsize")},
         {750, 700, 700, 0, 700, 0}},
        {"grdFaceLabels", "Face Labels", "[Labels]",
         {QStringLiteral("X-Pos"), QStringLiteral("Y-Pos"), QStringLiteral("Text"), QStringLiteral("Fontsize")},
         {700, 700, 2700, 700, 0, 0}},
    }};
    return infos[static_cast<size_t>(tableIndex(kind))];
}

int columnCount(TableKind kind)
{
    return static_cast<int>(tableInfo(kind).titles.size());
}

} // namespace vernalith
