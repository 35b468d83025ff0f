// The designer window as a person uses it: the controls as it comes up and the Tab order; the four tables by
// keyboard, mouse and clipboard (rows written "a|b|c"; a "7" typed last shows where the current cell is);
// F1, Help > Contents (whose links test_desktopintegration follows) and the About box.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "currentcelldelegate.h"
#include "design/designtable.h"
#include "fakes.h"
#include "frmabout.h"
#include "helpviewer.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
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
    int previews = 0; // clicks on Preview, by the mouse or by Enter in a field
};
Q_DECLARE_METATYPE(EditCase)

// What each key does to a table is test_designtable's and test_rowtext's; here, that the window's
// keys, buttons and clipboard reach it, and that the view shows the cell the table has as current.
static const QStringList kTicks = {"10|22|20", "50|22|21", "5|22|21.5"};
static const QStringList kFour = {"1||", "2||", "3||", "4||"};
static const QStringList kNearlyFull(kMaxDataRows - 1, "20");
static const EditCase kEdits[] = {
    {"12.5, Backspace", TableKind::ScaleArcs, {""}, {"click 1", "12.5", "<Backspace>"}, {"12."}},
    {"Ctrl+X empties the cell, not the clipboard", TableKind::ScaleTickmarks, kTicks, {"click 2 1", "<Ctrl+X>"},
     {kTicks[0], "50||21", kTicks[2]}, "keep"},
    {"Return on a middle row", TableKind::ScaleTickmarks, kTicks, {"click 1 2", "<Return>", "7"},
     {kTicks[0], "507|22|21", kTicks[2], "||"}},
    {"keypad Enter in a table", TableKind::ScaleTickmarks, {"1|2|3"}, {"click 1", "<Num+Enter>", "7"}, {"1|27|3"}},
    {"Return in a field: Preview", TableKind::ScaleTickmarks, {"1|2|3"}, {"click 1", "txtCardWidth <Return>", "7"},
     {"17|2|3"}, "", "", 0, 1},
    {"keypad Enter in a field: Preview", TableKind::ScaleTickmarks, {"1|2|3"},
     {"click 1", "txtCardWidth <Num+Enter>", "7"}, {"17|2|3"}, "", "", 0, 1},
    {"+, tickmarks", TableKind::ScaleTickmarks, kFour, {"click 2 2", "[+]", "7"}, {"1||", "2||7", "3||", "4||", "||"}},
    {"-, rows 1 to 3 highlighted", TableKind::ScaleArcs, {"1", "2", "3", "4"}, {"click 1", "Shift+click 3", "[-]"},
     {"1", "2", "4"}},
    {"a repaint", TableKind::ScaleTickmarks, kTicks, {"click 2 1", "Preview", "1"},
     {kTicks[0], "50|221|21", kTicks[2]}, "", "", 0, 1},
    {"a full table refuses Enter and + with a beep", TableKind::ScaleArcs, kNearlyFull + QStringList{"20"},
     {"click 32766", "<Return>", "[+]"}, kNearlyFull + QStringList{"20"}, "", "", 2},
    {"Ctrl+C copies the current row", TableKind::ScaleTickmarks, kTicks, {"click 2", "<Ctrl+C>"}, kTicks, "",
     "50\t22\t21\n"},
    {"Ctrl+C copies the selected rows", TableKind::ScaleTickmarks, kTicks, {"click 1", "Shift+click 2", "<Ctrl+C>"},
     kTicks, "", "10\t22\t20\n50\t22\t21\n"},
    {"Ctrl+V inserts after the current row, typing goes on in the last", TableKind::ScaleTickmarks, kTicks,
     {"click 1", "<Ctrl+V>", "7"}, {"10|22|20", "1|2|3", "47|5|6", "50|22|21", "5|22|21.5"}, "1\t2\t3\n4\t5\t6\n"},
    {"Shift+Ins pastes too", TableKind::ScaleArcs, {"20"}, {"click 1", "<Shift+Ins>"}, {"20", "22"}, "22"},
    {"a nearly full table: what fits, then a beep each time", TableKind::ScaleArcs, kNearlyFull,
     {"click 1", "<Ctrl+V>", "<Ctrl+V>"}, QStringList{"20", "1"} + kNearlyFull.mid(1), "1\n2\n3\n", "", 2},
};

