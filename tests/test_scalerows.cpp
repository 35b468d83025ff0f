// Tickmarks and digits rows on scales and value lists: where readings land, what digits print,
// the errors, and rows without a scale drawing exactly as they always have.

#include "tablerows.h"

#include "design/dialdesign.h"
#include "render/dialrenderer.h"
#include "render/drawbudget.h"
#include "render/recordingsurface.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

using namespace vernalith;
using namespace Qt::StringLiterals;
using Kind = RecordingSurface::Kind;

Q_DECLARE_METATYPE(vernalith::DialDesign)
Q_DECLARE_METATYPE(vernalith::TableKind)

namespace {

constexpr auto kTicks = TableKind::ScaleTickmarks;
constexpr auto kDigits = TableKind::ScaleDigits;

// A row from its visible cells and, optionally, its Scale and Values cells.
QStringList row(TableKind kind, const QString &item, const QString &scale = QString(),
                const QString &values = QString())
{
    QStringList cells = splitItem(kind, item);
    cells[extraColumn(kind, u"Scale"_s)] = scale;
    cells[extraColumn(kind, u"Values"_s)] = values;
    return cells;
}

// The start-up design with `rows` in place of one table's.
DialDesign card(TableKind kind, const TableRows &rows, const TableRows &scales)
{
    DialDesign design = DialDesign::startup();
    design.table(kind) = rows;
    design.scales = scales;
    return design;
}

// Where a point lies as a fraction of the start-up sweep (zero tip at 135 degrees, maximum tip at
// 45, clockwise), seen from the pivot (26, 33).
double fractionOfSweep(CardPoint p)
{
    const double angle = std::atan2(33.0 - p.y, p.x - 26.0);
    return (angle - 3.0 * M_PI / 4.0) / (-M_PI / 2.0);
}

QByteArray exact(double v) { return QByteArray::number(v, 'g', 17); }

// Every operation in full precision, so that a changed last bit shows.
QByteArray fingerprint(const RecordingSurface &surface)
{
    QByteArray text;
    for (const auto &op : surface.operations()) {
        text += QByteArray::number(static_cast<int>(op.kind)) + ' ' + exact(op.from.x) + ' ' + exact(op.from.y) + ' '
              + exact(op.to.x) + ' ' + exact(op.to.y) + ' ' + exact(op.radius) + ' ' + exact(op.startAngle) + ' '
              + exact(op.endAngle) + ' ' + exact(op.points) + ' ' + op.text.toUtf8() + '\n';
    }
    return text;
}

QString randomNumberText(QRandomGenerator &random)
{
    static const char *const odd[] = {"", "0", "-0", "1e400", "abc", "12 mm", "0.1", "-7.25", "32766", "40000", "2.5"};
    if (random.bounded(5) == 0)
        return QString::fromLatin1(odd[random.bounded(int(std::size(odd)))]);
    return QString::number(random.bounded(170.0) - 50.0, 'g', 1 + random.bounded(8));
}

// A design of rows without scale or list, with some other extra cells set (those do not draw yet).
DialDesign randomPlainDesign(QRandomGenerator &random)
{
    static const char *const patterns[] = {"", "0", "0.0", "#", "#,##0.00 V", "0%"};
    DialDesign design = DialDesign::startup();
    for (TableKind kind : kAllTables) {
        TableRows &rows = design.table(kind);
        rows.clear();
        for (int r = random.bounded(1, 5); r > 0; --r) {
            QStringList cells = emptyRow(kind);
            for (int k = 0; k < columnCount(kind); ++k)
                cells[k] = randomNumberText(random);
            if (kind == TableKind::ScaleTickmarks || kind == TableKind::ScaleDigits)
                cells[0] = QString::number(random.bounded(0, 60));
            if (kind == TableKind::ScaleDigits)
                cells[3] = QString::fromLatin1(patterns[random.bounded(int(std::size(patterns)))]);
            if (kind == TableKind::FaceLabels)
                cells[2] = u"\u03a9 \u221e mA"_s.left(random.bounded(8));
            const int colour = extraColumn(kind, u"Colour"_s);
            if (random.bounded(3) == 0)
                cells[colour] = u"red"_s;
            rows.append(cells);
        }
    }
    design.dimensions[static_cast<size_t>(Dimension::ZeroPosX)] = QString::number(random.bounded(0, 20));
    return design;
}

} // namespace

