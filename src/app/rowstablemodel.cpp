#include "rowstablemodel.h"

#include <QBrush>
#include <QColor>

namespace vernalith {

RowsTableModel::RowsTableModel(RowsTableKind kind, const TableRows &rows, QObject *parent)
    : QAbstractTableModel(parent), m_kind(std::move(kind)), m_initialCount(static_cast<int>(rows.size()))
{
    const int cells = static_cast<int>(m_kind.titles.size());
    for (int i = 0; i < rows.size(); ++i) {
        QStringList row = rows.at(i).mid(0, cells);
        while (row.size() < cells)
            row << QString();
        m_rows << row;
        m_origins << i + 1;
    }
}

QVector<int> RowsTableModel::newNumberOfOld() const
{
    QVector<int> numbers(m_initialCount, 0);
    for (int row = 0; row < m_origins.size(); ++row) {
        if (m_origins.at(row) > 0)
            numbers[m_origins.at(row) - 1] = row + 1;
    }
    return numbers;
}

QString RowsTableModel::rowProblem(int row) const
{
    return m_kind.problem ? m_kind.problem(m_rows.at(row)) : QString();
}

QString RowsTableModel::firstProblem() const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        const QString problem = rowProblem(row);
        if (!problem.isEmpty())
            return QStringLiteral("%1 %2: %3").arg(m_kind.rowNoun).arg(row + 1).arg(problem);
    }
    return QString();
}

int RowsTableModel::appendRow()
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows << m_kind.newRow;
    m_origins << 0;
    endInsertRows();
    return row;
}

void RowsTableModel::removeRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    m_origins.removeAt(row);
    endRemoveRows();
    // Every later row's number changed.
    if (row < m_rows.size())
        emit headerDataChanged(Qt::Vertical, row, static_cast<int>(m_rows.size()) - 1);
}

int RowsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RowsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_kind.titles.size());
}

QVariant RowsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= columnCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows.at(index.row()).at(index.column());
    case Qt::ToolTipRole: {
        const QString problem = rowProblem(index.row());
        return problem.isEmpty() ? QVariant() : QVariant(problem);
    }
    case Qt::DecorationRole:
        return m_kind.decoration ? m_kind.decoration(index.column(), m_rows.at(index.row()).at(index.column()))
                                 : QVariant();
    case Qt::BackgroundRole:
        return rowProblem(index.row()).isEmpty() ? QVariant() : QVariant(QBrush(QColor(255, 222, 214)));
    default:
        return QVariant();
    }
}

bool RowsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows.size() || index.column() >= columnCount())
        return false;
    QString text = value.toString();
    text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_kind.lowerCased.contains(index.column()))
        text = text.trimmed().toLower();
    QString &cell = m_rows[index.row()][index.column()];
    if (cell == text)
        return true;
    cell = text;
    // A change in one cell can make the whole row right or wrong.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

QVariant RowsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < m_kind.titles.size() ? QVariant(m_kind.titles.at(section)) : QVariant();
}

Qt::ItemFlags RowsTableModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

} // namespace vernalith
