// Every export at true size, measured back from the files with outside tools (poppler's pdftocairo
// and pdftotext, Python's ezdxf) and from the pixels; failures leave no file behind.

#include "design/dialdesign.h"
#include "render/dialexport.h"
#include "render/drawbudget.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace vernalith;
using namespace Qt::StringLiterals;

namespace {

constexpr double kPtToMm = 25.4 / 72.0;
constexpr double kTolerance = 0.05; // mm

// The dial file format's example card with the renderer's worked tickmark row (10, 22, 18), a
// 72 pt label to measure text by and a label of Windows-1252 characters beyond ASCII.
DialDesign exportDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleArcs) = {{u"22"_s}, {u"20"_s}};
    d.table(TableKind::ScaleTickmarks) = {{u"10"_s, u"22"_s, u"18"_s}};
    d.table(TableKind::ScaleDigits) = {{u"5"_s, u"0"_s, u"100"_s, u"0"_s, u"24"_s, u"6"_s}};
    d.table(TableKind::FaceLabels) = {{u"26"_s, u"40"_s, u"mA"_s, u"8"_s}, {u"4"_s, u"2"_s, u"Big"_s, u"72"_s},
                                      {u"2"_s, u"20"_s, u"\u00b5A \u00b0C 50% \u20ac"_s, u"8"_s}};
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

// The numbers captured by the first match of `pattern` in `text`.
QVector<double> numbers(const QByteArray &text, const QString &pattern)
{
    const QRegularExpression expression(pattern);
    const QRegularExpressionMatch match = expression.match(QString::fromUtf8(text));
    QVector<double> result;
    for (int k = 1; k <= expression.captureCount(); ++k)
        result.append(match.captured(k).toDouble());
    return result;
}

bool near(const QVector<double> &measured, const QVector<double> &expected, double tolerance = kTolerance)
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
    if (xml.hasError())
        return {u"<ill-formed>"_s, xml.errorString()};
    return texts;
}

// An SVG file drawn by Qt's SVG renderer on white.
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

// Whether there is ink within `reachMm` of the card point (x, y), the card 10 mm in.
bool inkNear(const QImage &image, double dpi, double x, double y, double reachMm)
{
    const double perMm = dpi / 25.4;
    const int reach = qCeil(reachMm * perMm);
    const int cx = qRound((x + 10) * perMm), cy = qRound((y + 10) * perMm);
    for (int py = cy - reach; py <= cy + reach; ++py)
        for (int px = cx - reach; px <= cx + reach; ++px)
            if (image.valid(px, py) && qGray(image.pixel(px, py)) < 160)
                return true;
    return false;
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

// ezdxf is the reference reader: audit errors and units, then one line per entity in file order,
// a TEXT's text as a CAD program shows it (codes and \\U+XXXX escapes decoded).
const char kEzdxf[] = R"py(
import ezdxf, sys
sys.stdout.reconfigure(encoding="utf-8")
doc = ezdxf.readfile(sys.argv[1])
print(len(doc.audit().errors), doc.header.get("$INSUNITS", 0))
for e in doc.modelspace():
    t, d = e.dxftype(), e.dxf
    if t == "LINE": v = [d.start.x, d.start.y, d.end.x, d.end.y]
    elif t == "ARC": v = [d.center.x, d.center.y, d.radius, d.start_angle, d.end_angle]
    else: v = [d.insert.x, d.insert.y, d.height]
    print(t, d.layer, *["%.4f" % x for x in v], *([ezdxf.decode_dxf_unicode(e.plain_text())] if t == "TEXT" else []))
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

// A refused export: the options' resolution, whether a file of that name is there before, and
// what is expected of the error.
struct Refusal {
    QString name;
    DialDesign design;
    int dpi;
    bool existing;
    ExportError::Kind kind;
    QString inMessage;
};

// Tips at these angles; angles on the arc and off it, degrees as the card is seen.
struct ArcCase {
    double zeroDegrees, maxDegrees;
    QVector<double> inked, blank;
};

} // namespace

Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(ArcCase)

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void pdfIsTrueSizeWithTextAsText();
    void svgAndPngAreInMillimetres();
    void rasterOutlineIsNearBlack_data();
    void rasterOutlineIsNearBlack();
    void dxfReadsCleanlyWithTheWorkedTicks();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void hostileTextsShowLiterally_data();
    void hostileTextsShowLiterally();
    void svgTitleIsEscaped();
    void arcsRunCounterClockwise_data();
    void arcsRunCounterClockwise();
    void cardFitsPage();
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
    const QVector<double> centre = {(hundred[0] + hundred[2]) * kPtToMm / 2, (hundred[1] + hundred[3]) * kPtToMm / 2};
    QVERIFY(near(centre, {36 + 24 * M_SQRT1_2, 43 - 24 * M_SQRT1_2}));
}

