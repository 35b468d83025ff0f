#include "needlegeometry.h"

#include "arithmeticerror.h"

#include <cmath>

namespace vernalith {

double needleAngle(double pivotX, double pivotY, double x, double y)
{
    // The case order matters: exact equality in X is tested first, so a point on the pivot
    // reads as straight down.
    if (pivotX == x)
        return pivotY > y ? kHalfPi : kThreeHalfPi;

    const double dy = checkedValue(pivotY - y, "needle angle");
    const double dx = checkedValue(pivotX - x, "needle angle");
    const double t = checkedValue(dy / dx, "needle angle");
    const double a = std::atan(std::fabs(t));
    if (x > pivotX)
        return y > pivotY ? checkedValue(kTwoPi - a, "needle angle") : a;
    return y > pivotY ? checkedValue(a + kPi, "needle angle") : checkedValue(kPi - a, "needle angle");
}

NeedleSweep needleSweep(double pivotX, double pivotY, double zeroX, double zeroY, double maxX, double maxY)
{
    NeedleSweep sweep;
    sweep.pivotX = pivotX;
    sweep.pivotY = pivotY;
    sweep.zeroAngle = needleAngle(pivotX, pivotY, zeroX, zeroY);
    sweep.maxAngle = needleAngle(pivotX, pivotY, maxX, maxY);
    sweep.span = checkedValue(sweep.maxAngle - sweep.zeroAngle, "needle sweep");
    return sweep;
}

double divisionAngle(const NeedleSweep &sweep, int i, int n)
{
    const double product = checkedValue(static_cast<double>(i) * sweep.span, "division angle");
    const double step = checkedValue(product / static_cast<double>(n), "division angle");
    return checkedValue(step + sweep.zeroAngle, "division angle");
}

CardPoint pointAt(const NeedleSweep &sweep, double angle, double radius)
{
    CardPoint p;
    p.x = checkedValue(checkedValue(std::cos(angle) * radius, "point on the scale") + sweep.pivotX,
                       "point on the scale");
    p.y = checkedValue(sweep.pivotY - checkedValue(std::sin(angle) * radius, "point on the scale"),
                       "point on the scale");
    return p;
}

ArcExtent arcExtent(const NeedleSweep &sweep)
{
    if (sweep.maxAngle >= sweep.zeroAngle)
        return {sweep.zeroAngle, sweep.maxAngle};
    return {sweep.maxAngle, sweep.zeroAngle};
}

ArcDegrees arcDegrees(double startAngle, double endAngle)
{
    // Dividing by kPi first keeps kTwoPi exactly 360 degrees.
    const auto degrees = [](double radians) { return radians / kPi * 180.0; };
    ArcDegrees arc;
    arc.start = std::fmod(degrees(startAngle), 360.0);
    if (arc.start < 0)
        arc.start += 360.0;
    if (arc.start >= 360.0)
        arc.start = 0.0;
    arc.sweep = std::fmod(degrees(endAngle - startAngle), 360.0);
    if (arc.sweep <= 0)
        arc.sweep += 360.0;
    return arc;
}

} // namespace vernalith
