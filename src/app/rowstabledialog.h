#pragma once

#include "rowstablemodel.h"

#include <QDialog>

class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;

namespace vernalith {

// How a table dialog names itself and its parts.
struct RowsTableDialogSetup {
    QString plural;   // "scales": the dialog is "scalesDialog", its table "scalesTable"
    QString singular; // "scale": the buttons are "addScale", "removeScale", the fault "scaleProblem"
    QString title;    // the window title
    QString intro;    // the text above the table
    int helpTopic = 0;
    QVector<int> columnWidths; // pixels, 0 = the view's default
};

// A dialog editing one list of rows (scales, bands, holes) as a table edited in place, with Add
// and Remove. Every row is checked as it is edited; the first fault is shown under the table and
// OK stays disabled until there is none. F1 and Help open the setup's help topic. The dialog only
// collects the rows: the caller applies rows() when it is accepted.
class RowsTableDialog : public QDialog
{
    Q_OBJECT

public:
    RowsTableDialog(RowsTableKind kind, const TableRows &rows, const RowsTableDialogSetup &setup,
                    QWidget *parent = nullptr);

    const TableRows &rows() const { return m_model->rows(); }
    // For each row number at the start (index number - 1), its number in rows(); 0 once removed.
    QVector<int> newNumberOfOld() const { return m_model->newNumberOfOld(); }

protected:
    // Said under the fault, about edits that are allowed but change more than the list.
    virtual QStringList notes() const { return {}; }
    // Re-checks the rows and the notes; for subclasses whose notes depend on more than the rows.
    void updateState();

    RowsTableModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    // The row of buttons under the table (Add, Remove, a stretch), for a subclass to add to.
    QHBoxLayout *rowButtons() const { return m_rowButtons; }

private:
    void addRow();
    void removeRow();

    RowsTableModel *m_model;
    QTableView *m_table;
    QHBoxLayout *m_rowButtons;
    QPushButton *m_remove;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};

} // namespace vernalith
