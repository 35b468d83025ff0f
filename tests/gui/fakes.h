#pragma once
// Stand-ins for the window's seams, and a designer window on the screen wired to them.

#include "filechooser.h"
#include "frmmain.h"
#include "messagesink.h"
#include "printbackend.h"

#include <QApplication>
#include <QImage>
#include <QTableView>
#include <QTest>

namespace vernalith::testing {
struct FakeMessages : MessageSink {
    void critical(const QString &text, const QString &detail) override
    {
        texts << text;
        details << detail;
    }
    void beep() override { ++beeps; }
    QStringList texts, details;
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
    QString answer(const QString &initial, const QString &filter)
    {
        initialNames << initial;
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers, initialNames, filters;
};

struct FakePrinters : PrintBackend { // a printer whose page is an image at 300 dpi
    struct Job : PrintJob {
        explicit Job(FakePrinters *printers) : p(printers) { p->page.fill(Qt::white); }
        QPaintDevice &device() override { return p->page; }
        double dotsPerInch() const override { return 300.0; }
        void abort() override { p->aborted = true; }
        FakePrinters *p;
    };
    bool hasPrinter() override { return installed; }
    std::unique_ptr<PrintJob> newJob() override { return std::make_unique<Job>(this); }
    bool installed = true, aborted = false;
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
    QTableView *view(TableKind kind) { return child<QTableView>(tableInfo(kind).controlName); }
    FakeMessages messages; // before the window, which uses them until it is gone
    FakeFiles files;
    FakePrinters printers;
    FrmMain window;
};

} // namespace vernalith::testing
