#include "rowpropertiesdialog.h"

#include "dialogbuttons.h"
#include "design/scalelaw.h"
#include "design/scalereferences.h"
#include "design/valuelist.h"
#include "helpviewer.h"
#include "scaletext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vernalith {

RowPropertiesDialog::RowPropertiesDialog(const TableRows &scales, const QString &place, const QString &scaleCell,
                                         const QString &valuesCell, QWidget *parent)
    : QDialog(parent), m_scales(scales)
{
    setObjectName(QStringLiteral("rowPropertiesDialog"));
    setWindowTitle(QStringLiteral("Row Properties"));

    auto *where = new QLabel(place, this);
    where->setObjectName(QStringLiteral("rowPlace"));
    QFont bold = where->font();
    bold.setBold(true);
    where->setFont(bold);

    m_scale = new QComboBox(this);
    m_scale->setObjectName(QStringLiteral("scaleChoice"));
    m_scale->addItem(QStringLiteral("None (linear, as the row's own columns say)"), QString());
    for (int i = 0; i < scales.size(); ++i)
        m_scale->addItem(scaleCaption(i + 1, scales.at(i)), QString::number(i + 1));
    const QString typed = scaleCell.trimmed();
    const int number = scaleNumber(typed, static_cast<int>(scales.size()));
    if (number > 0) {
        m_scale->setCurrentIndex(number);
    } else if (!typed.isEmpty()) {
        m_scale->addItem(QStringLiteral("%1: no such scale").arg(typed), typed);
        m_scale->setCurrentIndex(m_scale->count() - 1);
    }

    m_values = new QLineEdit(valuesCell, this);
    m_values->setObjectName(QStringLiteral("valueList"));
    m_values->setPlaceholderText(QStringLiteral("empty: evenly by Divisions"));
    m_values->setMinimumWidth(360);
    auto *hint = new QLabel(QStringLiteral("Numbers, inf, or ranges start:stop:step, separated by commas or "
                                           "blanks; for example 1:10:1, 20:100:10."),
                            this);
    hint->setWordWrap(true);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("valuesProblem"));
    m_problem->setWordWrap(true);
    QPalette palette = m_problem->palette();
    palette.setColor(QPalette::WindowText, QColor(160, 20, 10));
    m_problem->setPalette(palette);

    m_buttons = addOkCancelHelpButtons(*this, HelpTopicScales);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Scale:"), m_scale);
    form->addRow(QStringLiteral("&Values:"), m_values);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);

    connect(m_values, &QLineEdit::textChanged, this, &RowPropertiesDialog::updateState);
    connect(m_scale, &QComboBox::currentIndexChanged, this, &RowPropertiesDialog::updateState);
    updateState();
}

QString RowPropertiesDialog::scaleCell() const
{
    return m_scale->currentData().toString();
}

QString RowPropertiesDialog::valuesCell() const
{
    // The cell goes into a dial file line, where a tab or line break cannot be kept.
    QString text = m_values->text();
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

void RowPropertiesDialog::updateState()
{
    QString error;
    const QVector<double> values = parseValueList(m_values->text(), &error);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(error.isEmpty());
    const int number = scaleNumber(scaleCell(), static_cast<int>(m_scales.size()));
    if (error.isEmpty() && number > 0) {
        QString lawError;
        const ScaleLaw law = ScaleLaw::parse(m_scales.at(number - 1), &lawError);
        for (double v : values) {
            if (lawError.isEmpty() && !law.contains(v)) {
                error = QStringLiteral("%1 lies outside scale %2; the preview will refuse it until one of them "
                                       "changes.")
                            .arg(std::isinf(v) ? QStringLiteral("inf") : QString::number(v))
                            .arg(scaleCaption(number, m_scales.at(number - 1)));
                break;
            }
        }
    }
    m_problem->setText(error);
}

} // namespace vernalith
