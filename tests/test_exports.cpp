// True size on the painter surface and in every export, measured back from the pixels and files
// with outside tools (poppler's pdftocairo and pdftotext, Python's ezdxf); the export's failure
// handling; the DXF surface's coordinates.

#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/dxfsurface.h"
#include "render/paintersurface.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace vernalith;

namespace {

constexpr double kPtToMm = 25.4 / 72.0;
constexpr double kTolerance = 0.05; // mm

// The design of the dial file format's example, plus a big label for text measurements.
DialDesign workedDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleArcs) = {{QStringLiteral("22")}, {QStringLiteral("20")}};
    d.table(TableKind::ScaleTickmarks) = {{QStringLiteral("50"), QStringLiteral("22"), QStringLiteral("21")},
                                          {QStringLiteral("10"), QStringLiteral("22"), QStringLiteral("20")}};
    d.table(TableKind::ScaleDigits) = {{QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("100"),
                                        QStringLiteral("0"), QStringLiteral("24"), QStringLiteral("6")}};
    d.table(TableKind::FaceLabels) = {{QStringLiteral("26"), QStringLiteral("40"), QStringLiteral("mA"), QStringLiteral("8")},
                                      {QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("Big"), QStringLiteral("72")}};
    return d;
}

// The renderer's worked example: one tickmark row 10, 22, 18 and nothing else.
DialDesign tickExampleDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleTickmarks) = {{QStringLiteral("10"), QStringLiteral("22"), QStringLiteral("18")}};
    return d;
}

DialDesign undrawableDesign()
{
    DialDesign d = workedDesign();
    d.table(TableKind::ScaleDigits)[0][0] = QStringLiteral("40000");
    return d;
}

// DejaVu Sans's own proportions, measured at a size where rounding does not matter.
QFontMetricsF exportFontMetrics()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(1000);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font);
}

double lineHeightPerEm()
{
    return exportFontMetrics().height() / 1000.0;
}

bool runTool(const QString &program, const QStringList &arguments, QByteArray &output, QString &problem)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        problem = QStringLiteral("%1 failed: %2 %3")
                      .arg(program, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    output = process.readAllStandardOutput();
    return true;
}

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
};

// matrix(a,b,c,d,e,f) applied to a point; only scale and translation occur in these files.
struct Matrix {
    double a = 1, d = 1, e = 0, f = 0;
    Matrix then(const Matrix &outer) const
    {
        return {a * outer.a, d * outer.d, e * outer.a + outer.e, f * outer.d + outer.f};
    }
};

Matrix parseMatrix(const QString &transform)
{
    static const QRegularExpression pattern(QStringLiteral(R"(matrix\(([^)]*)\))"));
    const QRegularExpressionMatch match = pattern.match(transform);
    if (!match.hasMatch())
        return {};
    const QStringList v = match.captured(1).split(QRegularExpression(QStringLiteral("[ ,]+")), Qt::SkipEmptyParts);
    if (v.size() != 6)
        return {};
    return {v[0].toDouble(), v[3].toDouble(), v[4].toDouble(), v[5].toDouble()};
}

