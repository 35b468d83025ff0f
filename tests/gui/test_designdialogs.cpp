// The design's dialogs as a person uses them: Scales, Row Properties of every table, Bands, Holes
// and the colour picker; what they refuse, the rows they write, the mark and tooltip of a row with
// properties. Their help is test_frmmain_window's.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/scalelaw.h"
#include "fakes.h"
#include "rowmarkdelegate.h"
#include "rowpropertiesdialog.h"
#include "rowstabledialog.h"
#include "scalesdialog.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

static const QColor kMarkColour(230, 115, 0);

struct RowCase {
    const char *name;
    TableKind kind;
    int scale; // in the scale list: 0 = none, 1 = db -20 ... 3
    QString values; // "-": neither scale nor values offered
    QString width; // "-": not offered
    QString colour;
    QString font; // "-": not offered
    QString said; // part of what the dialog says; empty: nothing
    QString stored; // the row's non-empty extra cells; empty: OK is disabled
    QString tooltip;
};
Q_DECLARE_METATYPE(RowCase)

// Every table has Row Properties, offering exactly its own cells; what the cells may hold is
// test_dialrenderer's and test_scalerows'.
static const RowCase kRowCases[] = {
    {"arc, bold, colour picked", TableKind::ScaleArcs, 0, "-", "0.5", "(picked)", "-", "", "0.5|#12AB56",
     "Width: 0.5 mm\nColour: #12AB56"},
    {"tick, short hex", TableKind::ScaleTickmarks, 0, "", "0.05", "#a1b", "-", "", "0.05|#AA11BB",
     "Width: 0.05 mm\nColour: #AA11BB"},
    {"digits, a word in the values", TableKind::ScaleDigits, 0, "1, ten", "-", "", "", "ten", "", ""},
    {"digits, bad colour", TableKind::ScaleDigits, 0, "", "-", "grau", "", "Colour \"grau\"", "", ""},
    // Pointed out, but the scale may be changed next: OK stays.
    {"digits, values outside the scale", TableKind::ScaleDigits, 1, "-20 0 3 6", "-", "", "",
     "6 lies outside scale 1: db", "1|-20 0 3 6", "Scale 1: db, -20 … 3\nValues: -20 0 3 6"},
    {"label, font elsewhere", TableKind::FaceLabels, 0, "-", "-", "Red", "Nowhere Sans",
     "Font \"Nowhere Sans\" is not installed; DejaVu Sans", "#FF0000|Nowhere Sans",
     "Colour: #FF0000\nFont: Nowhere Sans"},
};

struct BadRow {
    const char *name;
    QString list, typed; // "bands" or "holes"; the row's cells, joined by '|'
    QString fault, stored; // the start of what is said, and the row stored; empty: none, nothing
};
Q_DECLARE_METATYPE(BadRow)
static const BadRow kBadRows[] = {
    {"red zone, colour picked", "bands", "1|0|3|34|36|(picked)", "", "1|0|3|34|36|#12AB56"},
    {"reading off the scale", "bands", "1|0|4|34|36|", "Band 1: To 4 lies outside scale 1", ""},
    {"screw hole", "holes", " 4|41.5|3.2", "", "4|41.5|3.2"},
    {"no diameter", "holes", "4|4|0", "Hole 1: Diameter 0 is not above 0", ""},
};

