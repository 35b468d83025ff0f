// Every export at true size, measured back from the files with outside tools (poppler's pdftocairo
// and pdftotext, Python's ezdxf) and from the pixels; failures leave no file behind.

#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "render/dialexport.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace vernalith;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vernalith::DialDesign)
Q_DECLARE_METATYPE(vernalith::ExportError::Kind)

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

// An outside tool's standard output; empty, with a warning, when it fails.
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qWarning().noquote() << program << "failed:" << process.errorString() << process.readAllStandardError();
    return process.readAllStandardOutput();
}

// The numbers captured by the first match of `pattern` in `text`; zeros when it does not match.
QVector<double> numbers(const QByteArray &text, const QString &pattern)
{
    const QRegularExpression expression(pattern);
    const QRegularExpressionMatch match = expression.match(QString::fromUtf8(text));
    QVector<double> result;
    for (int k = 1; k <= expression.captureCount(); ++k)
        result.append(match.captured(k).toDouble());
    return result;
}

// Whether every measured value lies within `tolerance` of the expected one; shows both when not.
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

// Exports into a temporary folder: the file's path, or none (with a warning) when the export fails.
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
    QFile file(exportTo(exportDesign(), u"card.svg"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    const QVector<double> size =
        numbers(svg, uR"re(<svg width="([\d.]+)mm" height="([\d.]+)mm"\s+viewBox="0 0 (\S+) (\S+)")re"_s);
    QVERIFY(near(size, {72, 65, 72, 65}, 0));
    const QString group = uR"re(transform="matrix\(([-\d.]+),0,0,([-\d.]+),([-\d.]+),([-\d.]+)\)"[^>]*>\s*)re"_s;
    const QVector<double> r = numbers(svg, group + uR"re(<rect x="(\S+)" y="(\S+)" width="(\S+)" height="(\S+)")re"_s);
    const QVector<double> outline = {r[4] * r[0] + r[2], r[5] * r[1] + r[3], r[6] * r[0], r[7] * r[1]};
    QVERIFY(near(outline, {10, 10, 52, 45}));
    // The 72 pt label: an em of 25.4 mm, its corner 10 mm in from (4, 2).
    const QVector<double> t = numbers(svg, group + uR"re(<text[^>]* font-size="([\d.]+)"[^>]*>Big</text>)re"_s);
    QVERIFY(near({t[4] * t[0], t[2], t[3]}, {25.4, 14, 12}, 0.01));
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
    QCOMPARE(dxf[7], u"ARC SCALE 26.0000 12.0000 22.0000 45.0000 135.0000"_s);
    QCOMPARE(dxf[15], u"LINE SCALE 13.2721 24.7279 10.4437 27.5563"_s);
    QCOMPARE(dxf[20], u"LINE SCALE 26.0000 30.0000 26.0000 34.0000"_s);
    QCOMPARE(dxf[25], u"LINE SCALE 38.7279 24.7279 41.5563 27.5563"_s);
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

    DialDesign undrawable = exportDesign();
    undrawable.table(TableKind::ScaleDigits)[0][0] = u"40000"_s;
    for (const char *name : {"card.pdf", "card.svg", "card.png", "card.dxf"}) {
        for (bool existing : {false, true})
            QTest::addRow("Divisions 40000 to %s%s", name, existing ? " over a file" : "") << QString::fromLatin1(name)
                << undrawable << 600 << existing << ExportError::Kind::Drawing << u"40000"_s;
    }
    const DialDesign card = exportDesign();
    DialDesign huge = card;
    huge.dimension(Dimension::CardWidth) = u"1e6"_s;
    const auto bad = ExportError::Kind::BadRequest;
    QTest::newRow("unknown extension") << u"card.jpg"_s << card << 600 << false << bad << u"\"jpg\""_s;
    QTest::newRow("resolution 0") << u"card.png"_s << card << 0 << false << bad << u"0 dpi"_s;
    QTest::newRow("image too large") << u"card.png"_s << card << 9600 << false << bad << u"pixels"_s;
    QTest::newRow("card too large for a page") << u"card.svg"_s << huge << 600 << false << bad << u"page"_s;
    QTest::newRow("no such folder") << u"no such folder/card.pdf"_s << card << 600 << false
                                    << ExportError::Kind::Writing << u"no such folder/card.pdf"_s;
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

QTEST_MAIN(TestExports)
#include "test_exports.moc"
