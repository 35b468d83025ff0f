#pragma once

#include "design/dialdesign.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <atomic>

class QPainter;

namespace vernalith {

// Thrown out of paintPreview() when its cancel flag was raised while it drew.
struct PreviewCancelled {
};

// A picture laid under the card in the window only (a scanned old card to copy from): never
// printed, exported or counted in the drawing budget.
struct PreviewUnderlay {
    QImage image;           // as held, possibly reduced from the file
    QTransform imageToCard; // a pixel of `image` -> card mm (origin the card's top-left corner)
    qreal opacity = 0.5;    // 0 ... 1

    bool isNull() const { return image.isNull(); }
    // The same pixels (by cache key, not by comparing them), placing and opacity.
    bool operator==(const PreviewUnderlay &other) const;
    bool operator!=(const PreviewUnderlay &other) const { return !(*this == other); }
};

// Draws `underlay` as paintPreview() places the card, clipped to `clip` (device-independent
// pixels). Nothing is drawn for a null underlay or a placing that cannot be inverted.
// Card millimetres to window pixels, as the preview places the card (10 mm in from the client
// corner) at these resolutions.
QTransform previewCardToWindow(double pixelsPerMmX, double pixelsPerMmY);

void paintUnderlay(QPainter &painter, const PreviewUnderlay &underlay, double logicalDpi, const QRect &clip);

// Draws the card of `design` at true size on a screen painter whose origin is the window's
// client corner (the card's origin lies 10 mm right of and below it). When the design cannot be
// drawn, what was drawn stays and the reason is written in red inside `messageArea`; it is
// also returned (empty when the drawing succeeded). Fonts named by the design but not installed
// are told above it, in the painter's pen ("Font "X" is not installed; DejaVu Sans is used
// instead"), and given in `notes` when that is not null.
//
// Safe on a worker thread for a QImage painter. When `cancel` is given and becomes true while
// drawing, the drawing stops at its next line, arc or text by throwing PreviewCancelled.
QString paintPreview(QPainter &painter, const DialDesign &design, double logicalDpi, const QRect &messageArea,
                     const std::atomic_bool *cancel = nullptr, QStringList *notes = nullptr);

} // namespace vernalith
