#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QPaintDevice;
class QWidget;

namespace vernalith {

// One page on its way to a printer. The page is painted first and goes nowhere until submit():
// a job that is dropped, or never submitted, reaches no printer at all. The device's painter
// origin is the corner of the printable area.
class PrintJob
{
public:
    virtual ~PrintJob() = default;

    virtual QPaintDevice &device() = 0;
    // The device's resolution: painter units per inch.
    virtual double dotsPerInch() const = 0;
    // Hands the painted page to the printer; call once, after the painter has ended. False, with
    // the printer's or the print server's reason in `reason`, when the job was not taken
    // (refused, queue gone, server gone); nothing was printed then.
    virtual bool submit(QString &reason) = 0;
};

// The printers of the system, as the print commands see them.
class PrintBackend
{
public:
    virtual ~PrintBackend() = default;

    // The names of the installed printers; empty when there are none or no print service.
    virtual QStringList printerNames() = 0;
    // The name of the system's default printer; empty when none is chosen.
    virtual QString defaultPrinterName() = 0;
    // A page on `printer` set up for true-size output, to come out `copies` times (1 or more),
    // with no dialog; nullptr, with the reason in `reason`, when none can be made.
    virtual std::unique_ptr<PrintJob> newJob(const QString &printer, int copies, QString &reason) = 0;
    // Lets the user choose a printer and a number of copies (File > Print To...), offering
    // `printer` first. False when the user cancels; nothing is printed then.
    virtual bool askForPrinter(QWidget *parent, QString &printer, int &copies) = 0;
};

// The real printers: listed through Qt's print support, painted through a QPrinter into a
// temporary PDF with the queue's page and printable area, and submitted to the print server
// through libcups, which says whether the server took the job.
class SystemPrintBackend : public PrintBackend
{
public:
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    std::unique_ptr<PrintJob> newJob(const QString &printer, int copies, QString &reason) override;
    // Qt's print dialog, for the printer and the copies only: the card always prints at true
    // size, one per page, whatever page or scaling options the dialog offers.
    bool askForPrinter(QWidget *parent, QString &printer, int &copies) override;
};

} // namespace vernalith
