#include "svgsurface.h"

#include "textoutline.h"

#include <QIODevice>
#include <QPainterPath>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace vernalith {

namespace {

constexpr double kCardInsetMm = 10.0;
constexpr double kPenWidthMm = 0.15;
constexpr double kMaxArcPieceDegrees = 90.0;
constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr double kMmPerPoint = 25.4 / 72.0;

// The layers from the bottom of the picture up: bands under everything, texts on top.
struct LayerName {
    DrawLayer layer;
    const char *label;
    const char *id;
};
constexpr LayerName kLayerOrder[] = {{DrawLayer::Bands, "BANDS", "layer-bands"},
                                     {DrawLayer::Outline, "OUTLINE", "layer-outline"},
                                     {DrawLayer::Cut, "CUT", "layer-cut"},
                                     {DrawLayer::Marks, "MARKS", "layer-marks"},
                                     {DrawLayer::Text, "TEXT", "layer-text"}};

int layerIndex(DrawLayer layer)
{
    for (int k = 0; k < static_cast<int>(std::size(kLayerOrder)); ++k)
        if (kLayerOrder[k].layer == layer)
            return k;
    return 3; // Marks
}

QByteArray hexColour(const QColor &colour)
{
    return colour.isValid() ? colour.name(QColor::HexRgb).toUpper().toLatin1() : QByteArray("#000000");
}

// Ten significant digits: far below a micrometre on any card, and short.
QByteArray number(double value)
{
    return QByteArray::number(value == 0 ? 0.0 : value, 'g', 10);
}

bool finite(CardPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

QByteArray point(CardPoint p)
{
    return number(p.x) + ' ' + number(p.y);
}

// Characters XML 1.0 allows, less the control characters the drawing never shows.
bool holdable(char32_t u)
{
    return u >= 0x20 && !(u >= 0x7f && u < 0xa0) && !(u >= 0xd800 && u < 0xe000) && u != 0xfffe && u != 0xffff &&
           u <= 0x10ffff;
}

} // namespace

SvgSurface::SvgSurface(QIODevice &out, const QFont &font, bool textOutlines)
    : m_out(out),
      m_defaultFont(font),
      m_font(font),
      m_emMm(10 * kMmPerPoint),
      m_textOutlines(textOutlines),
      m_layer(layerIndex(DrawLayer::Marks)),
      m_colour(hexColour(m_style.colour))
{
}

SvgSurface::~SvgSurface() = default;

QByteArray SvgSurface::escaped(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(c, text[k + 1]);
            if (holdable(u))
                kept += text.mid(k, 2);
            ++k;
            continue;
        }
        if (!holdable(u))
            continue;
        switch (u) {
        case '&':
            kept += QStringLiteral("&amp;");
            break;
        case '<':
            kept += QStringLiteral("&lt;");
            break;
        case '>':
            kept += QStringLiteral("&gt;");
            break;
        case '"':
            kept += QStringLiteral("&quot;");
            break;
        default:
            kept += c;
        }
    }
    return kept.toUtf8();
}

void SvgSurface::write(const QByteArray &bytes)
{
    LayerStore &store = m_layers[m_layer];
    store.pending += bytes;
    if (store.pending.size() >= kChunkBytes)
        spill(store);
}

void SvgSurface::spill(LayerStore &store)
{
    if (!m_error.isEmpty()) {
        store.pending.clear();
        return;
    }
    if (!store.spill) {
        store.spill = std::make_unique<QTemporaryFile>();
        if (!store.spill->open()) {
            m_error = QStringLiteral("cannot make a temporary file for the SVG's layers: %1")
                          .arg(store.spill->errorString());
            store.pending.clear();
            return;
        }
    }
    if (store.spill->write(store.pending) != store.pending.size())
        m_error = QStringLiteral("cannot keep the SVG's layers in a temporary file: %1")
                      .arg(store.spill->errorString());
    store.pending.clear();
}

void SvgSurface::copyLayer(LayerStore &store)
{
    if (store.spill && m_error.isEmpty()) {
        store.spill->seek(0);
        QByteArray chunk;
        while (!(chunk = store.spill->read(kChunkBytes)).isEmpty())
            m_out.write(chunk);
        if (!store.spill->atEnd())
            m_error = QStringLiteral("cannot read back the SVG's layers: %1").arg(store.spill->errorString());
    }
    m_out.write(store.pending);
    store.pending.clear();
    store.spill.reset();
}

