#include "dxfsurface.h"

#include "files/codepage1252.h"
#include "textoutline.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vernalith {

namespace {

// Metrics at a large size, scaled down: Qt rounds some of them (the cap height) to whole pixels.
constexpr double kReferencePixels = 1000.0;

struct LayerInfo {
    const char *name;
    int colour; // AutoCAD colour index
};
// Cutting and engraving programs pick operations by layer or colour: the outline and the cut
// bands and holes are cuts. In the order of DrawLayer.
constexpr LayerInfo kLayers[] = {{"OUTLINE", 1}, {"CUT", 1}, {"MARKS", 7}, {"TEXT", 7}, {"BANDS", 7}};
static_assert(static_cast<int>(DrawLayer::Bands) == 4 && static_cast<int>(DrawLayer::Outline) == 0);
constexpr double kMaxBulgeDegrees = 90.0;

// Fixed handles of the file's structure; entities are numbered from kFirstEntityHandle.
enum Handle : unsigned {
    hBlockRecordTable = 0x1,
    hLayerTable = 0x2,
    hStyleTable = 0x3,
    hLtypeTable = 0x5,
    hViewTable = 0x6,
    hUcsTable = 0x7,
    hVportTable = 0x8,
    hAppidTable = 0x9,
    hDimstyleTable = 0xA,
    hRootDictionary = 0xC,
    hGroupDictionary = 0xD,
    hLayoutDictionary = 0xE,
    hActiveVport = 0x10,
    hLtypeByBlock = 0x11,
    hLtypeByLayer = 0x12,
    hLtypeContinuous = 0x13,
    hLayer0 = 0x14,
    hFirstLayer = 0x15, // one per entry of kLayers
    hStyleStandard = 0x20,
    hAppidAcad = 0x21,
    hDimstyleStandard = 0x22,
    hModelSpaceRecord = 0x30,
    hPaperSpaceRecord = 0x31,
    hModelSpaceBlock = 0x32,
    hModelSpaceEnd = 0x33,
    hPaperSpaceBlock = 0x34,
    hPaperSpaceEnd = 0x35,
    hModelLayout = 0x36,
    hPaperLayout = 0x37,
    kFirstEntityHandle = 0x100,
};

constexpr qsizetype kChunkBytes = 64 * 1024;

// A text style's name for a font family: table names may not hold some characters, and a name
// outside ASCII would depend on the reader's code page.
QByteArray styleName(const QString &family)
{
    QByteArray name;
    for (const QChar c : family)
        name += (c.unicode() < 0x7f && c.unicode() >= 0x20 && !QStringLiteral("<>/\\\":;?*|=`").contains(c))
                    ? static_cast<char>(c.unicode())
                    : '_';
    return name;
}

bool isBlack(const QColor &colour)
{
    return !colour.isValid() || (colour.rgb() & 0xffffff) == 0;
}

// The arc of radius r around (cx, cy) from `startDeg` counter-clockwise by `sweepDeg` as polyline
// vertices in pieces of at most 90 degrees; the last vertex, at the arc's end, carries `endBulge`.
void appendArc(QVector<DxfSurface::Vertex> &out, double cx, double cy, double r, double startDeg, double sweepDeg,
               double endBulge)
{
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweepDeg) / kMaxBulgeDegrees)));
    const double step = sweepDeg / pieces;
    const double bulge = std::tan(step * kPi / 180.0 / 4.0);
    for (int k = 0; k <= pieces; ++k) {
        const double rad = (startDeg + k * step) * kPi / 180.0;
        out.append({cx + r * std::cos(rad), cy + r * std::sin(rad), k == pieces ? endBulge : bulge});
    }
}

} // namespace

// Group codes and values, handed to the device in chunks.
class DxfWriter
{
public:
    explicit DxfWriter(QIODevice &out) : m_device(out) {}
    ~DxfWriter() { flush(); }

