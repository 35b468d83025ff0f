// Rows name scales by number: which cells name a scale, and how they follow when the list changes.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/scalereferences.h"

#include <QTest>

using namespace vernalith;

class TestScaleReferences : public QObject
{
    Q_OBJECT

private slots:
    // A cell names one of 3 scales by its number. After the second of four scales is removed and the
    // others move up (1->1, 2->gone, 3->2, 4->3) it follows its scale, or is kept as typed.
    void aCellFollowsItsScale_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("number"); // of 3 scales
        QTest::addColumn<QString>("after");
        QTest::newRow("first, typed with a blank") << " 1" << 1 << " 1";
        QTest::newRow("the removed one") << "2" << 2 << "";
        QTest::newRow("last of three, moved up") << "3" << 3 << "2";
        QTest::newRow("one past the last, with blanks") << " 4 " << 0 << "3";
        QTest::newRow("zero") << "0" << 0 << "0";
        QTest::newRow("a fraction") << "1.5" << 0 << "1.5";
        QTest::newRow("a word") << "one" << 0 << "one";
        QTest::newRow("no such scale before") << "9" << 0 << "9";
    }
    void aCellFollowsItsScale()
    {
        QFETCH(QString, cell);
        QFETCH(int, number);
        QFETCH(QString, after);
        QCOMPARE(scaleNumber(cell, 3), number);
        QCOMPARE(renumberedScaleCell(cell, {1, 0, 2, 3}), after);
    }
};

QTEST_MAIN(TestScaleReferences)
#include "test_scalereferences.moc"