// The largest unfilled four-corner path in poppler's SVG rendering of a PDF, in mm from the
// page's top-left corner.
Rect largestRectangleInPdfSvg(const QByteArray &svg)
{
    static const QRegularExpression pathPattern(
        QStringLiteral("<path style=\"fill:none;[^\"]*\" d=\"([^\"]*)\"(?: transform=\"([^\"]*)\")?"));
    static const QRegularExpression rectPath(QStringLiteral(
        R"(^M ([-\d.e]+) ([-\d.e]+) L ([-\d.e]+) ([-\d.e]+) L ([-\d.e]+) ([-\d.e]+) L ([-\d.e]+) ([-\d.e]+) Z)"));
    Rect best;
    auto it = pathPattern.globalMatch(QString::fromUtf8(svg));
    while (it.hasNext()) {
        const QRegularExpressionMatch path = it.next();
        const QRegularExpressionMatch corners = rectPath.match(path.captured(1));
        if (!corners.hasMatch())
            continue;
        const Matrix m = parseMatrix(path.captured(2));
        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (int k = 0; k < 4; ++k) {
            const double x = corners.captured(1 + 2 * k).toDouble() * m.a + m.e;
            const double y = corners.captured(2 + 2 * k).toDouble() * m.d + m.f;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        const Rect r{minX * kPtToMm, minY * kPtToMm, (maxX - minX) * kPtToMm, (maxY - minY) * kPtToMm};
        if (r.width * r.height > best.width * best.height)
            best = r;
    }
    return best;
}

struct SvgFacts {
    QString width, height, viewBox;
    Rect outline;          // the <rect>, in viewBox units
    double bigTextEm = 0;  // font size of the text "Big" in viewBox units
    double bigTextX = 0, bigTextY = 0; // where its box's top-left lands
};

SvgFacts readQtSvg(const QByteArray &bytes)
{
    SvgFacts facts;
    QXmlStreamReader xml(bytes);
    QVector<Matrix> stack{Matrix{}};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            stack.removeLast();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("svg")) {
            facts.width = attributes.value(QLatin1String("width")).toString();
            facts.height = attributes.value(QLatin1String("height")).toString();
            facts.viewBox = attributes.value(QLatin1String("viewBox")).toString();
        } else if (xml.name() == QLatin1String("g")) {
            stack.append(parseMatrix(attributes.value(QLatin1String("transform")).toString()).then(stack.last()));
        } else if (xml.name() == QLatin1String("rect")) {
            const Matrix &m = stack.last();
            facts.outline = {attributes.value(QLatin1String("x")).toDouble() * m.a + m.e,
                             attributes.value(QLatin1String("y")).toDouble() * m.d + m.f,
                             attributes.value(QLatin1String("width")).toDouble() * m.a,
                             attributes.value(QLatin1String("height")).toDouble() * m.d};
        } else if (xml.name() == QLatin1String("text")) {
            const Matrix m = stack.last();
            const double size = attributes.value(QLatin1String("font-size")).toDouble();
            if (xml.readElementText() == QLatin1String("Big")) {
                facts.bigTextEm = size * m.a;
                facts.bigTextX = m.e;
                facts.bigTextY = m.f;
            }
        }
    }
    return facts;
}

// Dark pixels of an image, as a bounding box in pixels; empty when it is all white.
QRect inkBox(const QImage &image, QRect within = QRect())
{
    if (within.isNull())
        within = image.rect();
    int minX = INT_MAX, minY = INT_MAX, maxX = -1, maxY = -1;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    return maxX < 0 ? QRect() : QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool isWhite(const QImage &image)
{
    return inkBox(image).isNull();
}

} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    // The painter surface on an image.
    void cardOriginIsTenMillimetresIn_data();
    void cardOriginIsTenMillimetresIn();
    void lineIsTrueLength_data();
    void lineIsTrueLength();
    void penIsThinButVisible_data();
    void penIsThinButVisible();
    void arcRunsCounterClockwiseAsSeen_data();
    void arcRunsCounterClockwiseAsSeen();
    void degenerateArcsDrawNothing_data();
    void degenerateArcsDrawNothing();
    void textIsItsPointSizeAtAnyResolution_data();
    void textIsItsPointSizeAtAnyResolution();
    void clearErasesAndStateIsRestored();

    // The DXF surface.
    void dxfFlipsYAndKeepsAngles();
    void dxfTextKeepsItsDrawnPlace();

    // Exported files, measured back.
    void pdfOutlineIsTrueSize_data();
    void pdfOutlineIsTrueSize();
    void pdfTextIsTextAtItsSize();
    void svgIsInMillimetres();
    void pngRecordsResolutionOnWhite_data();
    void pngRecordsResolutionOnWhite();
    void dxfReadsCleanlyWithTheWorkedTicks();
    void dxfCarriesArcsAndTexts();
    void dxfTextsKeepTheirCharacters();
    void dialFileIsWhatSaveWrites();

    // Failures.
    void drawingErrorLeavesNoFile_data();
    void drawingErrorLeavesNoFile();
    void badRequestsAreRefused_data();
    void badRequestsAreRefused();
    void unwritablePlaceIsReported();

private:
    QString exportTo(const DialDesign &design, const QString &name, const ExportOptions &options = {});
    QTemporaryDir m_dir;
};

QString TestExports::exportTo(const DialDesign &design, const QString &name, const ExportOptions &options)
{
    const QString path = m_dir.filePath(name);
    const ExportError error = exportDial(design, path, options);
    if (!error.ok())
        qWarning() << "export failed:" << error.message;
    return error.ok() ? path : QString();
}

void TestExports::cardOriginIsTenMillimetresIn_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<QPointF>("surfaceOrigin");
    QTest::newRow("254 dpi") << 254.0 << QPointF();
    QTest::newRow("254 dpi, moved origin") << 254.0 << QPointF(37, 21);
    QTest::newRow("508 dpi") << 508.0 << QPointF();
}

