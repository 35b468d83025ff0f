// Reading a scan to lay under the card: formats, recorded resolution and orientation, reduction
// of large images within the memory budget, and the files that must be refused.

#include "namedcases.h"
#include "render/referenceimage.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

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

QByteArray bigEndian(quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

// A PNG of `side` x `side` at 600 dpi, white with a black top-left tenth, written a row at a
// time (`rows` of them: fewer makes a damaged file); 8-bit RGB or 1-bit grey.
bool writePng(const QString &path, quint32 side, bool trueColour, quint32 rows)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto chunk = [&out](const QByteArray &body) {
        out.write(bigEndian(quint32(body.size() - 4)) + body +
                  bigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())))));
    };
    out.write("\x89PNG\r\n\x1a\n", 8);
    chunk("IHDR" + bigEndian(side) + bigEndian(side) + QByteArray(trueColour ? "\x08\x02" : "\x01\x00", 2) +
          QByteArray(3, 0));
    chunk("pHYs" + bigEndian(23622) + bigEndian(23622) + QByteArray(1, 1));
    const int rowBytes = trueColour ? int(side) * 3 : int(side + 7) / 8;
    QByteArray plain(1 + rowBytes, '\xff');
    plain[0] = 0;
    QByteArray marked = plain;
    std::fill_n(marked.data() + 1, rowBytes / 10, '\0');
    z_stream zs{};
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    deflateInit(&zs, 1);
    for (quint32 y = 0; y <= rows; ++y) {
        const QByteArray &row = y < side / 10 ? marked : plain;
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        zs.avail_in = y < rows ? uInt(row.size()) : 0;
        do {
            zs.next_out = reinterpret_cast<Bytef *>(buffer.data());
            zs.avail_out = uInt(buffer.size());
            deflate(&zs, y < rows ? Z_NO_FLUSH : Z_FINISH);
            if (zs.avail_out < uInt(buffer.size()))
                chunk("IDAT" + buffer.left(buffer.size() - int(zs.avail_out)));
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    chunk("IEND");
    return out.error() == QFile::NoError;
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

} // namespace

Q_DECLARE_METATYPE(Refused)

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
};

QTEST_GUILESS_MAIN(TestReferenceImage)
#include "test_referenceimage.moc"
