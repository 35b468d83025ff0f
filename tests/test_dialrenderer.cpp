// The renderer on a recording surface: what it draws and where, and how it stops; bands, holes and row styles
// as typed, drawn, saved and in a PNG's pixels; the printer test sheet, and the limits of a size correction.

#undef QT_NO_CAST_FROM_ASCII // the band, hole and style cases use plain string literals

#include "tablerows.h"

#include "files/dialfile.h"
#include "render/cardscale.h"
#include "render/dialexport.h"
#include "render/dialrenderer.h"
#include "render/drawbudget.h"
#include "render/recordingsurface.h"
#include "render/rowstyle.h"
#include "render/testsheet.h"

#include <QBuffer>
#include <QImage>
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

// The start-up design with some tables (tab-separated items) and dimensions (in field order) replaced.
struct Card {
    DialDesign design = DialDesign::startup();

    Card &rows(TableKind kind, const QStringList &items)
    {
        design.table(kind).clear();
        for (const QString &item : items)
            design.table(kind).append(splitItem(kind, item));
        return *this;
    }
    Card &arcs(const QStringList &items) { return rows(TableKind::ScaleArcs, items); }
    Card &ticks(const QStringList &items) { return rows(TableKind::ScaleTickmarks, items); }
    Card &digits(const QStringList &items) { return rows(TableKind::ScaleDigits, items); }
    Card &labels(const QStringList &items) { return rows(TableKind::FaceLabels, items); }
    Card &dimensions(const QStringList &texts)
    {
        for (int d = 0; d < texts.size(); ++d)
            design.dimensions[static_cast<size_t>(d)] = texts[d];
        return *this;
    }
};

// The operation `index` among those of `kind` (lines 0 and 1 are the cross), described.
struct Described {
    DialDesign design;
    Kind kind;
    int index;
    QString expected;
};

// What the drawing throws (empty: it ends normally), and how many operations (font sizes aside) it draws.
struct Outcome {
    DialDesign design;
    QString error;
    int drawn;
};

// "a|b|c;d|e|f" as rows of cells; "" as none.
TableRows rows(const QString &joined)
{
    return joined.isEmpty() ? TableRows() : rowsOf(joined);
}

// The default card (the sweep runs clockwise from 135 degrees to 45 around the pivot 26, 33)
// with a linear 0 ... 100, a log 1 ... 100 and an ohms scale with 50 ohms at mid-scale.
DialDesign cardWith(const QString &bands = {}, const QString &holes = {}, const QString &arcs = {})
{
    DialDesign d = DialDesign::startup();
    d.scales = rows("linear|0|100||;log|1|100||;ohms|0|inf|50|");
    d.bands = rows(bands);
    d.holes = rows(holes);
    if (!arcs.isEmpty())
        d.table(TableKind::ScaleArcs) = rows(arcs);
    return d;
}

// The bands and holes of a card, another table's rows (as "a|b|c;d|e|f"), and what the drawing
// makes of them: every operation but the outline and the pivot cross, with its layer.
struct Drawn {
    QString bands, holes;
    TableKind kind;
    QString table;
    QStringList drawn;
};

} // namespace

Q_DECLARE_METATYPE(Described)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Drawn)

