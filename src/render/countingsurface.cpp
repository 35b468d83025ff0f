#include "countingsurface.h"

namespace vernalith {

namespace {
double emMillimetres(double points)
{
    return points * 25.4 / 72.0;
}
} // namespace

double CountingSurface::textWidth(const QString &text)
{
    return 0.6 * emMillimetres(m_points) * static_cast<double>(text.size());
}

double CountingSurface::textHeight(const QString &)
{
    return 1.2 * emMillimetres(m_points);
}

} // namespace vernalith
