// The dial renderer on a recording surface: what it draws, in which order, at which places,
// and how it stops on values it cannot draw.

#include "design/dialdesign.h"
#include "render/dialrenderer.h"
#include "render/recordingsurface.h"

#include <QtTest>

#include <cmath>

using namespace vernalith;
using Kind = RecordingSurface::Kind;

namespace {

// A start-up design whose tables hold the given tab-separated rows (an empty list keeps the
// table's one empty row) and whose dimensions, when given, are replaced in field order.
DialDesign makeDesign(const QStringList &arcs, const QStringList &tickmarks, const QStringList &digits,
                      const QStringList &labels, const QStringList &dimensions = {})
{
    DialDesign design = DialDesign::startup();
    const std::array<std::pair<TableKind, QStringList>, 4> tables = {{{TableKind::ScaleArcs, arcs},
                                                                       {TableKind::ScaleTickmarks, tickmarks},
                                                                       {TableKind::ScaleDigits, digits},
                                                                       {TableKind::FaceLabels, labels}}};
    for (const auto &[kind, items] : tables) {
        if (items.isEmpty())
            continue;
        TableRows rows;
        for (const QString &item : items)
            rows.append(splitItem(kind, item));
        design.table(kind) = rows;
    }
    for (int d = 0; d < dimensions.size(); ++d)
        design.dimensions[static_cast<size_t>(d)] = dimensions[d];
    return design;
}

QStringList describeKind(const RecordingSurface &surface, Kind kind)
{
    return RecordingSurface::describe(surface.operations(kind));
}

QStringList texts(const RecordingSurface &surface)
{
    QStringList result;
    for (const auto &op : surface.operations(Kind::Text))
        result.append(op.text);
    return result;
}

QString fixed(double v)
{
    return QString::number(v, 'f', 4);
}

// The default card and its cross, as every drawing of the default dimensions begins.
const QStringList kOutlineAndCross = {QStringLiteral("box (0.0000, 0.0000)-(52.0000, 45.0000)"),
                                      QStringLiteral("line (25.0000, 33.0000)-(27.0000, 33.0000)"),
                                      QStringLiteral("line (26.0000, 32.0000)-(26.0000, 34.0000)")};

} // namespace

class TestDialRenderer : public QObject
{
    Q_OBJECT

private slots:
    // --- the card itself ---
    void startupDesignDrawsOutlineAndCrossOnly();
    void outlineAndCrossFollowTheDimensions_data();
    void outlineAndCrossFollowTheDimensions();
    void operationsComeInTheFixedOrder();

    // --- tickmarks ---
    void tickmarkWorkedExample_data();
    void tickmarkWorkedExample();
    void tickmarksRunFromInnerToOuterRadius();
    void divisionsRoundHalfToEven_data();
    void divisionsRoundHalfToEven();

    // --- digits ---
    void digitsAreCentredOnTheirPoints_data();
    void digitsAreCentredOnTheirPoints();
    void digitValues_data();
    void digitValues();
    void fontSizeFallsBackToTen_data();
    void fontSizeFallsBackToTen();

    // --- arcs and the sweep ---
    void sweepThroughTheLeftSide();
    void arcsWithoutExtentAreNotDrawn_data();
    void arcsWithoutExtentAreNotDrawn();

    // --- labels ---
    void labelsSitByTheirTopLeftCorner_data();
    void labelsSitByTheirTopLeftCorner();

    // --- errors ---
    void errorsStopTheDrawing_data();
    void errorsStopTheDrawing();
    void tooManyRowsStopBeforeTheTable_data();
    void tooManyRowsStopBeforeTheTable();
    void largestCountsStillDraw();
};

void TestDialRenderer::startupDesignDrawsOutlineAndCrossOnly()
{
    RecordingSurface surface;
    drawDial(DialDesign::startup(), surface);

    QCOMPARE(RecordingSurface::describe(surface.drawn()), kOutlineAndCross);
    // The empty digits row and the empty label row still set the fallback font size.
    QCOMPARE(describeKind(surface, Kind::FontSize),
             QStringList({QStringLiteral("font 10.0000"), QStringLiteral("font 10.0000")}));
}