class TestDialRenderer : public QObject
{
    Q_OBJECT

private slots:
    void operationsToFourDecimals_data()
    {
        QTest::addColumn<Described>("c");
        const DialDesign pivot = Card().dimensions({"52", "45", "30 mm", " 35.25"}).design;
        QTest::newRow("cross across, pivot with units")
            << Described{pivot, Kind::Line, 0, "line (29.0000, 35.2500)-(31.0000, 35.2500)"};
        // Digits are centred on their points at radius 18; a text box is 0.6 em per character by 1.2 em.
        QTest::newRow("digit 100")
            << Described{Card().digits({"10\t0\t100\t0\t18\t8"}).design, Kind::Text, 10,
                         "text (36.1879, 18.5787) 8.0000 \"100\""};
        QTest::newRow("label by its top-left corner, without its control characters")
            << Described{Card().labels({u"20.5\t30\t\u0002m\u0000A\r\t14"_s}).design, Kind::Text, 0,
                         "text (20.5000, 30.0000) 14.0000 \"mA\""};
        QTest::newRow("digit by a pattern without its control characters")
            << Described{Card().digits({u"1\t0\t1\t\u0001V\u007f\u0085 0\t18\t8"_s}).design, Kind::Text, 0,
                         "text (10.7321, 18.5787) 8.0000 \"V 0\""};
        // The font size: > 0, else 10, set by a digits row even when it draws nothing (0 divisions).
        const auto sized = [](const QString &digitPoints, const QString &labelPoints) {
            return Card().digits({"0\t0\t100\t0\t18\t" + digitPoints}).labels({"1\t2\tV\t" + labelPoints}).design;
        };
        QTest::newRow("font size 0") << Described{sized("0", "12"), Kind::FontSize, 0, "font 10.0000"};
        QTest::newRow("label in the fallback size")
            << Described{sized("8", QString()), Kind::Text, 0, "text (1.0000, 2.0000) 10.0000 \"V\""};
        // Zero tip at 300 degrees, maximum tip at 60: the scale runs clockwise through 180 degrees.
        const DialDesign sweep =
            Card().dimensions({"52", "45", "26", "33", "31", "41.66025403784", "31", "24.33974596216"})
                .arcs({"20"}).ticks({"2\t12\t10"}).design;
        QTest::newRow("sweep: arc")
            << Described{sweep, Kind::Arc, 0, "arc (26.0000, 33.0000) r 20.0000 from 1.0472 to 5.2360"};
        QTest::newRow("sweep: zero tick")
            << Described{sweep, Kind::Line, 2, "line (31.0000, 41.6603)-(32.0000, 43.3923)"};
        QTest::newRow("sweep: tick at 180")
            << Described{sweep, Kind::Line, 3, "line (16.0000, 33.0000)-(14.0000, 33.0000)"};
    }
    void operationsToFourDecimals()
    {
        QFETCH(Described, c);
        RecordingSurface surface;
        drawDial(c.design, surface);
        QCOMPARE(RecordingSurface::describe(surface.operations(c.kind).value(c.index)), c.expected);
    }

