// Scale laws against the figures meters are built to, their requirements, and the value-list
// grammar that places marks and digits on them.

#include "design/scalelaw.h"
#include "design/valuelist.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vernalith;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QStringList row(const char *law, const char *min, const char *max, const char *parameter = "",
                const char *points = "")
{
    return QString::fromUtf8(QByteArrayList{law, min, max, parameter, points}.join('\t')).split(u'\t');
}

QByteArray show(double value) { return QByteArray::number(value, 'g', 17); }

} // namespace

class TestScaleLaw : public QObject
{
    Q_OBJECT

private slots:
    // Deflection of a reading, to four decimals as the figures are given; the inverse brings the
    // reading back.
    void deflectionFigures_data()
    {
        QTest::addColumn<QStringList>("scale");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");

        // Law names in any case.
        QTest::newRow("VU -20") << row("DB", "-20", "3") << -20.0 << 0.0708;
        QTest::newRow("VU 0") << row("db", "-20", "3") << 0.0 << 0.7079;
        QTest::newRow("swr 1") << row("Swr", "1", "inf") << 1.0 << 0.0;
        QTest::newRow("swr 2") << row("swr", "1", "inf") << 2.0 << 0.3333;
        QTest::newRow("swr inf") << row("swr", "1", "inf") << kInf << 1.0;
        QTest::newRow("ohms 0") << row("OHMS", "0", "inf", "50") << 0.0 << 1.0;
        QTest::newRow("ohms 150") << row("ohms", "0", "inf", "50") << 150.0 << 0.25;
        QTest::newRow("ohms inf") << row("ohms", "0", "inf", "50") << kInf << 0.0;
        QTest::newRow("power 25 W of 100, p 0.5") << row("Power", "0", "100", "0.5") << 25.0 << 0.5;
        QTest::newRow("square law 0.5 A of 1") << row("power", "0", "1", "2") << 0.5 << 0.25;
        QTest::newRow("linear reversed 75 of 100..0") << row("LINEAR", "100", "0") << 75.0 << 0.25;
        QTest::newRow("linear -5 of -10..10") << row("linear", "-10", "10") << -5.0 << 0.25;
        QTest::newRow("log 2 of 1..10") << row("Log", "1", "10") << 2.0 << 0.3010;
        const QStringList table = row("Table", "", "", "", "1=0.1; 5=0.5; 9=0.6; 29=1");
        QTest::newRow("table between points") << table << 7.0 << 0.55;
        QTest::newRow("table last segment") << table << 19.0 << 0.8;
        const QStringList falling = row("table", "", "", "", "100=0; 10=0.5; 0=1");
        QTest::newRow("table falling values") << falling << 55.0 << 0.25;
        QTest::newRow("table falling, last segment") << falling << 5.0 << 0.75;
    }
    void deflectionFigures()
    {
        QFETCH(QStringList, scale);
        QFETCH(double, value);
        QFETCH(double, expected);
        QString error = QStringLiteral("untouched");
        const ScaleLaw law = ScaleLaw::parse(scale, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(law.contains(value), show(value));
        const double d = law.deflection(value);
        QVERIFY2(std::fabs(d - expected) <= 0.00005, show(d) + " != " + show(expected));
        const double back = law.valueAt(d);
        if (std::isinf(value))
            QCOMPARE(back, value);
        else
            QVERIFY2(std::fabs(back - value) <= 1e-9 * std::max(1.0, std::fabs(value)), show(back));
    }

    // Every broken requirement is refused with a message naming it; the law falls back to linear.
    void requirementsAreChecked_data()
    {
        QTest::addColumn<QStringList>("scale");
        QTest::addColumn<QString>("named");

        QTest::newRow("no law") << row("", "0", "1") << "no law";
        QTest::newRow("unknown law") << row("cubic", "0", "1") << "\"cubic\" is not a law";
        QTest::newRow("linear Min = Max") << row("linear", "5", "5") << "linear needs Min and Max to differ";
        QTest::newRow("linear Min missing") << row("linear", "", "5") << "linear needs a Min";
        QTest::newRow("linear Max not a number") << row("linear", "0", "ten") << "Max \"ten\" is not a number";
        QTest::newRow("linear Max infinite") << row("linear", "0", "inf") << "linear needs a finite Max";
        QTest::newRow("linear range too wide") << row("linear", "-1e308", "1e308") << "nearer to each other";
        QTest::newRow("log Min 0") << row("log", "0", "10") << "log needs Min and Max above 0";
        QTest::newRow("power exponent 0") << row("power", "0", "1", "0") << "power needs a Parameter (the exponent) above 0";
        QTest::newRow("db Min above Max") << row("db", "3", "-20") << "db needs Min below Max";
        QTest::newRow("ohms no K") << row("ohms", "0", "inf") << "ohms needs a Parameter";
        QTest::newRow("ohms K 0") << row("ohms", "0", "inf", "0") << "mid-scale reading) above 0";
        QTest::newRow("ohms negative Min") << row("ohms", "-1", "inf", "50") << "ohms needs Min and Max of 0 or above";
        QTest::newRow("ohms Min infinite") << row("ohms", "inf", "0", "50") << "ohms needs a finite Min";
        QTest::newRow("ohms Max -inf") << row("ohms", "0", "-inf", "50") << "ohms needs a Max that is a number or inf";
        QTest::newRow("swr Min below 1") << row("swr", "0.5", "inf") << "swr needs Min and Max of 1 or above";
        QTest::newRow("table one point") << row("table", "", "", "", "1=0") << "table needs at least 2 Points";
        QTest::newRow("table point without =") << row("table", "", "", "", "1=0; 2") << "the point \"2\"";
        QTest::newRow("table point not a number") << row("table", "", "", "", "1=0; x=1") << "\"x=1\" is not of the form";
        QTest::newRow("table deflection above 1") << row("table", "", "", "", "1=0; 2=1.5") << "from 0 to 1";
        QTest::newRow("table values turn back") << row("table", "", "", "", "1=0; 3=0.5; 2=1") << "strictly";
        QTest::newRow("table Max beyond points") << row("table", "1", "5", "", "1=0; 2=1") << "within its Points";
    }
    void requirementsAreChecked()
    {
        QFETCH(QStringList, scale);
        QFETCH(QString, named);
        QString error;
        const ScaleLaw law = ScaleLaw::parse(scale, &error);
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(law.kind(), ScaleLawKind::Linear);
        QCOMPARE(law.minimum(), 0.0);
        QCOMPARE(law.maximum(), 1.0);
        ScaleLaw::parse(scale, nullptr); // a caller that does not want the message
    }

    void rangeLimitsValues_data()
    {
        QTest::addColumn<QStringList>("scale");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("inside");

        QTest::newRow("linear rounding noise at the top") << row("linear", "0", "100") << 100.00000000001 << true;
        QTest::newRow("linear above") << row("linear", "0", "100") << 100.001 << false;
        QTest::newRow("linear reversed, inside") << row("linear", "100", "0") << 50.0 << true;
        QTest::newRow("linear inf") << row("linear", "0", "100") << kInf << false;
        QTest::newRow("ohms inf as Max") << row("ohms", "0", "inf", "50") << kInf << true;
        QTest::newRow("ohms finite Max, inf") << row("ohms", "0", "1000", "50") << kInf << false;
        QTest::newRow("swr below 1") << row("swr", "1", "inf") << 0.9 << false;
        QTest::newRow("table outside points") << row("table", "", "", "", "1=0; 9=1") << 10.0 << false;
        QTest::newRow("table narrowed by Min") << row("table", "3", "", "", "1=0; 9=1") << 2.0 << false;
        QTest::newRow("db below Min") << row("db", "-20", "3") << -21.0 << false;
        QTest::newRow("nan") << row("linear", "0", "100") << std::nan("") << false;
    }
    void rangeLimitsValues()
    {
        QFETCH(QStringList, scale);
        QFETCH(double, value);
        QFETCH(bool, inside);
        QString error;
        const ScaleLaw law = ScaleLaw::parse(scale, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(law.contains(value), inside);
    }

    void valueListGrammar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("expected");

        using L = QList<double>;
        QTest::newRow("empty") << "" << L{};
        QTest::newRow("C locale forms") << "-3, 0.5, 1e3, +2, .25, 1E-2" << L{-3, 0.5, 1000, 2, 0.25, 0.01};
        QTest::newRow("blanks as separators, order kept") << "3 1   2" << L{3, 1, 2};
        QTest::newRow("comma and blanks") << " 1 ,2 , 3 " << L{1, 2, 3};
        QTest::newRow("inf in any case") << "0, Inf, -INF" << L{0, kInf, -kInf};
        QTest::newRow("rising range") << "1:5:1" << L{1, 2, 3, 4, 5};
        QTest::newRow("log decades") << "1:10:1, 20:100:10"
                                     << L{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        QTest::newRow("falling range") << "10:0:2.5" << L{10, 7.5, 5, 2.5, 0};
        QTest::newRow("stop not reached") << "0:1:0.375" << L{0, 0.375, 0.75};
        QTest::newRow("stop reached within rounding") << "0:0.3:0.1" << L{0, 0.1, 0.2, 0.3};
        L hundredths;
        for (int k = 0; k < 100; ++k)
            hundredths.append(k * 0.01);
        QTest::newRow("stop reached after many steps") << "0:1:0.01" << hundredths + L{1.0};
        QTest::newRow("range of one value") << "4:4:1" << L{4};
        QTest::newRow("range and numbers") << "-20 -10:-5:5 0" << L{-20, -10, -5, 0};
        L most;
        for (int k = 1; k <= kMaxListValues; ++k)
            most.append(k);
        QTest::newRow("the most values") << "1:32767:1" << most;
        QTest::newRow("the most values, mixed") << "0:32765:1 -1" << (L{0} + most.mid(0, kMaxListValues - 2) + L{-1});
    }
    void valueListGrammar()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, expected);
        QString error = QStringLiteral("untouched");
        const QVector<double> values = parseValueList(text, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(values.size(), expected.size());
        for (qsizetype k = 0; k < values.size(); ++k)
            QVERIFY2(values[k] == expected[k], show(values[k]) + " != " + show(expected[k]));
    }

    void valueListFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");

        QTest::newRow("word") << "1, ten, 100" << "\"ten\" is not a number or a range";
        QTest::newRow("semicolon is no separator") << "1;5" << "\"1;5\"";
        QTest::newRow("nan") << "nan" << "\"nan\"";
        QTest::newRow("unit glued on") << "5V" << "\"5V\"";
        QTest::newRow("too large a number") << "1e400" << "\"1e400\"";
        QTest::newRow("lone sign") << "-" << "\"-\"";
        QTest::newRow("empty entry") << "1,,2" << "an entry is missing";
        QTest::newRow("trailing comma") << "1, 2," << "after the last comma";
        QTest::newRow("range of two parts") << "1:5" << "\"1:5\" is not a range";
        QTest::newRow("range of four parts") << "1:5:1:1" << "\"1:5:1:1\" is not a range";
        QTest::newRow("range step 0") << "1:5:0" << "needs a step above 0";
        QTest::newRow("range to inf") << "1:inf:1" << "of finite numbers";
        QTest::newRow("range just too long") << "0:32767:1" << "more than 32767 values";
        QTest::newRow("ranges too long together") << "0:20000:1 0:20000:1" << "more than 32767 values";
        QTest::newRow("numbers after a full range") << "1:32767:1 5" << "more than 32767 values";
    }
    void valueListFaults()
    {
        QFETCH(QString, text);
        QFETCH(QString, named);
        QString error;
        const QVector<double> values = parseValueList(text, &error);
        QVERIFY2(error.contains(named), qPrintable(error));
        QVERIFY(values.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestScaleLaw)
#include "test_scalelaw.moc"
