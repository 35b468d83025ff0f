#include "dialdesign.h"

#include <algorithm>

namespace vernalith {

const char *dimensionFieldName(Dimension d)
{
    static const char *const names[kDimensionCount] = {
        "txtCardWidth", "txtCardHeight", "txtNeedlePivotX", "txtNeedlePivotY",
        "txtZeroPosX",  "txtZeroPosY",   "txtMaxPosX",      "txtMaxPosY"};
    return names[static_cast<int>(d)];
}

QString dimensionTitle(Dimension d)
{
    static const char *const titles[kDimensionCount] = {
        "Card Width",      "Card Height",     "Needle Pivot X", "Needle Pivot Y",
        "Zero position X", "Zero position Y", "Max position X", "Max position Y"};
    return QString::fromLatin1(titles[static_cast<int>(d)]);
}

QStringList scaleColumnTitles()
{
    return {QStringLiteral("Law"), QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("Parameter"),
            QStringLiteral("Points")};
}

QStringList bandColumnTitles()
{
    return {QStringLiteral("Scale"),        QStringLiteral("From"),         QStringLiteral("To"),
            QStringLiteral("Inner Radius"), QStringLiteral("Outer Radius"), QStringLiteral("Colour")};
}

QStringList holeColumnTitles()
{
    return {QStringLiteral("X-Pos"), QStringLiteral("Y-Pos"), QStringLiteral("Diameter")};
}

QStringList emptyRow(TableKind kind)
{
    QStringList row;
    row.reserve(storedColumnCount(kind));
    for (int k = 0; k < storedColumnCount(kind); ++k)
        row.append(QString());
    return row;
}

TableRows emptyTable(TableKind kind)
{
    return TableRows{emptyRow(kind)};
}

QStringList splitItem(TableKind kind, const QString &item)
{
    return splitCells(item, columnCount(kind), storedColumnCount(kind));
}

QStringList splitCells(const QString &item, int columns, int paddedTo)
{
    QStringList row;
    row.reserve(std::max(columns, paddedTo));
    qsizetype start = 0;
    while (row.size() < columns) {
        const qsizetype tab = item.indexOf(QLatin1Char('\t'), start);
        if (tab < 0) {
            row.append(item.mid(start));
            break;
        }
        row.append(item.mid(start, tab - start));
        start = tab + 1;
    }
    while (row.size() < std::max(columns, paddedTo))
        row.append(QString());
    return row;
}

bool sameRows(const TableRows &a, const TableRows &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype r = 0; r < a.size(); ++r) {
        const QStringList &x = a[r];
        const QStringList &y = b[r];
        if (x == y)
            continue;
        for (qsizetype k = 0; k < std::max(x.size(), y.size()); ++k) {
            if (x.value(k) != y.value(k))
                return false;
        }
    }
    return true;
}

bool DialDesign::operator==(const DialDesign &other) const
{
    if (dimensions != other.dimensions || !sameRows(scales, other.scales) || !sameRows(bands, other.bands)
        || !sameRows(holes, other.holes) || !sameRows(TableRows{reference}, TableRows{other.reference}))
        return false;
    for (size_t t = 0; t < tables.size(); ++t) {
        if (!sameRows(tables[t], other.tables[t]))
            return false;
    }
    return true;
}

DialDesign DialDesign::startup()
{
    DialDesign design;
    design.dimensions = {QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("26"), QStringLiteral("33"),
                         QStringLiteral("5"),  QStringLiteral("12"), QStringLiteral("47"), QStringLiteral("12")};
    for (TableKind kind : kAllTables)
        design.table(kind) = emptyTable(kind);
    return design;
}

} // namespace vernalith
