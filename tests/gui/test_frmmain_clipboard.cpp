// Copying and pasting table rows with the keyboard, as a person moves rows between the window
// and a spreadsheet: Ctrl+C copies tab-separated lines, Ctrl+V inserts them after the current
// row, and Ctrl+X still only empties the cell. Tables are written as rows "a|b|c".

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "fakes.h"

#include <QClipboard>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

class TestFrmMainClipboard : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    QStringList rows(TableKind kind) { return testing::tableLines(w->window.table(kind)); }
    void fill(TableKind kind, const QStringList &lines) { testing::fillTable(w->window.table(kind), lines); }
    void click(TableKind kind, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTableView *view = w->view(kind);
        const QModelIndex index = view->model()->index(row - 1, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
    }
    // "Ctrl+C", "Ctrl+V", "Ctrl+X", "Shift+Insert", "click N", "Shift+click N".
    void act(TableKind kind, const QString &what)
    {
        const QHash<QString, QKeyCombination> keys = {{"Ctrl+C", Qt::CTRL | Qt::Key_C},
                                                      {"Ctrl+V", Qt::CTRL | Qt::Key_V},
                                                      {"Ctrl+X", Qt::CTRL | Qt::Key_X},
                                                      {"Shift+Insert", Qt::SHIFT | Qt::Key_Insert}};
        if (keys.contains(what))
            QTest::keyClick(w->view(kind), keys[what].key(), keys[what].keyboardModifiers());
        else if (what.startsWith("click "))
            click(kind, what.mid(6).toInt());
        else if (what.startsWith("Shift+click "))
            click(kind, what.mid(12).toInt(), Qt::ShiftModifier);
        else
            QFAIL(qPrintable("unknown action " + what));
    }

private slots:
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        QApplication::clipboard()->setText("before");
    }

    void copyAndPaste_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::addColumn<int>("beeps");

        const QStringList ticks = {"10|22|20", "50|22|21", "5|22|21.5"};
        auto row = [](const char *name, TableKind kind, const QStringList &before, const QString &clipboard,
                      const QStringList &actions, const QStringList &after, const QString &clipboardAfter,
                      int beeps) {
            QTest::newRow(name) << kind << before << clipboard << actions << after << clipboardAfter << beeps;
        };
        row("Ctrl+C copies the current row", TableKind::ScaleTickmarks, ticks, "", {"click 2", "Ctrl+C"}, ticks,
            "50\t22\t21\n", 0);
        row("Ctrl+C copies the selected rows", TableKind::ScaleTickmarks, ticks, "",
            {"click 1", "Shift+click 2", "Ctrl+C"}, ticks, "10\t22\t20\n50\t22\t21\n", 0);
        row("Ctrl+V inserts after the current row", TableKind::ScaleTickmarks, ticks, "1\t2\t3\n4\t5\t6\n",
            {"click 1", "Ctrl+V"}, {"10|22|20", "1|2|3", "4|5|6", "50|22|21", "5|22|21.5"}, "1\t2\t3\n4\t5\t6\n", 0);
        row("Shift+Insert pastes too", TableKind::ScaleArcs, {"20"}, "22", {"click 1", "Shift+Insert"}, {"20", "22"},
            "22", 0);
        row("a control character: a beep and nothing pasted", TableKind::FaceLabels, {"26|40|mA|8"},
            "1\t2\tok\t8\n1\t2\tb\x01\t8\n", {"click 1", "Ctrl+V"}, {"26|40|mA|8"}, "1\t2\tok\t8\n1\t2\tb\x01\t8\n",
            1);
        row("Ctrl+X empties the cell and leaves the clipboard", TableKind::ScaleArcs, {"20", "22"}, "keep",
            {"click 2", "Ctrl+X"}, {"20", ""}, "keep", 0);
        const QStringList nearlyFull(kMaxDataRows - 1, "20");
        row("a nearly full table: what fits, then a beep each time", TableKind::ScaleArcs, nearlyFull, "1\n2\n3\n",
            {"click 1", "Ctrl+V", "Ctrl+V"}, QStringList{"20", "1"} + nearlyFull.mid(1), "1\n2\n3\n", 2);
    }

    void copyAndPaste()
    {
        QFETCH(TableKind, kind);
        QFETCH(QStringList, before);
        QFETCH(QString, clipboard);
        QFETCH(QStringList, actions);
        fill(kind, before);
        if (!clipboard.isEmpty())
            QApplication::clipboard()->setText(clipboard);
        for (const QString &what : actions)
            act(kind, what);
        QTEST(rows(kind), "after");
        QString clipboardAfter = QApplication::clipboard()->text();
        QTEST(clipboardAfter, "clipboardAfter");
        QTEST(w->messages.beeps, "beeps");
    }
};

QTEST_MAIN(TestFrmMainClipboard)
#include "test_frmmain_clipboard.moc"
