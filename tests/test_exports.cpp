// Every export at true size, measured back with outside tools (poppler, Python's ezdxf) and from the pixels;
// failures leave no file behind. For cutters and engravers: layers, styles, holes, outlined texts, crop marks.

#include "files/dialfile.h"
#include "namedcases.h"
#include "render/dialexport.h"
#include "render/outlinetextsurface.h"
#include "render/paintersurface.h"
#include "render/svgsurface.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <functional>

using namespace vernalith;
using namespace Qt::StringLiterals;

namespace {

constexpr double kPtToMm = 25.4 / 72.0;

// The dial file format's example card with the renderer's worked tickmark row (10, 22, 18) and a
// 72 pt label to measure text by.
DialDesign exportDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleArcs) = {{u"22"_s}, {u"20"_s}};
    d.table(TableKind::ScaleTickmarks) = {{u"10"_s, u"22"_s, u"18"_s}};
    d.table(TableKind::ScaleDigits) = {{u"5"_s, u"0"_s, u"100"_s, u"0"_s, u"24"_s, u"6"_s}};
    d.table(TableKind::FaceLabels) = {{u"26"_s, u"40"_s, u"mA"_s, u"8"_s}, {u"4"_s, u"2"_s, u"Big"_s, u"72"_s}};
    return d;
}

// DejaVu Sans's proportions in thousandths of an em, measured where rounding does not matter.
QFontMetricsF perMille()
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(1000);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font);
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qWarning().noquote() << program << "failed:" << process.errorString() << process.readAllStandardError();
    return process.readAllStandardOutput();
}

QVector<double> numbers(const QByteArray &text, const QString &pattern)
{
    const QRegularExpression expression(pattern);
    const QRegularExpressionMatch match = expression.match(QString::fromUtf8(text));
    QVector<double> result;
    for (int k = 1; k <= expression.captureCount(); ++k)
        result.append(match.captured(k).toDouble());
    return result;
}

bool near(const QVector<double> &measured, const QVector<double> &expected, double tolerance = 0.05 /* mm */)
{
    bool ok = measured.size() == expected.size();
    for (int k = 0; ok && k < measured.size(); ++k)
        ok = std::fabs(measured[k] - expected[k]) <= tolerance;
    if (!ok)
        qWarning() << "measured" << measured << "expected" << expected;
    return ok;
}

// The box around the dark pixels, in mm from the image's corner: left, top, width, height.
QVector<double> inkMm(const QImage &image, double dpi)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return {box.x() * 25.4 / dpi, box.y() * 25.4 / dpi, box.width() * 25.4 / dpi, box.height() * 25.4 / dpi};
}

// The texts of every `element` of an SVG file that xmllint finds well-formed; "<ill-formed>" when not.
QStringList svgTexts(const QString &path, QStringView element)
{
    if (QProcess::execute(u"xmllint"_s, {u"--noout"_s, path}) != 0)
        return {u"<ill-formed>"_s};
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            texts.append(xml.readElementText());
    return texts;
}

