#pragma once

namespace vernalith {

// The angle constants of the dial, used exactly as written (not a library pi): every stored
// design was laid out with them.
inline constexpr double kPi = 3.1415926536;
inline constexpr double kTwoPi = 6.2831853072;
inline constexpr double kThreePi = 9.4247779608;
inline constexpr double kHalfPi = 3.1415926536 / 2.0;
inline constexpr double kThreeHalfPi = 9.4247779608 / 2.0;

// Angles are radians at the needle pivot: 0 points to the card's right edge and they grow
// counter-clockwise as the card is seen (pi/2 points up). Card Y grows downwards.
//
// Every function below throws ArithmeticError when a step gives a non-finite number.

// Direction of (x, y) seen from the pivot, in [0, 2pi). A point on the pivot gives 3pi/2.
double needleAngle(double pivotX, double pivotY, double x, double y);

// The needle's sweep for one drawing.
struct NeedleSweep {
    double pivotX = 0;
    double pivotY = 0;
    double zeroAngle = 0; // theta0
    double maxAngle = 0;  // thetam
    double span = 0;      // thetam - theta0, never normalised: its sign picks the direction
};
NeedleSweep needleSweep(double pivotX, double pivotY, double zeroX, double zeroY, double maxX, double maxY);

// theta(i, n) = ((i * span) / n) + theta0, in that order of operations; n >= 1.
double divisionAngle(const NeedleSweep &sweep, int i, int n);

struct CardPoint {
    double x = 0;
    double y = 0;
};
// The point at `angle` and `radius` from the pivot.
CardPoint pointAt(const NeedleSweep &sweep, double angle, double radius);

// Arcs run counter-clockwise from the smaller to the larger of theta0 and thetam.
struct ArcExtent {
    double start = 0;
    double end = 0;
};
ArcExtent arcExtent(const NeedleSweep &sweep);

// An arc as drawing programs take it, in degrees counter-clockwise as the card is seen: `start`
// in [0, 360) and `sweep` in (0, 360]. Converted with the program's pi, the one the angles were
// computed with, so that a sweep just short of a full circle stays just short of 360 degrees
// instead of wrapping round to nothing.
struct ArcDegrees {
    double start = 0;
    double sweep = 0;
};
// From `startAngle` counter-clockwise to `endAngle`, radians as above; the angles need not be
// normalised. Equal angles give a full circle; callers that draw nothing for them check first.
ArcDegrees arcDegrees(double startAngle, double endAngle);

} // namespace vernalith
