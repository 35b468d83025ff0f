// Exports for cutters and engravers: layers, colours and widths read back from SVG and DXF,
// holes from DXF by ezdxf, texts as outlines, and crop marks on the PDF.

#include "render/dialexport.h"
#include "render/dxfsurface.h"
#include "render/outlinetextsurface.h"
#include "render/paintersurface.h"
#include "render/svgsurface.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <functional>

using namespace vernalith;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vernalith::DrawLayer)

namespace {

using Drawing = std::function<void(DrawingSurface &)>;
enum Shape { Line, Box, Arc, Circle, FilledSector, CutSector, Text };
constexpr double kCardHeight = 100;

void drawShape(DrawingSurface &s, int shape)
{
    switch (shape) {
    case Line: return s.line({10, 10}, {20, 30});
    case Box: return s.box({0, 0}, {52, 45});
    case Arc: return s.arc({26, 33}, 20, M_PI / 4, 3 * M_PI / 4);
    case Circle: return s.circle({5, 40}, 1.6);
    case FilledSector: return s.sector({26, 33}, 18, 22, M_PI / 4, M_PI / 2, true);
    case CutSector: return s.sector({26, 33}, 18, 22, M_PI / 4, M_PI / 2, false);
    default: return s.text({4, 2}, u"mA"_s);
    }
}

QByteArray svgOf(const Drawing &draw, bool outlines = false)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    SvgSurface svg(out, QFont(u"DejaVu Sans"_s), outlines);
    svg.begin(100, 100, u"t"_s, u"d"_s);
    draw(svg);
    svg.end();
    return out.data();
}

QByteArray dxfOf(const Drawing &draw, bool outlines = false)
{
    DxfSurface measured(kCardHeight, QFont(u"DejaVu Sans"_s), outlines), dxf(kCardHeight, QFont(u"DejaVu Sans"_s), outlines);
    draw(measured);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    dxf.startFile(out, measured);
    draw(dxf);
    dxf.finishFile();
    return out.data();
}

// The drawn elements of an SVG with the Inkscape layer each lies in: "LAYER element attr=value ...",
// listing stroke, stroke-width and fill; and the layers in file order.
QStringList svgItems(const QByteArray &svg, QStringList *layers = nullptr)
{
    QXmlStreamReader xml(svg);
    QStringList items;
    QString layer;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"g") {
            layer = a.value(u"http://www.inkscape.org/namespaces/inkscape"_s, u"label"_s).toString();
            if (layers)
                layers->append(layer);
        } else if (!layer.isEmpty()) {
            QString item = layer + u' ' + xml.name().toString();
            for (const QString &name : {u"stroke"_s, u"stroke-width"_s, u"fill"_s})
                if (a.hasAttribute(name))
                    item += u' ' + name + u'=' + a.value(name).toString();
            items.append(item);
        }
    }
    return xml.hasError() ? QStringList{xml.errorString()} : items;
}

// The ENTITIES of a DXF as "TYPE LAYER" plus " 420=..." and " 43=..." where present.
QStringList dxfEntities(const QByteArray &dxf)
{
    const QList<QByteArray> lines = dxf.split('\n');
    QStringList entities;
    bool inEntities = false;
    for (qsizetype k = 0; k + 1 < lines.size(); k += 2) {
        const int code = lines[k].trimmed().toInt();
        const QString value = QString::fromLatin1(lines[k + 1].trimmed());
        if (code == 2 && value == u"ENTITIES")
            inEntities = true;
        else if (code == 0 && value == u"ENDSEC")
            inEntities = false;
        else if (inEntities && code == 0)
            entities.append(value);
        else if (inEntities && code == 8)
            entities.last() += u' ' + value;
        else if (inEntities && (code == 420 || code == 43))
            entities.last() += u' ' + QString::number(code) + u'=' + value;
    }
    return entities;
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qWarning().noquote() << process.readAllStandardError();
    return process.readAllStandardOutput();
}

