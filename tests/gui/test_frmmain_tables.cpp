// The four design tables as a person works them: a click in a cell, keys as a keyboard sends them
// (the keypad's Enter carries the keypad modifier), the "+" and "-" buttons, the clipboard, where
// typing goes after Open, and which table shows the focus. Tables are written as rows "a|b|c"; a
// "7" typed last shows where the current cell is.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "currentcelldelegate.h"
#include "design/designtable.h"
#include "fakes.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

struct EditCase {
    const char *name;
    TableKind kind;
    QStringList before;
    QStringList actions; // as act() takes them
    QStringList after;
    QString clipboard = {}; // put on the clipboard first; empty: left as it was
    QString copied = {}; // on the clipboard afterwards; empty: unchanged
    int beeps = 0;
};
Q_DECLARE_METATYPE(EditCase)

// What each key does to a table is test_designtable's and test_rowtext's; here, that the window's
// keys, buttons and clipboard reach it, and that the view shows the cell the table has as current.
static const QStringList kTicks = {"10|22|20", "50|22|21", "5|22|21.5"};
static const QStringList kFour = {"1||", "2||", "3||", "4||"};
static const QStringList kNearlyFull(kMaxDataRows - 1, "20");
static const EditCase kEdits[] = {
    {"12.5, Backspace", TableKind::ScaleArcs, {""}, {"click 1", "12.5", "Backspace"}, {"12."}},
    {"Ctrl+X empties the cell, not the clipboard", TableKind::ScaleTickmarks, kTicks, {"click 2 1", "Ctrl+X"},
     {kTicks[0], "50||21", kTicks[2]}, "keep"},
    {"Enter on a middle row", TableKind::ScaleTickmarks, kTicks, {"click 1 2", "Enter", "7"},
     {kTicks[0], "507|22|21", kTicks[2], "||"}},
    {"+, tickmarks", TableKind::ScaleTickmarks, kFour, {"click 2 2", "[+]", "7"}, {"1||", "2||7", "3||", "4||", "||"}},
    {"-, rows 1 to 3 highlighted", TableKind::ScaleArcs, {"1", "2", "3", "4"}, {"click 1", "Shift+click 3", "[-]"},
     {"1", "2", "4"}},
    {"a repaint", TableKind::ScaleTickmarks, kTicks, {"click 2 1", "Preview", "1"},
     {kTicks[0], "50|221|21", kTicks[2]}},
    {"a full table refuses Enter and + with a beep", TableKind::ScaleArcs, kNearlyFull + QStringList{"20"},
     {"click 32766", "Enter", "[+]"}, kNearlyFull + QStringList{"20"}, "", "", 2},
    {"Ctrl+C copies the current row", TableKind::ScaleTickmarks, kTicks, {"click 2", "Ctrl+C"}, kTicks, "",
     "50\t22\t21\n"},
    {"Ctrl+C copies the selected rows", TableKind::ScaleTickmarks, kTicks, {"click 1", "Shift+click 2", "Ctrl+C"},
     kTicks, "", "10\t22\t20\n50\t22\t21\n"},
    {"Ctrl+V inserts after the current row, typing goes on in the last", TableKind::ScaleTickmarks, kTicks,
     {"click 1", "Ctrl+V", "7"}, {"10|22|20", "1|2|3", "47|5|6", "50|22|21", "5|22|21.5"}, "1\t2\t3\n4\t5\t6\n"},
    {"Shift+Insert pastes too", TableKind::ScaleArcs, {"20"}, {"click 1", "Shift+Insert"}, {"20", "22"}, "22"},
    {"a nearly full table: what fits, then a beep each time", TableKind::ScaleArcs, kNearlyFull,
     {"click 1", "Ctrl+V", "Ctrl+V"}, QStringList{"20", "1"} + kNearlyFull.mid(1), "1\n2\n3\n", "", 2},
};

