// The design tables as grids, the keyboard editing of their cells, the row commands and the design model.

#include "namedcases.h"
#include "tablerows.h"

#include "design/designmodel.h"
#include "design/designtable.h"
#include "design/tablecommands.h"

#include <QSignalSpy>
#include <QTest>

using namespace vernalith;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vernalith::TableKind)

constexpr auto arcs = TableKind::ScaleArcs;
constexpr auto ticks = TableKind::ScaleTickmarks;
constexpr auto digits = TableKind::ScaleDigits;
constexpr auto labels = TableKind::FaceLabels;
using L = QList<int>;

// Fills a table with `dataRows` rows whose cells read "r<row>c<col>" (or are empty).
static void fill(DesignTable &table, int dataRows, bool labelled = true)
{
    TableRows rows;
    for (int r = 1; r <= dataRows; ++r) {
        rows.append(emptyRow(table.kind()));
        for (int k = 0; labelled && k < table.columns(); ++k)
            rows.last()[k] = QStringLiteral("r%1c%2").arg(r).arg(k);
    }
    table.replaceRows(rows);
}

static void setCurrent(DesignTable &table, int row, int col)
{
    table.setRow(row);
    table.setCol(col);
}

static L cursor(const DesignTable &table) // Row, Col and Rows
{
    return L{table.row(), table.col(), table.rows()};
}

struct KeyCase {
    const char *name;
    TableKind kind;
    L start; // Row, Col, Rows; one empty row, or rows "r<row>c<col>"
    QString typed; // \b Backspace, \x18 Ctrl+X, \r Enter
    QStringList edits; // "row,col=text"
    L end; // Row, Col, Rows
};
Q_DECLARE_METATYPE(KeyCase)
static const KeyCase kKeyCases[] = {
    {"12.5 then Backspace", arcs, L{1, 0, 2}, u"12.5\b"_s, cells("1,0=12."), L{1, 0, 2}},
    {"Ctrl+X, typing", labels, L{1, 2, 2}, u"www\x18" "22"_s, cells("1,2=22"), L{1, 2, 2}},
    // The 65 control characters (C0, DEL, C1) and the line and paragraph separators change nothing.
    {"control keys refused, any other taken", labels, L{1, 2, 2},
     u"\x01" " \x1f~\x7f\u00a0\u0080\u009f\u00ad\u2028\u2029\u2212\ufffd\ufffe\t\n\x1b"_s,
     cells("1,2= ~\u00a0\u00ad\u2212\ufffd\ufffe"), L{1, 2, 2}},
    // Backspace takes a character beyond 16 bits as a whole.
    {"Ohm, infinity, emoji, Backspace", labels, L{1, 2, 2}, u"10 k\u2126 \u221E\U0001F600\b 5\b\b"_s,
     cells("1,2=10 k\u2126 \u221E"), L{1, 2, 2}},
    {"keys on the header", ticks, L{0, 1, 2}, u"x\x18\b"_s, {}, L{0, 1, 2}},
    {"Enter, 1 column", arcs, L{1, 0, 2}, u"20\r\r"_s, cells("1,0=20"), L{3, 0, 4}},
    {"Enter, 6 columns", digits, L{1, 0, 2}, u"\r\r\r\r\r9\r"_s, cells("1,5=9"), L{2, 0, 3}},
    // The new row goes to the bottom; the cursor moves to the next row, which already exists.
    {"Enter on a middle row", ticks, L{1, 2, 5}, u"\r\b"_s, cells("2,0=r2c"), L{2, 0, 6}},
};

struct RemoveCase {
    const char *name;
    TableKind kind;
    int dataRows, row;
    QStringList firstCells; // column 0 of the data rows afterwards
    int endCol; // -1: the table's choice
};
Q_DECLARE_METATYPE(RemoveCase)
static const RemoveCase kRemoveCases[] = {
    {"only row is emptied, digits", digits, 1, 1, cells(""), 5},
    {"row 3 of a 5-row table", ticks, 4, 3, cells("r1c0|r2c0|r4c0"), -1},
    {"header row current", labels, 3, 0, cells("r1c0|r2c0|r3c0"), 1},
};

