// The reference image's registration, the cursor readout that undoes each scale law, and the
// [Reference] section of the dial file.

#include "files/dialfile.h"
#include "render/cursorreadout.h"
#include "render/referenceregistration.h"
#include "render/rowscale.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace vernalith;

namespace {

QString u8(const char *text) { return QString::fromUtf8(text); }

// The startup design (pivot 26, 33; tips 5, 12 and 47, 12) with a reference row of tab-separated
// cells after the path, and `scale` as scale 1.
DialDesign designWith(const char *cellsAfterPath, const QString &path = u8("/scans/old.png"), const char *scale = "")
{
    DialDesign design = DialDesign::startup();
    design.reference = splitCells(path + u8("\t") + u8(cellsAfterPath), kReferenceColumnCount);
    design.scales = {splitCells(u8(scale), kScaleColumnCount)};
    return design;
}

QStringList rowOnScale1(TableKind kind)
{
    QStringList row = emptyRow(kind);
    row[extraColumn(kind, u8("Scale"))] = u8("1");
    return row;
}

} // namespace

class TestReference : public QObject
{
    Q_OBJECT

private slots:
    // Image pixel -> card mm through the design's cells; 30 px/mm with the card's corner at
    // pixel (480, 600) for the points rows.
    void registration_data()
    {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QPointF>("pixel");
        QTest::addColumn<QPointF>("mm");
        QTest::addColumn<QString>("error");
        QTest::newRow("points") << u8("points\t\t\t\t1260\t1590\t630\t960\t1890\t960") << QPointF(480, 600)
                                << QPointF(0, 0) << "";
        QTest::newRow("points, image turned a quarter")
            << u8("points\t\t\t\t1590\t1260\t960\t1890\t960\t630") << QPointF(600, 2040) << QPointF(0, 0) << "";
        QTest::newRow("dpi") << u8("dpi\t254\t10\t20") << QPointF(110, 220) << QPointF(10, 20) << "";
        QTest::newRow("pivot clicked twice")
            << u8("points\t\t\t\t1260\t1590\t1260\t1590\t1890\t960") << QPointF() << QPointF()
            << "pivot and the needle tip at zero are the same point of the image";
        QTest::newRow("tip missing") << u8("points\t\t\t\t1260\t1590\t630\t960") << QPointF() << QPointF()
                                     << "the full-scale tip's X, the full-scale tip's Y are not set";
        QTest::newRow("dpi 0") << u8("dpi\t0\t10\t20") << QPointF() << QPointF() << "above 0";
        QTest::newRow("no mode") << u8("") << QPointF() << QPointF() << "not registered";
        QTest::newRow("unknown mode") << u8("magic") << QPointF() << QPointF()
                                      << "\"magic\" is not a registration mode";
        QTest::newRow("no image") << u8("dpi\t254\t10\t20") << QPointF() << QPointF() << "no reference image";
    }
    void registration()
    {
        QFETCH(QString, cells);
        QFETCH(QPointF, pixel);
        QFETCH(QPointF, mm);
        QFETCH(QString, error);
        DialDesign design = designWith(cells.toUtf8().constData());
        if (QByteArray(QTest::currentDataTag()) == "no image")
            design.reference.clear();
        const ReferenceRegistration r = referenceRegistration(design);
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        if (error.isEmpty())
            QVERIFY(QLineF(r.imageToCard.map(pixel), mm).length() < 1e-9 && r.residualMm < 1e-9);
    }

    // A misplaced click: the least-squares fit is no worse than the true mapping, never mirrors,
    // and says how far off the points are.
    void misplacedPointLeavesAResidual()
    {
        const std::array<QPointF, 3> image = {QPointF(300, 400), QPointF(60, 140), QPointF(550, 140)};
        const QTransform truth = QTransform().rotate(7).scale(0.1, 0.1);
        for (const double offMm : {0.1, 2.0}) {
            const std::array<QPointF, 3> card = {truth.map(image[0]), truth.map(image[1]) + QPointF(0, offMm),
                                                 truth.map(image[2])};
            const ReferenceRegistration r = registerByPoints(image, card);
            QVERIFY(r.ok() && r.imageToCard.determinant() > 0);
            QVERIFY(r.residualMm > offMm / 4 && r.residualMm <= offMm / std::sqrt(3.0));
        }
        const ReferenceRegistration mirrored =
            registerByPoints(image, {QPointF(30, 40), QPointF(54, 14), QPointF(5, 14)});
        QVERIFY(mirrored.imageToCard.determinant() > 0 && mirrored.residualMm > kRegistrationWarnMm);
    }

