// The design tables as grids, the keyboard editing of their cells, the row commands and the
// design model that joins the eight dimension texts and the four tables.

#include "design/designmodel.h"
#include "design/designtable.h"
#include "design/tablecommands.h"
#include "files/codepage1252.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::TableKind)

namespace {

// "a|b|c" as a row of cells, so that rows read like the tables they stand for.
QStringList cells(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'));
}

TableRows rowsOf(std::initializer_list<const char *> rows)
{
    TableRows result;
    for (const char *row : rows)
        result.append(cells(row));
    return result;
}

// Fills a table with `dataRows` rows whose cells read "r<row>c<col>" (or are empty).
void fill(DesignTable &table, int dataRows, bool labelled = true)
{
    TableRows rows;
    for (int r = 1; r <= dataRows; ++r) {
        QStringList row;
        for (int k = 0; k < table.columns(); ++k)
            row.append(labelled ? QStringLiteral("r%1c%2").arg(r).arg(k) : QString());
        rows.append(row);
    }
    table.replaceRows(rows);
}

void setCurrent(DesignTable &table, int row, int col)
{
    table.setRow(row);
    table.setCol(col);
}

// "row,col=text" edits applied to a snapshot; rows missing from the snapshot up to `rows` data
// rows are appended empty.
TableRows expectedAfter(TableRows rows, TableKind kind, int dataRows, const QStringList &edits)
{
    while (rows.size() < dataRows)
        rows.append(emptyRow(kind));
    for (const QString &edit : edits) {
        const qsizetype eq = edit.indexOf(QLatin1Char('='));
        const QStringList at = edit.left(eq).split(QLatin1Char(','));
        rows[at[0].toInt() - 1][at[1].toInt()] = edit.mid(eq + 1);
    }
    return rows;
}

QString describeRows(const TableRows &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        lines.append(row.join(QLatin1Char('|')));
    return lines.join(QStringLiteral(" / "));
}

} // namespace

class TestDesignTable : public QObject
{
    Q_OBJECT

private slots:
    // Start-up state and the shape of the four tables.
    void startupTables_data();
    void startupTables();
    void startupDesign();

    // Grid operations.
    void rowsWriteAppendsAnEmptyRow();
    void rowAndColAreIndependent();
    void textReplacesTheCurrentCellWhole();
    void headerRowIsNotEditable();
    void addItemSplitsAtTabs_data();
    void addItemSplitsAtTabs();
    void addItemInsertsAtIndex_data();
    void addItemInsertsAtIndex();
    void removeItemMovesRowsUp();
    void modelShowsDataRowsUnderTheHeader();
    void modelSignalsRowChanges();

    // Cell editing.
    void keySequences_data();
    void keySequences();
    void enterWalksThroughTheColumns_data();
    void enterWalksThroughTheColumns();
    void refusedKeysChangeNothing_data();
    void refusedKeysChangeNothing();
    void typedCharactersAreExactlyThePrintableCodePage();
    void noKeyPutsATabOrLineBreakIntoACell();
    void enterRefusesToGrowAFullTable();

    // Row commands.
    void addOnAFreshTable();
    void addRefusesAFullTable();
    void removeCases_data();
    void removeCases();
    void removeTwiceFromThreeRows();
    void clearAllTables_data();
    void clearAllTables();

    // The design model.
    void readingTheDesignMovesNoCurrentCell();
    void setDesignReplacesEachTableInOneReset();
    void modelReportsChanges();
};

// --- Start-up state -------------------------------------------------------------------------

void TestDesignTable::startupTables_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("widths");

    QTest::newRow("scale arcs") << TableKind::ScaleArcs << QStringList{QStringLiteral("Radius")} << QList<int>{0};
    QTest::newRow("scale tickmarks") << TableKind::ScaleTickmarks
                                     << QStringList{QStringLiteral("Divisions"), QStringLiteral("Outer Radius"),
                                                    QStringLiteral("Inner Radius")}
                                     << QList<int>{900, 1100, 1000};
    QTest::newRow("scale digits") << TableKind::ScaleDigits
                                  << QStringList{QStringLiteral("Divisions"), QStringLiteral("Min Val"),
                                                 QStringLiteral("Max Val"), QStringLiteral("Num Format"),
                                                 QStringLiteral("Radius"), QStringLiteral("Fontsize")}
                                  << QList<int>{750, 700, 700, 0, 700, 0};
    QTest::newRow("face labels") << TableKind::FaceLabels
                                 << QStringList{QStringLiteral("X-Pos"), QStringLiteral("Y-Pos"),
                                                QStringLiteral("Text"), QStringLiteral("Fontsize")}
                                 << QList<int>{700, 700, 2700, 700};
}

