#pragma once

#include "design/dialdesign.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <atomic>

class QPainter;

namespace vernalith {

// Thrown out of paintPreview() when its cancel flag was raised while it drew.
struct PreviewCancelled {
};

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
