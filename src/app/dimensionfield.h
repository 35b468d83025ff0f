#pragma once

#include <QLineEdit>

namespace vernalith {

// A single-line field that reports every focus it gains, whatever brought it (Tab, Shift+Tab,
// a click, the window's first showing), and keeps the selection made then through the click
// that gave it the focus: a plain QLineEdit would move the cursor to the click and drop it.
class DimensionField : public QLineEdit
{
    Q_OBJECT

public:
    explicit DimensionField(QWidget *parent = nullptr);

signals:
    // Emitted after the field took the focus; a receiver may set the selection.
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool m_focusByClick = false;
};

} // namespace vernalith
