// Exports for cutters and engravers: layers, colours and widths read back from SVG and DXF,
// holes from DXF by ezdxf, texts as outlines, and crop marks on the PDF.

#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/dxfsurface.h"
#include "render/outlinetextsurface.h"
#include "render/paintersurface.h"
#include "render/svgsurface.h"

#include <QBuffer>
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

namespace {

using Drawing = std::function<void(DrawingSurface &)>;
enum Shape { Line, Box, Arc, Circle, FilledSector, CutSector, Text };

void drawShape(DrawingSurface &s, int shape)
{
    switch (shape) {
    case Line: return s.line({10, 10}, {20, 30});
    case Box: return s.box({0, 0}, {52, 45});
    case Arc: return s.arc({26, 33}, 20, M_PI / 4, 3 * M_PI / 4);
    case Circle: return s.circle({5, 40}, 1.6);
    case FilledSector: case CutSector: return s.sector({26, 33}, 18, 22, M_PI / 4, M_PI / 2, shape == FilledSector);
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

// Drawn twice, as the exporter does; the card is 100 mm high.
QByteArray dxfOf(const Drawing &draw, bool outlines = false)
{
    DxfSurface measured(100, QFont(u"DejaVu Sans"_s), outlines), dxf(100, QFont(u"DejaVu Sans"_s), outlines);
    draw(measured);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    dxf.startFile(out, measured);
    draw(dxf);
    dxf.finishFile();
    return out.data();
}

// Each SVG layer's label, then its drawn elements as "LABEL element" plus stroke, stroke-width and
// fill where given.
QStringList svgItems(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    QStringList items;
    QString layer;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() == u"svg" || xml.name() == u"title" ||
            xml.name() == u"desc")
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"g") {
            layer = a.value(u"http://www.inkscape.org/namespaces/inkscape"_s, u"label"_s).toString();
            items.append(layer);
            continue;
        }
        items.append(layer + u' ' + xml.name().toString());
        for (const QString &name : {u"stroke"_s, u"stroke-width"_s, u"fill"_s})
            if (a.hasAttribute(name))
                items.last() += u' ' + name + u'=' + a.value(name).toString();
    }
    return xml.hasError() ? QStringList{xml.errorString()} : items;
}

// The DXF's entities as "TYPE LAYER" plus 420 (true colour) and 43 (width) where given.
QStringList dxfEntities(const QByteArray &dxf)
{
    const QList<QByteArray> lines = dxf.split('\n');
    QStringList entities;
    bool inEntities = false;
    for (qsizetype k = 0; k + 1 < lines.size(); k += 2) {
        const int code = lines[k].trimmed().toInt();
        const QString value = QString::fromLatin1(lines[k + 1].trimmed());
        inEntities = (inEntities || (code == 2 && value == u"ENTITIES")) && !(code == 0 && value == u"ENDSEC");
        if (inEntities && code == 0)
            entities.append(value);
        else if (inEntities && (code == 8 || code == 420 || code == 43))
            entities.last() += code == 8 ? u' ' + value : u" %1=%2"_s.arg(code).arg(value);
    }
    return entities;
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qWarning().noquote() << program << process.readAllStandardError();
    return process.readAllStandardOutput();
}

// ezdxf's audit, the layers, and each CIRCLE's centre and diameter, per file.
const char kReadDxf[] = R"py(
import ezdxf, json, sys
out = []
for f in sys.argv[1:]:
    d = ezdxf.readfile(f)
    out.append([d.audit().has_errors, sorted(l.dxf.name for l in d.layers if l.dxf.name != "Defpoints"),
                [[e.dxf.center.x, e.dxf.center.y, 2 * e.dxf.radius] for e in d.modelspace().query("CIRCLE")]])
print(json.dumps(out))
)py";

// A shape drawn on a layer in a style, and how SVG (element and attributes) and DXF (entity, layer,
// true colour and width) hold it.
struct Styled {
    int shape;
    DrawLayer layer;
    const char *colour;
    double width;
    QString svgItem, dxfEntity;
};

