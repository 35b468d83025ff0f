// The needle's angles, the division of its sweep and the points on the card they lead to.

#include "render/arithmeticerror.h"
#include "render/needlegeometry.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vernalith;

namespace {

// Compares to a number of decimals, the way the dial's figures are given.
bool equalTo(double actual, double expected, int decimals)
{
    return std::fabs(actual - expected) <= 0.5 * std::pow(10.0, -decimals);
}

QByteArray describe(double actual, double expected)
{
    return QByteArray::number(actual, 'f', 12) + " != " + QByteArray::number(expected, 'f', 12);
}

double degrees(double angle)
{
    return angle * 180.0 / kPi;
}

} // namespace

class TestNeedleGeometry : public QObject
{
    Q_OBJECT

private slots:
    void usesTheDialConstants();
    void needleAngleByDirection_data();
    void needleAngleByDirection();
    void needleAngleIsExactOnTheAxes();
    void onlyTheDirectionCounts();
    void defaultDesignSweep();
    void defaultDesignDivisionPoints_data();
    void defaultDesignDivisionPoints();
    void divisionAngleEndsOnBothTips();
    void divisionAngleOperationOrder();
    void tipsOnOneRayGiveNoSpan();
    void sweepAvoidsTheRightDirection();
    void arcExtentRunsFromSmallerToLarger_data();
    void arcExtentRunsFromSmallerToLarger();
    void nonFiniteStepsThrow_data();
    void nonFiniteStepsThrow();
    void errorNamesTheStep();
};

void TestNeedleGeometry::usesTheDialConstants()
{
    // The dial's pi is 3.1415926536, slightly larger than the true value.
    QCOMPARE(kPi, 3.1415926536);
    QVERIFY(kPi > M_PI);
    QCOMPARE(kTwoPi, 6.2831853072);
    QCOMPARE(kThreePi, 9.4247779608);
    QCOMPARE(kHalfPi, 3.1415926536 / 2.0);
    QCOMPARE(kThreeHalfPi, 9.4247779608 / 2.0);
}

void TestNeedleGeometry::needleAngleByDirection_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("expected");

    // Pivot at the origin; card Y grows downwards, so -10 is above.
    QTest::newRow("level, right") << 10.0 << 0.0 << 0.0;
    QTest::newRow("above right") << 10.0 << -10.0 << 0.7853981634;
    QTest::newRow("straight above") << 0.0 << -10.0 << 1.5707963268;
    QTest::newRow("above left") << -10.0 << -10.0 << 2.3561944902;
    QTest::newRow("level, left") << -10.0 << 0.0 << 3.1415926536;
    QTest::newRow("below left") << -10.0 << 10.0 << 3.9269908170;
    QTest::newRow("straight below") << 0.0 << 10.0 << 4.7123889804;
    QTest::newRow("below right") << 10.0 << 10.0 << 5.4977871438;
    QTest::newRow("on the pivot") << 0.0 << 0.0 << 4.7123889804;
    QTest::newRow("steep above right") << 1.0 << -1e6 << 1.5707953268;
    QTest::newRow("shallow below right") << 1e6 << 1e-6 << 6.2831853072 - 1e-12;
}

void TestNeedleGeometry::needleAngleByDirection()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, expected);
    const double angle = needleAngle(0.0, 0.0, x, y);
    QVERIFY2(equalTo(angle, expected, 10), describe(angle, expected));
    QVERIFY(angle >= 0.0 && angle < kTwoPi);
}

void TestNeedleGeometry::needleAngleIsExactOnTheAxes()
{
    // The axis cases are the dial's constants themselves, bit for bit, and the diagonal
    // cases are built on them (QCOMPARE would forgive the last bits of a library pi).
    QVERIFY(needleAngle(3, 4, 9, 4) == 0.0);
    QVERIFY(needleAngle(3, 4, -9, 4) == kPi);
    QVERIFY(needleAngle(3, 4, 3, 1) == kHalfPi);
    QVERIFY(needleAngle(3, 4, 3, 8) == kThreeHalfPi);
    QVERIFY(needleAngle(3, 4, 3, 4) == kThreeHalfPi);
    const double quarter = std::atan(1.0);
    QVERIFY(needleAngle(0, 0, 10, -10) == quarter);
    QVERIFY(needleAngle(0, 0, -10, -10) == kPi - quarter);
    QVERIFY(needleAngle(0, 0, -10, 10) == quarter + kPi);
    QVERIFY(needleAngle(0, 0, 10, 10) == kTwoPi - quarter);
}

void TestNeedleGeometry::onlyTheDirectionCounts()
{
    const double near = needleAngle(26, 33, 16, 23);
    const double far = needleAngle(26, 33, 5, 12);
    QVERIFY2(equalTo(near, 2.3561944902, 10), describe(near, 2.3561944902));
    QCOMPARE(far, near);
}

