#include "frmabout.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

#include "twips.h"

namespace vernalith {

FrmAbout::FrmAbout(QWidget *parent)
    : QDialog(parent)
    , m_label1(new QLabel(this))
    , m_command1(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Vernalith"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vernalith.svg")));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const double dpi = logicalDpiX();
    setFixedSize(twipsToPixels(3210, dpi), twipsToPixels(3255, dpi));

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setText(tr("Vernalith 1.0"));
    m_label1->setGeometry(twipsRect(240, 120, 2655, 495, dpi));
    QFont titleFont = m_label1->font();
    titleFont.setPointSizeF(18.0);
    titleFont.setBold(true);
    m_label1->setFont(titleFont);
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setFocusPolicy(Qt::NoFocus);

    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setText(tr("&Ok"));
    m_command1->setGeometry(twipsRect(960, 2760, 1215, 375, dpi));
    m_command1->setDefault(true);
    m_command1->setFocus();
    connect(m_command1, &QPushButton::clicked, this, &FrmAbout::Command1_Click);
}

// The box watches the whole application while it is shown. A filter installed later runs
// earlier, so this one sees F1 before any filter or shortcut that the main window set up, and
// swallows it when it was pressed in the box.
void FrmAbout::showEvent(QShowEvent *event)
{
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
}

void FrmAbout::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool FrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        bool inThisBox = false;
        if (auto *widget = qobject_cast<QWidget *>(watched))
            inThisBox = widget->window() == this;
        else if (auto *window = qobject_cast<QWindow *>(watched))
            inThisBox = window == windowHandle();
        if (inThisBox) {
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::keyPressEvent(QKeyEvent *event)
{
    // "&Ok" is the cancel button as well: Esc presses it.
    if (event->matches(QKeySequence::Cancel)) {
        m_command1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmAbout::Command1_Click()
{
    accept();
}

void showAboutBox(QWidget *parent)
{
    FrmAbout box(parent);
    box.exec();
}

} // namespace vernalith
