// How a field's or a cell's text becomes a number: the number at the start of the text, never a failure.

#undef QT_NO_CAST_FROM_ASCII // the cases use plain string literals

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

    void convertsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");

        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("unit attached") << QString("12.5mm") << 12.5;
        QTest::newRow("leading blanks of every kind") << QString(" \t\r\n 7") << 7.0;
        QTest::newRow("plus, blank before the sign") << QString("  +4.25") << 4.25;
        QTest::newRow("blank after the sign ends it") << QString("- 8") << 0.0;
        QTest::newRow("second full stop ends it") << QString("1.2.3") << 1.2;
        QTest::newRow("comma ends it") << QString("1,5") << 1.0;
        QTest::newRow("non-breaking space is not a blank") << QString("\u00a07") << 0.0;
        // Only the ten ASCII digits make a number, not other scripts' digits.
        QTest::newRow("Arabic-Indic digit") << QString("3\u06652") << 3.0;
        // An exponent counts only when it is complete.
        QTest::newRow("exponent") << QString("1E3") << 1000.0;
        QTest::newRow("exponent after a trailing full stop") << QString("-5.e+1") << -50.0;
        QTest::newRow("e alone") << QString("2e") << 2.0;
        // Beyond a double: an infinity for too large, 0 for too small, decided by the leading digit.
        QTest::newRow("large exponent") << QString("-1e400") << -qInf();
        const QString zeros(700, u'0');
        QTest::newRow("long mantissa, negative exponent") << "1" + zeros + "e-3" << qInf();
        QTest::newRow("long fraction, positive exponent") << "." + zeros + "1e300" << 0.0;
    }
    void convertsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(numericPrefix(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestNumericPrefix)
#include "test_numericprefix.moc"
