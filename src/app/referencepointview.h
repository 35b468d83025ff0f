#pragma once

#include <QGraphicsView>
#include <QImage>
#include <QPointF>
#include <QVector>

#include <optional>

namespace vernalith {

class ReferenceMarker;
class ReferencePicture;

// A scanned image to click registration points on. Scene coordinates are pixels of the image
// file as read (orientation applied), even when the image shown was reduced: a point read here
// is what the reference cells store.
//
// The wheel zooms about the cursor, a drag with the middle or right button (or the scroll bars)
// pans. A left click on the image places the active point and makes the next unplaced one
// active; a placed point's marker can be dragged to refine it.
class ReferencePointView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit ReferencePointView(QWidget *parent = nullptr);
    ~ReferencePointView() override;

    // `image` may be smaller than `originalSize`; it is stretched over the original pixels.
    void setImage(const QImage &image, QSize originalSize);
    // Forgets the image; the markers stay.
    void clearImage();
    QSize originalSize() const { return m_originalSize; }

    // One marker per name, all unplaced, the first active.
    void setPointNames(const QStringList &names);
    int pointCount() const { return static_cast<int>(m_markers.size()); }
    std::optional<QPointF> point(int index) const;
    // Places (or, with nullopt, removes) a marker without emitting pointsChanged().
    void setPoint(int index, std::optional<QPointF> at);
    int activePoint() const { return m_active; }
    void setActivePoint(int index);

    // View pixels per image pixel; 1 shows the file's pixels one to one.
    double zoom() const;
    void setZoom(double zoom);
    // The whole image in view.
    void zoomToFit();

signals:
    void pointsChanged();
    void activePointChanged(int index);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class ReferenceMarker;
    void markerMoved();

    ReferencePicture *m_picture = nullptr;
    QSize m_originalSize;
    QVector<ReferenceMarker *> m_markers;
    int m_active = 0;
    std::optional<QPoint> m_panFrom;
};

} // namespace vernalith