void TestDialRenderer::outlineAndCrossFollowTheDimensions_data()
{
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("units and blanks") << QStringList{QStringLiteral(" 60 mm"), QStringLiteral("40.5mm"),
                                                     QStringLiteral("30"), QStringLiteral("35.25")}
                                      << QStringList{QStringLiteral("box (0.0000, 0.0000)-(60.0000, 40.5000)"),
                                                     QStringLiteral("line (29.0000, 35.2500)-(31.0000, 35.2500)"),
                                                     QStringLiteral("line (30.0000, 34.2500)-(30.0000, 36.2500)")};
    QTest::newRow("empty and words read as 0")
        << QStringList{QString(), QStringLiteral("wide"), QStringLiteral("-3"), QStringLiteral(",5")}
        << QStringList{QStringLiteral("box (0.0000, 0.0000)-(0.0000, 0.0000)"),
                       QStringLiteral("line (-4.0000, 0.0000)-(-2.0000, 0.0000)"),
                       QStringLiteral("line (-3.0000, -1.0000)-(-3.0000, 1.0000)")};
}

void TestDialRenderer::outlineAndCrossFollowTheDimensions()
{
    QFETCH(QStringList, dimensions);
    QFETCH(QStringList, expected);

    RecordingSurface surface;
    drawDial(makeDesign({}, {}, {}, {}, dimensions), surface);
    QCOMPARE(RecordingSurface::describe(surface.drawn()), expected);
}

void TestDialRenderer::operationsComeInTheFixedOrder()
{
    // One row per table; the tables are filled in an order other than the drawing order.
    const DialDesign design = makeDesign({QStringLiteral("20")}, {QStringLiteral("1\t22\t18")},
                                         {QStringLiteral("2\t0\t10\t0\t15\t6")},
                                         {QStringLiteral("3\t40\tmA\t9")});
    RecordingSurface surface;
    drawDial(design, surface);

    QList<Kind> kinds;
    for (const auto &op : surface.operations())
        kinds.append(op.kind);
    const QList<Kind> expected = {Kind::Box,      Kind::Line, Kind::Line,                  // outline, cross
                                  Kind::Arc,                                               // arcs
                                  Kind::FontSize, Kind::Text, Kind::Text, Kind::Text,      // digits
                                  Kind::Line,     Kind::Line,                              // tickmarks
                                  Kind::FontSize, Kind::Text};                             // labels
    QCOMPARE(kinds, expected);
    QCOMPARE(surface.operations().last().text, QStringLiteral("mA"));
    QCOMPARE(surface.operations().last().points, 9.0);
}

void TestDialRenderer::tickmarkWorkedExample_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first, towards the zero tip") << 0 << QStringLiteral("line (13.2721, 20.2721)-(10.4437, 17.4437)");
    QTest::newRow("sixth, straight up") << 5 << QStringLiteral("line (26.0000, 15.0000)-(26.0000, 11.0000)");
    QTest::newRow("last, towards the maximum tip") << 10
                                                   << QStringLiteral("line (38.7279, 20.2721)-(41.5563, 17.4437)");
}

void TestDialRenderer::tickmarkWorkedExample()
{
    QFETCH(int, index);
    QFETCH(QString, expected);

    RecordingSurface surface;
    drawDial(makeDesign({}, {QStringLiteral("10\t22\t18")}, {}, {}), surface);

    const auto lines = surface.operations(Kind::Line);
    QCOMPARE(lines.size(), 2 + 11); // the cross, then eleven tickmarks
    QCOMPARE(RecordingSurface::describe(lines[2 + index]), expected);
}

void TestDialRenderer::tickmarksRunFromInnerToOuterRadius()
{
    RecordingSurface surface;
    drawDial(makeDesign({}, {QStringLiteral("10\t22\t18")}, {}, {}), surface);

    // Clockwise across the top: the direction of each tick turns right step by step, 9 degrees apart.
    const auto lines = surface.operations(Kind::Line).mid(2);
    double previous = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const auto &op = lines[i];
        QCOMPARE(fixed(std::hypot(op.from.x - 26, op.from.y - 33)), QStringLiteral("18.0000"));
        QCOMPARE(fixed(std::hypot(op.to.x - 26, op.to.y - 33)), QStringLiteral("22.0000"));
        const double degrees = std::atan2(33 - op.to.y, op.to.x - 26) * 180 / M_PI;
        if (i > 0)
            QCOMPARE(fixed(previous - degrees), QStringLiteral("9.0000"));
        previous = degrees;
    }
}