void SvgSurface::begin(double widthMm, double heightMm, const QString &title, const QString &description,
                       CardScale scale)
{
    QByteArray transform = "translate(" + number(kCardInsetMm) + ' ' + number(kCardInsetMm) + ')';
    if (!scale.isIdentity())
        transform += " scale(" + number(scale.x) + ' ' + number(scale.y) + ')';
    m_out.write("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                "<svg width=\"" + number(widthMm) + "mm\" height=\"" + number(heightMm) + "mm\" viewBox=\"0 0 " +
                number(widthMm) + ' ' + number(heightMm) +
                "\" xmlns=\"http://www.w3.org/2000/svg\" "
                "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" version=\"1.1\">\n"
                "<title>" + escaped(title) + "</title>\n"
                "<desc>" + escaped(description) + "</desc>\n");
    // Each layer is a top-level group: Inkscape sees layers only there or inside other layers.
    m_groupAttributes = "transform=\"" + transform + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"" +
                        number(kPenWidthMm) + "\" stroke-linecap=\"butt\" stroke-linejoin=\"miter\" font-family=\"" +
                        escaped(m_defaultFont.family()) + "\" xml:space=\"preserve\"";
}

void SvgSurface::end()
{
    for (size_t k = 0; k < std::size(kLayerOrder); ++k) {
        m_out.write("<g " + m_groupAttributes + " id=\"" + kLayerOrder[k].id +
                    "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + kLayerOrder[k].label + "\">\n");
        copyLayer(m_layers[k]);
        m_out.write("</g>\n");
    }
    m_out.write("</svg>\n");
}

void SvgSurface::clear() {}

void SvgSurface::line(CardPoint from, CardPoint to)
{
    if (!finite(from) || !finite(to))
        return;
    write("<path d=\"M" + point(from) + " L" + point(to) + '"' + m_strokeAttributes + "/>\n");
}

void SvgSurface::box(CardPoint corner1, CardPoint corner2)
{
    if (!finite(corner1) || !finite(corner2))
        return;
    write("<rect x=\"" + number(std::min(corner1.x, corner2.x)) + "\" y=\"" + number(std::min(corner1.y, corner2.y)) +
          "\" width=\"" + number(std::fabs(corner2.x - corner1.x)) + "\" height=\"" +
          number(std::fabs(corner2.y - corner1.y)) + '"' + m_strokeAttributes + "/>\n");
}

void SvgSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    if (!finite(centre) || !std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    if (radius <= 0 || startAngle == endAngle)
        return;
    // Counter-clockwise as the card is seen is the negative direction of SVG's Y-down
    // coordinates: sweep flag 0. Pieces under 180 degrees leave the large-arc flag no choice,
    // and a sweep just short of a circle keeps its distinct ends.
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    const int pieces = static_cast<int>(std::ceil(degrees.sweep / kMaxArcPieceDegrees));
    const double step = degrees.sweep / pieces;
    const auto at = [&](double deg) {
        const double rad = deg * kPi / 180.0;
        return CardPoint{centre.x + radius * std::cos(rad), centre.y - radius * std::sin(rad)};
    };
    const QByteArray r = number(radius);
    QByteArray d = "M" + point(at(degrees.start));
    for (int k = 1; k <= pieces; ++k)
        d += " A" + r + ' ' + r + " 0 0 0 " + point(at(degrees.start + k * step));
    write("<path d=\"" + d + '"' + m_strokeAttributes + "/>\n");
}

void SvgSurface::setFontSize(double points)
{
    m_font.setPoints(points);
    if (std::isfinite(points) && points > 0) {
        m_emMm = points * kMmPerPoint;
        m_points = points;
    }
}

double SvgSurface::textWidth(const QString &text)
{
    return m_font.width(text);
}

double SvgSurface::textHeight(const QString &)
{
    return m_font.lineHeight();
}

