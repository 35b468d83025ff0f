#pragma once

#include "dialdesign.h"

#include <QAbstractTableModel>

namespace vernalith {

// One design table as a grid: the header row is row 0 (shown as the view's header), data rows
// from row 1, and a current cell that is the user's editing cursor.
//
// Row numbers in this class's grid operations count the header, as the dial format and the
// commands do; the Qt model rows are the data rows only (model row r is grid row r + 1).
//
// Nothing that only reads the table (drawing, saving) moves the current cell: readers use
// cell() or rowsData(), never setRow()/setCol().
class DesignTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    // A table in its start-up state: header plus one empty data row, current cell (1, 0).
    explicit DesignTable(TableKind kind, QObject *parent = nullptr);

    TableKind kind() const { return m_kind; }
    int columns() const { return vernalith::columnCount(m_kind); }
    int lastColumn() const { return columns() - 1; }
    // The visible columns and the extra cells after them; only the visible ones are Qt columns.
    int storedColumns() const { return vernalith::storedColumnCount(m_kind); }
    QString title(int col) const;
    int columnWidthTwips(int col) const; // 0 = the view's default width

    // Grid operations.
    int rows() const { return static_cast<int>(m_rows.size()) + 1; } // header included
    void appendEmptyRow();                                           // Rows = Rows + 1
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int row); // 0 .. rows()-1; the column stays
    void setCol(int col); // 0 .. lastColumn(); the row stays
    QString text() const; // the current cell's text; the header title on row 0
    void setText(const QString &text); // replaces the current data cell's text; ignored on row 0
    // Inserts a row split from a tab-separated item at grid row `index` (1 .. rows());
    // an index out of that range appends.
    void addItem(const QString &item, int index = -1);
    void removeItem(int index); // 1 .. rows()-1

    // Direct access for readers and tests; `row` is a grid row (>= 1), `col` any stored cell
    // (0 .. storedColumns()-1), so the extra cells are read and written here too. Changing an
    // extra cell reports the row's visible cells as changed, as their marks may depend on it.
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    // True when any extra cell of the grid row is set.
    bool rowHasProperties(int gridRow) const;
    int dataRowCount() const { return static_cast<int>(m_rows.size()); }

    const TableRows &rowsData() const { return m_rows; }
    // Replaces every data row in one step (a model reset); an empty list leaves one empty row.
    // Rows are padded or cut to storedColumns() cells. The current cell goes to (1, 0).
    void replaceRows(const TableRows &rows);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void currentCellChanged(int row, int col);

private:
    void setCurrent(int row, int col);
    void emitCellChanged(int row, int col);

    TableKind m_kind;
    TableRows m_rows;
    int m_row = 1;
    int m_col = 0;
};

} // namespace vernalith