// Text drawn, and drawn as outlines through the SVG (else as the PDF draws them).
struct Outlined {
    QString text;
    double points;
    QString family;
    bool viaSvg;
};

} // namespace

Q_DECLARE_METATYPE(Styled)
Q_DECLARE_METATYPE(Outlined)

class TestMakerExports : public QObject
{
    Q_OBJECT

private slots:
    void layersColoursAndWidths_data()
    {
        QTest::addColumn<Styled>("c");
        const auto marks = DrawLayer::Marks, cut = DrawLayer::Cut;
        QTest::newRow("tick") << Styled{Line, marks, "#000000", 0, u"path"_s, u"LINE MARKS"_s};
        QTest::newRow("red bold tick") << Styled{Line, marks, "#FF0000", 0.5, u"path stroke=#FF0000 stroke-width=0.5"_s,
                                                 u"LWPOLYLINE MARKS 420=16711680 43=0.5"_s};
        QTest::newRow("arc") << Styled{Arc, marks, "#000000", 0, u"path"_s, u"ARC MARKS"_s};
        QTest::newRow("blue 5 mm arc") << Styled{Arc, marks, "#0000FF", 5, u"path stroke=#0000FF stroke-width=5"_s,
                                                 u"LWPOLYLINE MARKS 420=255 43=5"_s};
        QTest::newRow("card edge") << Styled{Box, DrawLayer::Outline, "#000000", 0, u"rect"_s, u"LINE OUTLINE"_s};
        QTest::newRow("hole") << Styled{Circle, cut, "#000000", 0, u"circle"_s, u"CIRCLE CUT"_s};
        QTest::newRow("green ring") << Styled{Circle, marks, "#00FF00", 2, u"circle stroke=#00FF00 stroke-width=2"_s,
                                              u"LWPOLYLINE MARKS 420=65280 43=2"_s};
        QTest::newRow("red band") << Styled{FilledSector, DrawLayer::Bands, "#E00000", 0,
                                            u"path stroke=none fill=#E00000"_s, u"HATCH BANDS 420=14680064"_s};
        QTest::newRow("mirror window")
            << Styled{CutSector, cut, "#000000", 0.3, u"path stroke-width=0.3"_s, u"LWPOLYLINE CUT 43=0.3"_s};
        QTest::newRow("grey label") << Styled{Text, DrawLayer::Text, "#808080", 0, u"text stroke=none fill=#808080"_s,
                                              u"TEXT TEXT 420=8421504"_s};
    }

    void layersColoursAndWidths()
    {
        QFETCH(Styled, c);
        const Drawing draw = [&](DrawingSurface &s) {
            s.setLayer(c.layer);
            s.setStyle({QColor(QLatin1String(c.colour)), c.width});
            drawShape(s, c.shape);
        };
        // Every layer once, bands at the bottom; the item in its own.
        QStringList expected{u"BANDS"_s, u"OUTLINE"_s, u"CUT"_s, u"MARKS"_s, u"TEXT"_s};
        const QString layer = c.dxfEntity.section(u' ', 1, 1);
        expected.insert(expected.indexOf(layer) + 1, layer + u' ' + c.svgItem);
        QCOMPARE(svgItems(svgOf(draw)), expected);
        QCOMPARE(dxfEntities(dxfOf(draw)).value(0), c.dxfEntity);
    }

