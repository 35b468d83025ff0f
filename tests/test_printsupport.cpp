// What printing draws besides the card itself: the calibration test sheet, the size correction
// about the card's corner, and the surface that draws a card once before any printer is asked.

#include "design/dialdesign.h"
#include "render/cardscale.h"
#include "render/countingsurface.h"
#include "render/dialexport.h"
#include "render/dialrenderer.h"
#include "render/paintersurface.h"
#include "render/recordingsurface.h"
#include "render/testsheet.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace vernalith;
using namespace Qt::StringLiterals;
using Kind = RecordingSurface::Kind;
using Operation = RecordingSurface::Operation;

Q_DECLARE_METATYPE(vernalith::DialDesign)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

QVector<Operation> sheet(double cardWidth = 52, double cardHeight = 45)
{
    RecordingSurface surface;
    drawTestSheet(surface, QStringLiteral("Office Laser"), cardWidth, cardHeight);
    return surface.operations();
}

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

// The dark pixels' first and last column along row `y`, and first and last row along column `x`.
QPair<int, int> spanAcross(const QImage &image, int y)
{
    QPair<int, int> span(-1, -1);
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128)
            span = {span.first < 0 ? x : span.first, x};
    return span;
}
QPair<int, int> spanDown(const QImage &image, int x)
{
    QPair<int, int> span(-1, -1);
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 128)
            span = {span.first < 0 ? y : span.first, y};
    return span;
}

DialDesign design(const QString &divisions)
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleDigits).clear();
    d.table(TableKind::ScaleDigits).append(splitItem(TableKind::ScaleDigits, divisions + u"\t0\t100\t0\t24\t6"_s));
    d.table(TableKind::ScaleTickmarks).clear();
    d.table(TableKind::ScaleTickmarks).append(splitItem(TableKind::ScaleTickmarks, u"50\t22\t21"_s));
    return d;
}

} // namespace

class TestPrintSupport : public QObject
{
    Q_OBJECT

private slots:
    void testSheetRulers_data();
    void testSheetRulers();
    void testSheetCardOutline_data();
    void testSheetCardOutline();
    void testSheetFitsThePaper_data();
    void testSheetFitsThePaper();
    void cardScaleLimits_data();
    void cardScaleLimits();
    void cardScaleIsAboutTheCardCorner_data();
    void cardScaleIsAboutTheCardCorner();
    void countingSurfaceSeesWhatARecordingSees_data();
    void countingSurfaceSeesWhatARecordingSees();
    void exportsTakeAScale_data();
    void exportsTakeAScale();
};

void TestPrintSupport::testSheetRulers_data()
{
    QTest::addColumn<bool>("across");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("numbers"); // the last numbered centimetre
    QTest::newRow("horizontal, 150 mm") << true << 150.0 << 15;
    QTest::newRow("vertical, 200 mm") << false << 200.0 << 20;
}

void TestPrintSupport::testSheetRulers()
{
    QFETCH(bool, across);
    QFETCH(double, length);
    QFETCH(int, numbers);
    const CardPoint o = testSheetLayout().rulerCorner;
    const QVector<Operation> ops = sheet();

    // The base line: from the shared 0 mark, the whole length, along its direction.
    int baseLines = 0;
    // Ticks: perpendicular to the base, one per millimetre, 2 mm, 3.5 mm every 5 and 5 mm every 10.
    QMap<int, double> ticks;
    for (const Operation &op : ops) {
        if (op.kind != Kind::Line)
            continue;
        const double along = across ? op.to.x - op.from.x : op.to.y - op.from.y;
        const double aside = across ? op.to.y - op.from.y : op.to.x - op.from.x;
        const double atBase = across ? op.from.y - o.y : op.from.x - o.x;
        if (near(aside, 0) && near(atBase, 0) && near(along, length) && near(op.from.x, o.x) && near(op.from.y, o.y))
            ++baseLines;
        if (near(along, 0) && near(atBase, 0) && std::abs(aside) > 0 && std::abs(aside) < 10) {
            const double at = across ? op.from.x - o.x : op.from.y - o.y;
            QVERIFY2(near(at, std::round(at)), "a tick off the millimetre");
            QVERIFY2(!ticks.contains(int(std::round(at))), "two ticks on one millimetre");
            ticks[int(std::round(at))] = std::abs(aside);
        }
    }
    QCOMPARE(baseLines, 1);
    QCOMPARE(ticks.size(), int(length) + 1);
    QCOMPARE(ticks.firstKey(), 0);
    QCOMPARE(ticks.lastKey(), int(length));
    for (auto t = ticks.cbegin(); t != ticks.cend(); ++t)
        QCOMPARE(t.value(), t.key() % 10 == 0 ? 5.0 : t.key() % 5 == 0 ? 3.5 : 2.0);

    // Each centimetre numbered once, next to its tick: centred over it across, level with it down.
    for (int cm = across ? 0 : 1; cm <= numbers; ++cm) {
        const QString number = QString::number(cm);
        int found = 0;
        for (const Operation &op : ops) {
            if (op.kind != Kind::Text || op.text != number)
                continue;
            const double em = RecordingSurface::emMillimetres(op.points);
            const double centreX = op.from.x + 0.3 * em * number.size();
            const double centreY = op.from.y + 0.6 * em;
            if (across && near(centreX, o.x + 10 * cm) && centreY < o.y - 5)
                ++found;
            if (!across && near(centreY, o.y + 10 * cm) && op.from.x > o.x + 5)
                ++found;
        }
        QVERIFY2(found == 1, qPrintable(QStringLiteral("centimetre %1 is numbered %2 times").arg(cm).arg(found)));
    }
}

