// The needle's angles, the division of its sweep and the points on the card they lead to.

#include "render/arithmeticerror.h"
#include "render/needlegeometry.h"

#include <QTest>

#include <cmath>

using namespace vernalith;

// Equal to `decimals` decimals, the way the dial's figures are given.
#define COMPARE_DECIMALS(actual, expected, decimals)                                                                \
    QVERIFY2(std::fabs((actual) - (expected)) <= 0.5 * std::pow(10.0, -(decimals)),                                 \
             QByteArray::number(actual, 'f', 12) + " != " + QByteArray::number(expected, 'f', 12))

class TestNeedleGeometry : public QObject
{
    Q_OBJECT

private slots:
    void needleAngleByDirection_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("expected");
        // Pivot (26, 33); card Y grows downwards, so a smaller Y is above.
        QTest::newRow("straight above") << 26.0 << 23.0 << 1.5707963268;
        QTest::newRow("level, left") << 16.0 << 33.0 << 3.1415926536;
        QTest::newRow("straight below") << 26.0 << 43.0 << 4.7123889804;
        QTest::newRow("on the pivot") << 26.0 << 33.0 << 4.7123889804;
        QTest::newRow("below right") << 36.0 << 43.0 << 5.4977871438;
    }

    void needleAngleByDirection()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, expected);
        const double angle = needleAngle(26, 33, x, y);
        COMPARE_DECIMALS(angle, expected, 10);
        // On the axes: the dial's own constants bit for bit (a library pi differs past 10 decimals).
        if (x == 26 || y == 33)
            QCOMPARE(QByteArray::number(angle, 'g', 17), QByteArray::number(expected, 'g', 17));
    }

    // The start-up sweep's divisions and arc, and a sweep that must pass through the left side.
    void sweeps()
    {
        const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
        COMPARE_DECIMALS(sweep.span, -1.5707963268, 10);
        const double expected[3][3] = {{0, 11.8579, 18.8579}, {5, 26.0, 13.0}, {10, 40.1421, 18.8579}};
        for (const auto &e : expected) {
            const CardPoint p = pointAt(sweep, divisionAngle(sweep, static_cast<int>(e[0]), 10), 20.0);
            COMPARE_DECIMALS(p.x, e[1], 4);
            COMPARE_DECIMALS(p.y, e[2], 4);
        }
        // The arc runs counter-clockwise from the smaller angle, whichever tip that is.
        QCOMPARE(arcExtent(sweep).start, sweep.maxAngle);
        QCOMPARE(arcExtent(needleSweep(26, 33, 47, 12, 5, 12)).start, sweep.maxAngle);
        // Both tips on one ray: every division falls on it.
        QCOMPARE(needleSweep(26, 33, 16, 23, 5, 12).span, 0.0);

        // Zero tip below right at 300 degrees, maximum tip above right at 60 degrees: the
        // divisions run clockwise through the left side, never through 0 degrees; so does the arc.
        const double c = std::cos(M_PI / 3.0) * 10.0;
        const double s = std::sin(M_PI / 3.0) * 10.0;
        const NeedleSweep leftward = needleSweep(0, 0, c, s, c, -s);
        COMPARE_DECIMALS(leftward.span, -4 * kPi / 3, 8);
        COMPARE_DECIMALS(divisionAngle(leftward, 1, 2), kPi, 8);
        COMPARE_DECIMALS(arcExtent(leftward).start, kPi / 3, 8);
        COMPARE_DECIMALS(arcExtent(leftward).end, 5 * kPi / 3, 8);
    }

    void arcDegreesAsDrawn_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("startDegrees");
        QTest::addColumn<double>("sweepDegrees");

        // The long way round counter-clockwise, through the left side, not the short way back.
        QTest::newRow("60 to 300 degrees") << kPi / 3 << 5 * kPi / 3 << 60.0 << 240.0;
        QTest::newRow("end below start wraps") << kThreeHalfPi << kHalfPi << 270.0 << 180.0;
        QTest::newRow("whole turn") << 0.0 << kTwoPi << 0.0 << 360.0;
        QTest::newRow("negative start") << -kHalfPi << 0.0 << 270.0 << 90.0;
        // Just short of a full circle with the program's pi: a library pi would wrap to nothing.
        QTest::newRow("1e-11 short of a full turn") << 0.0 << kTwoPi - 1e-11 << 0.0 << 360.0 - 1e-11 / kPi * 180.0;
    }

    void arcDegreesAsDrawn()
    {
        QFETCH(double, start);
        QFETCH(double, end);
        QFETCH(double, startDegrees);
        QFETCH(double, sweepDegrees);
        const ArcDegrees arc = arcDegrees(start, end);
        COMPARE_DECIMALS(arc.start, startDegrees, 9);
        COMPARE_DECIMALS(arc.sweep, sweepDegrees, 12);
    }

    void nonFiniteStepsThrow()
    {
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, needleAngle(1.7e308, 0, -1.7e308, 1));
        const NeedleSweep huge{1e308, 0, 0, 0, 1e308};
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, divisionAngle(huge, 32766, 1));
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, pointAt(huge, 0.0, 1.7976931348623157e308));
        // A tiny step in X against a large one in Y.
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, needleSweep(0, 0, 1e-300, 1e10, 10, 10));
    }
};

QTEST_APPLESS_MAIN(TestNeedleGeometry)
#include "test_needlegeometry.moc"
