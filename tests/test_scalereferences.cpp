// Rows name scales by number: which cells name a scale, and how they follow when the list changes.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/scalereferences.h"

#include <QTest>

using namespace vernalith;

class TestScaleReferences : public QObject
{
    Q_OBJECT

private slots:
    void aCellNamesAScaleByItsNumber_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("number"); // of 3 scales
        QTest::newRow("first") << "1" << 1;
        QTest::newRow("last") << "3" << 3;
        QTest::newRow("blanks around") << " 2 " << 2;
        QTest::newRow("one past the last") << "4" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("a fraction") << "1.5" << 0;
        QTest::newRow("a word") << "one" << 0;
    }
    void aCellNamesAScaleByItsNumber()
    {
        QFETCH(QString, cell);
        QFETCH(int, number);
        QCOMPARE(scaleNumber(cell, 3), number);
    }

    void aCellFollowsItsScale_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("after");
        // Four scales; the second removed, the others moved up: 1->1, 2->gone, 3->2, 4->3.
        QTest::newRow("unmoved, kept as typed") << " 1" << " 1";
        QTest::newRow("the removed one") << "2" << "";
        QTest::newRow("after it") << "3" << "2";
        QTest::newRow("moved, typed with blanks") << " 4" << "3";
        QTest::newRow("no such scale before") << "9" << "9";
        QTest::newRow("not a number") << "db" << "db";
    }
    void aCellFollowsItsScale()
    {
        QFETCH(QString, cell);
        QFETCH(QString, after);
        QCOMPARE(renumberedScaleCell(cell, {1, 0, 2, 3}), after);
    }
};

QTEST_MAIN(TestScaleReferences)
#include "test_scalereferences.moc"
