// Windows-1252 as dial files hold it: 0x80-0x9F against the published chart (typed in, not
// derived from the code), and the edges of the ranges that map to themselves.

#include "files/codepage1252.h"

#include <QTest>

using namespace vernalith;

// Bytes 0x80..0x9F. The five bytes the code page leaves undefined read as the C1 control of the
// same value, so that a file holding them writes back unchanged.
constexpr char16_t kPublished[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 80-87
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F', // 88-8F
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 90-97
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178', // 98-9F
};

class TestCodePage1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyHighControlByteBothWays()
    {
        for (int b = 0x80; b <= 0x9F; ++b) {
            const QString text{QChar(kPublished[b - 0x80])};
            const QByteArray byte(1, char(b));
            QVERIFY2(decode1252(byte) == text, qPrintable(QString::number(b, 16)));
            QVERIFY2(encode1252(text) == byte, qPrintable(QString::number(b, 16)));
        }
    }

    // Where the identity ranges end, and characters that only look as if they had a byte.
    void edges()
    {
        for (const char16_t same : {0x7F, 0xA0, 0xFF}) {
            const QString text{QChar(same)};
            QVERIFY2(isEncodable1252(QChar(same)), qPrintable(QString::number(same, 16)));
            QCOMPARE(encode1252(text), QByteArray(1, char(same)));
            QCOMPARE(decode1252(QByteArray(1, char(same))), text);
        }
        // A macron, the C1 controls at the euro's and Y diaeresis's bytes, a neighbour of the low-9 quote.
        for (const char16_t none : {0x100, 0x80, 0x9F, 0x201B}) {
            const QString text = QStringLiteral("a") + QChar(none);
            QCOMPARE(firstUnencodable1252(text), 1);
            QCOMPARE(encode1252(text), QByteArray("a?"));
        }
    }
};

QTEST_APPLESS_MAIN(TestCodePage1252)
#include "test_codepage1252.moc"
