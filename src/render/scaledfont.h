#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

namespace vernalith {

// Text measured in millimetres at a size given in points. The text is laid out in a reference
// font of a large pixel size and scaled down: Qt rounds font sizes to whole units of the
// painter's coordinates, which in millimetres would be far too coarse, and unhinted outlines
// keep the advances proportional, so the scaled layout matches its size on every device.
class ScaledFont
{
public:
    // `family` gives the face; its size is replaced by `referencePixels`.
    explicit ScaledFont(const QFont &family, double referencePixels = 100.0);

    // Sizes of 0 or below and non-finite ones are ignored; the size starts at 10 points.
    void setPoints(double points);

    // Millimetres per pixel of the reference font at the current size.
    double scale() const { return m_emMm / m_referencePixels; }
    double width(const QString &text) const { return m_metrics.horizontalAdvance(text) * scale(); }
    double lineHeight() const { return m_metrics.height() * scale(); }
    double ascent() const { return m_metrics.ascent() * scale(); }
    double capHeight() const { return m_metrics.capHeight() * scale(); }

    const QFont &referenceFont() const { return m_font; }
    double referenceAscent() const { return m_metrics.ascent(); }

private:
    QFont m_font;
    QFontMetricsF m_metrics;
    double m_referencePixels;
    double m_emMm;
};

} // namespace vernalith
