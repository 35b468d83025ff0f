#pragma once
// Stand-ins for the window's seams, and a designer window on the screen wired to them.

#include "../namedcases.h"
#include "../tablerows.h"
#include "design/designtable.h"
#include "filechooser.h"
#include "frmmain.h"
#include "messagesink.h"
#include "printbackend.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QTableView>
#include <QTest>

namespace vernalith::testing {
struct FakeMessages : MessageSink {
    void critical(const QString &text, const QString &reason) override
    {
        texts << text;
        reasons << reason;
    }
    void beep() override { ++beeps; }
    QStringList texts, reasons;
    int beeps = 0;
};

// Answers each dialog with the next queued name (empty: cancelled); records what each offered.
struct FakeFiles : FileChooser {
    QString openFileName(QWidget *, const QString &initial, const QString &f) override { return answer(initial, f); }
    QString saveFileName(QWidget *, const QString &initial, const QString &f) override { return answer(initial, f); }
    QString exportFileName(QWidget *, const QString &initial, const QStringList &f, QString *) override
    {
        return answer(initial, f.join(QLatin1String(";;"))); // the first format stays chosen
    }
    // Records the format and the options offered; answers with `outlines`, or cancels when
    // `cancelOptions` is set.
    bool exportOptions(QWidget *, ExportFormat format, ExportOptions *options) override
    {
        optionFormats << format;
        offeredOptions << *options;
        if (cancelOptions)
            return false;
        options->textOutlines = outlines;
        return true;
    }
    QList<ExportFormat> optionFormats;
    QList<ExportOptions> offeredOptions;
    bool outlines = false, cancelOptions = false;
    QString answer(const QString &initial, const QString &filter)
    {
        initialNames << initial;
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers, initialNames, filters;
};

// Printers whose page is an image at 300 dpi. `refusal`, when set, is the print server's answer
// to every submission. The print dialog answers with `picked` and `pickedCopies`, or is
// cancelled when `picked` is empty.
struct FakePrinters : PrintBackend {
    struct Job : PrintJob {
        Job(FakePrinters *printers, const QString &name) : p(printers), printer(name) { p->page.fill(Qt::white); }
        QPaintDevice &device() override { return p->page; }
        double dotsPerInch() const override { return 300.0; }
        bool submit(QString &reason) override
        {
            if (!p->refusal.isEmpty()) {
                reason = p->refusal;
                return false;
            }
            p->printedOn << printer;
            return true;
        }
        FakePrinters *p;
        QString printer;
    };
    QStringList printerNames() override { return installed ? names : QStringList(); }
    QString defaultPrinterName() override { return installed ? defaultName : QString(); }
    std::unique_ptr<PrintJob> newJob(const QString &printer, int copies, QString &) override
    {
        jobsOn << printer;
        jobCopies << copies;
        return std::make_unique<Job>(this, printer);
    }
    bool askForPrinter(QWidget *, QString &printer, int &copies) override
    {
        offered << printer;
        if (picked.isEmpty())
            return false;
        printer = picked;
        copies = pickedCopies;
        return true;
    }
    bool installed = true;
    QStringList names{QStringLiteral("Fake")};
    QString defaultName = QStringLiteral("Fake");
    QString refusal;
    QStringList jobsOn, printedOn; // the printers asked for a page, and those that took one
    QList<int> jobCopies;
    QString picked;
    int pickedCopies = 1;
    QStringList offered; // what the print dialog offered first, per showing
    QImage page{2480, 3508, QImage::Format_RGB32};
};

struct ShownWindow {
    ShownWindow()
    {
        window.setMessageSink(&messages);
        window.setFileChooser(&files);
        window.setPrintBackend(&printers);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    template <typename T = QWidget> T *child(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    // The window's shown dialog of that type, made active: no window manager brings it to the front.
    template <typename Dialog = QDialog> Dialog *shownDialog()
    {
        for (Dialog *dialog : window.findChildren<Dialog *>()) {
            if (dialog->isVisible()) {
                QApplication::setActiveWindow(dialog);
                return QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
            }
        }
        return nullptr;
    }
    QTableView *view(TableKind kind) { return child<QTableView>(tableInfo(kind).controlName); }
    FakeMessages messages; // before the window, which uses them until it is gone
    FakeFiles files;
    FakePrinters printers;
    FrmMain window;
};

// A table's data rows as lines of their visible cells joined by '|', and the reverse.
inline QStringList tableLines(const DesignTable &table)
{
    QStringList lines;
    for (const QStringList &row : table.rowsData())
        lines << row.mid(0, table.columns()).join(QLatin1Char('|'));
    return lines;
}

inline void fillTable(DesignTable &table, const QStringList &lines)
{
    table.replaceRows(rowsOf(lines.join(QLatin1Char(';'))));
}

// The dial file format's worked example, as Save writes it.
inline const QByteArray kWorkedExample =
    "[Vernalith1.0]\r\n[Dimensions]\r\n52\r\n45\r\n26\r\n33\r\n5\r\n12\r\n47\r\n12\r\n"
    "[Arcs]\r\n20\r\n22\r\n[Tickmarks]\r\n10\t22\t20\t\r\n50\t22\t21\t\r\n"
    "[Digits]\r\n5\t0\t100\t0\t24\t6\t\r\n[Labels]\r\n26\t40\tmA\t8\t\r\n\r\n";

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace vernalith::testing
