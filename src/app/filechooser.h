#pragma once

#include "render/dialexport.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace vernalith {

// Asks the user for file names. Every function returns an empty name when the user cancels.
class FileChooser
{
public:
    virtual ~FileChooser() = default;

    // A file to open or to save to; `initialName` is offered first, `filter` is one
    // "Label (*.ext)" entry. The chosen name is used as it is: no extension is added.
    virtual QString openFileName(QWidget *parent, const QString &initialName, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &initialName, const QString &filter) = 0;
    // A file to export to, offered with one filter per format; `selectedFilter` is set to the
    // filter the user picked.
    virtual QString exportFileName(QWidget *parent, const QString &initialName, const QStringList &filters,
                                   QString *selectedFilter) = 0;
    // The options of an export to `format` (one with ExportOptionsDialog::hasOptions()):
    // `options` holds the choices offered first and receives the ones made. False, with
    // `options` untouched, when the user cancels: nothing is exported then.
    virtual bool exportOptions(QWidget *parent, ExportFormat format, ExportOptions *options) = 0;
};

// Qt's file dialogs, and ExportOptionsDialog.
class DialogFileChooser : public FileChooser
{
public:
    QString openFileName(QWidget *parent, const QString &initialName, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &initialName, const QString &filter) override;
    QString exportFileName(QWidget *parent, const QString &initialName, const QStringList &filters,
                           QString *selectedFilter) override;
    bool exportOptions(QWidget *parent, ExportFormat format, ExportOptions *options) override;
};

} // namespace vernalith
