#pragma once

#include "design/dialdesign.h"
#include "previewpainter.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>

class QPainter;

namespace vernalith {

// Where and how the preview is drawn: the client area's size and resolution, the rectangle
// that takes a drawing error, the client area's font, ink and background, and what lies under
// the card.
struct PreviewFrame {
    QSize size; // device-independent pixels
    qreal devicePixelRatio = 1.0;
    double logicalDpiX = 96.0;
    double logicalDpiY = 96.0;
    QRect messageArea;
    QRect previewArea; // the part of the client area no control covers
    QFont font;
    QColor ink;
    QColor background;
    PreviewUnderlay underlay;

    bool operator==(const PreviewFrame &other) const;
    bool operator!=(const PreviewFrame &other) const { return !(*this == other); }
};

// Draws the card of `design` into a picture of the whole client area, as the window's own
// repaint would draw it; the error is empty when the whole card was drawn. Safe on any thread
// (it copies nothing shared without its own copy). When `cancel` turns true the drawing stops
// and PreviewCancelled is thrown.
struct PreviewPicture {
    QImage image;
    QString error;
};
PreviewPicture drawPreviewPicture(const DialDesign &design, const PreviewFrame &frame,
                                  const std::atomic_bool *cancel = nullptr);

// The picture behind the window's controls, so that a repaint never has to draw the card again.
//
// A repaint of an unchanged design shows the picture drawn before. A changed design of at most
// synchronousItemLimit() drawn items (see countDrawItems) whose texts are short enough is drawn
// at once, inside the repaint, as before. A larger
// one is drawn on a worker thread while the picture drawn before stays; a drawing that ends
// within a short grace period is shown in the same repaint, a later one asks for a repaint
// (repaintNeeded()). A drawing overtaken by a newer design is cancelled and never shown. While
// a drawing has taken longer than 300 ms the preview area carries a "Drawing…" note.
class PreviewCache : public QObject
{
    Q_OBJECT
    // Pictures drawn on the worker and then shown; for timing the window.
    Q_PROPERTY(int picturesShown READ picturesShown)

public:
    explicit PreviewCache(QObject *parent = nullptr);
    // Cancels a drawing in progress and waits for the worker to stop.
    ~PreviewCache() override;

    // Paints the `dirty` part of the picture of `design`, drawing it first when needed (see
    // above), then the hint and the drawing note.
    void paint(QPainter &painter, const QRect &dirty, const DialDesign &design, const PreviewFrame &frame);

    // Why the picture shown could not draw the whole card; empty when it could.
    QString error() const { return m_error; }
    // A newer design than the one shown is being drawn.
    bool isDrawing() const { return m_job != nullptr; }
    bool isNoteShown() const { return m_noteShown; }
    int picturesShown() const { return m_picturesShown; }
    // Drawings begun, at once or on the worker.
    int drawingsStarted() const { return m_drawingsStarted; }

    qint64 synchronousItemLimit() const { return m_syncItemLimit; }
    void setSynchronousItemLimit(qint64 items) { m_syncItemLimit = items; }
    // How long a repaint waits for a drawing on the worker (60 ms), and how long a drawing
    // goes before the note shows (300 ms).
    void setGracePeriod(int ms) { m_graceMs = ms; }
    void setNoteDelay(int ms) { m_noteTimer.setInterval(ms); }

    // One line shown at the top of the preview area, over the card; empty for none.
    void setHint(const QString &hint);
    QString hint() const { return m_hint; }
    // A line about the picture under the card (why it is not drawn), below the hint.
    void setUnderlayNote(const QString &note);
    QString underlayNote() const { return m_underlayNote; }

    // Handles events until no drawing is in progress; false when `timeoutMs` passed first.
    bool waitUntilDrawn(int timeoutMs);

signals:
    // The whole preview should be painted again: a new picture or note is there.
    void repaintNeeded();

private:
    struct Job;

    void start(const DialDesign &design, const PreviewFrame &frame);
    void cancelJob();
    void finish(const std::shared_ptr<Job> &job);
    void show(PreviewPicture picture, const DialDesign &design, const PreviewFrame &frame);
    void paintNotes(QPainter &painter, const PreviewFrame &frame) const;

    QImage m_image;
    DialDesign m_design;
    PreviewFrame m_frame;
    QString m_error;
    bool m_hasPicture = false;

    std::shared_ptr<Job> m_job;
    QThreadPool m_pool;
    QTimer m_noteTimer;
    bool m_noteShown = false;
    QString m_hint;
    QString m_underlayNote;
    qint64 m_syncItemLimit = 20000;
    int m_graceMs;
    int m_picturesShown = 0;
    int m_drawingsStarted = 0;
};

} // namespace vernalith
