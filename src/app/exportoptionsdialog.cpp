#include "exportoptionsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace vernalith {

namespace {

bool offersOutlines(ExportFormat format)
{
    return format == ExportFormat::Svg || format == ExportFormat::Pdf || format == ExportFormat::Dxf;
}

bool offersCropMarks(ExportFormat format)
{
    return format == ExportFormat::Pdf;
}

} // namespace

bool ExportOptionsDialog::hasOptions(ExportFormat format)
{
    return offersOutlines(format) || offersCropMarks(format);
}

ExportOptionsDialog::ExportOptionsDialog(ExportFormat format, const ExportOptions &options, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("exportOptionsDialog"));
    setWindowTitle(QStringLiteral("Export Options"));
    auto *layout = new QVBoxLayout(this);
    if (offersOutlines(format)) {
        m_outlines = new QCheckBox(QStringLiteral("&Text as outlines (for engravers and programs without the font)"),
                                   this);
        m_outlines->setObjectName(QStringLiteral("textOutlines"));
        m_outlines->setChecked(options.textOutlines);
        layout->addWidget(m_outlines);
    }
    if (offersCropMarks(format)) {
        m_cropMarks = new QCheckBox(QStringLiteral("&Crop marks at the card's corners"), this);
        m_cropMarks->setObjectName(QStringLiteral("cropMarks"));
        m_cropMarks->setChecked(options.cropMarks);
        layout->addWidget(m_cropMarks);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

ExportOptions ExportOptionsDialog::chosen(ExportOptions options) const
{
    if (m_outlines)
        options.textOutlines = m_outlines->isChecked();
    if (m_cropMarks)
        options.cropMarks = m_cropMarks->isChecked();
    return options;
}

} // namespace vernalith