class TestFrmMainTables : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    void fill(TableKind kind, const QStringList &lines) { testing::fillTable(w->window.table(kind), lines); }
    void type(QWidget *target, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // "Enter", "Backspace", "Ctrl+C", "Ctrl+V", "Ctrl+X", "Shift+Insert", the table's "[+]" and "[-]"
    // buttons, "click ROW [COLUMN]", "Shift+click ROW", "Preview"; any other text is typed.
    void act(TableKind kind, const QString &what)
    {
        static const QHash<QString, QKeyCombination> keys = {{"Enter", Qt::Key_Return},
                                                             {"Backspace", Qt::Key_Backspace},
                                                             {"Ctrl+C", Qt::CTRL | Qt::Key_C},
                                                             {"Ctrl+V", Qt::CTRL | Qt::Key_V},
                                                             {"Ctrl+X", Qt::CTRL | Qt::Key_X},
                                                             {"Shift+Insert", Qt::SHIFT | Qt::Key_Insert}};
        QTableView *view = w->view(kind);
        if (keys.contains(what)) {
            QTest::keyClick(view, keys[what].key(), keys[what].keyboardModifiers());
        } else if (what.startsWith('[')) {
            for (QPushButton *button : view->parentWidget()->findChildren<QPushButton *>())
                if (button->text() == what.mid(1, 1))
                    QTest::mouseClick(button, Qt::LeftButton);
        } else if (what.startsWith("click ") || what.startsWith("Shift+click ")) {
            const QModelIndex index = view->model()->index(what.section(' ', 1, 1).toInt() - 1,
                                                           what.section(' ', 2, 2).toInt());
            view->scrollTo(index);
            const Qt::KeyboardModifiers modifiers = what.startsWith("Shift") ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
        } else if (what == "Preview") {
            QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
            w->window.centralWidget()->repaint();
        } else {
            type(view, what);
        }
    }

private slots:
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        QApplication::clipboard()->setText("before");
    }

    void keysButtonsAndClipboard_data() { testing::addCases(kEdits); }
    void keysButtonsAndClipboard()
    {
        QFETCH(EditCase, c);
        QSignalSpy preview(w->child<QPushButton>("cmdPreview"), &QPushButton::clicked);
        fill(c.kind, c.before);
        if (!c.clipboard.isEmpty())
            QApplication::clipboard()->setText(c.clipboard);
        const QString clipboard = QApplication::clipboard()->text();
        for (const QString &what : c.actions)
            act(c.kind, what);
        QCOMPARE(testing::tableLines(w->window.table(c.kind)), c.after);
        QCOMPARE(QApplication::clipboard()->text(), c.copied.isEmpty() ? clipboard : c.copied);
        QCOMPARE(w->messages.beeps, c.beeps);
        const DesignTable &table = w->window.table(c.kind);
        QCOMPARE(w->view(c.kind)->currentIndex(), table.index(table.row() - 1, table.col()));
        QCOMPARE(preview.count(), c.actions.count("Preview")); // Enter in a table is the table's, not Preview's
    }

    void enterKeys_data()
    {
        QTest::addColumn<QString>("where"); // a table or a dimension field; Return in a table: keysButtonsAndClipboard
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("tickmarks"); // afterwards, with "7" typed after the key
        QTest::addColumn<int>("previews");
        const QStringList moved{"1|27|3"}, untouched{"17|2|3"}; // the table's current cell moved, or not
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("keypad Enter, table") << "grdScaleTickmarks" << int(Qt::Key_Enter) << keypad << moved << 0;
        QTest::newRow("Return, field") << "txtCardWidth" << int(Qt::Key_Return) << 0 << untouched << 1;
        QTest::newRow("keypad Enter, field") << "txtCardWidth" << int(Qt::Key_Enter) << keypad << untouched << 1;
    }
    void enterKeys()
    {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, previews);
        fill(TableKind::ScaleTickmarks, {"1|2|3"});
        QSignalSpy preview(w->child<QPushButton>("cmdPreview"), &QPushButton::clicked);
        QWidget *target = w->child(qPrintable(where));
        target->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTableView *ticks = w->view(TableKind::ScaleTickmarks);
        ticks->setFocus(Qt::OtherFocusReason);
        type(ticks, "7");
        QTEST(testing::tableLines(w->window.table(TableKind::ScaleTickmarks)), "tickmarks");
        QCOMPARE(preview.count(), previews);
    }

    // Tab and Shift+Tab belong to the window's order, however many cells a table has to move through.
    void tabLeavesATableOfManyCells_data()
    {
        QTest::addColumn<bool>("back");
        QTest::addColumn<QString>("next");
        QTest::newRow("Tab") << false << "cmdAddTickmarks";
        QTest::newRow("Shift+Tab") << true << "cmdDelScaleDigit";
    }
    void tabLeavesATableOfManyCells()
    {
        QFETCH(bool, back);
        DesignTable &ticks = w->window.table(TableKind::ScaleTickmarks);
        testing::fillTable(ticks, {"1|2|3", "4|5|6", "7|8|9"});
        ticks.setRow(2);
        ticks.setCol(1);
        QTableView *view = w->view(TableKind::ScaleTickmarks);
        view->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(view->hasFocus());
        QTest::keyClick(view, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        QTEST(QApplication::focusWidget()->objectName(), "next");
        QCOMPARE(ticks.row(), 2);
        QCOMPARE(ticks.col(), 1);
    }

    // The cursor on a row the opened design does not have, in a table that keeps the focus
    // throughout (a focus coming in would set a current cell of its own).
    void typingAfterOpenGoesIntoADataCell()
    {
        QTemporaryDir dir;
        QVERIFY(testing::writeFile(dir.filePath("example.vlt"), testing::kWorkedExample));
        fill(TableKind::ScaleArcs, {"1", "2", "3", "4", "5"});
        DesignTable &arcs = w->window.table(TableKind::ScaleArcs);
        arcs.setRow(5);
        arcs.setCol(0);
        QTableView *view = w->view(TableKind::ScaleArcs);
        view->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(view->hasFocus());
        w->files.answers << dir.filePath("example.vlt");
        w->child<QAction>("mnuOpen")->trigger();
        QVERIFY(view->hasFocus());
        type(view, "7");
        QCOMPARE(arcs.cell(1, 0), "207");
        QCOMPARE(view->currentIndex(), arcs.index(0, 0)); // the cell typed into is the one shown
    }

    void theFocusedTableIsMarked_data()
    {
        QTest::addColumn<QString>("focused"); // a field: no table is marked
        for (TableKind kind : kAllTables)
            QTest::newRow(tableInfo(kind).controlName) << QString::fromLatin1(tableInfo(kind).controlName);
        QTest::newRow("a field") << "txtCardWidth";
    }
    void theFocusedTableIsMarked()
    {
        QFETCH(QString, focused);
        QWidget *widget = w->child<QWidget>(qPrintable(focused));
        widget->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        const QPalette palette = w->view(TableKind::ScaleArcs)->palette();
        const QColor strong = CurrentCellDelegate::strongColor(palette);
        const QColor muted = CurrentCellDelegate::mutedColor(palette);
        QVERIFY(strong != muted);
        for (TableKind kind : kAllTables) {
            // A pixel of the current cell's background clear of its text, and one on the viewport's
            // edge where the focus frame runs, clear of the grid lines.
            QTableView *view = w->view(kind);
            const QImage image = view->viewport()->grab().toImage();
            const QRect cell = view->visualRect(view->currentIndex());
            QCOMPARE(image.pixelColor(cell.right() - 3, cell.bottom() - 2), view == widget ? strong : muted);
            QCOMPARE(image.pixelColor(0, image.height() - 3) == strong, view == widget);
        }
    }

    void headersCutShortShowTheirTitleAsATooltip_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("Inner Radius") << TableKind::ScaleTickmarks << 2 << "Inner Radius";
        QTest::newRow("digits Fontsize fits its wider column") << TableKind::ScaleDigits << 5 << "";
        QTest::newRow("labels Fontsize") << TableKind::FaceLabels << 3 << "Fontsize";
    }
    void headersCutShortShowTheirTitleAsATooltip()
    {
        QFETCH(TableKind, kind);
        QFETCH(int, column);
        QHeaderView *header = w->view(kind)->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 3, header->height() / 2);
        QHelpEvent help(QEvent::ToolTip, at, header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &help);
        QTEST(QToolTip::isVisible() ? QToolTip::text() : QString(), "tooltip");
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestFrmMainTables)
#include "test_frmmain_tables.moc"
