// What printing draws besides the card itself: the calibration test sheet, and the limits of a size
// correction.

#include "render/cardscale.h"
#include "render/recordingsurface.h"
#include "render/testsheet.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace vernalith;
using namespace Qt::StringLiterals;
using Kind = RecordingSurface::Kind;
using Operation = RecordingSurface::Operation;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
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
                    && (across ? near(op.from.x + 0.3 * em * number.size(), o.x + 10 * cm)
                                     && op.from.y + 0.6 * em < o.y - 5
                               : near(op.from.y + 0.6 * em, o.y + 10 * cm) && op.from.x > o.x + 5))
                    ++found;
            }
            QVERIFY2(found == 1, qPrintable(QStringLiteral("centimetre %1 is numbered %2 times").arg(cm).arg(found)));
        }
    }

    void testSheetCardOutline()
    {
        const TestSheetLayout room = testSheetLayout();
        const struct {
            const char *name;
            double width, height;
            bool drawn;
        } cases[] = {
            {"start-up card", 52, 45, true},
            {"as large as fits", room.cardRoomXMm, room.cardRoomYMm, true},
            {"too wide", room.cardRoomXMm + 0.01, 45, false},
            {"too high", 52, room.cardRoomYMm + 0.01, false},
            {"no width", 0, 45, false},
            {"not a number", kNaN, 45, false},
        };
        for (const auto &c : cases) {
            RecordingSurface surface;
            drawTestSheet(surface, QStringLiteral("P"), c.width, c.height);
            const QVector<Operation> boxes = surface.operations(Kind::Box);
            const CardPoint corner = room.cardCorner;
            QVERIFY2(boxes.size() == (c.drawn ? 1 : 0), c.name);
            QVERIFY2(!c.drawn || (near(boxes[0].from.x, corner.x) && near(boxes[0].from.y, corner.y) &&
                                  near(boxes[0].to.x, corner.x + c.width) && near(boxes[0].to.y, corner.y + c.height)),
                     c.name);
            bool noted = false;
            for (const Operation &op : surface.operations(Kind::Text))
                noted = noted || op.text.contains(c.drawn ? u"outline, "_s : u"does not fit"_s);
            QVERIFY2(noted, c.name);
        }
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

    void cardScaleLimits()
    {
        const struct {
            const char *name;
            CardScale scale;
            bool usable;
        } cases[] = {
            {"lowest", {0.95, 0.95}, true},
            {"highest", {1.05, 1.05}, true},
            {"X below", {0.9499, 1}, false},
            {"X above", {1.0501, 1}, false},
            {"Y below", {1, 0.9499}, false},
            {"Y above", {1, 1.0501}, false},
            {"NaN", {1, kNaN}, false},
        };
        for (const auto &c : cases)
            QVERIFY2(isUsableCardScale(c.scale) == c.usable, c.name);
    }
};

QTEST_MAIN(TestPrintSupport)
#include "test_printsupport.moc"
