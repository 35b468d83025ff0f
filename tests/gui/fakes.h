#pragma once

// Stand-ins for the window's seams: messages are recorded instead of shown, printers and file
// names are whatever the test says.

#include "filechooser.h"
#include "messagesink.h"
#include "printbackend.h"

#include <QImage>
#include <QStringList>

#include <memory>

namespace vernalith::testing {

class FakeMessages : public MessageSink
{
public:
    void critical(const QString &text, const QString &reason = QString()) override
    {
        texts << text;
        reasons << reason;
    }
    void beep() override { ++beeps; }

    QStringList texts;
    QStringList reasons;
    int beeps = 0;
};

// Answers each dialog with the next name queued (an empty name is a cancel) and records the
// initial names the dialogs were given.
class FakeFiles : public FileChooser
{
public:
    QString openFileName(QWidget *, const QString &initialName, const QString &filter) override
    {
        return answer(QStringLiteral("open"), initialName, filter);
    }
    QString saveFileName(QWidget *, const QString &initialName, const QString &filter) override
    {
        return answer(QStringLiteral("save"), initialName, filter);
    }
    QString exportFileName(QWidget *, const QString &initialName, const QStringList &filters,
                           QString *selectedFilter) override
    {
        exportFilters = filters;
        if (selectedFilter)
            *selectedFilter = exportFilterAnswer;
        return answer(QStringLiteral("export"), initialName, filters.join(QStringLiteral(";;")));
    }

    QStringList answers;
    QStringList dialogs;      // "open", "save", "export", in the order asked
    QStringList initialNames; // what each dialog offered first
    QStringList filters;
    QStringList exportFilters;
    QString exportFilterAnswer;

private:
    QString answer(const QString &dialog, const QString &initialName, const QString &filter)
    {
        dialogs << dialog;
        initialNames << initialName;
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// A printer whose page is an image at 300 dpi; the image keeps what was printed.
class FakePrinters : public PrintBackend
{
public:
    static constexpr double kDpi = 300.0;

    bool hasPrinter() override { return installed; }
    std::unique_ptr<PrintJob> newJob() override
    {
        ++jobs;
        page = QImage(unusable ? QSize() : QSize(2480, 3508), QImage::Format_RGB32);
        if (!page.isNull())
            page.fill(Qt::white);
        return std::make_unique<Job>(*this);
    }

    bool installed = true;
    bool unusable = false; // the page cannot be painted on
    int jobs = 0;
    bool aborted = false;
    QImage page;

private:
    class Job : public PrintJob
    {
    public:
        explicit Job(FakePrinters &printers) : m_printers(printers) {}
        QPaintDevice &device() override { return m_printers.page; }
        double dotsPerInch() const override { return kDpi; }
        void abort() override { m_printers.aborted = true; }

    private:
        FakePrinters &m_printers;
    };
};

} // namespace vernalith::testing
