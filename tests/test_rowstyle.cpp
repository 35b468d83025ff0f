// The style cells of a row: colours, line widths and font families as a person types them.

#undef QT_NO_CAST_FROM_ASCII // the cases use plain string literals

#include "render/rowstyle.h"

#include <QTest>

using namespace vernalith;

class TestRowStyle : public QObject
{
    Q_OBJECT

private slots:
    void colour_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("stored"); // or the reason, when refused

        QTest::newRow("empty is black") << "" << true << "";
        QTest::newRow("blanks only") << "  " << true << "";
        QTest::newRow("hex lower case") << "#ff8000" << true << "#FF8000";
        QTest::newRow("short hex") << "#f80" << true << "#FF8800";
        QTest::newRow("name, any case") << " DarkRed " << true << "#8B0000";
        QTest::newRow("name") << "red" << true << "#FF0000";
        QTest::newRow("unknown name") << "foo" << false << "Colour \"foo\" is not #RRGGBB or a colour name";
        QTest::newRow("transparent prints nothing") << "transparent" << false
                                                    << "Colour \"transparent\" is not #RRGGBB or a colour name";
        QTest::newRow("four digits") << "#1234" << false << "Colour \"#1234\" is not #RRGGBB or a colour name";
        QTest::newRow("12 digits") << "#123456789abc" << false
                                   << "Colour \"#123456789abc\" is not #RRGGBB or a colour name";
        QTest::newRow("not hex") << "#12345g" << false << "Colour \"#12345g\" is not #RRGGBB or a colour name";
        QTest::newRow("no hash") << "ff0000" << false << "Colour \"ff0000\" is not #RRGGBB or a colour name";
    }

    void colour()
    {
        QFETCH(QString, cell);
        QFETCH(bool, accepted);
        QFETCH(QString, stored);
        QString normalised = "untouched";
        QString error;
        QCOMPARE(parseColourCell(cell, &normalised, &error), accepted);
        QCOMPARE(accepted ? normalised : error, stored);
        if (!accepted)
            QCOMPARE(normalised, QString("untouched"));
    }

    void width_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("mm");
        QTest::addColumn<QString>("reason");

        QTest::newRow("empty is the thin pen") << "" << true << 0.0 << "";
        QTest::newRow("lowest") << "0.05" << true << 0.05 << "";
        QTest::newRow("highest, blanks around") << " 5 " << true << 5.0 << "";
        QTest::newRow("exponent") << "2.5e-1" << true << 0.25 << "";
        QTest::newRow("too wide") << "7" << false << 0.0 << "Width 7 is outside 0.05 ... 5 mm";
        QTest::newRow("too thin") << "0.04" << false << 0.0 << "Width 0.04 is outside 0.05 ... 5 mm";
        QTest::newRow("zero") << "0" << false << 0.0 << "Width 0 is outside 0.05 ... 5 mm";
        QTest::newRow("negative") << "-1" << false << 0.0 << "Width -1 is outside 0.05 ... 5 mm";
        QTest::newRow("unit typed") << "1mm" << false << 0.0 << "Width \"1mm\" is not a number of millimetres";
        QTest::newRow("comma") << "1,5" << false << 0.0 << "Width \"1,5\" is not a number of millimetres";
        QTest::newRow("infinity") << "inf" << false << 0.0 << "Width \"inf\" is not a number of millimetres";
    }

    void width()
    {
        QFETCH(QString, cell);
        QFETCH(bool, accepted);
        QFETCH(double, mm);
        QFETCH(QString, reason);
        double read = -1;
        QString error;
        QCOMPARE(parseWidthCell(cell, &read, &error), accepted);
        QCOMPARE(read, accepted ? mm : -1.0);
        QCOMPARE(error, reason);
    }

    void fontFamily_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("missing");

        QTest::newRow("empty") << "" << "DejaVu Sans" << false;
        QTest::newRow("installed, other case") << "dejavu serif" << "DejaVu Serif" << false;
        QTest::newRow("not installed") << "No Such Face 123" << "DejaVu Sans" << true;
    }

    void fontFamily()
    {
        QFETCH(QString, cell);
        QFETCH(QString, family);
        QFETCH(bool, missing);
        bool wasMissing = !missing;
        QCOMPARE(fontFamilyOrDefault(cell, &wasMissing), family);
        QCOMPARE(wasMissing, missing);
    }
};

QTEST_MAIN(TestRowStyle)
#include "test_rowstyle.moc"
