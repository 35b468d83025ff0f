#pragma once

#include <QString>

#include <memory>

class QPaintDevice;

namespace vernalith {

// One page being printed. The device's painter origin is the corner of the printable area.
class PrintJob
{
public:
    virtual ~PrintJob() = default;

    virtual QPaintDevice &device() = 0;
    // The device's resolution: painter units per inch.
    virtual double dotsPerInch() const = 0;
    // Drops the job after painting failed, so that no half-drawn card comes out. Called while
    // the painter is still active.
    virtual void abort() = 0;
};

// The printers of the system, as the Print command sees them.
class PrintBackend
{
public:
    virtual ~PrintBackend() = default;

    // True when a printer is installed and one of them is the default.
    virtual bool hasPrinter() = 0;
    // A job on the default printer, set up for true-size output, no dialog; nullptr when none
    // can be made.
    virtual std::unique_ptr<PrintJob> newJob() = 0;
};

// The real printers through Qt's print support (CUPS here).
class SystemPrintBackend : public PrintBackend
{
public:
    bool hasPrinter() override;
    std::unique_ptr<PrintJob> newJob() override;
};

} // namespace vernalith
