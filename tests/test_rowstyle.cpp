// The style cells of a row as a person types them: colours, line widths and font families.

#undef QT_NO_CAST_FROM_ASCII // the cases use plain string literals

#include "render/rowstyle.h"

#include <QTest>

using namespace vernalith;

class TestRowStyle : public QObject
{
    Q_OBJECT

private slots:
    // What each cell reads as: "colour #RRGGBB", "width 0.25", "font X (missing)", or the reason.
    void cells_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("read");

        const auto bad = [](const char *c) { return QString("Colour \"%1\" is not #RRGGBB or a colour name").arg(c); };
        QTest::newRow("empty colour is black") << "colour" << "  " << "colour ";
        QTest::newRow("hex, any case") << "colour" << "#ff8000" << "colour #FF8000";
        QTest::newRow("short hex") << "colour" << "#f80" << "colour #FF8800";
        QTest::newRow("name, any case") << "colour" << " DarkRed " << "colour #8B0000";
        QTest::newRow("unknown name") << "colour" << "foo" << bad("foo");
        QTest::newRow("transparent") << "colour" << "transparent" << bad("transparent");
        QTest::newRow("four digits") << "colour" << "#1234" << bad("#1234");
        QTest::newRow("not hex") << "colour" << "#12345g" << bad("#12345g");
        QTest::newRow("empty width") << "width" << "" << "width 0";
        QTest::newRow("lowest") << "width" << "0.05" << "width 0.05";
        QTest::newRow("highest, blanks") << "width" << " 5 " << "width 5";
        QTest::newRow("too wide") << "width" << "7" << "Width 7 is outside 0.05 ... 5 mm";
        QTest::newRow("too thin") << "width" << "0.04" << "Width 0.04 is outside 0.05 ... 5 mm";
        QTest::newRow("unit") << "width" << "1mm" << "Width \"1mm\" is not a number of millimetres";
        QTest::newRow("infinite") << "width" << "inf" << "Width \"inf\" is not a number of millimetres";
        QTest::newRow("no face") << "font" << "" << "font DejaVu Sans";
        QTest::newRow("installed, other case") << "font" << "dejavu serif" << "font DejaVu Serif";
        QTest::newRow("not installed") << "font" << "No Such Face" << "font DejaVu Sans (missing)";
    }

    void cells()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cell);
        QFETCH(QString, read);
        QString normalised = "untouched", error;
        double mm = -1;
        bool missing = false;
        QString got;
        if (kind == "colour")
            got = parseColourCell(cell, &normalised, &error) ? "colour " + normalised : error;
        else if (kind == "width")
            got = parseWidthCell(cell, &mm, &error) ? "width " + QString::number(mm) : error;
        else
            got = "font " + fontFamilyOrDefault(cell, &missing);
        if (missing)
            got += " (missing)";
        QCOMPARE(got, read);
        // A refused cell leaves the value as it was.
        QVERIFY(error.isEmpty() || (normalised == "untouched" && mm == -1));
    }
};

QTEST_MAIN(TestRowStyle)
#include "test_rowstyle.moc"