void TestDesignTable::startupTables()
{
    QFETCH(TableKind, kind);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, widths);

    DesignModel model;
    DesignTable &table = model.table(kind);
    QCOMPARE(table.kind(), kind);
    QCOMPARE(table.rows(), 2);
    QCOMPARE(table.columns(), static_cast<int>(titles.size()));
    QCOMPARE(table.lastColumn(), static_cast<int>(titles.size()) - 1);
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.columnCount(), static_cast<int>(titles.size()));
    for (int k = 0; k < titles.size(); ++k) {
        QCOMPARE(table.title(k), titles[k]);
        QCOMPARE(table.headerData(k, Qt::Horizontal).toString(), titles[k]);
        QCOMPARE(table.columnWidthTwips(k), widths[k]);
        QCOMPARE(table.cell(1, k), QString());
    }
    // The header is row 0 of the grid and reads as the titles.
    table.setRow(0);
    for (int k = 0; k < titles.size(); ++k) {
        table.setCol(k);
        QCOMPARE(table.text(), titles[k]);
    }
}

void TestDesignTable::startupDesign()
{
    DesignModel model;
    const QStringList texts{QStringLiteral("52"), QStringLiteral("45"), QStringLiteral("26"), QStringLiteral("33"),
                            QStringLiteral("5"),  QStringLiteral("12"), QStringLiteral("47"), QStringLiteral("12")};
    const char *const names[] = {"txtCardWidth", "txtCardHeight", "txtNeedlePivotX", "txtNeedlePivotY",
                                 "txtZeroPosX",  "txtZeroPosY",   "txtMaxPosX",      "txtMaxPosY"};
    for (int d = 0; d < kDimensionCount; ++d) {
        QCOMPARE(model.dimension(static_cast<Dimension>(d)), texts[d]);
        QCOMPARE(QByteArray(dimensionFieldName(static_cast<Dimension>(d))), QByteArray(names[d]));
    }
    QVERIFY(model.design() == DialDesign::startup());
    // The "Text" column of the labels is the widest column of all.
    int widest = 0;
    for (TableKind kind : kAllTables)
        for (int k = 0; k < columnCount(kind); ++k)
            widest = std::max(widest, model.table(kind).columnWidthTwips(k));
    QCOMPARE(widest, model.table(TableKind::FaceLabels).columnWidthTwips(2));
}

// --- Grid operations ------------------------------------------------------------------------

void TestDesignTable::rowsWriteAppendsAnEmptyRow()
{
    DesignTable table(TableKind::ScaleTickmarks);
    fill(table, 2);
    setCurrent(table, 1, 2);
    table.appendEmptyRow();
    QCOMPARE(table.rows(), 4);
    QCOMPARE(table.rowsData(), expectedAfter(rowsOf({"r1c0|r1c1|r1c2", "r2c0|r2c1|r2c2"}),
                                             TableKind::ScaleTickmarks, 3, {}));
    QCOMPARE(table.row(), 1);
    QCOMPARE(table.col(), 2);
}

void TestDesignTable::rowAndColAreIndependent()
{
    DesignTable table(TableKind::ScaleDigits);
    fill(table, 4);
    setCurrent(table, 3, 4);
    table.setRow(2);
    QCOMPARE(table.col(), 4);
    table.setCol(1);
    QCOMPARE(table.row(), 2);
    QCOMPARE(table.text(), QStringLiteral("r2c1"));

    QSignalSpy moved(&table, &DesignTable::currentCellChanged);
    table.setRow(4);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 4);
    QCOMPARE(moved.at(0).at(1).toInt(), 1);
}

void TestDesignTable::textReplacesTheCurrentCellWhole()
{
    DesignTable table(TableKind::FaceLabels);
    fill(table, 3);
    setCurrent(table, 2, 2);
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);
    table.setText(QStringLiteral("mA"));
    QCOMPARE(table.text(), QStringLiteral("mA"));
    QCOMPARE(table.rowsData(), expectedAfter(rowsOf({"r1c0|r1c1|r1c2|r1c3", "r2c0|r2c1|r2c2|r2c3",
                                                    "r3c0|r3c1|r3c2|r3c3"}),
                                             TableKind::FaceLabels, 3, {QStringLiteral("2,2=mA")}));
    QCOMPARE(changed.size(), 1);
    const QModelIndex changedIndex = changed.at(0).at(0).value<QModelIndex>();
    QCOMPARE(changedIndex.row(), 1); // model rows are the data rows
    QCOMPARE(changedIndex.column(), 2);
}