    void drawsWhatItCanAndStopsOnBadValues_data()
    {
        QTest::addColumn<Outcome>("c");
        // 3 for the outline and cross; every card's last label is drawn unless an error stops the drawing.
        const auto card = [] { return Card().labels({"1\t1\tlast"}); };
        QTest::newRow("arc radius 0") << Outcome{card().arcs({"0"}).design, {}, 3 + 1};
        QTest::newRow("tips on one ray")
            << Outcome{card().dimensions({"52", "45", "0", "12"}).arcs({"20"}).design, {}, 3 + 1};
        QTest::newRow("empty label, label of control characters")
            << Outcome{card().labels({"5\t6\t\t8", u"5\t6\t\u0001\u001b\u009f\t8"_s, "1\t1\tlast"}).design, {}, 3 + 1};

        // Divisions round half to even; a count of 0 or below draws nothing, however negative.
        QTest::newRow("Divisions 2.5 to 2") << Outcome{card().ticks({"2.5\t22\t18"}).design, {}, 3 + 3 + 1};
        QTest::newRow("Divisions 3.5 to 4") << Outcome{card().ticks({"3.5\t22\t18"}).design, {}, 3 + 5 + 1};
        QTest::newRow("Divisions -40000") << Outcome{card().ticks({"-40000\t22\t18"}).design, {}, 3 + 1};
        QTest::newRow("Divisions 32766.5 to the most")
            << Outcome{card().ticks({"32766.5\t22\t18"}).design, {}, 3 + 32767 + 1};

        const QString digit = "2\t0\t10\t0\t18\t8"; // 3 texts
        const QString tick = "4\t22\t18";           // 5 lines
        QTest::newRow("Divisions 40000 in digits row 3")
            << Outcome{card().arcs({"20"}).ticks({tick}).digits({digit, digit, "40000\t0\t10\t0\t18\t8"}).design,
                       "Scale Digits, row 3: Divisions 40000 is too large (at most 32766)", 3 + 1 + 6};
        QTest::newRow("Divisions 32767 in tickmarks row 2")
            << Outcome{card().arcs({"20"}).ticks({tick, "32767\t22\t18"}).digits({digit}).design,
                       "Scale Tickmarks, row 2: Divisions 32767 is too large (at most 32766)", 3 + 1 + 3 + 5};
        QTest::newRow("1e400 radius in arcs row 2")
            << Outcome{card().arcs({"20", " 1e400 mm"}).ticks({tick}).design,
                       "Scale Arcs, row 2: Radius \"1e400 mm\" is too large a number", 3 + 1};
        QTest::newRow("1e400 where nothing is drawn")
            << Outcome{card().digits({"0\t1e400\t1"}).design,
                       "Scale Digits, row 1: Min Val \"1e400\" is too large a number", 3};
        const QString undefined = "%1: the %2 cannot be computed: a number is too large or undefined";
        QTest::newRow("digit values overflow") << Outcome{card().digits({"2\t-1e308\t1e308\t\t18\t8"}).design,
                                                          undefined.arg("Scale Digits, row 1", "digit value"), 3};
        QTest::newRow("1e400 card width")
            << Outcome{card().dimensions({"1e400"}).arcs({"20"}).design,
                       "Card Width: \"1e400\" is too large a number", 0};
        QTest::newRow("needle angle overflows")
            << Outcome{card().dimensions({"52", "45", "0", "1e300", "1e-300", "0"}).design,
                       undefined.arg("Zero position", "needle angle"), 0};

        // A table over the limit stops before its first row; at the limit every row is drawn.
        const Card full = Card().arcs({"20"}).ticks({"1\t22\t18"}).digits({"1\t0\t10\t0\t18\t8"});
        QTest::newRow("32767 labels") << Outcome{Card(full).labels(QStringList(kMaxDataRows + 1, "1\t1\tx")).design,
                                                 "Face Labels: 32767 rows are too many (at most 32766)", 3 + 1 + 2 + 2};
        QTest::newRow("32766 labels")
            << Outcome{Card().labels(QStringList(kMaxDataRows, "1\t1\tx")).design, {}, 3 + kMaxDataRows};
        // Over a budget nothing at all is drawn. 123 rows of 32766 divisions: 123 x 32767 + 3 items.
        QTest::newRow("123 full tickmark rows")
            << Outcome{Card().ticks(QStringList(123, "32766\t22\t18")).design,
                       "The card would draw 4,030,344 lines, arcs and texts, more than the 4,000,000 that can be drawn",
                       0};
        const QString overText =
            "The card's texts would come to about %1 characters, more than the 40,000,000 that can be drawn";
        const QString longPattern = "\t0\t100\t" + QString(2000, u'#');
        QTest::newRow("few digits of a long pattern")
            << Outcome{Card().digits({"32766" + longPattern}).design, overText.arg("65,632,301"), 0};
        QTest::newRow("digits of three hundred places")
            << Outcome{Card().digits(QStringList(5, "32766\t0\t1e300\t0")).design, overText.arg("49,478,170"), 0};
        DialDesign listed = Card().digits({longPattern}).design;
        listed.table(TableKind::ScaleDigits)[0][extraColumn(TableKind::ScaleDigits, "Values")] = "0:32766:1";
        QTest::newRow("a value list of a long pattern") << Outcome{listed, overText.arg("65,697,835"), 0};
        QTest::newRow("a label of 10001 characters")
            << Outcome{Card().labels({"1\t1\tok", "1\t1\t" + QString(kMaxTextLength + 1, u'x')}).design,
                       "Face Labels, row 2: Text is 10001 characters long (at most 10000)", 0};
        QTest::newRow("a digit pattern of 10001 characters")
            << Outcome{Card().digits({"1\t0\t1\t" + QString(kMaxTextLength + 1, u'#')}).design,
                       "Scale Digits, row 1: Num Format is 10001 characters long (at most 10000)", 0};
        // Bands, holes and styles: the bands under everything, drawn first.
        const QString notAColour = "Colour \"%1\" is not #RRGGBB or a colour name", band1 = "Bands, row 1: ";
        QTest::newRow("unknown scale") << Outcome{cardWith("|0|1|1|2|;4|0|1|1|2|"),
                                                  "Bands, row 2: scale 4 does not exist (the design has 3 scales)", 1};
        QTest::newRow("past the scale")
            << Outcome{cardWith("1|0|120|1|2|"), band1 + "To 120 is outside scale 1 (0 to 100)", 0};
        QTest::newRow("past the sweep")
            << Outcome{cardWith("|1.5|0|1|2|"), band1 + "From 1.5 is outside the sweep (0 to 1)", 0};
        QTest::newRow("no From") << Outcome{cardWith("||1|1|2|"), band1 + "From \"\" is not a number", 0};
        QTest::newRow("radius 0") << Outcome{cardWith("|0|1|0|2|"), band1 + "Inner Radius 0 is not above 0", 0};
        QTest::newRow("radii crossed")
            << Outcome{cardWith("|0|1|20|18|"), band1 + "Inner Radius 20 is not below Outer Radius 18", 0};
        QTest::newRow("band colour") << Outcome{cardWith("|0|1|1|2|pinkish"), band1 + notAColour.arg("pinkish"), 0};
        QTest::newRow("hole diameter")
            << Outcome{cardWith({}, "1|1|3;2|2|-2"), "Holes, row 2: Diameter -2 is not above 0", 6};
        QTest::newRow("arc width")
            << Outcome{cardWith("", "", "20|7|"), "Scale Arcs, row 1: Width 7 is outside 0.05 ... 5 mm", 3};
        QTest::newRow("colour of an arc that draws nothing")
            << Outcome{cardWith("", "", "0||bleu"), "Scale Arcs, row 1: " + notAColour.arg("bleu"), 3};
    }
    void drawsWhatItCanAndStopsOnBadValues()
    {
        QFETCH(Outcome, c);
        RecordingSurface surface;
        QString thrown;
        try {
            drawDial(c.design, surface);
        } catch (const DrawError &e) {
            thrown = QString::fromStdString(e.what());
        }
        QCOMPARE(thrown, c.error);
        QCOMPARE(surface.drawn().size(), c.drawn);
        QVERIFY(c.drawn > 0 || surface.operations().isEmpty());
    }

