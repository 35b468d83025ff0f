// Editing the four design tables in the window as a person does: clicking cells, typing into
// the grids, and the "+" and "-" buttons.

// The test tables are written with plain string literals.
#undef QT_NO_CAST_FROM_ASCII

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "frmmain.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace vernalith;
using vernalith::testing::FakeMessages;

Q_DECLARE_METATYPE(vernalith::TableKind)

namespace {

struct Grid {
    QTableView *view;
    DesignTable *table;
};

// The table's data rows as "a|b|c" lines.
QStringList rowTexts(const DesignTable &table)
{
    QStringList lines;
    for (const QStringList &row : table.rowsData())
        lines << row.join(QLatin1Char('|'));
    return lines;
}

} // namespace

class TestFrmMainEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingAppendsAndBackspaceRemoves();
    void backspaceInEmptyCellChangesNothing();
    void ctrlXEmptiesTheCell();
    void enterWalksAcrossAndAppendsARow_data();
    void enterWalksAcrossAndAppendsARow();
    void enterOnAMiddleRowAppendsAtTheBottom();
    void enterInATableDoesNotPressPreview();
    void enterInAFieldPressesPreview();
    void codePageCharactersAreAccepted();
    void otherCharactersAreRefused_data();
    void otherCharactersAreRefused();
    void aFullTableRefusesEnterAndPlusWithABeep();

    void plusAppendsAnEmptyRowAndKeepsTheCurrentCell_data();
    void plusAppendsAnEmptyRowAndKeepsTheCurrentCell();
    void minusOnTheOnlyRowEmptiesIt();
    void minusRemovesTheCurrentRow();
    void minusActsOnlyOnTheCurrentRowWhateverIsHighlighted();
    void repaintLeavesTheCurrentCellWhereTheUserPutIt();

private:
    Grid grid(TableKind kind);
    void clickCell(const Grid &g, int gridRow, int col);
    void fill(TableKind kind, const TableRows &rows);

    std::unique_ptr<FrmMain> m_window;
    FakeMessages m_messages;
};