class TestDesignTable : public QObject
{
    Q_OBJECT

private slots:
    // Each table's column titles; setting an extra cell (after the columns, no Qt column) reads back
    // and reports its row's visible cells changed.
    void tableColumns_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("scale arcs") << arcs << cells("Radius");
        QTest::newRow("scale tickmarks") << ticks << cells("Divisions|Outer Radius|Inner Radius");
        QTest::newRow("scale digits") << digits << cells("Divisions|Min Val|Max Val|Num Format|Radius|Fontsize");
        QTest::newRow("face labels") << labels << cells("X-Pos|Y-Pos|Text|Fontsize");
    }

    void tableColumns()
    {
        QFETCH(TableKind, kind);
        QFETCH(QStringList, titles);
        DesignModel model;
        QVERIFY(model.design() == DialDesign::startup()); // whose texts the emptied-design file pins
        DesignTable &table = model.table(kind);
        QCOMPARE(table.columnCount(), titles.size());
        for (int k = 0; k < titles.size(); ++k)
            QCOMPARE(table.headerData(k, Qt::Horizontal).toString(), titles[k]);

        fill(table, 2);
        QSignalSpy cellsChanged(&table, &QAbstractItemModel::dataChanged);
        QSignalSpy modelChanged(&model, &DesignModel::changed);
        const int last = storedColumnCount(kind) - 1;
        table.setCell(2, last, QStringLiteral("red"));
        QCOMPARE(table.cell(2, last), QStringLiteral("red"));
        QCOMPARE(cellsChanged.size(), 1);
        QCOMPARE(cellsChanged[0][0].toModelIndex(), table.index(1, 0));
        QCOMPARE(cellsChanged[0][1].toModelIndex(), table.index(1, titles.size() - 1));
        QCOMPARE(modelChanged.size(), 1);
        QVERIFY(table.rowHasProperties(2) && !table.rowHasProperties(1));
        // Beyond the stored cells nothing is read or written.
        table.setCell(2, last + 1, QStringLiteral("x"));
        QCOMPARE(table.cell(2, last + 1), QString());
        QCOMPARE(cellsChanged.size(), 1);
    }

    void addItemInsertsAtAGridRow()
    {
        DesignTable table(ticks);
        fill(table, 2);
        QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
        table.addItem(QStringLiteral("a\tb\tc\td"), 1); // surplus pieces dropped
        table.addItem(QStringLiteral("x"), 3);            // missing pieces empty
        table.addItem(QStringLiteral("y"), 99);           // out of range: appended, as at Rows
        // surplus pieces never spill into the extra cells
        QCOMPARE(table.rowsData(), wide(ticks, rowsOf("a|b|c;r1c0|r1c1|r1c2;x||;r2c0|r2c1|r2c2;y||")));
        QCOMPARE(inserted.at(1).at(1).toInt(), 2); // model rows are the data rows
    }

    void keySequences_data() { addNamedCases(kKeyCases); }
    void keySequences()
    {
        QFETCH(KeyCase, c);
        DesignTable table(c.kind);
        fill(table, c.start[2] - 1, c.start[2] > 2);
        setCurrent(table, c.start[0], c.start[1]);
        TableRows expected = table.rowsData();
        expected.resize(c.end[2] - 1, emptyRow(c.kind));
        for (const QString &edit : c.edits) {
            const QStringList at = edit.section(u'=', 0, 0).split(u',');
            expected[at[0].toInt() - 1][at[1].toInt()] = edit.section(u'=', 1);
        }
        for (QChar key : c.typed)
            tableKeyPress(table, key);
        QCOMPARE(table.rowsData(), expected);
        QCOMPARE(cursor(table), c.end);
    }

    void fullTableRefusesToGrow()
    {
        // One row short of the most a dial file can hold: "+" fills it, then neither "+" nor Enter adds.
        DesignTable table(labels);
        fill(table, kMaxDataRows - 1, false);
        setCurrent(table, 10, 3);
        QVERIFY(addTableRow(table));
        QVERIFY(!addTableRow(table));
        QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Refused);
        QCOMPARE(cursor(table), (L{10, 3, kMaxDataRows + 1}));
        table.setCol(1); // Enter in another column still moves right
        QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Changed);
        QCOMPARE(table.col(), 2);
    }

    void removeCases_data() { addNamedCases(kRemoveCases); }
    void removeCases()
    {
        QFETCH(RemoveCase, c);
        DesignTable table(c.kind);
        fill(table, c.dataRows);
        setCurrent(table, c.row, 1);
        table.setCell(c.dataRows, storedColumnCount(c.kind) - 1, QStringLiteral("red")); // goes with its row
        removeTableRow(table);
        QStringList columnZero;
        for (const QStringList &r : table.rowsData())
            columnZero.append(r.first());
        QCOMPARE(columnZero, c.firstCells);
        QCOMPARE(table.rowsData() == emptyTable(c.kind), c.dataRows == 1);
        if (c.endCol >= 0)
            QCOMPARE(table.col(), c.endCol);
        QVERIFY(table.row() >= 0 && table.row() < table.rows());
    }

    void clearAllTables()
    {
        DesignModel model;
        for (DesignTable *table : model.tables())
            fill(*table, 999);
        vernalith::clearAllTables(model.tables());
        for (const DesignTable *table : model.tables()) {
            QCOMPARE(table->rowsData(), emptyTable(table->kind()));
            QCOMPARE(cursor(*table), (L{1, table->lastColumn(), 2})); // column 5 for the scale digits
        }
    }

    // Reading the design, as drawing and saving do, leaves every current cell where it was; setting
    // one resets each table once and puts the current cell on the first data cell, where typing goes.
    void designKeepsOrResetsTheCurrentCell()
    {
        DesignModel model;
        for (DesignTable *table : model.tables()) {
            fill(*table, 6);
            setCurrent(*table, 2 + tableIndex(table->kind()), table->lastColumn());
        }
        DialDesign design = model.design();
        for (const DesignTable *table : model.tables()) {
            QCOMPARE(cursor(*table), (L{2 + tableIndex(table->kind()), table->lastColumn(), 7}));
            QCOMPARE(design.table(table->kind()), table->rowsData());
        }
        design.dimension(Dimension::NeedlePivotY) = QStringLiteral("40");
        design.table(ticks) = rowsOf("10|22|20;50|22|21");
        QSignalSpy reset(&model.table(ticks), &QAbstractItemModel::modelReset);
        QSignalSpy dimensions(&model, &DesignModel::dimensionChanged);
        model.setDesign(design);
        QVERIFY(model.design() == design);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(dimensions.size(), 1); // only the text that differs
        QCOMPARE(cursor(model.table(ticks)), (L{1, 0, 3}));
    }

    // The scales are part of the design: padded when set, compared, and set back with it.
    void scalesTravelWithTheDesign()
    {
        DesignModel model;
        QSignalSpy changed(&model, &DesignModel::changed);
        model.setScales(rowsOf("db|-20|3;ohms|0|inf|50|"));
        model.setScales(rowsOf("db|-20|3||;ohms|0|inf|50|")); // the same once padded: no change
        QCOMPARE(changed.size(), 1);
        DialDesign design = model.design();
        QCOMPARE(design.scales, rowsOf("db|-20|3||;ohms|0|inf|50|"));
        design.scales[1][3] = QStringLiteral("25");
        QVERIFY(design != model.design());
        model.setDesign(design);
        QCOMPARE(model.scales()[1][3], QStringLiteral("25"));
        // A row missing its trailing empty cells equals the full one, but not one with an extra cell set.
        DialDesign shortRows = DialDesign::startup();
        shortRows.table(ticks) = rowsOf("10|22|20");
        DialDesign fullRows = shortRows;
        fullRows.table(ticks) = wide(ticks, shortRows.table(ticks));
        QVERIFY(shortRows == fullRows);
        fullRows.table(ticks)[0][3] = QStringLiteral("1");
        QVERIFY(shortRows != fullRows);
    }
};

QTEST_MAIN(TestDesignTable)
#include "test_designtable.moc"
