// Reading a scan to lay under the card: formats, the resolution the file records, the
// orientation a camera records, reduction of large images, and every file that must be refused.

#include "render/referenceimage.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

using namespace vernalith;

namespace {

// A 600 x 400 image with a red block in its top-left corner, recording 300 dpi.
QImage markedImage(QSize size = QSize(600, 400))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < size.height() / 10; ++y)
        for (int x = 0; x < size.width() / 10; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    return image;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

// A PNG claiming `width` x `height` with no pixel data.
QByteArray pngHeaderOnly(quint32 width, quint32 height)
{
    const QByteArray body = QByteArray("IHDR") + bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const auto chunk = [](const QByteArray &body) {
        return bigEndian(quint32(body.size() - 4)) + body + bigEndian(crc32(body));
    };
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk(body) + chunk("IDAT") + chunk("IEND");
}

// A JPEG whose EXIF block says the stored pixels are to be turned 90 degrees clockwise.
QByteArray jpegTurnedClockwise(const QImage &image)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    const QByteArray tiff = QByteArray("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 26);
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = exif.size() + 2;
    return jpeg.left(2) + QByteArray("\xFF\xE1", 2) + bigEndian(quint32(length)).right(2) + exif + jpeg.mid(2);
}

// A 20000 x 20000 PNG at 600 dpi, written a row at a time: white with a black top-left tenth.
bool writeVastPng(const QString &path, bool trueColour)
{
    constexpr quint32 side = 20000;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto chunk = [&out](const QByteArray &body) {
        out.write(bigEndian(quint32(body.size() - 4)) + body +
                  bigEndian(quint32(::crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())))));
    };
    out.write("\x89PNG\r\n\x1a\n", 8);
    chunk(QByteArray("IHDR") + bigEndian(side) + bigEndian(side) +
          (trueColour ? QByteArray("\x08\x02\x00\x00\x00", 5) : QByteArray("\x01\x00\x00\x00\x00", 5)));
    chunk(QByteArray("pHYs") + bigEndian(23622) + bigEndian(23622) + QByteArray(1, 1));
    const int bytesPerRow = trueColour ? int(side) * 3 : int(side) / 8;
    QByteArray marked(1 + bytesPerRow, '\xff');
    marked[0] = 0;
    std::fill_n(marked.data() + 1, bytesPerRow / 10, '\0');
    QByteArray plain(1 + bytesPerRow, '\xff');
    plain[0] = 0;
    z_stream zs{};
    if (deflateInit(&zs, 1) != Z_OK)
        return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (quint32 y = 0; y <= side; ++y) {
        const QByteArray &row = y < side / 10 ? marked : plain;
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        zs.avail_in = y < side ? uInt(row.size()) : 0;
        do {
            zs.next_out = reinterpret_cast<Bytef *>(buffer.data());
            zs.avail_out = uInt(buffer.size());
            deflate(&zs, y < side ? Z_NO_FLUSH : Z_FINISH);
            const int produced = buffer.size() - int(zs.avail_out);
            if (produced > 0)
                chunk(QByteArray("IDAT") + buffer.left(produced));
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    chunk("IEND");
    return out.error() == QFile::NoError;
}

} // namespace

