#include "referencepointview.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vernalith {

namespace {

constexpr double kMinZoom = 0.01;
constexpr double kMaxZoom = 32.0;
constexpr double kZoomStep = 1.25; // per wheel notch
constexpr double kMarkerRadius = 8.0; // view pixels, at any zoom

} // namespace

// The scan, drawn from the (possibly reduced) image over the file's full pixel extent. A
// QGraphicsPixmapItem would keep a second full copy of a large scan.
class ReferencePicture : public QGraphicsItem
{
public:
    ReferencePicture(const QImage &image, QSize originalSize) : m_image(image), m_size(originalSize) {}
    QRectF boundingRect() const override { return QRectF(QPointF(), QSizeF(m_size)); }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter->drawImage(boundingRect(), imageFor(painter->worldTransform().m11()));
    }

private:
    // Drawn much smaller than it is, an image is sampled, not averaged, and a scan's thin lines
    // break up: far out, a copy averaged down by a power of two is drawn instead.
    const QImage &imageFor(double viewPerFilePixel)
    {
        const double shownPerHeldPixel = viewPerFilePixel * m_size.width() / std::max(1, m_image.width());
        const int level =
            shownPerHeldPixel > 0 ? int(std::clamp(std::floor(std::log2(1 / shownPerHeldPixel)), 0.0, 16.0)) : 0;
        if (level == 0)
            return m_image;
        if (level != m_level) {
            m_level = level;
            m_reduced = m_image.scaled(std::max(1, m_image.width() >> level), std::max(1, m_image.height() >> level),
                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        return m_reduced;
    }

    QImage m_image;
    QSize m_size;
    int m_level = 0;
    QImage m_reduced;
};

// A crosshair the same size at every zoom; its position is the point.
class ReferenceMarker : public QGraphicsItem
{
public:
    ReferenceMarker(ReferencePointView *view, const QString &name) : m_view(view), m_name(name)
    {
        setFlags(ItemIsMovable | ItemIgnoresTransformations | ItemSendsGeometryChanges);
        setZValue(1);
        setCursor(Qt::SizeAllCursor);
        setVisible(false);
    }
    void setActive(bool active)
    {
        m_active = active;
        update();
    }
    QRectF boundingRect() const override
    {
        // The cross's arms, their halo and the name to the upper right.
        const double arm = kMarkerRadius + 6;
        return QRectF(-arm, -kMarkerRadius - 18, arm + kMarkerRadius + 150, kMarkerRadius + 18 + arm);
    }
    QPainterPath shape() const override
    {
        QPainterPath path;
        path.addEllipse(QPointF(), kMarkerRadius + 2, kMarkerRadius + 2);
        return path;
    }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setRenderHint(QPainter::Antialiasing, true);
        const QColor colour = m_active ? QColor(220, 0, 0) : QColor(0, 90, 220);
        // A white halo keeps the mark readable on dark and light scans alike.
        for (const auto &[pen, width] : {std::pair{QColor(Qt::white), 3.0}, std::pair{colour, 1.5}}) {
            painter->setPen(QPen(pen, width));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(QPointF(), kMarkerRadius, kMarkerRadius);
            painter->drawLine(QPointF(-kMarkerRadius - 4, 0), QPointF(-2, 0));
            painter->drawLine(QPointF(2, 0), QPointF(kMarkerRadius + 4, 0));
            painter->drawLine(QPointF(0, -kMarkerRadius - 4), QPointF(0, -2));
            painter->drawLine(QPointF(0, 2), QPointF(0, kMarkerRadius + 4));
        }
        QRectF label(kMarkerRadius + 4, -kMarkerRadius - 16, painter->fontMetrics().horizontalAdvance(m_name) + 4, 16);
        painter->fillRect(label, QColor(255, 255, 255, 200));
        painter->setPen(colour);
        painter->drawText(label, Qt::AlignCenter, m_name);
    }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override
    {
        if (change == ItemPositionHasChanged && isVisible())
            m_view->markerMoved();
        return QGraphicsItem::itemChange(change, value);
    }

private:
    ReferencePointView *m_view;
    QString m_name;
    bool m_active = false;
};