class TestDesignDialogs : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    QPushButton *button(QDialog *dialog, QDialogButtonBox::StandardButton which = QDialogButtonBox::Ok)
    {
        return dialog->findChild<QDialogButtonBox *>()->button(which);
    }
    // The colour picker behind `opener`, answered with #12ab56.
    void pickColour(QDialog *dialog, const char *opener)
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(opener), Qt::LeftButton);
        auto *picker = dialog->findChild<QColorDialog *>();
        QVERIFY(picker && picker->isVisible());
        picker->setCurrentColor(QColor(0x12, 0xab, 0x56));
        picker->accept();
    }
    void clickCell(TableKind kind, int gridRow)
    {
        QTableView *view = w->view(kind);
        const QRect cell = view->visualRect(view->model()->index(gridRow - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void theScalesDialogChecksEachScaleAsItIsTyped_data()
    {
        QTest::addColumn<QStringList>("typed"); // Law, Min, Max, Parameter, Points
        QTest::addColumn<bool>("usable");
        // Which scales are usable is test_scalelaw's; here, that the dialog tells as they are typed.
        QTest::newRow("VU") << QStringList{"db", "-20", "3", "", ""} << true;
        QTest::newRow("one calibration point") << QStringList{"table", "0", "1", "", "0=0"} << false;
    }
    void theScalesDialogChecksEachScaleAsItIsTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, usable);
        w->child<QAction>("mnuScales")->trigger();
        auto *dialog = w->shownDialog<ScalesDialog>();
        auto *table = dialog->findChild<QTableView *>("scalesTable");
        QTest::mouseClick(dialog->findChild<QPushButton *>("addScale"), Qt::LeftButton);
        QVERIFY(button(dialog)->isEnabled()); // a new scale is linear 0 ... 100
        // Each cell edited in place: F2, the law from its list or the text typed, Enter.
        for (int col = 0; col < 5; ++col) {
            table->setCurrentIndex(table->model()->index(0, col));
            QTest::keyClick(table, Qt::Key_F2);
            QWidget *editor = QApplication::focusWidget();
            if (auto *laws = qobject_cast<QComboBox *>(editor)) {
                QCOMPARE(laws->count(), scaleLawNames().size());
                laws->setCurrentIndex(laws->findText(typed.at(col)));
            } else {
                qobject_cast<QLineEdit *>(editor)->selectAll();
                QTest::keyClicks(editor, typed.at(col));
            }
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(table->model()->index(0, col).data().toString(), typed.at(col));
            QVERIFY2(table->isVisible(), "Enter ends the cell's edit, not the dialog");
        }

        QString reason;
        ScaleLaw::parse(typed, &reason);
        QCOMPARE(reason.isEmpty(), usable);
        QCOMPARE(button(dialog)->isEnabled(), usable);
        const QString shown = dialog->findChild<QLabel *>("scaleProblem")->text();
        QCOMPARE(shown, usable ? QString() : "Scale 1: " + reason);
        QCOMPARE(table->model()->index(0, 2).data(Qt::ToolTipRole).toString(), reason);

        QTest::mouseClick(button(dialog, usable ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        QCOMPARE(w->window.model().scales(), usable ? TableRows{typed} : TableRows{});
    }

    // Cancel changing nothing is theScalesDialogChecksEachScaleAsItIsTyped's (a refused scale).
    void removingAScaleRenumbersTheRowsThatUseIt()
    {
        DesignModel &model = w->window.model();
        model.setScales({{"db", "-20", "3", "", ""}, {"linear", "0", "100", "", ""}, {"swr", "1", "inf", "", ""}});
        DesignTable &ticks = model.table(TableKind::ScaleTickmarks);
        testing::fillTable(ticks, {"10|||1", "20|||2", "30|||3", "40|||9"}); // the fourth cell is the scale
        model.table(TableKind::ScaleDigits).setCell(1, extraColumn(TableKind::ScaleDigits, "Scale"), "3");

        w->child<QAction>("mnuScales")->trigger();
        auto *dialog = w->shownDialog<ScalesDialog>();
        auto *table = dialog->findChild<QTableView *>("scalesTable");
        table->setCurrentIndex(table->model()->index(1, 0));
        QTest::mouseClick(dialog->findChild<QPushButton *>("removeScale"), Qt::LeftButton);
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->headerData(1, Qt::Vertical).toInt(), 2);
        const QString note = dialog->findChild<QLabel *>("scaleProblem")->text();
        QVERIFY2(note.contains("Scale 2 is removed: 1 row(s)") && note.contains("Scale 3 becomes scale 2"),
                 qPrintable(note));

        QTest::mouseClick(button(dialog), Qt::LeftButton);
        QCOMPARE(model.scales().size(), 2);
        QStringList ticksNow;
        for (int row = 1; row <= 4; ++row)
            ticksNow << ticks.cell(row, 0) + "|" + ticks.cell(row, extraColumn(TableKind::ScaleTickmarks, "Scale"));
        QCOMPARE(ticksNow, (QStringList{"10|1", "20|", "30|2", "40|9"}));
        QCOMPARE(model.table(TableKind::ScaleDigits).cell(1, extraColumn(TableKind::ScaleDigits, "Scale")), "2");
    }

    void rowPropertiesWaitsForATable()
    {
        auto *action = w->child<QAction>("mnuRowProperties");
        QVERIFY(!action->isEnabled());
        QVERIFY(action->toolTip().contains("Click a row of a table first"));
        w->child("txtCardWidth")->setFocus(Qt::MouseFocusReason);
        QVERIFY(!action->isEnabled());
        w->view(TableKind::ScaleDigits)->setFocus(Qt::MouseFocusReason);
        QVERIFY(action->isEnabled());
        // A field's focus leaves the command on the digits table.
        w->child("txtCardWidth")->setFocus(Qt::MouseFocusReason);
        QVERIFY(action->isEnabled());
        action->trigger();
        QCOMPARE(w->shownDialog<RowPropertiesDialog>()->findChild<QLabel *>("rowPlace")->text(), "Scale Digits, row 1");
    }

    // However the dialog is opened, it works on the row the person chose and writes only that row.
    void rowPropertiesWorksOnTheChosenRow_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("opener");
        QTest::newRow("tickmarks, menu after a click") << TableKind::ScaleTickmarks << "menu";
        QTest::newRow("digits, right click") << TableKind::ScaleDigits << "right click";
        QTest::newRow("tickmarks, menu key") << TableKind::ScaleTickmarks << "menu key";
    }
    void rowPropertiesWorksOnTheChosenRow()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, opener);
        w->window.model().setScales({{"db", "-20", "3", "", ""}, {"log", "1", "100", "", ""}});
        DesignTable &table = w->window.table(kind);
        testing::fillTable(table, {"", "", "10", "", "", ""});
        const TableRows before = table.rowsData();

        QTableView *view = w->view(kind);
        if (opener == "menu") {
            clickCell(kind, 3);
            w->child<QAction>("mnuRowProperties")->trigger();
        } else {
            if (opener == "menu key") {
                // The keyboard's request carries the middle of the view, which is not the current row.
                table.setRow(3);
                view->setFocus(Qt::TabFocusReason);
                const QPoint middle = view->rect().center();
                QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, view->mapToGlobal(middle));
                QApplication::sendEvent(view, &event);
            } else {
                const QPoint at = view->visualRect(view->model()->index(2, 1)).center();
                QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
                QApplication::sendEvent(view->viewport(), &event);
            }
            auto *menu = view->findChild<QMenu *>("rowContextMenu");
            QVERIFY(menu && menu->isVisible());
            QCOMPARE(table.row(), 3);
            menu->findChild<QAction *>("rowContextProperties")->trigger();
        }
        auto *dialog = w->shownDialog<RowPropertiesDialog>();
        QVERIFY(w->child<QAction>("mnuRowProperties")->isEnabled());
        QCOMPARE(dialog->findChild<QLabel *>("rowPlace")->text(),
                 QString::fromLatin1(tableInfo(kind).caption) + ", row 3");
        auto *scale = dialog->findChild<QComboBox *>("scaleChoice");
        QCOMPARE(scale->count(), 3);
        QCOMPARE(scale->itemText(1), "1: db, -20 … 3");
        scale->setFocus();
        QTest::keyClick(scale, Qt::Key_Down);
        QTest::keyClick(scale, Qt::Key_Down);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("valueList"), "1:10:1, 20");
        QTest::mouseClick(button(dialog), Qt::LeftButton);

        QCOMPARE(table.cell(3, 0) + "|" + table.cell(3, extraColumn(kind, "Scale")) + "|"
                     + table.cell(3, extraColumn(kind, "Values")),
                 "10|2|1:10:1, 20");
        for (int row : {1, 2, 4, 5, 6})
            QCOMPARE(table.rowsData().at(row - 1), before.at(row - 1));
    }

    void rowPropertiesWritesTheCellsOfItsTable_data() { addNamedCases(kRowCases); }
    void rowPropertiesWritesTheCellsOfItsTable()
    {
        QFETCH(RowCase, c);
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
        QTableView *view = w->view(c.kind);
        view->setFocus(Qt::MouseFocusReason);
        w->child<QAction>("mnuRowProperties")->trigger();
        auto *dialog = w->shownDialog<RowPropertiesDialog>();
        QCOMPARE(!dialog->findChild<QLineEdit *>("valueList"), c.values == "-");
        QCOMPARE(!dialog->findChild<QLineEdit *>("rowWidth"), c.width == "-");
        QCOMPARE(!dialog->findChild<QComboBox *>("rowFont"), c.font == "-");
        if (c.values != "-") {
            dialog->findChild<QComboBox *>("scaleChoice")->setCurrentIndex(c.scale);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("valueList"), c.values);
        }
        if (c.width != "-")
            QTest::keyClicks(dialog->findChild<QLineEdit *>("rowWidth"), c.width);
        if (c.colour == "(picked)")
            pickColour(dialog, "rowColourPick");
        else
            QTest::keyClicks(dialog->findChild<QLineEdit *>("rowColourText"), c.colour);
        if (c.font != "-")
            QTest::keyClicks(dialog->findChild<QComboBox *>("rowFont")->lineEdit(), c.font);
        const QString said = dialog->findChild<QLabel *>("valuesProblem")->text();
        QVERIFY2(c.said.isEmpty() ? said.isEmpty() : said.contains(c.said), qPrintable(said));
        QCOMPARE(button(dialog)->isEnabled(), !c.stored.isEmpty());
        QTest::mouseClick(button(dialog), Qt::LeftButton);
        const QStringList row = w->window.model().design().table(c.kind).first();
        QCOMPARE(row.mid(columnCount(c.kind)).filter(QRegularExpression(".")).join('|'), c.stored);
        QCOMPARE(qobject_cast<RowMarkDelegate *>(view->itemDelegateForColumn(0))->rowTooltip(0), c.tooltip);
    }

    // Every table has the mark's delegate (rowPropertiesWritesTheCellsOfItsTable); one shows that it marks.
    void aRowWithPropertiesIsMarkedAndTellsThemInItsTooltip()
    {
        const TableKind kind = TableKind::ScaleTickmarks;
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
        DesignTable &table = w->window.table(kind);
        testing::fillTable(table, {"||", "|||1|-20, 0, 3", "|||7"}); // the fourth and fifth cells: Scale, Values
        QTableView *view = w->view(kind);
        auto markedAt = [view](int gridRow) {
            const QImage image = view->viewport()->grab().toImage();
            const QRect cell = view->visualRect(view->model()->index(gridRow - 1, 0));
            return image.pixelColor(cell.topLeft() + QPoint(1, 1)) == kMarkColour;
        };
        auto tooltipAt = [view](int gridRow) {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return QStringLiteral("(a tooltip that never goes)");
            const QPoint at = view->visualRect(view->model()->index(gridRow - 1, 0)).center();
            QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(QList<bool>({markedAt(1), markedAt(2), markedAt(3)}), QList<bool>({false, true, true}));
        QCOMPARE(tooltipAt(1), QString());
        QCOMPARE(tooltipAt(2), "Scale 1: db, -20 … 3\nValues: -20, 0, 3");
        QCOMPARE(tooltipAt(3), "Scale 7: no such scale");

        // The dialog keeps a scale that does not exist until it is changed.
        clickCell(kind, 3);
        w->child<QAction>("mnuRowProperties")->trigger();
        auto *dialog = w->shownDialog<RowPropertiesDialog>();
        QCOMPARE(dialog->findChild<QComboBox *>("scaleChoice")->currentText(), "7: no such scale");
        QTest::mouseClick(button(dialog), Qt::LeftButton);
        QCOMPARE(table.cell(3, extraColumn(kind, "Scale")), "7");

        table.setCell(2, extraColumn(kind, "Scale"), "");
        table.setCell(2, extraColumn(kind, "Values"), "");
        QVERIFY(!markedAt(2));
        QCOMPARE(tooltipAt(2), QString());
    }

    void aBandOrHoleThatCannotBeDrawnBlocksOk_data() { addNamedCases(kBadRows); }
    void aBandOrHoleThatCannotBeDrawnBlocksOk()
    {
        QFETCH(BadRow, c);
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
        const QString singular = c.list.chopped(1);
        w->child<QAction>(c.list == "bands" ? "mnuBands" : "mnuHoles")->trigger();
        auto *dialog = w->shownDialog<RowsTableDialog>();
        QTest::mouseClick(dialog->findChild<QPushButton *>("add" + singular.left(1).toUpper() + singular.mid(1)),
                          Qt::LeftButton);
        auto *table = dialog->findChild<QTableView *>(c.list + "Table");
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(button(dialog)->isEnabled()); // a new row is one that can be drawn
        const QStringList cells = c.typed.split('|');
        for (int col = 0; col < cells.size(); ++col) {
            if (cells.at(col) == "(picked)")
                pickColour(dialog, "pickBandColour");
            else
                table->model()->setData(table->model()->index(0, col), cells.at(col));
        }

        const QString said = dialog->findChild<QLabel *>(singular + "Problem")->text();
        QVERIFY2(c.fault.isEmpty() ? said.isEmpty() : said.startsWith(c.fault), qPrintable(said));
        QTest::mouseClick(button(dialog), Qt::LeftButton);
        QCOMPARE(dialog->isVisible(), !c.fault.isEmpty());
        const DialDesign design = w->window.model().design();
        QCOMPARE(c.list == "bands" ? design.bands : design.holes,
                 c.stored.isEmpty() ? TableRows() : TableRows{c.stored.split('|')});
    }
};

QTEST_MAIN(TestDesignDialogs)
#include "test_designdialogs.moc"
