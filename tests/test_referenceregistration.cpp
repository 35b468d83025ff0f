// Laying a scan under the card: the fit of three clicked points, the resolution mode, and the
// registration a design's reference cells describe.

#include "render/referenceregistration.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vernalith;

namespace {

using Points = std::array<QPointF, 3>;

QTransform similarity(double scale, double degrees, QPointF shift)
{
    QTransform t;
    t.translate(shift.x(), shift.y());
    t.rotate(degrees);
    t.scale(scale, scale);
    return t;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

QStringList referenceRow(std::initializer_list<std::pair<ReferenceColumn, const char *>> cells)
{
    QStringList row(kReferenceColumnCount);
    row[static_cast<int>(ReferenceColumn::Path)] = QStringLiteral("/scans/old.png");
    for (const auto &[column, text] : cells)
        row[static_cast<int>(column)] = QString::fromUtf8(text);
    return row;
}

} // namespace

Q_DECLARE_METATYPE(Points)

class TestReferenceRegistration : public QObject
{
    Q_OBJECT

private slots:
    // Card points made by a known similarity are recovered exactly, wherever the image lies.
    void threePointsRecoverASimilarity_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QPointF>("shift");
        QTest::addColumn<Points>("image");
        const Points click = {QPointF(1200, 1500), QPointF(600, 900), QPointF(1800, 900)};
        QTest::newRow("300 dpi, square") << 25.4 / 300 << 0.0 << QPointF(-20, 7) << click;
        QTest::newRow("600 dpi, turned 7 degrees") << 25.4 / 600 << 7.0 << QPointF(3, -40) << click;
        QTest::newRow("turned -93 degrees") << 0.2 << -93.0 << QPointF(50, 60) << click;
        QTest::newRow("upside down") << 0.1 << 180.0 << QPointF(100, 100) << click;
        QTest::newRow("phone photo, far off centre")
            << 0.0123 << 31.5 << QPointF(-300, 250) << Points{QPointF(3000, 3900), QPointF(1500, 2400), QPointF(4200, 2600)};
    }
    void threePointsRecoverASimilarity()
    {
        QFETCH(double, scale);
        QFETCH(double, degrees);
        QFETCH(QPointF, shift);
        QFETCH(Points, image);
        const QTransform truth = similarity(scale, degrees, shift);
        const Points card = {truth.map(image[0]), truth.map(image[1]), truth.map(image[2])};
        const ReferenceRegistration r = registerByPoints(image, card);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(r.residualMm < 1e-9);
        for (const QPointF probe : {QPointF(0, 0), QPointF(5000, 0), QPointF(777, 4321)})
            QVERIFY(distance(r.imageToCard.map(probe), truth.map(probe)) < 1e-7);
    }

    // A misplaced click is spread over the fit: the residual is what the fit leaves, it is never
    // worse than the true transform's, and a mirror-image fit is never taken.
    void aMisplacedPointLeavesAResidual_data()
    {
        QTest::addColumn<QPointF>("error");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("0.1 mm off") << QPointF(0.1, 0) << 0.01 << 0.1;
        QTest::newRow("2 mm off") << QPointF(0, 2) << 0.5 << 2.0;
        QTest::newRow("5 mm diagonally") << QPointF(3, 4) << 1.0 << 5.0;
    }
    void aMisplacedPointLeavesAResidual()
    {
        QFETCH(QPointF, error);
        QFETCH(double, low);
        QFETCH(double, high);
        const QTransform truth = similarity(25.4 / 300, 7, QPointF(4, 2));
        const Points image = {QPointF(307, 390), QPointF(59, 142), QPointF(555, 142)};
        Points card = {truth.map(image[0]), truth.map(image[1]), truth.map(image[2])};
        card[1] += error;
        const ReferenceRegistration r = registerByPoints(image, card);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY2(r.residualMm > low && r.residualMm < high, QByteArray::number(r.residualMm));
        double trueSquares = 0;
        for (size_t i = 0; i < 3; ++i)
            trueSquares += std::pow(distance(truth.map(image[i]), card[i]), 2);
        QVERIFY(r.residualMm <= std::sqrt(trueSquares / 3) + 1e-12);
        QVERIFY(r.imageToCard.determinant() > 0);
    }

    void mirroredPointsAreNotFittedByAMirror()
    {
        const Points image = {QPointF(0, 0), QPointF(100, 0), QPointF(0, 100)};
        const Points card = {QPointF(0, 0), QPointF(-10, 0), QPointF(0, 10)};
        const ReferenceRegistration r = registerByPoints(image, card);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(r.imageToCard.determinant() > 0);
        QVERIFY(r.residualMm > kRegistrationWarnMm);
    }

