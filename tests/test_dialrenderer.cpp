// The renderer on a recording surface: what it draws and where, and how it stops; bands, holes and
// row styles as typed, as drawn, in the dial file, and in the pixels of a PNG.

#undef QT_NO_CAST_FROM_ASCII // the band, hole and style cases use plain string literals

#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/dialrenderer.h"
#include "render/drawbudget.h"
#include "render/recordingsurface.h"
#include "render/rowstyle.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

using namespace vernalith;
using namespace Qt::StringLiterals;
using Kind = RecordingSurface::Kind;

namespace {

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

// What the drawing throws (empty: it ends normally) and how many operations it draws before,
// font sizes not counted.
struct Outcome {
    DialDesign design;
    QString error;
    int drawn;
};

// "a|b|c;d|e|f" as rows of cells.
TableRows rows(const QString &joined)
{
    TableRows result;
    for (const QString &row : joined.split(';', Qt::SkipEmptyParts))
        result << row.split('|');
    return result;
}

// The default card (the sweep runs clockwise from 135 degrees to 45 around the pivot 26, 33)
// with a linear 0 ... 100, a log 1 ... 100 and an ohms scale with 50 ohms at mid-scale.
DialDesign card(const QString &bands = QString(), const QString &holes = QString())
{
    DialDesign d = DialDesign::startup();
    d.scales = rows("linear|0|100||;log|1|100||;ohms|0|inf|50|");
    d.bands = rows(bands);
    d.holes = rows(holes);
    return d;
}

// The bands and holes of a card, another table's rows (as "a|b|c;d|e|f"), and what the drawing
// makes of them: every operation but the outline and the pivot cross, with its layer, or the error.
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
        const DialDesign pivot = Card().dimensions({u"52"_s, u"45"_s, u"30 mm"_s, u" 35.25"_s}).design;
        QTest::newRow("cross across, pivot given with units")
            << Described{pivot, Kind::Line, 0, u"line (29.0000, 35.2500)-(31.0000, 35.2500)"_s};
        QTest::newRow("middle tick") << Described{Card().ticks({u"10\t22\t18"_s}).design, Kind::Line, 7,
                                                  u"line (26.0000, 15.0000)-(26.0000, 11.0000)"_s};
        // Digits are centred on their points at radius 18; a text box is 0.6 em per character by 1.2 em.
        QTest::newRow("digit 100") << Described{Card().digits({u"10\t0\t100\t0\t18\t8"_s}).design, Kind::Text, 10,
                                                u"text (36.1879, 18.5787) 8.0000 \"100\""_s};
        QTest::newRow("label by its top-left corner, without its control characters")
            << Described{Card().labels({u"20.5\t30\t\u0002m\u0000A\r\t14"_s}).design, Kind::Text, 0,
                         u"text (20.5000, 30.0000) 14.0000 \"mA\""_s};
        // The font size: > 0, else 10, set by a digits row even when it draws nothing (0 divisions).
        const auto sized = [](const QString &digitPoints, const QString &labelPoints) {
            return Card().digits({u"0\t0\t100\t0\t18\t"_s + digitPoints}).labels({u"1\t2\tV\t"_s + labelPoints}).design;
        };
        QTest::newRow("font size 0") << Described{sized(u"0"_s, u"12"_s), Kind::FontSize, 0, u"font 10.0000"_s};
        QTest::newRow("label in the fallback size")
            << Described{sized(u"8"_s, QString()), Kind::Text, 0, u"text (1.0000, 2.0000) 10.0000 \"V\""_s};
        // Zero tip at 300 degrees, maximum tip at 60: the scale runs clockwise through 180 degrees.
        const DialDesign sweep = Card().dimensions({u"52"_s, u"45"_s, u"26"_s, u"33"_s, u"31"_s, u"41.66025403784"_s,
                                                    u"31"_s, u"24.33974596216"_s})
                                     .arcs({u"20"_s}).ticks({u"2\t12\t10"_s}).design;
        QTest::newRow("sweep: arc over 60..300")
            << Described{sweep, Kind::Arc, 0, u"arc (26.0000, 33.0000) r 20.0000 from 1.0472 to 5.2360"_s};
        QTest::newRow("sweep: zero tick")
            << Described{sweep, Kind::Line, 2, u"line (31.0000, 41.6603)-(32.0000, 43.3923)"_s};
        QTest::newRow("sweep: tick at 180")
            << Described{sweep, Kind::Line, 3, u"line (16.0000, 33.0000)-(14.0000, 33.0000)"_s};
    }
    void operationsToFourDecimals()
    {
        QFETCH(Described, c);
        RecordingSurface surface;
        drawDial(c.design, surface);
        QCOMPARE(RecordingSurface::describe(surface.operations(c.kind).value(c.index)), c.expected);
    }

    void digitTexts_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("falling scale") << u"2\t100\t0\t0\t18\t8"_s << QStringList{u"100"_s, u"50"_s, u"0"_s};
        QTest::newRow("by pattern") << u"2\t0\t1\t0.00 V\t18\t8"_s
                                    << QStringList{u"0.00 V"_s, u"0.50 V"_s, u"1.00 V"_s};
        QTest::newRow("no noise") << u"3\t0\t0.3\t\t18\t8"_s << QStringList{u"0"_s, u"0.1"_s, u"0.2"_s, u"0.3"_s};
        QTest::newRow("\"#\" prints nothing for 0: skipped") << u"2\t0\t2\t#\t18\t8"_s
                                                           << QStringList{u"1"_s, u"2"_s};
        QTest::newRow("control characters in the pattern")
            << u"1\t0\t1\t\u0001V\u007f\u0085 0\t18\t8"_s << QStringList{u"V 0"_s, u"V 1"_s};
    }
    void digitTexts()
    {
        QFETCH(QString, row);
        QFETCH(QStringList, expected);
        RecordingSurface surface;
        drawDial(Card().digits({row}).design, surface);
        QStringList texts;
        for (const auto &op : surface.operations(Kind::Text))
            texts.append(op.text);
        QCOMPARE(texts, expected);
    }

    void drawsWhatItCanAndStopsOnBadValues_data()
    {
        QTest::addColumn<Outcome>("c");
        // 3 for the outline and cross, and every card has a label that is drawn last unless an
        // error stops the drawing.
        const auto card = [] { return Card().labels({u"1\t1\tlast"_s}); };
        QTest::newRow("start-up design") << Outcome{DialDesign::startup(), QString(), 3};
        QTest::newRow("arc radius 0") << Outcome{card().arcs({u"0"_s}).design, QString(), 3 + 1};
        QTest::newRow("tips on one ray")
            << Outcome{card().dimensions({u"52"_s, u"45"_s, u"0"_s, u"12"_s}).arcs({u"20"_s}).design, QString(), 3 + 1};
        QTest::newRow("empty label, label of control characters")
            << Outcome{card().labels({u"5\t6\t\t8"_s, u"5\t6\t\u0001\u001b\u009f\t8"_s, u"1\t1\tlast"_s}).design,
                       QString(), 3 + 1};

        // Divisions round half to even; a count of 0 or below draws nothing, however negative.
        QTest::newRow("Divisions 2.5 to 2") << Outcome{card().ticks({u"2.5\t22\t18"_s}).design, {}, 3 + 3 + 1};
        QTest::newRow("Divisions 3.5 to 4") << Outcome{card().ticks({u"3.5\t22\t18"_s}).design, {}, 3 + 5 + 1};
        QTest::newRow("Divisions -40000") << Outcome{card().ticks({u"-40000\t22\t18"_s}).design, QString(), 3 + 1};
        QTest::newRow("Divisions 32766.5 round to the most")
            << Outcome{card().ticks({u"32766.5\t22\t18"_s}).design, QString(), 3 + 32767 + 1};

        const QString digit = u"2\t0\t10\t0\t18\t8"_s; // 3 texts
        const QString tick = u"4\t22\t18"_s;           // 5 lines
        QTest::newRow("Divisions 40000 in digits row 3")
            << Outcome{card().arcs({u"20"_s}).ticks({tick}).digits({digit, digit, u"40000\t0\t10\t0\t18\t8"_s}).design,
                       u"Scale Digits, row 3: Divisions 40000 is too large (at most 32766)"_s, 3 + 1 + 6};
        QTest::newRow("Divisions 32767 in tickmarks row 2")
            << Outcome{card().arcs({u"20"_s}).ticks({tick, u"32767\t22\t18"_s}).digits({digit}).design,
                       u"Scale Tickmarks, row 2: Divisions 32767 is too large (at most 32766)"_s, 3 + 1 + 3 + 5};
        QTest::newRow("1e400 radius in arcs row 2")
            << Outcome{card().arcs({u"20"_s, u" 1e400 mm"_s}).ticks({tick}).design,
                       u"Scale Arcs, row 2: Radius \"1e400 mm\" is too large a number"_s, 3 + 1};
        QTest::newRow("1e400 where nothing is drawn")
            << Outcome{card().digits({u"0\t1e400\t1"_s}).design,
                       u"Scale Digits, row 1: Min Val \"1e400\" is too large a number"_s, 3};
        QTest::newRow("digit values overflow")
            << Outcome{card().digits({u"2\t-1e308\t1e308\t\t18\t8"_s}).design,
                       u"Scale Digits, row 1: the digit value cannot be computed: "
                       u"a number is too large or undefined"_s, 3};
        QTest::newRow("1e400 card width") << Outcome{card().dimensions({u"1e400"_s}).arcs({u"20"_s}).design,
                                                     u"Card Width: \"1e400\" is too large a number"_s, 0};
        QTest::newRow("needle angle overflows")
            << Outcome{card().dimensions({u"52"_s, u"45"_s, u"0"_s, u"1e300"_s, u"1e-300"_s, u"0"_s}).design,
                       u"Zero position: the needle angle cannot be computed: "
                       u"a number is too large or undefined"_s, 0};

        // A table over the limit stops before its first row; at the limit every row is drawn.
        const Card full = Card().arcs({u"20"_s}).ticks({u"1\t22\t18"_s}).digits({u"1\t0\t10\t0\t18\t8"_s});
        QTest::newRow("32767 labels")
            << Outcome{Card(full).labels(QStringList(kMaxDataRows + 1, u"1\t1\tx"_s)).design,
                       u"Face Labels: 32767 rows are too many (at most 32766)"_s, 3 + 1 + 2 + 2};
        QTest::newRow("32766 labels")
            << Outcome{Card().labels(QStringList(kMaxDataRows, u"1\t1\tx"_s)).design, QString(), 3 + kMaxDataRows};
        // Over a budget nothing at all is drawn. 123 rows of 32766 divisions: 123 x 32767 + 3 items.
        QTest::newRow("123 full tickmark rows")
            << Outcome{Card().ticks(QStringList(123, u"32766\t22\t18"_s)).design,
                       u"The card would draw 4,030,344 lines, arcs and texts, "
                       u"more than the 4,000,000 that can be drawn"_s, 0};
        const QString overText =
            u"The card's texts would come to about %1 characters, more than the 40,000,000 that can be drawn"_s;
        QTest::newRow("few digits of a long pattern")
            << Outcome{Card().digits({u"32766\t0\t100\t"_s + QString(2000, u'#') + u"\t20\t6"_s}).design,
                       overText.arg(u"65,632,301"_s), 0};
        QTest::newRow("digits of three hundred places")
            << Outcome{Card().digits(QStringList(5, u"32766\t0\t1e300\t0\t20\t6"_s)).design,
                       overText.arg(u"49,478,170"_s), 0};
        DialDesign listed = Card().digits({u"\t0\t100\t"_s + QString(2000, u'#') + u"\t20\t6"_s}).design;
        listed.table(TableKind::ScaleDigits)[0][extraColumn(TableKind::ScaleDigits, u"Values"_s)] = u"0:32766:1"_s;
        QTest::newRow("a value list of a long pattern") << Outcome{listed, overText.arg(u"65,697,835"_s), 0};
        QTest::newRow("a label of 10001 characters")
            << Outcome{Card().labels({u"1\t1\tok"_s, u"1\t1\t"_s + QString(kMaxTextLength + 1, u'x')}).design,
                       u"Face Labels, row 2: Text is 10001 characters long (at most 10000)"_s, 0};
        QTest::newRow("a digit pattern of 10001 characters")
            << Outcome{Card().digits({u"1\t0\t1\t"_s + QString(kMaxTextLength + 1, u'#') + u"\t20\t6"_s}).design,
                       u"Scale Digits, row 1: Num Format is 10001 characters long (at most 10000)"_s, 0};
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
            {"worked card", Card().arcs({u"22"_s, u"0"_s, u"-3"_s}).ticks({u"10\t22\t18"_s, u"-4\t22\t18"_s})
                                .digits({u"5\t0\t100\t0\t24\t6"_s, u"0\t0\t1\t0\t24\t6"_s})
                                .labels({u"26\t40\tmA\t8"_s, u"1\t1\t\t8"_s}).design},
            {"halves round to even", Card().ticks({u"2.5\t22\t18"_s, u"3.5\t22\t18"_s, u"0.5\t1\t2"_s}).design},
            {"the most divisions", Card().ticks({u"32766\t22\t18"_s}).digits({u"32766\t0\t1\t0\t20\t6"_s}).design},
            {"numbers with units", Card().arcs({u" 20 mm"_s}).ticks({u"7 ticks\t22\t18"_s}).design},
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
        const QStringList full(122, u"32766\t22\t18"_s);
        // 40,000 digits of 999 places and one whole digit: 40,000,000 characters.
        const QString places(999, u'#'), longest(kMaxTextLength, u'x');
        const QString fullDigits = u"32766\t0\t1\t"_s + places + u"\t20\t6"_s;
        const struct {
            const char *name;
            DialDesign design;
            bool within;
        } cases[] = {
            {"exactly the budget", Card().ticks(full + QStringList{u"2422\t22\t18"_s}).design, true},
            {"one item over", Card().ticks(full + QStringList{u"2423\t22\t18"_s}).design, false},
            {"one item over in digits", Card().ticks(full).digits({u"2423\t0\t1\t0\t20\t6"_s}).design, false},
            {"exactly the text budget", Card().digits({fullDigits, u"7232\t0\t1\t"_s + places}).design, true},
            {"a thousand characters over", Card().digits({fullDigits, u"7233\t0\t1\t"_s + places}).design, false},
            {"label and pattern of the longest text",
             Card().labels({u"1\t1\t"_s + longest}).digits({u"1\t0\t1\t"_s + longest}).design, true},
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
        QTest::newRow("log") << band("2|10|100|18|20|#00f", "0.7854 to 1.5708", "filled colour #0000FF @Bands");
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
        const auto error = [](const char *bands, const char *holes, const char *table, const char *message) {
            return Drawn{bands, holes, TableKind::ScaleArcs, table, {QString("error: ") + message}};
        };
        QTest::newRow("unknown scale") << error("|0|1|1|2|;4|0|1|1|2|", "", "",
                                                "Bands, row 2: scale 4 does not exist (the design has 3 scales)");
        QTest::newRow("beyond the scale")
            << error("1|0|120|1|2|", "", "", "Bands, row 1: To 120 is outside scale 1 (0 to 100)");
        QTest::newRow("beyond the sweep")
            << error("|1.5|0|1|2|", "", "", "Bands, row 1: From 1.5 is outside the sweep (0 to 1)");
        QTest::newRow("no From") << error("||1|1|2|", "", "", "Bands, row 1: From \"\" is not a number");
        QTest::newRow("radius 0") << error("|0|1|0|2|", "", "", "Bands, row 1: Inner Radius 0 is not above 0");
        QTest::newRow("radii crossed")
            << error("|0|1|20|18|", "", "", "Bands, row 1: Inner Radius 20 is not below Outer Radius 18");
        QTest::newRow("band colour")
            << error("|0|1|1|2|pinkish", "", "", "Bands, row 1: Colour \"pinkish\" is not #RRGGBB or a colour name");
        QTest::newRow("hole diameter") << error("", "1|1|3;2|2|-2", "", "Holes, row 2: Diameter -2 is not above 0");
        QTest::newRow("arc width") << error("", "", "20|7|", "Scale Arcs, row 1: Width 7 is outside 0.05 ... 5 mm");
        QTest::newRow("colour of an arc that draws nothing")
            << error("", "", "0||bleu", "Scale Arcs, row 1: Colour \"bleu\" is not #RRGGBB or a colour name");
    }

    void drawing()
    {
        QFETCH(Drawn, c);
        DialDesign design = card(c.bands, c.holes);
        design.table(c.kind) = rows(c.table);
        RecordingSurface surface;
        QStringList got;
        try {
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
        } catch (const DrawError &e) {
            got = QStringList{QString("error: ") + e.what()};
        }
        QCOMPARE(got, c.drawn);
    }

    void fileAndCounts()
    {
        const DialDesign design = card("1|20|50|18|20|red;|0|1|10|12|cut", "3|4|3.2");
        const QByteArray bytes = dialFileBytes(design);
        QVERIFY(bytes.endsWith("\r\n[Bands]\r\n1\t20\t50\t18\t20\tred\t\r\n\t0\t1\t10\t12\tcut\t\r\n"
                               "[Holes]\r\n3\t4\t3.2\t\r\n\r\n"));
        QVERIFY(parseDialFile(bytes, DialDesign::startup().dimensions).design == design);
        // Holes alone need 1.1; without bands and holes neither section is written.
        DialDesign holesOnly = DialDesign::startup();
        holesOnly.holes = rows("1|1|1");
        QCOMPARE(dialFileVersion(holesOnly), DialFileVersion::V1_1);
        QVERIFY(!dialFileBytes(card()).contains("[Bands]") && !dialFileBytes(card()).contains("[Holes]"));
        QCOMPARE(countDrawItems(design) - countDrawItems(card()), 2 + 3);
        DialDesign fonts = card();
        fonts.table(TableKind::FaceLabels) = rows("1|1|a|||Zz Face;1|1|b|||DejaVu Serif;1|1|c|||Aa Face;"
                                                  "1|1|d|||Zz Face");
        QCOMPARE(missingFontFamilies(fonts), QStringList({"Aa Face", "Zz Face"}));
    }

    // A tick straight up at x = 26 mm measured across a row of a 10 px/mm PNG; a red band below.
    void pixels()
    {
        for (const auto &[width, colour, rgb] :
             {std::tuple{"0.5", "", qRgb(0, 0, 0)}, std::tuple{"2.55", "blue", qRgb(0, 0, 255)}}) {
            DialDesign design = card("|0|1|10|16|red");
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
};

QTEST_MAIN(TestDialRenderer)
#include "test_dialrenderer.moc"