struct Control {
    const char *name;
    QRect twips;
    QString caption, tooltip = {};
    double points = 8.25;
};
Q_DECLARE_METATYPE(Control)
static const Control kControls[] = {
    {"Frame1", {7800, 240, 2655, 3375}, "Meter Dimensions (mm)"},
    {"txtZeroPosY", {1560, 2160, 615, 285}, "",
     "Distance from top of meter face to needle tip at \"zero\" reading (mm)"},
    {"grdScaleArcs", {120, 240, 3495, 1215}, ""},
    {"cmdAddScaleArc", {3720, 240, 375, 375}, "+", "Add Scale Arc", 12},
    {"cmdDelScaleDigit", {5400, 720, 375, 375}, "-", "Remove Scale Digits", 12},
    {"cmdAddFaceLabel", {5400, 240, 375, 375}, "+", "Add face Labels", 12},
    {"cmdPrint", {7080, 7560, 1695, 375}, "Print"},
};

class TestFrmMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    int px(int twips) const { return qRound(twips * w->window.centralWidget()->logicalDpiX() / 1440.0); }
    QString focusName() const { return QApplication::focusWidget()->objectName(); }
    void fill(TableKind kind, const QStringList &lines) { testing::fillTable(w->window.table(kind), lines); }
    void type(QWidget *target, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // "<KEYS>" as QKeySequence names them ("<Num+Enter>" is the keypad's) and "FIELD <KEYS>" in a
    // field, the table's "[+]" and "[-]" buttons, "click ROW [COLUMN]", "Shift+click ROW", "Preview";
    // any other text is typed.
    void act(TableKind kind, const QString &what)
    {
        QTableView *view = w->view(kind);
        if (what.endsWith('>')) {
            QWidget *target = what.startsWith('<') ? view : w->child(qPrintable(what.section(' ', 0, 0)));
            target->setFocus(Qt::OtherFocusReason);
            QTRY_VERIFY(target->hasFocus());
            QTest::keySequence(target, QKeySequence(what.section('<', 1).chopped(1)));
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
        w.reset();
        delete helpViewerInstance();
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        QApplication::clipboard()->setText("before");
    }

    void atStartupTheFieldsHoldTheDesignAndCardWidthIsSelected()
    {
        QStringList texts;
        for (auto *field : w->child<QGroupBox>("Frame1")->findChildren<QLineEdit *>())
            texts << field->objectName() + "=" + field->text();
        QCOMPARE(texts, (QStringList{"txtCardWidth=52", "txtCardHeight=45", "txtNeedlePivotX=26", "txtNeedlePivotY=33",
                                     "txtZeroPosX=5", "txtZeroPosY=12", "txtMaxPosX=47", "txtMaxPosY=12"}));
        QCOMPARE(focusName(), "txtCardWidth");
        QCOMPARE(w->child<QLineEdit>("txtCardWidth")->selectedText(), "52");
        for (TableKind kind : kAllTables) // each grid shows its own table, as test_designtable has it
            QCOMPARE(w->view(kind)->model(), static_cast<QAbstractItemModel *>(&w->window.table(kind)));
    }

    void windowCaptionClientAreaAndMenus()
    {
        QCOMPARE(w->window.windowTitle(), "Vernalith Designer");
        QVERIFY(!w->window.windowIcon().isNull());
        QCOMPARE(w->window.centralWidget()->size(), QSize(px(10665), px(8100)));
        QStringList menus;
        for (QAction *menu : w->window.menuBar()->actions()) {
            menus << menu->text();
            QSet<QChar> keys; // a key shared by two entries only moves between them
            for (QAction *entry : menu->menu()->actions()) {
                menus << "  " + entry->text();
                const qsizetype amp = entry->text().indexOf('&');
                if (amp < 0)
                    continue;
                const QChar key = entry->text().at(amp + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(entry->text()));
                keys.insert(key);
            }
        }
        // Recent files, when there are any, come between the separator and Exit.
        QCOMPARE(menus, (QStringList{"&File", "  New from &Template", "  &Open", "  &Save", "  Export...",
                                     "  &Print To...", "  Printer &Calibration...", "  &Recover Last Design", "  ",
                                     "  E&xit", "&Design", "  &Scales...", "  &Row Properties...", "  &Bands...",
                                     "  &Holes...", "  Reference &Image...", "  Sho&w Reference Image", "&Help",
                                     "  &Contents", "  &About Vernalith"}));
    }

    void controls_data() { addNamedCases(kControls); }
    void controls()
    {
        QFETCH(Control, c);
        QWidget *control = w->window.findChild<QWidget *>(c.name);
        const QRect &twips = c.twips;
        QCOMPARE(control->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        if (!c.caption.isEmpty())
            QCOMPARE(control->property(qobject_cast<QGroupBox *>(control) ? "title" : "text").toString(), c.caption);
        QCOMPARE(control->toolTip(), c.tooltip);
        QCOMPARE(control->font().pointSizeF(), c.points);
    }

    void tabAndShiftTabWalkTheWholeOrder()
    {
        const QStringList order = {
            "txtCardWidth", "txtCardHeight", "txtNeedlePivotX", "txtNeedlePivotY", "txtZeroPosX", "txtZeroPosY",
            "txtMaxPosX", "txtMaxPosY", "grdScaleArcs", "cmdAddScaleArc", "cmdDelScaleArc", "grdScaleDigits",
            "cmdAddScaleDigit", "cmdDelScaleDigit", "grdScaleTickmarks", "cmdAddTickmarks", "cmdDelTickmarks",
            "grdFaceLabels", "cmdAddFaceLabel", "cmdDelFaceLabel", "cmdPreview", "cmdPrint", "cmdClose"};
        QStringList forward, backward;
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << focusName();
        }
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(focusName());
        }
        QCOMPARE(forward, order.mid(1) << order.first());
        QCOMPARE(backward, order);
    }

    void aFieldSelectsItsFirst999CharactersOnTabShiftTabAndAClick()
    {
        auto *width = w->child<QLineEdit>("txtCardWidth"), *height = w->child<QLineEdit>("txtCardHeight");
        height->setText(QString(1000, '7'));
        QTest::keyClick(width, Qt::Key_Tab);
        QCOMPARE(height->selectionStart(), 0);
        QCOMPARE(height->selectedText().size(), 999);
        width->deselect();
        QTest::keyClick(height, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(width->selectedText(), "52");

        // Qt's own click would put the cursor where it lands; the first click keeps the selection.
        auto *pivot = w->child<QLineEdit>("txtNeedlePivotY");
        const QPoint middle(pivot->width() / 3, pivot->height() / 2);
        QTest::mouseClick(pivot, Qt::LeftButton, Qt::NoModifier, middle);
        QCOMPARE(pivot->selectedText(), "33");
        QTest::mouseClick(pivot, Qt::LeftButton, Qt::NoModifier, middle);
        QVERIFY(!pivot->hasSelectedText());
    }

    void keysButtonsAndClipboard_data() { addNamedCases(kEdits); }
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
        QCOMPARE(preview.count(), c.previews); // Enter in a table is the table's, not Preview's
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
            // The current cell's background clear of its text; the focus frame on the viewport's edge.
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

    // FOCUSED [COMMAND [Help]]: F1 on the focused control, or in the dialog COMMAND opens from there,
    // or that dialog's Help button.
    void f1OpensTheTopicOfTheFocusedPart_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("title");
        const QString style = "Style, bands and holes", scales = "Scales and value lists";
        QTest::newRow("Print, 10") << "cmdPrint" << "The Vernalith Designer window";
        QTest::newRow("a dimension, 20") << "txtZeroPosX" << "Meter Dimensions";
        QTest::newRow("scale arcs +, 30") << "cmdAddScaleArc" << "Scale Arcs";
        QTest::newRow("scale digits -, 40") << "cmdDelScaleDigit" << "Scale Digits";
        QTest::newRow("face labels table, 60") << "grdFaceLabels" << "Face Labels";
        QTest::newRow("Bands, F1") << "grdScaleArcs mnuBands" << style;
        QTest::newRow("an arc's Row Properties, Help") << "grdScaleArcs mnuRowProperties Help" << style;
        QTest::newRow("Scales, F1") << "grdScaleTickmarks mnuScales" << scales;
        QTest::newRow("a tick's Row Properties, Help") << "grdScaleTickmarks mnuRowProperties Help" << scales;
    }
    void f1OpensTheTopicOfTheFocusedPart()
    {
        QFETCH(QString, focus);
        QFETCH(QString, title);
        const QStringList steps = focus.split(' ');
        w->child(qPrintable(steps[0]))->setFocus(Qt::MouseFocusReason);
        if (steps.size() > 1) {
            w->child<QAction>(qPrintable(steps[1]))->trigger();
            QDialogButtonBox *buttons = w->shownDialog()->findChild<QDialogButtonBox *>();
            if (steps.size() > 2)
                QTest::mouseClick(buttons->button(QDialogButtonBox::Help), Qt::LeftButton);
        }
        if (steps.size() < 3)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(helpViewerInstance() && helpViewerInstance()->isVisible());
        QCOMPARE(helpViewerInstance()->currentTitle(), title);
        QVERIFY(helpViewerInstance()->browser()->toPlainText().contains(title)); // the page's heading
    }

    void contentsOpensOneNonModalHelpWindowThatSurvivesAMissingPage()
    {
        w->child<QAction>("mnuHelpContents")->trigger();
        HelpViewer *viewer = helpViewerInstance();
        QVERIFY(viewer);
        QCOMPARE(viewer->currentUrl(), QUrl("qrc:/help/index.html"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        showHelpTopic(70, &w->window); // a topic without a page
        QCOMPARE(viewer->currentTitle(), "Help page not found");
        QTest::keyClick(w->child("txtCardWidth"), Qt::Key_F1);
        QCOMPARE(helpViewerInstance(), viewer);
        QCOMPARE(viewer->currentTitle(), "Meter Dimensions");
    }

    void aboutBox_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on "&Ok"
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("click on Ok") << 0 << true;
        QTest::newRow("F1 does nothing") << int(Qt::Key_F1) << false;
    }
    void aboutBox()
    {
        QFETCH(int, key);
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<FrmAbout *>(QApplication::activeModalWidget());
            if (!box) { // "seen" stays empty and the test fails, rather than wait on some other box
                if (QWidget *other = QApplication::activeModalWidget())
                    other->close();
                return;
            }
            auto *label = box->findChild<QLabel *>("Label1");
            auto *ok = box->findChild<QPushButton *>("Command1");
            seen << box->windowTitle() << label->text() << ok->text();
            seen << QString::number(label->font().pointSizeF()) + (label->font().bold() ? " pt bold" : " pt");
            const QPoint offset = box->frameGeometry().center() - w->window.frameGeometry().center();
            const bool inPlace = box->size() == QSize(px(3210), px(3255)) && offset.manhattanLength() <= 2;
            seen << (inPlace ? "3210 x 3255 twips, centred" : "misplaced");
            key ? QTest::keyClick(ok, Qt::Key(key)) : QTest::mouseClick(ok, Qt::LeftButton);
            seen << (box->isVisible() ? "open" : "closed");
            box->reject();
        });
        w->child<QAction>("mnuHelpAbout")->trigger(); // returns once the box is closed
        QFETCH(bool, closes);
        QCOMPARE(seen, (QStringList{"About Vernalith", "Vernalith 1.0", "&Ok", "18 pt bold",
                                    "3210 x 3255 twips, centred", closes ? "closed" : "open"}));
        QVERIFY(w->window.findChildren<FrmAbout *>().isEmpty()); // built afresh each time
        QVERIFY(!helpViewerInstance());
    }
};

QTEST_MAIN(TestFrmMainWindow)
#include "test_frmmain_window.moc"
