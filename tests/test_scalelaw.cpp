// Scale laws against the figures meters are built to, their requirements, and the value-list
// grammar that places marks and digits on them.

#include "tablerows.h"

#include "design/scalelaw.h"
#include "design/valuelist.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vernalith;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QByteArray show(double value) { return QByteArray::number(value, 'g', 17); }

} // namespace

class TestScaleLaw : public QObject
{
    Q_OBJECT

private slots:
    // Deflection of a reading, to four decimals as the figures are given, or -1 where the reading is
    // outside the scale; the inverse brings the reading back. A refused scale falls back to linear 0..1.
    void laws_data()
    {
        QTest::addColumn<QStringList>("scale");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("refusal"); // words of the message; empty when the scale is accepted
        const auto accepted = [](const char *name, const QStringList &scale, double value, double expected) {
            QTest::newRow(name) << scale << value << expected << QString();
        };
        const auto refused = [](const char *name, const QStringList &scale, const char *named) {
            QTest::newRow(name) << scale << 0.25 << 0.25 << QString::fromUtf8(named);
        };

        // Law names in any case.
        accepted("VU 0", scaleRow("DB", "-20", "3"), 0.0, 0.7079);
        accepted("swr 2", scaleRow("Swr", "1", "inf"), 2.0, 0.3333);
        accepted("swr inf", scaleRow("swr", "1", "inf"), kInf, 1.0);
        accepted("ohms 150", scaleRow("OHMS", "0", "inf", "50"), 150.0, 0.25);
        accepted("ohms inf", scaleRow("ohms", "0", "inf", "50"), kInf, 0.0);
        accepted("square law 0.5 A of 1", scaleRow("power", "0", "1", "2"), 0.5, 0.25);
        accepted("linear reversed 75 of 100..0", scaleRow("LINEAR", "100", "0"), 75.0, 0.25);
        accepted("log 2 of 1..10", scaleRow("Log", "1", "10"), 2.0, 0.3010);
        const QStringList table = scaleRow("Table", "", "", "", "1=0.1; 5=0.5; 9=0.6; 29=1");
        accepted("table between points", table, 7.0, 0.55);
        const QStringList falling = scaleRow("table", "", "", "", "100=0; 10=0.5; 0=1");
        accepted("table falling values", falling, 55.0, 0.25);
        accepted("table falling, last segment", falling, 5.0, 0.75);

        accepted("linear rounding noise at the top", scaleRow("linear", "0", "100"), 100.00000000001, 1.0);
        accepted("linear above", scaleRow("linear", "0", "100"), 100.001, -1);
        accepted("linear inf", scaleRow("linear", "0", "100"), kInf, -1);
        accepted("ohms finite Max, inf", scaleRow("ohms", "0", "1000", "50"), kInf, -1);
        accepted("table outside points", scaleRow("table", "", "", "", "1=0; 9=1"), 10.0, -1);
        accepted("nan", scaleRow("linear", "0", "100"), std::nan(""), -1);

        refused("no law", scaleRow("", "0", "1"), "no law");
        refused("unknown law", scaleRow("cubic", "0", "1"), "\"cubic\" is not a law");
        refused("linear Min = Max", scaleRow("linear", "5", "5"), "linear needs Min and Max to differ");
        refused("linear Max not a number", scaleRow("linear", "0", "ten"), "Max \"ten\" is not a number");
        refused("log Min 0", scaleRow("log", "0", "10"), "log needs Min and Max above 0");
        refused("power exponent 0", scaleRow("power", "0", "1", "0"), "power needs a Parameter (the exponent) above 0");
        refused("db Min above Max", scaleRow("db", "3", "-20"), "db needs Min below Max");
        refused("ohms no K", scaleRow("ohms", "0", "inf"), "ohms needs a Parameter");
        refused("swr Min below 1", scaleRow("swr", "0.5", "inf"), "swr needs Min and Max of 1 or above");
        refused("table one point", scaleRow("table", "", "", "", "1=0"), "table needs at least 2 Points");
        refused("table point without =", scaleRow("table", "", "", "", "1=0; 2"), "the point \"2\"");
        refused("table deflection above 1", scaleRow("table", "", "", "", "1=0; 2=1.5"), "from 0 to 1");
        refused("table values turn back", scaleRow("table", "", "", "", "1=0; 3=0.5; 2=1"), "strictly");
        refused("table Max beyond points", scaleRow("table", "1", "5", "", "1=0; 2=1"), "within its Points");
    }
    void laws()
    {
        QFETCH(QStringList, scale);
        QFETCH(double, value);
        QFETCH(double, expected);
        QFETCH(QString, refusal);
        QString error = QStringLiteral("untouched");
        const ScaleLaw law = ScaleLaw::parse(scale, &error);
        QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
        ScaleLaw::parse(scale, nullptr); // a caller that does not want the message
        QCOMPARE(law.contains(value), expected >= 0);
        if (expected < 0)
            return;
        const double d = law.deflection(value);
        QVERIFY2(std::fabs(d - expected) <= 0.00005, show(d) + " != " + show(expected));
        const double back = law.valueAt(d);
        if (std::isinf(value))
            QCOMPARE(back, value);
        else
            QVERIFY2(std::fabs(back - value) <= 1e-9 * std::max(1.0, std::fabs(value)), show(back));
    }

