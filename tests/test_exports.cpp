// Every export at true size, measured back from the files with outside tools (poppler's pdftocairo
// and pdftotext, Python's ezdxf) and from the pixels; failures leave no file behind.

#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/drawbudget.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace vernalith;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vernalith::DialDesign)
Q_DECLARE_METATYPE(vernalith::ExportError::Kind)
Q_DECLARE_METATYPE(vernalith::ExportPage)

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
    QProcess xmllint;
    xmllint.start(u"xmllint"_s, {u"--noout"_s, path});
    if (!xmllint.waitForFinished(120000) || xmllint.exitStatus() != QProcess::NormalExit || xmllint.exitCode() != 0)
        return {u"<ill-formed>"_s, QString::fromUtf8(xmllint.readAllStandardError())};
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

// ezdxf is the reference reader: audit errors and units, then one line per entity in file order.
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
    print(t, d.layer, *["%.4f" % x for x in v], *([d.text] if t == "TEXT" else []))
)py";

// Each TEXT as a CAD program shows it: ezdxf's plain text with \\U+XXXX decoded, as JSON strings.
const char kDxfTexts[] = R"py(
import ezdxf, json, sys
doc = ezdxf.readfile(sys.argv[1])
print(json.dumps([ezdxf.decode_dxf_unicode(e.plain_text()) for e in doc.modelspace() if e.dxftype() == "TEXT"]))
)py";

// Each ARC flattened by ezdxf, as [centre x, centre y, radius, [x, y, ...]] in DXF coordinates.
const char kDxfArcs[] = R"py(
import ezdxf, json, sys
doc = ezdxf.readfile(sys.argv[1])
print(json.dumps([[e.dxf.center.x, e.dxf.center.y, e.dxf.radius,
                   [c for v in e.construction_tool().flattening(0.001) for c in (v.x, v.y)]]
                  for e in doc.modelspace() if e.dxftype() == "ARC"]))
)py";

// A card with the pivot at (26, 22), an arc of radius 15 and the two needle tips at these angles.
DialDesign arcCard(double zeroDegrees, double maxDegrees)
{
    DialDesign d = DialDesign::startup();
    const auto tip = [](double degrees, Dimension x, Dimension y, DialDesign &design) {
        const double rad = degrees * M_PI / 180;
        design.dimension(x) = QString::number(26 + 10 * std::cos(rad), 'g', 17);
        design.dimension(y) = QString::number(22 - 10 * std::sin(rad), 'g', 17);
    };
    d.dimension(Dimension::NeedlePivotX) = u"26"_s;
    d.dimension(Dimension::NeedlePivotY) = u"22"_s;
    tip(zeroDegrees, Dimension::ZeroPosX, Dimension::ZeroPosY, d);
    tip(maxDegrees, Dimension::MaxPosX, Dimension::MaxPosY, d);
    d.table(TableKind::ScaleArcs) = {{u"15"_s}};
    return d;
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void pdfIsTrueSizeWithTextAsText();
    void svgIsInMillimetres();
    void pngRecordsResolutionOnWhite();
    void dxfReadsCleanlyWithTheWorkedTicks();
    void dialFileIsWhatSaveWrites();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void hostileTextsShowLiterally_data();
    void hostileTextsShowLiterally();
    void svgTitleIsEscaped();
    void arcsRunCounterClockwise_data();
    void arcsRunCounterClockwise();
    void cardFitsPage_data();
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

void TestExports::svgIsInMillimetres()
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

    // Drawn by an SVG renderer, all ink is the outline's or within it, as in the PNG.
    QVERIFY(near(inkMm(renderSvg(path, 600), 600), {9.925, 9.925, 52.15, 45.15}, 0.075));
}

void TestExports::pngRecordsResolutionOnWhite()
{
    QImage image; // at the default 600 dpi, where a pixel is 0.0423 mm
    QVERIFY(image.load(exportTo(exportDesign(), u"card.png"_s), "PNG"));
    QCOMPARE(image.dotsPerMeterX(), qRound(600 / 0.0254));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
    QVERIFY(near({image.width() * 25.4 / 600, image.height() * 25.4 / 600}, {72, 65}, 0.05));
    // All ink is the outline's or within it; the 0.15 mm pen reaches half its width beyond the card.
    QVERIFY(near(inkMm(image, 600), {9.925, 9.925, 52.15, 45.15}, 0.075));
}