void TestDialRenderer::divisionsRoundHalfToEven_data()
{
    QTest::addColumn<QString>("divisions");
    QTest::addColumn<int>("tickmarks");

    QTest::newRow("2.5 rounds down to 2") << QStringLiteral("2.5") << 3;
    QTest::newRow("3.5 rounds up to 4") << QStringLiteral("3.5") << 5;
    QTest::newRow("1: one at each end") << QStringLiteral("1") << 2;
    QTest::newRow("0.5 rounds to 0") << QStringLiteral("0.5") << 0;
    QTest::newRow("1.5 rounds to 2") << QStringLiteral("1.5") << 3;
    QTest::newRow("4.4 rounds to 4") << QStringLiteral("4.4") << 5;
    QTest::newRow("4.6 rounds to 5") << QStringLiteral("4.6") << 6;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("0") << QStringLiteral("0") << 0;
    QTest::newRow("negative") << QStringLiteral("-3") << 0;
    QTest::newRow("below the 16-bit range") << QStringLiteral("-40000") << 0;
    QTest::newRow("a word") << QStringLiteral("many") << 0;
    QTest::newRow("with a unit") << QStringLiteral("7 divs") << 8;
    QTest::newRow("32766.5 rounds to 32766") << QStringLiteral("32766.5") << 32767;
}

void TestDialRenderer::divisionsRoundHalfToEven()
{
    QFETCH(QString, divisions);
    QFETCH(int, tickmarks);

    RecordingSurface surface;
    drawDial(makeDesign({}, {divisions + QStringLiteral("\t22\t18")}, {}, {}), surface);
    QCOMPARE(surface.operations(Kind::Line).size() - 2, tickmarks);
}

void TestDialRenderer::digitsAreCentredOnTheirPoints_data()
{
    // Row 10, 0, 100, "0", 18, 8 on the default card. Centres computed from the pivot (26, 33) at
    // radius 18; each text box is 0.6 em per character wide and 1.2 em high, em = 8 pt.
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0 at the zero end, upper left") << 0 << QStringLiteral("text (12.4254, 18.5787) 8.0000 \"0\"");
    QTest::newRow("50 straight above the pivot") << 5 << QStringLiteral("text (24.3067, 13.3067) 8.0000 \"50\"");
    QTest::newRow("100 at the maximum end, upper right")
        << 10 << QStringLiteral("text (36.1879, 18.5787) 8.0000 \"100\"");
}

void TestDialRenderer::digitsAreCentredOnTheirPoints()
{
    QFETCH(int, index);
    QFETCH(QString, expected);

    RecordingSurface surface;
    drawDial(makeDesign({}, {}, {QStringLiteral("10\t0\t100\t0\t18\t8")}, {}), surface);

    const auto textOps = surface.operations(Kind::Text);
    QCOMPARE(texts(surface), QStringList({QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("20"),
                                          QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("50"),
                                          QStringLiteral("60"), QStringLiteral("70"), QStringLiteral("80"),
                                          QStringLiteral("90"), QStringLiteral("100")}));
    QCOMPARE(RecordingSurface::describe(textOps[index]), expected);

    // Whatever its width, every text's centre lies 18 mm from the pivot.
    for (const auto &op : textOps) {
        const double em = RecordingSurface::emMillimetres(8);
        const double cx = op.from.x + 0.6 * em * op.text.size() / 2;
        const double cy = op.from.y + 1.2 * em / 2;
        QCOMPARE(fixed(std::hypot(cx - 26, cy - 33)), QStringLiteral("18.0000"));
    }
}

