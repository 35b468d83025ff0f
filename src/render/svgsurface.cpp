#include "svgsurface.h"

#include <QIODevice>

#include <cmath>

namespace vernalith {

namespace {

constexpr double kCardInsetMm = 10.0;
constexpr double kPenWidthMm = 0.15;
constexpr double kMaxArcPieceDegrees = 90.0;
constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr double kMmPerPoint = 25.4 / 72.0;

// Ten significant digits: far below a micrometre on any card, and short.
QByteArray number(double value)
{
    return QByteArray::number(value == 0 ? 0.0 : value, 'g', 10);
}

bool finite(CardPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
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

SvgSurface::SvgSurface(QIODevice &out, const QFont &font)
    : m_out(out), m_font(font), m_family(escaped(font.family())), m_emMm(10 * kMmPerPoint)
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
    m_pending += bytes;
    flushIfFull();
}

void SvgSurface::flushIfFull()
{
    if (m_pending.size() >= kChunkBytes) {
        m_out.write(m_pending);
        m_pending.clear();
    }
}

void SvgSurface::begin(double widthMm, double heightMm, const QString &title, const QString &description,
                       CardScale scale)
{
    QByteArray transform = "translate(" + number(kCardInsetMm) + ' ' + number(kCardInsetMm) + ')';
    if (!scale.isIdentity())
        transform += " scale(" + number(scale.x) + ' ' + number(scale.y) + ')';
    write("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
          "<svg width=\"" + number(widthMm) + "mm\" height=\"" + number(heightMm) + "mm\" viewBox=\"0 0 " +
          number(widthMm) + ' ' + number(heightMm) +
          "\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\">\n"
          "<title>" + escaped(title) + "</title>\n"
          "<desc>" + escaped(description) + "</desc>\n"
          "<g transform=\"" + transform + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"" + number(kPenWidthMm) +
          "\" stroke-linecap=\"butt\" stroke-linejoin=\"miter\" font-family=\"" + m_family +
          "\" xml:space=\"preserve\">\n");
}

void SvgSurface::end()
{
    write("</g>\n</svg>\n");
    m_out.write(m_pending);
    m_pending.clear();
}

void SvgSurface::clear() {}

void SvgSurface::line(CardPoint from, CardPoint to)
{
    if (!finite(from) || !finite(to))
        return;
    write("<path d=\"M" + point(from) + " L" + point(to) + "\"/>\n");
}

void SvgSurface::box(CardPoint corner1, CardPoint corner2)
{
    if (!finite(corner1) || !finite(corner2))
        return;
    write("<rect x=\"" + number(std::min(corner1.x, corner2.x)) + "\" y=\"" + number(std::min(corner1.y, corner2.y)) +
          "\" width=\"" + number(std::fabs(corner2.x - corner1.x)) + "\" height=\"" +
          number(std::fabs(corner2.y - corner1.y)) + "\"/>\n");
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
        const double rad = deg * 3.14159265358979323846 / 180.0;
        return CardPoint{centre.x + radius * std::cos(rad), centre.y - radius * std::sin(rad)};
    };
    const QByteArray r = number(radius);
    QByteArray d = "M" + point(at(degrees.start));
    for (int k = 1; k <= pieces; ++k)
        d += " A" + r + ' ' + r + " 0 0 0 " + point(at(degrees.start + k * step));
    write("<path d=\"" + d + "\"/>\n");
}

void SvgSurface::setFontSize(double points)
{
    m_font.setPoints(points);
    if (std::isfinite(points) && points > 0)
        m_emMm = points * kMmPerPoint;
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
    write("<text x=\"" + number(baseline.x) + "\" y=\"" + number(baseline.y) + "\" font-size=\"" + number(m_emMm) +
          "\" fill=\"#000000\" stroke=\"none\">" + content + "</text>\n");
}

} // namespace vernalith