void TestExports::dxfReadsCleanlyWithTheWorkedTicks()
{
    DialDesign design = exportDesign();
    design.table(TableKind::FaceLabels).append(splitItem(TableKind::FaceLabels, u"2\t30\t\u03a9 k\u03a9\t8"_s));
    const QString path = exportTo(design, u"card.dxf"_s);
    const QByteArray read = run(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromLatin1(kEzdxf), path});
    const QStringList dxf = QString::fromUtf8(read).split(u'\n', Qt::SkipEmptyParts);
    // No audit errors, millimetres (4); then outline (4 lines), cross (2), arcs (2), digits (6 texts),
    // tickmarks (11 lines) and labels (4 texts), with DXF Y = 45 - card Y.
    QCOMPARE(dxf.size(), 1 + 4 + 2 + 2 + 6 + 11 + 4);
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
    // Windows-1252 characters as they are; others in the escape that CAD programs decode.
    QVERIFY2(dxf[28].endsWith(u" \u00b5A \u00b0C 50% \u20ac"_s), qPrintable(dxf[28]));
    QVERIFY2(dxf[29].endsWith(u" \\U+03A9 k\\U+03A9"_s), qPrintable(dxf[29]));
}

void TestExports::dialFileIsWhatSaveWrites()
{
    DialDesign design = exportDesign();
    design.dimension(Dimension::CardWidth) = u"52.50 mm"_s;
    QTemporaryDir dir;
    QVERIFY(saveDialFile(dir.filePath(u"saved.vlt"_s), design).ok());
    QFile exported(exportTo(design, u"copy.vlt"_s)), saved(dir.filePath(u"saved.vlt"_s));
    QVERIFY(exported.open(QIODevice::ReadOnly) && saved.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), saved.readAll());
}

void TestExports::failuresLeaveNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<DialDesign>("design");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("existing"); // a file of that name is there before
    QTest::addColumn<ExportError::Kind>("kind");
    QTest::addColumn<QString>("inMessage");

    const DialDesign card = exportDesign();
    const auto ofWidth = [&card](const QString &width) {
        DialDesign d = card;
        d.dimension(Dimension::CardWidth) = width;
        return d;
    };
    const auto bad = ExportError::Kind::BadRequest;
    QTest::newRow("unknown extension") << u"card.jpg"_s << card << 600 << false << bad << u"\"jpg\""_s;
    QTest::newRow("resolution 0") << u"card.png"_s << card << 0 << false << bad << u"0 dpi"_s;
    QTest::newRow("image too large") << u"card.png"_s << card << 9600 << false << bad << u"pixels"_s;
    QTest::newRow("card too large for a page") << u"card.svg"_s << ofWidth(u"1e6"_s) << 600 << false << bad << u"page"_s;
    QTest::newRow("no such folder") << u"no such folder/card.pdf"_s << card << 600 << false
                                    << ExportError::Kind::Writing << u"no such folder/card.pdf"_s;

    // Undrawable, over the drawing budget or too long a label: refused before any output, in every format.
    DialDesign undrawable = card, overBudget = card, longLabel = card;
    undrawable.table(TableKind::ScaleDigits)[0][0] = u"40000"_s;
    overBudget.table(TableKind::ScaleTickmarks) = TableRows(123, {u"32766"_s, u"22"_s, u"18"_s});
    longLabel.table(TableKind::FaceLabels)[0][2] = QString(kMaxTextLength + 1, u'x');
    for (const char *name : {"card.pdf", "card.svg", "card.png", "card.dxf"}) {
        for (bool existing : {false, true}) {
            const auto row = [&](const char *what, const DialDesign &design, const QString &inMessage) {
                QTest::addRow("%s to %s%s", what, name, existing ? " over a file" : "")
                    << QString::fromLatin1(name) << design << 600 << existing << ExportError::Kind::Drawing << inMessage;
            };
            row("Divisions 40000", undrawable, u"40000"_s);
            row("over the budget", overBudget, u"more than the 4,000,000 that can be drawn"_s);
            if (existing)
                row("a label too long", longLabel, u"(at most 10000)"_s);
        }
    }
    // A card that does not fit the page is refused, not cut off.
    QTest::newRow("card width 1e400 on A4") << u"card.pdf"_s << ofWidth(u"1e400"_s) << 600 << true << ExportError::Kind::Drawing
                                            << u"Card Width: \"1e400\" is too large a number"_s;
    QTest::newRow("400 mm card on A4") << u"card.pdf"_s << ofWidth(u"400"_s) << 600 << true << ExportError::Kind::PageTooSmall
                                       << u"The card (400 x 45 mm) does not fit on the A4 page (210 x 297 mm)"_s;
    // A folder is not replaced; a link to a regular file is tried in onlyRegularFilesAreReplaced.
    QTest::newRow("a folder of that name") << u"folder.svg"_s << card << 600 << false << ExportError::Kind::Writing
                                           << u"it is a folder; only regular files are replaced"_s;
}

