#pragma once

#include "drawingsurface.h"

namespace vernalith {

// A drawing surface that draws and keeps nothing but the number of shapes and texts passed to
// it: for drawing a whole card once to learn whether it can be drawn, before a printer is
// asked for a page. Text is measured as RecordingSurface measures it (0.6 em per character,
// 1.2 em high); what the drawing throws does not depend on the size of texts.
class CountingSurface : public DrawingSurface
{
public:
    void clear() override {}
    void line(CardPoint, CardPoint) override { ++m_count; }
    void box(CardPoint, CardPoint) override { ++m_count; }
    void arc(CardPoint, double, double, double) override { ++m_count; }
    void setFontSize(double points) override { m_points = points; }
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint, const QString &) override { ++m_count; }
    void setLayer(DrawLayer) override {}
    void setStyle(const DrawStyle &) override {}
    void setFontFamily(const QString &) override {} // every face is measured alike
    void sector(CardPoint, double, double, double, double, bool) override { ++m_count; }
    void circle(CardPoint, double) override { ++m_count; }

    // Lines, boxes, arcs, sectors, circles and texts drawn so far.
    long long count() const { return m_count; }

private:
    long long m_count = 0;
    double m_points = 10.0;
};

} // namespace vernalith