void TestDesignTable::headerRowIsNotEditable()
{
    DesignTable table(TableKind::ScaleTickmarks);
    setCurrent(table, 0, 1);
    table.setText(QStringLiteral("x"));
    QCOMPARE(table.text(), QStringLiteral("Outer Radius"));
    for (QChar key : {QChar(u'x'), QChar(kKeyCut), QChar(kKeyBackspace)})
        tableKeyPress(table, key);
    QCOMPARE(table.title(1), QStringLiteral("Outer Radius"));
    QCOMPARE(table.text(), QStringLiteral("Outer Radius"));
    QCOMPARE(table.rowsData(), emptyTable(TableKind::ScaleTickmarks));
    QCOMPARE(table.rows(), 2);
}

void TestDesignTable::addItemSplitsAtTabs_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("row");

    QTest::newRow("exact pieces") << TableKind::ScaleTickmarks << QStringLiteral("10\t22\t20")
                                  << cells("10|22|20");
    QTest::newRow("writer's final tab") << TableKind::ScaleTickmarks << QStringLiteral("10\t22\t20\t")
                                        << cells("10|22|20");
    QTest::newRow("surplus pieces dropped") << TableKind::ScaleTickmarks << QStringLiteral("1\t2\t3\t4\t5")
                                            << cells("1|2|3");
    QTest::newRow("missing pieces empty") << TableKind::ScaleDigits << QStringLiteral("5\t0")
                                          << cells("5|0||||");
    QTest::newRow("empty item") << TableKind::FaceLabels << QString() << cells("|||");
    QTest::newRow("adjacent tabs") << TableKind::FaceLabels << QStringLiteral("\t\tmA\t")
                                   << cells("||mA|");
    QTest::newRow("one column keeps the first piece") << TableKind::ScaleArcs << QStringLiteral("20\t30")
                                                      << cells("20");
    QTest::newRow("one column, leading tab") << TableKind::ScaleArcs << QStringLiteral("\t30") << cells("");
    QTest::newRow("blanks are kept") << TableKind::FaceLabels << QStringLiteral(" 26 \t40\tmA B\t8 ")
                                     << cells(" 26 |40|mA B|8 ");
}

void TestDesignTable::addItemSplitsAtTabs()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, item);
    QFETCH(QStringList, row);

    DesignTable table(kind);
    table.addItem(item);
    QCOMPARE(table.rows(), 3);
    QCOMPARE(table.rowsData().at(1), row);
    QCOMPARE(table.rowsData().at(0), emptyRow(kind));
}

void TestDesignTable::addItemInsertsAtIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("order"); // first cells of the data rows afterwards

    QTest::newRow("at the top") << 1 << cells("new|r1c0|r2c0|r3c0");
    QTest::newRow("in the middle") << 2 << cells("r1c0|new|r2c0|r3c0");
    QTest::newRow("before the last row") << 3 << cells("r1c0|r2c0|new|r3c0");
    QTest::newRow("at Rows appends") << 4 << cells("r1c0|r2c0|r3c0|new");
    QTest::newRow("no index appends") << -1 << cells("r1c0|r2c0|r3c0|new");
}

void TestDesignTable::addItemInsertsAtIndex()
{
    QFETCH(int, index);
    QFETCH(QStringList, order);

    DesignTable table(TableKind::ScaleDigits);
    fill(table, 3);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    if (index < 0)
        table.addItem(QStringLiteral("new\tx"));
    else
        table.addItem(QStringLiteral("new\tx"), index);

    QCOMPARE(table.rows(), 5);
    QStringList firstCells;
    for (int r = 1; r < table.rows(); ++r)
        firstCells.append(table.cell(r, 0));
    QCOMPARE(firstCells, order);
    const int at = static_cast<int>(order.indexOf(QStringLiteral("new"))) + 1;
    QCOMPARE(table.cell(at, 1), QStringLiteral("x"));
    QCOMPARE(table.cell(at, 5), QString());
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), at - 1);
}

void TestDesignTable::removeItemMovesRowsUp()
{
    DesignTable table(TableKind::ScaleArcs);
    fill(table, 4);
    table.removeItem(2);
    QCOMPARE(table.rows(), 4);
    QCOMPARE(table.rowsData(), rowsOf({"r1c0", "r3c0", "r4c0"}));
    table.removeItem(3);
    QCOMPARE(table.rowsData(), rowsOf({"r1c0", "r3c0"}));
    // The header row is never removed by a grid row number.
    table.removeItem(0);
    QCOMPARE(table.rows(), 3);
}