void TestExports::cardOriginIsTenMillimetresIn()
{
    QFETCH(double, dpi);
    QFETCH(QPointF, surfaceOrigin);
    const double pxPerMm = dpi / 25.4;
    QImage image = whiteImage(qRound(40 * pxPerMm + 40), qRound(40 * pxPerMm + 40));
    {
        QPainter painter(&image);
        PainterSurface surface(painter, dpi, surfaceOrigin);
        surface.box({0, 0}, {5, 5});
    }
    const QRect ink = inkBox(image);
    // The 5 mm box's ink starts half a pen width (0.15 mm) before the card's origin.
    const double halfPen = 0.075 * pxPerMm;
    QVERIFY(std::fabs(ink.left() - (surfaceOrigin.x() + 10 * pxPerMm - halfPen)) <= 1.5);
    QVERIFY(std::fabs(ink.top() - (surfaceOrigin.y() + 10 * pxPerMm - halfPen)) <= 1.5);
    QVERIFY(std::fabs(ink.width() - (5 * pxPerMm + 2 * halfPen)) <= 2);
}

void TestExports::lineIsTrueLength_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("96 dpi") << 96.0;
    QTest::newRow("600 dpi") << 600.0;
    QTest::newRow("1200 dpi") << 1200.0;
}

void TestExports::lineIsTrueLength()
{
    QFETCH(double, dpi);
    const double pxPerMm = dpi / 25.4;
    QImage image = whiteImage(qRound(72 * pxPerMm), qRound(25 * pxPerMm));
    {
        QPainter painter(&image);
        PainterSurface surface(painter, dpi);
        surface.line({0, 5}, {52, 5});
    }
    const QRect ink = inkBox(image);
    // Flat ends: the ink is the line's length, to a pixel at each end.
    const double lengthMm = ink.width() / pxPerMm;
    QVERIFY2(std::fabs(lengthMm - 52) <= 2 / pxPerMm + 0.01, qPrintable(QString::number(lengthMm)));
}

void TestExports::penIsThinButVisible_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("expectedMm");
    QTest::newRow("1200 dpi: 0.15 mm") << 1200.0 << 0.15;
    QTest::newRow("96 dpi: one pixel") << 96.0 << 25.4 / 96.0;
}

void TestExports::penIsThinButVisible()
{
    QFETCH(double, dpi);
    QFETCH(double, expectedMm);
    const double pxPerMm = dpi / 25.4;
    QImage image = whiteImage(qRound(30 * pxPerMm), qRound(30 * pxPerMm));
    {
        QPainter painter(&image);
        PainterSurface surface(painter, dpi);
        // On a pixel centre, so that the pen covers whole pixels.
        surface.line({0, 5 + 0.5 / pxPerMm}, {10, 5 + 0.5 / pxPerMm});
    }
    const QRect ink = inkBox(image);
    QVERIFY(!ink.isNull());
    QVERIFY2(std::fabs(ink.height() - expectedMm * pxPerMm) <= 1.01, qPrintable(QString::number(ink.height())));
}

void TestExports::arcRunsCounterClockwiseAsSeen_data()
{
    QTest::addColumn<double>("startDegrees");
    QTest::addColumn<double>("endDegrees");
    QTest::addColumn<double>("probeDegrees");
    QTest::addColumn<bool>("inked");
    // 0 points right and 90 up as the card is seen.
    QTest::newRow("0..90 covers 45 (up right)") << 0.0 << 90.0 << 45.0 << true;
    QTest::newRow("0..90 leaves 315 (down right)") << 0.0 << 90.0 << 315.0 << false;
    QTest::newRow("0..90 leaves 135") << 0.0 << 90.0 << 135.0 << false;
    QTest::newRow("45..135 covers 90 (straight up)") << 45.0 << 135.0 << 90.0 << true;
    QTest::newRow("45..135 leaves 270 (straight down)") << 45.0 << 135.0 << 270.0 << false;
    QTest::newRow("60..300 passes 180 (left)") << 60.0 << 300.0 << 180.0 << true;
    QTest::newRow("60..300 leaves 0 (right)") << 60.0 << 300.0 << 0.0 << false;
    QTest::newRow("300..60 wraps through 0") << 300.0 << 60.0 << 0.0 << true;
    QTest::newRow("300..60 leaves 180") << 300.0 << 60.0 << 180.0 << false;
}

