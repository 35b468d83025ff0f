#include "dialdesign.h"

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

QStringList emptyRow(TableKind kind)
{
    QStringList row;
    row.reserve(columnCount(kind));
    for (int k = 0; k < columnCount(kind); ++k)
        row.append(QString());
    return row;
}

TableRows emptyTable(TableKind kind)
{
    return TableRows{emptyRow(kind)};
}

QStringList splitItem(TableKind kind, const QString &item)
{
    const int columns = columnCount(kind);
    QStringList row;
    row.reserve(columns);
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
    while (row.size() < columns)
        row.append(QString());
    return row;
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