void TestDesignTable::modelShowsDataRowsUnderTheHeader()
{
    DesignTable table(TableKind::FaceLabels);
    fill(table, 2);
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.data(table.index(0, 0)).toString(), QStringLiteral("r1c0"));
    QCOMPARE(table.data(table.index(1, 3)).toString(), QStringLiteral("r2c3"));
    QCOMPARE(table.data(table.index(1, 3), Qt::EditRole).toString(), QStringLiteral("r2c3"));
    QVERIFY(!table.data(table.index(1, 3), Qt::DecorationRole).isValid());
    QCOMPARE(table.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Text"));
    QCOMPARE(table.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(table.rowCount(table.index(0, 0)), 0);
    const Qt::ItemFlags flags = table.flags(table.index(0, 0));
    QVERIFY(flags & Qt::ItemIsSelectable);
    QVERIFY(!(flags & Qt::ItemIsEditable)); // cells are edited by key presses only
}

void TestDesignTable::modelSignalsRowChanges()
{
    DesignTable table(TableKind::ScaleTickmarks);
    fill(table, 3);
    QSignalSpy removed(&table, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    table.removeItem(2);
    table.appendEmptyRow();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
}

// --- Cell editing ---------------------------------------------------------------------------

void TestDesignTable::keySequences_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<bool>("labelled");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<int>("endCol");
    QTest::addColumn<int>("endRows");

    const auto arcs = TableKind::ScaleArcs;
    const auto ticks = TableKind::ScaleTickmarks;
    const auto digits = TableKind::ScaleDigits;
    const auto labels = TableKind::FaceLabels;
    const QChar bs(kKeyBackspace);
    const QChar cut(kKeyCut);
    const QChar enter(kKeyEnter);

    QTest::newRow("type 12.5") << arcs << 1 << false << 1 << 0 << QStringLiteral("12.5")
                               << cells("1,0=12.5") << 1 << 0 << 2;
    // Backspace drops exactly one character: the full stop stays until a second Backspace.
    QTest::newRow("12.5 then Backspace") << arcs << 1 << false << 1 << 0 << QStringLiteral("12.5") + bs
                                         << cells("1,0=12.") << 1 << 0 << 2;
    QTest::newRow("12.5 then two Backspaces") << arcs << 1 << false << 1 << 0 << QStringLiteral("12.5") + bs + bs
                                              << cells("1,0=12") << 1 << 0 << 2;
    QTest::newRow("Backspace on an empty cell") << digits << 1 << false << 1 << 3 << QString(bs)
                                                << QStringList{} << 1 << 3 << 2;
    QTest::newRow("Backspace twice on a cell") << ticks << 2 << true << 2 << 1 << QString(bs) + bs
                                               << cells("2,1=r2") << 2 << 1 << 3;
    QTest::newRow("Backspace past the start") << arcs << 1 << false << 1 << 0 << QStringLiteral("ab") + bs + bs + bs
                                              << QStringList{} << 1 << 0 << 2;
    QTest::newRow("typing appends to the text") << labels << 2 << true << 2 << 2 << QStringLiteral(" mA")
                                                << cells("2,2=r2c2 mA") << 2 << 2 << 3;
    QTest::newRow("Ctrl+X empties a cell") << digits << 4 << true << 2 << 3 << QString(cut)
                                           << cells("2,3=") << 2 << 3 << 5;
    QTest::newRow("Ctrl+X empties a long cell")
        << labels << 1 << false << 1 << 2 << QString(300, QLatin1Char('w')) + cut << QStringList{} << 1 << 2 << 2;
    QTest::newRow("Ctrl+X on an empty cell") << ticks << 1 << false << 1 << 0 << QString(cut) << QStringList{}
                                             << 1 << 0 << 2;
    QTest::newRow("typing after Ctrl+X") << ticks << 2 << true << 1 << 1 << QString(cut) + QStringLiteral("22")
                                         << cells("1,1=22") << 1 << 1 << 3;
    QTest::newRow("code page characters") << labels << 1 << false << 1 << 2
                                          << QStringLiteral("5 \u00b5A \u00b10.5\u00b0 \u00e9 x\u00b2 \u20ac")
                                          << QStringList{QStringLiteral("1,2=5 \u00b5A \u00b10.5\u00b0 \u00e9 x\u00b2 \u20ac")}
                                          << 1 << 2 << 2;
    QTest::newRow("refused characters among typed ones")
        << labels << 1 << false << 1 << 2 << QStringLiteral("a\tb\nc\x1b" "d\u03b1e\u2212f") << cells("1,2=abcdef")
        << 1 << 2 << 2;
    QTest::newRow("Enter then typing fills the next cell")
        << labels << 1 << false << 1 << 2 << QStringLiteral("mA") + enter + QStringLiteral("8") + enter
               + QStringLiteral("30")
        << cells("1,2=mA|1,3=8|2,0=30") << 2 << 0 << 3;
    QTest::newRow("Enter in one column appends and moves down")
        << arcs << 1 << false << 1 << 0 << QStringLiteral("20") + enter + QStringLiteral("22") + enter
        << cells("1,0=20|2,0=22") << 3 << 0 << 4;
    QTest::newRow("Enter on a middle row of a 5-row table")
        << ticks << 4 << true << 1 << 2 << QString(enter) << QStringList{} << 2 << 0 << 6;
    QTest::newRow("Backspace after Enter edits the new cell")
        << ticks << 4 << true << 1 << 2 << QString(enter) + bs << cells("2,0=r2c") << 2 << 0 << 6;
}

void TestDesignTable::keySequences()
{
    QFETCH(TableKind, kind);
    QFETCH(int, dataRows);
    QFETCH(bool, labelled);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QStringList, edits);
    QFETCH(int, endRow);
    QFETCH(int, endCol);
    QFETCH(int, endRows);

    // GIVEN a table and a current cell
    DesignTable table(kind);
    fill(table, dataRows, labelled);
    setCurrent(table, row, col);
    const TableRows before = table.rowsData();

    // WHEN the keys are pressed one by one
    for (QChar c : typed)
        tableKeyPress(table, c);

    // THEN the edited cells changed, every other cell is as it was, and the cursor is where expected
    const TableRows expected = expectedAfter(before, kind, endRows - 1, edits);
    QVERIFY2(table.rowsData() == expected, qPrintable(describeRows(table.rowsData())));
    QCOMPARE(table.row(), endRow);
    QCOMPARE(table.col(), endCol);
    QCOMPARE(table.rows(), endRows);
}

