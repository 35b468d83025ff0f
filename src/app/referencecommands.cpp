#include "referencecommands.h"

#include "design/designmodel.h"
#include "referenceimagedialog.h"

#include <QAction>
#include <QSignalBlocker>

namespace vernalith {

namespace {

const QString kNoReference = QStringLiteral("Choose a scan of the old card with Design > Reference Image... first.");
const QString kShowReference = QStringLiteral("Show or hide the reference image under the card in the preview");

} // namespace

ReferenceCommands::ReferenceCommands(DesignModel *model, QAction *showEntry, FileSource files, QWidget *window)
    : QObject(window), m_model(model), m_showEntry(showEntry), m_files(std::move(files)), m_window(window)
{
    m_showEntry->setCheckable(true);
    connect(m_model, &DesignModel::changed, this, &ReferenceCommands::updateShowEntry);
    updateShowEntry();
}

void ReferenceCommands::editReference()
{
    auto *dialog = new ReferenceImageDialog(m_model->design(), m_files(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_model->setReference(dialog->removeChosen() ? QStringList() : dialog->cells());
        emit referenceEdited();
    });
    dialog->open();
}

void ReferenceCommands::setShown(bool shown)
{
    QStringList cells = m_model->reference();
    if (cells.size() != kReferenceColumnCount)
        return;
    cells[static_cast<int>(ReferenceColumn::Shown)] = shown ? QStringLiteral("1") : QStringLiteral("0");
    m_model->setReference(cells);
}

void ReferenceCommands::updateShowEntry()
{
    const QStringList cells = m_model->reference();
    const bool present = cells.size() == kReferenceColumnCount;
    const QSignalBlocker quiet(m_showEntry);
    m_showEntry->setEnabled(present);
    m_showEntry->setChecked(present && cells[static_cast<int>(ReferenceColumn::Shown)] != QLatin1String("0"));
    m_showEntry->setToolTip(present ? kShowReference : kNoReference);
    m_showEntry->setStatusTip(m_showEntry->toolTip());
}

} // namespace vernalith
