// The reference image: reading a scan (formats, resolution, orientation, reduction, refusals), its
// registration, the cursor readout that undoes each scale law, and the dial file's [Reference] section.

#include "namedcases.h"
#include "files/dialfile.h"
#include "render/cursorreadout.h"
#include "render/referenceimage.h"
#include "render/referenceregistration.h"
#include "render/rowscale.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace vernalith;

namespace {

// 600 x 400, a red block in the top-left tenth, recording 300 dpi.
QImage markedImage()
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    for (int y = 0; y < 40; ++y)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)), 60, qRgb(255, 0, 0));
    return image;
}

QString u8(const char *text) { return QString::fromUtf8(text); }

// A PNG of `side` x `side` at 600 dpi, white with a black top-left tenth, written a row at a
// time (`rows` of them: fewer makes a damaged file); 8-bit RGB or 1-bit grey.
const char kWritePng[] = R"py(
import struct, sys, zlib
path, side, colour, rows = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", int(sys.argv[4])
row_bytes = side * 3 if colour else (side + 7) // 8
plain = b"\0" + b"\xff" * row_bytes
marked = b"\0" * (1 + row_bytes // 10) + b"\xff" * (row_bytes - row_bytes // 10)
with open(path, "wb") as out:
    def chunk(kind, body=b""):
        out.write(struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body)))
    out.write(b"\x89PNG\r\n\x1a\n")
    chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8 if colour else 1, 2 if colour else 0, 0, 0, 0))
    chunk(b"pHYs", struct.pack(">IIB", 23622, 23622, 1))
    stream = zlib.compressobj(1)
    for y in range(rows):
        chunk(b"IDAT", stream.compress(marked if y < side // 10 else plain))
    chunk(b"IDAT", stream.flush())
    chunk(b"IEND")
)py";

bool writePng(const QString &path, quint32 side, bool trueColour, quint32 rows)
{
    const QStringList arguments = {QString::number(side), QString::number(trueColour), QString::number(rows)};
    return QProcess::execute(u8("/usr/bin/python3"), QStringList{u8("-c"), u8(kWritePng), path} + arguments) == 0;
}

// 20000 x 20000 would take 1.6 GB at 32 bits: the colour PNG is reduced as it is decoded
// (the test's peak memory stays near 80 MB), the 1-bit one refused before decoding.
struct Refused {
    const char *name, *file, *says; // says empty: read, reduced
    QByteArray bytes;               // written as they are, unless `side` or `trueColour` asks for a PNG
    quint32 side;
    bool trueColour;
};
const Refused kRefused[] = {
    {"missing", "gone.png", "was not found", {}, 0, false},
    {"text named png", "notes.png", "cannot be read", "meter notes\n", 0, false},
    {"0 x 0 bitmap", "zero.pbm", "cannot be read", "P1\n0 0\n", 0, false},
    {"0 x 0 png", "zero.png", "cannot be read", {}, 0, true},
    {"png cut short", "cut.png", "cannot be read", {}, 300, true},
    {"40000 x 40000 png", "vast.png", "too large to load (40000 x 40000 pixels)", {}, 40000, true},
    {"20000 x 20000 1-bit png", "mono.png", "too large to load", {}, 20000, false},
    {"20000 x 20000 colour png", "colour.png", "", {}, 20000, true},
};

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

// Image pixel -> card mm through the design's cells; 30 px/mm with the card's corner at
// pixel (480, 600) for the points rows.
struct Registration {
    const char *name, *cells, *error;
    QPointF pixel, mm;
};
const Registration kRegistrations[] = {
    {"points", "points\t\t\t\t1260\t1590\t630\t960\t1890\t960", "", {480, 600}, {0, 0}},
    {"points, image turned a quarter", "points\t\t\t\t1590\t1260\t960\t1890\t960\t630", "", {600, 2040}, {0, 0}},
    {"dpi", "dpi\t254\t10\t20", "", {110, 220}, {10, 20}},
    {"pivot clicked twice", "points\t\t\t\t1260\t1590\t1260\t1590\t1890\t960",
     "pivot and the needle tip at zero are the same point of the image", {}, {}},
    {"tip missing", "points\t\t\t\t1260\t1590\t630\t960", "the full-scale tip's X, the full-scale tip's Y are not set",
     {}, {}},
    {"dpi 0", "dpi\t0\t10\t20", "above 0", {}, {}},
    {"no mode", "", "not registered", {}, {}},
    {"unknown mode", "magic", "\"magic\" is not a registration mode", {}, {}},
    {"no image", "dpi\t254\t10\t20", "no reference image", {}, {}},
};

// A reading at `card` on the tickmarks row of scale 1.
struct Readout {
    const char *name, *scale, *text;
    QPointF card;
};
const Readout kReadouts[] = {
    {"mid-scale", "linear\t0\t10", "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°  value 5", {26, 13}},
    {"on the zero tip", "ohms\t0\tinf\t50", "X 5.00  Y 12.00 mm  r 29.70 mm  135.0°  value ∞", {5, 12}},
    {"large reading", "ohms\t0\tinf\t5000", "X 16.00  Y 21.00 mm  r 15.62 mm  129.8°  value 81631", {16, 21}},
    {"past full scale", "linear\t0\t10", "X 40.00  Y 20.00 mm  r 19.10 mm  42.9°", {40, 20}},
    {"below the pivot", "linear\t0\t10", "X 26.00  Y 40.00 mm  r 7.00 mm  270.0°", {26, 40}},
    {"a broken law", "log\t0\t10", "X 26.00  Y 13.00 mm  r 20.00 mm  90.0°", {26, 13}},
    {"pivot unusable", "linear\t0\t10", "X 1.50  Y -2.00 mm", {1.5, -2}},
};

} // namespace