void TestDialRenderer::digitValues_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("4, 10, 50") << QStringLiteral("4\t10\t50\t\t18\t8")
                               << QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
                                              QStringLiteral("40"), QStringLiteral("50")};
    QTest::newRow("falling scale") << QStringLiteral("2\t100\t0\t0\t18\t8")
                                   << QStringList{QStringLiteral("100"), QStringLiteral("50"), QStringLiteral("0")};
    QTest::newRow("through zero") << QStringLiteral("2\t-5\t5\t0\t18\t8")
                                  << QStringList{QStringLiteral("-5"), QStringLiteral("0"), QStringLiteral("5")};
    QTest::newRow("decimals by pattern") << QStringLiteral("4\t0\t1\t0.00 V\t18\t8")
                                         << QStringList{QStringLiteral("0.00 V"), QStringLiteral("0.25 V"),
                                                        QStringLiteral("0.50 V"), QStringLiteral("0.75 V"),
                                                        QStringLiteral("1.00 V")};
    QTest::newRow("empty pattern hides arithmetic noise")
        << QStringLiteral("3\t0\t0.3\t\t18\t8")
        << QStringList{QStringLiteral("0"), QStringLiteral("0.1"), QStringLiteral("0.2"), QStringLiteral("0.3")};
    QTest::newRow("2.5 divisions give 3 digits") << QStringLiteral("2.5\t0\t10\t0\t18\t8")
                                                 << QStringList{QStringLiteral("0"), QStringLiteral("5"),
                                                                QStringLiteral("10")};
    // "#" prints nothing for 0: that digit is skipped, not drawn as an empty text.
    QTest::newRow("empty digit texts are skipped") << QStringLiteral("2\t0\t2\t#\t18\t8")
                                                   << QStringList{QStringLiteral("1"), QStringLiteral("2")};
    QTest::newRow("zero divisions draw nothing") << QStringLiteral("0\t0\t100\t0\t18\t8") << QStringList();
    QTest::newRow("negative divisions draw nothing") << QStringLiteral("-4\t0\t100\t0\t18\t8") << QStringList();
}

void TestDialRenderer::digitValues()
{
    QFETCH(QString, row);
    QFETCH(QStringList, expected);

    RecordingSurface surface;
    drawDial(makeDesign({}, {}, {row}, {}), surface);
    QCOMPARE(texts(surface), expected);
}

void TestDialRenderer::fontSizeFallsBackToTen_data()
{
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<double>("points");

    QTest::newRow("empty") << QString() << 10.0;
    QTest::newRow("0") << QStringLiteral("0") << 10.0;
    QTest::newRow("negative") << QStringLiteral("-6") << 10.0;
    QTest::newRow("a word") << QStringLiteral("big") << 10.0;
    QTest::newRow("8") << QStringLiteral("8") << 8.0;
    QTest::newRow("fractional") << QStringLiteral("7.5") << 7.5;
    QTest::newRow("with a unit") << QStringLiteral("12pt") << 12.0;
}

void TestDialRenderer::fontSizeFallsBackToTen()
{
    QFETCH(QString, fontSize);
    QFETCH(double, points);

    // A digits row that draws nothing (0 divisions) still sets its size; a label draws in it.
    const DialDesign design = makeDesign({}, {}, {QStringLiteral("0\t0\t100\t0\t18\t") + fontSize},
                                         {QStringLiteral("1\t2\tV\t") + fontSize});
    RecordingSurface surface;
    drawDial(design, surface);

    const auto sizes = surface.operations(Kind::FontSize);
    QCOMPARE(sizes.size(), 2);
    QCOMPARE(sizes[0].points, points);
    QCOMPARE(sizes[1].points, points);
    const auto textOps = surface.operations(Kind::Text);
    QCOMPARE(textOps.size(), 1);
    QCOMPARE(textOps[0].points, points);
}

void TestDialRenderer::sweepThroughTheLeftSide()
{
    // Zero tip at 300 degrees (below right), maximum tip at 60 degrees (above right): the scale
    // runs clockwise through 180 degrees, and the arcs cover 60..300 degrees.
    const QStringList dimensions = {QStringLiteral("52"), QStringLiteral("45"),
                                    QStringLiteral("26"), QStringLiteral("33"),
                                    QStringLiteral("31"), QStringLiteral("41.66025403784"),
                                    QStringLiteral("31"), QStringLiteral("24.33974596216")};
    RecordingSurface surface;
    drawDial(makeDesign({QStringLiteral("20"), QStringLiteral("25")}, {QStringLiteral("2\t12\t10")}, {}, {},
                        dimensions),
             surface);

    QCOMPARE(describeKind(surface, Kind::Arc),
             QStringList({QStringLiteral("arc (26.0000, 33.0000) r 20.0000 from 1.0472 to 5.2360"),
                          QStringLiteral("arc (26.0000, 33.0000) r 25.0000 from 1.0472 to 5.2360")}));
    QCOMPARE(describeKind(surface, Kind::Line).mid(2),
             QStringList({QStringLiteral("line (31.0000, 41.6603)-(32.0000, 43.3923)"),
                          QStringLiteral("line (16.0000, 33.0000)-(14.0000, 33.0000)"),
                          QStringLiteral("line (31.0000, 24.3397)-(32.0000, 22.6077)")}));
}

