// How a field's or a cell's text becomes a number: the number at the start of the text, never
// a failure.

#include "design/numericprefix.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using vernalith::numericPrefix;

class TestNumericPrefix : public QObject
{
    Q_OBJECT

private slots:
    void convertsTheLeadingNumber_data();
    void convertsTheLeadingNumber();
    void takesAnExponentOnlyWhenComplete_data();
    void takesAnExponentOnlyWhenComplete();
    void givesInfinityBeyondADouble_data();
    void givesInfinityBeyondADouble();
    void givesZeroBelowTheSmallestDouble_data();
    void givesZeroBelowTheSmallestDouble();
    void ignoresTheLocale();
    void neverFailsOnAnyCharacter();
};

void TestNumericPrefix::convertsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("whole number") << QStringLiteral("52") << 52.0;
    QTest::newRow("unit attached") << QStringLiteral("12.5mm") << 12.5;
    QTest::newRow("unit after a blank") << QStringLiteral("52 mm") << 52.0;
    QTest::newRow("leading blank") << QStringLiteral(" 7") << 7.0;
    QTest::newRow("leading blanks of every kind") << QStringLiteral(" \t\r\n 7") << 7.0;
    QTest::newRow("minus") << QStringLiteral("-3") << -3.0;
    QTest::newRow("plus") << QStringLiteral("+4.25") << 4.25;
    QTest::newRow("blank before the sign") << QStringLiteral("  -8") << -8.0;
    QTest::newRow("blank after the sign ends it") << QStringLiteral("- 8") << 0.0;
    QTest::newRow("two signs") << QStringLiteral("--8") << 0.0;
    QTest::newRow("leading full stop") << QStringLiteral(".5") << 0.5;
    QTest::newRow("signed leading full stop") << QStringLiteral("-.25") << -0.25;
    QTest::newRow("trailing full stop") << QStringLiteral("5.") << 5.0;
    QTest::newRow("full stop alone") << QStringLiteral(".") << 0.0;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("second full stop ends it") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("comma ends it") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("comma in a field") << QStringLiteral("2,5") << 2.0;
    QTest::newRow("blank inside ends it") << QStringLiteral("1 000") << 1.0;
    QTest::newRow("word") << QStringLiteral("mA") << 0.0;
    QTest::newRow("word before digits") << QStringLiteral("x12") << 0.0;
    QTest::newRow("leading zeros") << QStringLiteral("007.50") << 7.5;
    QTest::newRow("no hex prefix") << QStringLiteral("0x1A") << 0.0;
    QTest::newRow("no octal reading") << QStringLiteral("010") << 10.0;
    QTest::newRow("no infinity word") << QStringLiteral("inf") << 0.0;
    QTest::newRow("no nan word") << QStringLiteral("nan") << 0.0;
    QTest::newRow("non-breaking space is not a blank") << QStringLiteral("\u00a07") << 0.0;
    QTest::newRow("arabic-indic digits are not digits") << QStringLiteral("\u0663") << 0.0;
    QTest::newRow("minus zero") << QStringLiteral("-0") << 0.0;
    QTest::newRow("many digits") << QStringLiteral("123456789012.125") << 123456789012.125;
}

void TestNumericPrefix::convertsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(numericPrefix(text), expected);
}