QImage blankCard(double dpi)
{
    QImage image(qRound(100 * dpi / 25.4), qRound(100 * dpi / 25.4), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// How much of the ink of two images is shared: |A and B| / |A or B|.
double inkOverlap(const QImage &a, const QImage &b)
{
    qint64 both = 0, either = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool inkA = qGray(a.pixel(x, y)) < 128, inkB = qGray(b.pixel(x, y)) < 128;
            both += inkA && inkB;
            either += inkA || inkB;
        }
    return either ? double(both) / either : 0;
}

DialDesign labelledCard()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleArcs) = {{u"22"_s}};
    d.table(TableKind::ScaleDigits) = {{u"5"_s, u"0"_s, u"100"_s, u"0"_s, u"24"_s, u"6"_s}};
    d.table(TableKind::FaceLabels) = {{u"26"_s, u"40"_s, u"mA"_s, u"8"_s}};
    return d;
}

} // namespace

class TestMakerExports : public QObject
{
    Q_OBJECT

private slots:
    void layersColoursAndWidths_data();
    void layersColoursAndWidths();
    void sectorCornersFollowTheAngles_data();
    void sectorCornersFollowTheAngles();
    void everyFeatureAuditsCleanWithHolesInPlace();
    void outlineTextLeavesNoText_data();
    void outlineTextLeavesNoText();
    void outlineTextCoversDrawnText_data();
    void outlineTextCoversDrawnText();
    void cropMarksSitOutsideTheCorners_data();
    void cropMarksSitOutsideTheCorners();
    void cropMarksOnlyOnPdf();
};

void TestMakerExports::layersColoursAndWidths_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<DrawLayer>("layer");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<double>("width");
    QTest::addColumn<QString>("svgItem");
    QTest::addColumn<QString>("dxfEntity");
    QTest::newRow("plain tick") << int(Line) << DrawLayer::Marks << u"#000000"_s << 0.0 << u"MARKS path"_s << u"LINE MARKS"_s;
    QTest::newRow("red bold tick") << int(Line) << DrawLayer::Marks << u"#FF0000"_s << 0.5
                                   << u"MARKS path stroke=#FF0000 stroke-width=0.5"_s << u"LWPOLYLINE MARKS 420=16711680 43=0.5"_s;
    QTest::newRow("plain arc") << int(Arc) << DrawLayer::Marks << u"#000000"_s << 0.0 << u"MARKS path"_s << u"ARC MARKS"_s;
    QTest::newRow("blue 5 mm arc") << int(Arc) << DrawLayer::Marks << u"#0000FF"_s << 5.0
                                   << u"MARKS path stroke=#0000FF stroke-width=5"_s << u"LWPOLYLINE MARKS 420=255 43=5"_s;
    QTest::newRow("card edge") << int(Box) << DrawLayer::Outline << u"#000000"_s << 0.0 << u"OUTLINE rect"_s << u"LINE OUTLINE"_s;
    QTest::newRow("hole") << int(Circle) << DrawLayer::Cut << u"#000000"_s << 0.0 << u"CUT circle"_s << u"CIRCLE CUT"_s;
    QTest::newRow("wide green ring") << int(Circle) << DrawLayer::Marks << u"#00FF00"_s << 2.0
                                     << u"MARKS circle stroke=#00FF00 stroke-width=2"_s << u"LWPOLYLINE MARKS 420=65280 43=2"_s;
    QTest::newRow("red band") << int(FilledSector) << DrawLayer::Bands << u"#E00000"_s << 0.0
                              << u"BANDS path stroke=none fill=#E00000"_s << u"HATCH BANDS 420=14680064"_s;
    QTest::newRow("mirror window") << int(CutSector) << DrawLayer::Cut << u"#000000"_s << 0.3
                                   << u"CUT path stroke-width=0.3"_s << u"LWPOLYLINE CUT 43=0.3"_s;
    QTest::newRow("grey label") << int(Text) << DrawLayer::Text << u"#808080"_s << 0.0
                                << u"TEXT text stroke=none fill=#808080"_s << u"TEXT TEXT 420=8421504"_s;
}

