#include "paintersurface.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <new>

namespace vernalith {

namespace {

constexpr double kMmPerInch = 25.4;
// The card's origin lies this far right of and below the surface's top-left corner.
constexpr double kCardInsetMm = 10.0;
// Fine enough to look like a printed scale, thick enough to survive a laser printer.
constexpr double kPenWidthMm = 0.15;
// A cubic Bezier piece of at most 45 degrees stays within 5e-6 of the radius of the true circle;
// Qt's own quarter-circle pieces are off by 3e-4 of it (0.03 mm at 100 mm).
constexpr double kMaxArcPieceDegrees = 45.0;

bool isRasterDevice(const QPaintDevice *device)
{
    if (!device)
        return false;
    switch (device->devType()) {
    case QInternal::Widget:
    case QInternal::Pixmap:
    case QInternal::Image:
    case QInternal::FramebufferObject:
    case QInternal::OpenGL:
    case QInternal::CustomRaster:
        return true;
    default:
        return false;
    }
}

bool finite(CardPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Appends the arc of `square`'s circle from `start` by `sweep` degrees in pieces of at most
// kMaxArcPieceDegrees, continuing the path (or starting a new figure when `move`).
void appendArc(QPainterPath &path, const QRectF &square, double start, double sweep, bool move)
{
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / kMaxArcPieceDegrees)));
    const double step = sweep / pieces;
    if (move)
        path.arcMoveTo(square, start);
    for (int k = 0; k < pieces; ++k)
        path.arcTo(square, start + k * step, step);
}

QRectF squareAround(CardPoint centre, double radius)
{
    return QRectF(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
}

QPointF toQt(CardPoint p)
{
    return QPointF(p.x, p.y);
}

} // namespace

PainterSurface::PainterSurface(QPainter &painter, double dotsPerInch, QPointF surfaceOrigin)
    : m_painter(painter),
      m_pixelsPerMm(dotsPerInch / kMmPerInch),
      m_origin(surfaceOrigin),
      m_startFont(painter.font()),
      m_startInk(painter.pen().color()),
      m_ink(m_startInk),
      m_font(painter.font())
{
    m_painter.save();

    QTransform toCard;
    toCard.translate(m_origin.x(), m_origin.y());
    toCard.scale(m_pixelsPerMm, m_pixelsPerMm);
    toCard.translate(kCardInsetMm, kCardInsetMm);
    m_painter.setWorldTransform(toCard, true);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);

    setStyle(DrawStyle());
    m_painter.setBrush(Qt::NoBrush);

    m_painter.setFont(m_font.referenceFont());
}

PainterSurface::~PainterSurface()
{
    // Restoring can allocate (a PDF painter writes the restored pen); out of memory here must
    // not end the program: the drawing has already failed and says so.
    try {
        m_painter.restore();
    } catch (const std::bad_alloc &) {
    }
}

void PainterSurface::setStyle(const DrawStyle &style)
{
    // The default style is the painter's own ink: the window's text colour on the screen.
    m_ink = style == DrawStyle() ? m_startInk : style.colour;
    // On a screen or an image a line thinner than a pixel would fade or vanish; vector devices
    // keep the true width.
    double widthMm = style.widthMm > 0 && std::isfinite(style.widthMm) ? style.widthMm : kPenWidthMm;
    if (isRasterDevice(m_painter.device()) && m_pixelsPerMm > 0)
        widthMm = std::max(widthMm, 1.0 / m_pixelsPerMm);
    m_painter.setPen(QPen(m_ink, widthMm, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void PainterSurface::setFontFamily(const QString &family)
{
    QFont font = m_startFont;
    if (!family.isEmpty())
        font.setFamilies({family});
    m_font = ScaledFont(font);
    m_font.setPoints(m_points);
    m_painter.setFont(m_font.referenceFont());
}

void PainterSurface::clear()
{
    QPaintDevice *device = m_painter.device();
    if (!device)
        return;
    m_painter.save();
    m_painter.resetTransform();
    m_painter.eraseRect(QRectF(0, 0, device->width(), device->height()));
    m_painter.restore();
}

void PainterSurface::line(CardPoint from, CardPoint to)
{
    if (!finite(from) || !finite(to))
        return;
    m_painter.drawLine(QLineF(toQt(from), toQt(to)));
}

void PainterSurface::box(CardPoint corner1, CardPoint corner2)
{
    if (!finite(corner1) || !finite(corner2))
        return;
    m_painter.drawRect(QRectF(toQt(corner1), toQt(corner2)).normalized());
}

void PainterSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    if (!finite(centre) || !std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    if (radius <= 0 || startAngle == endAngle)
        return;

    // Qt counts arc angles counter-clockwise as seen on the device, with Y growing downwards,
    // which is the card's own convention; only the unit differs.
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    const double sweep = degrees.sweep;
    const double start = degrees.start;

    const QRectF square(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
    const int pieces = static_cast<int>(std::ceil(sweep / kMaxArcPieceDegrees));
    const double step = sweep / pieces;
    // Two halves: Qt's stroker draws nothing for one path whose ends meet within its fuzz, as
    // they do for a sweep just short of a full circle.
    QPainterPath path;
    for (int k = 0; k < pieces; ++k) {
        if (k == 0 || k == pieces / 2)
            path.arcMoveTo(square, start + k * step);
        path.arcTo(square, start + k * step, step);
    }
    m_painter.drawPath(path);
}

void PainterSurface::setFontSize(double points)
{
    if (points > 0 && std::isfinite(points))
        m_points = points;
    m_font.setPoints(points);
}

double PainterSurface::textWidth(const QString &text)
{
    return m_font.width(text);
}

double PainterSurface::textHeight(const QString &)
{
    return m_font.lineHeight();
}

void PainterSurface::text(CardPoint topLeft, const QString &text)
{
    if (text.isEmpty() || !finite(topLeft))
        return;
    const double scale = m_font.scale();
    m_painter.save();
    m_painter.translate(topLeft.x, topLeft.y);
    m_painter.scale(scale, scale);
    m_painter.drawText(QPointF(0, m_font.referenceAscent()), text);
    m_painter.restore();
}

void PainterSurface::sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle,
                            bool filled)
{
    if (!finite(centre) || !std::isfinite(inner) || !std::isfinite(outer) || !std::isfinite(startAngle)
        || !std::isfinite(endAngle))
        return;
    if (inner < 0 || outer <= inner || startAngle == endAngle)
        return;
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    // Out along the outer edge, back along the inner one: one closed outline.
    QPainterPath path;
    appendArc(path, squareAround(centre, outer), degrees.start, degrees.sweep, true);
    if (inner > 0)
        appendArc(path, squareAround(centre, inner), degrees.start + degrees.sweep, -degrees.sweep, false);
    else
        path.lineTo(toQt(centre));
    path.closeSubpath();
    if (filled)
        m_painter.fillPath(path, m_ink);
    else
        m_painter.drawPath(path);
}

void PainterSurface::circle(CardPoint centre, double radius)
{
    if (!finite(centre) || !std::isfinite(radius) || radius <= 0)
        return;
    QPainterPath path;
    appendArc(path, squareAround(centre, radius), 0, 360, true);
    path.closeSubpath();
    m_painter.drawPath(path);
}

} // namespace vernalith
