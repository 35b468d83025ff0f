#include "previewcache.h"

#include "eventwait.h"
#include "previewpainter.h"
#include "render/drawbudget.h"

#include <QElapsedTimer>
#include <QPainter>

#include <cmath>
#include <condition_variable>
#include <mutex>

namespace vernalith {

namespace {

// How long a repaint waits for a drawing on the worker before showing the older picture: short
// enough to keep the window answering keys at once, long enough that a middling design shows
// without a stale frame.
constexpr int kGraceMs = 60;
// A drawing that takes longer than this gets a note, so that the older picture is not taken
// for the new design.
constexpr int kNoteAfterMs = 300;
// Texts as long as these take a good part of a second to lay out, however few items they are.
constexpr qint64 kSyncCharacterLimit = 200000;

} // namespace

bool PreviewFrame::operator==(const PreviewFrame &other) const
{
    return size == other.size && devicePixelRatio == other.devicePixelRatio && logicalDpiX == other.logicalDpiX
           && logicalDpiY == other.logicalDpiY && messageArea == other.messageArea
           && previewArea == other.previewArea && font == other.font && ink == other.ink
           && background == other.background && underlay == other.underlay;
}

PreviewPicture drawPreviewPicture(const DialDesign &design, const PreviewFrame &frame, const std::atomic_bool *cancel)
{
    const qreal ratio = frame.devicePixelRatio;
    PreviewPicture picture;
    picture.image = QImage(qCeil(frame.size.width() * ratio), qCeil(frame.size.height() * ratio),
                           QImage::Format_RGB32);
    picture.image.setDevicePixelRatio(ratio);
    // Text set in points must come out as large as on the window.
    picture.image.setDotsPerMeterX(qRound(frame.logicalDpiX / 0.0254));
    picture.image.setDotsPerMeterY(qRound(frame.logicalDpiY / 0.0254));
    picture.image.fill(frame.background);

    QPainter painter(&picture.image);
    paintUnderlay(painter, frame.underlay, frame.logicalDpiX, frame.previewArea);
    painter.setFont(frame.font);
    painter.setPen(frame.ink);
    picture.error = paintPreview(painter, design, frame.logicalDpiX, frame.messageArea, cancel);
    return picture;
}

struct PreviewCache::Job {
    DialDesign design;
    PreviewFrame frame;
    std::atomic_bool cancel{false};

    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    bool cancelled = false;
    PreviewPicture picture;
};

PreviewCache::PreviewCache(QObject *parent) : QObject(parent), m_graceMs(kGraceMs)
{
    setObjectName(QStringLiteral("previewCache"));
    // One drawing at a time: a cancelled one gives way within a line or two.
    m_pool.setMaxThreadCount(1);
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(kNoteAfterMs);
    connect(&m_noteTimer, &QTimer::timeout, this, [this] {
        if (!m_job)
            return;
        m_noteShown = true;
        emit repaintNeeded();
    });
}

PreviewCache::~PreviewCache()
{
    cancelJob();
    m_pool.waitForDone();
}

void PreviewCache::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    emit repaintNeeded();
}

void PreviewCache::setUnderlayNote(const QString &note)
{
    if (note == m_underlayNote)
        return;
    m_underlayNote = note;
    emit repaintNeeded();
}

void PreviewCache::paint(QPainter &painter, const QRect &dirty, const DialDesign &design, const PreviewFrame &frame)
{
    const bool current = m_hasPicture && design == m_design && frame == m_frame;
    const bool beingDrawn = m_job && design == m_job->design && frame == m_job->frame;
    if (!current && !beingDrawn) {
        if (countDrawItems(design) <= m_syncItemLimit && countTextCharacters(design) <= kSyncCharacterLimit) {
            cancelJob();
            ++m_drawingsStarted;
            show(drawPreviewPicture(design, frame), design, frame);
        } else {
            start(design, frame);
            const std::shared_ptr<Job> job = m_job;
            std::unique_lock<std::mutex> lock(job->mutex);
            if (job->doneSignal.wait_for(lock, std::chrono::milliseconds(m_graceMs), [&job] { return job->done; })) {
                lock.unlock();
                finish(job);
            }
        }
        // A part of the window painted from a new picture would sit beside parts of the old.
        if (m_hasPicture && m_design == design && dirty != QRect(QPoint(), frame.size))
            emit repaintNeeded();
    }

    if (m_hasPicture) {
        const qreal r = m_image.devicePixelRatio();
        painter.drawImage(QRectF(dirty), m_image,
                          QRectF(dirty.x() * r, dirty.y() * r, dirty.width() * r, dirty.height() * r));
    }
    paintNotes(painter, frame);
}

