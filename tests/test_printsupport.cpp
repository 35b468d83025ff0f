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

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

// The first and last dark pixel along row (or column) `at`.
QPair<int, int> span(const QImage &image, int at, bool across)
{
    QPair<int, int> found(-1, -1);
    for (int k = 0; k < (across ? image.width() : image.height()); ++k)
        if (qGray(across ? image.pixel(k, at) : image.pixel(at, k)) < 128)
            found = {found.first < 0 ? k : found.first, k};
    return found;
}

// The card outline on a 20 pixel/mm image, seen along lines `inset` pixels inside it: its corner
// at `corner`, its far edges moved by the factors.
void checkOutline(const QImage &image, QPoint corner, int inset, double x, double y)
{
    const QPair<int, int> across = span(image, corner.y() + inset, true);
    const QPair<int, int> down = span(image, corner.x() + inset, false);
    QVERIFY2(std::abs(across.first - corner.x()) <= 2 && std::abs(down.first - corner.y()) <= 2, "the corner moved");
    QVERIFY2(std::abs(across.second - across.first - 52 * 20 * x) <= 3, qPrintable(QString::number(across.second)));
    QVERIFY2(std::abs(down.second - down.first - 45 * 20 * y) <= 3, qPrintable(QString::number(down.second)));
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
    void testSheetRulers_data()
    {
        QTest::addColumn<bool>("across");
        QTest::addColumn<int>("length"); // in millimetres
        QTest::newRow("horizontal, 150 mm") << true << 150;
        QTest::newRow("vertical, 200 mm") << false << 200;
    }
    void testSheetRulers()
    {
        QFETCH(bool, across);
        QFETCH(int, length);
        const CardPoint o = testSheetLayout().rulerCorner;
        RecordingSurface surface;
        drawTestSheet(surface, QStringLiteral("Office Laser"), 52, 45);
        // On the ruler's base: the base line from the shared 0 mark, and one tick across it per
        // millimetre, 2 mm long, 3.5 mm every 5 and 5 mm every 10.
        int baseLines = 0;
        QMap<int, double> ticks;
        for (const Operation &op : surface.operations(Kind::Line)) {
            const double along = across ? op.to.x - op.from.x : op.to.y - op.from.y;
            const double aside = across ? op.to.y - op.from.y : op.to.x - op.from.x;
            const double at = across ? op.from.x - o.x : op.from.y - o.y;
            if (!near(across ? op.from.y : op.from.x, across ? o.y : o.x))
                continue;
            if (near(aside, 0) && near(at, 0) && near(along, length))
                ++baseLines;
            if (near(along, 0) && std::abs(aside) > 0 && std::abs(aside) < 10) {
                QVERIFY2(near(at, std::round(at)) && !ticks.contains(qRound(at)), "a tick off or doubled");
                ticks[qRound(at)] = std::abs(aside);
            }
        }
        QCOMPARE(baseLines, 1);
        QCOMPARE(ticks.size(), length + 1);
        QCOMPARE(ticks.firstKey(), 0);
        QCOMPARE(ticks.lastKey(), length);
        for (auto t = ticks.cbegin(); t != ticks.cend(); ++t)
            QCOMPARE(t.value(), t.key() % 10 == 0 ? 5.0 : t.key() % 5 == 0 ? 3.5 : 2.0);

        // Each centimetre numbered once, next to its tick: centred over it across, level with it down.
        for (int cm = across ? 0 : 1; cm <= length / 10; ++cm) {
            const QString number = QString::number(cm);
            int found = 0;
            for (const Operation &op : surface.operations(Kind::Text)) {
                const double em = RecordingSurface::emMillimetres(op.points);
                if (op.text == number
                    && (across ? near(op.from.x + 0.3 * em * number.size(), o.x + 10 * cm) && op.from.y + 0.6 * em < o.y - 5
                               : near(op.from.y + 0.6 * em, o.y + 10 * cm) && op.from.x > o.x + 5))
                    ++found;
            }
            QVERIFY2(found == 1, qPrintable(QStringLiteral("centimetre %1 is numbered %2 times").arg(cm).arg(found)));
        }
    }

    void testSheetCardOutline_data()
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
        QTest::newRow("not a number") << kNaN << 45.0 << false;
        QTest::newRow("infinite") << 52.0 << kInf << false;
    }
    void testSheetCardOutline()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(bool, drawn);
        RecordingSurface surface;
        drawTestSheet(surface, QStringLiteral("P"), width, height);
        const QVector<Operation> boxes = surface.operations(Kind::Box);
        const CardPoint c = testSheetLayout().cardCorner;
        QCOMPARE(boxes.size(), drawn ? 1 : 0);
        if (drawn)
            QVERIFY(near(boxes[0].from.x, c.x) && near(boxes[0].from.y, c.y) && near(boxes[0].to.x, c.x + width)
                    && near(boxes[0].to.y, c.y + height));
        bool noted = false;
        for (const Operation &op : surface.operations(Kind::Text))
            noted = noted || op.text.contains(drawn ? QStringLiteral("outline, ") : QStringLiteral("does not fit"));
        QVERIFY(noted);
    }

    // The card origin lies 10 mm inside the printable area, which most printers start 6.35 mm
    // (a quarter inch) or less from each edge; the sheet must fit A4 (210 mm wide) and US Letter
    // (279.4 mm high).
    void testSheetFitsThePaper()
    {
        const double margin = 6.35, inset = 10.0;
        double right = 0, bottom = 0, left = 0, top = 0;
        RecordingSurface surface;
        drawTestSheet(surface, QStringLiteral("A printer with a rather long name, as some have"), 127.5, 150);
        for (const Operation &op : surface.operations()) {
            if (op.kind == Kind::FontSize || op.kind == Kind::Clear)
                continue;
            const double em = RecordingSurface::emMillimetres(op.points);
            const CardPoint to = op.kind == Kind::Text
                                     ? CardPoint{op.from.x + 0.6 * em * op.text.size(), op.from.y + 1.2 * em}
                                     : op.to;
            right = std::max({right, op.from.x, to.x});
            bottom = std::max({bottom, op.from.y, to.y});
            left = std::min({left, op.from.x, to.x});
            top = std::min({top, op.from.y, to.y});
        }
        QVERIFY2(left > -inset && top > -inset, "the sheet reaches into the unprintable edge");
        QVERIFY2(margin + inset + right <= 210 - margin, qPrintable(QStringLiteral("%1 mm wide").arg(right)));
        QVERIFY2(margin + inset + bottom <= 279.4 - margin, qPrintable(QStringLiteral("%1 mm high").arg(bottom)));
    }

    void cardScaleLimits_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<bool>("usable");
        QTest::newRow("lowest") << 0.95 << 0.95 << true;
        QTest::newRow("highest") << 1.05 << 1.05 << true;
        QTest::newRow("X below") << 0.9499 << 1.0 << false;
        QTest::newRow("Y above") << 1.0 << 1.0501 << false;
        QTest::newRow("Y below") << 1.0 << 0.9499 << false;
        QTest::newRow("X above") << 1.0501 << 1.0 << false;
        QTest::newRow("NaN") << 1.0 << kNaN << false;
        QTest::newRow("infinite") << kInf << 1.0 << false;
    }
    void cardScaleLimits()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QTEST(isUsableCardScale(CardScale{x, y}), "usable");
    }

    void cardScaleIsAboutTheCardCorner_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QPoint>("origin"); // the surface's corner on the image, in pixels
        QTest::newRow("X 102 %, Y 98 %") << 1.02 << 0.98 << QPoint(0, 0);
        QTest::newRow("X 95 %, Y 105 %, surface moved") << 0.95 << 1.05 << QPoint(60, 140);
    }
    void cardScaleIsAboutTheCardCorner()
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
        // The outline's corner stays 10 mm in.
        checkOutline(image, origin + QPoint(200, 200), 300, x, y);
    }

    void countingSurfaceSeesWhatARecordingSees_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<QString>("error");
        QTest::newRow("digits and ticks") << design(u"5"_s) << QString();
        QTest::newRow("Divisions 40000") << design(u"40000"_s) << QStringLiteral("Divisions 40000");
    }
    void countingSurfaceSeesWhatARecordingSees()
    {
        QFETCH(DialDesign, design);
        QFETCH(QString, error);
        const auto draw = [&design](DrawingSurface &surface) {
            try {
                drawDial(design, surface);
            } catch (const DrawError &e) {
                return QString::fromUtf8(e.what());
            }
            return QString();
        };
        RecordingSurface recording;
        CountingSurface counting;
        const QString countingError = draw(counting);
        QCOMPARE(countingError, draw(recording));
        QVERIFY2(error.isEmpty() ? countingError.isEmpty() : countingError.contains(error), qPrintable(countingError));
        QCOMPARE(counting.count(), recording.drawn().size());
        QVERIFY(counting.count() > 0); // the outline comes first, even before a bad row
    }

    void exportsTakeAScale_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<bool>("done");
        QTest::newRow("PNG, X 102 %, Y 98 %") << u"card.png"_s << 1.02 << 0.98 << true;
        QTest::newRow("PNG, beyond 105 %") << u"card.png"_s << 1.06 << 1.0 << false;
        QTest::newRow("SVG, X 102 %, Y 98 %") << u"card.svg"_s << 1.02 << 0.98 << true;
        QTest::newRow("DXF, scaled") << u"card.dxf"_s << 1.01 << 1.0 << false;
        QTest::newRow("DXF, true size") << u"card.dxf"_s << 1.0 << 1.0 << true;
        QTest::newRow("dial file, scaled") << u"card.vlt"_s << 1.0 << 0.99 << false;
    }
    void exportsTakeAScale()
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
        QCOMPARE(QFile::exists(path), done);
        QCOMPARE(error.kind, done ? ExportError::Kind::None : ExportError::Kind::BadRequest);
        QFile file(path);
        if (name.endsWith(u".svg"_s) && file.open(QIODevice::ReadOnly)) {
            // The picture grows by the enlarging factor; the card is scaled about its corner.
            const QByteArray text = file.readAll();
            QVERIFY(text.contains("width=\"73.04mm\" height=\"65mm\"") &&
                    text.contains("transform=\"translate(10 10) scale(1.02 0.98)\""));
        } else if (name.endsWith(u".png"_s) && done) {
            const QImage image(path);
            checkOutline(image, QPoint(200, 200), 40, x, y);
            QVERIFY(image.width() >= qRound((52 * x + 20) * 20));
        }
    }
};

QTEST_MAIN(TestPrintSupport)
#include "test_printsupport.moc"
