#pragma once

#include "drawingsurface.h"
#include "scaledfont.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QVector>

namespace vernalith {

// A drawing surface that collects what is drawn as DXF entities in millimetres, for CAD
// programs and laser engravers, and writes them as an ASCII DXF file (AutoCAD 2000 format,
// $INSUNITS = millimetres).
//
// DXF's Y axis points up while the card's points down, so a card point (x, y) becomes the DXF
// point (x, cardHeight - y): the card reads the right way up with its bottom-left corner at the
// DXF origin. Arc angles need no change: counter-clockwise as the card is seen is
// counter-clockwise in DXF.
//
// Entities and layers: the card outline (box) as four LINEs on layer "OUTLINE" (red, the usual
// cutting colour), lines such as the pivot cross and tickmarks as LINEs and arcs as ARCs on
// layer "SCALE", texts as TEXT on layer "TEXT". A TEXT's insertion point is the left end of the
// baseline of the text as it is drawn elsewhere, and its height is the font's cap height, which
// is what CAD programs take a text height to be; text widths and heights for the renderer's
// layout are measured with `font` (its family; the size is set per text in points).
class DxfSurface : public DrawingSurface
{
public:
    explicit DxfSurface(double cardHeight, const QFont &font = QFont(QStringLiteral("DejaVu Sans")));

    void clear() override; // forgets every entity
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;

    // The whole file, CR LF line ends. Texts are in Windows-1252 ($DWGCODEPAGE ANSI_1252);
    // characters it lacks are written as \U+XXXX.
    QByteArray dxfBytes() const;

    struct Entity {
        enum class Kind { Line, Arc, Text };
        Kind kind = Kind::Line;
        int layer = 0;            // index into the layer list: 0 OUTLINE, 1 SCALE, 2 TEXT
        double x1 = 0, y1 = 0;    // DXF coordinates: line start, arc centre, text insertion
        double x2 = 0, y2 = 0;    // line end; for a text, the far corner of its box
        double radius = 0;        // arc
        double startDeg = 0;      // arc, degrees counter-clockwise from +X
        double endDeg = 0;
        double height = 0;        // text height (cap height), mm
        QString text;
    };
    const QVector<Entity> &entities() const { return m_entities; }

private:
    void addLine(int layer, CardPoint from, CardPoint to);
    double dxfY(double cardY) const { return m_cardHeight - cardY; }

    double m_cardHeight;
    ScaledFont m_font;
    QVector<Entity> m_entities;
};

} // namespace vernalith