QImage renderSvg(const QString &path, double dpi)
{
    QSvgRenderer renderer(path);
    const QSizeF mm = renderer.viewBoxF().size();
    QImage image(qRound(mm.width() * dpi / 25.4), qRound(mm.height() * dpi / 25.4), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Whether there is ink within `reachMm` of the card point `at`, the card 10 mm in.
bool inkNear(const QImage &image, double dpi, QPointF at, double reachMm)
{
    const QPointF reach(reachMm, reachMm), corner(10, 10);
    const QRectF around((at + corner - reach) * dpi / 25.4, (at + corner + reach) * dpi / 25.4);
    return inkMm(image.copy(around.toRect()), dpi)[2] > 0;
}

QByteArray svgOf(const std::function<void(DrawingSurface &)> &draw, bool outlines = false)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    SvgSurface svg(out, QFont(u"DejaVu Sans"_s), outlines);
    svg.begin(100, 100, u"t"_s, u"d"_s);
    draw(svg);
    svg.end();
    return out.data();
}

// Each SVG layer's label, then its elements as "LABEL element" plus stroke, stroke-width, fill.
QStringList svgItems(const QByteArray &svg)
{
    static const QRegularExpression element(u"<(g|path|rect|circle|text)\\b([^>]*)>"_s);
    QStringList items;
    QString layer;
    for (const QRegularExpressionMatch &match : element.globalMatch(QString::fromUtf8(svg))) {
        const auto attribute = [&](const QString &name) {
            return QRegularExpression(u"\\b"_s + name + u"=\"([^\"]*)\""_s).match(match.captured(2)).captured(1);
        };
        if (match.captured(1) == u"g") {
            items.append(layer = attribute(u"inkscape:label"_s));
            continue;
        }
        items.append(layer + u' ' + match.captured(1));
        for (const QString &name : {u"stroke"_s, u"stroke-width"_s, u"fill"_s})
            if (!attribute(name).isEmpty())
                items.last() += u' ' + name + u'=' + attribute(name);
    }
    return items;
}

// The exported file's path in a temporary folder; none (with a warning) when the export fails.
QString exportTo(const DialDesign &design, const QString &name, const ExportOptions &options = {})
{
    static QTemporaryDir dir;
    const ExportError error = exportDial(design, dir.filePath(name), options);
    if (!error.ok())
        qWarning() << "export failed:" << error.message;
    return error.ok() ? dir.filePath(name) : QString();
}

// ezdxf, the reference reader: audit errors, units, layers; each entity in file order by type, layer, true colour
// (420) and width (43), where it lies (a circle by its diameter), a TEXT's text as CAD shows it (escapes decoded).
const char kEzdxf[] = R"py(
import ezdxf, sys
sys.stdout.reconfigure(encoding="utf-8")
doc = ezdxf.readfile(sys.argv[1])
layers = sorted(l.dxf.name for l in doc.layers if l.dxf.name != "Defpoints")
print(len(doc.audit().errors), doc.header.get("$INSUNITS", 0), *layers)
for e in doc.modelspace():
    t, d = e.dxftype(), e.dxf
    style = ["%d=%.10g" % (c, d.get(n)) for c, n in ((420, "true_color"), (43, "const_width"))
             if d.is_supported(n) and d.hasattr(n)]
    if t == "LINE": v = [d.start.x, d.start.y, d.end.x, d.end.y]
    elif t == "ARC": v = [d.center.x, d.center.y, d.radius, d.start_angle, d.end_angle]
    elif t == "CIRCLE": v = [d.center.x, d.center.y, 2 * d.radius]
    elif t == "TEXT": v = [d.insert.x, d.insert.y, d.height]
    else: v = []
    text = [ezdxf.decode_dxf_unicode(e.plain_text())] if t == "TEXT" else []
    print(t, d.layer, *style, *["%.4f" % x for x in v], *text)
)py";

QStringList dxfLines(const QString &path)
{
    return QString::fromUtf8(run(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromLatin1(kEzdxf), path}))
        .split(u'\n', Qt::SkipEmptyParts);
}

// A card with the pivot at (26, 22), an arc of radius 15 and the two needle tips at these angles.
DialDesign arcCard(double zeroDegrees, double maxDegrees)
{
    DialDesign d = DialDesign::startup();
    d.dimension(Dimension::NeedlePivotX) = u"26"_s;
    d.dimension(Dimension::NeedlePivotY) = u"22"_s;
    for (const auto &[degrees, x, y] : {std::tuple{zeroDegrees, Dimension::ZeroPosX, Dimension::ZeroPosY},
                                        std::tuple{maxDegrees, Dimension::MaxPosX, Dimension::MaxPosY}}) {
        d.dimension(x) = QString::number(26 + 10 * std::cos(degrees * M_PI / 180), 'g', 17);
        d.dimension(y) = QString::number(22 - 10 * std::sin(degrees * M_PI / 180), 'g', 17);
    }
    d.table(TableKind::ScaleArcs) = {{u"15"_s}};
    return d;
}

// A refused export, whether a file of that name is there before, and what the error must say.
struct Refusal {
    QString name;
    DialDesign design;
    bool existing;
    ExportError::Kind kind;
    QString inMessage;
    CardScale scale = {};
    int dpi = 600;
};