    void code(int groupCode, const QByteArray &value)
    {
        m_out += QByteArray::number(groupCode).rightJustified(3, ' ');
        m_out += "\r\n";
        m_out += value;
        m_out += "\r\n";
        if (m_out.size() >= kChunkBytes)
            flush();
    }
    void code(int groupCode, const char *value) { code(groupCode, QByteArray(value)); }
    void integer(int groupCode, long long value) { code(groupCode, QByteArray::number(value)); }
    void real(int groupCode, double value)
    {
        // Micrometre resolution is plenty for a card; no exponents, which some readers reject.
        QByteArray text = QByteArray::number(value == 0 ? 0.0 : value, 'f', 6);
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
        if (text == "-0")
            text = "0";
        code(groupCode, text);
    }
    void handle(int groupCode, unsigned h) { code(groupCode, QByteArray::number(h, 16).toUpper()); }
    void point(int baseCode, double x, double y, double z = 0)
    {
        real(baseCode, x);
        real(baseCode + 10, y);
        real(baseCode + 20, z);
    }
    void flush()
    {
        if (!m_out.isEmpty())
            m_device.write(m_out);
        m_out.clear();
    }

private:
    QIODevice &m_device;
    QByteArray m_out;
};

namespace {

void tableHead(DxfWriter &w, const char *name, unsigned handle, int entries)
{
    w.code(0, "TABLE");
    w.code(2, name);
    w.handle(5, handle);
    w.handle(330, 0);
    w.code(100, "AcDbSymbolTable");
    w.integer(70, entries);
}

void recordHead(DxfWriter &w, const char *type, unsigned handle, unsigned table, const char *subclass)
{
    w.code(0, type);
    w.handle(5, handle);
    w.handle(330, table);
    w.code(100, "AcDbSymbolTableRecord");
    w.code(100, subclass);
}

void writeLayout(DxfWriter &w, unsigned handle, unsigned blockRecord, const char *name, int tabOrder, bool model)
{
    w.code(0, "LAYOUT");
    w.handle(5, handle);
    w.handle(330, hLayoutDictionary);
    w.code(100, "AcDbPlotSettings");
    w.code(1, "");
    w.code(2, "none_device");
    w.code(4, "ISO_A4_(210.00_x_297.00_MM)");
    w.code(6, "");
    for (int c : {40, 41, 42, 43})
        w.real(c, 0);
    w.real(44, 210);
    w.real(45, 297);
    for (int c : {46, 47, 48, 49, 140, 141})
        w.real(c, 0);
    w.real(142, 1);
    w.real(143, 1);
    w.integer(70, model ? 1024 : 0);
    w.integer(72, 1); // paper units: millimetres
    w.integer(73, 0);
    w.integer(74, 5);
    w.code(7, "");
    w.integer(75, 16);
    w.integer(76, 0);
    w.integer(77, 2);
    w.integer(78, 300);
    w.real(147, 1);
    w.real(148, 0);
    w.real(149, 0);
    w.code(100, "AcDbLayout");
    w.code(1, name);
    w.integer(70, 1);
    w.integer(71, tabOrder);
    w.real(10, 0);
    w.real(20, 0);
    w.real(11, 210);
    w.real(21, 297);
    w.point(12, 0, 0);
    w.point(14, 0, 0);
    w.point(15, 0, 0);
    w.real(146, 0);
    w.point(13, 0, 0);
    w.point(16, 1, 0);
    w.point(17, 0, 1);
    w.integer(76, 0);
    w.handle(330, blockRecord);
}

} // namespace

DxfSurface::DxfSurface(double cardHeight, const QFont &font, bool textOutlines)
    : m_cardHeight(cardHeight),
      m_defaultFont(font),
      m_font(font, kReferencePixels),
      m_textOutlines(textOutlines),
      m_layer(static_cast<int>(DrawLayer::Marks)),
      m_textStyle("Standard"),
      m_nextHandle(kFirstEntityHandle)
{
    clear();
}

DxfSurface::~DxfSurface()
{
    delete m_writer;
}

void DxfSurface::clear()
{
    m_count = 0;
    m_minX = m_minY = std::numeric_limits<double>::infinity();
    m_maxX = m_maxY = -std::numeric_limits<double>::infinity();
}

void DxfSurface::extend(double x, double y)
{
    m_minX = std::min(m_minX, x);
    m_minY = std::min(m_minY, y);
    m_maxX = std::max(m_maxX, x);
    m_maxY = std::max(m_maxY, y);
}

