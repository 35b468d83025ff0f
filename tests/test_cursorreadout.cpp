// What the preview reads out under the mouse: position, radius, angle, and the value of the
// current row's scale at that angle, which must undo each scale law exactly.

#include "render/cursorreadout.h"
#include "render/rowscale.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vernalith;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QStringList scaleRow(const char *law, const char *min, const char *max, const char *parameter = "",
                     const char *points = "")
{
    QStringList cells;
    for (const char *cell : {law, min, max, parameter, points})
        cells.append(QString::fromUtf8(cell));
    return cells;
}

// A design with `scale` as scale 1 and the needle's tips at the given points.
DialDesign designWith(const QStringList &scale, QPointF zero = QPointF(5, 12), QPointF max = QPointF(47, 12))
{
    DialDesign design = DialDesign::startup();
    design.scales = {scale};
    design.dimension(Dimension::ZeroPosX) = QString::number(zero.x());
    design.dimension(Dimension::ZeroPosY) = QString::number(zero.y());
    design.dimension(Dimension::MaxPosX) = QString::number(max.x());
    design.dimension(Dimension::MaxPosY) = QString::number(max.y());
    return design;
}

QStringList rowOnScale(TableKind kind, const char *scale)
{
    QStringList row = emptyRow(kind);
    row[extraColumn(kind, QStringLiteral("Scale"))] = QString::fromUtf8(scale);
    return row;
}

bool near(double a, double b, double relative)
{
    if (std::isinf(a) || std::isinf(b))
        return a == b;
    return std::fabs(a - b) <= relative * std::max(1.0, std::fabs(b));
}

} // namespace

Q_DECLARE_METATYPE(vernalith::DialDesign)

class TestCursorReadout : public QObject
{
    Q_OBJECT

private slots:
    // Each reading is placed on the card the way the renderer places it (deflection, then angle,
    // then a point on a radius); the readout at that point must give the reading back, and so
    // must the law's own inverse.
    void readingsComeBackFromTheirPlace_data()
    {
        QTest::addColumn<QStringList>("scale");
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("linear") << scaleRow("linear", "0", "100") << QVector<double>{0, 12.5, 33.3, 100};
        QTest::newRow("linear falling") << scaleRow("linear", "10", "-10") << QVector<double>{10, 0.1, -7.25, -10};
        QTest::newRow("log") << scaleRow("log", "1", "1000") << QVector<double>{1, 3.7, 50, 999, 1000};
        QTest::newRow("log falling") << scaleRow("log", "100", "0.1") << QVector<double>{100, 2, 0.1};
        QTest::newRow("power square root") << scaleRow("power", "0", "100", "0.5") << QVector<double>{0, 1, 25, 80, 100};
        QTest::newRow("power 3.3") << scaleRow("power", "-5", "5", "3.3") << QVector<double>{-5, -4.9, 0, 4.5, 5};
        QTest::newRow("db") << scaleRow("db", "-20", "3") << QVector<double>{-20, -7, -3, 0, 3};
        QTest::newRow("ohms") << scaleRow("ohms", "0", "inf", "50") << QVector<double>{0, 10, 50, 1e4, kInf};
        QTest::newRow("ohms finite") << scaleRow("ohms", "2", "2000", "100") << QVector<double>{2, 100, 2000};
        QTest::newRow("swr") << scaleRow("swr", "1", "inf") << QVector<double>{1, 1.5, 3, 100, kInf};
        QTest::newRow("table") << scaleRow("table", "", "", "", "1=0.1; 5=0.5; 9=0.6; 29=1")
                               << QVector<double>{1, 3, 5, 8.2, 9, 29};
        QTest::newRow("table falling") << scaleRow("table", "", "", "", "100=0; 10=0.5; 0=1")
                                       << QVector<double>{100, 55, 10, 0.5, 0};
    }
    void readingsComeBackFromTheirPlace()
    {
        QFETCH(QStringList, scale);
        QFETCH(QVector<double>, values);
        const DialDesign design = designWith(scale);
        const RowScale rowScale(design, TableKind::ScaleTickmarks, rowOnScale(TableKind::ScaleTickmarks, "1"), 0, 1);
        const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
        for (const double v : values) {
            const double d = rowScale.law().deflection(v);
            QVERIFY2(near(rowScale.law().valueAt(d), v, 1e-9), qPrintable(QString::number(v)));
            const CardPoint at = pointAt(sweep, deflectionAngle(sweep, d), 21);
            for (const TableKind kind : {TableKind::ScaleTickmarks, TableKind::ScaleDigits}) {
                const CursorReadout readout = cursorReadout(design, at, kind, rowOnScale(kind, "1"));
                QVERIFY2(readout.hasValue, qPrintable(QString::number(v)));
                QVERIFY2(near(readout.value, v, 1e-9),
                         qPrintable(QStringLiteral("%1 read as %2").arg(v, 0, 'g', 17).arg(readout.value, 0, 'g', 17)));
                QVERIFY(std::fabs(readout.radiusMm - 21) < 1e-9);
            }
        }
    }