class TestScaleRows : public QObject
{
    Q_OBJECT

private slots:
    // Rows without a scale or list draw every operation to the last bit as before scales came.
    // The fingerprint was taken from the renderer as it stood then, on these same designs.
    void rowsWithoutAScaleDrawAsBefore()
    {
        QRandomGenerator random(20261207u);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        int errors = 0;
        for (int i = 0; i < 400; ++i) {
            RecordingSurface surface;
            try {
                drawDial(randomPlainDesign(random), surface);
            } catch (const DrawError &error) {
                hash.addData(QByteArray("error ") + error.what() + '\n');
                ++errors;
            }
            hash.addData(fingerprint(surface));
        }
        QVERIFY(errors > 10 && errors < 300); // both kinds of design were drawn
        QCOMPARE(hash.result().toHex(), QByteArray(kPlainFingerprint));
    }

    // Each reading at the angle of its deflection, against the figures meters are built to; ticks
    // end on the outer radius, digits are centred on their points.
    void readingsLandAtTheirDeflection_data()
    {
        QTest::addColumn<TableRows>("scales");
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QStringList>("cells"); // visible cells, Scale, Values
        QTest::addColumn<QStringList>("texts"); // the digits printed
        QTest::addColumn<QList<double>>("deflections");
        using L = QList<double>;
        using S = QStringList;
        QTest::newRow("VU meter") << TableRows{scaleRow("db", "-20", "3")} << kTicks
                                  << S{u"0\t22\t18"_s, u"1"_s, u"-20, -10, -3, 0, +3"_s} << S{}
                                  << L{0.0708, 0.2239, 0.5012, 0.7079, 1.0};
        QTest::newRow("ohmmeter prints infinity")
            << TableRows{scaleRow("ohms", "0", "inf", "50")} << kDigits << S{u"0\t0\t0\t0\t18\t8"_s, u"1"_s, u"inf 200 50 0"_s}
            << S{u"\u221e"_s, u"200"_s, u"50"_s, u"0"_s} << L{0, 0.2, 0.5, 1};
        QTest::newRow("square law, Min Val to Max Val in Divisions")
            << TableRows{scaleRow("power", "0", "1", "2")} << kDigits << S{u"4\t0\t1\t0.00\t18\t8"_s, u"1"_s, QString()}
            << S{u"0.00"_s, u"0.25"_s, u"0.50"_s, u"0.75"_s, u"1.00"_s} << L{0, 0.0625, 0.25, 0.5625, 1};
        QTest::newRow("list without a scale: linear over Min Val .. Max Val")
            << TableRows{} << kDigits << S{u"0\t0\t50\t0 V\t18\t8"_s, QString(), u"0 10 50"_s}
            << S{u"0 V"_s, u"10 V"_s, u"50 V"_s} << L{0, 0.2, 1};
        QTest::newRow("second of two scales")
            << TableRows{scaleRow("linear", "0", "1"), scaleRow("db", "-20", "3")} << kDigits
            << S{u"0\t0\t0\t\t18\t8"_s, u"2"_s, u"-20 0 3"_s} << S{u"-20"_s, u"0"_s, u"3"_s} << L{0.0708, 0.7079, 1};
    }
    void readingsLandAtTheirDeflection()
    {
        QFETCH(TableRows, scales);
        QFETCH(TableKind, kind);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, texts);
        QFETCH(QList<double>, deflections);
        const DialDesign design = card(kind, {row(kind, cells[0], cells[1], cells[2])}, scales);
        RecordingSurface surface;
        drawDial(design, surface);
        QCOMPARE(countDrawItems(design), surface.drawn().size()); // the budget counts a list by its values
        QList<CardPoint> points;
        if (kind == kTicks) {
            const auto lines = surface.operations(Kind::Line).mid(2); // after the cross
            for (const auto &line : lines) {
                QVERIFY2(std::fabs(std::hypot(line.to.x - 26, line.to.y - 33) - 22) < 1e-9, "outer radius");
                points.append(line.to);
            }
        } else {
            QStringList printed;
            const double em = RecordingSurface::emMillimetres(8); // a text box is 0.6 em a character by 1.2 em
            for (const auto &op : surface.operations(Kind::Text)) {
                printed.append(op.text);
                points.append({op.from.x + 0.3 * em * op.text.size(), op.from.y + 0.6 * em});
            }
            QCOMPARE(printed, texts);
        }
        QCOMPARE(points.size(), deflections.size());
        for (int i = 0; i < deflections.size(); ++i) {
            const double at = fractionOfSweep(points[i]);
            QVERIFY2(std::fabs(at - deflections[i]) < 0.00006, exact(at) + " != " + exact(deflections[i]));
        }
    }

    void faultsNameTableRowAndFault_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<QString>("error");
        const TableRows two{scaleRow("linear", "0", "100"), scaleRow("log", "0", "10")};
        // Row 2 of the tickmarks on `scaleCell` with `values`, below a plain row.
        const auto ticks = [](const char *name, const char *scaleCell, const char *values, const TableRows &scales,
                              const char *error) {
            const TableRows rows{row(kTicks, u"10\t22\t18"_s),
                                 row(kTicks, u"10\t22\t18"_s, QString::fromUtf8(scaleCell), QString::fromUtf8(values))};
            QTest::newRow(name) << card(kTicks, rows, scales)
                                << u"Scale Tickmarks, row 2: "_s + QString::fromUtf8(error);
        };
        ticks("scale 3 of 2", "3", "", two, "scale 3 does not exist (the design has 2 scales)");
        ticks("no scales at all", "1", "", {}, "scale 1 does not exist (the design has no scales)");
        ticks("law requirement broken", "2", "", two, "scale 2: log needs Min and Max above 0");
        ticks("value outside the scale", "1", "0 50 150", two, "the value 150 is outside scale 1 (0 to 100)");
        ticks("fraction outside the sweep", "", "0 0.5 1.5", two, "the value 1.5 is outside the row's range (0 to 1)");
        ticks("bad token", "1", "0, 5x, 10", two, "Values: \"5x\" is not a number or a range");
        ticks("infinite Max without a list", "1", "", {scaleRow("ohms", "0", "inf", "50")},
              "a scale that reaches inf needs a value list");
        QTest::newRow("digits list without a range")
            << card(kDigits, {row(kDigits, u"0\t5\t5\t\t18\t8"_s), row(kDigits, u"0\t5\t5\t\t18\t8"_s, {}, u"5"_s)}, {})
            << u"Scale Digits, row 2: a value list without a scale needs Min Val and Max Val to differ"_s;
    }
    void faultsNameTableRowAndFault()
    {
        QFETCH(DialDesign, design);
        QFETCH(QString, error);
        RecordingSurface surface;
        try {
            drawDial(design, surface);
            QFAIL("no error");
        } catch (const DrawError &e) {
            QVERIFY2(QString::fromStdString(e.what()).startsWith(error), e.what());
        }
    }

private:
    static constexpr char kPlainFingerprint[] = "fd5e5cb768a4ae3ce55cfc08e58d6f905687c0828156d12a5ca1fdc22da62209";
};

QTEST_MAIN(TestScaleRows)
#include "test_scalerows.moc"
