#include "dialogbuttons.h"

#include "helpviewer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QShortcut>

namespace vernalith {

QDialogButtonBox *addOkCancelHelpButtons(QDialog &dialog, int topic)
{
    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QDialog *owner = &dialog;
    const auto showHelp = [owner, topic] {
        showHelpTopic(topic, owner->parentWidget() ? owner->parentWidget() : owner);
    };
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, owner, showHelp);
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), owner);
    QObject::connect(f1, &QShortcut::activated, owner, showHelp);
    return buttons;
}

} // namespace vernalith