void TestExports::svgAndPngAreInMillimetres()
{
    const QString path = exportTo(exportDesign(), u"card.svg"_s);
    QCOMPARE(svgTexts(path, u"text").size(), 6 + 3); // digits and labels
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    const QVector<double> size =
        numbers(svg, uR"re(<svg width="([\d.]+)mm" height="([\d.]+)mm" viewBox="0 0 (\S+) (\S+)")re"_s);
    QVERIFY(near(size, {72, 65, 72, 65}, 0));
    // One user unit is a millimetre; the card is moved 10 mm in.
    QVERIFY(near(numbers(svg, uR"re(<g transform="translate\((\S+) (\S+)\)")re"_s), {10, 10}, 0));
    QVERIFY(near(numbers(svg, uR"re(<rect x="(\S+)" y="(\S+)" width="(\S+)" height="(\S+)")re"_s), {0, 0, 52, 45}, 0));
    // The 72 pt label: an em of 25.4 mm, its baseline an ascent below its corner at (4, 2).
    const QVector<double> t = numbers(svg, uR"re(<text x="(\S+)" y="(\S+)" font-size="(\S+)"[^>]*>Big</text>)re"_s);
    QVERIFY(near(t, {4, 2 + perMille().ascent() * 0.0254, 25.4}, 0.01));

    // Drawn by an SVG renderer, and in the PNG at the default 600 dpi (0.0423 mm a pixel), all ink is
    // the outline's or within it; the 0.15 mm pen reaches half its width beyond the card.
    QVERIFY(near(inkMm(renderSvg(path, 600), 600), {9.925, 9.925, 52.15, 45.15}, 0.075));
    QImage png;
    QVERIFY(png.load(exportTo(exportDesign(), u"card.png"_s), "PNG"));
    QCOMPARE(png.dotsPerMeterX(), qRound(600 / 0.0254));
    QCOMPARE(png.pixelColor(0, 0), QColor(Qt::white));
    QVERIFY(near({png.width() * 25.4 / 600, png.height() * 25.4 / 600}, {72, 65}, 0.05));
    QVERIFY(near(inkMm(png, 600), {9.925, 9.925, 52.15, 45.15}, 0.075));
}

void TestExports::rasterOutlineIsNearBlack_data()
{
    QTest::addColumn<int>("dpi");
    for (int dpi : {72, 96, 200, 300, 600})
        QTest::addRow("%d dpi", dpi) << dpi;
}

// At screen resolutions the 0.15 mm pen is less than a pixel wide, yet the outline must come out
// near-black, unbroken and not smeared wide, wherever its edges fall on fractions of a pixel.
void TestExports::rasterOutlineIsNearBlack()
{
    QFETCH(int, dpi);
    ExportOptions options;
    options.dotsPerInch = dpi;
    const QImage image(exportTo(DialDesign::startup(), u"outline.png"_s, options));
    QVERIFY(!image.isNull());
    const double perMm = dpi / 25.4;
    struct Edge {
        const char *name;
        bool vertical;
        double atMm, fromMm, toMm; // along the middle 80 %, clear of the corners
    };
    for (const Edge &e : {Edge{"left", true, 10, 14.5, 50.5}, Edge{"right", true, 62, 14.5, 50.5},
                          Edge{"top", false, 10, 15.2, 56.8}, Edge{"bottom", false, 55, 15.2, 56.8}}) {
        const int across = static_cast<int>(std::floor(e.atMm * perMm));
        int lightest = 0, widest = 0;
        for (int along = static_cast<int>(e.fromMm * perMm); along < e.toMm * perMm; ++along) {
            int darkest = 255, inked = 0;
            for (int d = across - 4; d <= across + 4; ++d) {
                const int gray = qGray(e.vertical ? image.pixel(d, along) : image.pixel(along, d));
                darkest = std::min(darkest, gray);
                inked += gray < 128;
            }
            lightest = std::max(lightest, darkest);
            widest = std::max(widest, inked);
        }
        QVERIFY2(lightest <= 64 && widest <= std::ceil(0.15 * perMm) + 1,
                 qPrintable(u"%1 edge: darkest pixel across it as light as %2, up to %3 pixels inked"_s
                                .arg(QLatin1String(e.name)).arg(lightest).arg(widest)));
    }
}