void TestNeedleGeometry::defaultDesignSweep()
{
    const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
    QVERIFY2(equalTo(sweep.zeroAngle, 2.3561944902, 10), describe(sweep.zeroAngle, 2.3561944902));
    QVERIFY2(equalTo(sweep.maxAngle, 0.7853981634, 10), describe(sweep.maxAngle, 0.7853981634));
    QVERIFY2(equalTo(sweep.span, -1.5707963268, 10), describe(sweep.span, -1.5707963268));
    QCOMPARE(sweep.pivotX, 26.0);
    QCOMPARE(sweep.pivotY, 33.0);
    QVERIFY2(equalTo(degrees(sweep.zeroAngle), 135.0, 8), describe(degrees(sweep.zeroAngle), 135.0));
}

void TestNeedleGeometry::defaultDesignDivisionPoints_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    QTest::newRow("zero") << 0 << 11.8579 << 18.8579;
    QTest::newRow("middle") << 5 << 26.0 << 13.0;
    QTest::newRow("maximum") << 10 << 40.1421 << 18.8579;
}

void TestNeedleGeometry::defaultDesignDivisionPoints()
{
    QFETCH(int, i);
    QFETCH(double, x);
    QFETCH(double, y);
    const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
    const CardPoint p = pointAt(sweep, divisionAngle(sweep, i, 10), 20.0);
    QVERIFY2(equalTo(p.x, x, 4), describe(p.x, x));
    QVERIFY2(equalTo(p.y, y, 4), describe(p.y, y));
}

void TestNeedleGeometry::divisionAngleEndsOnBothTips()
{
    const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
    for (int n : {1, 3, 7, 10, 32766}) {
        QCOMPARE(divisionAngle(sweep, 0, n), sweep.zeroAngle);
        QVERIFY2(equalTo(divisionAngle(sweep, n, n), sweep.maxAngle, 12),
                 describe(divisionAngle(sweep, n, n), sweep.maxAngle));
    }
    // Divisions advance clockwise for a negative span: each angle is smaller than the one before.
    for (int i = 1; i <= 10; ++i)
        QVERIFY(divisionAngle(sweep, i, 10) < divisionAngle(sweep, i - 1, 10));
}

void TestNeedleGeometry::divisionAngleOperationOrder()
{
    // ((i * span) / n) + theta0 and i * (span / n) + theta0 differ in the last bits for some
    // values; the first order is the one every division uses.
    NeedleSweep sweep;
    sweep.zeroAngle = 0.1;
    sweep.span = 1.0;
    int differing = 0;
    for (int n = 1; n <= 200; ++n) {
        for (int i = 0; i <= n; ++i) {
            const double expected = ((static_cast<double>(i) * sweep.span) / static_cast<double>(n)) + sweep.zeroAngle;
            const double other = static_cast<double>(i) * (sweep.span / static_cast<double>(n)) + sweep.zeroAngle;
            if (expected != other)
                ++differing;
            QVERIFY2(divisionAngle(sweep, i, n) == expected, describe(divisionAngle(sweep, i, n), expected));
        }
    }
    QVERIFY(differing > 0); // the table above can tell the two orders apart
}

void TestNeedleGeometry::tipsOnOneRayGiveNoSpan()
{
    const NeedleSweep sweep = needleSweep(26, 33, 16, 23, 5, 12);
    QCOMPARE(sweep.span, 0.0);
    const CardPoint first = pointAt(sweep, divisionAngle(sweep, 0, 4), 10.0);
    for (int i = 1; i <= 4; ++i) {
        const CardPoint p = pointAt(sweep, divisionAngle(sweep, i, 4), 10.0);
        QCOMPARE(p.x, first.x);
        QCOMPARE(p.y, first.y);
    }
}

void TestNeedleGeometry::sweepAvoidsTheRightDirection()
{
    // Zero tip below right at 300 degrees, maximum tip above right at 60 degrees.
    const double r = 10.0;
    const double c = std::cos(60.0 * M_PI / 180.0) * r;
    const double s = std::sin(60.0 * M_PI / 180.0) * r;
    const NeedleSweep sweep = needleSweep(0, 0, c, s, c, -s);
    QVERIFY2(equalTo(degrees(sweep.zeroAngle), 300.0, 8), describe(degrees(sweep.zeroAngle), 300.0));
    QVERIFY2(equalTo(degrees(sweep.maxAngle), 60.0, 8), describe(degrees(sweep.maxAngle), 60.0));
    QVERIFY2(equalTo(degrees(sweep.span), -240.0, 8), describe(degrees(sweep.span), -240.0));

    // The divisions run clockwise through the left side, never through 0 degrees.
    QVERIFY2(equalTo(degrees(divisionAngle(sweep, 1, 2)), 180.0, 8),
             describe(degrees(divisionAngle(sweep, 1, 2)), 180.0));
    for (int i = 0; i <= 24; ++i) {
        const double a = degrees(divisionAngle(sweep, i, 24));
        QVERIFY2(a >= 60.0 - 1e-8 && a <= 300.0 + 1e-8, QByteArray::number(a));
    }
    const CardPoint left = pointAt(sweep, divisionAngle(sweep, 1, 2), r);
    QVERIFY2(equalTo(left.x, -r, 8) && equalTo(left.y, 0.0, 8), describe(left.x, -r));

    // The arc covers the same interval, counter-clockwise from 60 to 300 degrees.
    const ArcExtent arc = arcExtent(sweep);
    QCOMPARE(arc.start, sweep.maxAngle);
    QCOMPARE(arc.end, sweep.zeroAngle);
}