void TestExports::arcRunsCounterClockwiseAsSeen()
{
    QFETCH(double, startDegrees);
    QFETCH(double, endDegrees);
    QFETCH(double, probeDegrees);
    QFETCH(bool, inked);
    const double dpi = 254, pxPerMm = 10;
    const CardPoint centre{20, 20};
    const double radius = 15;
    QImage image = whiteImage(500, 500);
    {
        QPainter painter(&image);
        PainterSurface surface(painter, dpi);
        surface.arc(centre, radius, startDegrees * M_PI / 180, endDegrees * M_PI / 180);
    }
    const double a = probeDegrees * M_PI / 180;
    // Card Y grows downwards: a point up the card has a smaller Y.
    const double x = (10 + centre.x + std::cos(a) * radius) * pxPerMm;
    const double y = (10 + centre.y - std::sin(a) * radius) * pxPerMm;
    const QRect around(qRound(x) - 3, qRound(y) - 3, 7, 7);
    QCOMPARE(!inkBox(image, around).isNull(), inked);
}

void TestExports::degenerateArcsDrawNothing_data()
{
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::newRow("radius 0") << 0.0 << 0.5 << 2.0;
    QTest::newRow("negative radius") << -5.0 << 0.5 << 2.0;
    QTest::newRow("equal angles") << 10.0 << 2.3561944902 << 2.3561944902;
}

void TestExports::degenerateArcsDrawNothing()
{
    QFETCH(double, radius);
    QFETCH(double, start);
    QFETCH(double, end);
    QImage image = whiteImage(300, 300);
    {
        QPainter painter(&image);
        PainterSurface surface(painter, 254);
        surface.arc({10, 10}, radius, start, end);
    }
    QVERIFY(isWhite(image));
}

void TestExports::textIsItsPointSizeAtAnyResolution_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("points");
    // At a millimetre scale Qt would round these sizes to whole millimetres: 8 pt to 3 mm.
    QTest::newRow("8 pt at 1200 dpi") << 1200.0 << 8.0;
    QTest::newRow("72 pt at 300 dpi") << 300.0 << 72.0;
    QTest::newRow("36 pt at 96 dpi") << 96.0 << 36.0;
}

void TestExports::textIsItsPointSizeAtAnyResolution()
{
    QFETCH(double, dpi);
    QFETCH(double, points);
    const double pxPerMm = dpi / 25.4;
    const double emMm = points * 25.4 / 72;
    QImage image = whiteImage(qRound((20 + 3 * emMm) * pxPerMm), qRound((20 + 2 * emMm) * pxPerMm));
    double heightMm = 0;
    {
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans")));
        PainterSurface surface(painter, dpi);
        surface.setFontSize(points);
        heightMm = surface.textHeight(QStringLiteral("H"));
        surface.text({0, 0}, QStringLiteral("H"));
    }
    const QFontMetricsF font = exportFontMetrics();
    QVERIFY2(std::fabs(heightMm - emMm * lineHeightPerEm()) <= 0.01, qPrintable(QString::number(heightMm)));
    // The capital's ink is the font's cap height, and its top sits ascent - cap height below
    // the text's top-left corner.
    const QRect ink = inkBox(image);
    const double capMm = font.capHeight() / 1000 * emMm;
    const double inkMm = ink.height() / pxPerMm;
    QVERIFY2(std::fabs(inkMm - capMm) <= 1.5 / pxPerMm + 0.01,
             qPrintable(QStringLiteral("ink %1 mm, cap height %2 mm").arg(inkMm).arg(capMm)));
    const double topMm = ink.top() / pxPerMm - 10;
    QVERIFY(std::fabs(topMm - (font.ascent() - font.capHeight()) / 1000 * emMm) <= 1.5 / pxPerMm + 0.01);
}

void TestExports::clearErasesAndStateIsRestored()
{
    QImage image = whiteImage(200, 200);
    QPainter painter(&image);
    const QTransform before = painter.worldTransform();
    const QPen pen = painter.pen();
    {
        PainterSurface surface(painter, 254);
        surface.line({0, 0}, {5, 5});
        QVERIFY(!isWhite(image));
        surface.clear();
        QVERIFY(isWhite(image));
    }
    QCOMPARE(painter.worldTransform(), before);
    QCOMPARE(painter.pen(), pen);
}

