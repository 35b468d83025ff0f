#include "printbackend.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <algorithm>

namespace vernalith {

namespace {

class SystemPrintJob : public PrintJob
{
public:
    // Sets the page up as the queue's own page with the printable area's corner as origin, then
    // sends the painting to a temporary PDF instead of the queue: Qt's printer classes submit on
    // QPainter::end() and never say whether the server took the job.
    bool open(const QString &printer, int copies, QString &reason)
    {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        if (info.isNull()) {
            reason = QStringLiteral("The printer \"%1\" is not installed").arg(printer);
            return false;
        }
        m_name = printer;
        m_copies = QByteArray::number(std::max(copies, 1));
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        // Qt keeps the page size it starts with (from the locale) whenever the printer supports
        // it; the paper loaded is the queue's own default.
        const QPageSize queuePage = info.defaultPageSize();
        if (queuePage.isValid())
            m_printer->setPageSize(queuePage);
        // The painter's origin is the corner of the printable area: the page less the margins
        // the printer cannot print on, not less Qt's own default margins.
        m_printer->setFullPage(false);
        const QPageLayout queueLayout = m_printer->pageLayout();
        m_printer->setPageMargins(queueLayout.minimumMargins(), queueLayout.units());
        const QPageLayout layout = m_printer->pageLayout();

        m_file.setFileTemplate(QDir::tempPath() + QStringLiteral("/vernalith-print-XXXXXX.pdf"));
        if (!m_file.open()) {
            reason = QStringLiteral("Cannot make a temporary file for the page: %1").arg(m_file.errorString());
            return false;
        }
        m_file.close();
        m_printer->setOutputFileName(m_file.fileName());
        // The PDF output keeps the page layout only when told again; it allows any margin.
        m_printer->setPageLayout(layout);
        m_printer->setFullPage(false);
        m_printer->setCopyCount(1);
        m_printer->setDocName(QStringLiteral("Vernalith"));
        m_media = layout.pageSize().id() == QPageSize::Custom ? QByteArray() : layout.pageSize().key().toUtf8();
        return true;
    }

    QPaintDevice &device() override { return *m_printer; }
    double dotsPerInch() const override { return m_printer->resolution(); }

    bool submit(QString &reason) override
    {
        if (QFileInfo(m_file.fileName()).size() <= 0) {
            reason = QStringLiteral("The page could not be written");
            return false;
        }
        // A queue may be set to fit every job to the page, which shrinks the card; these options
        // ask for the page exactly as drawn.
        cups_option_t *options = nullptr;
        int count = 0;
        count = cupsAddOption("fit-to-page", "false", count, &options);
        count = cupsAddOption("print-scaling", "none", count, &options);
        count = cupsAddOption("number-up", "1", count, &options);
        count = cupsAddOption("copies", m_copies.constData(), count, &options);
        if (!m_media.isEmpty())
            count = cupsAddOption("media", m_media.constData(), count, &options);
        const QByteArray name = m_name.toUtf8();
        const QByteArray path = QFile::encodeName(m_file.fileName());
        const int jobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), path.constData(), "Vernalith", count,
                                         options);
        cupsFreeOptions(count, options);
        if (jobId > 0)
            return true;
        reason = QString::fromUtf8(cupsLastErrorString());
        if (reason.isEmpty())
            reason = QStringLiteral("The print server did not take the job");
        return false;
    }

private:
    QString m_name;
    QTemporaryFile m_file; // removed with the job, submitted or not, after the printer is gone
    std::unique_ptr<QPrinter> m_printer;
    QByteArray m_media;
    QByteArray m_copies;
};

} // namespace

QStringList SystemPrintBackend::printerNames()
{
    return QPrinterInfo::availablePrinterNames();
}

QString SystemPrintBackend::defaultPrinterName()
{
    // Without a print service Qt names no default; with a default that is no longer installed it
    // may still name it, and a job for it would fail.
    const QString name = QPrinterInfo::defaultPrinterName();
    return printerNames().contains(name) ? name : QString();
}

std::unique_ptr<PrintJob> SystemPrintBackend::newJob(const QString &printer, int copies, QString &reason)
{
    auto job = std::make_unique<SystemPrintJob>();
    if (!job->open(printer, copies, reason))
        return nullptr;
    return job;
}

bool SystemPrintBackend::askForPrinter(QWidget *parent, QString &printer, int &copies)
{
    QPrinter choice(QPrinterInfo::printerInfo(printer), QPrinter::HighResolution);
    choice.setCopyCount(std::max(copies, 1));
    QPrintDialog dialog(&choice, parent);
    dialog.setWindowTitle(QStringLiteral("Print To"));
    // One card on one page: there is no range, selection or file to choose.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted || choice.printerName().isEmpty())
        return false;
    printer = choice.printerName();
    copies = std::max(choice.copyCount(), 1);
    return true;
}

} // namespace vernalith
