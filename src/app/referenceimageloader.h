#pragma once

#include "render/referenceimage.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

namespace vernalith {

// Reads reference images on a worker thread, so that a large scan never holds the window.
// Only the newest request is answered: an older one that ends later is dropped.
class ReferenceImageLoader : public QObject
{
    Q_OBJECT

public:
    explicit ReferenceImageLoader(QObject *parent = nullptr);
    // Waits for a read in progress (a read cannot be interrupted; its result is dropped).
    ~ReferenceImageLoader() override;

    // Starts reading `path`, reduced to at most `maxPixels` (see loadReferenceImage).
    void load(const QString &path, qint64 maxPixels);
    // Drops the request in progress, if any.
    void cancel();
    bool isLoading() const { return m_pending; }

    // Handles events until the newest request is answered; false when `timeoutMs` passed first.
    bool waitUntilLoaded(int timeoutMs);

signals:
    // The answer to the newest request, on the loader's thread.
    void loaded(const QString &path, qint64 maxPixels, const vernalith::ReferenceImage &image);

private:
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_int> m_generation;
    bool m_pending = false;
};

} // namespace vernalith