    // The sample card of every feature, with texts as text and as outlines: well-formed, read by
    // ezdxf without complaint, each item on its layer in its style, the holes where they are.
    void styledCardExportsEndToEnd()
    {
        const DialReadResult read =
            loadDialFile(QStringLiteral(VERNALITH_TEST_DATA "/bands-holes.vlt"), DialDesign::startup().dimensions);
        QVERIFY(read.ok());
        QTemporaryDir dir;
        QStringList arguments{u"-c"_s, QString::fromLatin1(kReadDxf)};
        for (const bool outlines : {false, true}) {
            const auto path = [&](const char *format) {
                return dir.filePath(u"card%1.%2"_s.arg(outlines).arg(QLatin1String(format)));
            };
            for (const char *format : {"svg", "dxf", "pdf"})
                QVERIFY(exportDial(read.design, path(format), {ExportPage::A4, 600, {}, outlines, false}).ok());
            QCOMPARE(QProcess::execute(u"xmllint"_s, {u"--noout"_s, path("svg")}), 0);
            arguments.append(path("dxf"));
            QFile svgFile(path("svg")), dxfFile(path("dxf"));
            QVERIFY(svgFile.open(QIODevice::ReadOnly) && dxfFile.open(QIODevice::ReadOnly));
            const QStringList svg = svgItems(svgFile.readAll());
            const QStringList dxf = dxfEntities(dxfFile.readAll());
            // Six digits and a label, as text or as shapes: fills in the SVG, hatches in the DXF, no font in the PDF.
            const QString digits = outlines ? u"path"_s : u"text"_s, digitEntity = outlines ? u"HATCH"_s : u"TEXT"_s;
            const struct {
                QString svgItem;
                int svgCount;
                QString dxfEntity;
                int dxfCount;
            } items[] = {
                {u"BANDS path stroke=none fill=#FF0000"_s, 1, u"HATCH BANDS 420=16711680"_s, 1}, // the red band
                {u"CUT path"_s, 5, u"LWPOLYLINE CUT"_s, 1}, // the window, and the holes' crosses
                {u"CUT circle"_s, 2, u"CIRCLE CUT"_s, 2},
                {u"MARKS path stroke=#000080 stroke-width=0.4"_s, 11, u"LWPOLYLINE MARKS 420=128 43=0.4"_s, 11},
                {u"MARKS path stroke=#C00000 stroke-width=1"_s, 3, u"LWPOLYLINE MARKS 420=12582912 43=1"_s, 3},
                {u"TEXT %1 stroke=none fill=#00008B"_s.arg(digits), 6, digitEntity + u" TEXT 420=139"_s, 6},
                {u"TEXT %1 stroke=none fill=#006400"_s.arg(digits), 1, digitEntity + u" TEXT 420=25600"_s, 1},
            };
            for (const auto &item : items) {
                QVERIFY2(svg.count(item.svgItem) == item.svgCount, qPrintable(item.svgItem));
                QVERIFY2(dxf.count(item.dxfEntity) == item.dxfCount, qPrintable(item.dxfEntity));
            }
            QCOMPARE(run(u"pdffonts"_s, {path("pdf")}).count('\n') > 2, !outlines);
        }
        const QJsonArray files = QJsonDocument::fromJson(run(u"/usr/bin/python3"_s, arguments)).array();
        QCOMPARE(files.size(), 2);
        for (const QJsonValue &file : files) {
            QCOMPARE(file[0].toBool(), false);
            QCOMPARE(file[1].toVariant().toStringList(),
                     (QStringList{u"0"_s, u"BANDS"_s, u"CUT"_s, u"MARKS"_s, u"OUTLINE"_s, u"TEXT"_s}));
            // Holes of 3 mm at (4, 4) and (48, 4); DXF's Y axis points up from the card's foot.
            QCOMPARE(file[2].toArray(), (QJsonArray{QJsonArray{4, 41, 3}, QJsonArray{48, 41, 3}}));
        }
    }

    void outlineTextCoversDrawnText_data()
    {
        QTest::addColumn<Outlined>("c");
        for (const bool svg : {false, true}) {
            const char *via = svg ? "SVG" : "PDF";
            QTest::addRow("%s label 72 pt", via) << Outlined{u"Big"_s, 72, u"DejaVu Sans"_s, svg};
            QTest::addRow("%s digits 8 pt", via) << Outlined{u"0 10 20 30 mA"_s, 8, u"DejaVu Sans"_s, svg};
            QTest::addRow("%s serif 20 pt", via) << Outlined{u"\u00b5A \u03a9 kV"_s, 20, u"DejaVu Serif"_s, svg};
        }
    }

