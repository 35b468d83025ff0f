#include "printbackend.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

namespace vernalith {

namespace {

// Qt hands CUPS job options through this print engine property (a list of name, value pairs).
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// A queue may be set to fit every job to the page, which shrinks the card; these options ask
// for the page exactly as drawn.
void requestTrueSize(QPrinter &printer)
{
    QPrintEngine *engine = printer.printEngine();
    if (!engine)
        return;
    QStringList options = engine->property(kCupsOptionsProperty).toStringList();
    const QStringList wanted = {QStringLiteral("fit-to-page"), QStringLiteral("false"),
                                QStringLiteral("print-scaling"), QStringLiteral("none"),
                                QStringLiteral("number-up"), QStringLiteral("1")};
    for (qsizetype i = 0; i + 1 < wanted.size(); i += 2) {
        qsizetype at = -1;
        for (qsizetype j = 0; j + 1 < options.size(); j += 2) {
            if (options[j] == wanted[i]) {
                at = j;
                break;
            }
        }
        if (at >= 0) {
            options[at + 1] = wanted[i + 1];
        } else {
            options << wanted[i] << wanted[i + 1];
        }
    }
    engine->setProperty(kCupsOptionsProperty, options);
}

class SystemPrintJob : public PrintJob
{
public:
    SystemPrintJob() : m_printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution)
    {
        // The painter's origin is the corner of the printable area: the page less the margins
        // the printer cannot print on, not less Qt's own default margins.
        m_printer.setFullPage(false);
        const QPageLayout layout = m_printer.pageLayout();
        m_printer.setPageMargins(layout.minimumMargins(), layout.units());
        m_printer.setCopyCount(1);
        m_printer.setDocName(QStringLiteral("Vernalith"));
        requestTrueSize(m_printer);
    }

    QPaintDevice &device() override { return m_printer; }
    double dotsPerInch() const override { return m_printer.resolution(); }
    void abort() override { m_printer.abort(); }

private:
    QPrinter m_printer;
};

} // namespace

bool SystemPrintBackend::hasPrinter()
{
    // Without a print service a QPrinter quietly becomes a PDF writer and still says it is
    // valid, so ask for the list and the default instead.
    return !QPrinterInfo::availablePrinters().isEmpty() && !QPrinterInfo::defaultPrinter().isNull();
}

std::unique_ptr<PrintJob> SystemPrintBackend::newJob()
{
    return std::make_unique<SystemPrintJob>();
}

} // namespace vernalith
