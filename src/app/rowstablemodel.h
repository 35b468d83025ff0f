#pragma once

#include "design/dialdesign.h"

#include <QAbstractTableModel>
#include <QVector>

#include <functional>

namespace vernalith {

// What a list of rows edited in a table dialog (scales, bands, holes) is like.
struct RowsTableKind {
    QStringList titles;      // one per cell, in file order
    QString rowNoun;         // "Scale": faults read "Scale 2: <reason>"
    QStringList newRow;      // what Add appends
    QVector<int> lowerCased; // cells kept in lower case (names chosen from a list)
    // Why a row cannot be used, for a person; empty when it can.
    std::function<QString(const QStringList &row)> problem;
    // What a cell shows beside its text (a colour swatch); none when unset.
    std::function<QVariant(int column, const QString &cell)> decoration;
};

// A list of rows being edited in a dialog: one row per entry, every cell editable in place. The
// vertical header shows each row's number, by which other rows may refer to it. A row that cannot
// be used carries the reason as its tooltip and is tinted.
class RowsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    RowsTableModel(RowsTableKind kind, const TableRows &rows, QObject *parent = nullptr);

    const TableRows &rows() const { return m_rows; }
    // For each row number at the start (index number - 1), its number now; 0 once removed.
    QVector<int> newNumberOfOld() const;

    // Why the row cannot be used, for a person; empty when it can.
    QString rowProblem(int row) const;
    // "Scale 2: <reason>" for the first row that cannot be used; empty when all can.
    QString firstProblem() const;

    // kind.newRow after the last; its index.
    int appendRow();
    void removeRow(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // A tab or line break typed into a cell becomes a blank: the cell goes into a dial file line.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    RowsTableKind m_kind;
    TableRows m_rows;
    QVector<int> m_origins; // per row, its number at the start; 0 for an added row
    int m_initialCount;
};

} // namespace vernalith
