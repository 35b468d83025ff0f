#pragma once

#include "design/dialdesign.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vernalith {

// Design > Row Properties...: the scale a tickmarks or digits row is drawn on (none, or one of
// the design's scales, shown with its law and range) and its value list. The list is checked as
// it is typed; the fault is shown and OK stays disabled until there is none. A listed value
// outside the chosen scale's range is pointed out too, without blocking OK: the scale may be
// about to change, and drawing reports it meanwhile. F1 and Help open
// the help page on scales. The dialog only collects the two cells; the caller writes them.
class RowPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // `place` names the row for a person ("Scale Tickmarks, row 3"); `scaleCell` and
    // `valuesCell` are the row's current cells. A scale cell that names no scale of `scales`
    // is offered as it is, marked, so that OK alone never changes it.
    RowPropertiesDialog(const TableRows &scales, const QString &place, const QString &scaleCell,
                        const QString &valuesCell, QWidget *parent = nullptr);

    QString scaleCell() const;  // "" for none, else the scale's number
    QString valuesCell() const; // the value list as typed, blanks at the ends dropped

private:
    void updateState();

    TableRows m_scales;
    QComboBox *m_scale;
    QLineEdit *m_values;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};

} // namespace vernalith