void TestExports::failuresLeaveNoFile()
{
    QFETCH(QString, name);
    QFETCH(DialDesign, design);
    QFETCH(int, dpi);
    QFETCH(bool, existing);
    QFETCH(ExportError::Kind, kind);
    QFETCH(QString, inMessage);
    QTemporaryDir dir;
    if (name.startsWith(u"folder"))
        QVERIFY(QDir(dir.path()).mkdir(name));
    QFile file(dir.filePath(name));
    QVERIFY(!existing || (file.open(QIODevice::WriteOnly) && file.write("earlier") == 7 && file.flush()));
    file.close();
    ExportOptions options;
    options.dotsPerInch = dpi;
    const ExportError error = exportDial(design, dir.filePath(name), options);
    QCOMPARE(error.kind, kind);
    QVERIFY2(error.message.contains(inMessage), qPrintable(error.message));
    // Nothing half-written, no temporary file beside it, and an earlier file as it was.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), existing ? QStringList{name} : QStringList());
    QVERIFY(!existing || (file.open(QIODevice::ReadOnly) && file.readAll() == "earlier"));
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

    const QString dxf = exportTo(design, u"hostile.dxf"_s);
    const QByteArray read = run(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromLatin1(kDxfTexts), dxf});
    const QJsonArray dxfTexts = QJsonDocument::fromJson(read).array();
    QCOMPARE(dxfTexts.size(), 1);
    QCOMPARE(dxfTexts[0].toString(), shown);
}

void TestExports::svgTitleIsEscaped()
{
    const QString path = exportTo(exportDesign(), u"R&D <\"1\"> 'a'.svg"_s);
    QCOMPARE(svgTexts(path, u"title"), QStringList{u"R&D <\"1\"> 'a'"_s});
}

void TestExports::arcsRunCounterClockwise_data()
{
    QTest::addColumn<double>("zeroDegrees");
    QTest::addColumn<double>("maxDegrees");
    QTest::addColumn<QVector<double>>("inked");  // angles on the arc, degrees as the card is seen
    QTest::addColumn<QVector<double>>("blank");  // angles off it

    // From the smaller angle to the larger counter-clockwise: over 180 degrees through the left side.
    QTest::newRow("tips at 300 and 60 degrees") << 300.0 << 60.0 << QVector<double>{90, 180, 270}
                                                << QVector<double>{0, 20, 340};
    QTest::newRow("tips at 60 and 300 degrees") << 60.0 << 300.0 << QVector<double>{90, 180, 270}
                                                << QVector<double>{0, 20, 340};
    QTest::newRow("tips at 210 and 330 degrees") << 210.0 << 330.0 << QVector<double>{240, 270, 300}
                                                 << QVector<double>{90, 0, 180};
    QTest::newRow("tips at 10 and 350 degrees") << 10.0 << 350.0 << QVector<double>{20, 90, 180, 270, 340}
                                                << QVector<double>{0};
    // 1e-11 radians short of a whole circle: drawn all round, not collapsed to nothing.
    QTest::newRow("just short of a full circle") << 0.0 << -1e-9 << QVector<double>{1, 90, 180, 270, 359}
                                                 << QVector<double>{};
}

