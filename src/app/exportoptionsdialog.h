#pragma once

#include "render/dialexport.h"

#include <QDialog>

class QCheckBox;

namespace vernalith {

// The export options a person chooses after naming the file: "Text as outlines" for SVG, PDF and
// DXF, "Crop marks" for PDF. Only the options that apply to the format are shown.
class ExportOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    // `options` gives the choices offered first.
    ExportOptionsDialog(ExportFormat format, const ExportOptions &options, QWidget *parent = nullptr);

    // `options` with the choices shown in the dialog replaced.
    ExportOptions chosen(ExportOptions options) const;

    // Whether the format has an option to choose at all.
    static bool hasOptions(ExportFormat format);

private:
    QCheckBox *m_outlines = nullptr;
    QCheckBox *m_cropMarks = nullptr;
};

} // namespace vernalith
