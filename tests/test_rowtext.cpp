// Rows as tab-separated text: copying rows out of a table and pasting lines in as rows.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "design/rowtext.h"

#include <QTest>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::TableKind)
Q_DECLARE_METATYPE(vernalith::PasteOutcome::Result)

// "a|b|c;d|e|f" as rows of cells, so that the cases read like the tables they stand for.
static TableRows rows(const QString &joined)
{
    TableRows result;
    for (const QString &row : joined.split(';'))
        result << row.split('|');
    return result;
}

// The rows padded with the empty extra cells every row of `kind` holds.
static TableRows wide(TableKind kind, TableRows rows)
{
    for (QStringList &row : rows) {
        while (row.size() < storedColumnCount(kind))
            row.append(QString());
    }
    return rows;
}

class TestRowText : public QObject
{
    Q_OBJECT

private slots:
    void copy_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("text");

        QTest::newRow("a range, one line each") << TableKind::ScaleTickmarks << "10|22|20;50|22|21" << 1 << 2
                                               << "10\t22\t20\n50\t22\t21\n";
        QTest::newRow("empty cells keep their tabs") << TableKind::FaceLabels << "|40||8" << 1 << 1 << "\t40\t\t8\n";
        QTest::newRow("an empty row is an empty line") << TableKind::ScaleArcs << "20;;24" << 1 << 3 << "20\n\n24\n";
        QTest::newRow("the header row is not copied") << TableKind::ScaleArcs << "20;22" << 0 << 1 << "20\n";
        QTest::newRow("past the last row is clamped") << TableKind::ScaleArcs << "20;22" << 2 << 9 << "22\n";
        QTest::newRow("only the header: nothing") << TableKind::ScaleArcs << "20" << 0 << 0 << "";
    }

    void copy()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, content);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, text);
        DesignTable table(kind);
        table.replaceRows(rows(content));
        QCOMPARE(rowsAsText(table, first, last), text);
    }

    void paste_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<PasteOutcome::Result>("result");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("rowAfter");

        const auto kTicks = TableKind::ScaleTickmarks;
        QTest::newRow("after the current row") << kTicks << "1|2|3;4|5|6" << 1 << "7\t8\t9\n" << PasteOutcome::Pasted
                                               << "1|2|3;7|8|9;4|5|6" << 2;
        QTest::newRow("header current: first") << kTicks << "1|2|3" << 0 << "4\t5\t6" << PasteOutcome::Pasted
                                               << "4|5|6;1|2|3" << 1;
        QTest::newRow("surplus cells dropped") << kTicks << "1|2|3" << 1 << "4\t5\t6\t7\t8\n" << PasteOutcome::Pasted
                                               << "1|2|3;4|5|6" << 2;
        QTest::newRow("CRLF lines from a spreadsheet, in order") << kTicks << "1|2|3" << 1 << "4\t5\t6\r\n7\t8\t9\r\n"
                                                       << PasteOutcome::Pasted << "1|2|3;4|5|6;7|8|9" << 3;
        QTest::newRow("CR-only lines") << kTicks << "1|2|3" << 1 << "4\r7" << PasteOutcome::Pasted
                                       << "1|2|3;4||;7||" << 3;
        QTest::newRow("an empty line inside is an empty row")
            << TableKind::ScaleArcs << "1" << 1 << "2\n\n3\n" << PasteOutcome::Pasted << "1;2;;3" << 4;
        QTest::newRow("nothing on the clipboard") << kTicks << "1|2|3" << 1 << "" << PasteOutcome::Pasted << "1|2|3"
                                                  << 1;
        QTest::newRow("a control character refuses it all")
            << TableKind::FaceLabels << "|||" << 1 << "1\t2\tok\t8\n1\t2\tb\aell\t8\n" << PasteOutcome::Refused
            << "|||" << 1;
        QTest::newRow("any character but a control is taken")
            << TableKind::FaceLabels << "|||" << 1 << "1\t2\t\u03a9 \u221e\t8" << PasteOutcome::Pasted
            << "|||;1|2|\u03a9 \u221e|8" << 2;
    }

    void paste()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, content);
        QFETCH(int, currentRow);
        QFETCH(QString, clipboard);
        QFETCH(PasteOutcome::Result, result);
        QFETCH(QString, after);
        QFETCH(int, rowAfter);
        DesignTable table(kind);
        table.replaceRows(rows(content));
        table.setCol(table.lastColumn());
        table.setRow(currentRow);

        const PasteOutcome outcome = pasteRows(table, clipboard);
        QCOMPARE(outcome.result, result);
        QCOMPARE(table.rowsData(), wide(kind, rows(after)));
        QCOMPARE(outcome.inserted, int(rows(after).size() - rows(content).size()));
        QCOMPARE(table.row(), rowAfter);
    }

    void pasteStopsWhenTheTableIsFull_data()
    {
        QTest::addColumn<int>("rowsBefore");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("inserted");
        QTest::addColumn<PasteOutcome::Result>("result");

        QTest::newRow("room for all") << kMaxDataRows - 3 << 3 << 3 << PasteOutcome::Pasted;
        QTest::newRow("room for one of three") << kMaxDataRows - 1 << 3 << 1 << PasteOutcome::Full;
        QTest::newRow("already full") << kMaxDataRows << 2 << 0 << PasteOutcome::Full;
    }

    void pasteStopsWhenTheTableIsFull()
    {
        QFETCH(int, rowsBefore);
        QFETCH(int, lines);
        QFETCH(int, inserted);
        QFETCH(PasteOutcome::Result, result);
        DesignTable table(TableKind::ScaleArcs);
        table.replaceRows(TableRows(rowsBefore, QStringList{"5"}));
        table.setRow(1);

        const PasteOutcome outcome = pasteRows(table, QString("7\n").repeated(lines));
        QCOMPARE(outcome.result, result);
        QCOMPARE(outcome.inserted, inserted);
        QCOMPARE(table.dataRowCount(), rowsBefore + inserted);
        QCOMPARE(table.cell(2, 0), QString(inserted > 0 ? "7" : "5"));
    }

    void copiedRowsPasteBackUnchanged()
    {
        DesignTable from(TableKind::ScaleDigits);
        from.replaceRows(rows("5|0|100|0.0|24|6;|||||;10|-1|1|0.00|30|"));
        DesignTable to(TableKind::ScaleDigits);
        to.setRow(1);
        QCOMPARE(pasteRows(to, rowsAsText(from, 1, 3)).inserted, 3);
        QCOMPARE(to.rowsData().mid(1), from.rowsData());
    }
};

QTEST_MAIN(TestRowText)
#include "test_rowtext.moc"