void TestDesignTable::enterWalksThroughTheColumns_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QList<int>>("cols"); // Col after each Enter; -1 marks a wrap to the next row

    QTest::newRow("scale arcs") << TableKind::ScaleArcs << QList<int>{-1, -1, -1};
    QTest::newRow("scale tickmarks") << TableKind::ScaleTickmarks << QList<int>{1, 2, -1, 1};
    QTest::newRow("scale digits") << TableKind::ScaleDigits << QList<int>{1, 2, 3, 4, 5, -1, 1};
    QTest::newRow("face labels") << TableKind::FaceLabels << QList<int>{1, 2, 3, -1};
}

void TestDesignTable::enterWalksThroughTheColumns()
{
    QFETCH(TableKind, kind);
    QFETCH(QList<int>, cols);

    DesignTable table(kind);
    setCurrent(table, 1, 0);
    int row = 1;
    int rows = 2;
    for (int expectedCol : cols) {
        QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Changed);
        if (expectedCol < 0) {
            ++row;
            ++rows;
            expectedCol = 0;
        }
        QCOMPARE(table.col(), expectedCol);
        QCOMPARE(table.row(), row);
        QCOMPARE(table.rows(), rows);
    }
    QVERIFY(table.rowsData() == TableRows(rows - 1, emptyRow(kind)));
}

void TestDesignTable::refusedKeysChangeNothing_data()
{
    QTest::addColumn<int>("code");

    QTest::newRow("Tab") << 9;
    QTest::newRow("line feed") << 10;
    QTest::newRow("Escape") << 27;
    QTest::newRow("NUL") << 0;
    QTest::newRow("Ctrl+A") << 1;
    QTest::newRow("Ctrl+C") << 3;
    QTest::newRow("Ctrl+V") << 22;
    QTest::newRow("code 30") << 30;
    QTest::newRow("code 31") << 31;
    QTest::newRow("DEL") << 127;
    QTest::newRow("C1 control 0x80") << 0x80;
    QTest::newRow("C1 control 0x81 (a byte of the code page)") << 0x81;
    QTest::newRow("C1 control 0x9F") << 0x9F;
    QTest::newRow("soft hyphen") << 0xAD;
    QTest::newRow("Latin A with macron") << 0x100;
    QTest::newRow("Greek alpha") << 0x3B1;
    QTest::newRow("minus sign") << 0x2212;
    QTest::newRow("ohm sign") << 0x2126;
    QTest::newRow("CJK ideograph") << 0x4E2D;
    QTest::newRow("lone high surrogate") << 0xD83D;
    QTest::newRow("private use") << 0xE000;
    QTest::newRow("replacement character") << 0xFFFD;
    QTest::newRow("line separator") << 0x2028;
}

void TestDesignTable::refusedKeysChangeNothing()
{
    QFETCH(int, code);

    DesignTable table(TableKind::ScaleDigits);
    fill(table, 3);
    setCurrent(table, 2, 5);
    const TableRows before = table.rowsData();
    QSignalSpy changed(&table, &QAbstractItemModel::dataChanged);

    QCOMPARE(tableKeyPress(table, QChar(char16_t(code))), KeyResult::Ignored);
    QVERIFY(table.rowsData() == before);
    QCOMPARE(table.row(), 2);
    QCOMPARE(table.col(), 5);
    QCOMPARE(table.rows(), 4);
    QCOMPARE(changed.size(), 0);
}

