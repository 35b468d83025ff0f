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

Q_DECLARE_METATYPE(vernalith::DrawLayer)

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

// Each SVG layer's label, then its drawn elements as "element" plus stroke, stroke-width and fill where given.
QStringList svgItems(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    QStringList items;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() == u"svg")
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        items.append(xml.name() == u"g" ? a.value(u"http://www.inkscape.org/namespaces/inkscape"_s, u"label"_s).toString()
                                        : xml.name().toString());
        for (const QString &name : {u"stroke"_s, u"stroke-width"_s, u"fill"_s})
            if (xml.name() != u"g" && a.hasAttribute(name))
                items.last() += u' ' + name + u'=' + a.value(name).toString();
    }
    return xml.hasError() ? QStringList{xml.errorString()} : items.mid(2); // after title and desc
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
                [[e.dxf.center.x, e.dxf.center.y, 2 * e.dxf.radius] for e in d.modelspace() if e.dxftype() == "CIRCLE"]])
print(json.dumps(out))
)py";

DialDesign labelledCard() // six digits and a label
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleDigits) = {{u"5"_s, u"0"_s, u"100"_s, u"0"_s, u"24"_s, u"6"_s}};
    d.table(TableKind::FaceLabels) = {{u"26"_s, u"40"_s, u"mA"_s, u"8"_s}};
    return d;
}

} // namespace

