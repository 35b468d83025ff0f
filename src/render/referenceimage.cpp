#include "referenceimage.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace vernalith {

namespace {

constexpr qint64 kBudgetBytes = qint64(kReferenceImageMegabytes) * 1024 * 1024;
// Decoding takes time in proportion to the stored pixels even when little is kept.
constexpr qint64 kMostStoredPixels = qint64(1) << 30;

ReferenceImage refused(const QString &path, const QString &problem)
{
    ReferenceImage result;
    result.error = QStringLiteral("Reference image \"%1\" %2").arg(path, problem);
    return result;
}

qint64 bytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return 4;
    return std::max<qint64>(1, (QImage::toPixelFormat(format).bitsPerPixel() + 7) / 8);
}

// The size, keeping the aspect, that holds at most `pixels` pixels.
QSize reducedTo(QSize size, double pixels)
{
    const double factor = std::sqrt(pixels / (double(size.width()) * double(size.height())));
    return QSize(std::max(1, int(std::floor(size.width() * factor))), std::max(1, int(std::floor(size.height() * factor))));
}

// Dots per inch from dots per metre, to the 0.1 dpi that the metre unit of most files can hold.
double dpiOf(double dotsPerMetre)
{
    return std::round(dotsPerMetre * 0.254) / 10.0;
}

} // namespace

ReferenceImage loadReferenceImage(const QString &path, qint64 maxPixels)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(path, QStringLiteral("was not found"));
    if (!info.isFile())
        return refused(path, QStringLiteral("is not a file"));

    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kReferenceImageMegabytes);
    if (!reader.canRead())
        return refused(path, QStringLiteral("cannot be read: it is not an image of a known format, or it is damaged"));

    // Sizes as stored; the orientation turns them only after decoding.
    const QSize stored = reader.size();
    if (stored.isValid() && stored.isEmpty())
        return refused(path, QStringLiteral("has no pixels (%1 x %2)").arg(stored.width()).arg(stored.height()));
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const qint64 storedPixels = stored.isValid() ? qint64(stored.width()) * stored.height() : 0;
    if (storedPixels > kMostStoredPixels)
        return refused(path, QStringLiteral("is too large to load (%1 x %2 pixels)").arg(stored.width()).arg(stored.height()));
    const bool reduce = storedPixels > std::max<qint64>(1, maxPixels);

    // Where the reader cannot reduce while decoding, the full image and the reduced copy must
    // both fit the budget (a format other than 32-bit is converted for smooth reduction).
    QSize target;
    if (reduce) {
        target = reducedTo(stored, double(std::max<qint64>(1, maxPixels)));
        if (!reader.supportsOption(QImageIOHandler::ScaledSize)) {
            const QImage::Format format = reader.imageFormat();
            const qint64 perPixel = bytesPerPixel(format) + (bytesPerPixel(format) == 4 ? 0 : 4);
            const qint64 left = kBudgetBytes - storedPixels * perPixel;
            if (left < 4 * 1024 * 1024)
                return refused(path, QStringLiteral("is too large to load (%1 x %2 pixels)")
                                         .arg(stored.width())
                                         .arg(stored.height()));
            target = reducedTo(stored, double(std::min<qint64>(maxPixels, left / 4)));
        }
        reader.setScaledSize(target);
    }

    const QString format = QString::fromLatin1(reader.format());
    QImage image = reader.read();
    if (image.isNull())
        return refused(path, QStringLiteral("cannot be read (%1)").arg(reader.errorString()));

    ReferenceImage result;
    const QSize full = stored.isValid() ? stored : (turned ? image.size().transposed() : image.size());
    result.originalSize = turned ? full.transposed() : full;

    // A reader that could not give its size beforehand may have returned more than was asked.
    if (qint64(image.width()) * image.height() > std::max<qint64>(1, maxPixels))
        image = image.scaled(reducedTo(image.size(), double(maxPixels)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    // Images read without a resolution carry the platform's default one.
    double dotsPerMetre = image.dotsPerMeterX();
    // Qt's PNG reader keeps the physical size of an image it reduces, scaling its resolution
    // with it; the file's own is the reduction undone.
    if (format == QLatin1String("png") && image.width() != result.originalSize.width())
        dotsPerMetre = dotsPerMetre * result.originalSize.width() / image.width();
    const double defaultDpi = dpiOf(QImage(1, 1, QImage::Format_Mono).dotsPerMeterX());
    const double dpi = dpiOf(dotsPerMetre);
    if (dpi > 0 && std::fabs(dpi - defaultDpi) >= 0.5)
        result.fileDpi = dpi;
    result.image = image;
    return result;
}

} // namespace vernalith
