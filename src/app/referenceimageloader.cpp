#include "referenceimageloader.h"

#include "eventwait.h"

namespace vernalith {

ReferenceImageLoader::ReferenceImageLoader(QObject *parent)
    : QObject(parent), m_generation(std::make_shared<std::atomic_int>(0))
{
    m_pool.setMaxThreadCount(1);
}

ReferenceImageLoader::~ReferenceImageLoader()
{
    cancel();
    m_pool.waitForDone();
}

void ReferenceImageLoader::load(const QString &path, qint64 maxPixels)
{
    const int generation = ++*m_generation;
    m_pending = true;
    // A queued read that a newer one overtook is skipped without opening the file.
    m_pool.clear();
    // The destructor waits for the worker, so `this` outlives every read; a result queued to a
    // loader being destroyed is discarded with it.
    m_pool.start([this, path, maxPixels, generation, current = m_generation] {
        if (current->load() != generation)
            return;
        ReferenceImage image = loadReferenceImage(path, maxPixels);
        QMetaObject::invokeMethod(
            this,
            [this, path, maxPixels, generation, image = std::move(image)] {
                if (m_generation->load() != generation)
                    return;
                m_pending = false;
                emit loaded(path, maxPixels, image);
            },
            Qt::QueuedConnection);
    });
}

void ReferenceImageLoader::cancel()
{
    ++*m_generation;
    m_pending = false;
    m_pool.clear();
}

bool ReferenceImageLoader::waitUntilLoaded(int timeoutMs)
{
    return waitWhileBusy([this] { return isLoading(); }, timeoutMs);
}

} // namespace vernalith
