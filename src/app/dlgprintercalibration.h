#pragma once

#include "design/dialdesign.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vernalith {

class MessageSink;
class PrintBackend;

// File > Printer Calibration: for one printer, prints the test sheet, takes the two ruler
// lengths the user measured on it and stores the factors that make that printer print true, or
// removes them. Shows the printer's name and the stored factors as percentages. F1 opens the
// calibration help topic.
//
// The dialog only collects input; printTestSheet(), storeMeasurements() and resetCalibration()
// do the work, report through `messages` and can be called without showing the dialog. The
// backend and the sink are not owned and must outlive the dialog.
class DlgPrinterCalibration : public QDialog
{
    Q_OBJECT

public:
    DlgPrinterCalibration(const QString &printer, const DialDesign &design, PrintBackend &printers,
                          MessageSink &messages, QWidget *parent = nullptr);

    QString printer() const { return m_printer; }

    // Prints the test sheet at nominal size, with the outline of the design's card. True when
    // the print server took it; otherwise "Printer error!" with the reason.
    bool printTestSheet();
    // Stores the factors for rulers measured `measuredX` and `measuredY` long (texts as typed).
    // A length that cannot be read, or a factor outside 95 to 105 %, is refused with a message
    // that says why; what was stored stays then.
    bool storeMeasurements(const QString &measuredX, const QString &measuredY);
    // Removes the stored factors: the printer prints uncorrected again.
    bool resetCalibration();

private:
    void showStoredFactors();

    QString m_printer;
    DialDesign m_design;
    PrintBackend &m_printers;
    MessageSink &m_messages;
    QLabel *m_factors;
    QLineEdit *m_measuredX;
    QLineEdit *m_measuredY;
};

} // namespace vernalith
