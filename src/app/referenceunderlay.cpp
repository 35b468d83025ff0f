#include "referenceunderlay.h"

#include "design/designmodel.h"
#include "referenceimageloader.h"
#include "render/referenceregistration.h"

#include <algorithm>
#include <cmath>

namespace vernalith {

namespace {

// Before the registration is known the scale on the window is not either: a first read this
// large shows any usual scan sharply and is read again if it turns out too coarse.
constexpr qint64 kFirstReadPixels = 4'000'000;
constexpr qint64 kMinPixels = 250'000;
constexpr qint64 kMaxPixels = 16'000'000; // 64 MB as 32-bit pixels
// Read again only when the scale changed this much either way, not on every small change of a
// point.
constexpr double kFinerFactor = 1.5;
constexpr double kCoarserFactor = 4.0;

QString cell(const QStringList &cells, ReferenceColumn c)
{
    return cells.value(static_cast<int>(c));
}

} // namespace

ReferenceUnderlay::ReferenceUnderlay(DesignModel *model, double devicePixelsPerMm, QObject *parent)
    : QObject(parent), m_model(model), m_pixelsPerMm(devicePixelsPerMm), m_loader(new ReferenceImageLoader(this))
{
    connect(m_loader, &ReferenceImageLoader::loaded, this, &ReferenceUnderlay::imageLoaded);
    connect(m_model, &DesignModel::changed, this, &ReferenceUnderlay::refresh);
    refresh();
}

bool ReferenceUnderlay::waitUntilLoaded(int timeoutMs)
{
    return m_loader->waitUntilLoaded(timeoutMs);
}

void ReferenceUnderlay::reload()
{
    m_requestedPath.clear();
    refresh();
}

qint64 ReferenceUnderlay::pixelsNeeded(double mmPerPixel) const
{
    const double area = double(m_image.originalSize.width()) * m_image.originalSize.height();
    const double shownPerFilePixel = mmPerPixel * m_pixelsPerMm;
    const double needed = area * shownPerFilePixel * shownPerFilePixel * 1.5;
    if (!(needed < double(kMaxPixels))) // NaN too
        return kMaxPixels;
    return std::max(static_cast<qint64>(needed), kMinPixels);
}

void ReferenceUnderlay::imageLoaded(const QString &path, qint64, const ReferenceImage &image)
{
    m_imagePath = path;
    m_image = image;
    refresh();
}

void ReferenceUnderlay::refresh()
{
    const QStringList cells = m_model->reference();
    const QString path = cells.size() == kReferenceColumnCount ? cell(cells, ReferenceColumn::Path) : QString();
    PreviewUnderlay underlay;
    QString note;

    if (path.isEmpty()) {
        m_loader->cancel();
        m_requestedPath.clear();
        m_imagePath.clear();
        m_image = ReferenceImage();
    } else {
        const DialDesign design = m_model->design();
        const ReferenceRegistration registration = referenceRegistration(design);
        const bool haveImage = m_imagePath == path && m_image.ok() && !m_image.image.isNull();

        qint64 wanted = m_requestedPath == path ? m_requestedPixels : kFirstReadPixels;
        if (haveImage && registration.ok()) {
            const qint64 needed = pixelsNeeded(std::sqrt(std::abs(registration.imageToCard.determinant())));
            const qint64 held = qint64(m_image.image.width()) * m_image.image.height();
            const bool reduced = m_image.image.size() != m_image.originalSize;
            if ((reduced && needed > held * kFinerFactor) || needed * kCoarserFactor < held)
                wanted = needed;
        }
        if (path != m_requestedPath || wanted != m_requestedPixels) {
            if (path != m_imagePath)
                m_image = ReferenceImage();
            m_requestedPath = path;
            m_requestedPixels = wanted;
            m_loader->load(path, wanted);
        }

        const bool shown = cell(cells, ReferenceColumn::Shown) != QLatin1String("0");
        if (m_imagePath == path && !m_image.ok()) {
            note = m_image.error;
        } else if (haveImage && shown && !registration.ok()) {
            note = QStringLiteral("The reference image is not drawn: %1").arg(registration.error);
        } else if (haveImage && shown) {
            bool ok = false;
            const double percent = cell(cells, ReferenceColumn::Opacity).toDouble(&ok);
            underlay.image = m_image.image;
            underlay.imageToCard = QTransform::fromScale(double(m_image.originalSize.width()) / m_image.image.width(),
                                                         double(m_image.originalSize.height()) / m_image.image.height())
                                   * registration.imageToCard;
            underlay.opacity = ok && std::isfinite(percent) ? std::clamp(percent, 0.0, 100.0) / 100.0 : 0.5;
        }
    }

    if (underlay == m_underlay && note == m_note)
        return;
    m_underlay = underlay;
    m_note = note;
    emit changed();
}

} // namespace vernalith
