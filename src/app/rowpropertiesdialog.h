#pragma once

#include "design/dialdesign.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vernalith {

class ColourField;

// Design > Row Properties...: the cells of a row that are not shown as columns, as far as its
// table has them: the scale a tickmarks or digits row is drawn on (none, or one of the design's
// scales, shown with its law and range) and its value list; the line Width of arcs and tickmarks
// (mm); the Colour of every row (typed, or picked in Qt's colour dialog); the Font of digits and
// labels (an installed family, or typed). Each is checked as it is typed; a fault is shown and
// OK stays disabled until there is none. Pointed out without blocking OK: a listed value outside
// the chosen scale (the scale may be about to change) and a font that is not installed here (the
// file may go to a computer that has it). F1 and Help open the help on scales for tickmarks and
// digits, else the help on style, bands and holes. The dialog only collects the cells; the
// caller writes them.
class RowPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // `place` names the row for a person ("Scale Tickmarks, row 3"); `row` is the row's cells,
    // columns then extra cells. A scale cell that names no scale of `scales` is offered as it
    // is, marked, so that OK alone never changes it.
    RowPropertiesDialog(TableKind kind, const TableRows &scales, const QString &place, const QStringList &row,
                        QWidget *parent = nullptr);

    // The extra cell `title` of tableInfo(kind).extraTitles as it is to be stored: the scale's
    // number or empty; the value list as typed, blanks at the ends dropped; the width as typed,
    // trimmed; the colour as #RRGGBB or empty; the font family as typed, trimmed. Tabs and line
    // breaks become blanks: the cells go into dial file lines.
    QString cell(const QString &title) const;

private:
    void updateState();

    TableKind m_kind;
    TableRows m_scales;
    QComboBox *m_scale = nullptr;
    QLineEdit *m_values = nullptr;
    QLineEdit *m_width = nullptr;
    ColourField *m_colour = nullptr;
    QComboBox *m_font = nullptr;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};

} // namespace vernalith
