#include "designmodel.h"

namespace vernalith {

DesignModel::DesignModel(QObject *parent) : QObject(parent), m_dimensions(DialDesign::startup().dimensions)
{
    for (TableKind kind : kAllTables) {
        auto *table = new DesignTable(kind, this);
        m_tables[static_cast<size_t>(tableIndex(kind))] = table;
        connect(table, &QAbstractItemModel::dataChanged, this, &DesignModel::changed);
        connect(table, &QAbstractItemModel::rowsInserted, this, &DesignModel::changed);
        connect(table, &QAbstractItemModel::rowsRemoved, this, &DesignModel::changed);
        connect(table, &QAbstractItemModel::modelReset, this, &DesignModel::changed);
    }
}

void DesignModel::setDimension(Dimension d, const QString &text)
{
    QString &target = m_dimensions[static_cast<size_t>(d)];
    if (target == text)
        return;
    target = text;
    emit dimensionChanged(d, text);
    emit changed();
}

void DesignModel::setScales(const TableRows &rows)
{
    TableRows padded = rows;
    for (QStringList &row : padded) {
        while (row.size() < kScaleColumnCount)
            row.append(QString());
        while (row.size() > kScaleColumnCount)
            row.removeLast();
    }
    if (padded == m_scales)
        return;
    m_scales = padded;
    emit changed();
}

DialDesign DesignModel::design() const
{
    DialDesign design;
    design.dimensions = m_dimensions;
    for (TableKind kind : kAllTables)
        design.table(kind) = table(kind).rowsData();
    design.scales = m_scales;
    return design;
}

void DesignModel::setDesign(const DialDesign &design)
{
    for (int d = 0; d < kDimensionCount; ++d)
        setDimension(static_cast<Dimension>(d), design.dimensions[static_cast<size_t>(d)]);
    for (TableKind kind : kAllTables)
        table(kind).replaceRows(design.table(kind));
    setScales(design.scales);
}

} // namespace vernalith
