// A synthetic scan of a printed card: a template rendered at 300 dpi, turned and shifted by a
// known mapping, registered, and its tickmarks found again in the image where the design puts
// them.

#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/needlegeometry.h"
#include "render/referenceregistration.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace vernalith;

namespace {

constexpr double kDpi = 300;
constexpr double kInsetMm = 10; // the export's margin round the card

// Where a card point lies in the export, in continuous pixel coordinates.
QPointF exportPixel(CardPoint p)
{
    return QPointF((p.x + kInsetMm) * kDpi / 25.4, (p.y + kInsetMm) * kDpi / 25.4);
}

// Darkness 0 (white) .. 1 (black) at a continuous image point, bilinear between pixel centres.
double darkness(const QImage &image, QPointF at)
{
    const QPointF f = at - QPointF(0.5, 0.5);
    const int x0 = int(std::floor(f.x()));
    const int y0 = int(std::floor(f.y()));
    double sum = 0;
    for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        const double weight = std::fabs((1 - d.x() - (f.x() - x0)) * (1 - d.y() - (f.y() - y0)));
        const QPoint p(std::clamp(x0 + d.x(), 0, image.width() - 1), std::clamp(y0 + d.y(), 0, image.height() - 1));
        sum += weight * (1.0 - qGray(image.pixel(p)) / 255.0);
    }
    return sum;
}

} // namespace

class TestReferenceScan : public QObject
{
    Q_OBJECT

    DialDesign m_design;
    QImage m_export;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(VERNALITH_TEST_DATA "/../../resources/templates/linear-0-100-microamps.vlt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const DialReadResult read = readDialFile(file, DialDesign::startup().dimensions);
        QVERIFY(read.ok());
        m_design = read.design;
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        ExportOptions options;
        options.dotsPerInch = int(kDpi);
        QVERIFY(writeDialExport(m_design, ExportFormat::Png, out, options).ok());
        QVERIFY(m_export.loadFromData(png, "PNG"));
    }

    // The template's 40 short tickmarks (50 divisions from radius 22 in to 21) are found in the
    // scan through the registration: each one's centre across the line at radius 21.5 and its
    // inner end lie within 0.1 mm of the design's.
    void ticksLieWhereTheDesignPutsThem_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<bool>("byDpi"); // else by three clicks, on whole pixels
        QTest::newRow("turned 7 degrees, three points") << 7.0 << QPoint(41, 17) << false;
        QTest::newRow("square, by resolution") << 0.0 << QPoint(23, 31) << true;
    }
    void ticksLieWhereTheDesignPutsThem()
    {
        QFETCH(double, degrees);
        QFETCH(QPoint, shift);
        QFETCH(bool, byDpi);

        // The scan: the export turned about its corner, then placed `shift` into white paper.
        const QTransform turn = QTransform().rotate(degrees);
        const QImage turned =
            m_export.convertToFormat(QImage::Format_ARGB32).transformed(turn, Qt::SmoothTransformation);
        const QTransform exportToScan = QImage::trueMatrix(turn, m_export.width(), m_export.height()) *
                                        QTransform::fromTranslate(shift.x(), shift.y());
        QImage scan(turned.size() + QSize(2 * shift.x(), 2 * shift.y()), QImage::Format_RGB32);
        scan.fill(Qt::white);
        QPainter(&scan).drawImage(shift, turned);

        const auto cardToScan = [&](CardPoint p) { return exportToScan.map(exportPixel(p)); };
        const auto click = [&](CardPoint p) {
            const QPointF at = cardToScan(p);
            return byDpi ? at : QPointF(std::round(at.x()), std::round(at.y()));
        };
        const CardPoint pivot{26, 33};
        const CardPoint zero{5, 12};
        const CardPoint full{47, 12};
        const ReferenceRegistration registration =
            byDpi ? registerByDpi(kDpi, click({0, 0}))
                  : registerByPoints({click(pivot), click(zero), click(full)},
                                     {QPointF(26, 33), QPointF(5, 12), QPointF(47, 12)});
        QVERIFY2(registration.ok(), qPrintable(registration.error));
        QVERIFY2(registration.residualMm < 0.05, QByteArray::number(registration.residualMm));
        const QTransform cardToImage = registration.imageToCard.inverted();
        const auto seen = [&](CardPoint p) { return darkness(scan, cardToImage.map(QPointF(p.x, p.y))); };

        const NeedleSweep sweep = needleSweep(pivot.x, pivot.y, zero.x, zero.y, full.x, full.y);
        int measured = 0;
        for (int k = 1; k < 50; ++k) {
            if (k % 5 == 0)
                continue;
            const double angle = divisionAngle(sweep, k, 50);
            // Across the line: the darkness-weighted offset along the arc of radius 21.5.
            double weighted = 0, total = 0;
            for (double s = -0.3; s <= 0.3; s += 0.005) {
                const double w = seen(pointAt(sweep, angle + s / 21.5, 21.5));
                weighted += w * s;
                total += w;
            }
            QVERIFY2(total > 10, qPrintable(QStringLiteral("tick %1 not found").arg(k)));
            QVERIFY2(std::fabs(weighted / total) < 0.1,
                     qPrintable(QStringLiteral("tick %1 is %2 mm off across").arg(k).arg(weighted / total)));
            // Along the line: where it turns dark, coming out from the centre.
            double end = 0;
            for (double r = 20.6; r <= 21.6 && end == 0; r += 0.005) {
                if (seen(pointAt(sweep, angle, r)) >= 0.5)
                    end = r;
            }
            QVERIFY2(std::fabs(end - 21) < 0.1,
                     qPrintable(QStringLiteral("tick %1 ends at radius %2").arg(k).arg(end)));
            ++measured;
        }
        QCOMPARE(measured, 40);
    }
};

QTEST_MAIN(TestReferenceScan)
#include "test_referencescan.moc"
