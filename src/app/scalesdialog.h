#pragma once

#include "design/dialdesign.h"

#include <QDialog>
#include <QVector>

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableView;

namespace vernalith {

class ScalesTableModel;

// Design > Scales...: the design's list of scales as a table edited in place (the law chosen
// from a list), with Add and Remove. Every row is checked as it is edited; the first fault is
// shown under the table and OK stays disabled until there is none. F1 and Help open the help
// page on scales. The dialog only collects the list: the caller applies scales() and
// newNumberOfOld() when it is accepted.
class ScalesDialog : public QDialog
{
    Q_OBJECT

public:
    // `design` gives the scales to edit and tells which scales rows use.
    explicit ScalesDialog(const DialDesign &design, QWidget *parent = nullptr);

    TableRows scales() const;
    // For each scale number the design had (index number - 1): its number in scales(), or 0
    // when it was removed.
    QVector<int> newNumberOfOld() const;

private:
    void addScale();
    void removeScale();
    void updateState();

    DialDesign m_design;
    ScalesTableModel *m_model;
    QTableView *m_table;
    QPushButton *m_remove;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};

} // namespace vernalith