void TestDialRenderer::arcsWithoutExtentAreNotDrawn_data()
{
    QTest::addColumn<QString>("radius");
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QStringList>("arcs");

    const QStringList standard; // the default card: 135 to 45 degrees
    const QStringList oneRay = {QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("26"),
                                QStringLiteral("33"), QStringLiteral("5"),  QStringLiteral("12"),
                                QStringLiteral("16"), QStringLiteral("23")};

    QTest::newRow("radius 20") << QStringLiteral("20") << standard
                               << QStringList{QStringLiteral("arc (26.0000, 33.0000) r 20.0000 from 0.7854 to 2.3562")};
    QTest::newRow("radius 0") << QStringLiteral("0") << standard << QStringList();
    QTest::newRow("empty radius") << QString() << standard << QStringList();
    QTest::newRow("negative radius") << QStringLiteral("-5") << standard << QStringList();
    QTest::newRow("both tips on one ray") << QStringLiteral("20") << oneRay << QStringList();
}

void TestDialRenderer::arcsWithoutExtentAreNotDrawn()
{
    QFETCH(QString, radius);
    QFETCH(QStringList, dimensions);
    QFETCH(QStringList, arcs);

    // A row after the questionable one shows that the walk carries on without an error.
    RecordingSurface surface;
    drawDial(makeDesign({radius}, {}, {}, {QStringLiteral("1\t1\tafter")}, dimensions), surface);
    QCOMPARE(describeKind(surface, Kind::Arc), arcs);
    QCOMPARE(texts(surface), QStringList{QStringLiteral("after")});
}

void TestDialRenderer::labelsSitByTheirTopLeftCorner_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("at the card's corner") << QStringLiteral("0\t0\tVernalith\t")
                                          << QStringList{QStringLiteral("text (0.0000, 0.0000) 10.0000 \"Vernalith\"")};
    QTest::newRow("not centred") << QStringLiteral("20.5\t30\tmA\t14")
                                 << QStringList{QStringLiteral("text (20.5000, 30.0000) 14.0000 \"mA\"")};
    QTest::newRow("text unchanged") << QStringLiteral("5\t6\t  0.5 V ~ %\t8")
                                    << QStringList{QStringLiteral("text (5.0000, 6.0000) 8.0000 \"  0.5 V ~ %\"")};
    QTest::newRow("outside the card") << QStringLiteral("-3\t60\tx\t8")
                                      << QStringList{QStringLiteral("text (-3.0000, 60.0000) 8.0000 \"x\"")};
    QTest::newRow("empty text draws nothing") << QStringLiteral("5\t6\t\t8") << QStringList();
}

void TestDialRenderer::labelsSitByTheirTopLeftCorner()
{
    QFETCH(QString, row);
    QFETCH(QStringList, expected);

    RecordingSurface surface;
    drawDial(makeDesign({}, {}, {}, {row}), surface);
    QCOMPARE(describeKind(surface, Kind::Text), expected);
}