void TestDesignTable::typedCharactersAreExactlyThePrintableCodePage()
{
    // Every character the keyboard may add is one byte of Windows-1252 that reads back as itself.
    // Those are the 95 printable ASCII characters, 27 of bytes 0x80..0x9F and 95 of 0xA0..0xFF
    // (all but the invisible soft hyphen).
    int accepted = 0;
    for (char16_t u = 0; u < 0xFFFF; ++u) {
        DesignTable table(TableKind::ScaleArcs);
        const KeyResult result = tableKeyPress(table, QChar(u));
        if (u == kKeyCut || u == kKeyEnter || u == kKeyBackspace)
            continue;
        if (result == KeyResult::Ignored) {
            QCOMPARE(table.cell(1, 0), QString());
            continue;
        }
        QCOMPARE(result, KeyResult::Changed);
        const QString text = table.cell(1, 0);
        QCOMPARE(text, QString(QChar(u)));
        const QByteArray bytes = encode1252(text);
        QCOMPARE(bytes.size(), 1);
        QCOMPARE(decode1252(bytes), text);
        QVERIFY2(u >= 0x20, QByteArray::number(u));
        ++accepted;
    }
    QCOMPARE(accepted, 95 + 27 + 95);
    QVERIFY(isCellCharacter(QChar(0xB5)));
    QVERIFY(isCellCharacter(QChar(0xB0)));
    QVERIFY(isCellCharacter(QChar(0x20AC)));
    QVERIFY(!isCellCharacter(QChar(0x2212)));
}

void TestDesignTable::noKeyPutsATabOrLineBreakIntoACell()
{
    // A pseudo-random stream of every kind of key press, Enter included, into each table.
    for (TableKind kind : kAllTables) {
        DesignTable table(kind);
        quint32 state = 12345u + static_cast<quint32>(tableIndex(kind));
        for (int press = 0; press < 4000; ++press) {
            state = state * 1664525u + 1013904223u;
            const char16_t pick = static_cast<char16_t>(state >> 16);
            const char16_t code = (state & 0x300u) == 0 ? static_cast<char16_t>(pick % 32) : pick;
            tableKeyPress(table, QChar(code));
        }
        for (const QStringList &row : table.rowsData()) {
            QCOMPARE(row.size(), table.columns());
            for (const QString &cell : row) {
                QVERIFY(!cell.contains(QLatin1Char('\t')));
                QVERIFY(!cell.contains(QLatin1Char('\r')));
                QVERIFY(!cell.contains(QLatin1Char('\n')));
                QCOMPARE(firstUnencodable1252(cell), qsizetype(-1));
            }
        }
        QVERIFY(table.rows() > 2); // the stream held Enter presses in the last column
    }
}

void TestDesignTable::enterRefusesToGrowAFullTable()
{
    // GIVEN a face labels table with the most rows a dial file can hold
    DesignTable table(TableKind::FaceLabels);
    fill(table, kMaxDataRows, false);
    QCOMPARE(table.rows(), kMaxDataRows + 1);

    // WHEN Enter is pressed in the last column of a row above the bottom
    setCurrent(table, 10, 3);
    QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Refused);

    // THEN nothing moved and no row was added
    QCOMPARE(table.rows(), kMaxDataRows + 1);
    QCOMPARE(table.row(), 10);
    QCOMPARE(table.col(), 3);

    // Enter in another column still moves right, and typing still works
    table.setCol(1);
    QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Changed);
    QCOMPARE(table.col(), 2);
    QCOMPARE(tableKeyPress(table, QLatin1Char('7')), KeyResult::Changed);
    QCOMPARE(table.cell(10, 2), QStringLiteral("7"));

    // One row fewer and Enter grows the table to the limit once more
    table.removeItem(5);
    table.setCol(3);
    QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Changed);
    QCOMPARE(table.rows(), kMaxDataRows + 1);
    QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Changed); // col 0 -> 1
    table.setCol(3);
    QCOMPARE(tableKeyPress(table, QChar(kKeyEnter)), KeyResult::Refused);
}

// --- Row commands ---------------------------------------------------------------------------

