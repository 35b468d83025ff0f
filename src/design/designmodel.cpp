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

namespace {

QStringList fittedRow(QStringList row, int cellCount)
{
    while (row.size() < cellCount)
        row.append(QString());
    while (row.size() > cellCount)
        row.removeLast();
    return row;
}

} // namespace

bool DesignModel::replaceRows(TableRows &target, const TableRows &rows, int cellCount)
{
    TableRows fitted;
    fitted.reserve(rows.size());
    for (const QStringList &row : rows)
        fitted.append(fittedRow(row, cellCount));
    if (fitted == target)
        return false;
    target = fitted;
    emit changed();
    return true;
}

void DesignModel::setScales(const TableRows &rows)
{
    replaceRows(m_scales, rows, kScaleColumnCount);
}

void DesignModel::setBands(const TableRows &rows)
{
    replaceRows(m_bands, rows, kBandColumnCount);
}

void DesignModel::setHoles(const TableRows &rows)
{
    replaceRows(m_holes, rows, kHoleColumnCount);
}

void DesignModel::setReference(const QStringList &cells)
{
    const QStringList fitted = cells.isEmpty() ? QStringList() : fittedRow(cells, kReferenceColumnCount);
    if (fitted == m_reference)
        return;
    m_reference = fitted;
    emit changed();
}

DialDesign DesignModel::design() const
{
    DialDesign design;
    design.dimensions = m_dimensions;
    for (TableKind kind : kAllTables)
        design.table(kind) = table(kind).rowsData();
    design.scales = m_scales;
    design.bands = m_bands;
    design.holes = m_holes;
    design.reference = m_reference;
    return design;
}

void DesignModel::setDesign(const DialDesign &design)
{
    for (int d = 0; d < kDimensionCount; ++d)
        setDimension(static_cast<Dimension>(d), design.dimensions[static_cast<size_t>(d)]);
    for (TableKind kind : kAllTables)
        table(kind).replaceRows(design.table(kind));
    setScales(design.scales);
    setBands(design.bands);
    setHoles(design.holes);
    setReference(design.reference);
}

} // namespace vernalith
