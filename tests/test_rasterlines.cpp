// Lines in raster output as a person sees them: at screen resolutions the 0.15 mm pen is less
// than a pixel wide, yet every line must come out near-black, unbroken and not smeared wide.

#include "design/dialdesign.h"
#include "render/dialexport.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <cmath>

using namespace vernalith;

namespace {

QImage exportedPng(int dpi)
{
    ExportOptions options;
    options.dotsPerInch = dpi;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const ExportError error = writeDialExport(DialDesign::startup(), ExportFormat::Png, out, options);
    if (!error.ok())
        qWarning() << error.message;
    return QImage::fromData(out.data(), "PNG");
}

} // namespace

class TestRasterLines : public QObject
{
    Q_OBJECT

private slots:
    // The 52 x 45 mm card outline of the start-up design, 10 mm in: its edges fall on fractions
    // of a pixel that differ per resolution and per edge.
    void theCardOutlineIsNearBlack_data()
    {
        QTest::addColumn<int>("dpi");
        for (int dpi : {72, 96, 200, 300, 600})
            QTest::addRow("%d dpi", dpi) << dpi;
    }

    void theCardOutlineIsNearBlack()
    {
        QFETCH(int, dpi);
        const QImage image = exportedPng(dpi);
        QVERIFY(!image.isNull());
        const double perMm = dpi / 25.4;
        struct Edge {
            const char *name;
            bool vertical;
            double atMm, fromMm, toMm; // along the middle 80 %, clear of the corners
        };
        for (const Edge &e : {Edge{"left", true, 10, 14.5, 50.5}, Edge{"right", true, 62, 14.5, 50.5},
                              Edge{"top", false, 10, 15.2, 56.8}, Edge{"bottom", false, 55, 15.2, 56.8}}) {
            const int across = static_cast<int>(std::floor(e.atMm * perMm));
            int lightest = 0, widest = 0;
            for (int along = static_cast<int>(e.fromMm * perMm); along < e.toMm * perMm; ++along) {
                int darkest = 255, inked = 0;
                for (int d = across - 4; d <= across + 4; ++d) {
                    const int gray = qGray(e.vertical ? image.pixel(d, along) : image.pixel(along, d));
                    darkest = std::min(darkest, gray);
                    inked += gray < 128;
                }
                lightest = std::max(lightest, darkest);
                widest = std::max(widest, inked);
            }
            QVERIFY2(lightest <= 64 && widest <= std::ceil(0.15 * perMm) + 1,
                     qPrintable(QStringLiteral("%1 edge: darkest pixel across it as light as %2, up to %3 pixels inked")
                                    .arg(QLatin1String(e.name)).arg(lightest).arg(widest)));
        }
    }
};

QTEST_MAIN(TestRasterLines)
#include "test_rasterlines.moc"