Q_DECLARE_METATYPE(Refused)
Q_DECLARE_METATYPE(Registration)
Q_DECLARE_METATYPE(Readout)

class TestReferenceImage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void readsAndReduces_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<qint64>("maxPixels");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<double>("dpi");
        for (const char *format : {"png", "jpg", "bmp", "tif"}) {
            QTest::addRow("%s as it is", format)
                << QString::fromLatin1(format) << qint64(240000) << QSize(600, 400) << 300.0;
            QTest::addRow("%s reduced", format)
                << QString::fromLatin1(format) << qint64(50000) << QSize(273, 182) << 300.0;
        }
        QTest::newRow("png, no resolution, reduced")
            << QStringLiteral("png") << qint64(50000) << QSize(273, 182) << 0.0;
    }
    void readsAndReduces()
    {
        QFETCH(QString, format);
        QFETCH(qint64, maxPixels);
        QFETCH(QSize, expected);
        QFETCH(double, dpi);
        QImage image = markedImage();
        if (dpi == 0)
            image.setDotsPerMeterX(QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX());
        const QString path = m_dir.filePath(QStringLiteral("scan.") + format);
        QVERIFY2(image.save(path), "cannot write the format: is qt6-image-formats-plugins installed?");
        const ReferenceImage loaded = loadReferenceImage(path, maxPixels);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.originalSize, QSize(600, 400));
        QCOMPARE(loaded.image.size(), expected);
        QCOMPARE(loaded.fileDpi, dpi);
        QVERIFY(qRed(loaded.image.pixel(2, 2)) > 240 && qGreen(loaded.image.pixel(2, 2)) < 40);
        QVERIFY(qGreen(loaded.image.pixel(expected.width() - 3, expected.height() - 3)) > 220);
    }

    // A camera stores the pixels as the sensor saw them and says in EXIF how to turn them:
    // here a quarter clockwise, so the red corner ends at the top right.
    void cameraOrientationIsApplied()
    {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && markedImage().save(&buffer, "JPEG", 95));
        const QByteArray exif = QByteArray("\xFF\xE1\x00\x22"
                                           "Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                                           36);
        QFile file(m_dir.filePath(QStringLiteral("photo.jpg")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(jpeg.left(2) + exif + jpeg.mid(2)) > 0);
        file.close();
        for (const qint64 maxPixels : {qint64(240000), qint64(60000)}) {
            const ReferenceImage loaded = loadReferenceImage(file.fileName(), maxPixels);
            QCOMPARE(loaded.originalSize, QSize(400, 600));
            QVERIFY(loaded.image.height() > loaded.image.width());
            QVERIFY(qGreen(loaded.image.pixel(loaded.image.width() - 3, 2)) < 60 &&
                    qGreen(loaded.image.pixel(2, 2)) > 200);
        }
    }

    void refusedOrReduced_data() { addNamedCases(kRefused); }
    void refusedOrReduced()
    {
        QFETCH(Refused, c);
        const QString path = m_dir.filePath(QLatin1String(c.file));
        if (c.side > 0 || c.trueColour) {
            QVERIFY(writePng(path, c.side, c.trueColour, c.side == 20000 ? c.side : c.side / 2));
        } else if (!c.bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        }
        const ReferenceImage loaded = loadReferenceImage(path);
        if (!*c.says) {
            QVERIFY2(loaded.ok(), qPrintable(loaded.error));
            QCOMPARE(loaded.image.size(), QSize(4000, 4000));
            QCOMPARE(loaded.fileDpi, 600.0);
            QVERIFY(qGray(loaded.image.pixel(100, 100)) < 20 && qGray(loaded.image.pixel(3000, 100)) > 235);
            return;
        }
        QVERIFY(loaded.image.isNull());
        QVERIFY2(loaded.error.startsWith(QStringLiteral("Reference image \"%1\"").arg(path)) &&
                     loaded.error.contains(QLatin1String(c.says)),
                 qPrintable(loaded.error));
    }

    void registration_data() { addNamedCases(kRegistrations); }
    void registration()
    {
        QFETCH(Registration, c);
        DialDesign design = designWith(c.cells);
        if (QByteArray(c.name) == "no image")
            design.reference.clear();
        const ReferenceRegistration r = referenceRegistration(design);
        QVERIFY2(r.error.contains(u8(c.error)), qPrintable(r.error));
        if (!*c.error)
            QVERIFY(QLineF(r.imageToCard.map(c.pixel), c.mm).length() < 1e-9 && r.residualMm < 1e-9);
    }

    // Clicks that only a mirror image would fit: the fit never mirrors, and says how far off
    // they are (the residual of one misplaced click is checked through the dialog).
    void mirroredClicksAreNeverFitByAMirror()
    {
        const ReferenceRegistration r = registerByPoints({QPointF(300, 400), QPointF(60, 140), QPointF(550, 140)},
                                                         {QPointF(30, 40), QPointF(54, 14), QPointF(5, 14)});
        QVERIFY2(r.imageToCard.determinant() > 0 && r.residualMm > kRegistrationWarnMm, qPrintable(r.error));
    }

    // Each reading placed as the renderer places it (deflection, angle, a point at radius 21)
    // reads back through the cursor within 1e-9 with the row's own law (each law's inverse is
    // checked with the laws): a falling one, one to infinity and a table.
    void readoutUndoesEachLaw_data()
    {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QVector<double>>("values");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("linear") << u8("linear\t10\t-10") << QVector<double>{10, 0.1, -7.25, -10};
        QTest::newRow("ohms") << u8("ohms\t0\tinf\t50") << QVector<double>{0, 10, 50, 1e4, inf};
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

    void readoutText_data() { addNamedCases(kReadouts); }
    void readoutText()
    {
        QFETCH(Readout, c);
        DialDesign design = designWith("", u8("a.png"), c.scale);
        if (QByteArray(c.name) == "pivot unusable")
            design.dimension(Dimension::NeedlePivotY) = u8("1e999");
        const QStringList row = rowOnScale1(TableKind::ScaleTickmarks);
        QCOMPARE(cursorReadout(design, {c.card.x(), c.card.y()}, TableKind::ScaleTickmarks, row).text(), u8(c.text));
        QVERIFY(!cursorReadout(design, {26, 13}, TableKind::FaceLabels, row).hasValue);
        QVERIFY(!cursorReadout(design, {26, 13}, TableKind::ScaleTickmarks, emptyRow(TableKind::ScaleTickmarks))
                     .hasValue);
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
        const QString dial = m_dir.filePath(u8("dials/a.vld"));
        QVERIFY(QDir(m_dir.path()).mkpath(u8("dials")));
        const DialDesign design =
            designWith("points\t\t\t\t1260.5\t1590\t630\t960\t1890\t960\t35\t0", m_dir.filePath(image));
        QVERIFY(saveDialFile(dial, design).ok());
        QFile file(dial);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString expected = (stored.isEmpty() ? m_dir.filePath(image) : stored) +
                                 u8("\tpoints\t\t\t\t1260.5\t1590\t630\t960\t1890\t960\t35\t0\t\r\n\r\n");
        QVERIFY2(bytes.startsWith("[Vernalith1.1]") && bytes.endsWith("\r\n[Reference]\r\n" + expected.toUtf8()),
                 bytes.constData());
        const DialReadResult read = loadDialFile(dial, design.dimensions);
        QVERIFY(read.ok() && read.design == design && !QFile::exists(m_dir.filePath(image)));
        QVERIFY(!dialFileBytes(DialDesign::startup()).contains("[Reference]"));
    }

    void damagedSectionIsRefused()
    {
        const std::pair<const char *, QByteArray> sections[] = {
            {"more than one row", "a.png\tdpi\t300\r\nb.png\tdpi\t600\r\n"},
            {"later version", "a\tdpi\t3\t\t\t\t\t\t\t\t\t5\t1\tnew\r\n"}, // a cell past the last
        };
        for (const auto &[says, section] : sections) {
            const DialReadResult read = parseDialFile("[Vernalith1.1]\r\n[Reference]\r\n" + section + "\r\n", {});
            QVERIFY2(read.error.kind == DialFileError::Kind::ReadFailed && read.error.detail.contains(u8(says)),
                     qPrintable(read.error.detail));
        }
    }
};

QTEST_GUILESS_MAIN(TestReferenceImage)
#include "test_referenceimage.moc"