void PreviewCache::paintNotes(QPainter &painter, const PreviewFrame &frame) const
{
    if (m_hint.isEmpty() && m_underlayNote.isEmpty() && !(m_job && m_noteShown))
        return;
    painter.save();
    painter.setFont(frame.font);
    const QFontMetrics metrics(frame.font);
    const int pad = 2;
    auto note = [&](const QString &text, Qt::Alignment side, int line = 0) {
        QRect box(0, 0, metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + 2 * pad);
        const QRect area = frame.previewArea.adjusted(pad, pad, -pad, -pad);
        box.moveTop(area.top() + line * box.height());
        if (side & Qt::AlignRight)
            box.moveRight(area.right());
        else
            box.moveLeft(area.left());
        painter.fillRect(box, frame.background);
        painter.setPen(frame.ink);
        painter.drawText(box, Qt::AlignCenter, text);
    };
    if (!m_hint.isEmpty())
        note(m_hint, Qt::AlignLeft);
    if (!m_underlayNote.isEmpty())
        note(m_underlayNote, Qt::AlignLeft, m_hint.isEmpty() ? 0 : 1);
    if (m_job && m_noteShown)
        note(QStringLiteral("Drawing\u2026"), Qt::AlignRight);
    painter.restore();
}

void PreviewCache::start(const DialDesign &design, const PreviewFrame &frame)
{
    cancelJob();
    auto job = std::make_shared<Job>();
    // Copied here, on the thread that owns the design: the worker only reads its own copy.
    job->design = design;
    job->frame = frame;
    m_job = job;
    ++m_drawingsStarted;
    if (!m_noteShown && !m_noteTimer.isActive())
        m_noteTimer.start();

    m_pool.start([this, job] {
        PreviewPicture picture;
        bool cancelled = false;
        if (job->cancel.load()) {
            cancelled = true;
        } else {
            try {
                picture = drawPreviewPicture(job->design, job->frame, &job->cancel);
            } catch (const PreviewCancelled &) {
                cancelled = true;
            }
        }
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            job->picture = std::move(picture);
            job->cancelled = cancelled;
            job->done = true;
        }
        job->doneSignal.notify_all();
        if (!cancelled)
            QMetaObject::invokeMethod(this, [this, job] { finish(job); }, Qt::QueuedConnection);
    });
}

void PreviewCache::cancelJob()
{
    if (!m_job)
        return;
    m_job->cancel.store(true);
    m_job.reset();
}

void PreviewCache::finish(const std::shared_ptr<Job> &job)
{
    // Only the newest drawing is shown; an overtaken one is dropped even when it ended.
    if (job != m_job)
        return;
    m_job.reset();
    {
        std::lock_guard<std::mutex> lock(job->mutex);
        if (job->cancelled)
            return;
        show(std::move(job->picture), job->design, job->frame);
    }
    ++m_picturesShown;
    emit repaintNeeded();
}

void PreviewCache::show(PreviewPicture picture, const DialDesign &design, const PreviewFrame &frame)
{
    m_image = std::move(picture.image);
    m_error = picture.error;
    m_design = design;
    m_frame = frame;
    m_hasPicture = true;
    if (!m_job) {
        m_noteTimer.stop();
        m_noteShown = false;
    }
}

bool PreviewCache::waitUntilDrawn(int timeoutMs)
{
    return waitWhileBusy([this] { return isDrawing(); }, timeoutMs);
}

} // namespace vernalith