    // Each reading placed as the renderer places it (deflection, angle, a point at radius 21)
    // reads back through the cursor within 1e-9, for every law (each law's own inverse is checked
    // with the laws).
    void readoutUndoesEachLaw_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QVector<double>>("values");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("linear") << u8("linear\t10\t-10") << QVector<double>{10, 0.1, -7.25, -10};
        QTest::newRow("log") << u8("log\t1\t1000") << QVector<double>{1, 3.7, 999, 1000};
        QTest::newRow("power") << u8("power\t0\t100\t0.5") << QVector<double>{0, 1, 25, 100};
        QTest::newRow("db") << u8("db\t-20\t3") << QVector<double>{-20, -7, 0, 3};
        QTest::newRow("ohms") << u8("ohms\t0\tinf\t50") << QVector<double>{0, 10, 50, 1e4, inf};
        QTest::newRow("swr") << u8("swr\t1\tinf") << QVector<double>{1, 1.5, 3, 100, inf};
        QTest::newRow("table falling") << u8("table\t\t\t\t100=0; 10=0.5; 0=1") << QVector<double>{100, 55, 10, 0};
    }
    void readoutUndoesEachLaw()
    {
        QFETCH(QString, scale);
        QFETCH(QVector<double>, values);
        const DialDesign design = designWith("", u8("a.png"), scale.toUtf8().constData());
        const ScaleLaw law =
            RowScale(design, TableKind::ScaleTickmarks, rowOnScale1(TableKind::ScaleTickmarks), 0, 1).law();
        const NeedleSweep sweep = needleSweep(26, 33, 5, 12, 47, 12);
        for (const double v : values) {
            const CardPoint at = pointAt(sweep, deflectionAngle(sweep, law.deflection(v)), 21);
            const double back =
                cursorReadout(design, at, TableKind::ScaleDigits, rowOnScale1(TableKind::ScaleDigits)).value;
            QVERIFY2(std::isinf(v) ? back == v : std::fabs(back - v) <= 1e-9 * std::max(1.0, std::fabs(v)),
                     qPrintable(QStringLiteral("%1 read as %2").arg(v, 0, 'g', 17).arg(back, 0, 'g', 17)));
        }
    }

    void readoutText_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QPointF>("card");
        QTest::addColumn<QString>("text");
        QTest::newRow("mid-scale") << u8("linear\t0\t10") << QPointF(26, 13)
                                   << u8("X 26.00  Y 13.00 mm  r 20.00 mm  90.0°  value 5");
        QTest::newRow("on the zero tip") << u8("ohms\t0\tinf\t50") << QPointF(5, 12)
                                         << u8("X 5.00  Y 12.00 mm  r 29.70 mm  135.0°  value ∞");
        QTest::newRow("large reading") << u8("ohms\t0\tinf\t5000") << QPointF(16, 21)
                                       << u8("X 16.00  Y 21.00 mm  r 15.62 mm  129.8°  value 81631");
        QTest::newRow("past full scale") << u8("linear\t0\t10") << QPointF(40, 20)
                                         << u8("X 40.00  Y 20.00 mm  r 19.10 mm  42.9°");
        QTest::newRow("below the pivot") << u8("linear\t0\t10") << QPointF(26, 40)
                                         << u8("X 26.00  Y 40.00 mm  r 7.00 mm  270.0°");
        QTest::newRow("a broken law") << u8("log\t0\t10") << QPointF(26, 13)
                                      << u8("X 26.00  Y 13.00 mm  r 20.00 mm  90.0°");
        QTest::newRow("pivot unusable") << u8("linear\t0\t10") << QPointF(1.5, -2) << u8("X 1.50  Y -2.00 mm");
    }
    void readoutText()
    {
        QFETCH(QString, scale);
        QFETCH(QPointF, card);
        QFETCH(QString, text);
        DialDesign design = designWith("", u8("a.png"), scale.toUtf8().constData());
        if (text.endsWith(u8(" mm")))
            design.dimension(Dimension::NeedlePivotY) = u8("1e999");
        QCOMPARE(cursorReadout(design, {card.x(), card.y()}, TableKind::ScaleTickmarks,
                               rowOnScale1(TableKind::ScaleTickmarks))
                     .text(),
                 text);
        QVERIFY(
            !cursorReadout(design, {26, 13}, TableKind::FaceLabels, rowOnScale1(TableKind::ScaleTickmarks)).hasValue);
    }

    // Saved and opened, the reference comes back whole; on disk the path is relative where the
    // image lies in or below the file's folder (the image itself is never looked at).
    void dialFileRoundTrip_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("stored");
        QTest::newRow("beside the file") << u8("dials/scan.png") << u8("scan.png");
        QTest::newRow("below it") << u8("dials/scans/Skala Ω.tif") << u8("scans/Skala Ω.tif");
        QTest::newRow("in a sibling folder") << u8("photos/scan.jpg") << u8("");
        QTest::newRow("below, in a folder named [old]") << u8("dials/[old]/scan.png") << u8("");
    }
    void dialFileRoundTrip()
    {
        QFETCH(QString, image);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        const QString dial = dir.filePath(u8("dials/a.vld"));
        QVERIFY(QDir(dir.path()).mkpath(u8("dials")));
        const DialDesign design =
            designWith("points\t\t\t\t1260.5\t1590\t630\t960\t1890\t960\t35\t0", dir.filePath(image));
        QVERIFY(saveDialFile(dial, design).ok());
        QFile file(dial);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString expected = (stored.isEmpty() ? dir.filePath(image) : stored) +
                                 u8("\tpoints\t\t\t\t1260.5\t1590\t630\t960\t1890\t960\t35\t0\t\r\n\r\n");
        QVERIFY2(bytes.startsWith("[Vernalith1.1]") && bytes.endsWith("\r\n[Reference]\r\n" + expected.toUtf8()),
                 bytes.constData());
        const DialReadResult read = loadDialFile(dial, design.dimensions);
        QVERIFY(read.ok() && read.design == design && !QFile::exists(dir.filePath(image)));
        QVERIFY(!dialFileBytes(DialDesign::startup()).contains("[Reference]"));
    }

    void damagedSectionIsRefused_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("says");
        QTest::newRow("two rows") << QByteArray("a.png\tdpi\t300\r\nb.png\tdpi\t600\r\n") << u8("more than one row");
        QTest::newRow("a cell past the last")
            << QByteArray("a\tdpi\t3\t\t\t\t\t\t\t\t\t5\t1\tnew\r\n") << u8("later version");
    }
    void damagedSectionIsRefused()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, says);
        const DialReadResult read = parseDialFile("[Vernalith1.1]\r\n[Reference]\r\n" + section + "\r\n", {});
        QVERIFY2(read.error.kind == DialFileError::Kind::ReadFailed && read.error.detail.contains(says),
                 qPrintable(read.error.detail));
    }
};

QTEST_GUILESS_MAIN(TestReference)
#include "test_reference.moc"