// Through real drawing code: the SVG as a renderer draws it, the PNG's pixels, and the DXF arc as
// a CAD library flattens it.
void TestExports::arcsRunCounterClockwise()
{
    QFETCH(double, zeroDegrees);
    QFETCH(double, maxDegrees);
    QFETCH(QVector<double>, inked);
    QFETCH(QVector<double>, blank);
    const DialDesign design = arcCard(zeroDegrees, maxDegrees);
    const auto pointAt = [](double degrees) {
        const double rad = degrees * M_PI / 180;
        return QPointF(26 + 15 * std::cos(rad), 22 - 15 * std::sin(rad));
    };

    ExportOptions options;
    options.dotsPerInch = 254; // 10 pixels a millimetre
    QImage png;
    QVERIFY(png.load(exportTo(design, u"arc.png"_s, options), "PNG"));
    const QImage svg = renderSvg(exportTo(design, u"arc.svg"_s), 254);
    for (const auto &[image, format] : {std::pair{png, u"PNG"_s}, std::pair{svg, u"SVG"_s}}) {
        for (double a : inked)
            QVERIFY2(inkNear(image, 254, pointAt(a).x(), pointAt(a).y(), 0.2), qPrintable(u"%1 at %2 degrees"_s.arg(format).arg(a)));
        for (double a : blank)
            QVERIFY2(!inkNear(image, 254, pointAt(a).x(), pointAt(a).y(), 0.5), qPrintable(u"%1 at %2 degrees"_s.arg(format).arg(a)));
    }

    const QByteArray read = run(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromLatin1(kDxfArcs), exportTo(design, u"arc.dxf"_s)});
    const QJsonArray arcs = QJsonDocument::fromJson(read).array();
    QCOMPARE(arcs.size(), 1);
    const QJsonArray vertices = arcs[0].toArray()[3].toArray();
    QVERIFY(vertices.size() > 20);
    const auto nearest = [&](double degrees) {
        const QPointF p = pointAt(degrees);
        double best = 1e9;
        for (qsizetype k = 0; k + 1 < vertices.size(); k += 2)
            best = std::min(best, std::hypot(vertices[k].toDouble() - p.x(), vertices[k + 1].toDouble() - (45 - p.y())));
        return best;
    };
    for (double a : inked)
        QVERIFY2(nearest(a) < 0.3, qPrintable(u"DXF at %1 degrees: %2 mm away"_s.arg(a).arg(nearest(a))));
    for (double a : blank)
        QVERIFY2(nearest(a) > 1.0, qPrintable(u"DXF at %1 degrees: %2 mm away"_s.arg(a).arg(nearest(a))));
}

void TestExports::cardFitsPage_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<ExportPage>("page");
    QTest::addColumn<bool>("fits");

    // The card stands 10 mm in from the corner: A4 takes 200 x 287 mm, Letter 205.9 x 269.4 mm.
    QTest::newRow("A4 to the edge") << u"200"_s << u"287"_s << ExportPage::A4 << true;
    QTest::newRow("A4 too wide") << u"200.01"_s << u"45"_s << ExportPage::A4 << false;
    QTest::newRow("A4 too high") << u"52"_s << u"287.01"_s << ExportPage::A4 << false;
    QTest::newRow("Letter to the edge") << u"205.9"_s << u"269.4"_s << ExportPage::Letter << true;
    QTest::newRow("Letter too high for A4's height") << u"52"_s << u"280"_s << ExportPage::Letter << false;
    QTest::newRow("Letter too wide") << u"206"_s << u"45"_s << ExportPage::Letter << false;
    QTest::newRow("card page") << u"400"_s << u"900"_s << ExportPage::Card << true;
    QTest::newRow("no size") << u""_s << u"-5"_s << ExportPage::A4 << true;
}

void TestExports::cardFitsPage()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(ExportPage, page);
    QFETCH(bool, fits);
    DialDesign design = exportDesign();
    design.dimension(Dimension::CardWidth) = width;
    design.dimension(Dimension::CardHeight) = height;
    QCOMPARE(vernalith::cardFitsPage(design, page), fits);
    // The PDF export agrees.
    ExportOptions options;
    options.page = page;
    QTemporaryDir dir;
    const ExportError error = exportDial(design, dir.filePath(u"fit.pdf"_s), options);
    QCOMPARE(error.kind, fits ? ExportError::Kind::None : ExportError::Kind::PageTooSmall);
}

QTEST_MAIN(TestExports)
#include "test_exports.moc"
