// Rows as tab-separated text: copying rows out of a table and pasting lines in as rows.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "namedcases.h"
#include "tablerows.h"

#include "design/designtable.h"
#include "design/rowtext.h"

#include <QTest>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::PasteOutcome::Result)

struct Paste {
    const char *name, *content;
    int currentRow;
    const char *clipboard;
    PasteOutcome::Result result;
    const char *after;
    int rowAfter;
};
Q_DECLARE_METATYPE(Paste)

constexpr auto pasted = PasteOutcome::Pasted;
static const Paste kPastes[] = {
    {"after the current row", "1|2|3;4|5|6", 1, "7\t8\t9\n", pasted, "1|2|3;7|8|9;4|5|6", 2},
    {"header current: first", "1|2|3", 0, "4\t5\t6", pasted, "4|5|6;1|2|3", 1},
    {"CRLF lines from a spreadsheet, in order", "1|2|3", 1, "4\t5\t6\r\n7\t8\t9\r\n", pasted, "1|2|3;4|5|6;7|8|9", 3},
    {"an empty line inside is an empty row", "1||", 1, "2\n\n3\n", pasted, "1||;2||;||;3||", 4},
    {"nothing on the clipboard", "1|2|3", 1, "", pasted, "1|2|3", 1},
    {"a control character refuses it all", "||", 1, "1\t2\tok\n1\t2\tb\aell\n", PasteOutcome::Refused, "||", 1},
    {"any character but a control is taken", "||", 1, "1\t2\t\u03a9 \u221e", pasted, "||;1|2|\u03a9 \u221e", 2},
};

class TestRowText : public QObject
{
    Q_OBJECT

private slots:
    // A line for each row, tabs between the cells (empty ones too); never the header row, and a range
    // past the last row is cut short. Pasted below the current row, the lines give the rows back.
    void copiedRowsPasteBackUnchanged()
    {
        DesignTable from(TableKind::ScaleDigits);
        from.replaceRows(rowsOf("5|0|100|0.0|24|6;|||||;10|-1|1|0.00|30|"));
        const QString text = rowsAsText(from, 0, 9);
        QCOMPARE(text, "5\t0\t100\t0.0\t24\t6\n\t\t\t\t\t\n10\t-1\t1\t0.00\t30\t\n");
        QCOMPARE(rowsAsText(from, 3, 3), "10\t-1\t1\t0.00\t30\t\n");
        DesignTable to(TableKind::ScaleDigits);
        to.setRow(1);
        QCOMPARE(pasteRows(to, text).inserted, 3);
        QCOMPARE(to.rowsData().mid(1), from.rowsData());
    }

    // Lines pasted into a tickmarks table with a current row.
    void paste_data() { addNamedCases(kPastes); }
    void paste()
    {
        QFETCH(Paste, c);
        DesignTable table(TableKind::ScaleTickmarks);
        table.replaceRows(rowsOf(c.content));
        table.setCol(table.lastColumn());
        table.setRow(c.currentRow);

        const PasteOutcome outcome = pasteRows(table, c.clipboard);
        QCOMPARE(outcome.result, c.result);
        QCOMPARE(table.rowsData(), wide(TableKind::ScaleTickmarks, rowsOf(c.after)));
        QCOMPARE(outcome.inserted, int(rowsOf(c.after).size() - rowsOf(c.content).size()));
        QCOMPARE(table.row(), c.rowAfter);
    }

    // Three lines pasted into a table with room for `inserted` of them.
    void pasteStopsWhenTheTableIsFull_data()
    {
        QTest::addColumn<int>("inserted");
        QTest::addColumn<PasteOutcome::Result>("result");
        QTest::newRow("room for all") << 3 << PasteOutcome::Pasted;
        QTest::newRow("room for one") << 1 << PasteOutcome::Full;
        QTest::newRow("already full") << 0 << PasteOutcome::Full;
    }

    void pasteStopsWhenTheTableIsFull()
    {
        QFETCH(int, inserted);
        QFETCH(PasteOutcome::Result, result);
        DesignTable table(TableKind::ScaleArcs);
        table.replaceRows(TableRows(kMaxDataRows - inserted, QStringList{"5"}));
        table.setRow(1);

        const PasteOutcome outcome = pasteRows(table, "7\n7\n7\n");
        QCOMPARE(outcome.result, result);
        QCOMPARE(outcome.inserted, inserted);
        QCOMPARE(table.dataRowCount(), kMaxDataRows);
        QCOMPARE(table.cell(2, 0), QString(inserted > 0 ? "7" : "5"));
    }
};

QTEST_MAIN(TestRowText)
#include "test_rowtext.moc"