class TestMakerExports : public QObject
{
    Q_OBJECT

private slots:
    void layersColoursAndWidths_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<DrawLayer>("layer");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("svgItem");
        QTest::addColumn<QString>("dxfEntity");
        const QString black = u"#000000"_s;
        QTest::newRow("tick") << int(Line) << DrawLayer::Marks << black << 0.0 << u"path"_s << u"LINE MARKS"_s;
        QTest::newRow("red bold tick") << int(Line) << DrawLayer::Marks << u"#FF0000"_s << 0.5
                                       << u"path stroke=#FF0000 stroke-width=0.5"_s << u"LWPOLYLINE MARKS 420=16711680 43=0.5"_s;
        QTest::newRow("arc") << int(Arc) << DrawLayer::Marks << black << 0.0 << u"path"_s << u"ARC MARKS"_s;
        QTest::newRow("blue 5 mm arc") << int(Arc) << DrawLayer::Marks << u"#0000FF"_s << 5.0
                                       << u"path stroke=#0000FF stroke-width=5"_s << u"LWPOLYLINE MARKS 420=255 43=5"_s;
        QTest::newRow("card edge") << int(Box) << DrawLayer::Outline << black << 0.0 << u"rect"_s << u"LINE OUTLINE"_s;
        QTest::newRow("hole") << int(Circle) << DrawLayer::Cut << black << 0.0 << u"circle"_s << u"CIRCLE CUT"_s;
        QTest::newRow("green 2 mm ring") << int(Circle) << DrawLayer::Marks << u"#00FF00"_s << 2.0
                                         << u"circle stroke=#00FF00 stroke-width=2"_s << u"LWPOLYLINE MARKS 420=65280 43=2"_s;
        QTest::newRow("red band") << int(FilledSector) << DrawLayer::Bands << u"#E00000"_s << 0.0
                                  << u"path stroke=none fill=#E00000"_s << u"HATCH BANDS 420=14680064"_s;
        QTest::newRow("mirror window") << int(CutSector) << DrawLayer::Cut << black << 0.3 << u"path stroke-width=0.3"_s
                                       << u"LWPOLYLINE CUT 43=0.3"_s;
        QTest::newRow("grey label") << int(Text) << DrawLayer::Text << u"#808080"_s << 0.0
                                    << u"text stroke=none fill=#808080"_s << u"TEXT TEXT 420=8421504"_s;
    }

    void layersColoursAndWidths()
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
        // Every layer once, bands at the bottom; the item in its own.
        QStringList expected{u"BANDS"_s, u"OUTLINE"_s, u"CUT"_s, u"MARKS"_s, u"TEXT"_s};
        expected.insert(expected.indexOf(dxfEntity.section(u' ', 1, 1)) + 1, svgItem);
        QCOMPARE(svgItems(svgOf(draw)), expected);
        QCOMPARE(dxfEntities(dxfOf(draw)).value(0), dxfEntity);
    }

    void everyFeatureAuditsCleanWithHolesInPlace()
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
        QStringList arguments{u"-c"_s, QString::fromLatin1(kReadDxf)};
        for (const bool outlines : {false, true}) {
            QFile dxf(dir.filePath(u"every%1.dxf"_s.arg(outlines))), svg(dir.filePath(u"every%1.svg"_s.arg(outlines)));
            QVERIFY(dxf.open(QIODevice::WriteOnly) && svg.open(QIODevice::WriteOnly));
            dxf.write(dxfOf(everything, outlines));
            svg.write(svgOf(everything, outlines));
            svg.close();
            QCOMPARE(QProcess::execute(u"xmllint"_s, {u"--noout"_s, svg.fileName()}), 0);
            arguments.append(dxf.fileName());
        }
        const QJsonArray read = QJsonDocument::fromJson(run(u"/usr/bin/python3"_s, arguments)).array();
        QCOMPARE(read.size(), 2);
        for (const QJsonValue &file : read) {
            QCOMPARE(file[0].toBool(), false);
            QCOMPARE(file[1].toVariant().toStringList(), (QStringList{u"0"_s, u"BANDS"_s, u"CUT"_s, u"MARKS"_s, u"OUTLINE"_s, u"TEXT"_s}));
            QCOMPARE(file[2].toArray().size(), holes.size() + 1); // after the shapes' own circle
            for (int k = 0; k < holes.size(); ++k)
                for (int c = 0; c < 3; ++c) // DXF's Y axis points up
                    QVERIFY(std::fabs(file[2][k + 1][c].toDouble() - (c == 1 ? 100 - holes[k][c] : holes[k][c])) < 1e-3);
        }
    }

    void outlineTextLeavesNoText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("outlines");
        for (const QString &name : {u"card.svg"_s, u"card.dxf"_s, u"card.pdf"_s})
            for (const bool outlines : {false, true})
                QTest::addRow("%s%s", qPrintable(name), outlines ? " as outlines" : "") << name << outlines;
    }

    void outlineTextLeavesNoText()
    {
        QFETCH(QString, name);
        QFETCH(bool, outlines);
        QTemporaryDir dir;
        QVERIFY(exportDial(labelledCard(), dir.filePath(name), {ExportPage::A4, 600, {}, outlines, false}).ok());
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        // Seven texts as text, or as shapes: fills in the SVG, hatches in the DXF, no font in the PDF.
        const QStringList dxf = dxfEntities(data);
        const QVector<qsizetype> counts = name.endsWith(u"svg") ? QVector<qsizetype>{data.count("<text"), data.count("evenodd")}
                                        : name.endsWith(u"dxf") ? QVector<qsizetype>{dxf.filter(u"TEXT "_s).size(), dxf.filter(u"HATCH"_s).size()}
                                                                : QVector<qsizetype>{run(u"pdffonts"_s, {file.fileName()}).count('\n') > 2 ? 7 : 0, 0};
        QCOMPARE(counts[0], outlines ? 0 : 7);
        QCOMPARE(counts[1], outlines && !name.endsWith(u"pdf") ? 7 : 0);
    }

    void outlineTextCoversDrawnText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("viaSvg");
        for (const bool svg : {false, true}) {
            QTest::addRow("%s label 72 pt", svg ? "SVG" : "PDF") << u"Big"_s << 72.0 << u"DejaVu Sans"_s << svg;
            QTest::addRow("%s digits 8 pt", svg ? "SVG" : "PDF") << u"0 10 20 30 mA"_s << 8.0 << u"DejaVu Sans"_s << svg;
            QTest::addRow("%s serif 20 pt", svg ? "SVG" : "PDF") << u"\u00b5A \u03a9 kV"_s << 20.0 << u"DejaVu Serif"_s << svg;
        }
    }

    // Outlines where the text would be drawn: nearly all ink shared, in a 600 dpi picture.
    void outlineTextCoversDrawnText()
    {
        QFETCH(QString, text);
        QFETCH(double, points);
        QFETCH(QString, family);
        QFETCH(bool, viaSvg);
        constexpr int width = 2362, height = 1200; // 100 x 50.8 mm
        const auto draw = [&](DrawingSurface &s) {
            s.setFontFamily(family);
            s.setFontSize(points);
            s.text({4, 2}, text);
        };
        QImage images[2];
        for (int outlined = 0; outlined < 2; ++outlined) {
            images[outlined] = QImage(width, height, QImage::Format_RGB32);
            images[outlined].fill(Qt::white);
            QPainter painter(&images[outlined]);
            if (outlined && viaSvg) {
                QSvgRenderer(svgOf(draw, true)).render(&painter, QRectF(0, 0, width, width));
                continue;
            }
            painter.setFont(QFont(family)); // the family as painter surfaces take it
            PainterSurface surface(painter, 600);
            OutlineTextSurface outlines(surface, painter, QFont(family));
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

    void styledCardExportsEndToEnd_data()
    {
        QTest::addColumn<QString>("svgItem");
        QTest::addColumn<int>("svgCount");
        QTest::addColumn<QString>("dxfEntity");
        QTest::addColumn<int>("dxfCount");
        QTest::newRow("red band") << u"BANDS path stroke=none fill=#FF0000"_s << 1 << u"HATCH BANDS 420=16711680"_s << 1;
        QTest::newRow("window, hole crosses") << u"CUT path"_s << 5 << u"LWPOLYLINE CUT"_s << 1;
        QTest::newRow("holes") << u"CUT circle"_s << 2 << u"CIRCLE CUT"_s << 2;
        QTest::newRow("navy ticks") << u"MARKS path stroke=#000080 stroke-width=0.4"_s << 11 << u"LWPOLYLINE MARKS 420=128 43=0.4"_s << 11;
        QTest::newRow("red main ticks") << u"MARKS path stroke=#C00000 stroke-width=1"_s << 3 << u"LWPOLYLINE MARKS 420=12582912 43=1"_s << 3;
        QTest::newRow("digits") << u"TEXT text stroke=none fill=#00008B"_s << 6 << u"TEXT TEXT 420=139"_s << 6;
    }

    void styledCardExportsEndToEnd()
    {
        QFETCH(QString, svgItem);
        QFETCH(int, svgCount);
        QFETCH(QString, dxfEntity);
        QFETCH(int, dxfCount);
        const DialReadResult read = loadDialFile(QStringLiteral(VERNALITH_TEST_DATA "/bands-holes.vlt"), DialDesign::startup().dimensions);
        QVERIFY(read.ok());
        QBuffer svg, dxf;
        QVERIFY(svg.open(QIODevice::WriteOnly) && dxf.open(QIODevice::WriteOnly));
        QVERIFY(writeDialExport(read.design, ExportFormat::Svg, svg).ok() && writeDialExport(read.design, ExportFormat::Dxf, dxf).ok());
        QStringList inLayers; // "LAYER element ..."
        QString layer;
        for (const QString &item : svgItems(svg.data())) {
            if (item.front().isUpper()) // a layer's label
                layer = item;
            else
                inLayers.append(layer + u' ' + item);
        }
        QCOMPARE(inLayers.count(svgItem), svgCount);
        QCOMPARE(dxfEntities(dxf.data()).count(dxfEntity), dxfCount);
    }

    void cropMarksSitOutsideTheCornersOfPdfsOnly()
    {
        QTemporaryDir dir;
        QImage pages[2]; // without and with marks, on a page of the card plus 10 mm all round, at 300 dpi
        for (int marks = 0; marks < 2; ++marks) {
            const QString pdf = dir.filePath(u"marks%1.pdf"_s.arg(marks));
            QVERIFY(exportDial(labelledCard(), pdf, {ExportPage::Card, 600, {}, false, marks == 1}).ok());
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
                         qPrintable(u"corner %1, %2 towards %3, %4"_s.arg(corner.x()).arg(corner.y()).arg(out.x()).arg(out.y())));
            }
        }
        for (const QString &name : {u"card.svg"_s, u"card.png"_s, u"card.dxf"_s, u"card.vlt"_s}) {
            const ExportError error = exportDial(labelledCard(), dir.filePath(name), {ExportPage::A4, 600, {}, false, true});
            QVERIFY(error.kind == ExportError::Kind::BadRequest && error.message.contains(u"PDF"_s));
        }
        DialDesign wide = labelledCard(); // fits A4 10 mm in, but its marks would not
        wide.dimension(Dimension::CardWidth) = u"197"_s;
        QCOMPARE(exportDial(wide, dir.filePath(u"wide.pdf"_s), {ExportPage::A4, 600, {}, false, true}).kind, ExportError::Kind::PageTooSmall);
        QVERIFY(exportDial(wide, dir.filePath(u"wide.pdf"_s), {ExportPage::A4, 600, {}, false, false}).ok());
    }
};

QTEST_MAIN(TestMakerExports)
#include "test_maker_exports.moc"