void TestExports::dxfReadsCleanlyWithTheWorkedTicks()
{
    const QStringList dxf = dxfLines(exportTo(exportDesign(), u"card.dxf"_s));
    // No audit errors, millimetres (4); then outline (4 lines), cross (2), arcs (2), digits (6 texts),
    // tickmarks (11 lines) and labels (3 texts), with DXF Y = 45 - card Y.
    QCOMPARE(dxf.size(), 1 + 4 + 2 + 2 + 6 + 11 + 3);
    QCOMPARE(dxf[0], u"0 4"_s);
    QCOMPARE(dxf[1], u"LINE OUTLINE 0.0000 45.0000 52.0000 45.0000"_s);
    QCOMPARE(dxf[7], u"ARC MARKS 26.0000 12.0000 22.0000 45.0000 135.0000"_s);
    QCOMPARE(dxf[15], u"LINE MARKS 13.2721 24.7279 10.4437 27.5563"_s);
    QCOMPARE(dxf[20], u"LINE MARKS 26.0000 30.0000 26.0000 34.0000"_s);
    QCOMPARE(dxf[25], u"LINE MARKS 38.7279 24.7279 41.5563 27.5563"_s);
    // A TEXT stands on its baseline's left end and is as high as its capitals; 72 pt is an em of 25.4 mm.
    const QFontMetricsF font = perMille();
    QCOMPARE(dxf[27], u"TEXT TEXT 4.0000 %1 %2 Big"_s.arg(43 - font.ascent() * 0.0254, 0, 'f', 4)
                          .arg(font.capHeight() * 0.0254, 0, 'f', 4));
    QCOMPARE(dxf[28].section(u' ', 5), u"\u00b5A \u00b0C 50% \u20ac"_s);
}

void TestExports::failuresLeaveNoFile_data()
{
    QTest::addColumn<Refusal>("c");
    const DialDesign card = exportDesign();
    const auto ofWidth = [&card](const QString &width) {
        DialDesign d = card;
        d.dimension(Dimension::CardWidth) = width;
        return d;
    };
    const auto bad = ExportError::Kind::BadRequest, drawing = ExportError::Kind::Drawing;
    QTest::newRow("unknown extension") << Refusal{u"card.jpg"_s, card, 600, false, bad, u"\"jpg\""_s};
    QTest::newRow("resolution 0") << Refusal{u"card.png"_s, card, 0, false, bad, u"0 dpi"_s};
    QTest::newRow("image too large") << Refusal{u"card.png"_s, card, 9600, false, bad, u"pixels"_s};
    QTest::newRow("card too large for a page") << Refusal{u"card.svg"_s, ofWidth(u"1e6"_s), 600, false, bad, u"page"_s};
    QTest::newRow("no such folder") << Refusal{u"no such folder/card.pdf"_s, card, 600, false,
                                               ExportError::Kind::Writing, u"no such folder/card.pdf"_s};

    // Undrawable or over the drawing budget: refused before any output, in every format.
    DialDesign undrawable = card, overBudget = card, longLabel = card;
    undrawable.table(TableKind::ScaleDigits)[0][0] = u"40000"_s;
    overBudget.table(TableKind::ScaleTickmarks) = TableRows(123, {u"32766"_s, u"22"_s, u"18"_s});
    longLabel.table(TableKind::FaceLabels)[0][2] = QString(kMaxTextLength + 1, u'x');
    for (const QString &name : {u"card.pdf"_s, u"card.svg"_s, u"card.png"_s, u"card.dxf"_s}) {
        QTest::addRow("Divisions 40000 to %s", qPrintable(name))
            << Refusal{name, undrawable, 600, true, drawing, u"40000"_s};
        QTest::addRow("over the budget to %s", qPrintable(name))
            << Refusal{name, overBudget, 600, true, drawing, u"more than the 4,000,000 that can be drawn"_s};
    }
    QTest::newRow("a label too long") << Refusal{u"card.svg"_s, longLabel, 600, true, drawing, u"(at most 10000)"_s};
    // A card that does not fit the page is refused, not cut off.
    QTest::newRow("card width 1e400 on A4") << Refusal{u"card.pdf"_s, ofWidth(u"1e400"_s), 600, true, drawing,
                                                       u"Card Width: \"1e400\" is too large a number"_s};
    QTest::newRow("400 mm card on A4")
        << Refusal{u"card.pdf"_s, ofWidth(u"400"_s), 600, true, ExportError::Kind::PageTooSmall,
                   u"The card (400 x 45 mm) does not fit on the A4 page (210 x 297 mm)"_s};
    QTest::newRow("a folder of that name") << Refusal{u"folder.svg"_s, card, 600, false, ExportError::Kind::Writing,
                                                      u"it is a folder; only regular files are replaced"_s};
}