void TestExports::dxfFlipsYAndKeepsAngles()
{
    DxfSurface surface(45);
    surface.line({13.2721, 20.2721}, {10.4437, 17.4437});
    surface.arc({26, 33}, 20, M_PI / 4, 3 * M_PI / 4);
    surface.arc({26, 33}, 0, 1, 2); // nothing
    const QVector<DxfSurface::Entity> &entities = surface.entities();
    QCOMPARE(entities.size(), 2);
    QCOMPARE(entities[0].y1, 45 - 20.2721);
    QCOMPARE(entities[0].y2, 45 - 17.4437);
    QCOMPARE(entities[1].y1, 12.0);
    QVERIFY(std::fabs(entities[1].startDeg - 45) < 1e-9);
    QVERIFY(std::fabs(entities[1].endDeg - 135) < 1e-9);
}

void TestExports::dxfTextKeepsItsDrawnPlace()
{
    DxfSurface surface(45);
    surface.setFontSize(72);
    surface.text({4, 2}, QStringLiteral("Big"));
    QCOMPARE(surface.entities().size(), 1);
    const DxfSurface::Entity &text = surface.entities()[0];
    const QFontMetricsF font = exportFontMetrics();
    // 72 pt is an em of 25.4 mm: the baseline lies the ascent below the top, and CAD programs
    // take a text's height to be its capitals' height.
    QCOMPARE(text.x1, 4.0);
    QVERIFY(std::fabs(text.y1 - (45 - 2 - font.ascent() / 1000 * 25.4)) < 0.01);
    QVERIFY(std::fabs(text.height - font.capHeight() / 1000 * 25.4) < 0.01);
    QCOMPARE(text.text, QStringLiteral("Big"));
}

void TestExports::pdfOutlineIsTrueSize_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::newRow("A4") << int(ExportPage::A4) << QSizeF(210, 297);
    QTest::newRow("Letter") << int(ExportPage::Letter) << QSizeF(215.9, 279.4);
    QTest::newRow("card") << int(ExportPage::Card) << QSizeF(72, 65);
}

void TestExports::pdfOutlineIsTrueSize()
{
    QFETCH(int, page);
    QFETCH(QSizeF, pageMm);
    ExportOptions options;
    options.page = static_cast<ExportPage>(page);
    const QString pdf = exportTo(workedDesign(), QStringLiteral("outline.pdf"), options);
    QVERIFY(!pdf.isEmpty());
    QByteArray svg;
    QString problem;
    QVERIFY2(runTool(QStringLiteral("pdftocairo"), {QStringLiteral("-svg"), pdf, QStringLiteral("-")}, svg, problem),
             qPrintable(problem));

    static const QRegularExpression size(QStringLiteral("<svg[^>]* width=\"([\\d.]+)pt\" height=\"([\\d.]+)pt\""));
    const QRegularExpressionMatch pageSize = size.match(QString::fromUtf8(svg));
    QVERIFY(pageSize.hasMatch());
    // PDF pages are whole points.
    QVERIFY(std::fabs(pageSize.captured(1).toDouble() * kPtToMm - pageMm.width()) <= 0.36);
    QVERIFY(std::fabs(pageSize.captured(2).toDouble() * kPtToMm - pageMm.height()) <= 0.36);

    const Rect outline = largestRectangleInPdfSvg(svg);
    const QString got = QStringLiteral("%1, %2, %3 x %4").arg(outline.x).arg(outline.y).arg(outline.width).arg(outline.height);
    QVERIFY2(std::fabs(outline.x - 10) <= kTolerance && std::fabs(outline.y - 10) <= kTolerance, qPrintable(got));
    QVERIFY2(std::fabs(outline.width - 52) <= kTolerance && std::fabs(outline.height - 45) <= kTolerance, qPrintable(got));
}

