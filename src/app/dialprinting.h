#pragma once

#include "design/dialdesign.h"

#include <QString>
#include <QStringList>

namespace vernalith {

class MessageSink;
class PrintBackend;
class PrinterCalibration;

enum class PrintResult {
    Printed,   // the page went to the printer and the print server took the job
    NoPrinter, // no printer is installed: nothing was drawn
    NoDefault, // several printers and none is the default: nothing was drawn
    Failed,    // the design could not be drawn, or the printer or print server did not take the job
};

struct PrintOutcome {
    PrintResult result = PrintResult::Printed;
    QString reason;      // why it failed, for a person; empty otherwise
    QString printer;     // the printer used (Printed, Failed once a printer was chosen)
    QStringList printers; // the installed printers (NoDefault)
};

// The printer the print commands use, without printing anything: the system's default printer,
// or the only printer installed when none is the default; `result` is then Printed and `printer`
// names it. Otherwise `result` is NoPrinter, or NoDefault with the installed printers listed,
// and `printer` is empty.
PrintOutcome choosePrinter(PrintBackend &printers);

// Prints one page with the card, 10 mm in from the printable area's corner, at true size
// corrected by the calibration `calibration` holds for the chosen printer (about the card's
// top-left corner). The whole card is drawn once on a surface that prints nothing before the
// printer is asked for a page: a design that cannot be drawn reaches no printer at all.
PrintOutcome printDial(const DialDesign &design, PrintBackend &printers, const PrinterCalibration &calibration);

// The same on `printer`, chosen by the user, `copies` times (File > Print To...). A printer
// that is not installed fails with the reason.
PrintOutcome printDialOn(const DialDesign &design, PrintBackend &printers, const QString &printer, int copies,
                         const PrinterCalibration &calibration);

// Prints the calibration test sheet (see drawTestSheet) on `printer` at nominal size, with the
// outline of `design`'s card.
PrintOutcome printTestSheet(const DialDesign &design, PrintBackend &printers, const QString &printer);

// Shows the message an outcome calls for: none for Printed; "You don't have a printer set up on
// this machine!"; the no-default message naming the printers; "Printer error!" with the reason.
void reportPrintOutcome(const PrintOutcome &outcome, MessageSink &messages);

} // namespace vernalith
