#include "designtable.h"

#include <algorithm>

namespace vernalith {

DesignTable::DesignTable(TableKind kind, QObject *parent)
    : QAbstractTableModel(parent), m_kind(kind), m_rows(emptyTable(kind))
{
}

QString DesignTable::title(int col) const
{
    return tableInfo(m_kind).titles.value(col);
}

int DesignTable::columnWidthTwips(int col) const
{
    if (col < 0 || col >= columns())
        return 0;
    return tableInfo(m_kind).widthsTwips[static_cast<size_t>(col)];
}

void DesignTable::appendEmptyRow()
{
    addItem(QString());
}

void DesignTable::setRow(int row)
{
    setCurrent(std::clamp(row, 0, rows() - 1), m_col);
}

void DesignTable::setCol(int col)
{
    setCurrent(m_row, std::clamp(col, 0, lastColumn()));
}

QString DesignTable::text() const
{
    if (m_row == 0)
        return title(m_col);
    return cell(m_row, m_col);
}

void DesignTable::setText(const QString &text)
{
    if (m_row > 0)
        setCell(m_row, m_col, text);
}

void DesignTable::addItem(const QString &item, int index)
{
    if (index < 1 || index > rows())
        index = rows();
    const int modelRow = index - 1;
    beginInsertRows(QModelIndex(), modelRow, modelRow);
    m_rows.insert(modelRow, splitItem(m_kind, item));
    endInsertRows();
}

void DesignTable::removeItem(int index)
{
    if (index < 1 || index >= rows())
        return;
    const int modelRow = index - 1;
    beginRemoveRows(QModelIndex(), modelRow, modelRow);
    m_rows.removeAt(modelRow);
    endRemoveRows();
    // Keep the cursor on an existing row; which one is ours to choose.
    if (m_row >= rows())
        setCurrent(rows() - 1, m_col);
}

QString DesignTable::cell(int row, int col) const
{
    if (row < 1 || row >= rows() || col < 0 || col >= storedColumns())
        return QString();
    return m_rows.at(row - 1).at(col);
}

void DesignTable::setCell(int row, int col, const QString &text)
{
    if (row < 1 || row >= rows() || col < 0 || col >= storedColumns())
        return;
    QString &target = m_rows[row - 1][col];
    if (target == text)
        return;
    target = text;
    if (col < columns()) {
        emitCellChanged(row, col);
    } else {
        emit dataChanged(index(row - 1, 0), index(row - 1, lastColumn()),
                         {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole, Qt::DecorationRole});
    }
}

bool DesignTable::rowHasProperties(int gridRow) const
{
    for (int col = columns(); col < storedColumns(); ++col) {
        if (!cell(gridRow, col).isEmpty())
            return true;
    }
    return false;
}

void DesignTable::replaceRows(const TableRows &rows)
{
    beginResetModel();
    m_rows = rows.isEmpty() ? emptyTable(m_kind) : rows;
    for (QStringList &r : m_rows) {
        // Keep the one-cell-per-column invariant whatever the caller handed in.
        while (r.size() < storedColumns())
            r.append(QString());
        while (r.size() > storedColumns())
            r.removeLast();
    }
    m_row = 1;
    m_col = 0;
    endResetModel();
    emit currentCellChanged(m_row, m_col);
}

int DesignTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : dataRowCount();
}

int DesignTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns();
}

QVariant DesignTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return cell(index.row() + 1, index.column());
}

QVariant DesignTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return title(section);
    return section + 1;
}

Qt::ItemFlags DesignTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Cells are edited by key presses on the table, never by an in-place editor.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void DesignTable::setCurrent(int row, int col)
{
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    emit currentCellChanged(m_row, m_col);
}

void DesignTable::emitCellChanged(int row, int col)
{
    const QModelIndex idx = index(row - 1, col);
    emit dataChanged(idx, idx, {Qt::DisplayRole, Qt::EditRole});
}

} // namespace vernalith