void TestExports::pdfTextIsTextAtItsSize()
{
    const QString pdf = exportTo(workedDesign(), QStringLiteral("text.pdf"));
    QVERIFY(!pdf.isEmpty());
    QByteArray html;
    QString problem;
    QVERIFY2(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}, html, problem),
             qPrintable(problem));
    static const QRegularExpression word(QStringLiteral(
        R"xx(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">Big</word>)xx"));
    const QRegularExpressionMatch big = word.match(QString::fromUtf8(html));
    QVERIFY2(big.hasMatch(), html.constData());
    // A 72 pt label: its line box is 72 pt times the font's line height per em, and its
    // top-left corner is at (4, 2) on the card, 10 mm in.
    const double heightPt = big.captured(4).toDouble() - big.captured(2).toDouble();
    QVERIFY2(std::fabs(heightPt * kPtToMm - 25.4 * lineHeightPerEm()) <= kTolerance, qPrintable(QString::number(heightPt)));
    QVERIFY(std::fabs(big.captured(1).toDouble() * kPtToMm - 14) <= kTolerance);
    QVERIFY(std::fabs(big.captured(2).toDouble() * kPtToMm - 12) <= kTolerance);
    QVERIFY(html.contains(">mA</word>"));

    // The digit "100" is centred on its point, 24 mm from the pivot at 45 degrees: what the
    // surface measured is what the PDF shows.
    static const QRegularExpression digit(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">100</word>"));
    const QRegularExpressionMatch hundred = digit.match(QString::fromUtf8(html));
    QVERIFY(hundred.hasMatch());
    const double centreX = (hundred.captured(1).toDouble() + hundred.captured(3).toDouble()) / 2 * kPtToMm;
    const double centreY = (hundred.captured(2).toDouble() + hundred.captured(4).toDouble()) / 2 * kPtToMm;
    QVERIFY2(std::fabs(centreX - (10 + 26 + 24 * std::cos(M_PI / 4))) <= kTolerance, qPrintable(QString::number(centreX)));
    QVERIFY2(std::fabs(centreY - (10 + 33 - 24 * std::sin(M_PI / 4))) <= kTolerance, qPrintable(QString::number(centreY)));
}

void TestExports::svgIsInMillimetres()
{
    const QString path = exportTo(workedDesign(), QStringLiteral("card.svg"));
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const SvgFacts svg = readQtSvg(file.readAll());
    QCOMPARE(svg.width, QStringLiteral("72mm"));
    QCOMPARE(svg.height, QStringLiteral("65mm"));
    QCOMPARE(svg.viewBox, QStringLiteral("0 0 72 65"));
    QVERIFY(std::fabs(svg.outline.x - 10) <= kTolerance && std::fabs(svg.outline.y - 10) <= kTolerance);
    QVERIFY(std::fabs(svg.outline.width - 52) <= kTolerance && std::fabs(svg.outline.height - 45) <= kTolerance);
    QVERIFY2(std::fabs(svg.bigTextEm - 25.4) <= 0.01, qPrintable(QString::number(svg.bigTextEm)));
    QVERIFY(std::fabs(svg.bigTextX - 14) <= kTolerance && std::fabs(svg.bigTextY - 12) <= kTolerance);
}

void TestExports::pngRecordsResolutionOnWhite_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("default 600") << 0;
    QTest::newRow("96") << 96;
    QTest::newRow("1200") << 1200;
}

void TestExports::pngRecordsResolutionOnWhite()
{
    QFETCH(int, dpi);
    ExportOptions options;
    if (dpi)
        options.dotsPerInch = dpi;
    else
        dpi = 600;
    const QString path = exportTo(workedDesign(), QStringLiteral("card.png"), options);
    QVERIFY(!path.isEmpty());
    QImage image;
    QVERIFY(image.load(path, "PNG"));
    QCOMPARE(image.dotsPerMeterX(), qRound(dpi / 0.0254));
    QCOMPARE(image.dotsPerMeterY(), qRound(dpi / 0.0254));
    const double pxPerMm = dpi / 25.4;
    QVERIFY(std::fabs(image.width() / pxPerMm - 72) <= 1 / pxPerMm + 0.01);
    QVERIFY(std::fabs(image.height() / pxPerMm - 65) <= 1 / pxPerMm + 0.01);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::white));
    // The outline's left edge at 10 mm, its right edge at 62 mm.
    const QRect ink = inkBox(image);
    QVERIFY(std::fabs(ink.left() / pxPerMm - 10) <= 1.5 / pxPerMm + 0.1);
    QVERIFY(std::fabs((ink.right() + 1) / pxPerMm - 62) <= 1.5 / pxPerMm + 0.1);
}

// ezdxf is the reference reader: it audits the file and lists what it found.
static const char kEzdxfScript[] = R"py(
import ezdxf, json, sys
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
out = {"errors": len(auditor.errors), "insunits": doc.header.get("$INSUNITS", 0), "entities": []}
for e in doc.modelspace():
    item = {"type": e.dxftype(), "layer": e.dxf.layer}
    if e.dxftype() == "LINE":
        item["points"] = [e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y]
    elif e.dxftype() == "ARC":
        item["points"] = [e.dxf.center.x, e.dxf.center.y, e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle]
    elif e.dxftype() == "TEXT":
        item["points"] = [e.dxf.insert.x, e.dxf.insert.y, e.dxf.height]
        item["text"] = e.dxf.text
    out["entities"].append(item)
