#include "filechooser.h"

#include "exportoptionsdialog.h"

#include <QFileDialog>

namespace vernalith {

QString DialogFileChooser::openFileName(QWidget *parent, const QString &initialName, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), initialName, filter);
}

QString DialogFileChooser::saveFileName(QWidget *parent, const QString &initialName, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), initialName, filter);
}

QString DialogFileChooser::exportFileName(QWidget *parent, const QString &initialName, const QStringList &filters,
                                          QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), initialName,
                                        filters.join(QStringLiteral(";;")), selectedFilter);
}

bool DialogFileChooser::exportOptions(QWidget *parent, ExportFormat format, ExportOptions *options)
{
    ExportOptionsDialog dialog(format, *options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *options = dialog.chosen(*options);
    return true;
}

} // namespace vernalith