void TestMakerExports::layersColoursAndWidths()
{
    QFETCH(int, shape);
    QFETCH(DrawLayer, layer);
    QFETCH(QString, colour);
    QFETCH(double, width);
    QFETCH(QString, svgItem);
    QFETCH(QString, dxfEntity);
    const Drawing draw = [&](DrawingSurface &s) {
        s.setLayer(layer);
        s.setStyle({QColor(colour), width});
        drawShape(s, shape);
    };
    QStringList layers;
    const QStringList svg = svgItems(svgOf(draw), &layers);
    QCOMPARE(layers, (QStringList{u"BANDS"_s, u"OUTLINE"_s, u"CUT"_s, u"MARKS"_s, u"TEXT"_s}));
    QCOMPARE(svg.value(0), svgItem);
    QCOMPARE(dxfEntities(dxfOf(draw)).value(0), dxfEntity);
}

void TestMakerExports::sectorCornersFollowTheAngles_data()
{
    QTest::addColumn<double>("fromDeg");
    QTest::addColumn<double>("toDeg");
    QTest::addColumn<double>("inner");
    QTest::newRow("quarter") << 45.0 << 90.0 << 18.0;
    QTest::newRow("230 degrees in three pieces") << -30.0 << 200.0 << 10.0;
    QTest::newRow("across zero") << 350.0 << 20.0 << 21.0;
    QTest::newRow("pie to the pivot") << 0.0 << 90.0 << 0.0;
}

void TestMakerExports::sectorCornersFollowTheAngles()
{
    QFETCH(double, fromDeg);
    QFETCH(double, toDeg);
    QFETCH(double, inner);
    const CardPoint pivot{26, 33};
    const QByteArray dxf = dxfOf([&](DrawingSurface &s) { s.sector(pivot, inner, 22, fromDeg * M_PI / 180, toDeg * M_PI / 180, true); });
    // The hatch's boundary vertices: the (10, 20) pairs after the vertex count.
    QVector<QPointF> v;
    const QList<QByteArray> lines = dxf.mid(dxf.indexOf("AcDbHatch")).split('\n');
    bool inBoundary = false;
    for (qsizetype k = 1; k + 1 < lines.size(); k += 2) {
        const int code = lines[k].trimmed().toInt();
        inBoundary = (inBoundary || code == 93) && code != 97;
        if (inBoundary && code == 10)
            v.append(QPointF(lines[k + 1].trimmed().toDouble(), lines[k + 3].trimmed().toDouble()));
    }
    const auto at = [&](double r, double deg) {
        return QPointF(pivot.x + r * std::cos(deg * M_PI / 180), kCardHeight - pivot.y + r * std::sin(deg * M_PI / 180));
    };
    const auto close = [](QPointF a, QPointF b) { return QLineF(a, b).length() < 1e-5; };
    QVERIFY(v.size() >= 3);
    QVERIFY(close(v.first(), at(22, fromDeg)));
    QVERIFY(close(v.last(), at(inner, fromDeg)));
    bool turn = false; // out along the outer arc to its end, then straight in to the inner arc's end
    for (qsizetype k = 0; k + 1 < v.size(); ++k)
        turn = turn || (close(v[k], at(22, toDeg)) && close(v[k + 1], at(inner, toDeg)));
    QVERIFY(turn);
}

