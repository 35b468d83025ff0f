#include "referenceimage.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vernalith {

namespace {

constexpr qint64 kBudgetBytes = qint64(kReferenceImageMegabytes) * 1024 * 1024;
// Decoding takes time in proportion to the stored pixels even when little is kept.
constexpr qint64 kMostStoredPixels = qint64(1) << 30;
// Fewer pixels than this are not worth keeping of a large scan.
constexpr qint64 kLeastKeptPixels = 1'000'000;
// What reducing needs besides the two images: a strip at 32 bits and its copy, the sums.
constexpr qint64 kReductionHeadroomBytes = 16 * 1024 * 1024;
// Rows converted to 32 bits at a time while reducing.
constexpr int kStripRows = 64;

ReferenceImage refused(const QString &path, const QString &problem)
{
    ReferenceImage result;
    result.error = QStringLiteral("Reference image \"%1\" %2").arg(path, problem);
    return result;
}

QString tooLarge(QSize size)
{
    return QStringLiteral("is too large to load (%1 x %2 pixels)").arg(size.width()).arg(size.height());
}

// Bits a decoded pixel takes; 32 when the reader does not say.
qint64 bitsPerPixel(QImage::Format format)
{
    return format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
}

// The size, keeping the proportions, that holds at most `pixels` pixels.
QSize reducedTo(QSize size, qint64 pixels)
{
    const double factor = std::sqrt(double(pixels) / (double(size.width()) * double(size.height())));
    return QSize(std::max(1, int(std::floor(size.width() * factor))),
                 std::max(1, int(std::floor(size.height() * factor))));
}

// Averages every source pixel into the target pixel it falls in, a strip of rows at a time, so
// that only the strip is ever held at 32 bits whatever the source's format.
QImage reduceInStrips(const QImage &source, QSize target)
{
    QImage result(target, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return result;
    const int w = source.width();
    const int h = source.height();
    std::vector<int> column(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        column[static_cast<size_t>(x)] = int(qint64(x) * target.width() / w);
    std::vector<quint64> sums(static_cast<size_t>(target.width()) * 5);
    int row = 0;
    const auto flush = [&] {
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(row));
        for (int X = 0; X < target.width(); ++X) {
            const quint64 *s = &sums[static_cast<size_t>(X) * 5];
            const quint64 n = std::max<quint64>(1, s[4]);
            out[X] = qRgba(int(s[0] / n), int(s[1] / n), int(s[2] / n), int(s[3] / n));
        }
        std::fill(sums.begin(), sums.end(), 0);
    };
    for (int top = 0; top < h; top += kStripRows) {
        const QImage strip =
            source.copy(0, top, w, std::min(kStripRows, h - top)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < strip.height(); ++y) {
            const int targetRow = int(qint64(top + y) * target.height() / h);
            if (targetRow != row) {
                flush();
                row = targetRow;
            }
            const auto *in = reinterpret_cast<const QRgb *>(strip.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                quint64 *s = &sums[static_cast<size_t>(column[static_cast<size_t>(x)]) * 5];
                s[0] += quint64(qRed(in[x]));
                s[1] += quint64(qGreen(in[x]));
                s[2] += quint64(qBlue(in[x]));
                s[3] += quint64(qAlpha(in[x]));
                s[4] += 1;
            }
        }
    }
    flush();
    result.setDotsPerMeterX(source.dotsPerMeterX());
    result.setDotsPerMeterY(source.dotsPerMeterY());
    return result;
}

// Whole dots per inch from dots per metre: scanners work in whole dpi, which files store
// rounded to the metre, and Qt's reduction of a PNG rounds again.
double dpiOf(double dotsPerMetre)
{
    return std::round(dotsPerMetre * 0.0254);
}

} // namespace

ReferenceImage loadReferenceImage(const QString &path, qint64 maxPixels)
{
    maxPixels = std::max<qint64>(1, maxPixels);
    const QFileInfo info(path);
    if (!info.exists())
        return refused(path, QStringLiteral("was not found"));
    if (!info.isFile())
        return refused(path, QStringLiteral("is not a file"));
    if (!info.isReadable())
        return refused(path, QStringLiteral("cannot be opened: permission denied"));

    // Qt's limit is one for the whole process; it is raised once, before any scan is read.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), kReferenceImageMegabytes));
        return true;
    }();
    Q_UNUSED(limited)
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return refused(path, QStringLiteral("cannot be read: it is not an image of a known format, or it is damaged"));

    // Sizes as stored; the orientation turns them only after decoding.
    const QSize stored = reader.size();
    if (stored.isValid() && stored.isEmpty())
        return refused(path, QStringLiteral("has no pixels (%1 x %2)").arg(stored.width()).arg(stored.height()));
    const qint64 storedPixels = stored.isValid() ? qint64(stored.width()) * stored.height() : 0;
    if (storedPixels > kMostStoredPixels)
        return refused(path, tooLarge(stored));

    // JPEG reduces cheaply while decoding, and Qt's PNG reader does so row by row for 32-bit
    // images; for other PNGs it first expands the whole image to 32 bits. Everything else is
    // decoded as stored (which Qt allows only when it would fit the budget at 32 bits a pixel)
    // and then reduced a strip at a time into what the budget leaves.
    const QString format = QString::fromLatin1(reader.format());
    const qint64 bits = bitsPerPixel(reader.imageFormat());
    const bool reduce = storedPixels > maxPixels;
    const bool reduceWhileDecoding =
        reduce && reader.supportsOption(QImageIOHandler::ScaledSize) && (format != QLatin1String("png") || bits == 32);
    qint64 keptPixels = maxPixels;
    if (reduceWhileDecoding) {
        reader.setScaledSize(reducedTo(stored, maxPixels));
    } else if (reduce) {
        keptPixels = std::min(maxPixels, (kBudgetBytes - kReductionHeadroomBytes - storedPixels * bits / 8) / 4);
        if (storedPixels * std::max<qint64>(bits, 32) / 8 > kBudgetBytes ||
            keptPixels < std::min(maxPixels, kLeastKeptPixels))
            return refused(path, tooLarge(stored));
    }

    QImage image = reader.read();
    if (image.isNull())
        return refused(path, QStringLiteral("cannot be read (%1)").arg(reader.errorString()));

    ReferenceImage result;
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize full = stored.isValid() ? stored : (turned ? image.size().transposed() : image.size());
    result.originalSize = turned ? full.transposed() : full;

    double dotsPerMetre = image.dotsPerMeterX();
    // Qt's PNG reader keeps the physical size of an image it reduces, scaling its resolution
    // with it; the file's own is the reduction undone.
    if (reduceWhileDecoding && format == QLatin1String("png"))
        dotsPerMetre = dotsPerMetre * result.originalSize.width() / image.width();
    // A reader that could not reduce (or did not know the size beforehand) gave it all.
    if (qint64(image.width()) * image.height() > keptPixels)
        image = reduceInStrips(image, reducedTo(image.size(), keptPixels));
    if (image.isNull())
        return refused(path, tooLarge(result.originalSize));

    // Images read without a resolution carry the platform's default one.
    const double defaultDpi = dpiOf(QImage(1, 1, QImage::Format_Mono).dotsPerMeterX());
    const double dpi = dpiOf(dotsPerMetre);
    if (dpi > 0 && std::fabs(dpi - defaultDpi) >= 0.5)
        result.fileDpi = dpi;
    result.image = image;
    return result;
}

} // namespace vernalith