    void countsWhatItWouldDraw()
    {
        const struct {
            const char *name;
            DialDesign design;
        } cases[] = {
            {"worked card", Card().arcs({"22", "0", "-3"}).ticks({"10\t22\t18", "-4\t22\t18"})
                                .digits({"5\t0\t100\t0\t24\t6", "0\t0\t1\t0\t24\t6"})
                                .labels({"26\t40\tmA\t8", "1\t1\t\t8"}).design},
            {"halves round to even", Card().ticks({"2.5\t22\t18", "3.5\t22\t18", "0.5\t1\t2"}).design},
            {"the most divisions", Card().ticks({"32766\t22\t18"}).digits({"32766\t0\t1\t0\t20\t6"}).design},
            {"numbers with units", Card().arcs({" 20 mm"}).ticks({"7 ticks\t22\t18"}).design},
        };
        for (const auto &c : cases) {
            RecordingSurface surface;
            drawDial(c.design, surface);
            QVERIFY2(countDrawItems(c.design) == surface.drawn().size(), c.name);
        }
    }

    void budgetLimitsAreInclusive()
    {
        // 122 full rows and 3 fixed items leave 2,423 items for the last row: 2,422 divisions.
        const QStringList full(122, "32766\t22\t18");
        // 40,000 digits of 999 places and one whole digit: 40,000,000 characters.
        const QString places(999, u'#'), longest(kMaxTextLength, u'x');
        const QString fullDigits = "32766\t0\t1\t" + places + "\t20\t6";
        const struct {
            const char *name;
            DialDesign design;
            bool within;
        } cases[] = {
            {"exactly the budget", Card().ticks(full + QStringList{"2422\t22\t18"}).design, true},
            {"one item over", Card().ticks(full + QStringList{"2423\t22\t18"}).design, false},
            {"one item over in digits", Card().ticks(full).digits({"2423\t0\t1\t0\t20\t6"}).design, false},
            {"exactly the text budget", Card().digits({fullDigits, "7232\t0\t1\t" + places}).design, true},
            {"a thousand characters over", Card().digits({fullDigits, "7233\t0\t1\t" + places}).design, false},
            {"label and pattern of the longest text",
             Card().labels({"1\t1\t" + longest}).digits({"1\t0\t1\t" + longest}).design, true},
        };
        for (const auto &c : cases)
            QVERIFY2(drawBudgetProblem(c.design).isEmpty() == c.within, c.name);
    }

