#include "scalestablemodel.h"

#include "design/scalelaw.h"

#include <QBrush>
#include <QColor>

namespace vernalith {

namespace {

constexpr int kScaleColumns = kScaleColumnCount;

QStringList fullWidth(QStringList row)
{
    while (row.size() < kScaleColumns)
        row << QString();
    return row.mid(0, kScaleColumns);
}

} // namespace

ScalesTableModel::ScalesTableModel(const TableRows &scales, QObject *parent)
    : QAbstractTableModel(parent), m_initialCount(static_cast<int>(scales.size()))
{
    for (int i = 0; i < scales.size(); ++i) {
        m_rows << fullWidth(scales.at(i));
        m_origins << i + 1;
    }
}

QVector<int> ScalesTableModel::newNumberOfOld() const
{
    QVector<int> numbers(m_initialCount, 0);
    for (int row = 0; row < m_origins.size(); ++row) {
        if (m_origins.at(row) > 0)
            numbers[m_origins.at(row) - 1] = row + 1;
    }
    return numbers;
}

QString ScalesTableModel::rowProblem(int row) const
{
    QString error;
    ScaleLaw::parse(m_rows.at(row), &error);
    return error;
}

QString ScalesTableModel::firstProblem() const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        const QString problem = rowProblem(row);
        if (!problem.isEmpty())
            return QStringLiteral("Scale %1: %2").arg(row + 1).arg(problem);
    }
    return QString();
}

int ScalesTableModel::appendScale()
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows << QStringList{QStringLiteral("linear"), QStringLiteral("0"), QStringLiteral("100"), QString(), QString()};
    m_origins << 0;
    endInsertRows();
    return row;
}

void ScalesTableModel::removeScale(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    m_origins.removeAt(row);
    endRemoveRows();
    // Every later scale's number changed.
    if (row < m_rows.size())
        emit headerDataChanged(Qt::Vertical, row, static_cast<int>(m_rows.size()) - 1);
}

int ScalesTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScalesTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kScaleColumns;
}

QVariant ScalesTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= kScaleColumns)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows.at(index.row()).at(index.column());
    case Qt::ToolTipRole: {
        const QString problem = rowProblem(index.row());
        return problem.isEmpty() ? QVariant() : QVariant(problem);
    }
    case Qt::BackgroundRole:
        return rowProblem(index.row()).isEmpty() ? QVariant() : QVariant(QBrush(QColor(255, 222, 214)));
    default:
        return QVariant();
    }
}

bool ScalesTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows.size())
        return false;
    // Cells go into a dial file line: no tab or line break can be kept there.
    QString text = value.toString();
    text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (index.column() == 0)
        text = text.trimmed().toLower();
    QString &cell = m_rows[index.row()][index.column()];
    if (cell == text)
        return true;
    cell = text;
    // A change in one cell can make the whole row right or wrong.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kScaleColumns - 1));
    return true;
}

QVariant ScalesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    const QStringList titles = scaleColumnTitles();
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}

Qt::ItemFlags ScalesTableModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

} // namespace vernalith
