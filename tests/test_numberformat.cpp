// Formatting scale digits by their "Num Format" pattern: one table, grouped by what each row pins.

#include "render/numberformat.h"

#include <QtTest>

#include <limits>

using namespace vernalith;
using namespace Qt::StringLiterals;

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatsByPattern_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");

        // Digit places: "0" always shown, "#" only when significant, "." printed only before decimals.
        QTest::newRow("leading zeros kept") << 7.0 << u"000"_s << u"007"_s;
        QTest::newRow("# hides zero") << 0.0 << u"#"_s << QString();
        QTest::newRow("trailing # dropped") << 2.5 << u"0.0##"_s << u"2.5"_s;
        QTest::newRow("point hidden without decimals") << 5.0 << u"0.#"_s << u"5"_s;
        QTest::newRow("integer digits without a place") << 12.5 << u".00"_s << u"12.50"_s;

        // Rounding: half away from zero, on the decimal form the user typed.
        QTest::newRow("half away from zero, not to even") << 0.5 << u"0"_s << u"1"_s;
        QTest::newRow("2.675 (stored just below) to 2.68") << 2.675 << u"0.00"_s << u"2.68"_s;
        QTest::newRow("carry through nines") << 999.5 << u"0"_s << u"1000"_s;

        // Negatives: a leading "-" unless the value rounds to zero.
        QTest::newRow("rounds to zero: no minus") << -0.4 << u"0"_s << u"0"_s;
        QTest::newRow("minus before literals") << -3.0 << u"$0"_s << u"-$3"_s;
        QTest::newRow("no digit places: no sign") << -7.0 << u"max"_s << u"max"_s;

        // Thousands: a "," inside the integer places groups.
        QTest::newRow("grouped, negative") << -1234567.0 << u"#,##0"_s << u"-1,234,567"_s;

        // Literals are printed as they stand: "%" does not multiply.
        QTest::newRow("percent is a literal") << 12.5 << u"0.0%"_s << u"12.5%"_s;

        // The empty pattern: plain decimal form, at most 15 significant digits, no leading blank.
        QTest::newRow("16th digit rounded") << 0.1234567890123456 << QString() << u"0.123456789012346"_s;
        QTest::newRow("largest plain") << 999999999999999.0 << QString() << u"999999999999999"_s;
        QTest::newRow("1e15 in exponent form") << 1e15 << QString() << u"1E+15"_s;
        QTest::newRow("small in exponent form") << 1.5e-7 << QString() << u"1.5E-07"_s;

        // A pattern without digit places is text only, its point included.
        QTest::newRow("text and a point") << 5.0 << u"V."_s << u"V."_s;

        // An exponent part: E or e, a sign, digit places. The mantissa has as many integer digits as
        // its pattern has integer places.
        QTest::newRow("E+00") << 1234.56 << u"0.00E+00"_s << u"1.23E+03"_s;
        QTest::newRow("E-00 hides the plus") << 1234.56 << u"0.00E-00"_s << u"1.23E03"_s;
        QTest::newRow("E-00 keeps the minus") << 0.0123 << u"0.0E-00"_s << u"1.2E-02"_s;
        QTest::newRow("zero") << 0.0 << u"0.00E+00"_s << u"0.00E+00"_s;
        QTest::newRow("mantissa carry moves the exponent") << 9.996e4 << u"0.00E+00"_s << u"1.00E+05"_s;
        QTest::newRow("E without a sign is text") << 5.0 << u"0 EUR"_s << u"5 EUR"_s;

        // Sections: positive;negative;zero. The negative section prints the magnitude.
        QTest::newRow("dB scale positive") << 3.0 << u"+0;-0;0"_s << u"+3"_s;
        QTest::newRow("rounds to zero in the positive places") << 0.004 << u"+0.00;-0.00;zero"_s << u"zero"_s;
        QTest::newRow("parentheses for negatives") << -5.0 << u"0;(0)"_s << u"(5)"_s;
        QTest::newRow("empty negative section hides") << -5.0 << u"0;"_s << QString();

        // Values that are not numbers, whatever the pattern.
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << u"0.00"_s << u"inf"_s;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << u"#,##0"_s << u"nan"_s;
    }
    void formatsByPattern()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(value, pattern), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "test_numberformat.moc"
