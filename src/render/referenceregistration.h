#pragma once

#include "design/dialdesign.h"

#include <QPointF>
#include <QString>
#include <QTransform>

#include <array>

namespace vernalith {

// A registration whose points miss their targets by more than this (RMS, mm) is usable but
// doubtful: the scan is skewed or a point was placed wrongly.
inline constexpr double kRegistrationWarnMm = 0.5;

// How a reference image lies under the card. Image pixels are those of the image at its full
// size with its orientation applied (ReferenceImage::originalSize), not of a reduced copy.
struct ReferenceRegistration {
    QTransform imageToCard; // image pixel -> card mm (origin the card's top-left corner, Y down)
    double residualMm = 0;  // RMS distance of the registered points from their targets (0 in dpi mode)
    QString error;          // for a person; empty when usable
    bool ok() const { return error.isEmpty(); }
};

// 25.4 / dpi millimetres per pixel, `cornerPixel` landing on the card's top-left corner, no
// rotation. A dpi that is not a finite number above 0, or a corner that is not finite, is an
// error.
ReferenceRegistration registerByDpi(double dpi, QPointF cornerPixel);

// The least-squares similarity (uniform scale, rotation, translation; never a mirror image)
// mapping the three image points (pivot, tip at zero, tip at full scale) onto the three card
// points, with the RMS residual of the fit. Points that are not finite, two image points less
// than a pixel apart, or two card points that coincide, are an error.
ReferenceRegistration registerByPoints(const std::array<QPointF, 3> &imagePoints,
                                       const std::array<QPointF, 3> &cardPoints);

// The registration the design's reference cells describe: in "dpi" mode from Dpi and the
// corner, in "points" mode from the three image points and the design's pivot and tips (read
// as the renderer reads them). A design without a reference image, an unknown mode, an empty
// or unusable cell, or a dimension that is not finite, gives an error that says what is
// missing.
ReferenceRegistration referenceRegistration(const DialDesign &design);

} // namespace vernalith