void TestMakerExports::everyFeatureAuditsCleanWithHolesInPlace()
{
    const QVector<QVector<double>> holes = {{3.5, 4.25, 3.2}, {48.5, 4.25, 3.2}, {26, 33, 8.001}, {0.125, 44.875, 0.25}};
    const Drawing everything = [&](DrawingSurface &s) {
        for (int shape = Line; shape <= Text; ++shape) {
            s.setLayer(DrawLayer(shape % 5));
            s.setStyle({QColor::fromHsv(shape * 40, 255, 200), shape % 2 ? 0.0 : 0.4});
            s.setFontFamily(shape % 2 ? QString() : u"DejaVu Serif"_s);
            drawShape(s, shape);
        }
        s.setLayer(DrawLayer::Cut);
        s.setStyle({});
        for (const QVector<double> &h : holes)
            s.circle({h[0], h[1]}, h[2] / 2);
    };
    QTemporaryDir dir;
    QStringList files;
    for (const bool outlines : {false, true}) {
        files.append(dir.filePath(u"every%1.dxf"_s.arg(outlines)));
        QFile dxf(files.last()), svg(dir.filePath(u"every%1.svg"_s.arg(outlines)));
        QVERIFY(dxf.open(QIODevice::WriteOnly) && svg.open(QIODevice::WriteOnly));
        dxf.write(dxfOf(everything, outlines));
        svg.write(svgOf(everything, outlines));
        svg.close();
        QCOMPARE(QProcess::execute(u"xmllint"_s, {u"--noout"_s, svg.fileName()}), 0);
    }
    const QJsonArray read = QJsonDocument::fromJson(run(u"/usr/bin/python3"_s, QStringList{u"-c"_s, QString::fromLatin1(R"py(
import ezdxf, json, sys
out = []
for f in sys.argv[1:]:
    d = ezdxf.readfile(f)
    out.append([d.audit().has_errors, sorted(l.dxf.name for l in d.layers if l.dxf.name != "Defpoints"),
                [[e.dxf.center.x, e.dxf.center.y, 2 * e.dxf.radius] for e in d.modelspace() if e.dxftype() == "CIRCLE"]])
print(json.dumps(out))
)py")} + files)).array();
    QCOMPARE(read.size(), 2);
    for (const QJsonValue &file : read) {
        QCOMPARE(file[0].toBool(), false);
        QCOMPARE(file[1].toVariant().toStringList(), (QStringList{u"0"_s, u"BANDS"_s, u"CUT"_s, u"MARKS"_s, u"OUTLINE"_s, u"TEXT"_s}));
        const QJsonArray circles = file[2].toArray();
        QCOMPARE(circles.size(), holes.size() + 1); // and the plain hole of the shapes
        for (int k = 0; k < holes.size(); ++k)
            for (int c = 0; c < 3; ++c) // DXF's Y axis points up
                QVERIFY(std::fabs(circles[k + 1][c].toDouble() - (c == 1 ? kCardHeight - holes[k][c] : holes[k][c])) < 1e-3);
    }
}

void TestMakerExports::outlineTextLeavesNoText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("outlines");
    for (const QString &name : {u"card.svg"_s, u"card.dxf"_s, u"card.pdf"_s}) {
        QTest::addRow("%s as text", qPrintable(name)) << name << false;
        QTest::addRow("%s as outlines", qPrintable(name)) << name << true;
    }
}

void TestMakerExports::outlineTextLeavesNoText()
{
    QFETCH(QString, name);
    QFETCH(bool, outlines);
    QTemporaryDir dir;
    ExportOptions options;
    options.textOutlines = outlines;
    QVERIFY(exportDial(labelledCard(), dir.filePath(name), options).ok());
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    qsizetype texts = 0;
    if (name.endsWith(u"svg"))
        texts = data.count("<text");
    else if (name.endsWith(u"dxf"))
        texts = dxfEntities(data).filter(QRegularExpression(u"^TEXT "_s)).size();
    else
        texts = run(u"pdffonts"_s, {file.fileName()}).count('\n') - 2; // below two heading lines, a line per font
    QCOMPARE(texts > 0, !outlines);
    // The texts are still there, as shapes: fills in the SVG, hatches in the DXF.
    if (outlines && !name.endsWith(u"pdf"))
        QCOMPARE(name.endsWith(u"svg") ? data.count("fill-rule=\"evenodd\"") : dxfEntities(data).filter(u"HATCH"_s).size(), 6 + 1);
}

void TestMakerExports::outlineTextCoversDrawnText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("viaSvg");
    for (const bool svg : {false, true}) {
        const char *how = svg ? "SVG" : "PDF";
        QTest::addRow("%s label 72 pt", how) << u"Big"_s << 72.0 << QString() << svg;
        QTest::addRow("%s digits 8 pt", how) << u"0 10 20 30 mA"_s << 8.0 << QString() << svg;
        QTest::addRow("%s serif units 20 pt", how) << u"\u00b5A \u03a9 kV"_s << 20.0 << u"DejaVu Serif"_s << svg;
    }
}

void TestMakerExports::outlineTextCoversDrawnText()
{
    QFETCH(QString, text);
    QFETCH(double, points);
    QFETCH(QString, family);
    QFETCH(bool, viaSvg);
    constexpr double dpi = 600;
    // The painter's font gives the family on the painter surfaces; the SVG is told it.
    const QFont font(family.isEmpty() ? u"DejaVu Sans"_s : family);
    const auto draw = [&](DrawingSurface &s, bool tellFamily) {
        if (tellFamily)
            s.setFontFamily(family);
        s.setFontSize(points);
        s.text({4, 2}, text);
    };
    QImage drawn = blankCard(dpi), outlined = blankCard(dpi);
    {
        QPainter painter(&drawn);
        painter.setFont(font);
        PainterSurface surface(painter, dpi);
        draw(surface, false);
    }
    QPainter painter(&outlined);
    if (viaSvg) {
        QSvgRenderer(svgOf([&](DrawingSurface &s) { draw(s, true); }, true)).render(&painter);
    } else {
        painter.setFont(font);
        PainterSurface surface(painter, dpi);
        OutlineTextSurface outlines(surface, painter, font);
        draw(outlines, false);
    }
    const double overlap = inkOverlap(drawn, outlined);
    QVERIFY2(overlap > 0.9, qPrintable(QString::number(overlap)));
}

void TestMakerExports::cropMarksSitOutsideTheCorners_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("outX");
    QTest::addColumn<double>("outY");
    for (const double x : {0.0, 52.0})
        for (const double y : {0.0, 45.0}) {
            QTest::addRow("(%g, %g) across", x, y) << x << y << (x ? 1.0 : -1.0) << 0.0;
            QTest::addRow("(%g, %g) down", x, y) << x << y << 0.0 << (y ? 1.0 : -1.0);
        }
}

