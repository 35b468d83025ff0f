#include "dialprinting.h"

#include "printbackend.h"
#include "render/dialrenderer.h"
#include "render/paintersurface.h"

#include <QPainter>

#include <exception>

namespace vernalith {

PrintOutcome printDial(const DialDesign &design, PrintBackend &printers)
{
    if (!printers.hasPrinter())
        return {PrintResult::NoPrinter, QString()};

    std::unique_ptr<PrintJob> job = printers.newJob();
    if (!job)
        return {PrintResult::Failed, QStringLiteral("The default printer cannot be used")};

    QPainter painter;
    if (!painter.begin(&job->device()))
        return {PrintResult::Failed, QStringLiteral("The printer cannot start a page")};

    QString reason;
    try {
        PainterSurface surface(painter, job->dotsPerInch());
        drawDial(design, surface);
    } catch (const std::exception &e) {
        reason = QString::fromUtf8(e.what());
    }
    if (!reason.isEmpty()) {
        job->abort();
        painter.end();
        return {PrintResult::Failed, reason};
    }
    if (!painter.end())
        return {PrintResult::Failed, QStringLiteral("The printer did not accept the page")};
    return {PrintResult::Printed, QString()};
}

} // namespace vernalith
