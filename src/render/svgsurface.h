#pragma once

#include "cardscale.h"
#include "drawingsurface.h"
#include "scaledfont.h"

#include <QByteArray>
#include <QFont>
#include <QString>

class QIODevice;

namespace vernalith {

// A drawing surface that writes SVG to a device as it draws, so that a card of millions of
// strokes never sits in memory. One user unit is a millimetre; the card's origin lies 10 mm in
// from the picture's top-left corner. Lines, the outline and arcs are black strokes of 0.15 mm
// (arcs as true circular arcs in pieces of at most 90 degrees), texts are <text> elements in
// `font`'s family with their baseline where the painter draws it, measured with that font.
//
// Everything that goes into the XML is escaped, and characters XML cannot hold (control
// characters, unpaired surrogates) are left out, so the file is always well-formed.
//
// Use: construct, begin(), draw, end(); then check the device for write errors.
class SvgSurface : public DrawingSurface
{
public:
    SvgSurface(QIODevice &out, const QFont &font = QFont(QStringLiteral("DejaVu Sans")));
    ~SvgSurface() override;

    SvgSurface(const SvgSurface &) = delete;
    SvgSurface &operator=(const SvgSurface &) = delete;

    // Writes the head: a picture `widthMm` x `heightMm` with `title` and `description`; the
    // card is drawn `scale` times its size about its top-left corner.
    void begin(double widthMm, double heightMm, const QString &title, const QString &description,
               CardScale scale = CardScale());
    // Closes the picture and hands the rest of the text to the device.
    void end();

    void clear() override; // a stream cannot take back what it wrote: does nothing
    void line(CardPoint from, CardPoint to) override;
    void box(CardPoint corner1, CardPoint corner2) override;
    void arc(CardPoint centre, double radius, double startAngle, double endAngle) override;
    void setFontSize(double points) override;
    double textWidth(const QString &text) override;
    double textHeight(const QString &text) override;
    void text(CardPoint topLeft, const QString &text) override;

    // `text` with &, <, > and " as entities and characters XML cannot hold left out, in UTF-8.
    static QByteArray escaped(const QString &text);

private:
    void write(const QByteArray &bytes);
    void flushIfFull();

    QIODevice &m_out;
    ScaledFont m_font;
    QByteArray m_family;
    double m_emMm;
    QByteArray m_pending;
};

} // namespace vernalith
