#include "dxfsurface.h"

#include "files/codepage1252.h"


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
// Cutting and engraving programs pick operations by layer or colour: the outline is the cut.
constexpr LayerInfo kLayers[] = {{"OUTLINE", 1}, {"SCALE", 7}, {"TEXT", 7}};
constexpr int kOutlineLayer = 0;
constexpr int kScaleLayer = 1;
constexpr int kTextLayer = 2;

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

class DxfWriter
{
public:
    void code(int groupCode, const QByteArray &value)
    {
        m_out += QByteArray::number(groupCode).rightJustified(3, ' ');
        m_out += "\r\n";
        m_out += value;
        m_out += "\r\n";
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
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

// TEXT values as AutoCAD writes them under $DWGCODEPAGE ANSI_1252: characters that Windows-1252
// holds as their byte, others as \U+XXXX (read back as the character by AutoCAD and LibreCAD);
// control characters, which would break the line structure, become blanks.
QByteArray dxfText(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            out += ' ';
        else if (isEncodable1252(c))
            out += encode1252(QStringView(&c, 1));
        else if (c.isSurrogate())
            out += c.isHighSurrogate() ? "?" : "";
        else
            out += "\\U+" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

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

DxfSurface::DxfSurface(double cardHeight, const QFont &font)
    : m_cardHeight(cardHeight), m_font(font, kReferencePixels)
{
}

void DxfSurface::clear()
{
    m_entities.clear();
}

void DxfSurface::addLine(int layer, CardPoint from, CardPoint to)
{
    Entity e;
    e.kind = Entity::Kind::Line;
    e.layer = layer;
    e.x1 = from.x;
    e.y1 = dxfY(from.y);
    e.x2 = to.x;
    e.y2 = dxfY(to.y);
    if (std::isfinite(e.x1) && std::isfinite(e.y1) && std::isfinite(e.x2) && std::isfinite(e.y2))
        m_entities.append(e);
}

void DxfSurface::line(CardPoint from, CardPoint to)
{
    addLine(kScaleLayer, from, to);
}

void DxfSurface::box(CardPoint corner1, CardPoint corner2)
{
    const CardPoint c2{corner2.x, corner1.y};
    const CardPoint c4{corner1.x, corner2.y};
    addLine(kOutlineLayer, corner1, c2);
    addLine(kOutlineLayer, c2, corner2);
    addLine(kOutlineLayer, corner2, c4);
    addLine(kOutlineLayer, c4, corner1);
}

void DxfSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    if (!(radius > 0) || startAngle == endAngle)
        return;
    Entity e;
    e.kind = Entity::Kind::Arc;
    e.layer = kScaleLayer;
    e.x1 = centre.x;
    e.y1 = dxfY(centre.y);
    e.radius = radius;
    const ArcDegrees degrees = arcDegrees(startAngle, endAngle);
    e.startDeg = degrees.start;
    e.endDeg = degrees.start + degrees.sweep;
    if (e.endDeg >= 360.0)
        e.endDeg -= 360.0;
    if (std::isfinite(e.x1) && std::isfinite(e.y1) && std::isfinite(e.radius) && std::isfinite(e.startDeg) &&
        std::isfinite(e.endDeg))
        m_entities.append(e);
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
    if (text.isEmpty())
        return;
    Entity e;
    e.kind = Entity::Kind::Text;
    e.layer = kTextLayer;
    e.x1 = topLeft.x;
    e.y1 = dxfY(topLeft.y + m_font.ascent());
    e.x2 = topLeft.x + m_font.width(text);
    e.y2 = dxfY(topLeft.y);
    e.height = m_font.capHeight();
    e.text = text;
    if (std::isfinite(e.x1) && std::isfinite(e.y1) && std::isfinite(e.x2) && std::isfinite(e.y2) &&
        std::isfinite(e.height) && e.height > 0)
        m_entities.append(e);
}

QByteArray DxfSurface::dxfBytes() const
{
    // Extents let a viewer open zoomed to the drawing.
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;
    auto extend = [&](double x, double y) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    };
    for (const Entity &e : m_entities) {
        if (e.kind == Entity::Kind::Arc) {
            extend(e.x1 - e.radius, e.y1 - e.radius);
            extend(e.x1 + e.radius, e.y1 + e.radius);
        } else {
            extend(e.x1, e.y1);
            extend(e.x2, e.y2);
        }
    }
    if (m_entities.isEmpty())
        minX = minY = maxX = maxY = 0;

    const unsigned handleSeed = kFirstEntityHandle + static_cast<unsigned>(m_entities.size());
    DxfWriter w;

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

    tableHead(w, "STYLE", hStyleTable, 1);
    recordHead(w, "STYLE", hStyleStandard, hStyleTable, "AcDbTextStyleTableRecord");
    w.code(2, "Standard");
    w.integer(70, 0);
    w.real(40, 0);
    w.real(41, 1);
    w.real(50, 0);
    w.integer(71, 0);
    w.real(42, 2.5);
    w.code(3, "DejaVuSans.ttf"); // the face the other exports use, where the reader has it
    w.code(4, "");
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
    unsigned next = kFirstEntityHandle;
    for (const Entity &e : m_entities) {
        const char *type = e.kind == Entity::Kind::Line ? "LINE" : e.kind == Entity::Kind::Arc ? "ARC" : "TEXT";
        w.code(0, type);
        w.handle(5, next++);
        w.handle(330, hModelSpaceRecord);
        w.code(100, "AcDbEntity");
        w.code(8, kLayers[e.layer].name);
        switch (e.kind) {
        case Entity::Kind::Line:
            w.code(100, "AcDbLine");
            w.point(10, e.x1, e.y1);
            w.point(11, e.x2, e.y2);
            break;
        case Entity::Kind::Arc:
            w.code(100, "AcDbCircle");
            w.point(10, e.x1, e.y1);
            w.real(40, e.radius);
            w.code(100, "AcDbArc");
            w.real(50, e.startDeg);
            w.real(51, e.endDeg);
            break;
        case Entity::Kind::Text:
            w.code(100, "AcDbText");
            w.point(10, e.x1, e.y1);
            w.real(40, e.height);
            w.code(1, dxfText(e.text));
            w.code(7, "Standard");
            w.code(100, "AcDbText");
            break;
        }
    }
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
    return w.take();
}

} // namespace vernalith
