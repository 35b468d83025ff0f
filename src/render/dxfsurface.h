#pragma once

#include "drawingsurface.h"
#include "scaledfont.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

namespace vernalith {

class DxfWriter;

// A drawing surface that writes what is drawn as DXF entities in millimetres, for CAD
// programs and laser engravers, as an ASCII DXF file (AutoCAD 2000 format,
// $INSUNITS = millimetres).
//
// DXF's Y axis points up while the card's points down, so a card point (x, y) becomes the DXF
// point (x, cardHeight - y): the card reads the right way up with its bottom-left corner at the
// DXF origin. Arc angles need no change: counter-clockwise as the card is seen is
// counter-clockwise in DXF.
//
// Layers: every entity goes on the layer set when it was drawn: OUTLINE and CUT (red, the usual
// cutting colour), MARKS, TEXT and BANDS, all declared whether used or not. Entities in the
// style's colour carry it as a true colour (group 420) unless it is black, which is left to the
// layer.
//
// Entities: in the surface's own pen (style width 0), a box is four LINEs, lines are LINEs, arcs
// ARCs and circles CIRCLEs, as CAD programs and laser software read most plainly. A line width
// from the style makes them LWPOLYLINEs of that constant width (arcs and circles through
// bulges): exact to the micrometre over the whole range, shown by every CAD program, where a
// lineweight would be rounded to one of AutoCAD's fixed steps and stop at 2.11 mm. A filled
// sector is a solid HATCH bounded by a polyline with bulges; a sector's outline (a cut line) one
// closed LWPOLYLINE.
//
// Texts are TEXT entities whose insertion point is the left end of the baseline of the text as it
// is drawn elsewhere, and whose height is the font's cap height, which is what CAD programs take
// a text height to be; each font family drawn in has a text style of its name ("Standard" is
// DejaVu Sans). With `textOutlines` a text is instead one solid HATCH of its glyphs' outlines,
// flattened to within a micrometre. Widths and heights for the renderer's layout are measured
// with `font`, or the family set (the size is set per text in points).
//
// The file is written as the card is drawn, never held in memory, in two drawings of the same
// card: the first, on a surface without a device, measures the extents and counts the entities
// the head must give; then startFile() on a second surface writes the head, the second drawing
// writes the entities, and finishFile() the rest.
class DxfSurface : public DrawingSurface
{
public:
    explicit DxfSurface(double cardHeight, const QFont &font = QFont(QStringLiteral("DejaVu Sans")),
                        bool textOutlines = false);
    ~DxfSurface() override;

    DxfSurface(const DxfSurface &) = delete;
    DxfSurface &operator=(const DxfSurface &) = delete;

    // Writes the file's head to `out`, with the extents and entity count of `measured`, and every
    // entity drawn from now on after it. CR LF line ends. Texts are in Windows-1252
    // ($DWGCODEPAGE ANSI_1252); see dxfText().
    void startFile(QIODevice &out, const DxfSurface &measured);
    // Writes the end of the file; then check the device for write errors.
    void finishFile();

    void clear() override; // forgets the extents and the count; cannot take back what was written
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;
    void setLayer(DrawLayer layer) override;
    void setStyle(const DrawStyle &style) override;
    void setFontFamily(const QString &family) override;
    void sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled) override;
    void circle(CardPoint centre, double radius) override;

    // Entities drawn so far (the outline counts four lines); while measuring with text outlines,
    // every text counts one, even one with no ink.
    qint64 entityCount() const { return m_count; }

    // A TEXT value that CAD programs show as exactly `text`: characters that Windows-1252 holds
    // as their byte, others as \U+XXXX; the codes CAD programs read in texts (%%d and its kin,
    // ^J and its kin, \U+XXXX) broken up so that they read literally; control characters, which
    // are not drawn, left out.
    static QByteArray dxfText(const QString &text);

    // A polyline vertex in DXF coordinates; `bulge` shapes the segment to the next vertex.
    struct Vertex {
        double x, y, bulge;
    };

private:
    bool beginEntity(const char *type);
    void addLine(CardPoint from, CardPoint to);
    bool addPolyline(const QVector<Vertex> &vertices, bool closed, double width);
    bool addHatch(const QVector<QVector<Vertex>> &loops);
    void extend(double x, double y);
    double dxfY(double cardY) const { return m_cardHeight - cardY; }
    double penWidth() const;

    double m_cardHeight;
    QFont m_defaultFont;
    ScaledFont m_font;
    bool m_textOutlines;
    int m_layer;
    DrawStyle m_style;
    QByteArray m_textStyle;      // the current family's text style
    QStringList m_families;      // the families drawn in besides the default, in order of use
    qint64 m_count = 0;
    double m_minX, m_minY, m_maxX, m_maxY;
    DxfWriter *m_writer = nullptr; // while a file is written
    unsigned m_nextHandle;
};

} // namespace vernalith