void TestFrmMainEditing::init()
{
    m_messages = FakeMessages();
    m_window = std::make_unique<FrmMain>();
    m_window->setMessageSink(&m_messages);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmMainEditing::cleanup()
{
    m_window.reset();
}

Grid TestFrmMainEditing::grid(TableKind kind)
{
    auto *view = m_window->findChild<QTableView *>(QString::fromLatin1(tableInfo(kind).controlName));
    return {view, &m_window->table(kind)};
}

void TestFrmMainEditing::clickCell(const Grid &g, int gridRow, int col)
{
    const QModelIndex index = g.view->model()->index(gridRow - 1, col);
    g.view->scrollTo(index);
    QTest::mouseClick(g.view->viewport(), Qt::LeftButton, Qt::NoModifier, g.view->visualRect(index).center());
}

void TestFrmMainEditing::fill(TableKind kind, const TableRows &rows)
{
    DialDesign design = m_window->model().design();
    design.table(kind) = rows;
    m_window->model().setDesign(design);
}

void TestFrmMainEditing::typingAppendsAndBackspaceRemoves()
{
    const Grid g = grid(TableKind::ScaleArcs);
    clickCell(g, 1, 0);
    QCOMPARE(QApplication::focusWidget(), g.view);
    QTest::keyClicks(g.view, QStringLiteral("12.5"));
    QCOMPARE(g.table->cell(1, 0), QStringLiteral("12.5"));
    QCOMPARE(g.view->model()->index(0, 0).data().toString(), QStringLiteral("12.5"));
    QTest::keyClick(g.view, Qt::Key_Backspace);
    QCOMPARE(g.table->cell(1, 0), QStringLiteral("12."));
    QCOMPARE(g.table->rows(), 2);
}

void TestFrmMainEditing::backspaceInEmptyCellChangesNothing()
{
    const Grid g = grid(TableKind::FaceLabels);
    clickCell(g, 1, 2);
    QTest::keyClick(g.view, Qt::Key_Backspace);
    QCOMPARE(g.table->cell(1, 2), QString());
    QCOMPARE(g.table->rows(), 2);
    QCOMPARE(g.table->row(), 1);
    QCOMPARE(g.table->col(), 2);
}

void TestFrmMainEditing::ctrlXEmptiesTheCell()
{
    const Grid g = grid(TableKind::ScaleDigits);
    fill(TableKind::ScaleDigits, {{"10", "0", "100", "0.0", "18", "8"}, {"5", "0", "50", "#", "20", "6"}});
    clickCell(g, 2, 3);
    QTest::keyClick(g.view, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(rowTexts(*g.table), (QStringList{"10|0|100|0.0|18|8", "5|0|50||20|6"}));
    QCOMPARE(g.table->row(), 2);
    QCOMPARE(g.table->col(), 3);
    QCOMPARE(g.table->rows(), 3);
}

void TestFrmMainEditing::enterWalksAcrossAndAppendsARow_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<int>("columns");
    QTest::newRow("scale arcs, 1 column") << TableKind::ScaleArcs << 1;
    QTest::newRow("face labels, 4 columns") << TableKind::FaceLabels << 4;
    QTest::newRow("scale digits, 6 columns") << TableKind::ScaleDigits << 6;
}

void TestFrmMainEditing::enterWalksAcrossAndAppendsARow()
{
    QFETCH(TableKind, kind);
    QFETCH(int, columns);
    const Grid g = grid(kind);
    clickCell(g, 1, 0);

    QList<QPoint> walk; // (row, col) after each Enter
    for (int i = 0; i < columns + 1; ++i) {
        QTest::keyClick(g.view, Qt::Key_Return);
        walk << QPoint(g.table->row(), g.table->col());
        // The view shows the same cell as current.
        QCOMPARE(g.view->currentIndex(), g.view->model()->index(g.table->row() - 1, g.table->col()));
    }
    QList<QPoint> expected;
    for (int col = 1; col < columns; ++col)
        expected << QPoint(1, col);
    expected << QPoint(2, 0) << QPoint(columns == 1 ? 3 : 2, columns == 1 ? 0 : 1);
    QCOMPARE(walk, expected);
    QCOMPARE(g.table->rows(), columns == 1 ? 4 : 3);
}

void TestFrmMainEditing::enterOnAMiddleRowAppendsAtTheBottom()
{
    const Grid g = grid(TableKind::ScaleTickmarks);
    fill(TableKind::ScaleTickmarks, {{"10", "22", "18"}, {"50", "22", "20"}, {"5", "23", "17"}, {"1", "2", "3"}});
    QCOMPARE(g.table->rows(), 5);
    clickCell(g, 1, 2);
    QTest::keyClick(g.view, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(g.table->row(), 2);
    QCOMPARE(g.table->col(), 0);
    QCOMPARE(g.table->rows(), 6);
    QCOMPARE(rowTexts(*g.table),
             (QStringList{"10|22|18", "50|22|20", "5|23|17", "1|2|3", "||"}));
}

void TestFrmMainEditing::enterInATableDoesNotPressPreview()
{
    const Grid g = grid(TableKind::ScaleArcs);
    QSignalSpy preview(m_window->findChild<QPushButton *>(QStringLiteral("cmdPreview")), &QPushButton::clicked);
    clickCell(g, 1, 0);
    QTest::keyClick(g.view, Qt::Key_Return);
    QCOMPARE(preview.count(), 0);
    QCOMPARE(g.table->rows(), 3);
}

void TestFrmMainEditing::enterInAFieldPressesPreview()
{
    QSignalSpy preview(m_window->findChild<QPushButton *>(QStringLiteral("cmdPreview")), &QPushButton::clicked);
    auto *field = m_window->findChild<QWidget *>(QStringLiteral("txtCardHeight"));
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(preview.count(), 1);
}

void TestFrmMainEditing::codePageCharactersAreAccepted()
{
    const Grid g = grid(TableKind::FaceLabels);
    clickCell(g, 1, 2);
    // Typed as a keyboard delivers them: one key event per character.
    for (const QChar c : QStringLiteral("µA ±5° é²~€")) {
        QTest::sendKeyEvent(QTest::Click, g.view, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCOMPARE(g.table->cell(1, 2), QStringLiteral("µA ±5° é²~€"));
}

void TestFrmMainEditing::otherCharactersAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("tab character") << QStringLiteral("\t");
    QTest::newRow("line feed") << QStringLiteral("\n");
    QTest::newRow("carriage return as text") << QStringLiteral("\r");
    QTest::newRow("code 30") << QString(QChar(30));
    QTest::newRow("code 31") << QString(QChar(31));
    QTest::newRow("delete, 127") << QString(QChar(127));
    QTest::newRow("C1 control, 133") << QString(QChar(133));
    QTest::newRow("no Windows-1252 byte (Omega)") << QStringLiteral("Ω");
}

void TestFrmMainEditing::otherCharactersAreRefused()
{
    QFETCH(QString, text);
    const Grid g = grid(TableKind::ScaleDigits);
    clickCell(g, 1, 3);
    QTest::keyClicks(g.view, QStringLiteral("0.0"));
    QTest::sendKeyEvent(QTest::Click, g.view, Qt::Key_unknown, text, Qt::NoModifier);
    QCOMPARE(g.table->cell(1, 3), QStringLiteral("0.0"));
    QCOMPARE(g.table->rows(), 2);
    QCOMPARE(g.table->col(), 3);
}

void TestFrmMainEditing::aFullTableRefusesEnterAndPlusWithABeep()
{
    const Grid g = grid(TableKind::ScaleArcs);
    fill(TableKind::ScaleArcs, TableRows(kMaxDataRows, QStringList{QStringLiteral("20")}));
    clickCell(g, 1, 0);
    QTest::keyClick(g.view, Qt::Key_Return);
    QCOMPARE(m_messages.beeps, 1);
    QCOMPARE(g.table->dataRowCount(), kMaxDataRows);
    QCOMPARE(g.table->row(), 1);

    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdAddScaleArc")), Qt::LeftButton);
    QCOMPARE(m_messages.beeps, 2);
    QCOMPARE(g.table->dataRowCount(), kMaxDataRows);
    QVERIFY(m_messages.texts.isEmpty());
}

void TestFrmMainEditing::plusAppendsAnEmptyRowAndKeepsTheCurrentCell_data()
{
    QTest::addColumn<TableKind>("kind");
    QTest::addColumn<QString>("button");
    QTest::newRow("scale arcs") << TableKind::ScaleArcs << "cmdAddScaleArc";
    QTest::newRow("scale tickmarks") << TableKind::ScaleTickmarks << "cmdAddTickmarks";
    QTest::newRow("scale digits") << TableKind::ScaleDigits << "cmdAddScaleDigit";
    QTest::newRow("face labels") << TableKind::FaceLabels << "cmdAddFaceLabel";
}

void TestFrmMainEditing::plusAppendsAnEmptyRowAndKeepsTheCurrentCell()
{
    QFETCH(TableKind, kind);
    QFETCH(QString, button);
    const Grid g = grid(kind);
    clickCell(g, 1, g.table->lastColumn());
    QTest::keyClicks(g.view, QStringLiteral("7"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(g.table->rows(), 3);
    QCOMPARE(g.table->row(), 1);
    QCOMPARE(g.table->col(), g.table->lastColumn());
    for (int col = 0; col < g.table->columns(); ++col)
        QCOMPARE(g.table->cell(2, col), QString());
    QCOMPARE(g.table->cell(1, g.table->lastColumn()), QStringLiteral("7"));
}

void TestFrmMainEditing::minusOnTheOnlyRowEmptiesIt()
{
    const Grid g = grid(TableKind::ScaleDigits);
    fill(TableKind::ScaleDigits, {{"10", "0", "100", "0", "18", "8"}});
    clickCell(g, 1, 1);
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdDelScaleDigit")), Qt::LeftButton);
    QCOMPARE(rowTexts(*g.table), QStringList{"|||||"});
    QCOMPARE(g.table->rows(), 2);
    QCOMPARE(g.table->row(), 1);
    QCOMPARE(g.table->col(), 5);
}

void TestFrmMainEditing::minusRemovesTheCurrentRow()
{
    const Grid g = grid(TableKind::FaceLabels);
    fill(TableKind::FaceLabels, {{"1", "1", "a", "8"}, {"2", "2", "b", "8"}, {"3", "3", "c", "8"},
                                 {"4", "4", "d", "8"}});
    auto *minus = m_window->findChild<QPushButton *>(QStringLiteral("cmdDelFaceLabel"));
    clickCell(g, 3, 2);
    QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(rowTexts(*g.table), (QStringList{"1|1|a|8", "2|2|b|8", "4|4|d|8"}));
    QCOMPARE(g.table->rows(), 4);

    clickCell(g, 3, 0); // the last row
    QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(rowTexts(*g.table), (QStringList{"1|1|a|8", "2|2|b|8"}));
}

void TestFrmMainEditing::minusActsOnlyOnTheCurrentRowWhateverIsHighlighted()
{
    const Grid g = grid(TableKind::ScaleTickmarks);
    fill(TableKind::ScaleTickmarks, {{"1", "", ""}, {"2", "", ""}, {"3", "", ""}, {"4", "", ""}});
    // Highlight rows 1 to 3 by a click and a Shift+click: the current cell is where the
    // Shift+click landed.
    clickCell(g, 1, 0);
    const QModelIndex third = g.view->model()->index(2, 1);
    QTest::mouseClick(g.view->viewport(), Qt::LeftButton, Qt::ShiftModifier, g.view->visualRect(third).center());
    QVERIFY(g.view->selectionModel()->selectedIndexes().size() >= 3);
    QCOMPARE(g.table->row(), 3);

    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdDelTickmarks")), Qt::LeftButton);
    QCOMPARE(rowTexts(*g.table), (QStringList{"1||", "2||", "4||"}));
}

void TestFrmMainEditing::repaintLeavesTheCurrentCellWhereTheUserPutIt()
{
    const Grid g = grid(TableKind::ScaleTickmarks);
    fill(TableKind::ScaleTickmarks, {{"10", "22", "18"}, {"50", "22", "20"}, {"", "", ""}});
    clickCell(g, 2, 1);
    QTest::keyClick(g.view, Qt::Key_Backspace);

    // Preview, a full repaint and a grab of the window all draw the whole design.
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdPreview")), Qt::LeftButton);
    m_window->centralWidget()->repaint();
    (void)m_window->grab();
    QCOMPARE(g.table->row(), 2);
    QCOMPARE(g.table->col(), 1);
    QCOMPARE(g.view->currentIndex(), g.view->model()->index(1, 1));

    QTest::keyClick(g.view, Qt::Key_1);
    QCOMPARE(rowTexts(*g.table), (QStringList{"10|22|18", "50|21|20", "||"}));
}

QTEST_MAIN(TestFrmMainEditing)
#include "test_frmmain_editing.moc"