void TestMakerExports::cropMarksSitOutsideTheCorners()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, outX);
    QFETCH(double, outY);
    constexpr double dpi = 300;
    static QTemporaryDir dir;
    static QImage pages[2]; // without and with marks, on a page of the card plus 10 mm all round
    for (int marks = 0; marks < 2 && pages[1].isNull(); ++marks) {
        ExportOptions options;
        options.page = ExportPage::Card;
        options.cropMarks = marks;
        const QString pdf = dir.filePath(u"marks%1.pdf"_s.arg(marks));
        QVERIFY(exportDial(labelledCard(), pdf, options).ok());
        run(u"pdftoppm"_s, {u"-r"_s, u"300"_s, u"-png"_s, u"-singlefile"_s, pdf, pdf});
        QVERIFY(pages[marks].load(pdf + u".png"_s));
    }
    const auto inkAt = [&](const QImage &page, double alongMm) {
        const QPointF p = QPointF(x + 10 + outX * alongMm, y + 10 + outY * alongMm) * (dpi / 25.4);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (qGray(page.pixel(qRound(p.x()) + dx, qRound(p.y()) + dy)) < 160)
                    return true;
        return false;
    };
    // From 2 to 5 mm beyond the corner along the edge's line; nothing in the gap or past the end.
    QVERIFY(inkAt(pages[1], 2.3) && inkAt(pages[1], 3.5) && inkAt(pages[1], 4.7));
    QVERIFY(!inkAt(pages[1], 1.0) && !inkAt(pages[1], 1.7) && !inkAt(pages[1], 5.4));
    QVERIFY(!inkAt(pages[0], 3.5));
}

void TestMakerExports::cropMarksOnlyOnPdf()
{
    QTemporaryDir dir;
    ExportOptions options;
    options.cropMarks = true;
    for (const QString &name : {u"card.svg"_s, u"card.png"_s, u"card.dxf"_s, u"card.vlt"_s}) {
        const ExportError error = exportDial(labelledCard(), dir.filePath(name), options);
        QCOMPARE(error.kind, ExportError::Kind::BadRequest);
        QVERIFY2(error.message.contains(u"PDF"_s), qPrintable(error.message));
        QVERIFY(!QFile::exists(dir.filePath(name)));
    }
}

QTEST_MAIN(TestMakerExports)
#include "test_maker_exports.moc"