void TestDesignTable::addOnAFreshTable()
{
    for (TableKind kind : kAllTables) {
        DesignModel model;
        DesignTable &table = model.table(kind);
        table.setText(QStringLiteral("5"));
        setCurrent(table, 1, table.lastColumn());
        QVERIFY(addTableRow(table));
        QCOMPARE(table.rows(), 3);
        QCOMPARE(table.rowsData().at(1), emptyRow(kind));
        QCOMPARE(table.cell(1, 0), QStringLiteral("5"));
        QCOMPARE(table.row(), 1);
        QCOMPARE(table.col(), table.lastColumn());
    }
}

void TestDesignTable::addRefusesAFullTable()
{
    DesignTable table(TableKind::ScaleTickmarks);
    fill(table, kMaxDataRows - 1, false);
    QVERIFY(addTableRow(table));
    QCOMPARE(table.dataRowCount(), kMaxDataRows);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    QVERIFY(!addTableRow(table));
    QCOMPARE(table.dataRowCount(), kMaxDataRows);
    QCOMPARE(inserted.size(), 0);
}

void TestDesignTable::removeCases_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("firstCells"); // column 0 of the data rows afterwards
    QTest::addColumn<int>("endCol");             // -1: not checked (the table's choice)

    QTest::newRow("only row is emptied, digits") << TableKind::ScaleDigits << 1 << 1 << cells("") << 5;
    QTest::newRow("only row is emptied, labels") << TableKind::FaceLabels << 1 << 1 << cells("") << 3;
    QTest::newRow("only row is emptied, arcs") << TableKind::ScaleArcs << 1 << 1 << cells("") << 0;
    QTest::newRow("row 3 of a 5-row table") << TableKind::ScaleTickmarks << 4 << 3
                                            << cells("r1c0|r2c0|r4c0") << -1;
    QTest::newRow("last row of a 5-row table") << TableKind::ScaleTickmarks << 4 << 4
                                               << cells("r1c0|r2c0|r3c0") << -1;
    QTest::newRow("row 1 of a 3-row table") << TableKind::ScaleDigits << 2 << 1 << cells("r2c0") << -1;
    QTest::newRow("header row current") << TableKind::FaceLabels << 3 << 0 << cells("r1c0|r2c0|r3c0")
                                        << 1;
}

void TestDesignTable::removeCases()
{
    QFETCH(TableKind, kind);
    QFETCH(int, dataRows);
    QFETCH(int, row);
    QFETCH(QStringList, firstCells);
    QFETCH(int, endCol);

    DesignTable table(kind);
    fill(table, dataRows);
    setCurrent(table, row, std::min(1, table.lastColumn()));
    removeTableRow(table);

    QCOMPARE(table.rows(), static_cast<int>(firstCells.size()) + 1);
    QStringList cells;
    for (const QStringList &r : table.rowsData())
        cells.append(r.first());
    QCOMPARE(cells, firstCells);
    if (dataRows == 1) {
        QCOMPARE(table.rowsData().at(0), emptyRow(kind));
        QCOMPARE(table.row(), 1);
    }
    if (endCol >= 0)
        QCOMPARE(table.col(), endCol);
    for (int k = 0; k < table.columns(); ++k)
        QCOMPARE(table.title(k), tableInfo(kind).titles.at(k));
    QVERIFY(table.row() >= 0 && table.row() < table.rows());
}

void TestDesignTable::removeTwiceFromThreeRows()
{
    DesignTable table(TableKind::FaceLabels);
    fill(table, 2);
    setCurrent(table, 1, 2);
    removeTableRow(table);
    QCOMPARE(table.rows(), 2);
    QCOMPARE(table.rowsData().at(0).at(0), QStringLiteral("r2c0"));
    table.setRow(1);
    removeTableRow(table);
    QCOMPARE(table.rows(), 2);
    QCOMPARE(table.rowsData(), emptyTable(TableKind::FaceLabels));
}

void TestDesignTable::clearAllTables_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("2 rows") << 2;
    QTest::newRow("5 rows") << 5;
    QTest::newRow("1000 rows") << 1000;
}

void TestDesignTable::clearAllTables()
{
    QFETCH(int, rows);

    DesignModel model;
    for (DesignTable *table : model.tables()) {
        fill(*table, rows - 1);
        setCurrent(*table, 1, 0);
    }
    model.setDimension(Dimension::CardWidth, QStringLiteral("60"));

    vernalith::clearAllTables(model.tables());

    for (TableKind kind : kAllTables) {
        const DesignTable &table = model.table(kind);
        QCOMPARE(table.rows(), 2);
        QCOMPARE(table.rowsData(), emptyTable(kind));
        QCOMPARE(table.row(), 1);
        QCOMPARE(table.col(), table.lastColumn());
        for (int k = 0; k < table.columns(); ++k)
            QCOMPARE(table.title(k), tableInfo(kind).titles.at(k));
    }
    QCOMPARE(model.table(TableKind::ScaleDigits).col(), 5);
    QCOMPARE(model.dimension(Dimension::CardWidth), QStringLiteral("60")); // fields are not touched
}