    void unusablePointsAreRefused_data()
    {
        QTest::addColumn<Points>("image");
        QTest::addColumn<Points>("card");
        QTest::addColumn<QString>("says");
        const Points image = {QPointF(300, 400), QPointF(60, 140), QPointF(550, 140)};
        const Points card = {QPointF(26, 33), QPointF(5, 12), QPointF(47, 12)};
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("pivot clicked twice") << Points{image[0], image[0], image[2]} << card << "pivot and the needle tip at zero";
        QTest::newRow("tips half a pixel apart")
            << Points{image[0], image[1], image[1] + QPointF(0.5, 0)} << card << "same point of the image";
        QTest::newRow("card tips on one spot") << image << Points{card[0], card[1], card[1]} << "same point of the card";
        QTest::newRow("a point that is no number") << Points{image[0], QPointF(nan, 1), image[2]} << card << "is not a point";
        QTest::newRow("an infinite card point")
            << image << Points{card[0], card[1], QPointF(std::numeric_limits<double>::infinity(), 0)} << "is not a point";
    }
    void unusablePointsAreRefused()
    {
        QFETCH(Points, image);
        QFETCH(Points, card);
        QFETCH(QString, says);
        const ReferenceRegistration r = registerByPoints(image, card);
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(says), qPrintable(r.error));
    }

    void resolutionMode_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QPointF>("corner");
        QTest::addColumn<QPointF>("pixel");
        QTest::addColumn<QPointF>("mm");
        QTest::newRow("the corner itself") << 300.0 << QPointF(118, 59) << QPointF(118, 59) << QPointF(0, 0);
        QTest::newRow("300 dpi, an inch right and two down") << 300.0 << QPointF(118, 59) << QPointF(418, 659) << QPointF(25.4, 50.8);
        QTest::newRow("600 dpi, left of and above the corner") << 600.0 << QPointF(10, 20) << QPointF(4, 8) << QPointF(-0.254, -0.508);
        QTest::newRow("72.5 dpi, fractional corner") << 72.5 << QPointF(0.5, 0.25) << QPointF(145.5, 72.75) << QPointF(50.8, 25.4);
    }
    void resolutionMode()
    {
        QFETCH(double, dpi);
        QFETCH(QPointF, corner);
        QFETCH(QPointF, pixel);
        QFETCH(QPointF, mm);
        const ReferenceRegistration r = registerByDpi(dpi, corner);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.residualMm, 0.0);
        QVERIFY(distance(r.imageToCard.map(pixel), mm) < 1e-12);
    }

    void resolutionModeRefusesNonsense_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QPointF>("corner");
        QTest::newRow("0 dpi") << 0.0 << QPointF();
        QTest::newRow("negative dpi") << -300.0 << QPointF();
        QTest::newRow("NaN dpi") << std::numeric_limits<double>::quiet_NaN() << QPointF();
        QTest::newRow("infinite dpi") << std::numeric_limits<double>::infinity() << QPointF();
        QTest::newRow("corner not a number") << 300.0 << QPointF(std::numeric_limits<double>::quiet_NaN(), 0);
    }
    void resolutionModeRefusesNonsense()
    {
        QFETCH(double, dpi);
        QFETCH(QPointF, corner);
        QVERIFY(!registerByDpi(dpi, corner).ok());
    }

    // The design's cells and dimensions, read as the renderer reads them.
    void registrationFromTheDesign_data()
    {
        QTest::addColumn<QStringList>("reference");
        QTest::addColumn<QString>("pivotX");
        QTest::addColumn<QPointF>("pixel");
        QTest::addColumn<QPointF>("mm");
        QTest::addColumn<QString>("error");
        using C = ReferenceColumn;
        const QStringList points = referenceRow({{C::Mode, "points"}, {C::PivotX, "1260"}, {C::PivotY, "1590"},
                                                 {C::ZeroX, "630"}, {C::ZeroY, "960"}, {C::MaxX, "1890"}, {C::MaxY, "960"}});
        // 30 pixels per mm, the card's corner at pixel (480, 600).
        QTest::newRow("points") << points << "26" << QPointF(480, 600) << QPointF(0, 0) << "";
        QTest::newRow("points, pivot cell with a unit") << points << "26mm" << QPointF(1260, 1590) << QPointF(26, 33) << "";
        QTest::newRow("dpi") << referenceRow({{C::Mode, "dpi"}, {C::Dpi, "254"}, {C::CornerX, "10"}, {C::CornerY, "20"}})
                             << "26" << QPointF(110, 220) << QPointF(10, 20) << "";
        QTest::newRow("no reference") << QStringList() << "26" << QPointF() << QPointF() << "has no reference image";
        QTest::newRow("no mode") << referenceRow({}) << "26" << QPointF() << QPointF() << "not registered";
        QTest::newRow("unknown mode") << referenceRow({{C::Mode, "magic"}}) << "26" << QPointF() << QPointF() << "\"magic\"";
        QTest::newRow("dpi without a corner") << referenceRow({{C::Mode, "dpi"}, {C::Dpi, "300"}}) << "26" << QPointF()
                                              << QPointF() << "the corner's X, the corner's Y are not set";
        QTest::newRow("points without the full-scale tip")
            << referenceRow({{C::Mode, "points"}, {C::PivotX, "1"}, {C::PivotY, "1"}, {C::ZeroX, "5"}, {C::ZeroY, "5"}})
            << "26" << QPointF() << QPointF() << "full-scale tip's X, the full-scale tip's Y are not set";
        QTest::newRow("dpi of 0") << referenceRow({{C::Mode, "dpi"}, {C::Dpi, "0"}, {C::CornerX, "0"}, {C::CornerY, "0"}})
                                  << "26" << QPointF() << QPointF() << "above 0";
        QTest::newRow("pivot too large") << points << "1e400" << QPointF() << QPointF() << "Needle Pivot X";
    }
    void registrationFromTheDesign()
    {
        QFETCH(QStringList, reference);
        QFETCH(QString, pivotX);
        QFETCH(QPointF, pixel);
        QFETCH(QPointF, mm);
        QFETCH(QString, error);
        DialDesign design = DialDesign::startup();
        design.reference = reference;
        design.dimension(Dimension::NeedlePivotX) = pivotX;
        const ReferenceRegistration r = referenceRegistration(design);
        if (!error.isEmpty()) {
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            return;
        }
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(distance(r.imageToCard.map(pixel), mm) < 1e-9);
    }
};

QTEST_GUILESS_MAIN(TestReferenceRegistration)
#include "test_referenceregistration.moc"
