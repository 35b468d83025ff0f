#pragma once

#include <QChar>
#include <QTableView>

class QKeyEvent;

namespace vernalith {

class DesignTable;

// The key code a table key press stands for: 24 for Ctrl+X, 13 for Enter, 8 for Backspace, the
// typed character otherwise; a null QChar for keys that type nothing (arrows, F1, Tab, Esc) or
// only a control code.
QChar tableKeyCode(const QKeyEvent &event);

// Shows a DesignTable as a grid. Its current cell is the table's current cell in both
// directions: a click or an arrow key moves the table's, and a move of the table's (by a key
// press or a command) is shown and scrolled to. No editor ever opens: typed keys are reported
// through keyCode() and the receiver changes the table.
//
// Ctrl+C copies the selected rows (or the current one) as tab-separated lines; Ctrl+V inserts
// the clipboard's lines after the current row. While the view has the keyboard focus it wears a
// frame and its current cell a strong colour; without it, a muted one. A column header that its
// width cuts short shows the whole title as a tooltip.
class DesignTableView : public QTableView
{
    Q_OBJECT

public:
    explicit DesignTableView(QWidget *parent = nullptr);

    // The table to show; not owned. Column widths in twips become pixels at `logicalDpi`.
    void setDesignTable(DesignTable *table, double logicalDpi);
    DesignTable *designTable() const { return m_table; }

    void copyRows();
    void pasteRows();
    // The whole title of a column whose header cannot show it; empty when it fits.
    QString headerToolTip(int section) const;

signals:
    // A key press that types something; the receiver accepts it or lets it go on to the window
    // by returning false in `*used`.
    void keyCode(QChar code, bool *used);
    // A paste was refused (a character that cannot be typed, or the table is full).
    void refused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTableCurrentCell(int row, int col);

    DesignTable *m_table = nullptr;
    bool m_followingView = false;
};

} // namespace vernalith