class TestReferenceImage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile out(file(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write a test file");
        return out.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every format a scan comes in, small and reduced; the resolution survives reduction.
    void readsAndReduces_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("recordsDpi");
        QTest::addColumn<qint64>("maxPixels");
        QTest::addColumn<QSize>("expected");
        for (const char *format : {"png", "jpg", "bmp", "tif"}) {
            QTest::addRow("%s as it is", format) << QString::fromLatin1(format) << true << qint64(240000) << QSize(600, 400);
            QTest::addRow("%s reduced", format) << QString::fromLatin1(format) << true << qint64(60000) << QSize(300, 200);
            QTest::addRow("%s reduced to an odd size", format)
                << QString::fromLatin1(format) << true << qint64(50000) << QSize(273, 182);
        }
        QTest::newRow("png without a resolution") << QStringLiteral("png") << false << qint64(240000) << QSize(600, 400);
        QTest::newRow("png without a resolution, reduced") << QStringLiteral("png") << false << qint64(60000) << QSize(300, 200);
    }
    void readsAndReduces()
    {
        QFETCH(QString, format);
        QFETCH(bool, recordsDpi);
        QFETCH(qint64, maxPixels);
        QFETCH(QSize, expected);
        QVERIFY2(QImageWriter::supportedImageFormats().contains(format.toLatin1()),
                 "no image plugin for this format (install qt6-image-formats-plugins)");
        QImage image = markedImage();
        if (!recordsDpi) {
            const QImage plain(1, 1, QImage::Format_RGB32);
            image.setDotsPerMeterX(plain.dotsPerMeterX());
            image.setDotsPerMeterY(plain.dotsPerMeterY());
        }
        const QString path = file(QStringLiteral("scan.") + format);
        QVERIFY(image.save(path));
        const ReferenceImage loaded = loadReferenceImage(path, maxPixels);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.originalSize, QSize(600, 400));
        QCOMPARE(loaded.image.size(), expected);
        QCOMPARE(loaded.fileDpi, recordsDpi ? 300.0 : 0.0);
        // The marked corner stays where it was.
        QVERIFY(qRed(loaded.image.pixel(2, 2)) > 240);
        QVERIFY(qGreen(loaded.image.pixel(2, 2)) < 40);
        QVERIFY(qGreen(loaded.image.pixel(expected.width() - 3, expected.height() - 3)) > 200);
    }

    // A camera stores the pixels as the sensor saw them and says how to turn them.
    void cameraOrientationIsApplied()
    {
        const QString path = write(QStringLiteral("photo.jpg"), jpegTurnedClockwise(markedImage()));
        for (const qint64 maxPixels : {qint64(240000), qint64(60000)}) {
            const ReferenceImage loaded = loadReferenceImage(path, maxPixels);
            QVERIFY2(loaded.ok(), qPrintable(loaded.error));
            QCOMPARE(loaded.originalSize, QSize(400, 600));
            QCOMPARE(loaded.image.height() > loaded.image.width(), true);
            // The stored top-left corner is now the top-right one.
            QVERIFY(qRed(loaded.image.pixel(loaded.image.width() - 3, 2)) > 240);
            QVERIFY(qGreen(loaded.image.pixel(loaded.image.width() - 3, 2)) < 60);
            QVERIFY(qGreen(loaded.image.pixel(2, 2)) > 200);
        }
    }

    void unusableFilesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        markedImage().save(&buffer, "PNG");
        QTest::newRow("missing") << QStringLiteral("gone.png") << QByteArray() << "was not found";
        QTest::newRow("a folder") << QStringLiteral("folder.png") << QByteArray() << "is not a file";
        QTest::newRow("text named png") << QStringLiteral("notes.png") << QByteArray("meter notes\n") << "cannot be read";
        QTest::newRow("empty file") << QStringLiteral("empty.jpg") << QByteArray("") << "cannot be read";
        QTest::newRow("cut-off png") << QStringLiteral("cut.png") << png.left(png.size() / 2) << "cannot be read";
        QTest::newRow("0 x 0 portable bitmap") << QStringLiteral("zero.pbm") << QByteArray("P1\n0 0\n") << "cannot be read";
        QTest::newRow("0 x 0 png header") << QStringLiteral("zero.png") << pngHeaderOnly(0, 0) << "cannot be read";
        QTest::newRow("40000 x 40000 png header") << QStringLiteral("vast.png") << pngHeaderOnly(40000, 40000) << "too large";
    }
    void unusableFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        if (name == QLatin1String("folder.png"))
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        else if (name != QLatin1String("gone.png"))
            write(name, bytes);
        const ReferenceImage loaded = loadReferenceImage(file(name));
        QVERIFY(!loaded.ok());
        QVERIFY(loaded.image.isNull());
        QVERIFY2(loaded.error.contains(says) && loaded.error.contains(QLatin1Char('"') + file(name) + QLatin1Char('"')),
                 qPrintable(loaded.error));
    }

    // 20000 x 20000 pixels would take 1.6 GB at 32 bits: a 32-bit PNG is reduced as it is
    // decoded; a 1-bit one, which Qt would expand first, is refused before decoding.
    void vastImagesAreReducedOrRefused_data()
    {
        QTest::addColumn<bool>("trueColour");
        QTest::newRow("24-bit colour, reduced") << true;
        QTest::newRow("1 bit a pixel, refused") << false;
    }
    void vastImagesAreReducedOrRefused()
    {
        QFETCH(bool, trueColour);
        const QString path = file(QStringLiteral("vast-%1.png").arg(trueColour));
        QVERIFY(writeVastPng(path, trueColour));
        const ReferenceImage loaded = loadReferenceImage(path);
        if (!trueColour) {
            QVERIFY2(loaded.error.contains(QStringLiteral("too large to load (20000 x 20000 pixels)")), qPrintable(loaded.error));
            return;
        }
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.originalSize, QSize(20000, 20000));
        QCOMPARE(loaded.image.size(), QSize(4000, 4000));
        QCOMPARE(loaded.fileDpi, 600.0);
        // The black block of the top-left tenth stays there.
        QVERIFY(qGray(loaded.image.pixel(100, 100)) < 20);
        QVERIFY(qGray(loaded.image.pixel(3000, 100)) > 235);
        QVERIFY(qGray(loaded.image.pixel(100, 3000)) > 235);
    }
};

QTEST_GUILESS_MAIN(TestReferenceImage)
#include "test_referenceimage.moc"