void TestDialRenderer::errorsStopTheDrawing_data()
{
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QStringList>("arcs");
    QTest::addColumn<QStringList>("tickmarks");
    QTest::addColumn<QStringList>("digits");
    QTest::addColumn<QString>("message");
    // What stays drawn: numbers of lines (outline box counted apart), arcs and texts.
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("arcCount");
    QTest::addColumn<int>("textCount");

    const QStringList standard;
    const QString digitRow = QStringLiteral("2\t0\t10\t0\t18\t8");
    const QString tickRow = QStringLiteral("4\t22\t18");

    QTest::newRow("Divisions 40000 in digits row 3")
        << standard << QStringList{QStringLiteral("20")} << QStringList{tickRow}
        << QStringList{digitRow, digitRow, QStringLiteral("40000\t0\t10\t0\t18\t8"), digitRow}
        << QStringLiteral("Scale Digits, row 3: Divisions 40000 is too large (at most 32766)") << 1 << 2 << 1 << 6;
    QTest::newRow("Divisions 32767 in tickmarks row 2")
        << standard << QStringList{QStringLiteral("20")} << QStringList{tickRow, QStringLiteral("32767\t22\t18")}
        << QStringList{digitRow}
        << QStringLiteral("Scale Tickmarks, row 2: Divisions 32767 is too large (at most 32766)") << 1 << 2 + 5 << 1
        << 3;
    QTest::newRow("Divisions rounding up past the limit")
        << standard << QStringList() << QStringList{QStringLiteral("32767.5\t22\t18")} << QStringList()
        << QStringLiteral("Scale Tickmarks, row 1: Divisions 32767.5 is too large (at most 32766)") << 1 << 2 << 0
        << 0;
    QTest::newRow("huge finite Divisions")
        << standard << QStringList() << QStringList{QStringLiteral("1e300\t22\t18")} << QStringList()
        << QStringLiteral("Scale Tickmarks, row 1: Divisions 1E+300 is too large (at most 32766)") << 1 << 2 << 0
        << 0;
    QTest::newRow("1e400 Divisions")
        << standard << QStringList() << QStringList() << QStringList{digitRow, QStringLiteral("1e400\t0\t1")}
        << QStringLiteral("Scale Digits, row 2: Divisions \"1e400\" is too large a number") << 1 << 2 << 0 << 3;
    QTest::newRow("-1e400 Divisions")
        << standard << QStringList() << QStringList() << QStringList{QStringLiteral("-1e400\t0\t1")}
        << QStringLiteral("Scale Digits, row 1: Divisions \"-1e400\" is too large a number") << 1 << 2 << 0 << 0;
    QTest::newRow("1e400 radius in arcs row 2")
        << standard << QStringList{QStringLiteral("20"), QStringLiteral(" 1e400 mm")} << QStringList{tickRow}
        << QStringList()
        << QStringLiteral("Scale Arcs, row 2: Radius \"1e400 mm\" is too large a number") << 1 << 2 << 1 << 0;
    QTest::newRow("1e400 in a row that draws nothing")
        << standard << QStringList() << QStringList() << QStringList{QStringLiteral("0\t1e400\t1")}
        << QStringLiteral("Scale Digits, row 1: Min Val \"1e400\" is too large a number") << 1 << 2 << 0 << 0;
    QTest::newRow("1e400 font size")
        << standard << QStringList() << QStringList() << QStringList{QStringLiteral("2\t0\t1\t\t18\t1e400")}
        << QStringLiteral("Scale Digits, row 1: Fontsize \"1e400\" is too large a number") << 1 << 2 << 0 << 0;
    QTest::newRow("digit values overflow")
        << standard << QStringList() << QStringList() << QStringList{QStringLiteral("2\t-1e308\t1e308\t\t18\t8")}
        << QStringLiteral("Scale Digits, row 1: the digit value cannot be computed: a number is too large or "
                          "undefined")
        << 1 << 2 << 0 << 0;
    QTest::newRow("tickmark point overflows")
        << QStringList{QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("1.7e308")} << QStringList()
        << QStringList{tickRow, QStringLiteral("1\t-1e308\t18")} << QStringList()
        << QStringLiteral("Scale Tickmarks, row 2: the point on the scale cannot be computed: a number is too "
                          "large or undefined")
        << 1 << 2 + 5 << 0 << 0;
    QTest::newRow("1e400 card width")
        << QStringList{QStringLiteral("1e400")} << QStringList{QStringLiteral("20")} << QStringList() << QStringList()
        << QStringLiteral("Card Width: \"1e400\" is too large a number") << 0 << 0 << 0 << 0;
    QTest::newRow("-1e400 max position Y")
        << QStringList{QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("26"), QStringLiteral("33"),
                       QStringLiteral("5"), QStringLiteral("12"), QStringLiteral("47"), QStringLiteral("-1e400")}
        << QStringList() << QStringList() << QStringList()
        << QStringLiteral("Max position Y: \"-1e400\" is too large a number") << 0 << 0 << 0 << 0;
    QTest::newRow("needle angle overflows")
        << QStringList{QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("0"), QStringLiteral("1e300"),
                       QStringLiteral("1e-300"), QStringLiteral("0")}
        << QStringList() << QStringList() << QStringList()
        << QStringLiteral("Zero position: the needle angle cannot be computed: a number is too large or undefined")
        << 0 << 0 << 0 << 0;
}

