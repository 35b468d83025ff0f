// How a field's or a cell's text becomes a number: the number at the start of the text, never a failure.

#include "design/numericprefix.h"

#include <QLocale>
#include <QTest>

using vernalith::numericPrefix;

class TestNumericPrefix : public QObject
{
    Q_OBJECT

private slots:
    // Every case runs under a locale whose decimal separator is the comma: the full stop must
    // still be the one that counts.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void convertsTheLeadingNumber_data();
    void convertsTheLeadingNumber();
};

void TestNumericPrefix::convertsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("unit attached") << QStringLiteral("12.5mm") << 12.5;
    QTest::newRow("unit after a blank") << QStringLiteral("52 mm") << 52.0;
    QTest::newRow("leading blanks of every kind") << QStringLiteral(" \t\r\n 7") << 7.0;
    QTest::newRow("minus") << QStringLiteral("-3") << -3.0;
    QTest::newRow("plus, blank before the sign") << QStringLiteral("  +4.25") << 4.25;
    QTest::newRow("blank after the sign ends it") << QStringLiteral("- 8") << 0.0;
    QTest::newRow("leading full stop") << QStringLiteral(".5") << 0.5;
    QTest::newRow("second full stop ends it") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("comma ends it") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("word") << QStringLiteral("mA") << 0.0;
    QTest::newRow("no hex prefix") << QStringLiteral("0x1A") << 0.0;
    QTest::newRow("non-breaking space is not a blank") << QStringLiteral("\u00a07") << 0.0;
    // Only the ten ASCII digits make a number: their neighbours and other scripts' digits end it.
    QTest::newRow("digits 0 and 9") << QStringLiteral("09") << 9.0;
    QTest::newRow("slash") << QStringLiteral("3/") << 3.0;
    QTest::newRow("colon") << QStringLiteral("3:1") << 3.0;
    QTest::newRow("NUL") << QStringLiteral("3") + QChar(0) + QStringLiteral("4") << 3.0;
    QTest::newRow("Arabic-Indic digit") << QStringLiteral("3\u06652") << 3.0;
    QTest::newRow("full-width digit alone") << QStringLiteral("\uff17") << 0.0;
    QTest::newRow("superscript two") << QStringLiteral("3\u00b2") << 3.0;
    QTest::newRow("lone surrogate") << QStringLiteral("3") + QChar(0xD800) << 3.0;
    // An exponent counts only when it is complete.
    QTest::newRow("exponent") << QStringLiteral("1E3") << 1000.0;
    QTest::newRow("signed exponent after a fraction") << QStringLiteral("25.0e-1mm") << 2.5;
    QTest::newRow("exponent after a trailing full stop") << QStringLiteral("-5.e+1") << -50.0;
    QTest::newRow("e alone") << QStringLiteral("2e") << 2.0;
    QTest::newRow("e and a sign") << QStringLiteral("2e+") << 2.0;
    QTest::newRow("two exponent signs") << QStringLiteral("2e+-3") << 2.0;
    QTest::newRow("e without mantissa") << QStringLiteral(".e3") << 0.0;
    QTest::newRow("exponent stops at a full stop") << QStringLiteral("1e2.5") << 100.0;
    // Beyond a double: an infinity for too large, 0 for too small, decided by the leading digit.
    QTest::newRow("large exponent") << QStringLiteral("-1e400") << -qInf();
    QTest::newRow("many digits") << QString(400, QLatin1Char('9')) << qInf();
    QTest::newRow("huge exponent") << QStringLiteral("1e99999999999999999999999") << qInf();
    const QString zeros(700, u'0');
    QTest::newRow("long mantissa, negative exponent") << QStringLiteral("1") + zeros + QStringLiteral("e-3") << qInf();
    QTest::newRow("small exponent") << QStringLiteral("1e-400") << 0.0;
    QTest::newRow("many zeros after the full stop") << QStringLiteral("0.") + zeros + QStringLiteral("1") << 0.0;
    QTest::newRow("long fraction, positive exponent") << QStringLiteral(".") + zeros + QStringLiteral("1e300") << 0.0;
}

void TestNumericPrefix::convertsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(numericPrefix(text), expected);
}

QTEST_APPLESS_MAIN(TestNumericPrefix)
#include "test_numericprefix.moc"
