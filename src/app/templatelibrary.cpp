#include "templatelibrary.h"

namespace vernalith {

const QVector<DesignTemplate> &designTemplates()
{
    static const QVector<DesignTemplate> templates = {
        {QStringLiteral("linear-0-100-microamps.vlt"), QStringLiteral("Linear 0 \u2026 100 \u00b5A (52 \u00d7 45 mm)")},
        {QStringLiteral("vu-meter.vlt"), QStringLiteral("VU meter (\u221220 \u2026 +3 VU)")},
        {QStringLiteral("ohmmeter.vlt"), QStringLiteral("Ohmmeter (\u221e \u2026 0 \u03a9, 50 \u03a9 mid-scale)")},
        {QStringLiteral("s-meter.vlt"), QStringLiteral("S-meter (S1 \u2026 S9, +20, +40 dB)")},
        {QStringLiteral("swr-meter.vlt"), QStringLiteral("SWR meter (1 \u2026 \u221e)")},
        {QStringLiteral("square-law-0-1-amps.vlt"), QStringLiteral("Square law 0 \u2026 1 A")},
    };
    return templates;
}

} // namespace vernalith