print(json.dumps(out))
)py";

static bool readDxf(const QString &path, QJsonObject &result, QString &problem)
{
    QByteArray json;
    if (!runTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(kEzdxfScript), path},
                 json, problem))
        return false;
    result = QJsonDocument::fromJson(json).object();
    return !result.isEmpty();
}

static bool near(const QJsonArray &actual, std::initializer_list<double> expected, double tolerance = 0.0001)
{
    if (actual.size() != static_cast<qsizetype>(expected.size()))
        return false;
    int k = 0;
    for (double value : expected)
        if (std::fabs(actual[k++].toDouble() - value) > tolerance)
            return false;
    return true;
}

void TestExports::dxfReadsCleanlyWithTheWorkedTicks()
{
    const QString path = exportTo(tickExampleDesign(), QStringLiteral("ticks.dxf"));
    QVERIFY(!path.isEmpty());
    QJsonObject dxf;
    QString problem;
    QVERIFY2(readDxf(path, dxf, problem), qPrintable(problem));
    QCOMPARE(dxf.value(QLatin1String("errors")).toInt(), 0);
    QCOMPARE(dxf.value(QLatin1String("insunits")).toInt(), 4);

    const QJsonArray entities = dxf.value(QLatin1String("entities")).toArray();
    // Outline (4), cross (2), 11 tickmarks; card Y = 45 - DXF Y.
    QCOMPARE(entities.size(), 17);
    for (const QJsonValue &e : entities)
        QCOMPARE(e[QLatin1String("type")].toString(), QStringLiteral("LINE"));
    QVERIFY(near(entities[0][QLatin1String("points")].toArray(), {0, 45, 52, 45}));
    QCOMPARE(entities[0][QLatin1String("layer")].toString(), QStringLiteral("OUTLINE"));
    QVERIFY(near(entities[4][QLatin1String("points")].toArray(), {25, 12, 27, 12}));
    QVERIFY(near(entities[5][QLatin1String("points")].toArray(), {26, 13, 26, 11}));
    const QJsonArray first = entities[6][QLatin1String("points")].toArray();
    QVERIFY2(near(first, {13.2721, 45 - 20.2721, 10.4437, 45 - 17.4437}),
             QJsonDocument(first).toJson(QJsonDocument::Compact).constData());
    QVERIFY(near(entities[11][QLatin1String("points")].toArray(), {26, 45 - 15, 26, 45 - 11}));
    QVERIFY(near(entities[16][QLatin1String("points")].toArray(), {38.7279, 45 - 20.2721, 41.5563, 45 - 17.4437}));
}

void TestExports::dxfCarriesArcsAndTexts()
{
    const QString path = exportTo(workedDesign(), QStringLiteral("worked.dxf"));
    QVERIFY(!path.isEmpty());
    QJsonObject dxf;
    QString problem;
    QVERIFY2(readDxf(path, dxf, problem), qPrintable(problem));
    QCOMPARE(dxf.value(QLatin1String("errors")).toInt(), 0);
    QStringList arcs, texts;
    QJsonArray big;
    for (const QJsonValue &e : dxf.value(QLatin1String("entities")).toArray()) {
        const QJsonArray p = e[QLatin1String("points")].toArray();
        if (e[QLatin1String("type")].toString() == QLatin1String("ARC")) {
            QVERIFY(near(p, {26, 12, p[2].toDouble(), 45, 135}));
            arcs << QString::number(p[2].toDouble());
        } else if (e[QLatin1String("type")].toString() == QLatin1String("TEXT")) {
            texts << e[QLatin1String("text")].toString();
            QCOMPARE(e[QLatin1String("layer")].toString(), QStringLiteral("TEXT"));
            if (texts.last() == QLatin1String("Big"))
                big = p;
        }
    }
    QCOMPARE(arcs, QStringList({QStringLiteral("22"), QStringLiteral("20")}));
    QCOMPARE(texts, QStringList({QStringLiteral("0"), QStringLiteral("20"), QStringLiteral("40"), QStringLiteral("60"),
                                 QStringLiteral("80"), QStringLiteral("100"), QStringLiteral("mA"), QStringLiteral("Big")}));
    const QFontMetricsF font = exportFontMetrics();
    QVERIFY(near(big, {4, 45 - 2 - font.ascent() / 1000 * 25.4, font.capHeight() / 1000 * 25.4}, 0.01));
}