    // Outlines where the text would be drawn: nearly all ink shared, in a 600 dpi picture.
    void outlineTextCoversDrawnText()
    {
        QFETCH(Outlined, c);
        constexpr int width = 2362, height = 1200; // 100 x 50.8 mm
        const auto draw = [&](DrawingSurface &s) {
            s.setFontFamily(c.family);
            s.setFontSize(c.points);
            s.text({4, 2}, c.text);
        };
        QImage images[2];
        for (int outlined = 0; outlined < 2; ++outlined) {
            images[outlined] = QImage(width, height, QImage::Format_RGB32);
            images[outlined].fill(Qt::white);
            QPainter painter(&images[outlined]);
            if (outlined && c.viaSvg) {
                QSvgRenderer(svgOf(draw, true)).render(&painter, QRectF(0, 0, width, width));
                continue;
            }
            painter.setFont(QFont(c.family)); // the family as painter surfaces take it
            PainterSurface surface(painter, 600);
            OutlineTextSurface outlines(surface, painter, QFont(c.family));
            draw(outlined ? static_cast<DrawingSurface &>(outlines) : surface);
        }
        qint64 both = 0, either = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool a = qGray(images[0].pixel(x, y)) < 128, b = qGray(images[1].pixel(x, y)) < 128;
                both += a && b;
                either += a || b;
            }
        QVERIFY2(both > 0.9 * either, qPrintable(u"%1 of %2"_s.arg(both).arg(either)));
    }

    void cropMarksSitOutsideTheCornersOfPdfsOnly()
    {
        QTemporaryDir dir;
        const auto withMarks = [](ExportPage page, bool marks) { return ExportOptions{page, 600, {}, false, marks}; };
        const ExportOptions a4Marks = withMarks(ExportPage::A4, true);
        QImage pages[2]; // without and with marks, on a page of the card plus 10 mm all round, at 300 dpi
        for (int marks = 0; marks < 2; ++marks) {
            const QString pdf = dir.filePath(u"marks%1.pdf"_s.arg(marks));
            QVERIFY(exportDial(DialDesign::startup(), pdf, withMarks(ExportPage::Card, marks == 1)).ok());
            run(u"pdftoppm"_s, {u"-r"_s, u"300"_s, u"-png"_s, u"-singlefile"_s, pdf, pdf});
            QVERIFY(pages[marks].load(pdf + u".png"_s));
        }
        for (const QPointF corner : {QPointF(0, 0), QPointF(52, 0), QPointF(0, 45), QPointF(52, 45)}) {
            for (const QPointF out : {QPointF(corner.x() ? 1 : -1, 0), QPointF(0, corner.y() ? 1 : -1)}) {
                const auto inkAt = [&](int page, double alongMm) {
                    const QPoint p = ((corner + QPointF(10, 10) + out * alongMm) * (300 / 25.4)).toPoint();
                    for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                        if (qGray(pages[page].pixel(p + d)) < 160)
                            return true;
                    return false;
                };
                // From 2 to 5 mm beyond the corner along the edge's line; nothing in the gap or past the end.
                QVERIFY2(inkAt(1, 2.3) && inkAt(1, 3.5) && inkAt(1, 4.7) && !inkAt(0, 3.5) && !inkAt(1, 1.0) &&
                             !inkAt(1, 1.7) && !inkAt(1, 5.4),
                         qPrintable(u"corner %1, %2 towards %3, %4"_s.arg(corner.x()).arg(corner.y())
                                        .arg(out.x()).arg(out.y())));
            }
        }
        for (const QString &name : {u"card.svg"_s, u"card.png"_s, u"card.dxf"_s, u"card.vlt"_s}) {
            const ExportError error = exportDial(DialDesign::startup(), dir.filePath(name), a4Marks);
            QVERIFY2(error.kind == ExportError::Kind::BadRequest && error.message.contains(u"PDF"_s), qPrintable(name));
        }
        DialDesign wide = DialDesign::startup(); // fits A4 10 mm in, but its marks would not
        wide.dimension(Dimension::CardWidth) = u"197"_s;
        const QString pdf = dir.filePath(u"wide.pdf"_s);
        QCOMPARE(exportDial(wide, pdf, a4Marks).kind, ExportError::Kind::PageTooSmall);
        QVERIFY(exportDial(wide, pdf, withMarks(ExportPage::A4, false)).ok());
    }
};

QTEST_MAIN(TestMakerExports)
#include "test_maker_exports.moc"
