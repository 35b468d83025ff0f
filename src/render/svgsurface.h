#pragma once

#include "cardscale.h"
#include "drawingsurface.h"
#include "scaledfont.h"

#include <QByteArray>
#include <QFont>
#include <QString>

#include <array>
#include <memory>

class QIODevice;
class QPainterPath;
class QTemporaryFile;

namespace vernalith {

// A drawing surface that writes SVG to a device, so that a card of millions of strokes never
// sits in memory. One user unit is a millimetre; the card's origin lies 10 mm in from the
// picture's top-left corner. Lines, the outline, arcs, circles and sector outlines are strokes,
// black and 0.15 mm wide unless the style says otherwise (arcs as true circular arcs in pieces of
// at most 90 degrees); filled sectors are paths of two arcs and two radial lines filled in the
// style's colour; texts are <text> elements with their baseline where the painter draws it,
// measured with the font, or, with `textOutlines`, filled paths of the glyphs' outlines.
//
// Layers: every item goes into the group of the layer set when it was drawn. The picture holds
// one Inkscape layer group per layer, always all five, in this order from the bottom: BANDS,
// OUTLINE, CUT, MARKS, TEXT. Since the renderer interleaves layers, each layer's items are kept
// until end(): up to 64 KB in memory, beyond that in a temporary file of its own, so memory stays
// flat and the disk holds at most one more copy of the picture.
//
// Everything that goes into the XML is escaped, and characters XML cannot hold (control
// characters, unpaired surrogates) are left out, so the file is always well-formed.
//
// Use: construct, begin(), draw, end(); then check error() and the device for write errors.
class SvgSurface : public DrawingSurface
{
public:
    SvgSurface(QIODevice &out, const QFont &font = QFont(QStringLiteral("DejaVu Sans")), bool textOutlines = false);
    ~SvgSurface() override;

    SvgSurface(const SvgSurface &) = delete;
    SvgSurface &operator=(const SvgSurface &) = delete;

    // Writes the head: a picture `widthMm` x `heightMm` with `title` and `description`; the
    // card is drawn `scale` times its size about its top-left corner.
    void begin(double widthMm, double heightMm, const QString &title, const QString &description,
               CardScale scale = CardScale());
    // Writes the layers and closes the picture.
    void end();
    // Empty, or why a layer's items could not be kept (no room for a temporary file); the picture
    // is then incomplete.
    QString error() const { return m_error; }

    void clear() override; // a stream cannot take back what it wrote: does nothing
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

    // `text` with &, <, > and " as entities and characters XML cannot hold left out, in UTF-8.
    static QByteArray escaped(const QString &text);

private:
    struct LayerStore {
        QByteArray pending;
        std::unique_ptr<QTemporaryFile> spill;
    };

    void write(const QByteArray &bytes);
    void spill(LayerStore &store);
    void copyLayer(LayerStore &store);
    void writeFilledPath(const QPainterPath &path);

    QIODevice &m_out;
    QFont m_defaultFont;
    ScaledFont m_font;
    QByteArray m_familyAttribute; // empty in the default family
    double m_emMm;
    double m_points = 10;
    bool m_textOutlines;
    QByteArray m_groupAttributes;
    std::array<LayerStore, 5> m_layers;
    int m_layer;
    DrawStyle m_style;
    QByteArray m_strokeAttributes; // the style's, where it differs from the group's
    QByteArray m_colour;           // "#RRGGBB"
    QString m_error;
};

} // namespace vernalith