struct ArcCase {
    const char *name;
    double zeroDegrees, maxDegrees; // the tips' angles
    QVector<double> inked, blank; // angles on the arc and off it, degrees as the card is seen
};
const ArcCase kArcs[] = {
    // From the smaller angle to the larger counter-clockwise: over 180 degrees through the left side.
    {"tips at 300 and 60 degrees", 300.0, 60.0, {90, 180, 270}, {0, 20, 340}},
    // 1e-11 radians short of a whole circle: drawn all round, not collapsed to nothing.
    {"just short of a full circle", 0.0, -1e-9, {1, 90, 180, 270, 359}, {}},
};

} // namespace

Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(ArcCase)

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void pdfIsTrueSizeWithTextAsText(); // out of the class: moc cannot parse its raw strings

    void svgIsInMillimetres()
    {
        QFile file(exportTo(exportDesign(), u"card.svg"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray svg = file.readAll();
        const QVector<double> size =
            numbers(svg, uR"re(<svg width="([\d.]+)mm" height="([\d.]+)mm" viewBox="0 0 (\S+) (\S+)")re"_s);
        QVERIFY(near(size, {72, 65, 72, 65}, 0));
        // The 72 pt label: an em of 25.4 mm, its baseline an ascent below its corner at (4, 2).
        const QVector<double> t = numbers(svg, uR"re(<text x="(\S+)" y="(\S+)" font-size="(\S+)"[^>]*>Big</text>)re"_s);
        QVERIFY(near(t, {4, 2 + perMille().ascent() * 0.0254, 25.4}, 0.01));
    }

    // True size and a printer's correction, in the SVG drawn and the PNG at 600 dpi (0.0423 mm a pixel): all ink is
    // the outline's or within, scaled about its corner, the 0.15 mm pen half beyond; the picture grows by enlarging.
    void svgAndPngKeepTheCardCorner()
    {
        for (const CardScale scale : {CardScale{1, 1}, CardScale{1.02, 0.98}}) {
            ExportOptions options;
            options.scale = scale;
            QImage png;
            QVERIFY(png.load(exportTo(exportDesign(), u"card.png"_s, options), "PNG"));
            QCOMPARE(png.dotsPerMeterX(), qRound(600 / 0.0254));
            const QImage svg = renderSvg(exportTo(exportDesign(), u"card.svg"_s, options), 600);
            for (const auto &[image, format] : {std::pair{png, "PNG"}, std::pair{svg, "SVG"}}) {
                const QByteArray what = format + QByteArray(" at ") + QByteArray::number(scale.x);
                const double width = 20 + 52 * std::max(scale.x, 1.0);
                QVERIFY2(near({image.width() * 25.4 / 600, image.height() * 25.4 / 600}, {width, 65}, 0.05), what);
                const QVector<double> ink = {9.925, 9.925, 52 * scale.x + 0.15, 45 * scale.y + 0.15};
                QVERIFY2(near(inkMm(image, 600), ink, 0.075), what);
            }
        }
    }

    // At screen resolutions the 0.15 mm pen is less than a pixel wide, yet the outline must come out
    // near-black, unbroken and not smeared wide, wherever its edges fall on fractions of a pixel.
    void rasterOutlineIsNearBlack()
    {
        for (const int dpi : {72, 96, 200, 300, 600}) {
            ExportOptions options;
            options.dotsPerInch = dpi;
            const QImage image(exportTo(DialDesign::startup(), u"outline.png"_s, options));
            const double perMm = dpi / 25.4;
            // Each edge at a distance from the image's corner, in mm, along its middle 80 %, clear of the corners.
            for (const auto &[vertical, at, from, to] : {std::tuple{true, 10.0, 14.5, 50.5},
                                                         {true, 62.0, 14.5, 50.5},
                                                         {false, 10.0, 15.2, 56.8},
                                                         {false, 55.0, 15.2, 56.8}}) {
                const int across = static_cast<int>(std::floor(at * perMm));
                int lightest = 0, widest = 0;
                for (int along = static_cast<int>(from * perMm); along < to * perMm; ++along) {
                    int darkest = 255, inked = 0;
                    for (int d = across - 4; d <= across + 4; ++d) {
                        const int gray = qGray(vertical ? image.pixel(d, along) : image.pixel(along, d));
                        darkest = std::min(darkest, gray);
                        inked += gray < 128;
                    }
                    lightest = std::max(lightest, darkest);
                    widest = std::max(widest, inked);
                }
                QVERIFY2(lightest <= 64 && widest <= std::ceil(0.15 * perMm) + 1,
                         qPrintable(u"%1 dpi, edge at %2 mm: darkest pixel across it %3, %4 pixels inked"_s.arg(dpi)
                                        .arg(at).arg(lightest).arg(widest)));
            }
        }
    }

    void dxfReadsCleanlyWithTheWorkedTicks()
    {
        const QStringList dxf = dxfLines(exportTo(exportDesign(), u"card.dxf"_s));
        // No audit errors, millimetres (4), every layer; then, in the order they are drawn, outline (4 lines),
        // cross (2), arcs (2), digits (6 texts), tickmarks (11 lines) and labels (2 texts), with DXF Y = 45 - card Y.
        QCOMPARE(dxf.size(), 1 + 4 + 2 + 2 + 6 + 11 + 2);
        QCOMPARE(dxf[0], u"0 4 0 BANDS CUT MARKS OUTLINE TEXT"_s);
        QCOMPARE(dxf[1], u"LINE OUTLINE 0.0000 45.0000 52.0000 45.0000"_s);
        QCOMPARE(dxf[7], u"ARC MARKS 26.0000 12.0000 22.0000 45.0000 135.0000"_s);
        QCOMPARE(dxf[15], u"LINE MARKS 13.2721 24.7279 10.4437 27.5563"_s);
        QCOMPARE(dxf[20], u"LINE MARKS 26.0000 30.0000 26.0000 34.0000"_s);
        QCOMPARE(dxf[25], u"LINE MARKS 38.7279 24.7279 41.5563 27.5563"_s);
        // A TEXT stands on its baseline's left end and is as high as its capitals; 72 pt is an em of 25.4 mm.
        const QFontMetricsF font = perMille();
        QCOMPARE(dxf[27], u"TEXT TEXT 4.0000 %1 %2 Big"_s.arg(43 - font.ascent() * 0.0254, 0, 'f', 4)
                              .arg(font.capHeight() * 0.0254, 0, 'f', 4));
    }

    void failuresLeaveNoFile_data()
    {
        QTest::addColumn<Refusal>("c");
        const DialDesign card = exportDesign();
        const auto ofWidth = [&card](const QString &width) {
            DialDesign d = card;
            d.dimension(Dimension::CardWidth) = width;
            return d;
        };
        const auto bad = ExportError::Kind::BadRequest, drawing = ExportError::Kind::Drawing;
        QTest::newRow("unknown extension") << Refusal{u"card.jpg"_s, card, false, bad, u"\"jpg\""_s};
        QTest::newRow("resolution 0") << Refusal{u"card.png"_s, card, false, bad, u"0 dpi"_s, {}, 0};
        QTest::newRow("image too large") << Refusal{u"card.png"_s, card, false, bad, u"pixels"_s, {}, 9600};
        const QString onlyPrinted = u"A scale applies to PDF, SVG and PNG only"_s;
        QTest::newRow("scaled beyond 105 %")
            << Refusal{u"a.png"_s, card, false, bad, u"A scale must lie between 95 and 105 %"_s, {1.06, 1}};
        QTest::newRow("scaled DXF") << Refusal{u"a.dxf"_s, card, false, bad, onlyPrinted, {1.01, 1}};
        QTest::newRow("scaled dial file") << Refusal{u"a.vlt"_s, card, false, bad, onlyPrinted, {1, 0.99}};
        QTest::newRow("too large for a page") << Refusal{u"a.svg"_s, ofWidth(u"1e6"_s), false, bad, u"page"_s};
        const auto writing = ExportError::Kind::Writing;
        QTest::newRow("no such folder") << Refusal{u"no/card.pdf"_s, card, false, writing, u"no/card.pdf"_s};

        // Undrawable: refused in every format, though SVG and DXF are written as they are drawn. Over the
        // drawing budget: refused before any output (each format's is in test_cli).
        DialDesign undrawable = card, overBudget = card;
        undrawable.table(TableKind::ScaleDigits)[0][0] = u"40000"_s;
        overBudget.table(TableKind::ScaleTickmarks) = TableRows(123, {u"32766"_s, u"22"_s, u"18"_s});
        for (const QString &name : {u"card.pdf"_s, u"card.svg"_s, u"card.png"_s, u"card.dxf"_s})
            QTest::addRow("Divisions 40000 to %s", qPrintable(name))
                << Refusal{name, undrawable, true, drawing, u"40000"_s};
        QTest::newRow("over the budget")
            << Refusal{u"card.svg"_s, overBudget, true, drawing, u"more than the 4,000,000 that can be drawn"_s};
        // A card that does not fit the page is refused, not cut off.
        QTest::newRow("400 mm card on A4")
            << Refusal{u"card.pdf"_s, ofWidth(u"400"_s), true, ExportError::Kind::PageTooSmall,
                       u"The card (400 x 45 mm) does not fit on the A4 page (210 x 297 mm)"_s};
    }

    void failuresLeaveNoFile()
    {
        QFETCH(Refusal, c);
        QTemporaryDir dir;
        QFile file(dir.filePath(c.name));
        QVERIFY(!c.existing || (file.open(QIODevice::WriteOnly) && file.write("earlier") == 7 && file.flush()));
        file.close();
        ExportOptions options;
        options.dotsPerInch = c.dpi;
        options.scale = c.scale;
        const ExportError error = exportDial(c.design, dir.filePath(c.name), options);
        QCOMPARE(error.kind, c.kind);
        QVERIFY2(error.message.contains(c.inMessage), qPrintable(error.message));
        // Nothing half-written, no temporary file beside it, and an earlier file as it was.
        const QStringList left = c.existing ? QStringList{c.name} : QStringList();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), left);
        QVERIFY(!c.existing || (file.open(QIODevice::ReadOnly) && file.readAll() == "earlier"));
    }

    void hostileTextsShowLiterally_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown"); // what every output shows: the label less its control characters

        const auto same = [](const char *name, const QString &text) { QTest::newRow(name) << text << text; };
        same("XML markup and entity look-alikes", u"a & b < c > \"d\" 'e' ]]> <!-- x --> &amp; &#60; &lt"_s);
        same("DXF percent codes", u"100%%d %%p %%c %%% %%u %%o %%k %%176 50% 5%"_s);
        same("caret codes", u"^J ^I ^M ^^ ^"_s);
        same("escapes typed in, backslashes", u"\\U+0041 \\M+1A2B \\P C:\\dir\\ \\\\"_s);
        same("outside the DXF code page", u"\u03a9 \u221e k\u03a9 \u00b5A \u20ac"_s);
        same("XML-hostile but drawable", u"\ufeff x \u2028 y"_s);
        QTest::newRow("control characters") << u"a\u0001b\u0007c\u001bd\u007fe\u0085f"_s << u"abcdef"_s;
        QTest::newRow("tab and line breaks") << u"one\ttwo\r\nthree"_s << u"onetwothree"_s;
    }

    // Every exporter succeeds; SVG and CAD readers show the label, not markup or codes.
    void hostileTextsShowLiterally()
    {
        QFETCH(QString, label);
        QFETCH(QString, shown);
        DialDesign design = DialDesign::startup();
        design.table(TableKind::FaceLabels) = {{u"5"_s, u"5"_s, label, u"8"_s}};

        for (const QString &name : {u"hostile.pdf"_s, u"hostile.png"_s})
            QVERIFY(!exportTo(design, name).isEmpty());
        const QString svg = exportTo(design, u"R&D <\"1\"> 'a'.svg"_s); // the title is the file's name
        QCOMPARE(svgTexts(svg, u"text"), QStringList{shown});
        QCOMPARE(svgTexts(svg, u"title"), QStringList{u"R&D <\"1\"> 'a'"_s});
        const QStringList texts = dxfLines(exportTo(design, u"hostile.dxf"_s)).filter(u"TEXT TEXT "_s);
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts[0].section(u' ', 5), shown);
    }

    void arcsRunCounterClockwise_data() { addNamedCases(kArcs); }

    // Through real drawing code: the SVG as a renderer draws it, the PNG's pixels, and the DXF arc as
    // a CAD library reads it (from its start angle to its end counter-clockwise, by definition).
    void arcsRunCounterClockwise()
    {
        QFETCH(ArcCase, c);
        const DialDesign design = arcCard(c.zeroDegrees, c.maxDegrees);
        const auto pointAt = [](double degrees) {
            const double rad = degrees * M_PI / 180;
            return QPointF(26 + 15 * std::cos(rad), 22 - 15 * std::sin(rad));
        };
        ExportOptions options;
        options.dotsPerInch = 254; // 10 pixels a millimetre
        QImage png;
        QVERIFY(png.load(exportTo(design, u"arc.png"_s, options), "PNG"));
        const QImage svg = renderSvg(exportTo(design, u"arc.svg"_s), 254);
        const QStringList arcs = dxfLines(exportTo(design, u"arc.dxf"_s)).filter(u"ARC "_s);
        QCOMPARE(arcs.size(), 1);
        const double start = arcs[0].section(u' ', 5, 5).toDouble(), end = arcs[0].section(u' ', 6, 6).toDouble();
        const double span = end - start > 0 ? end - start : end - start + 360;
        for (const auto &[angles, onArc] : {std::pair{c.inked, true}, std::pair{c.blank, false}}) {
            for (double a : angles) {
                const QString at = u"at %1 degrees"_s.arg(a);
                QVERIFY2(inkNear(png, 254, pointAt(a), onArc ? 0.2 : 0.5) == onArc, qPrintable(u"PNG "_s + at));
                QVERIFY2(inkNear(svg, 254, pointAt(a), onArc ? 0.2 : 0.5) == onArc, qPrintable(u"SVG "_s + at));
                QVERIFY2((std::fmod(a - start + 720, 360) <= span) == onArc, qPrintable(arcs[0] + u' ' + at));
            }
        }
    }

    void cardFitsPage()
    {
        // The card stands 10 mm in from the corner: A4 takes 200 x 287 mm, Letter 205.9 x 269.4 mm.
        const struct {
            const char *name, *width, *height;
            ExportPage page;
            bool fits;
        } cases[] = {
            {"A4 to the edge", "200", "287", ExportPage::A4, true},
            {"A4 too wide", "200.01", "45", ExportPage::A4, false},
            {"A4 too high", "52", "287.01", ExportPage::A4, false},
            {"Letter to the edge", "205.9", "269.4", ExportPage::Letter, true},
            {"Letter too high for A4's height", "52", "280", ExportPage::Letter, false},
            {"card page", "400", "900", ExportPage::Card, true},
            {"no size", "", "-5", ExportPage::A4, true},
        };
        for (const auto &c : cases) {
            DialDesign design = exportDesign();
            design.dimension(Dimension::CardWidth) = QString::fromLatin1(c.width);
            design.dimension(Dimension::CardHeight) = QString::fromLatin1(c.height);
            QVERIFY2(vernalith::cardFitsPage(design, c.page) == c.fits, c.name);
        }
    }

    void styledCardExportsEndToEnd()
    {
        const DialReadResult read =
            loadDialFile(QStringLiteral(VERNALITH_TEST_DATA "/bands-holes.vlt"), DialDesign::startup().dimensions);
        QVERIFY(read.ok());
        QTemporaryDir dir;
        for (const bool outlines : {false, true}) {
            const auto path = [&](const char *ext) {
                return dir.filePath(u"card%1.%2"_s.arg(outlines).arg(QLatin1String(ext)));
            };
            for (const char *format : {"svg", "dxf", "pdf"})
                QVERIFY(exportDial(read.design, path(format), {ExportPage::A4, 600, {}, outlines, false}).ok());
            QCOMPARE(QProcess::execute(u"xmllint"_s, {u"--noout"_s, path("svg")}), 0);
            // Read cleanly, every layer there; holes of 3 mm at (4, 4) and (48, 4), DXF's Y axis pointing up.
            const QStringList cad = dxfLines(path("dxf"));
            QCOMPARE(cad.value(0), u"0 4 0 BANDS CUT MARKS OUTLINE TEXT"_s);
            QCOMPARE(cad.filter(u"CIRCLE"_s),
                     QStringList({u"CIRCLE CUT 4.0000 41.0000 3.0000"_s, u"CIRCLE CUT 48.0000 41.0000 3.0000"_s}));
            QFile svgFile(path("svg"));
            QVERIFY(svgFile.open(QIODevice::ReadOnly));
            const QStringList svg = svgItems(svgFile.readAll());
            // One layer each, from the bottom up: the bands under everything.
            QCOMPARE(svg.filter(QRegularExpression(u"^[A-Z]+$"_s)),
                     QStringList({u"BANDS"_s, u"OUTLINE"_s, u"CUT"_s, u"MARKS"_s, u"TEXT"_s}));
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
                const auto isEntity = [&](const QString &line) {
                    return (line + u' ').startsWith(item.dxfEntity + u' ');
                };
                const auto count = std::count_if(cad.cbegin(), cad.cend(), isEntity);
                QVERIFY2(count == item.dxfCount, qPrintable(item.dxfEntity));
            }
            QCOMPARE(run(u"pdffonts"_s, {path("pdf")}).count('\n') > 2, !outlines);
        }
    }

    void outlineTextCoversDrawnText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("viaSvg"); // outlines as the SVG draws them, else as the PDF does
        for (const bool svg : {false, true}) {
            const char *via = svg ? "SVG" : "PDF";
            QTest::addRow("%s label 72 pt", via) << u"Big"_s << 72.0 << u"DejaVu Sans"_s << svg;
            QTest::addRow("%s digits 8 pt", via) << u"0 10 20 30 mA"_s << 8.0 << u"DejaVu Sans"_s << svg;
            QTest::addRow("%s serif 20 pt", via) << u"\u00b5A \u03a9 kV"_s << 20.0 << u"DejaVu Serif"_s << svg;
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

void TestExports::pdfIsTrueSizeWithTextAsText()
{
    const QString pdf = exportTo(exportDesign(), u"card.pdf"_s);
    const QByteArray svg = run(u"pdftocairo"_s, {u"-svg"_s, pdf, u"-"_s});
    // An A4 page (595 x 842 pt: PDF pages are whole points) with the card 10 mm in from its corner.
    QVERIFY(near(numbers(svg, uR"re(<svg[^>]* width="([\d.]+)pt" height="([\d.]+)pt")re"_s), {595, 842}, 0));
    // The outline, drawn first, is the first closed path of four corners; its transform scales and moves it.
    const QVector<double> r = numbers(svg, uR"re(d="M ([-\d.e]+) ([-\d.e]+) L ([-\d.e]+) \S+ L \S+ ([-\d.e]+) L )re"
                                           uR"re([^"]*Z[^"]*" transform="matrix\(([-\d.e]+),0,0,)re"
                                           uR"re([-\d.e]+,([-\d.e]+),([-\d.e]+)\))re"_s);
    const QVector<double> outline = {(r[0] * r[4] + r[5]) * kPtToMm, (r[1] * r[4] + r[6]) * kPtToMm,
                                     (r[2] - r[0]) * r[4] * kPtToMm, (r[3] - r[1]) * r[4] * kPtToMm};
    QVERIFY(near(outline, {10, 10, 52, 45}));

    const QByteArray words = run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    const QString box = uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">%1</word>)re"_s;
    // The 72 pt label: its corner at (4, 2) on the card, its box 72 pt times the line height per em.
    const QVector<double> big = numbers(words, box.arg(u"Big"_s));
    const QVector<double> bigMm = {big[0] * kPtToMm, big[1] * kPtToMm, (big[3] - big[1]) * kPtToMm};
    QVERIFY(near(bigMm, {14, 12, 25.4 * perMille().height() / 1000}));
    // The digit 100 is centred on its point, 24 mm from the pivot at 45 degrees.
    const QVector<double> hundred = numbers(words, box.arg(u"100"_s));
    const QVector<double> centre = {(hundred[0] + hundred[2]) * kPtToMm / 2,
                                    (hundred[1] + hundred[3]) * kPtToMm / 2};
    QVERIFY(near(centre, {36 + 24 * M_SQRT1_2, 43 - 24 * M_SQRT1_2}));
}

QTEST_MAIN(TestExports)
#include "test_exports.moc"