void TestPrintSupport::testSheetCardOutline_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("drawn");
    const TestSheetLayout room = testSheetLayout();
    QTest::newRow("start-up card") << 52.0 << 45.0 << true;
    QTest::newRow("as large as fits") << room.cardRoomXMm << room.cardRoomYMm << true;
    QTest::newRow("too wide") << room.cardRoomXMm + 0.01 << 45.0 << false;
    QTest::newRow("too high") << 52.0 << room.cardRoomYMm + 0.01 << false;
    QTest::newRow("no width") << 0.0 << 45.0 << false;
    QTest::newRow("negative") << -52.0 << -45.0 << false;
    QTest::newRow("not a number") << kNaN << 45.0 << false;
    QTest::newRow("infinite") << 52.0 << kInf << false;
}

void TestPrintSupport::testSheetCardOutline()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, drawn);
    RecordingSurface surface;
    drawTestSheet(surface, QStringLiteral("P"), width, height);
    const QVector<Operation> boxes = surface.operations(Kind::Box);
    const CardPoint c = testSheetLayout().cardCorner;
    if (drawn) {
        QCOMPARE(boxes.size(), 1);
        Operation outline;
        outline.kind = Kind::Box;
        outline.from = c;
        outline.to = {c.x + width, c.y + height};
        QCOMPARE(RecordingSurface::describe(boxes.first()), RecordingSurface::describe(outline));
    } else {
        QCOMPARE(boxes.size(), 0);
    }
    bool noted = false;
    for (const Operation &op : surface.operations(Kind::Text))
        noted = noted || op.text.contains(drawn ? QStringLiteral("outline, ") : QStringLiteral("does not fit"));
    QVERIFY(noted);
}

void TestPrintSupport::testSheetFitsThePaper_data()
{
    QTest::addColumn<double>("paperWidth");
    QTest::addColumn<double>("paperHeight");
    QTest::newRow("A4") << 210.0 << 297.0;
    QTest::newRow("US Letter") << 215.9 << 279.4;
}

void TestPrintSupport::testSheetFitsThePaper()
{
    QFETCH(double, paperWidth);
    QFETCH(double, paperHeight);
    // The card origin lies 10 mm inside the printable area, which most printers start 6.35 mm
    // (a quarter inch) or less from each edge.
    const double margin = 6.35;
    const double inset = 10.0;
    double right = 0, bottom = 0, left = 0, top = 0;
    RecordingSurface surface;
    drawTestSheet(surface, QStringLiteral("A printer with a rather long name, as some have"), 127.5, 150);
    for (const Operation &op : surface.operations()) {
        QList<CardPoint> points = {op.from, op.to};
        if (op.kind == Kind::Text) {
            const double em = RecordingSurface::emMillimetres(op.points);
            points = {op.from, {op.from.x + 0.6 * em * op.text.size(), op.from.y + 1.2 * em}};
        }
        if (op.kind == Kind::FontSize || op.kind == Kind::Clear)
            continue;
        for (const CardPoint &p : points) {
            right = std::max(right, p.x);
            bottom = std::max(bottom, p.y);
            left = std::min(left, p.x);
            top = std::min(top, p.y);
        }
    }
    QVERIFY2(left > -inset && top > -inset, "the sheet reaches into the unprintable edge");
    QVERIFY2(margin + inset + right <= paperWidth - margin,
             qPrintable(QStringLiteral("%1 mm wide does not fit").arg(right)));
    QVERIFY2(margin + inset + bottom <= paperHeight - margin,
             qPrintable(QStringLiteral("%1 mm high does not fit").arg(bottom)));
}

void TestPrintSupport::cardScaleLimits_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("usable");
    QTest::newRow("none") << 1.0 << 1.0 << true;
    QTest::newRow("lowest") << 0.95 << 0.95 << true;
    QTest::newRow("highest") << 1.05 << 1.05 << true;
    QTest::newRow("X below") << 0.9499 << 1.0 << false;
    QTest::newRow("Y above") << 1.0 << 1.0501 << false;
    QTest::newRow("zero") << 0.0 << 1.0 << false;
    QTest::newRow("negative") << -1.0 << -1.0 << false;
    QTest::newRow("NaN") << 1.0 << kNaN << false;
    QTest::newRow("infinite") << kInf << 1.0 << false;
}

void TestPrintSupport::cardScaleLimits()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QTEST(isUsableCardScale(CardScale{x, y}), "usable");
}

