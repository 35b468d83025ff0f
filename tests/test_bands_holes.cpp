// Bands, holes and row styles as drawn, in the dial file, and in the pixels of a PNG.

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

Q_DECLARE_METATYPE(vernalith::TableKind)

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

} // namespace

class TestBandsHoles : public QObject
{
    Q_OBJECT

private slots:
    // Every operation but the outline and the pivot cross, with its layer, or the error.
    void drawing_data()
    {
        QTest::addColumn<QString>("bands");
        QTest::addColumn<QString>("holes");
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("drawn");

        const TableKind arcs = TableKind::ScaleArcs;
        const QString arc = "arc (26.0000, 33.0000) r 20.0000 from 0.7854 to 2.3562";
        const auto band = [](const char *angles, const char *rest) {
            return QStringList{QString("sector (26.0000, 33.0000) r 18.0000-20.0000 from %1 %2").arg(angles, rest)};
        };
        QTest::newRow("fractions of the sweep") << "|0.25|0.75|18|20|" << "" << arcs << ""
                                                << band("1.1781 to 1.9635", "filled @Bands");
        QTest::newRow("linear, ends reversed") << "1|50|20|18|20|red" << "" << arcs << ""
                                               << band("1.5708 to 2.0420", "filled colour #FF0000 @Bands");
        QTest::newRow("log") << "2|10|100|18|20|#00f" << "" << arcs << ""
                             << band("0.7854 to 1.5708", "filled colour #0000FF @Bands");
        QTest::newRow("ohms up to infinity") << "3| 50 |INF|18|20|" << "" << arcs << ""
                                             << band("1.5708 to 2.3562", "filled @Bands");
        QTest::newRow("cut window") << "|0|1|18|20|Cut" << "" << arcs << "" << band("0.7854 to 2.3562", "cut @Cut");
        QTest::newRow("arc wide and red, then plain") << "" << "" << arcs << "20|0.5|red;20||"
            << QStringList{arc + " colour #FF0000 width 0.5000 @Marks", arc + " @Marks"};
        QTest::newRow("tickmarks in a colour") << "" << "" << TableKind::ScaleTickmarks << "1|22|18|||2|#123456"
            << QStringList{"line (13.2721, 20.2721)-(10.4437, 17.4437) colour #123456 width 2.0000 @Marks",
                           "line (38.7279, 20.2721)-(41.5563, 17.4437) colour #123456 width 2.0000 @Marks"};
        QTest::newRow("digits in another face") << "" << "" << TableKind::ScaleDigits << "1|0|5|0|18|8|||navy|dejavu serif"
            << QStringList{"text (12.4254, 18.5787) 8.0000 \"0\" colour #000080 in \"DejaVu Serif\" @Text",
                           "text (37.8813, 18.5787) 8.0000 \"5\" colour #000080 in \"DejaVu Serif\" @Text"};
        QTest::newRow("label in a missing face, holes") << "" << "10|12|6;5|5|1.5" << TableKind::FaceLabels
            << "4|5|Hi|8|green|No Such Face"
            << QStringList{"text (4.0000, 5.0000) 8.0000 \"Hi\" colour #008000 @Text", "circle (10.0000, 12.0000) r 3.0000 @Cut",
                           "line (9.0000, 12.0000)-(11.0000, 12.0000) @Cut", "line (10.0000, 11.0000)-(10.0000, 13.0000) @Cut",
                           "circle (5.0000, 5.0000) r 0.7500 @Cut", "line (4.7500, 5.0000)-(5.2500, 5.0000) @Cut",
                           "line (5.0000, 4.7500)-(5.0000, 5.2500) @Cut"};
        const auto error = [](const char *message) { return QStringList{QString("error: ") + message}; };
        QTest::newRow("unknown scale") << "|0|1|1|2|;4|0|1|1|2|" << "" << arcs << ""
                                       << error("Bands, row 2: scale 4 does not exist (the design has 3 scales)");
        QTest::newRow("beyond the scale") << "1|0|120|1|2|" << "" << arcs << ""
                                          << error("Bands, row 1: To 120 is outside scale 1 (0 to 100)");
        QTest::newRow("beyond the sweep") << "|1.5|0|1|2|" << "" << arcs << ""
                                          << error("Bands, row 1: From 1.5 is outside the sweep (0 to 1)");
        QTest::newRow("no From") << "||1|1|2|" << "" << arcs << "" << error("Bands, row 1: From \"\" is not a number");
        QTest::newRow("radius 0") << "|0|1|0|2|" << "" << arcs << "" << error("Bands, row 1: Inner Radius 0 is not above 0");
        QTest::newRow("radii crossed") << "|0|1|20|18|" << "" << arcs << ""
                                       << error("Bands, row 1: Inner Radius 20 is not below Outer Radius 18");
        QTest::newRow("band colour") << "|0|1|1|2|pinkish" << "" << arcs << ""
                                     << error("Bands, row 1: Colour \"pinkish\" is not #RRGGBB or a colour name");
        QTest::newRow("hole diameter") << "" << "1|1|3;2|2|-2" << arcs << ""
                                       << error("Holes, row 2: Diameter -2 is not above 0");
        QTest::newRow("arc width") << "" << "" << arcs << "20|7|" << error("Scale Arcs, row 1: Width 7 is outside 0.05 ... 5 mm");
        QTest::newRow("colour of an arc that draws nothing") << "" << "" << arcs << "0||bleu"
            << error("Scale Arcs, row 1: Colour \"bleu\" is not #RRGGBB or a colour name");
    }

    void drawing()
    {
        QFETCH(QString, bands);
        QFETCH(QString, holes);
        QFETCH(TableKind, kind);
        QFETCH(QString, table);
        QFETCH(QStringList, drawn);
        DialDesign design = card(bands, holes);
        design.table(kind) = rows(table);
        RecordingSurface surface;
        QStringList got;
        try {
            drawDial(design, surface);
            const char *layers[] = {"Outline", "Cut", "Marks", "Text", "Bands"};
            for (const auto &op : surface.drawn())
                got << RecordingSurface::describe(op) + " @" + layers[static_cast<int>(op.layer)];
            // The bands lie under the outline; the outline and the pivot cross are the same for all.
            QCOMPARE(got.mid(bands.isEmpty() ? 0 : 1, 3),
                     QStringList({"box (0.0000, 0.0000)-(52.0000, 45.0000) @Outline",
                                  "line (25.0000, 33.0000)-(27.0000, 33.0000) @Marks",
                                  "line (26.0000, 32.0000)-(26.0000, 34.0000) @Marks"}));
            got.remove(bands.isEmpty() ? 0 : 1, 3);
        } catch (const DrawError &e) {
            got = QStringList{QString("error: ") + e.what()};
        }
        QCOMPARE(got, drawn);
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
        fonts.table(TableKind::FaceLabels) = rows("1|1|a|8||Zz Face;1|1|b|8||DejaVu Serif;1|1|c|8||Aa Face;1|1|d|8||Zz Face");
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
