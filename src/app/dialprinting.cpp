#include "dialprinting.h"

#include "messagesink.h"
#include "printbackend.h"
#include "printercalibration.h"
#include "design/numericprefix.h"
#include "render/cardscale.h"
#include "render/countingsurface.h"
#include "render/dialrenderer.h"
#include "render/paintersurface.h"
#include "render/testsheet.h"

#include <QPainter>

#include <exception>
#include <functional>
#include <new>

namespace vernalith {

namespace {

// Runs a drawing, turning what it throws into a reason for a person; empty when it drew.
QString tryDrawing(const std::function<void()> &draw)
{
    try {
        draw();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Not enough memory to draw the card");
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

PrintOutcome failed(const QString &printer, const QString &reason)
{
    PrintOutcome outcome;
    outcome.result = PrintResult::Failed;
    outcome.reason = reason;
    outcome.printer = printer;
    return outcome;
}

// Paints one page on `printer` with `draw` and submits it. Only a page that painted completely
// is submitted; any other job is dropped with its temporary page.
PrintOutcome printPage(PrintBackend &printers, const QString &printer, int copies, CardScale scale,
                       const std::function<void(DrawingSurface &)> &draw)
{
    QString reason;
    std::unique_ptr<PrintJob> job = printers.newJob(printer, copies, reason);
    if (!job)
        return failed(printer, reason.isEmpty() ? QStringLiteral("The printer cannot be used") : reason);

    QPainter painter;
    if (!painter.begin(&job->device()))
        return failed(printer, QStringLiteral("The printer cannot start a page"));
    if (!scale.isIdentity())
        applyCardScale(painter, scale, job->dotsPerInch());
    {
        PainterSurface surface(painter, job->dotsPerInch());
        reason = tryDrawing([&] { draw(surface); });
    }
    const bool ended = painter.end();
    if (!reason.isEmpty())
        return failed(printer, reason);
    if (!ended)
        return failed(printer, QStringLiteral("The page could not be finished"));
    if (!job->submit(reason))
        return failed(printer, reason);

    PrintOutcome outcome;
    outcome.printer = printer;
    return outcome;
}

} // namespace

PrintOutcome choosePrinter(PrintBackend &printers)
{
    PrintOutcome outcome;
    const QStringList installed = printers.printerNames();
    if (installed.isEmpty()) {
        outcome.result = PrintResult::NoPrinter;
        return outcome;
    }
    const QString chosen = printers.defaultPrinterName();
    if (!chosen.isEmpty()) {
        outcome.printer = chosen;
    } else if (installed.size() == 1) {
        outcome.printer = installed.first();
    } else {
        outcome.result = PrintResult::NoDefault;
        outcome.printers = installed;
    }
    return outcome;
}

PrintOutcome printDial(const DialDesign &design, PrintBackend &printers, const PrinterCalibration &calibration)
{
    PrintOutcome choice = choosePrinter(printers);
    if (choice.result != PrintResult::Printed)
        return choice;
    return printDialOn(design, printers, choice.printer, 1, calibration);
}

PrintOutcome printDialOn(const DialDesign &design, PrintBackend &printers, const QString &printer, int copies,
                         const PrinterCalibration &calibration)
{
    CountingSurface dryRun;
    const QString drawingError = tryDrawing([&] { drawDial(design, dryRun); });
    if (!drawingError.isEmpty())
        return failed(printer, drawingError);

    return printPage(printers, printer, copies, calibration.scaleFor(printer),
                     [&design](DrawingSurface &surface) { drawDial(design, surface); });
}

PrintOutcome printTestSheet(const DialDesign &design, PrintBackend &printers, const QString &printer)
{
    const double width = numericPrefix(design.dimension(Dimension::CardWidth));
    const double height = numericPrefix(design.dimension(Dimension::CardHeight));
    return printPage(printers, printer, 1, CardScale(), [&](DrawingSurface &surface) {
        drawTestSheet(surface, printer, width, height);
    });
}

void reportPrintOutcome(const PrintOutcome &outcome, MessageSink &messages)
{
    switch (outcome.result) {
    case PrintResult::Printed:
        break;
    case PrintResult::NoPrinter:
        messages.critical(QStringLiteral("You don't have a printer set up on this machine!"));
        break;
    case PrintResult::NoDefault:
        messages.critical(QStringLiteral("No default printer is chosen on this machine!"),
                          QStringLiteral("The printers are: %1. Choose one of them as the default printer in the "
                                         "system's printer settings (or with the command lpoptions -d NAME), "
                                         "then print again.")
                              .arg(outcome.printers.join(QStringLiteral(", "))));
        break;
    case PrintResult::Failed:
        messages.critical(QStringLiteral("Printer error!"), outcome.reason);
        break;
    }
}

} // namespace vernalith