void TestPrintSupport::cardScaleIsAboutTheCardCorner_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QPoint>("origin"); // the surface's corner on the image, in pixels
    QTest::newRow("none") << 1.0 << 1.0 << QPoint(0, 0);
    QTest::newRow("X 102 %, Y 98 %") << 1.02 << 0.98 << QPoint(0, 0);
    QTest::newRow("X 95 %, Y 105 %, surface moved") << 0.95 << 1.05 << QPoint(60, 140);
}

void TestPrintSupport::cardScaleIsAboutTheCardCorner()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QPoint, origin);
    const double dpi = 508; // 20 pixels per millimetre
    QImage image(1600, 1500, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        applyCardScale(painter, CardScale{x, y}, dpi, origin);
        PainterSurface surface(painter, dpi, origin);
        surface.box({0, 0}, {52, 45});
    }
    // The outline's corner stays 10 mm in; its far edges move by the factors.
    const int corner = 200;
    const QPair<int, int> across = spanAcross(image, origin.y() + corner + 300);
    const QPair<int, int> down = spanDown(image, origin.x() + corner + 300);
    QVERIFY2(std::abs(across.first - (origin.x() + corner)) <= 2, qPrintable(QString::number(across.first)));
    QVERIFY2(std::abs(down.first - (origin.y() + corner)) <= 2, qPrintable(QString::number(down.first)));
    QVERIFY2(std::abs(across.second - across.first - 52 * 20 * x) <= 3, qPrintable(QString::number(across.second)));
    QVERIFY2(std::abs(down.second - down.first - 45 * 20 * y) <= 3, qPrintable(QString::number(down.second)));
}

void TestPrintSupport::countingSurfaceSeesWhatARecordingSees_data()
{
    QTest::addColumn<DialDesign>("design");
    QTest::addColumn<QString>("error");
    QTest::newRow("start-up") << DialDesign::startup() << QString();
    QTest::newRow("digits and ticks") << design(u"5"_s) << QString();
    QTest::newRow("Divisions 40000") << design(u"40000"_s) << QStringLiteral("Divisions 40000");
}

void TestPrintSupport::countingSurfaceSeesWhatARecordingSees()
{
    QFETCH(DialDesign, design);
    QFETCH(QString, error);
    RecordingSurface recording;
    CountingSurface counting;
    QString recordingError, countingError;
    try {
        drawDial(design, recording);
    } catch (const DrawError &e) {
        recordingError = QString::fromUtf8(e.what());
    }
    try {
        drawDial(design, counting);
    } catch (const DrawError &e) {
        countingError = QString::fromUtf8(e.what());
    }
    QCOMPARE(countingError, recordingError);
    QCOMPARE(countingError.contains(error) && error.isEmpty() == countingError.isEmpty(), true);
    QCOMPARE(counting.count(), recording.drawn().size());
    QVERIFY(counting.count() > 0); // the outline comes first, even before a bad row
}

void TestPrintSupport::exportsTakeAScale_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("done");
    QTest::newRow("PNG, X 102 %, Y 98 %") << u"card.png"_s << 1.02 << 0.98 << true;
    QTest::newRow("PNG, X 105 %, Y 95 %") << u"card.png"_s << 1.05 << 0.95 << true;
    QTest::newRow("PNG, beyond 105 %") << u"card.png"_s << 1.06 << 1.0 << false;
    QTest::newRow("PNG, NaN") << u"card.png"_s << kNaN << 1.0 << false;
    QTest::newRow("DXF, scaled") << u"card.dxf"_s << 1.01 << 1.0 << false;
    QTest::newRow("DXF, true size") << u"card.dxf"_s << 1.0 << 1.0 << true;
    QTest::newRow("dial file, scaled") << u"card.vlt"_s << 1.0 << 0.99 << false;
}

void TestPrintSupport::exportsTakeAScale()
{
    QFETCH(QString, name);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, done);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    ExportOptions options;
    options.dotsPerInch = 508; // 20 pixels per millimetre
    options.scale = CardScale{x, y};
    const ExportError error = exportDial(DialDesign::startup(), path, options);
    QCOMPARE(error.ok(), done);
    QCOMPARE(QFile::exists(path), done);
    if (!done) {
        QCOMPARE(error.kind, ExportError::Kind::BadRequest);
        return;
    }
    if (!name.endsWith(u".png"_s))
        return;
    // The outline: its corner still 10 mm in, its far edges moved by the factors; the image
    // keeps a margin beyond them.
    const QImage image(path);
    const QPair<int, int> across = spanAcross(image, 200 + 40);
    const QPair<int, int> down = spanDown(image, 200 + 40);
    QVERIFY2(std::abs(across.first - 200) <= 2 && std::abs(down.first - 200) <= 2, "the corner moved");
    QVERIFY2(std::abs(across.second - across.first - 52 * 20 * x) <= 3, qPrintable(QString::number(across.second)));
    QVERIFY2(std::abs(down.second - down.first - 45 * 20 * y) <= 3, qPrintable(QString::number(down.second)));
    QVERIFY(image.width() >= qRound((52 * x + 20) * 20));
}

QTEST_MAIN(TestPrintSupport)
#include "test_printsupport.moc"
