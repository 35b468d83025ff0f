// Formatting scale digits by their "Num Format" pattern.

#include "render/numberformat.h"

#include <QtTest>

#include <limits>

using namespace vernalith;

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void digitPlaces_data();
    void digitPlaces();
    void rounding_data();
    void rounding();
    void negatives_data();
    void negatives();
    void thousands_data();
    void thousands();
    void literals_data();
    void literals();
    void emptyPattern_data();
    void emptyPattern();
    void nonFiniteValues_data();
    void nonFiniteValues();

private:
    static void addColumns();
    static void check();
};

void TestNumberFormat::addColumns()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
}

void TestNumberFormat::check()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(formatNumber(value, pattern), expected);
}

void TestNumberFormat::digitPlaces_data()
{
    addColumns();
    QTest::newRow("0 shows a whole number") << 42.0 << QStringLiteral("0") << QStringLiteral("42");
    QTest::newRow("0 shows zero") << 0.0 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("leading zeros kept") << 7.0 << QStringLiteral("000") << QStringLiteral("007");
    QTest::newRow("more digits than places") << 12345.0 << QStringLiteral("00") << QStringLiteral("12345");
    QTest::newRow("# hides zero") << 0.0 << QStringLiteral("#") << QString();
    QTest::newRow("# shows significant digits") << 305.0 << QStringLiteral("#") << QStringLiteral("305");
    QTest::newRow("#0 keeps one digit") << 0.0 << QStringLiteral("#0") << QStringLiteral("0");
    QTest::newRow("0 after # counts from the 0") << 5.0 << QStringLiteral("#0#") << QStringLiteral("05");
    QTest::newRow("trailing zeros kept") << 2.5 << QStringLiteral("0.000") << QStringLiteral("2.500");
    QTest::newRow("trailing # dropped") << 2.5 << QStringLiteral("0.0##") << QStringLiteral("2.5");
    QTest::newRow("point hidden without decimals") << 5.0 << QStringLiteral("0.#") << QStringLiteral("5");
    QTest::newRow("point shown with decimals") << 5.25 << QStringLiteral("0.##") << QStringLiteral("5.25");
    QTest::newRow("no integer place before the point") << 0.5 << QStringLiteral(".00") << QStringLiteral(".50");
    QTest::newRow("integer digits without a place") << 12.5 << QStringLiteral(".00") << QStringLiteral("12.50");
    QTest::newRow("# before the point hides zero") << 0.25 << QStringLiteral("#.00") << QStringLiteral(".25");
    QTest::newRow("many decimals pad with zeros") << 0.1 << QStringLiteral("0.00000000000000000000")
                                                  << QStringLiteral("0.10000000000000000000");
}

void TestNumberFormat::digitPlaces()
{
    check();
}

void TestNumberFormat::rounding_data()
{
    addColumns();
    QTest::newRow("half up to a whole number") << 2.5 << QStringLiteral("0") << QStringLiteral("3");
    QTest::newRow("half away from zero, not to even") << 0.5 << QStringLiteral("0") << QStringLiteral("1");
    QTest::newRow("below half") << 2.4999 << QStringLiteral("0") << QStringLiteral("2");
    // 2.675 is stored as 2.67499999999999982..., read as the decimal the user typed.
    QTest::newRow("2.675 to two decimals") << 2.675 << QStringLiteral("0.00") << QStringLiteral("2.68");
    QTest::newRow("1.005 to two decimals") << 1.005 << QStringLiteral("0.00") << QStringLiteral("1.01");
    QTest::newRow("0.125 to two decimals") << 0.125 << QStringLiteral("0.00") << QStringLiteral("0.13");
    QTest::newRow("carry into a new digit") << 9.96 << QStringLiteral("0.0") << QStringLiteral("10.0");
    QTest::newRow("carry through nines") << 999.5 << QStringLiteral("0") << QStringLiteral("1000");
    QTest::newRow("carry past the places") << 0.996 << QStringLiteral("#.##") << QStringLiteral("1");
    QTest::newRow("tiny value rounds to zero") << 1e-20 << QStringLiteral("0.00") << QStringLiteral("0.00");
    QTest::newRow("tiny value at the first dropped place") << 0.005 << QStringLiteral("0.00") << QStringLiteral("0.01");
    QTest::newRow("just under that") << 0.00499 << QStringLiteral("0.00") << QStringLiteral("0.00");
    QTest::newRow("arithmetic noise") << 0.1 + 0.2 << QStringLiteral("0.00000") << QStringLiteral("0.30000");
    QTest::newRow("digits past the 15th are zeros") << 12345678901234567.0 << QStringLiteral("0")
                                                    << QStringLiteral("12345678901234600");
    QTest::newRow("huge value keeps every integer place") << 1e20 << QStringLiteral("0")
                                                          << QStringLiteral("100000000000000000000");
}

void TestNumberFormat::rounding()
{
    check();
}