void TestExports::dxfTextsKeepTheirCharacters()
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::FaceLabels) = {
        {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("\u00b5A \u00b0C 50% \u20ac"), QStringLiteral("8")},
        {QStringLiteral("2"), QStringLiteral("20"), QStringLiteral("\u03a9 k\u03a9"), QStringLiteral("8")}};
    const QString path = exportTo(design, QStringLiteral("characters.dxf"));
    QVERIFY(!path.isEmpty());
    QJsonObject dxf;
    QString problem;
    QVERIFY2(readDxf(path, dxf, problem), qPrintable(problem));
    QCOMPARE(dxf.value(QLatin1String("errors")).toInt(), 0);
    QStringList texts;
    for (const QJsonValue &e : dxf.value(QLatin1String("entities")).toArray())
        if (e[QLatin1String("type")].toString() == QLatin1String("TEXT"))
            texts << e[QLatin1String("text")].toString();
    // Windows-1252 characters as they are; others in the escape that CAD programs decode.
    QCOMPARE(texts, QStringList({QStringLiteral("\u00b5A \u00b0C 50% \u20ac"), QStringLiteral("\\U+03A9 k\\U+03A9")}));
}

void TestExports::dialFileIsWhatSaveWrites()
{
    DialDesign design = workedDesign();
    design.dimension(Dimension::CardWidth) = QStringLiteral("52.50 mm");
    const QString exported = exportTo(design, QStringLiteral("copy.vlt"));
    QVERIFY(!exported.isEmpty());
    const QString saved = m_dir.filePath(QStringLiteral("saved.vlt"));
    QVERIFY(saveDialFile(saved, design).ok());
    QFile a(exported), b(saved);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    QCOMPARE(bytes, b.readAll());
    QVERIFY(bytes.startsWith("[Vernalith1.0]\r\n[Dimensions]\r\n52.50 mm\r\n"));
}

void TestExports::drawingErrorLeavesNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("existing");
    for (const char *name : {"bad.pdf", "bad.svg", "bad.png", "bad.dxf"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << false;
        QTest::newRow(QByteArray(name).append(" over a file").constData()) << QString::fromLatin1(name) << true;
    }
}

void TestExports::drawingErrorLeavesNoFile()
{
    QFETCH(QString, name);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (existing) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier content");
    }
    const ExportError error = exportDial(undrawableDesign(), path);
    QCOMPARE(error.kind, ExportError::Kind::Drawing);
    QVERIFY2(error.message.contains(QLatin1String("40000")), qPrintable(error.message));
    // Nothing half-written, and no temporary file left beside it.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    if (existing) {
        QCOMPARE(left, QStringList{name});
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier content"));
    } else {
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }
}

void TestExports::badRequestsAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("cardWidth");
    QTest::newRow("unknown extension") << QStringLiteral("card.jpg") << 600 << QStringLiteral("52");
    QTest::newRow("no extension") << QStringLiteral("card") << 600 << QStringLiteral("52");
    QTest::newRow("resolution 0") << QStringLiteral("card.png") << 0 << QStringLiteral("52");
    QTest::newRow("resolution too high") << QStringLiteral("card.png") << kMaxExportDpi + 1 << QStringLiteral("52");
    QTest::newRow("image too large") << QStringLiteral("card.png") << 9600 << QStringLiteral("1000");
    QTest::newRow("card too large for an SVG page") << QStringLiteral("card.svg") << 600 << QStringLiteral("1e6");
}

void TestExports::badRequestsAreRefused()
{
    QFETCH(QString, name);
    QFETCH(int, dpi);
    QFETCH(QString, cardWidth);
    QTemporaryDir dir;
    DialDesign design = DialDesign::startup();
    design.dimension(Dimension::CardWidth) = cardWidth;
    ExportOptions options;
    options.dotsPerInch = dpi;
    const ExportError error = exportDial(design, dir.filePath(name), options);
    QCOMPARE(error.kind, ExportError::Kind::BadRequest);
    QVERIFY(!error.message.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestExports::unwritablePlaceIsReported()
{
    const QString path = m_dir.filePath(QStringLiteral("no such folder/card.pdf"));
    const ExportError error = exportDial(DialDesign::startup(), path);
    QCOMPARE(error.kind, ExportError::Kind::Writing);
    QVERIFY2(error.message.contains(path), qPrintable(error.message));
}

QTEST_MAIN(TestExports)
#include "test_exports.moc"
