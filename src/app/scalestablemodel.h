#pragma once

#include "design/dialdesign.h"

#include <QAbstractTableModel>
#include <QVector>

namespace vernalith {

// The scale list being edited in the Scales dialog: one row per scale, the columns Law, Min,
// Max, Parameter and Points, every cell editable in place. The vertical header shows each
// scale's number, by which rows refer to it. A row whose law's requirements are broken carries
// the reason as its tooltip and is tinted.
class ScalesTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ScalesTableModel(const TableRows &scales, QObject *parent = nullptr);

    const TableRows &scales() const { return m_rows; }
    // For each current row, the number the scale had when editing began; 0 for an added row.
    const QVector<int> &origins() const { return m_origins; }
    // For each scale number at the start (index number - 1), its number now; 0 once removed.
    QVector<int> newNumberOfOld() const;

    // Why the row cannot be used, for a person; empty when it can.
    QString rowProblem(int row) const;
    // "Scale 2: <reason>" for the first row that cannot be used; empty when all can.
    QString firstProblem() const;

    // A new linear 0 ... 100 scale after the last; its index.
    int appendScale();
    void removeScale(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    TableRows m_rows;
    QVector<int> m_origins;
    int m_initialCount;
};

} // namespace vernalith