void TestNumericPrefix::takesAnExponentOnlyWhenComplete_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("complete") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("capital E") << QStringLiteral("1E3") << 1000.0;
    QTest::newRow("signed plus") << QStringLiteral("2e+2") << 200.0;
    QTest::newRow("signed minus") << QStringLiteral("25e-1") << 2.5;
    QTest::newRow("after a fraction") << QStringLiteral("1.5e2mm") << 150.0;
    QTest::newRow("after a trailing full stop") << QStringLiteral("5.e1") << 50.0;
    QTest::newRow("with a minus mantissa") << QStringLiteral("-4e1") << -40.0;
    QTest::newRow("e alone") << QStringLiteral("2e") << 2.0;
    QTest::newRow("e and plus") << QStringLiteral("2e+") << 2.0;
    QTest::newRow("e and minus") << QStringLiteral("2e-") << 2.0;
    QTest::newRow("e then a word") << QStringLiteral("2em") << 2.0;
    QTest::newRow("e then a blank") << QStringLiteral("2e 3") << 2.0;
    QTest::newRow("two exponent signs") << QStringLiteral("2e+-3") << 2.0;
    QTest::newRow("e without mantissa") << QStringLiteral("e3") << 0.0;
    QTest::newRow("full stop and e without digits") << QStringLiteral(".e3") << 0.0;
    QTest::newRow("exponent stops at a full stop") << QStringLiteral("1e2.5") << 100.0;
}

void TestNumericPrefix::takesAnExponentOnlyWhenComplete()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(numericPrefix(text), expected);
}

void TestNumericPrefix::givesInfinityBeyondADouble_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("negative");

    QTest::newRow("large exponent") << QStringLiteral("1e400") << false;
    QTest::newRow("negative large exponent") << QStringLiteral("-1e400") << true;
    QTest::newRow("many digits") << QString(400, QLatin1Char('9')) << false;
    QTest::newRow("huge exponent") << QStringLiteral("1e99999999999999999999999") << false;
    // A long mantissa outweighs a negative exponent.
    QTest::newRow("long mantissa, negative exponent")
        << QStringLiteral("1") + QString(700, QLatin1Char('0')) + QStringLiteral("e-300") << false;
}

void TestNumericPrefix::givesInfinityBeyondADouble()
{
    QFETCH(QString, text);
    QFETCH(bool, negative);
    const double value = numericPrefix(text);
    QVERIFY2(std::isinf(value), qPrintable(QString::number(value)));
    QCOMPARE(value < 0, negative);
}

void TestNumericPrefix::givesZeroBelowTheSmallestDouble_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("small exponent") << QStringLiteral("1e-400");
    QTest::newRow("negative small exponent") << QStringLiteral("-1e-400");
    QTest::newRow("many zeros after the full stop")
        << QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1");
    QTest::newRow("huge negative exponent") << QStringLiteral("5e-99999999999999999999999");
    // A long fraction outweighs a positive exponent.
    QTest::newRow("zeros after the full stop, positive exponent")
        << QStringLiteral(".") + QString(700, QLatin1Char('0')) + QStringLiteral("1e300");
}

void TestNumericPrefix::givesZeroBelowTheSmallestDouble()
{
    QFETCH(QString, text);
    const double value = numericPrefix(text);
    QCOMPARE(value, 0.0);
}

void TestNumericPrefix::ignoresTheLocale()
{
    // GIVEN a German default locale, whose decimal separator is the comma
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));

    // THEN the full stop still separates the fraction and the comma still ends the number
    const double withStop = numericPrefix(u"12.5");
    const double withComma = numericPrefix(u"12,5");
    const double exponent = numericPrefix(u"1.5e3");
    QLocale::setDefault(before);

    QCOMPARE(withStop, 12.5);
    QCOMPARE(withComma, 12.0);
    QCOMPARE(exponent, 1500.0);
}

void TestNumericPrefix::neverFailsOnAnyCharacter()
{
    // Every code unit after a digit, and alone, gives a finite number.
    for (char16_t u = 0; u < 0xFFFF; ++u) {
        const QChar c(u);
        const double alone = numericPrefix(QStringView(&c, 1));
        const QString after = QStringLiteral("3") + c;
        const double followed = numericPrefix(after);
        const bool digit = u >= u'0' && u <= u'9';
        if (digit) {
            QCOMPARE(alone, double(u - u'0'));
            QCOMPARE(followed, 30.0 + double(u - u'0'));
        } else {
            QCOMPARE(alone, 0.0);
            QCOMPARE(followed, 3.0);
        }
    }
}

QTEST_APPLESS_MAIN(TestNumericPrefix)
#include "test_numericprefix.moc"
