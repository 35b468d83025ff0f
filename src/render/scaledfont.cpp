#include "scaledfont.h"

#include <cmath>

namespace vernalith {

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

QFont atPixelSize(QFont font, double pixels)
{
    font.setPixelSize(static_cast<int>(pixels));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

ScaledFont::ScaledFont(const QFont &family, double referencePixels)
    : m_font(atPixelSize(family, referencePixels)),
      m_metrics(m_font),
      m_referencePixels(referencePixels),
      m_emMm(10.0 * kMmPerPoint)
{
}

void ScaledFont::setPoints(double points)
{
    if (points > 0 && std::isfinite(points))
        m_emMm = points * kMmPerPoint;
}

} // namespace vernalith
