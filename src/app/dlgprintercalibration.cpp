#include "dlgprintercalibration.h"

#include "dialprinting.h"
#include "helpviewer.h"
#include "messagesink.h"
#include "printercalibration.h"
#include "render/testsheet.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vernalith {

namespace {

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

DlgPrinterCalibration::DlgPrinterCalibration(const QString &printer, const DialDesign &design, PrintBackend &printers,
                                             MessageSink &messages, QWidget *parent)
    : QDialog(parent), m_printer(printer), m_design(design), m_printers(printers), m_messages(messages)
{
    setObjectName(QStringLiteral("dlgPrinterCalibration"));
    setWindowTitle(QStringLiteral("Printer Calibration"));

    auto *name = new QLabel(QStringLiteral("Printer: <b>%1</b>").arg(m_printer.toHtmlEscaped()), this);
    name->setObjectName(QStringLiteral("lblPrinter"));
    name->setTextFormat(Qt::RichText);
    m_factors = new QLabel(this);
    m_factors->setObjectName(QStringLiteral("lblFactors"));

    QPushButton *print = button("cmdPrintTestSheet", QStringLiteral("&Print Test Sheet"), this);
    m_measuredX = new QLineEdit(this);
    m_measuredX->setObjectName(QStringLiteral("txtMeasuredX"));
    m_measuredY = new QLineEdit(this);
    m_measuredY->setObjectName(QStringLiteral("txtMeasuredY"));
    auto *lengths = new QFormLayout;
    auto *labelX = new QLabel(QStringLiteral("&Horizontal ruler (%1 mm) measures:").arg(kTestSheetRulerXMm), this);
    labelX->setBuddy(m_measuredX);
    auto *labelY = new QLabel(QStringLiteral("&Vertical ruler (%1 mm) measures:").arg(kTestSheetRulerYMm), this);
    labelY->setBuddy(m_measuredY);
    lengths->addRow(labelX, m_measuredX);
    lengths->addRow(labelY, m_measuredY);

    QPushButton *store = button("cmdStore", QStringLiteral("&Store"), this);
    store->setDefault(true);
    QPushButton *reset = button("cmdReset", QStringLiteral("&Reset"), this);
    QPushButton *close = button("cmdClose", QStringLiteral("Close"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(store);
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(m_factors);
    layout->addWidget(wrappedLabel(QStringLiteral("1. Print the test sheet, then measure its two rulers from the "
                                                  "0 mark to the last mark with a good steel rule or a caliper."),
                                   this));
    layout->addWidget(print, 0, Qt::AlignLeft);
    layout->addWidget(wrappedLabel(QStringLiteral("2. Type the lengths you measured, in millimetres, and Store "
                                                  "them. Print then corrects every card for this printer. F1 "
                                                  "tells more."),
                                   this));
    layout->addLayout(lengths);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(print, &QPushButton::clicked, this, &DlgPrinterCalibration::printTestSheet);
    connect(store, &QPushButton::clicked, this,
            [this] { storeMeasurements(m_measuredX->text(), m_measuredY->text()); });
    connect(reset, &QPushButton::clicked, this, &DlgPrinterCalibration::resetCalibration);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setObjectName(QStringLiteral("helpKey"));
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        showHelpTopic(HelpTopicPrinterCalibration, parentWidget() ? parentWidget() : this);
    });

    showStoredFactors();
}

bool DlgPrinterCalibration::printTestSheet()
{
    const PrintOutcome outcome = vernalith::printTestSheet(m_design, m_printers, m_printer);
    reportPrintOutcome(outcome, m_messages);
    return outcome.result == PrintResult::Printed;
}

bool DlgPrinterCalibration::storeMeasurements(const QString &measuredX, const QString &measuredY)
{
    const MeasuredScale measured = scaleFromMeasurements(measuredX, measuredY);
    if (!measured.ok) {
        m_messages.critical(QStringLiteral("These lengths cannot be used!"), measured.problem);
        return false;
    }
    QString reason;
    if (!PrinterCalibration().store(m_printer, measured.scale, reason)) {
        m_messages.critical(QStringLiteral("The calibration could not be stored!"), reason);
        return false;
    }
    showStoredFactors();
    return true;
}

bool DlgPrinterCalibration::resetCalibration()
{
    QString reason;
    const bool done = PrinterCalibration().reset(m_printer, reason);
    if (!done)
        m_messages.critical(QStringLiteral("The calibration could not be removed!"), reason);
    showStoredFactors();
    return done;
}

void DlgPrinterCalibration::showStoredFactors()
{
    const PrinterCalibration calibration;
    if (!calibration.isCalibrated(m_printer)) {
        m_factors->setText(QStringLiteral("Not calibrated: cards print at 100.00 % across and 100.00 % down."));
        return;
    }
    const CardScale scale = calibration.scaleFor(m_printer);
    m_factors->setText(QStringLiteral("Calibrated: cards print at %1 across and %2 down.")
                           .arg(scalePercent(scale.x), scalePercent(scale.y)));
}

} // namespace vernalith
