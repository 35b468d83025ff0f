#include "cursorreadout.h"

#include "arithmeticerror.h"
#include "design/numericprefix.h"
#include "design/scalelaw.h"

#include <cmath>

namespace vernalith {

namespace {

constexpr double kTruePi = 3.14159265358979323846;

double dimensionOf(const DialDesign &design, Dimension d)
{
    return numericPrefix(design.dimension(d));
}

// The deflection whose needle angle (d * span + zero angle, the way scale readings are placed)
// points along `angle`, taken round the circle either way; -1 when the angle is outside the
// sweep. The sweep's angles carry the program's approximate pi while marks are drawn with the
// true one, so `angle` must be the true direction and the turns are true ones; the tips
// themselves then lie about 1e-11 off their own marks, so deflections that near an end are
// taken as the end (far below what a mouse can point at).
double deflectionAlong(const NeedleSweep &sweep, double angle)
{
    if (sweep.span == 0)
        return -1;
    constexpr double kSlack = 1e-9;
    constexpr double kTurn = 2 * kTruePi;
    for (const double turn : {0.0, kTurn, -kTurn, 2 * kTurn}) {
        const double d = (angle + turn - sweep.zeroAngle) / sweep.span;
        if (d >= -kSlack && d <= 1 + kSlack)
            return std::fabs(d) <= kSlack ? 0.0 : std::fabs(d - 1) <= kSlack ? 1.0 : d;
    }
    return -1;
}

// The law of the scale the row names, or false when it names none or one that cannot be used.
bool rowLaw(const DialDesign &design, TableKind kind, const QStringList &row, ScaleLaw *law)
{
    if (kind != TableKind::ScaleTickmarks && kind != TableKind::ScaleDigits)
        return false;
    bool ok = false;
    const int number = row.value(extraColumn(kind, QStringLiteral("Scale"))).trimmed().toInt(&ok);
    if (!ok || number < 1 || number > design.scales.size())
        return false;
    QString error;
    *law = ScaleLaw::parse(design.scales[number - 1], &error);
    return error.isEmpty();
}

} // namespace

QString CursorReadout::text() const
{
    QString line = QStringLiteral("X %1  Y %2 mm").arg(xMm, 0, 'f', 2).arg(yMm, 0, 'f', 2);
    if (hasPolar)
        line += QStringLiteral("  r %1 mm  %2\u00B0").arg(radiusMm, 0, 'f', 2).arg(angleDeg, 0, 'f', 1);
    if (hasValue) {
        // Four significant digits, but a large reading (ohms) in whole units rather than 1.234e+04.
        const double magnitude = std::fabs(value);
        const QString shown = std::isinf(value)
                                  ? QString(value < 0 ? QStringLiteral("-\u221E") : QStringLiteral("\u221E"))
                              : magnitude >= 1e4 && magnitude < 1e9 ? QString::number(value, 'f', 0)
                                                                    : QString::number(value, 'g', 4);
        line += QStringLiteral("  value ") + shown;
    }
    return line;
}

CursorReadout cursorReadout(const DialDesign &design, CardPoint card, TableKind kind, const QStringList &row)
{
    CursorReadout readout;
    readout.xMm = card.x;
    readout.yMm = card.y;
    const double pivotX = dimensionOf(design, Dimension::NeedlePivotX);
    const double pivotY = dimensionOf(design, Dimension::NeedlePivotY);
    try {
        const double dx = checkedValue(card.x - pivotX, "angle");
        const double dy = checkedValue(pivotY - card.y, "angle");
        // A point on the pivot reads as straight down, as the needle's geometry has it.
        double angle = dx == 0 && dy == 0 ? 1.5 * kTruePi : std::atan2(dy, dx);
        if (angle < 0)
            angle += 2 * kTruePi;
        readout.radiusMm = checkedValue(std::hypot(dx, dy), "radius");
        readout.angleDeg = angle / kTruePi * 180.0;
        readout.hasPolar = true;

        ScaleLaw law;
        if (!rowLaw(design, kind, row, &law))
            return readout;
        const NeedleSweep sweep = needleSweep(
            pivotX, pivotY, dimensionOf(design, Dimension::ZeroPosX), dimensionOf(design, Dimension::ZeroPosY),
            dimensionOf(design, Dimension::MaxPosX), dimensionOf(design, Dimension::MaxPosY));
        const double d = deflectionAlong(sweep, angle);
        if (d < 0)
            return readout;
        readout.value = law.valueAt(d);
        readout.hasValue = !std::isnan(readout.value);
    } catch (const ArithmeticError &) {
        // A dimension too large to compute with: what could be worked out stays.
    }
    return readout;
}

} // namespace vernalith
