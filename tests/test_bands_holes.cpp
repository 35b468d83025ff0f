// Bands, holes and row styles as typed, as drawn, in the dial file, and in the pixels of a PNG.

#undef QT_NO_CAST_FROM_ASCII // the cases use plain string literals

#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/dialrenderer.h"
#include "render/drawbudget.h"
#include "render/recordingsurface.h"
#include "render/rowstyle.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

using namespace vernalith;

namespace {

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

Q_DECLARE_METATYPE(Drawn)

class TestBandsHoles : public QObject
{
    Q_OBJECT

private slots:
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
    void pixels_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QRgb>("rgb");

        QTest::newRow("0.5 mm black") << "0.5" << "" << qRgb(0, 0, 0);
        QTest::newRow("2.55 mm blue") << "2.55" << "blue" << qRgb(0, 0, 255);
    }

    void pixels()
    {
        QFETCH(QString, width);
        QFETCH(QString, colour);
        QFETCH(QRgb, rgb);
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
        QVERIFY2(std::abs(covered - width.toDouble() * 10) < 0.3, qPrintable(QString::number(covered)));
        QCOMPARE(image.pixel(360, row), rgb);
        QCOMPARE(image.pixel(360, (33 - 13 + 10) * 10), qRgb(255, 0, 0));
    }
};

QTEST_MAIN(TestBandsHoles)
#include "test_bands_holes.moc"
