// Editing the four design tables as a person does: a click in a cell, then keys and the "+" and
// "-" buttons. Tables are written as rows "a|b|c"; a "7" typed last shows where the current cell is.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "fakes.h"

#include <QPushButton>
#include <QSignalSpy>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

class TestFrmMainEditing : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    QStringList rows(TableKind kind) { return testing::tableLines(w->window.table(kind)); }
    void fill(TableKind kind, const QStringList &lines) { testing::fillTable(w->window.table(kind), lines); }
    void click(TableKind kind, int row, int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTableView *view = w->view(kind);
        view->scrollTo(view->model()->index(row - 1, col));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(view->model()->index(row - 1, col)).center());
    }
    // "Enter", "Backspace", "Ctrl+X", the table's "[+]" and "[-]" buttons, "Shift+click N" (row N),
    // "Preview"; any other text is typed one key event per character, as a keyboard sends it.
    void act(TableKind kind, const QString &what)
    {
        QTableView *view = w->view(kind);
        const QHash<QString, QKeyCombination> keys = {
            {"Enter", Qt::Key_Return}, {"Backspace", Qt::Key_Backspace}, {"Ctrl+X", Qt::CTRL | Qt::Key_X}};
        if (keys.contains(what)) {
            QTest::keyClick(view, keys[what].key(), keys[what].keyboardModifiers());
        } else if (what.startsWith('[')) {
            for (QPushButton *button : view->parentWidget()->findChildren<QPushButton *>())
                if (button->text() == what.mid(1, 1))
                    QTest::mouseClick(button, Qt::LeftButton);
        } else if (what.startsWith("Shift+click ")) {
            click(kind, what.mid(12).toInt(), 0, Qt::ShiftModifier);
        } else if (what == "Preview") {
            QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
            w->window.centralWidget()->repaint();
        } else {
            for (const QChar c : what)
                QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

private slots:
    void init() { w = std::make_unique<testing::ShownWindow>(); QVERIFY(QTest::qWaitForWindowActive(&w->window)); }

    void keysAndButtons_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QPoint>("clicked"); // (row, column)
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const char *name, TableKind kind, QStringList before, QPoint at, QStringList actions,
                            QStringList after) { QTest::newRow(name) << kind << before << at << actions << after; };
        // What each key does to a table is test_designtable's; here, that the window's keys reach it.
        const QStringList ticks = {"10|22|18", "50|22|20", "5|23|17"}, four = {"1||", "2||", "3||", "4||"};
        row("12.5, Backspace", TableKind::ScaleArcs, {""}, {1, 0}, {"12.5", "Backspace"}, {"12."});
        row("Ctrl+X", TableKind::ScaleTickmarks, ticks, {2, 1}, {"Ctrl+X"}, {ticks[0], "50||20", ticks[2]});
        row("Enter in 6 columns", TableKind::ScaleDigits, {"|||||"}, {1, 0}, QStringList(7, "Enter") << "7",
            {"|||||", "|7||||"});
        row("Enter on a middle row", TableKind::ScaleTickmarks, ticks, {1, 2}, {"Enter", "7"},
            {ticks[0], "507|22|20", ticks[2], "||"});
        row("tab, line feeds, 30, 31, 127, 133 refused; Ω, ∞ taken", TableKind::FaceLabels, {"|||"}, {1, 2},
            {"\t\n\r\x1e\x1f\x7f\u0085Ω∞"}, {"||Ω∞|"});
        row("+, tickmarks", TableKind::ScaleTickmarks, four, {2, 2}, {"[+]", "7"}, {"1||", "2||7", "3||", "4||", "||"});
        row("-, the only row", TableKind::ScaleDigits, {"1|2|3|4|5|6"}, {1, 1}, {"[-]"}, {"|||||"});
        row("-, a middle row", TableKind::FaceLabels, {"1|||", "2|||", "3|||"}, {2, 0}, {"[-]"}, {"1|||", "3|||"});
        row("-, rows 1 to 3 highlighted", TableKind::ScaleArcs, {"1", "2", "3", "4"}, {1, 0}, {"Shift+click 3", "[-]"},
            {"1", "2", "4"});
        row("a repaint", TableKind::ScaleTickmarks, ticks, {2, 1}, {"Preview", "1"}, {ticks[0], "50|221|20", ticks[2]});
    }
    void keysAndButtons()
    {
        QFETCH(TableKind, kind);
        QFETCH(QPoint, clicked);
        QFETCH(QStringList, before);
        QFETCH(QStringList, actions);
        QSignalSpy preview(w->child<QPushButton>("cmdPreview"), &QPushButton::clicked);
        fill(kind, before);
        click(kind, clicked.x(), clicked.y());
        for (const QString &what : actions)
            act(kind, what);
        QTEST(rows(kind), "after");
        const DesignTable &table = w->window.table(kind);
        QCOMPARE(w->view(kind)->currentIndex(), table.index(table.row() - 1, table.col())); // the view follows
        QCOMPARE(preview.count(), actions.count("Preview")); // Enter in a table is the table's, not Preview's
    }

    void aFullTableRefusesEnterAndPlusWithABeep()
    {
        fill(TableKind::ScaleArcs, QStringList(kMaxDataRows, "20"));
        click(TableKind::ScaleArcs, kMaxDataRows, 0);
        act(TableKind::ScaleArcs, "Enter");
        act(TableKind::ScaleArcs, "[+]");
        QCOMPARE(w->messages.beeps, 2);
        QCOMPARE(w->window.table(TableKind::ScaleArcs).dataRowCount(), kMaxDataRows);
    }
};

QTEST_MAIN(TestFrmMainEditing)
#include "test_frmmain_editing.moc"