    void readoutAtAPoint_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<QPointF>("card");
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QString>("text");
        const DialDesign volts = designWith(scaleRow("linear", "0", "10"));
        const QStringList onScale = rowOnScale(TableKind::ScaleTickmarks, "1");
        QTest::newRow("straight up, mid-scale") << volts << QPointF(26, 13) << onScale << "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°  value 5";
        QTest::newRow("along the zero tip, past it") << volts << QPointF(0, 7) << onScale
                                                     << "X 0.00  Y 7.00 mm  r 36.77 mm  135.0°  value 0";
        QTest::newRow("along the full-scale tip") << volts << QPointF(36.5, 22.5) << onScale
                                                  << "X 36.50  Y 22.50 mm  r 14.85 mm  45.0°  value 10";
        QTest::newRow("below the pivot: outside the sweep") << volts << QPointF(26, 40) << onScale
                                                            << "X 26.00  Y 40.00 mm  r 7.00 mm  270.0°";
        QTest::newRow("just past full scale") << volts << QPointF(40, 20) << onScale << "X 40.00  Y 20.00 mm  r 19.10 mm  42.9°";
        QTest::newRow("a row without a scale") << volts << QPointF(26, 13) << emptyRow(TableKind::ScaleTickmarks)
                                               << "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°";
        QTest::newRow("a scale that does not exist") << volts << QPointF(26, 13) << rowOnScale(TableKind::ScaleTickmarks, "2")
                                                     << "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°";
        QTest::newRow("a broken law") << designWith(scaleRow("log", "0", "10")) << QPointF(26, 13) << onScale
                                      << "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°";
        QTest::newRow("ohms at zero deflection") << designWith(scaleRow("ohms", "0", "inf", "50")) << QPointF(5, 12)
                                                 << onScale << "X 5.00  Y 12.00 mm  r 29.70 mm  135.0°  value ∞";
        // From 342 degrees clockwise round through 180 to 18: the sweep passes straight down
        // and left, not through 0.
        const DialDesign wrapping = designWith(scaleRow("linear", "0", "10"), QPointF(47, 39.823), QPointF(47, 26.177));
        QTest::newRow("wide sweep, left of the pivot") << wrapping << QPointF(16, 33) << onScale
                                                       << "X 16.00  Y 33.00 mm  r 10.00 mm  180.0°  value 5";
        QTest::newRow("wide sweep, the gap at 0") << wrapping << QPointF(36, 33) << onScale << "X 36.00  Y 33.00 mm  r 10.00 mm  0.0°";
        DialDesign noPivot = volts;
        noPivot.dimension(Dimension::NeedlePivotY) = QStringLiteral("1e999");
        QTest::newRow("a pivot too large to use") << noPivot << QPointF(1.5, -2) << onScale << "X 1.50  Y -2.00 mm";
    }
    void readoutAtAPoint()
    {
        QFETCH(DialDesign, design);
        QFETCH(QPointF, card);
        QFETCH(QStringList, row);
        QFETCH(QString, text);
        QCOMPARE(cursorReadout(design, {card.x(), card.y()}, TableKind::ScaleTickmarks, row).text(), text);
    }

    // Only the tickmarks and digits tables place readings on a scale.
    void otherTablesGiveNoValue()
    {
        const DialDesign design = designWith(scaleRow("linear", "0", "10"));
        for (const TableKind kind : {TableKind::ScaleArcs, TableKind::FaceLabels}) {
            QStringList row = emptyRow(kind);
            row.append(QStringLiteral("1"));
            QVERIFY(!cursorReadout(design, {26, 13}, kind, row).hasValue);
        }
    }
};

QTEST_GUILESS_MAIN(TestCursorReadout)
#include "test_cursorreadout.moc"
