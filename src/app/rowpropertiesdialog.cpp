#include "rowpropertiesdialog.h"

#include "colourfield.h"
#include "dialogbuttons.h"
#include "design/scalelaw.h"
#include "design/scalereferences.h"
#include "design/valuelist.h"
#include "helpviewer.h"
#include "render/rowstyle.h"
#include "scaletext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vernalith {

namespace {

QString singleLine(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

bool has(TableKind kind, const char *title)
{
    return extraColumn(kind, QString::fromLatin1(title)) >= 0;
}

} // namespace

RowPropertiesDialog::RowPropertiesDialog(TableKind kind, const TableRows &scales, const QString &place,
                                         const QStringList &row, QWidget *parent)
    : QDialog(parent), m_kind(kind), m_scales(scales)
{
    setObjectName(QStringLiteral("rowPropertiesDialog"));
    setWindowTitle(QStringLiteral("Row Properties"));
    const auto cellOf = [&](const char *title) { return row.value(extraColumn(kind, QString::fromLatin1(title))); };

    auto *where = new QLabel(place, this);
    where->setObjectName(QStringLiteral("rowPlace"));
    QFont bold = where->font();
    bold.setBold(true);
    where->setFont(bold);
    auto *form = new QFormLayout;

    if (has(kind, "Scale")) {
        m_scale = new QComboBox(this);
        m_scale->setObjectName(QStringLiteral("scaleChoice"));
        m_scale->addItem(QStringLiteral("None (linear, as the row's own columns say)"), QString());
        for (int i = 0; i < scales.size(); ++i)
            m_scale->addItem(scaleCaption(i + 1, scales.at(i)), QString::number(i + 1));
        const QString typed = cellOf("Scale").trimmed();
        const int number = scaleNumber(typed, static_cast<int>(scales.size()));
        if (number > 0) {
            m_scale->setCurrentIndex(number);
        } else if (!typed.isEmpty()) {
            m_scale->addItem(QStringLiteral("%1: no such scale").arg(typed), typed);
            m_scale->setCurrentIndex(m_scale->count() - 1);
        }
        form->addRow(QStringLiteral("&Scale:"), m_scale);
        connect(m_scale, &QComboBox::currentIndexChanged, this, &RowPropertiesDialog::updateState);
    }
    if (has(kind, "Values")) {
        m_values = new QLineEdit(cellOf("Values"), this);
        m_values->setObjectName(QStringLiteral("valueList"));
        m_values->setPlaceholderText(QStringLiteral("empty: evenly by Divisions"));
        m_values->setMinimumWidth(360);
        m_values->setToolTip(QStringLiteral("Numbers, inf, or ranges start:stop:step, separated by commas or "
                                            "blanks; for example 1:10:1, 20:100:10."));
        form->addRow(QStringLiteral("&Values:"), m_values);
        connect(m_values, &QLineEdit::textChanged, this, &RowPropertiesDialog::updateState);
    }
    if (has(kind, "Width")) {
        m_width = new QLineEdit(cellOf("Width"), this);
        m_width->setObjectName(QStringLiteral("rowWidth"));
        m_width->setPlaceholderText(QStringLiteral("empty: the thin pen; else %1 \u2026 %2")
                                        .arg(kMinLineWidthMm)
                                        .arg(kMaxLineWidthMm));
        form->addRow(QStringLiteral("&Width (mm):"), m_width);
        connect(m_width, &QLineEdit::textChanged, this, &RowPropertiesDialog::updateState);
    }
    if (has(kind, "Colour")) {
        m_colour = new ColourField(QStringLiteral("rowColour"), cellOf("Colour"), this);
        form->addRow(QStringLiteral("&Colour:"), m_colour);
        connect(m_colour, &ColourField::textChanged, this, &RowPropertiesDialog::updateState);
    }
    if (has(kind, "Font")) {
        m_font = new QComboBox(this);
        m_font->setObjectName(QStringLiteral("rowFont"));
        m_font->setEditable(true);
        m_font->setInsertPolicy(QComboBox::NoInsert);
        m_font->addItem(QString());
        m_font->addItems(QFontDatabase::families());
        m_font->setEditText(cellOf("Font"));
        m_font->lineEdit()->setPlaceholderText(defaultFontFamily());
        form->addRow(QStringLiteral("&Font:"), m_font);
        connect(m_font, &QComboBox::editTextChanged, this, &RowPropertiesDialog::updateState);
    }

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("valuesProblem"));
    m_problem->setWordWrap(true);
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, QColor(160, 20, 10));
    m_problem->setPalette(palette);

    m_buttons = addOkCancelHelpButtons(*this, m_scale ? HelpTopicScales : HelpTopicStyle);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addLayout(form);
    if (m_values) {
        auto *hint = new QLabel(m_values->toolTip(), this);
        hint->setWordWrap(true);
        layout->addWidget(hint);
    }
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    updateState();
}

QString RowPropertiesDialog::cell(const QString &title) const
{
    if (title == QLatin1String("Scale") && m_scale)
        return m_scale->currentData().toString();
    if (title == QLatin1String("Values") && m_values)
        return singleLine(m_values->text());
    if (title == QLatin1String("Width") && m_width)
        return singleLine(m_width->text());
    if (title == QLatin1String("Colour") && m_colour) {
        QString colour;
        return parseColourCell(m_colour->text(), &colour, nullptr) ? colour : singleLine(m_colour->text());
    }
    if (title == QLatin1String("Font") && m_font)
        return singleLine(m_font->currentText());
    return QString();
}

void RowPropertiesDialog::updateState()
{
    QStringList faults, notes;
    QString error;
    QVector<double> values;
    if (m_values) {
        values = parseValueList(m_values->text(), &error);
        if (!error.isEmpty())
            faults << error;
    }
    if (m_width && !parseWidthCell(m_width->text(), nullptr, &error))
        faults << error;
    if (m_colour && !parseColourCell(m_colour->text(), nullptr, &error))
        faults << error;
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(faults.isEmpty());

    const int number = m_scale ? scaleNumber(cell(QStringLiteral("Scale")), static_cast<int>(m_scales.size())) : 0;
    if (faults.isEmpty() && number > 0) {
        QString lawError;
        const ScaleLaw law = ScaleLaw::parse(m_scales.at(number - 1), &lawError);
        for (double v : values) {
            if (lawError.isEmpty() && !law.contains(v)) {
                notes << QStringLiteral("%1 lies outside scale %2; the preview will refuse it until one of them "
                                        "changes.")
                             .arg(std::isinf(v) ? QStringLiteral("inf") : QString::number(v))
                             .arg(scaleCaption(number, m_scales.at(number - 1)));
                break;
            }
        }
    }
    if (m_font) {
        bool missing = false;
        fontFamilyOrDefault(cell(QStringLiteral("Font")), &missing);
        if (missing)
            notes << QStringLiteral("Font \"%1\" is not installed; %2 is used instead")
                         .arg(cell(QStringLiteral("Font")), defaultFontFamily());
    }
    m_problem->setText((faults + notes).join(QLatin1Char('\n')));
}

} // namespace vernalith