void TestDialRenderer::errorsStopTheDrawing()
{
    QFETCH(QStringList, dimensions);
    QFETCH(QStringList, arcs);
    QFETCH(QStringList, tickmarks);
    QFETCH(QStringList, digits);
    QFETCH(QString, message);
    QFETCH(int, boxes);
    QFETCH(int, lines);
    QFETCH(int, arcCount);
    QFETCH(int, textCount);

    // Every case has a label that would be drawn last, had the drawing gone on.
    const DialDesign design = makeDesign(arcs, tickmarks, digits, {QStringLiteral("1\t1\tlast")}, dimensions);
    RecordingSurface surface;
    QString thrown;
    try {
        drawDial(design, surface);
    } catch (const DrawError &error) {
        thrown = QString::fromStdString(error.what());
    }
    QCOMPARE(thrown, message);
    QCOMPARE(surface.operations(Kind::Box).size(), boxes);
    QCOMPARE(surface.operations(Kind::Line).size(), lines);
    QCOMPARE(surface.operations(Kind::Arc).size(), arcCount);
    QCOMPARE(surface.operations(Kind::Text).size(), textCount);
}

void TestDialRenderer::tooManyRowsStopBeforeTheTable_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("drawnBefore"); // operations other than font sizes

    // The design also holds one arc, one digits row of 1 division and one tickmark row of 1.
    QTest::newRow("32767 labels") << tableIndex(TableKind::FaceLabels) << QStringLiteral("1\t1\tx")
                                  << QStringLiteral("Face Labels: 32767 rows are too many (at most 32766)")
                                  << 3 + 1 + 2 + 2;
    QTest::newRow("32767 tickmark rows") << tableIndex(TableKind::ScaleTickmarks) << QStringLiteral("1\t22\t18")
                                         << QStringLiteral("Scale Tickmarks: 32767 rows are too many (at most 32766)")
                                         << 3 + 1 + 2;
    QTest::newRow("32767 arcs") << tableIndex(TableKind::ScaleArcs) << QStringLiteral("20")
                                << QStringLiteral("Scale Arcs: 32767 rows are too many (at most 32766)") << 3;
}

void TestDialRenderer::tooManyRowsStopBeforeTheTable()
{
    QFETCH(int, table);
    QFETCH(QString, row);
    QFETCH(QString, message);
    QFETCH(int, drawnBefore);

    DialDesign design = makeDesign({QStringLiteral("20")}, {QStringLiteral("1\t22\t18")},
                                   {QStringLiteral("1\t0\t10\t0\t18\t8")}, {QStringLiteral("1\t1\tx")});
    const TableKind kind = kAllTables[static_cast<size_t>(table)];
    design.table(kind) = TableRows(kMaxDataRows + 1, splitItem(kind, row));

    RecordingSurface surface;
    QString thrown;
    try {
        drawDial(design, surface);
    } catch (const DrawError &error) {
        thrown = QString::fromStdString(error.what());
    }
    QCOMPARE(thrown, message);
    QCOMPARE(surface.drawn().size(), drawnBefore);
}

void TestDialRenderer::largestCountsStillDraw()
{
    // 32766 rows and 32766 divisions are the most that draw; both are drawn in full.
    DialDesign design = makeDesign({}, {QStringLiteral("32766\t22\t18")}, {}, {});
    const QStringList label = splitItem(TableKind::FaceLabels, QStringLiteral("1\t1\tx"));
    design.table(TableKind::FaceLabels) = TableRows(kMaxDataRows, label);

    RecordingSurface surface;
    drawDial(design, surface);
    QCOMPARE(surface.operations(Kind::Line).size(), 2 + kMaxDivisions + 1);
    QCOMPARE(surface.operations(Kind::Text).size(), kMaxDataRows);
    // The last tickmark ends exactly at the maximum tip's direction.
    QCOMPARE(RecordingSurface::describe(surface.operations(Kind::Line).last()),
             QStringLiteral("line (38.7279, 20.2721)-(41.5563, 17.4437)"));
}

QTEST_GUILESS_MAIN(TestDialRenderer)
#include "test_dialrenderer.moc"
