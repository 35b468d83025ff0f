#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vernalith {

// The About box: the program's name and version and an "&Ok" button that Enter and Esc press
// too. Modal, centred on its parent when shown, laid out in twips at the screen's logical DPI.
// Build a fresh box for every showing and let it go when it closes, e.g. showAboutBox() or
// `FrmAbout box(this); box.exec();`. F1 in the box does nothing: it has no help topic, and
// while the box is shown no F1 pressed in it reaches anyone else (a shortcut or an
// application-wide key filter of the main window).
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit FrmAbout(QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Command1_Click();

    QLabel *m_label1;
    QPushButton *m_command1;
};

// Shows a new About box on `parent` and returns once it has been closed and destroyed.
void showAboutBox(QWidget *parent);

} // namespace vernalith
