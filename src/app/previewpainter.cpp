#include "previewpainter.h"

#include "render/dialrenderer.h"
#include "render/paintersurface.h"
#include "render/rowstyle.h"

#include <QPainter>

#include <exception>
#include <new>

namespace vernalith {

namespace {

// Passes everything on, but gives up as soon as the drawing is no longer wanted.
class CancellableSurface : public DrawingSurface
{
public:
    CancellableSurface(DrawingSurface &inner, const std::atomic_bool &cancel) : m_inner(inner), m_cancel(cancel) {}

    void clear() override { check(); m_inner.clear(); }
    void line(CardPoint from, CardPoint to) override { check(); m_inner.line(from, to); }
    void box(CardPoint c1, CardPoint c2) override { check(); m_inner.box(c1, c2); }
    void arc(CardPoint centre, double radius, double start, double end) override
    {
        check(); m_inner.arc(centre, radius, start, end);
    }
    void setFontSize(double points) override { check(); m_inner.setFontSize(points); }
    double textWidth(const QString &text) override { return m_inner.textWidth(text); }
    double textHeight(const QString &text) override { return m_inner.textHeight(text); }
    void text(CardPoint topLeft, const QString &text) override { check(); m_inner.text(topLeft, text); }
    void setLayer(DrawLayer layer) override { m_inner.setLayer(layer); }
    void setStyle(const DrawStyle &style) override { m_inner.setStyle(style); }
    void setFontFamily(const QString &family) override { m_inner.setFontFamily(family); }
    void sector(CardPoint centre, double inner, double outer, double start, double end, bool filled) override
    {
        check(); m_inner.sector(centre, inner, outer, start, end, filled);
    }
    void circle(CardPoint centre, double radius) override { check(); m_inner.circle(centre, radius); }

private:
    void check() const
    {
        if (m_cancel.load(std::memory_order_relaxed))
            throw PreviewCancelled();
    }

    DrawingSurface &m_inner;
    const std::atomic_bool &m_cancel;
};

// The card's origin on the window, as PainterSurface places it.
constexpr double kCardInsetMm = 10.0;
constexpr double kMmPerInch = 25.4;

} // namespace

bool PreviewUnderlay::operator==(const PreviewUnderlay &other) const
{
    return image.cacheKey() == other.image.cacheKey() && imageToCard == other.imageToCard
           && opacity == other.opacity;
}

QTransform previewCardToWindow(double pixelsPerMmX, double pixelsPerMmY)
{
    return QTransform::fromTranslate(kCardInsetMm, kCardInsetMm) * QTransform::fromScale(pixelsPerMmX, pixelsPerMmY);
}

void paintUnderlay(QPainter &painter, const PreviewUnderlay &underlay, double logicalDpi, const QRect &clip)
{
    if (underlay.isNull() || !underlay.imageToCard.isInvertible() || underlay.opacity <= 0)
        return;
    const double pixelsPerMm = logicalDpi / kMmPerInch;
    const QTransform cardToWindow = previewCardToWindow(pixelsPerMm, pixelsPerMm);
    painter.save();
    painter.setClipRect(clip);
    painter.setOpacity(underlay.opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setTransform(underlay.imageToCard * cardToWindow, true);
    painter.drawImage(QPointF(), underlay.image);
    painter.restore();
}

QString paintPreview(QPainter &painter, const DialDesign &design, double logicalDpi, const QRect &messageArea,
                     const std::atomic_bool *cancel, QStringList *notes)
{
    QStringList fallbacks;
    for (const QString &family : missingFontFamilies(design))
        fallbacks.append(fontFallbackMessage(family));
    if (notes)
        *notes = fallbacks;

    QString error;
    try {
        PainterSurface surface(painter, logicalDpi);
        if (cancel) {
            CancellableSurface cancellable(surface, *cancel);
            drawDial(design, cancellable);
        } else {
            drawDial(design, surface);
        }
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("Not enough memory to draw the card");
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    if (error.isEmpty() && fallbacks.isEmpty())
        return error;

    // A paint must never open a box: the message would come back with every repaint. The
    // error takes the bottom of the area in red; font notes stand above it in the ink.
    painter.save();
    const int flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap;
    QRect above = messageArea;
    if (!error.isEmpty()) {
        const QPen ink = painter.pen();
        painter.setPen(Qt::red);
        const QRect used = painter.boundingRect(messageArea, flags, error);
        painter.drawText(messageArea, flags, error);
        above.setBottom(used.top() - 1);
        painter.setPen(ink);
    }
    if (!fallbacks.isEmpty())
        painter.drawText(above, flags, fallbacks.join(QLatin1Char('\n')));
    painter.restore();
    return error;
}

} // namespace vernalith