// --- The design model -----------------------------------------------------------------------

void TestDesignTable::readingTheDesignMovesNoCurrentCell()
{
    DesignModel model;
    int k = 0;
    for (DesignTable *table : model.tables()) {
        fill(*table, 6);
        setCurrent(*table, 2 + k, table->lastColumn() > 0 ? 1 : 0);
        ++k;
    }
    QList<QSignalSpy *> spies;
    for (DesignTable *table : model.tables())
        spies.append(new QSignalSpy(table, &DesignTable::currentCellChanged));

    const DialDesign design = model.design();

    k = 0;
    for (DesignTable *table : model.tables()) {
        QCOMPARE(table->row(), 2 + k);
        QCOMPARE(table->col(), table->lastColumn() > 0 ? 1 : 0);
        QCOMPARE(spies[k]->size(), 0);
        QCOMPARE(design.table(table->kind()), table->rowsData());
        ++k;
    }
    qDeleteAll(spies);
    QCOMPARE(design.dimensions, model.dimensions());

    // The snapshot stays as it was when the model changes afterwards.
    model.table(TableKind::ScaleArcs).setCell(1, 0, QStringLiteral("changed"));
    QCOMPARE(design.table(TableKind::ScaleArcs).at(0).at(0), QStringLiteral("r1c0"));
}

void TestDesignTable::setDesignReplacesEachTableInOneReset()
{
    DesignModel model;
    fill(model.table(TableKind::ScaleDigits), 7);

    DialDesign design = DialDesign::startup();
    design.dimension(Dimension::NeedlePivotY) = QStringLiteral("40");
    design.table(TableKind::ScaleArcs) = rowsOf({"20", "22"});
    design.table(TableKind::ScaleTickmarks) = rowsOf({"10|22|20", "50|22|21", "||"});
    design.table(TableKind::ScaleDigits) = rowsOf({"5|0|100|0|24|6"});
    design.table(TableKind::FaceLabels) = rowsOf({"26|40|mA|8"});

    struct Spies {
        std::unique_ptr<QSignalSpy> reset, inserted, removed, changed;
    };
    std::vector<Spies> spies;
    for (DesignTable *table : model.tables())
        spies.push_back({std::make_unique<QSignalSpy>(table, &QAbstractItemModel::modelReset),
                         std::make_unique<QSignalSpy>(table, &QAbstractItemModel::rowsInserted),
                         std::make_unique<QSignalSpy>(table, &QAbstractItemModel::rowsRemoved),
                         std::make_unique<QSignalSpy>(table, &QAbstractItemModel::dataChanged)});
    QSignalSpy dimensionSpy(&model, &DesignModel::dimensionChanged);

    model.setDesign(design);

    QVERIFY(model.design() == design);
    for (const Spies &s : spies) {
        QCOMPARE(s.reset->size(), 1);
        QCOMPARE(s.inserted->size(), 0);
        QCOMPARE(s.removed->size(), 0);
        QCOMPARE(s.changed->size(), 0);
    }
    QCOMPARE(dimensionSpy.size(), 1); // only the text that differs
    QCOMPARE(dimensionSpy.at(0).at(1).toString(), QStringLiteral("40"));
    for (DesignTable *table : model.tables()) {
        QCOMPARE(table->row(), 1);
        QCOMPARE(table->col(), 0);
    }

    // A table handed in without rows gets its one empty row.
    DialDesign empty = design;
    empty.table(TableKind::FaceLabels).clear();
    model.setDesign(empty);
    QCOMPARE(model.table(TableKind::FaceLabels).rowsData(), emptyTable(TableKind::FaceLabels));
}

void TestDesignTable::modelReportsChanges()
{
    DesignModel model;
    QSignalSpy changed(&model, &DesignModel::changed);
    model.setDimension(Dimension::CardHeight, QStringLiteral("45")); // the same text
    QCOMPARE(changed.size(), 0);
    model.setDimension(Dimension::CardHeight, QStringLiteral("50"));
    QCOMPARE(changed.size(), 1);
    tableKeyPress(model.table(TableKind::ScaleArcs), QLatin1Char('3'));
    QCOMPARE(changed.size(), 2);
    addTableRow(model.table(TableKind::FaceLabels));
    QCOMPARE(changed.size(), 3);
    model.table(TableKind::FaceLabels).setRow(2);
    removeTableRow(model.table(TableKind::FaceLabels));
    QCOMPARE(changed.size(), 4);
}

QTEST_MAIN(TestDesignTable)
#include "test_designtable.moc"
