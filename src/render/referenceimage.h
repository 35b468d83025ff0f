#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vernalith {

// The most memory the pixels of one reference image may take while it is read.
inline constexpr int kReferenceImageMegabytes = 200;

// A scan or photo laid under the card as a guide. It is never drawn into an output.
struct ReferenceImage {
    QImage image;       // possibly reduced; EXIF orientation applied
    QSize originalSize; // pixels of the file, orientation applied (registration pixels refer to this size)
    double fileDpi = 0; // the resolution the file records, in whole dpi; 0 when none
    QString error;      // for a person, naming the file; empty when usable
    bool ok() const { return error.isEmpty(); }
};

// Reads `path` with the image readers Qt has (PNG, JPEG, BMP, TIFF with the image-formats
// plugins, ...), applying the orientation the file records. An image of more than `maxPixels`
// pixels is reduced, keeping its proportions: while it is decoded where the reader can (JPEG,
// 32-bit PNG), otherwise after decoding, a strip of rows at a time. The decoded image and the
// reduced copy together stay within kReferenceImageMegabytes (the copy is made smaller where
// needed); an image that cannot be read within that is refused ("too large"), never loaded out
// of memory, and so is one of more than 2^30 pixels (32768 x 32768), before decoding. A missing
// file, one that cannot be opened, one no reader understands, a damaged one, and an image
// without pixels are refused with a message naming the file. A file recording a resolution
// equal to the platform's default for images reads as recording none. Touches no GUI object:
// safe on a worker thread. The first call raises Qt's image allocation limit, which holds for
// the whole process, to kReferenceImageMegabytes if it is lower. Qt counts 32 bits a pixel
// against that limit whatever the format, so a 20000 x 20000 image of 1 bit a pixel is refused
// while a 32-bit PNG of that size, which Qt's reader reduces row by row, is reduced.
ReferenceImage loadReferenceImage(const QString &path, qint64 maxPixels = 16'000'000);

} // namespace vernalith