    void valueLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("expected");
        QTest::addColumn<QString>("refusal"); // words of the message; empty when the list is accepted

        using L = QList<double>;
        QTest::newRow("empty") << "" << L{} << "";
        QTest::newRow("C locale forms") << "-3, 0.5, 1e3, +2, .25, 1E-2" << L{-3, 0.5, 1000, 2, 0.25, 0.01} << "";
        QTest::newRow("blanks and commas, order kept") << " 3 1 ,  2 " << L{3, 1, 2} << "";
        QTest::newRow("inf in any case") << "0, Inf, -INF" << L{0, kInf, -kInf} << "";
        QTest::newRow("log decades") << "1:10:1, 20:100:10"
                                     << L{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100} << "";
        QTest::newRow("falling range") << "10:0:2.5" << L{10, 7.5, 5, 2.5, 0} << "";
        QTest::newRow("stop not reached") << "0:1:0.375" << L{0, 0.375, 0.75} << "";
        QTest::newRow("stop reached within rounding") << "0:0.3:0.1" << L{0, 0.1, 0.2, 0.3} << "";
        QTest::newRow("range and numbers") << "-20 -10:-5:5 0" << L{-20, -10, -5, 0} << "";
        L most;
        for (int k = 1; k <= kMaxListValues; ++k)
            most.append(k);
        QTest::newRow("the most values") << "1:32767:1" << most << "";

        QTest::newRow("word") << "1, ten, 100" << L{} << "\"ten\" is not a number or a range";
        QTest::newRow("semicolon is no separator") << "1;5" << L{} << "\"1;5\"";
        QTest::newRow("empty entry") << "1,,2" << L{} << "an entry is missing";
        QTest::newRow("trailing comma") << "1, 2," << L{} << "after the last comma";
        QTest::newRow("range of two parts") << "1:5" << L{} << "\"1:5\" is not a range";
        QTest::newRow("range step 0") << "1:5:0" << L{} << "needs a step above 0";
        QTest::newRow("range just too long") << "0:32767:1" << L{} << "more than 32767 values";
        QTest::newRow("numbers after a full range") << "1:32767:1 5" << L{} << "more than 32767 values";
    }
    void valueLists()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, expected);
        QFETCH(QString, refusal);
        QString error = QStringLiteral("untouched");
        const QVector<double> values = parseValueList(text, &error);
        QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
        QCOMPARE(values.size(), expected.size());
        for (qsizetype k = 0; k < values.size(); ++k)
            QVERIFY2(values[k] == expected[k], show(values[k]) + " != " + show(expected[k]));
    }
};

QTEST_APPLESS_MAIN(TestScaleLaw)
#include "test_scalelaw.moc"
