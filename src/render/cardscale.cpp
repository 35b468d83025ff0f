#include "cardscale.h"

#include <QPainter>
#include <QTransform>

namespace vernalith {

namespace {
// Where a PainterSurface puts the card's origin, from its own top-left corner.
constexpr double kCardInsetMm = 10.0;
constexpr double kMmPerInch = 25.4;
} // namespace

bool isUsableCardScale(CardScale scale)
{
    return scale.x >= kMinCardScale && scale.x <= kMaxCardScale && scale.y >= kMinCardScale &&
           scale.y <= kMaxCardScale;
}

void applyCardScale(QPainter &painter, CardScale scale, double dotsPerInch, QPointF surfaceOrigin)
{
    const double inset = kCardInsetMm * dotsPerInch / kMmPerInch;
    const QPointF corner = surfaceOrigin + QPointF(inset, inset);
    QTransform about;
    about.translate(corner.x(), corner.y());
    about.scale(scale.x, scale.y);
    about.translate(-corner.x(), -corner.y());
    painter.setWorldTransform(about);
}

} // namespace vernalith
