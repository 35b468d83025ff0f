#pragma once

#include "render/cardscale.h"

#include <QString>

namespace vernalith {

// The size corrections of the printers, one pair of factors per printer name, kept in the
// program's settings (QSettings under the application's organisation and name, group
// "PrinterCalibration"). Dial files are never touched. Each call reads or writes the settings
// anew, so two objects see each other's changes.
class PrinterCalibration
{
public:
    // The factors stored for `printer`; 1, 1 when none are stored, and when what is stored is
    // not a usable pair (see isUsableCardScale), as after a hand edit.
    CardScale scaleFor(const QString &printer) const;
    // True when a usable pair is stored for `printer`.
    bool isCalibrated(const QString &printer) const;
    // Stores `scale` for `printer`, replacing what was there. False, with the reason, when the
    // pair is not usable or the settings cannot be written; what was stored stays then.
    bool store(const QString &printer, CardScale scale, QString &reason);
    // Removes what is stored for `printer`; its cards print uncorrected again.
    bool reset(const QString &printer, QString &reason);
};

// The factors (nominal / measured) for test sheet rulers measured `measuredX` and `measuredY`
// long, as a person types them: millimetres, a full stop or a comma before the decimals, an
// optional "mm" after. `ok` is false, with the problem in `problem` for a person, for a text
// that is no positive length, and for a factor outside 95 to 105 % (which names the likely cause:
// the driver's fit-to-page or scaling option).
struct MeasuredScale {
    bool ok = false;
    CardScale scale;
    QString problem;
};
MeasuredScale scaleFromMeasurements(const QString &measuredX, const QString &measuredY);

// A factor as the dialog shows it: "102.00 %".
QString scalePercent(double factor);

} // namespace vernalith
