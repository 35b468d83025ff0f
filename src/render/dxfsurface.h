#pragma once

#include "drawingsurface.h"
#include "scaledfont.h"

#include <QByteArray>
#include <QFont>
#include <QString>

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
// Entities and layers: the card outline (box) as four LINEs on layer "OUTLINE" (red, the usual
// cutting colour), lines such as the pivot cross and tickmarks as LINEs and arcs as ARCs on
// layer "SCALE", texts as TEXT on layer "TEXT". A TEXT's insertion point is the left end of the
// baseline of the text as it is drawn elsewhere, and its height is the font's cap height, which
// is what CAD programs take a text height to be; text widths and heights for the renderer's
// layout are measured with `font` (its family; the size is set per text in points).
//
// The file is written as the card is drawn, never held in memory, in two drawings of the same
// card: the first, on a surface without a device, measures the extents and counts the entities
// the head must give; then startFile() on a second surface writes the head, the second drawing
// writes the entities, and finishFile() the rest.
class DxfSurface : public DrawingSurface
{
public:
    explicit DxfSurface(double cardHeight, const QFont &font = QFont(QStringLiteral("DejaVu Sans")));
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

    // Entities drawn so far (the outline counts four lines).
    qint64 entityCount() const { return m_count; }

    // A TEXT value that CAD programs show as exactly `text`: characters that Windows-1252 holds
    // as their byte, others as \U+XXXX; the codes CAD programs read in texts (%%d and its kin,
    // ^J and its kin, \U+XXXX) broken up so that they read literally; control characters, which
    // are not drawn, left out.
    static QByteArray dxfText(const QString &text);

private:
    void beginEntity(const char *type, int layer);
    void addLine(int layer, CardPoint from, CardPoint to);
    void extend(double x, double y);
    double dxfY(double cardY) const { return m_cardHeight - cardY; }

    double m_cardHeight;
    ScaledFont m_font;
    qint64 m_count = 0;
    double m_minX, m_minY, m_maxX, m_maxY;
    DxfWriter *m_writer = nullptr; // while a file is written
    unsigned m_nextHandle;
};

} // namespace vernalith