void SvgSurface::text(CardPoint topLeft, const QString &text)
{
    const QByteArray content = escaped(text);
    if (content.isEmpty() || !finite(topLeft))
        return;
    const CardPoint baseline{topLeft.x, topLeft.y + m_font.ascent()};
    if (!finite(baseline))
        return;
    if (m_textOutlines) {
        writeFilledPath(textOutline(m_font, topLeft, text));
        return;
    }
    write("<text x=\"" + number(baseline.x) + "\" y=\"" + number(baseline.y) + "\" font-size=\"" + number(m_emMm) +
          '"' + m_familyAttribute + " fill=\"" + m_colour + "\" stroke=\"none\">" + content + "</text>\n");
}

void SvgSurface::writeFilledPath(const QPainterPath &path)
{
    QByteArray d;
    for (int k = 0; k < path.elementCount(); ++k) {
        const QPainterPath::Element e = path.elementAt(k);
        const CardPoint p{e.x, e.y};
        if (!finite(p))
            return;
        if (e.isMoveTo())
            d += (d.isEmpty() ? "M" : " Z M") + point(p);
        else if (e.isLineTo())
            d += " L" + point(p);
        else if (e.isCurveTo())
            d += " C" + point(p);
        else
            d += ' ' + point(p);
    }
    if (d.isEmpty())
        return;
    write("<path d=\"" + d + " Z\" fill=\"" + m_colour + "\" stroke=\"none\" fill-rule=\"evenodd\"/>\n");
}

void SvgSurface::setLayer(DrawLayer layer)
{
    m_layer = layerIndex(layer);
}

void SvgSurface::setStyle(const DrawStyle &style)
{
    m_style = style;
    m_colour = hexColour(style.colour);
    m_strokeAttributes.clear();
    // Black and the surface's own pen are the group's: an unstyled design's items carry nothing.
    if (m_colour != "#000000")
        m_strokeAttributes += " stroke=\"" + m_colour + '"';
    if (std::isfinite(style.widthMm) && style.widthMm > 0)
        m_strokeAttributes += " stroke-width=\"" + number(style.widthMm) + '"';
}

void SvgSurface::setFontFamily(const QString &family)
{
    QFont font = m_defaultFont;
    if (!family.isEmpty())
        font.setFamily(family);
    m_font = ScaledFont(font);
    m_font.setPoints(m_points);
    m_familyAttribute.clear();
    if (font.family() != m_defaultFont.family())
        m_familyAttribute = " font-family=\"" + escaped(font.family()) + '"';
}

void SvgSurface::sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled)
{
    if (!finite(centre) || !finite({inner, outer, startAngle, endAngle}))
        return;
    if (outer <= 0 || startAngle == endAngle)
        return;
    inner = std::clamp(inner, 0.0, outer);
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    const int pieces = static_cast<int>(std::ceil(degrees.sweep / kMaxArcPieceDegrees));
    const double step = degrees.sweep / pieces;
    const auto at = [&](double radius, int piece) {
        const double rad = (degrees.start + piece * step) * kPi / 180.0;
        return point({centre.x + radius * std::cos(rad), centre.y - radius * std::sin(rad)});
    };
    // Out along the outer arc counter-clockwise (sweep flag 0), back along the inner one.
    const QByteArray ro = number(outer), ri = number(inner);
    QByteArray d = "M" + at(outer, 0);
    for (int k = 1; k <= pieces; ++k)
        d += " A" + ro + ' ' + ro + " 0 0 0 " + at(outer, k);
    if (inner > 0) {
        d += " L" + at(inner, pieces);
        for (int k = pieces - 1; k >= 0; --k)
            d += " A" + ri + ' ' + ri + " 0 0 1 " + at(inner, k);
    } else {
        d += " L" + point(centre);
    }
    d += " Z\"";
    if (filled)
        write("<path d=\"" + d + " fill=\"" + m_colour + "\" stroke=\"none\"/>\n");
    else
        write("<path d=\"" + d + m_strokeAttributes + "/>\n");
}

void SvgSurface::circle(CardPoint centre, double radius)
{
    if (!finite(centre) || !std::isfinite(radius) || radius <= 0)
        return;
    write("<circle cx=\"" + number(centre.x) + "\" cy=\"" + number(centre.y) + "\" r=\"" + number(radius) + '"' +
          m_strokeAttributes + "/>\n");
}

} // namespace vernalith