// Starts an entity: counts it and, when a file is being written, writes its common part and
// answers true.
bool DxfSurface::beginEntity(const char *type)
{
    ++m_count;
    if (!m_writer)
        return false;
    m_writer->code(0, type);
    m_writer->handle(5, m_nextHandle++);
    m_writer->handle(330, hModelSpaceRecord);
    m_writer->code(100, "AcDbEntity");
    m_writer->code(8, kLayers[m_layer].name);
    if (!isBlack(m_style.colour))
        m_writer->integer(420, m_style.colour.rgb() & 0xffffff);
    return true;
}

double DxfSurface::penWidth() const
{
    return std::isfinite(m_style.widthMm) && m_style.widthMm > 0 ? m_style.widthMm : 0.0;
}

// A closed or open LWPOLYLINE; false (and nothing drawn) when a vertex is not a finite number.
bool DxfSurface::addPolyline(const QVector<Vertex> &vertices, bool closed, double width)
{
    for (const Vertex &v : vertices)
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.bulge))
            return false;
    for (const Vertex &v : vertices)
        extend(v.x, v.y);
    if (!beginEntity("LWPOLYLINE"))
        return true;
    m_writer->code(100, "AcDbPolyline");
    m_writer->integer(90, vertices.size());
    m_writer->integer(70, closed ? 1 : 0);
    if (width > 0)
        m_writer->real(43, width);
    for (const Vertex &v : vertices) {
        m_writer->real(10, v.x);
        m_writer->real(20, v.y);
        if (v.bulge != 0)
            m_writer->real(42, v.bulge);
    }
    return true;
}

// A solid HATCH in the style's colour whose boundary is the given closed loops, filled by the
// odd-even rule (hatch style "normal"): a glyph's counters stay open.
bool DxfSurface::addHatch(const QVector<QVector<Vertex>> &loops)
{
    for (const QVector<Vertex> &loop : loops)
        for (const Vertex &v : loop)
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.bulge))
                return false;
    for (const QVector<Vertex> &loop : loops)
        for (const Vertex &v : loop)
            extend(v.x, v.y);
    if (!beginEntity("HATCH"))
        return true;
    DxfWriter &w = *m_writer;
    w.code(100, "AcDbHatch");
    w.point(10, 0, 0);
    w.point(210, 0, 0, 1);
    w.code(2, "SOLID");
    w.integer(70, 1); // solid fill
    w.integer(71, 0); // not associative
    w.integer(91, loops.size());
    for (const QVector<Vertex> &loop : loops) {
        const bool bulges = std::any_of(loop.begin(), loop.end(), [](const Vertex &v) { return v.bulge != 0; });
        w.integer(92, 2); // a polyline path
        w.integer(72, bulges ? 1 : 0);
        w.integer(73, 1); // closed
        w.integer(93, loop.size());
        for (const Vertex &v : loop) {
            w.real(10, v.x);
            w.real(20, v.y);
            if (bulges)
                w.real(42, v.bulge);
        }
        w.integer(97, 0);
    }
    w.integer(75, 0); // odd-even
    w.integer(76, 1);
    w.integer(98, 0);
    return true;
}

void DxfSurface::addLine(CardPoint from, CardPoint to)
{
    const double x1 = from.x, y1 = dxfY(from.y), x2 = to.x, y2 = dxfY(to.y);
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    extend(x1, y1);
    extend(x2, y2);
    if (!beginEntity("LINE"))
        return;
    m_writer->code(100, "AcDbLine");
    m_writer->point(10, x1, y1);
    m_writer->point(11, x2, y2);
}

void DxfSurface::line(CardPoint from, CardPoint to)
{
    if (penWidth() > 0)
        addPolyline({{from.x, dxfY(from.y), 0}, {to.x, dxfY(to.y), 0}}, false, penWidth());
    else
        addLine(from, to);
}

void DxfSurface::box(CardPoint corner1, CardPoint corner2)
{
    const CardPoint c2{corner2.x, corner1.y};
    const CardPoint c4{corner1.x, corner2.y};
    if (penWidth() > 0) {
        addPolyline({{corner1.x, dxfY(corner1.y), 0}, {c2.x, dxfY(c2.y), 0}, {corner2.x, dxfY(corner2.y), 0},
                     {c4.x, dxfY(c4.y), 0}},
                    true, penWidth());
        return;
    }
    addLine(corner1, c2);
    addLine(c2, corner2);
    addLine(corner2, c4);
    addLine(c4, corner1);
}

void DxfSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    if (!(radius > 0) || startAngle == endAngle)
        return;
    const double x = centre.x, y = dxfY(centre.y);
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    double endDeg = degrees.start + degrees.sweep;
    if (endDeg >= 360.0)
        endDeg -= 360.0;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius) || !std::isfinite(degrees.start) ||
        !std::isfinite(endDeg))
        return;
    if (penWidth() > 0) {
        QVector<Vertex> vertices;
        appendArc(vertices, x, y, radius, degrees.start, degrees.sweep, 0);
        addPolyline(vertices, false, penWidth());
        return;
    }
    extend(x - radius, y - radius);
    extend(x + radius, y + radius);
    if (!beginEntity("ARC"))
        return;
    m_writer->code(100, "AcDbCircle");
    m_writer->point(10, x, y);
    m_writer->real(40, radius);
    m_writer->code(100, "AcDbArc");
    m_writer->real(50, degrees.start);
    m_writer->real(51, endDeg);
}

void DxfSurface::circle(CardPoint centre, double radius)
{
    const double x = centre.x, y = dxfY(centre.y);
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius) || !(radius > 0))
        return;
    if (penWidth() > 0) {
        // Two half circles: a bulge of 1 each.
        addPolyline({{x + radius, y, 1}, {x - radius, y, 1}}, true, penWidth());
        return;
    }
    extend(x - radius, y - radius);
    extend(x + radius, y + radius);
    if (!beginEntity("CIRCLE"))
        return;
    m_writer->code(100, "AcDbCircle");
    m_writer->point(10, x, y);
    m_writer->real(40, radius);
}

void DxfSurface::sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle, bool filled)
{
    const double x = centre.x, y = dxfY(centre.y);
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(inner) || !std::isfinite(outer) ||
        !std::isfinite(startAngle) || !std::isfinite(endAngle) || !(outer > 0) || startAngle == endAngle)
        return;
    inner = std::clamp(inner, 0.0, outer);
    // Counter-clockwise along the outer arc, a radial line in, back along the inner arc and out.
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    QVector<Vertex> loop;
    appendArc(loop, x, y, outer, degrees.start, degrees.sweep, 0);
    if (inner > 0)
        appendArc(loop, x, y, inner, degrees.start + degrees.sweep, -degrees.sweep, 0);
    else
        loop.append({x, y, 0});
    if (filled)
        addHatch({loop});
    else
        addPolyline(loop, true, penWidth());
}

void DxfSurface::setLayer(DrawLayer layer)
{
    const int index = static_cast<int>(layer);
    if (index >= 0 && index < static_cast<int>(std::size(kLayers)))
        m_layer = index;
}

void DxfSurface::setStyle(const DrawStyle &style)
{
    m_style = style;
}

void DxfSurface::setFontFamily(const QString &family)
{
    QFont font = m_defaultFont;
    if (!family.isEmpty())
        font.setFamily(family);
    ScaledFont scaled(font, kReferencePixels);
    scaled.setPoints(m_font.scale() * kReferencePixels * 72.0 / 25.4); // keeps the size
    m_font = scaled;
    m_textStyle = font.family() == m_defaultFont.family() ? QByteArray("Standard") : styleName(font.family());
    if (!m_textOutlines && m_textStyle != "Standard" && !m_families.contains(font.family()))
        m_families.append(font.family());
}

void DxfSurface::setFontSize(double points)
{
    m_font.setPoints(points);
}

double DxfSurface::textWidth(const QString &text)
{
    return m_font.width(text);
}

double DxfSurface::textHeight(const QString &)
{
    return m_font.lineHeight();
}

