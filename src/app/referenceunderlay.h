#pragma once

#include "previewpainter.h"
#include "render/referenceimage.h"

#include <QObject>

namespace vernalith {

class DesignModel;
class ReferenceImageLoader;

// The design's reference image as the preview lays it under the card. It follows the model: a
// new path is read on a worker thread, and the image is kept at about the resolution the preview
// shows it at (read again, finer or coarser, when the registration changes the scale a lot), so
// that a 600 dpi scan of a whole page stays far below 200 MB.
//
// A missing or unreadable image, or a registration that cannot be used, leaves the design and
// its reference cells as they are; note() says what is wrong for the preview to show.
class ReferenceUnderlay : public QObject
{
    Q_OBJECT

public:
    // `model` (not owned) must outlive this object. `devicePixelsPerMm` is the preview's
    // resolution, device pixel ratio included.
    ReferenceUnderlay(DesignModel *model, double devicePixelsPerMm, QObject *parent = nullptr);

    // What to draw under the card: null while there is no reference, it is hidden, not yet read,
    // unreadable or not registered.
    PreviewUnderlay underlay() const { return m_underlay; }
    // Why the reference image is not drawn; empty when it is, or when there is none.
    QString note() const { return m_note; }
    // The image as read (possibly reduced); null before the first read ends.
    const ReferenceImage &image() const { return m_image; }

    // Reads the image again, even under the same name (a missing file may have been put back).
    void reload();

    // Handles events until no read is in progress; false when `timeoutMs` passed first.
    bool waitUntilLoaded(int timeoutMs);

signals:
    // underlay() or note() changed: the preview should be painted again.
    void changed();

private:
    void refresh();
    void imageLoaded(const QString &path, qint64 maxPixels, const ReferenceImage &image);
    qint64 pixelsNeeded(double mmPerPixel) const;

    DesignModel *m_model;
    double m_pixelsPerMm;
    ReferenceImageLoader *m_loader;
    QString m_requestedPath; // the path of the image read or being read
    qint64 m_requestedPixels = 0;
    QString m_imagePath; // the path `m_image` was read from
    ReferenceImage m_image;
    PreviewUnderlay m_underlay;
    QString m_note;
};

} // namespace vernalith