ReferencePointView::ReferencePointView(QWidget *parent) : QGraphicsView(parent)
{
    setScene(new QGraphicsScene(this));
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setDragMode(QGraphicsView::NoDrag);
    setBackgroundBrush(palette().color(QPalette::Dark));
    setCursor(Qt::CrossCursor);
}

ReferencePointView::~ReferencePointView() = default;

void ReferencePointView::setImage(const QImage &image, QSize originalSize)
{
    clearImage();
    m_originalSize = originalSize;
    m_picture = new ReferencePicture(image, originalSize);
    scene()->addItem(m_picture);
    // Room beyond the edges, so that a point near an edge can be brought to the middle.
    const QRectF r = m_picture->boundingRect();
    scene()->setSceneRect(r.adjusted(-r.width() / 2, -r.height() / 2, r.width() / 2, r.height() / 2));
}

void ReferencePointView::clearImage()
{
    delete m_picture;
    m_picture = nullptr;
    m_originalSize = QSize();
}

void ReferencePointView::setPointNames(const QStringList &names)
{
    qDeleteAll(m_markers);
    m_markers.clear();
    for (const QString &name : names) {
        auto *marker = new ReferenceMarker(this, name);
        scene()->addItem(marker);
        m_markers << marker;
    }
    m_active = -1;
    setActivePoint(0);
}

std::optional<QPointF> ReferencePointView::point(int index) const
{
    if (index < 0 || index >= m_markers.size() || !m_markers[index]->isVisible())
        return std::nullopt;
    return m_markers[index]->pos();
}

void ReferencePointView::setPoint(int index, std::optional<QPointF> at)
{
    if (index < 0 || index >= m_markers.size())
        return;
    ReferenceMarker *marker = m_markers[index];
    marker->setVisible(false); // no pointsChanged() for this move
    if (at) {
        marker->setPos(*at);
        marker->setVisible(true);
    }
}

void ReferencePointView::setActivePoint(int index)
{
    if (m_markers.isEmpty() || index == m_active)
        return;
    m_active = std::clamp(index, 0, static_cast<int>(m_markers.size()) - 1);
    for (int i = 0; i < m_markers.size(); ++i)
        m_markers[i]->setActive(i == m_active);
    emit activePointChanged(m_active);
}

double ReferencePointView::zoom() const
{
    return transform().m11();
}

void ReferencePointView::setZoom(double zoom)
{
    const double z = std::clamp(zoom, kMinZoom, kMaxZoom);
    setTransform(QTransform::fromScale(z, z));
}

void ReferencePointView::zoomToFit()
{
    if (!m_picture)
        return;
    fitInView(m_picture, Qt::KeepAspectRatio);
    setZoom(zoom());
}

void ReferencePointView::markerMoved()
{
    emit pointsChanged();
}

void ReferencePointView::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    const double target = std::clamp(zoom() * std::pow(kZoomStep, notches), kMinZoom, kMaxZoom);
    const double factor = target / zoom();
    scale(factor, factor); // about the cursor: the transformation anchor
    event->accept();
}

void ReferencePointView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton) {
        m_panFrom = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        for (QGraphicsItem *item : items(event->position().toPoint())) {
            if (item != m_picture && item->isVisible()) {
                // On a marker: the scene drags it.
                QGraphicsView::mousePressEvent(event);
                return;
            }
        }
        const QPointF at = viewportTransform().inverted().map(event->position());
        if (m_picture && m_picture->boundingRect().contains(at) && m_active >= 0 && m_active < m_markers.size()) {
            setPoint(m_active, at);
            emit pointsChanged();
            for (int step = 1; step < m_markers.size(); ++step) {
                const int next = (m_active + step) % static_cast<int>(m_markers.size());
                if (!point(next)) {
                    setActivePoint(next);
                    break;
                }
            }
        }
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void ReferencePointView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panFrom) {
        const QPoint now = event->position().toPoint();
        const QPoint delta = now - *m_panFrom;
        m_panFrom = now;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void ReferencePointView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panFrom && (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton)) {
        m_panFrom.reset();
        viewport()->unsetCursor();
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

} // namespace vernalith