void DxfSurface::text(CardPoint topLeft, const QString &text)
{
    const QByteArray value = dxfText(text);
    if (value.isEmpty())
        return;
    const double x1 = topLeft.x, y1 = dxfY(topLeft.y + m_font.ascent());
    const double x2 = topLeft.x + m_font.width(text), y2 = dxfY(topLeft.y);
    const double height = m_font.capHeight();
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
        !std::isfinite(height) || !(height > 0))
        return;
    if (m_textOutlines && !m_writer) {
        // Measuring: the outline lies within the text's line box, and is one hatch at most.
        extend(x1, dxfY(topLeft.y + m_font.lineHeight()));
        extend(x2, y2);
        ++m_count;
        return;
    }
    if (m_textOutlines) {
        QVector<QVector<Vertex>> loops;
        for (const QPolygonF &polygon : textOutlinePolygons(m_font, topLeft, text)) {
            QVector<Vertex> loop;
            for (const QPointF &p : polygon)
                if (loop.isEmpty() || p.x() != loop.last().x || dxfY(p.y()) != loop.last().y)
                    loop.append({p.x(), dxfY(p.y()), 0});
            if (loop.size() > 1 && loop.first().x == loop.last().x && loop.first().y == loop.last().y)
                loop.removeLast(); // closed by the hatch itself
            if (loop.size() >= 3)
                loops.append(loop);
        }
        if (!loops.isEmpty())
            addHatch(loops);
        return;
    }
    extend(x1, y1);
    extend(x2, y2);
    if (!beginEntity("TEXT"))
        return;
    m_writer->code(100, "AcDbText");
    m_writer->point(10, x1, y1);
    m_writer->real(40, height);
    m_writer->code(1, value);
    m_writer->code(7, m_textStyle);
    m_writer->code(100, "AcDbText");
}