    // What each cell reads as: "colour #RRGGBB", "width 0.25", "font X (missing)", or the reason.
    void styleCells_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("read");

        const auto bad = [](const char *c) { return QString("Colour \"%1\" is not #RRGGBB or a colour name").arg(c); };
        QTest::newRow("empty colour is black") << "colour" << "  " << "colour ";
        QTest::newRow("hex, any case") << "colour" << "#ff8000" << "colour #FF8000";
        QTest::newRow("short hex") << "colour" << "#f80" << "colour #FF8800";
        QTest::newRow("name, any case") << "colour" << " DarkRed " << "colour #8B0000";
        QTest::newRow("unknown name") << "colour" << "foo" << bad("foo");
        QTest::newRow("transparent") << "colour" << "transparent" << bad("transparent");
        QTest::newRow("four digits") << "colour" << "#1234" << bad("#1234");
        QTest::newRow("not hex") << "colour" << "#12345g" << bad("#12345g");
        QTest::newRow("empty width") << "width" << "" << "width 0";
        QTest::newRow("lowest") << "width" << "0.05" << "width 0.05";
        QTest::newRow("highest, blanks") << "width" << " 5 " << "width 5";
        QTest::newRow("too wide") << "width" << "7" << "Width 7 is outside 0.05 ... 5 mm";
        QTest::newRow("too thin") << "width" << "0.04" << "Width 0.04 is outside 0.05 ... 5 mm";
        QTest::newRow("unit") << "width" << "1mm" << "Width \"1mm\" is not a number of millimetres";
        QTest::newRow("infinite") << "width" << "inf" << "Width \"inf\" is not a number of millimetres";
        QTest::newRow("no face") << "font" << "" << "font DejaVu Sans";
        QTest::newRow("installed, other case") << "font" << "dejavu serif" << "font DejaVu Serif";
        QTest::newRow("not installed") << "font" << "No Such Face" << "font DejaVu Sans (missing)";
    }

    void styleCells()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cell);
        QFETCH(QString, read);
        QString normalised = "untouched", error;
        double mm = -1;
        bool missing = false;
        QString got;
        if (kind == "colour")
            got = parseColourCell(cell, &normalised, &error) ? "colour " + normalised : error;
        else if (kind == "width")
            got = parseWidthCell(cell, &mm, &error) ? "width " + QString::number(mm) : error;
        else
            got = "font " + fontFamilyOrDefault(cell, &missing);
        if (missing)
            got += " (missing)";
        QCOMPARE(got, read);
        // A refused cell leaves the value as it was.
        QVERIFY(error.isEmpty() || (normalised == "untouched" && mm == -1));
    }

    void drawing_data()
    {
        QTest::addColumn<Drawn>("c");
        const TableKind arcs = TableKind::ScaleArcs;
        const QString arc = "arc (26.0000, 33.0000) r 20.0000 from 0.7854 to 2.3562";
        const auto band = [](const char *bands, const char *angles, const char *rest) {
            return Drawn{bands, "", TableKind::ScaleArcs, "",
                         {QString("sector (26.0000, 33.0000) r 18.0000-20.0000 from %1 %2").arg(angles, rest)}};
        };
        QTest::newRow("fractions of the sweep") << band("|0.25|0.75|18|20|", "1.1781 to 1.9635", "filled @Bands");
        QTest::newRow("linear, ends reversed")
            << band("1|50|20|18|20|red", "1.5708 to 2.0420", "filled colour #FF0000 @Bands");
        QTest::newRow("ohms up to infinity") << band("3| 50 |INF|18|20|", "1.5708 to 2.3562", "filled @Bands");
        QTest::newRow("cut window") << band("|0|1|18|20|Cut", "0.7854 to 2.3562", "cut @Cut");
        QTest::newRow("arc wide and red, then plain")
            << Drawn{"", "", arcs, "20|0.5|red;20||", {arc + " colour #FF0000 width 0.5000 @Marks", arc + " @Marks"}};
        QTest::newRow("tickmarks in a colour")
            << Drawn{"", "", TableKind::ScaleTickmarks, "1|22|18|||2|#123456",
                     {"line (13.2721, 20.2721)-(10.4437, 17.4437) colour #123456 width 2.0000 @Marks",
                      "line (38.7279, 20.2721)-(41.5563, 17.4437) colour #123456 width 2.0000 @Marks"}};
        QTest::newRow("digits in another face")
            << Drawn{"", "", TableKind::ScaleDigits, "1|0|5|0|18|8|||navy|dejavu serif",
                     {"text (12.4254, 18.5787) 8.0000 \"0\" colour #000080 in \"DejaVu Serif\" @Text",
                      "text (37.8813, 18.5787) 8.0000 \"5\" colour #000080 in \"DejaVu Serif\" @Text"}};
        QTest::newRow("label in a missing face, holes")
            << Drawn{"", "10|12|6;5|5|1.5", TableKind::FaceLabels, "4|5|Hi|8|green|No Such Face",
                     {"text (4.0000, 5.0000) 8.0000 \"Hi\" colour #008000 @Text",
                      "circle (10.0000, 12.0000) r 3.0000 @Cut", "line (9.0000, 12.0000)-(11.0000, 12.0000) @Cut",
                      "line (10.0000, 11.0000)-(10.0000, 13.0000) @Cut", "circle (5.0000, 5.0000) r 0.7500 @Cut",
                      "line (4.7500, 5.0000)-(5.2500, 5.0000) @Cut", "line (5.0000, 4.7500)-(5.0000, 5.2500) @Cut"}};
    }

    void drawing()
    {
        QFETCH(Drawn, c);
        DialDesign design = cardWith(c.bands, c.holes);
        design.table(c.kind) = rows(c.table);
        RecordingSurface surface;
        QStringList got;
        drawDial(design, surface);
        const char *layers[] = {"Outline", "Cut", "Marks", "Text", "Bands"};
        for (const auto &op : surface.drawn())
            got << RecordingSurface::describe(op) + " @" + layers[static_cast<int>(op.layer)];
        // The bands lie under the outline; the outline and the pivot cross are the same for all.
        const int first = c.bands.isEmpty() ? 0 : 1;
        QCOMPARE(got.mid(first, 3), QStringList({"box (0.0000, 0.0000)-(52.0000, 45.0000) @Outline",
                                                 "line (25.0000, 33.0000)-(27.0000, 33.0000) @Marks",
                                                 "line (26.0000, 32.0000)-(26.0000, 34.0000) @Marks"}));
        got.remove(first, 3);
        QCOMPARE(got, c.drawn);
    }

    void fileAndCounts()
    {
        const DialDesign design = cardWith("1|20|50|18|20|red;|0|1|10|12|cut", "3|4|3.2");
        const QByteArray bytes = dialFileBytes(design);
        QVERIFY(bytes.endsWith("\r\n[Bands]\r\n1\t20\t50\t18\t20\tred\t\r\n\t0\t1\t10\t12\tcut\t\r\n"
                               "[Holes]\r\n3\t4\t3.2\t\r\n\r\n"));
        QVERIFY(parseDialFile(bytes, DialDesign::startup().dimensions).design == design);
        // Holes alone need 1.1; without bands and holes neither section is written.
        DialDesign holesOnly = DialDesign::startup();
        holesOnly.holes = rows("1|1|1");
        QCOMPARE(dialFileVersion(holesOnly), DialFileVersion::V1_1);
        QVERIFY(!dialFileBytes(cardWith()).contains("[Bands]") && !dialFileBytes(cardWith()).contains("[Holes]"));
        QCOMPARE(countDrawItems(design) - countDrawItems(cardWith()), 2 + 3);
        DialDesign fonts = cardWith();
        fonts.table(TableKind::FaceLabels) = rows("1|1|a|||Zz Face;1|1|b|||DejaVu Serif;1|1|c|||Aa Face;"
                                                  "1|1|d|||Zz Face");
        QCOMPARE(missingFontFamilies(fonts), QStringList({"Aa Face", "Zz Face"}));
    }

    // A tick straight up at x = 26 mm measured across a row of a 10 px/mm PNG; a red band below.
    void pixels()
    {
        for (const auto &[width, colour, rgb] : {std::tuple{"0.5", "", qRgb(0, 0, 0)},
                                                 std::tuple{"2.55", "blue", qRgb(0, 0, 255)}}) {
            DialDesign design = cardWith("|0|1|10|16|red");
            design.table(TableKind::ScaleTickmarks) = {{"0", "30", "20", "", "0.5", width, colour}};
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            ExportOptions options;
            options.dotsPerInch = 254;
            QVERIFY(writeDialExport(design, ExportFormat::Png, png, options).ok());
            const QImage image = QImage::fromData(png.data(), "PNG");
            const int row = (33 - 25 + 10) * 10;
            double covered = 0; // the ink's share of each pixel, read from its red against white
            for (int x = 300; x < 420; ++x)
                covered += (255 - qRed(image.pixel(x, row))) / 255.0;
            QVERIFY2(std::abs(covered - QString(width).toDouble() * 10) < 0.3, qPrintable(QString::number(covered)));
            QVERIFY2(image.pixel(360, row) == rgb, width);
            QVERIFY2(image.pixel(360, (33 - 13 + 10) * 10) == qRgb(255, 0, 0), width);
        }
    }

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

    // The card outline where it fits, a note either way. The card origin lies 10 mm inside the printable area,
    // at most 6.35 mm in from each edge: the sheet fits A4 (210 mm wide) and US Letter (279.4 mm high).
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
            drawTestSheet(surface, "A printer with a rather long name, as some have", c.width, c.height);
            const QVector<Operation> boxes = surface.operations(Kind::Box);
            const CardPoint corner = room.cardCorner;
            QVERIFY2(boxes.size() == (c.drawn ? 1 : 0), c.name);
            QVERIFY2(!c.drawn || (near(boxes[0].from.x, corner.x) && near(boxes[0].from.y, corner.y) &&
                                  near(boxes[0].to.x, corner.x + c.width) && near(boxes[0].to.y, corner.y + c.height)),
                     c.name);
            bool noted = false;
            double right = 0, bottom = 0, left = 0, top = 0;
            for (const Operation &op : surface.operations()) {
                noted = noted || op.text.contains(c.drawn ? "outline, " : "does not fit");
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
            QVERIFY2(noted, c.name);
            QVERIFY2(left > -10 && top > -10, c.name); // not into the unprintable edge
            QVERIFY2(6.35 + 10 + right <= 210 - 6.35 && 6.35 + 10 + bottom <= 279.4 - 6.35,
                     qPrintable(u"%1: %2 x %3 mm"_s.arg(QLatin1String(c.name)).arg(right).arg(bottom)));
        }
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

QTEST_MAIN(TestDialRenderer)
#include "test_dialrenderer.moc"