void TestExports::failuresLeaveNoFile()
{
    QFETCH(Refusal, c);
    QTemporaryDir dir;
    if (c.name.startsWith(u"folder"))
        QVERIFY(QDir(dir.path()).mkdir(c.name));
    QFile file(dir.filePath(c.name));
    QVERIFY(!c.existing || (file.open(QIODevice::WriteOnly) && file.write("earlier") == 7 && file.flush()));
    file.close();
    ExportOptions options;
    options.dotsPerInch = c.dpi;
    const ExportError error = exportDial(c.design, dir.filePath(c.name), options);
    QCOMPARE(error.kind, c.kind);
    QVERIFY2(error.message.contains(c.inMessage), qPrintable(error.message));
    // Nothing half-written, no temporary file beside it, and an earlier file as it was.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), c.existing ? QStringList{c.name} : QStringList());
    QVERIFY(!c.existing || (file.open(QIODevice::ReadOnly) && file.readAll() == "earlier"));
}

void TestExports::hostileTextsShowLiterally_data()
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

// Every exporter succeeds; the SVG is well-formed XML whose text is the label, and a CAD reader
// shows the DXF text as the label, not as codes.
void TestExports::hostileTextsShowLiterally()
{
    QFETCH(QString, label);
    QFETCH(QString, shown);
    DialDesign design = DialDesign::startup();
    design.table(TableKind::FaceLabels) = {{u"5"_s, u"5"_s, label, u"8"_s}};

    for (const QString &name : {u"hostile.pdf"_s, u"hostile.png"_s})
        QVERIFY(!exportTo(design, name).isEmpty());
    QCOMPARE(svgTexts(exportTo(design, u"hostile.svg"_s), u"text"), QStringList{shown});
    const QStringList texts = dxfLines(exportTo(design, u"hostile.dxf"_s)).filter(u"TEXT TEXT "_s);
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts[0].section(u' ', 5), shown);
}

void TestExports::svgTitleIsEscaped()
{
    const QString path = exportTo(exportDesign(), u"R&D <\"1\"> 'a'.svg"_s);
    QCOMPARE(svgTexts(path, u"title"), QStringList{u"R&D <\"1\"> 'a'"_s});
}

void TestExports::arcsRunCounterClockwise_data()
{
    QTest::addColumn<ArcCase>("c");
    // From the smaller angle to the larger counter-clockwise: over 180 degrees through the left side.
    QTest::newRow("tips at 300 and 60 degrees") << ArcCase{300, 60, {90, 180, 270}, {0, 20, 340}};
    QTest::newRow("tips at 210 and 330 degrees") << ArcCase{210, 330, {240, 270, 300}, {90, 0, 180}};
    // 1e-11 radians short of a whole circle: drawn all round, not collapsed to nothing.
    QTest::newRow("just short of a full circle") << ArcCase{0, -1e-9, {1, 90, 180, 270, 359}, {}};
}

// Through real drawing code: the SVG as a renderer draws it, the PNG's pixels, and the DXF arc as
// a CAD library reads it (from its start angle to its end counter-clockwise, by definition).
void TestExports::arcsRunCounterClockwise()
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
    for (const auto &[angles, inked] : {std::pair{c.inked, true}, std::pair{c.blank, false}}) {
        for (double a : angles) {
            const QString at = u"at %1 degrees"_s.arg(a);
            const QPointF p = pointAt(a);
            QVERIFY2(inkNear(png, 254, p.x(), p.y(), inked ? 0.2 : 0.5) == inked, qPrintable(u"PNG "_s + at));
            QVERIFY2(inkNear(svg, 254, p.x(), p.y(), inked ? 0.2 : 0.5) == inked, qPrintable(u"SVG "_s + at));
            QVERIFY2((std::fmod(a - start + 720, 360) <= span) == inked, qPrintable(arcs[0] + u' ' + at));
        }
    }
}

void TestExports::cardFitsPage()
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

QTEST_MAIN(TestExports)
#include "test_exports.moc"
