#include "filechooser.h"

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

} // namespace vernalith
