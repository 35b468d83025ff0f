#pragma once

#include "design/dialdesign.h"

#include <QString>

namespace vernalith {

class PrintBackend;

enum class PrintResult {
    Printed,   // the page went to the default printer
    NoPrinter, // no printer is installed: nothing was drawn
    Failed,    // the printer refused, or the design could not be drawn; the job was dropped
};

struct PrintOutcome {
    PrintResult result = PrintResult::Printed;
    QString reason; // why it failed, for a person; empty otherwise
};

// Prints one page with the card at true size, 10 mm in from the printable area's corner.
PrintOutcome printDial(const DialDesign &design, PrintBackend &printers);

} // namespace vernalith