void TestNeedleGeometry::arcExtentRunsFromSmallerToLarger_data()
{
    QTest::addColumn<double>("zeroX");
    QTest::addColumn<double>("zeroY");
    QTest::addColumn<double>("maxX");
    QTest::addColumn<double>("maxY");
    QTest::addColumn<bool>("startsAtZero");

    QTest::newRow("zero left, maximum right (clockwise)") << 5.0 << 12.0 << 47.0 << 12.0 << false;
    QTest::newRow("zero right, maximum left (counter-clockwise)") << 47.0 << 12.0 << 5.0 << 12.0 << true;
    QTest::newRow("both on one ray") << 16.0 << 23.0 << 5.0 << 12.0 << true;
    QTest::newRow("zero straight down, maximum level right") << 26.0 << 50.0 << 40.0 << 33.0 << false;
}

void TestNeedleGeometry::arcExtentRunsFromSmallerToLarger()
{
    QFETCH(double, zeroX);
    QFETCH(double, zeroY);
    QFETCH(double, maxX);
    QFETCH(double, maxY);
    QFETCH(bool, startsAtZero);

    const NeedleSweep sweep = needleSweep(26, 33, zeroX, zeroY, maxX, maxY);
    const ArcExtent arc = arcExtent(sweep);
    QCOMPARE(arc.start, startsAtZero ? sweep.zeroAngle : sweep.maxAngle);
    QCOMPARE(arc.end, startsAtZero ? sweep.maxAngle : sweep.zeroAngle);
    QVERIFY(arc.start <= arc.end);
    // Extent and span cover the same angles.
    QCOMPARE(arc.end - arc.start, std::fabs(sweep.span));
}

void TestNeedleGeometry::nonFiniteStepsThrow_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<double>("pivot");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // step 0: needleAngle(pivot, 0, a, b); 1: division i = 32766 with span a, n = b;
    // 2: point at angle 0 and radius a from a pivot at X = pivot.
    QTest::newRow("tiny dx against large dy") << 0 << 0.0 << 1e-300 << 1e10;
    QTest::newRow("tiny dx against large dy, below left") << 0 << 0.0 << -1e-300 << -1e10;
    QTest::newRow("difference in x overflows") << 0 << 1.7e308 << -1.7e308 << 1.0;
    QTest::newRow("infinite y") << 0 << 0.0 << 1.0 << inf;
    QTest::newRow("not a number") << 0 << 0.0 << nan << 1.0;
    QTest::newRow("division product overflows") << 1 << 0.0 << 1e308 << 1.0;
    QTest::newRow("not-a-number span") << 1 << 0.0 << nan << 1.0;
    QTest::newRow("infinite radius") << 2 << 0.0 << inf << 0.0;
    QTest::newRow("radius overflows after adding the pivot") << 2 << 1e308 << 1.7976931348623157e308 << 0.0;
}

void TestNeedleGeometry::nonFiniteStepsThrow()
{
    QFETCH(int, step);
    QFETCH(double, pivot);
    QFETCH(double, a);
    QFETCH(double, b);

    NeedleSweep sweep;
    sweep.pivotX = pivot;
    sweep.zeroAngle = 0.0;
    sweep.span = a;
    switch (step) {
    case 0:
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, needleAngle(pivot, 0.0, a, b));
        break;
    case 1:
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, divisionAngle(sweep, 32766, static_cast<int>(b)));
        break;
    default:
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, pointAt(sweep, 0.0, a));
        break;
    }
}

void TestNeedleGeometry::errorNamesTheStep()
{
    try {
        needleSweep(0, 0, 1e-300, 1e10, 10, 10);
        QFAIL("no ArithmeticError");
    } catch (const ArithmeticError &e) {
        const QString message = QString::fromUtf8(e.what());
        QVERIFY2(message.contains(QStringLiteral("needle angle")), e.what());
        QVERIFY2(message.contains(QStringLiteral("too large or undefined")), e.what());
    }
    // Ordinary millimetre values never throw.
    const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
    QVERIFY(std::isfinite(pointAt(sweep, divisionAngle(sweep, 3, 7), 22.5).x));
}

QTEST_APPLESS_MAIN(TestNeedleGeometry)
#include "test_needlegeometry.moc"