void TestNumberFormat::negatives_data()
{
    addColumns();
    QTest::newRow("leading minus") << -5.0 << QStringLiteral("0") << QStringLiteral("-5");
    QTest::newRow("rounds away from zero") << -2.5 << QStringLiteral("0") << QStringLiteral("-3");
    QTest::newRow("rounds to zero: no minus") << -0.4 << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("rounds to zero with decimals") << -0.004 << QStringLiteral("0.00") << QStringLiteral("0.00");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0.0") << QStringLiteral("0.0");
    QTest::newRow("minus before literals") << -3.0 << QStringLiteral("$0") << QStringLiteral("-$3");
    QTest::newRow("negative fraction") << -0.25 << QStringLiteral("0.00") << QStringLiteral("-0.25");
    QTest::newRow("negative with grouping") << -1234567.0 << QStringLiteral("#,##0") << QStringLiteral("-1,234,567");
    QTest::newRow("no digit places: no sign") << -7.0 << QStringLiteral("max") << QStringLiteral("max");
}

void TestNumberFormat::negatives()
{
    check();
}

void TestNumberFormat::thousands_data()
{
    addColumns();
    QTest::newRow("grouped") << 1234567.0 << QStringLiteral("#,##0") << QStringLiteral("1,234,567");
    QTest::newRow("short number not grouped") << 999.0 << QStringLiteral("#,##0") << QStringLiteral("999");
    QTest::newRow("exactly a thousand") << 1000.0 << QStringLiteral("#,##0") << QStringLiteral("1,000");
    QTest::newRow("grouped with decimals") << 12345.678 << QStringLiteral("#,##0.00") << QStringLiteral("12,345.68");
    QTest::newRow("zero padded and grouped") << 5.0 << QStringLiteral("0,000") << QStringLiteral("0,005");
    QTest::newRow("zero with grouping") << 0.0 << QStringLiteral("#,##0") << QStringLiteral("0");
    QTest::newRow("comma after the last place is a literal") << 5.0 << QStringLiteral("0,") << QStringLiteral("5,");
    QTest::newRow("comma before the first place is a literal") << 5.0 << QStringLiteral(",0") << QStringLiteral(",5");
    QTest::newRow("comma in the decimals is a literal") << 1.25 << QStringLiteral("0.0,0") << QStringLiteral("1.2,5");
}

void TestNumberFormat::thousands()
{
    check();
}

void TestNumberFormat::literals_data()
{
    addColumns();
    QTest::newRow("unit after") << 5.0 << QStringLiteral("0 V") << QStringLiteral("5 V");
    QTest::newRow("percent is a literal") << 12.5 << QStringLiteral("0.0%") << QStringLiteral("12.5%");
    QTest::newRow("prefix") << 3.0 << QStringLiteral("x0") << QStringLiteral("x3");
    QTest::newRow("unit after decimals") << 0.5 << QStringLiteral("0.00 mA") << QStringLiteral("0.50 mA");
    QTest::newRow("literal between places") << 1234.0 << QStringLiteral("00-00") << QStringLiteral("12-34");
    QTest::newRow("second point is a literal") << 1.5 << QStringLiteral("0.0.") << QStringLiteral("1.5.");
    QTest::newRow("no digit place at all") << 7.0 << QStringLiteral("max") << QStringLiteral("max");
    QTest::newRow("blank pattern") << 7.0 << QStringLiteral(" ") << QStringLiteral(" ");
    QTest::newRow("non-Latin literal") << 20.0 << QStringLiteral("0 \u00b0C") << QStringLiteral("20 \u00b0C");
}

void TestNumberFormat::literals()
{
    check();
}

void TestNumberFormat::emptyPattern_data()
{
    addColumns();
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << QString() << QStringLiteral("0.3");
    QTest::newRow("100") << 100.0 << QString() << QStringLiteral("100");
    QTest::newRow("zero") << 0.0 << QString() << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QString() << QStringLiteral("0");
    QTest::newRow("negative") << -2.5 << QString() << QStringLiteral("-2.5");
    QTest::newRow("no trailing zeros") << 1.5000 << QString() << QStringLiteral("1.5");
    QTest::newRow("15 significant digits") << 3.14159265358979 << QString() << QStringLiteral("3.14159265358979");
    QTest::newRow("16th digit rounded") << 0.1234567890123456 << QString() << QStringLiteral("0.123456789012346");
    QTest::newRow("largest plain") << 999999999999999.0 << QString() << QStringLiteral("999999999999999");
    QTest::newRow("1e15 in exponent form") << 1e15 << QString() << QStringLiteral("1E+15");
    QTest::newRow("1e20 in exponent form") << 1e20 << QString() << QStringLiteral("1E+20");
    QTest::newRow("mantissa with decimals") << -1.25e22 << QString() << QStringLiteral("-1.25E+22");
    QTest::newRow("three-digit exponent") << 1e300 << QString() << QStringLiteral("1E+300");
    QTest::newRow("smallest plain") << 0.00001 << QString() << QStringLiteral("0.00001");
    QTest::newRow("small in exponent form") << 1.5e-7 << QString() << QStringLiteral("1.5E-07");
}

void TestNumberFormat::emptyPattern()
{
    check();
}

void TestNumberFormat::nonFiniteValues_data()
{
    addColumns();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("infinity") << inf << QStringLiteral("0.00") << QStringLiteral("inf");
    QTest::newRow("minus infinity") << -inf << QString() << QStringLiteral("-inf");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("nan") << nan << QStringLiteral("#,##0") << QStringLiteral("nan");
}

void TestNumberFormat::nonFiniteValues()
{
    check();
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "test_numberformat.moc"