QByteArray DxfSurface::dxfText(const QString &text)
{
    QByteArray out;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            continue;
        if (u == '%' && k + 1 < text.size() && text[k + 1] == u'%')
            out += "\\U+0025"; // no two percent signs in a row: %%d would read as a degree sign
        else if (u == '^')
            out += "\\U+005E"; // ^J would be a line feed
        else if (u == '\\')
            out += "\\U+005C"; // \U+0041 must not read as "A"
        else if (isEncodable1252(c))
            out += encode1252(QStringView(&c, 1));
        else if (c.isSurrogate())
            out += c.isHighSurrogate() ? "?" : ""; // beyond the four hex digits of \U+
        else
            out += "\\U+" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

void DxfSurface::startFile(QIODevice &out, const DxfSurface &measured)
{
    delete m_writer;
    m_writer = new DxfWriter(out);
    DxfWriter &w = *m_writer;
    m_nextHandle = kFirstEntityHandle;

    // Extents let a viewer open zoomed to the drawing.
    double minX = measured.m_minX, minY = measured.m_minY, maxX = measured.m_maxX, maxY = measured.m_maxY;
    if (measured.m_count == 0)
        minX = minY = maxX = maxY = 0;
    // Text styles of other families follow the entities' handles, which stay as they were.
    QList<QByteArray> extraStyles;
    for (const QString &family : measured.m_families)
        if (!extraStyles.contains(styleName(family)))
            extraStyles.append(styleName(family));
    const unsigned firstStyleHandle = kFirstEntityHandle + static_cast<unsigned>(measured.m_count);
    const unsigned handleSeed = firstStyleHandle + static_cast<unsigned>(extraStyles.size());

    w.code(0, "SECTION");
    w.code(2, "HEADER");
    w.code(9, "$ACADVER");
    w.code(1, "AC1015");
    w.code(9, "$DWGCODEPAGE");
    w.code(3, "ANSI_1252");
    w.code(9, "$INSBASE");
    w.point(10, 0, 0);
    w.code(9, "$EXTMIN");
    w.point(10, minX, minY);
    w.code(9, "$EXTMAX");
    w.point(10, maxX, maxY);
    w.code(9, "$LIMMIN");
    w.real(10, minX);
    w.real(20, minY);
    w.code(9, "$LIMMAX");
    w.real(10, maxX);
    w.real(20, maxY);
    w.code(9, "$TEXTSTYLE");
    w.code(7, "Standard");
    w.code(9, "$CLAYER");
    w.code(8, "0");
    w.code(9, "$LUNITS");
    w.integer(70, 2); // decimal
    w.code(9, "$INSUNITS");
    w.integer(70, 4); // millimetres
    w.code(9, "$MEASUREMENT");
    w.integer(70, 1); // metric
    w.code(9, "$HANDSEED");
    w.handle(5, handleSeed);
    w.code(0, "ENDSEC");

    w.code(0, "SECTION");
    w.code(2, "CLASSES");
    w.code(0, "ENDSEC");

    w.code(0, "SECTION");
    w.code(2, "TABLES");

    tableHead(w, "VPORT", hVportTable, 1);
    recordHead(w, "VPORT", hActiveVport, hVportTable, "AcDbViewportTableRecord");
    w.code(2, "*Active");
    w.integer(70, 0);
    w.real(10, 0);
    w.real(20, 0);
    w.real(11, 1);
    w.real(21, 1);
    w.real(12, (minX + maxX) / 2); // view centre
    w.real(22, (minY + maxY) / 2);
    w.real(13, 0);
    w.real(23, 0);
    w.real(14, 1);
    w.real(24, 1);
    w.real(15, 1);
    w.real(25, 1);
    w.point(16, 0, 0, 1);
    w.point(17, 0, 0, 0);
    w.real(40, std::max(10.0, (maxY - minY) * 1.1)); // view height
    w.real(41, 1.5);
    w.real(42, 50);
    w.real(43, 0);
    w.real(44, 0);
    w.real(50, 0);
    w.real(51, 0);
    w.integer(71, 0);
    w.integer(72, 100);
    w.integer(73, 1);
    w.integer(74, 3);
    w.integer(75, 0);
    w.integer(76, 0);
    w.integer(77, 0);
    w.integer(78, 0);
    w.code(0, "ENDTAB");

    tableHead(w, "LTYPE", hLtypeTable, 3);
    const std::pair<unsigned, const char *> ltypes[] = {
        {hLtypeByBlock, "ByBlock"}, {hLtypeByLayer, "ByLayer"}, {hLtypeContinuous, "Continuous"}};
    for (const auto &[h, name] : ltypes) {
        recordHead(w, "LTYPE", h, hLtypeTable, "AcDbLinetypeTableRecord");
        w.code(2, name);
        w.integer(70, 0);
        w.code(3, h == hLtypeContinuous ? "Solid line" : "");
        w.integer(72, 65);
        w.integer(73, 0);
        w.real(40, 0);
    }
    w.code(0, "ENDTAB");

    tableHead(w, "LAYER", hLayerTable, 1 + static_cast<int>(std::size(kLayers)));
    auto layerRecord = [&](unsigned h, const char *name, int colour) {
        recordHead(w, "LAYER", h, hLayerTable, "AcDbLayerTableRecord");
        w.code(2, name);
        w.integer(70, 0);
        w.integer(62, colour);
        w.code(6, "Continuous");
        w.integer(370, -3);
        w.code(390, "0");
    };
    layerRecord(hLayer0, "0", 7);
    for (size_t k = 0; k < std::size(kLayers); ++k)
        layerRecord(hFirstLayer + static_cast<unsigned>(k), kLayers[k].name, kLayers[k].colour);
    w.code(0, "ENDTAB");

    tableHead(w, "STYLE", hStyleTable, 1 + static_cast<int>(extraStyles.size()));
    auto styleRecord = [&](unsigned h, const QByteArray &name, const QByteArray &fontFile) {
        recordHead(w, "STYLE", h, hStyleTable, "AcDbTextStyleTableRecord");
        w.code(2, name);
        w.integer(70, 0);
        w.real(40, 0);
        w.real(41, 1);
        w.real(50, 0);
        w.integer(71, 0);
        w.real(42, 2.5);
        w.code(3, fontFile);
        w.code(4, "");
    };
    styleRecord(hStyleStandard, "Standard", "DejaVuSans.ttf"); // the face the other exports use, where the reader has it
    // A reader that knows no font file of the family's name substitutes its own font.
    for (qsizetype k = 0; k < extraStyles.size(); ++k)
        styleRecord(firstStyleHandle + static_cast<unsigned>(k), extraStyles[k], extraStyles[k]);
    w.code(0, "ENDTAB");

    tableHead(w, "VIEW", hViewTable, 0);
    w.code(0, "ENDTAB");
    tableHead(w, "UCS", hUcsTable, 0);
    w.code(0, "ENDTAB");

    tableHead(w, "APPID", hAppidTable, 1);
    recordHead(w, "APPID", hAppidAcad, hAppidTable, "AcDbRegAppTableRecord");
    w.code(2, "ACAD");
    w.integer(70, 0);
    w.code(0, "ENDTAB");

    tableHead(w, "DIMSTYLE", hDimstyleTable, 1);
    w.code(100, "AcDbDimStyleTable");
    w.code(0, "DIMSTYLE");
    w.handle(105, hDimstyleStandard);
    w.handle(330, hDimstyleTable);
    w.code(100, "AcDbSymbolTableRecord");
    w.code(100, "AcDbDimStyleTableRecord");
    w.code(2, "Standard");
    w.integer(70, 0);
    w.code(0, "ENDTAB");

    tableHead(w, "BLOCK_RECORD", hBlockRecordTable, 2);
    recordHead(w, "BLOCK_RECORD", hModelSpaceRecord, hBlockRecordTable, "AcDbBlockTableRecord");
    w.code(2, "*Model_Space");
    w.handle(340, hModelLayout);
    recordHead(w, "BLOCK_RECORD", hPaperSpaceRecord, hBlockRecordTable, "AcDbBlockTableRecord");
    w.code(2, "*Paper_Space");
    w.handle(340, hPaperLayout);
    w.code(0, "ENDTAB");

    w.code(0, "ENDSEC");

    w.code(0, "SECTION");
    w.code(2, "BLOCKS");
    auto block = [&](unsigned begin, unsigned end, unsigned record, const char *name) {
        w.code(0, "BLOCK");
        w.handle(5, begin);
        w.handle(330, record);
        w.code(100, "AcDbEntity");
        w.code(8, "0");
        w.code(100, "AcDbBlockBegin");
        w.code(2, name);
        w.integer(70, 0);
        w.point(10, 0, 0);
        w.code(3, name);
        w.code(1, "");
        w.code(0, "ENDBLK");
        w.handle(5, end);
        w.handle(330, record);
        w.code(100, "AcDbEntity");
        w.code(8, "0");
        w.code(100, "AcDbBlockEnd");
    };
    block(hModelSpaceBlock, hModelSpaceEnd, hModelSpaceRecord, "*Model_Space");
    block(hPaperSpaceBlock, hPaperSpaceEnd, hPaperSpaceRecord, "*Paper_Space");
    w.code(0, "ENDSEC");

    w.code(0, "SECTION");
    w.code(2, "ENTITIES");
}

void DxfSurface::finishFile()
{
    if (!m_writer)
        return;
    DxfWriter &w = *m_writer;
    w.code(0, "ENDSEC");

    w.code(0, "SECTION");
    w.code(2, "OBJECTS");
    w.code(0, "DICTIONARY");
    w.handle(5, hRootDictionary);
    w.handle(330, 0);
    w.code(100, "AcDbDictionary");
    w.integer(281, 1);
    w.code(3, "ACAD_GROUP");
    w.handle(350, hGroupDictionary);
    w.code(3, "ACAD_LAYOUT");
    w.handle(350, hLayoutDictionary);
    w.code(0, "DICTIONARY");
    w.handle(5, hGroupDictionary);
    w.handle(330, hRootDictionary);
    w.code(100, "AcDbDictionary");
    w.integer(281, 1);
    w.code(0, "DICTIONARY");
    w.handle(5, hLayoutDictionary);
    w.handle(330, hRootDictionary);
    w.code(100, "AcDbDictionary");
    w.integer(281, 1);
    w.code(3, "Model");
    w.handle(350, hModelLayout);
    w.code(3, "Layout1");
    w.handle(350, hPaperLayout);
    writeLayout(w, hModelLayout, hModelSpaceRecord, "Model", 0, true);
    writeLayout(w, hPaperLayout, hPaperSpaceRecord, "Layout1", 1, false);
    w.code(0, "ENDSEC");
    w.code(0, "EOF");
    delete m_writer;
    m_writer = nullptr;
}

} // namespace vernalith
