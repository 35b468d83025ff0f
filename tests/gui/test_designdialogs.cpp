// Scales... and Row Properties... as a person uses them: what they refuse, the rows they write,
// the mark and tooltip of a row with properties, and their help.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/scalelaw.h"
#include "fakes.h"
#include "helpviewer.h"
#include "rowpropertiesdialog.h"
#include "scalesdialog.h"

#include <QAction>
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

class TestDesignDialogs : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    template <typename Dialog> Dialog *openedDialog()
    {
        Dialog *dialog = w->window.findChild<Dialog *>();
        if (!dialog || !dialog->isVisible())
            return nullptr;
        // The offscreen platform has no window manager to bring a new window to the front.
        QApplication::setActiveWindow(dialog);
        return QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }
    ScalesDialog *openScales()
    {
        w->child<QAction>("mnuScales")->trigger();
        return openedDialog<ScalesDialog>();
    }
    QPushButton *button(QDialog *dialog, QDialogButtonBox::StandardButton which)
    {
        return dialog->findChild<QDialogButtonBox *>()->button(which);
    }
    // Double-click-free in-place editing: F2 on the cell, type, Enter.
    void typeIntoCell(QTableView *table, int row, int col, const QString &text)
    {
        table->setCurrentIndex(table->model()->index(row, col));
        QTest::keyClick(table, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(table->model()->index(row, col).data().toString(), text);
        QVERIFY2(table->isVisible(), "Enter ends the cell's edit, not the dialog");
    }
    void chooseLaw(QTableView *table, int row, const QString &law)
    {
        table->setCurrentIndex(table->model()->index(row, 0));
        QTest::keyClick(table, Qt::Key_F2);
        auto *combo = qobject_cast<QComboBox *>(QApplication::focusWidget());
        QVERIFY(combo);
        QCOMPARE(combo->count(), scaleLawNames().size());
        const int target = combo->findText(law);
        QVERIFY(target >= 0);
        while (combo->currentIndex() < target)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > target)
            QTest::keyClick(combo, Qt::Key_Up);
        QTest::keyClick(combo, Qt::Key_Return);
    }
    void clickCell(TableKind kind, int gridRow)
    {
        QTableView *view = w->view(kind);
        const QRect cell = view->visualRect(view->model()->index(gridRow - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void setRowProperties(TableKind kind, int gridRow, const QString &scale, const QString &values)
    {
        DesignTable &table = w->window.table(kind);
        table.setCell(gridRow, extraColumn(kind, "Scale"), scale);
        table.setCell(gridRow, extraColumn(kind, "Values"), values);
    }

private slots:
    void init()
    {
        w.reset();
        delete helpViewerInstance();
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void theScalesDialogChecksEachScaleAsItIsTyped_data()
    {
        QTest::addColumn<QStringList>("typed"); // Law, Min, Max, Parameter, Points
        QTest::addColumn<bool>("usable");
        // Which scales are usable is test_scalelaw's; here, that the dialog tells as they are typed.
        QTest::newRow("VU") << QStringList{"db", "-20", "3", "", ""} << true;
        QTest::newRow("calibration table") << QStringList{"table", "0", "9", "", "0=0; 5=0.31; 9=0.62"} << true;
        QTest::newRow("one calibration point") << QStringList{"table", "0", "1", "", "0=0"} << false;
    }
    void theScalesDialogChecksEachScaleAsItIsTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, usable);
        ScalesDialog *dialog = openScales();
        QVERIFY(dialog);
        auto *table = dialog->findChild<QTableView *>("scalesTable");
        QTest::mouseClick(dialog->findChild<QPushButton *>("addScale"), Qt::LeftButton);
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(button(dialog, QDialogButtonBox::Ok)->isEnabled()); // a new scale is linear 0 ... 100

        chooseLaw(table, 0, typed.at(0));
        for (int col = 1; col < 5; ++col)
            typeIntoCell(table, 0, col, typed.at(col));
        if (QTest::currentTestFailed())
            return;

        QString reason;
        ScaleLaw::parse(typed, &reason);
        QCOMPARE(reason.isEmpty(), usable);
        QCOMPARE(button(dialog, QDialogButtonBox::Ok)->isEnabled(), usable);
        const QString shown = dialog->findChild<QLabel *>("scaleProblem")->text();
        QCOMPARE(shown, usable ? QString() : "Scale 1: " + reason);
        QCOMPARE(table->model()->index(0, 2).data(Qt::ToolTipRole).toString(), reason);

        QTest::mouseClick(button(dialog, usable ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(w->window.model().scales(), usable ? TableRows{typed} : TableRows{});
    }

    void removingAScaleRenumbersTheRowsThatUseIt_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("tickScales");
        QTest::addColumn<QString>("digitScale");
        QTest::addColumn<int>("scaleCount");
        QTest::newRow("OK") << true << QStringList{"1", "", "2", "9"} << "2" << 2;
        QTest::newRow("Cancel") << false << QStringList{"1", "2", "3", "9"} << "3" << 3;
    }
    void removingAScaleRenumbersTheRowsThatUseIt()
    {
        QFETCH(bool, accept);
        QFETCH(QStringList, tickScales);
        QFETCH(QString, digitScale);
        QFETCH(int, scaleCount);
        DesignModel &model = w->window.model();
        model.setScales({{"db", "-20", "3", "", ""}, {"linear", "0", "100", "", ""}, {"swr", "1", "inf", "", ""}});
        DesignTable &ticks = model.table(TableKind::ScaleTickmarks);
        for (int row = 1; row <= 4; ++row) {
            if (row > 1)
                ticks.appendEmptyRow();
            ticks.setCell(row, 0, QString::number(row * 10));
            ticks.setCell(row, extraColumn(TableKind::ScaleTickmarks, "Scale"), QStringList{"1", "2", "3", "9"}[row - 1]);
        }
        model.table(TableKind::ScaleDigits).setCell(1, extraColumn(TableKind::ScaleDigits, "Scale"), "3");

        ScalesDialog *dialog = openScales();
        auto *table = dialog->findChild<QTableView *>("scalesTable");
        table->setCurrentIndex(table->model()->index(1, 0));
        QTest::mouseClick(dialog->findChild<QPushButton *>("removeScale"), Qt::LeftButton);
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->headerData(1, Qt::Vertical).toInt(), 2);
        const QString note = dialog->findChild<QLabel *>("scaleProblem")->text();
        QVERIFY2(note.contains("Scale 2 is removed: 1 row(s)") && note.contains("Scale 3 becomes scale 2"),
                 qPrintable(note));

        QTest::mouseClick(button(dialog, accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        QCOMPARE(model.scales().size(), scaleCount);
        QStringList scalesNow;
        for (int row = 1; row <= 4; ++row) {
            scalesNow << ticks.cell(row, extraColumn(TableKind::ScaleTickmarks, "Scale"));
            QCOMPARE(ticks.cell(row, 0), QString::number(row * 10)); // the visible cells stay
        }
        QCOMPARE(scalesNow, tickScales);
        QCOMPARE(model.table(TableKind::ScaleDigits).cell(1, extraColumn(TableKind::ScaleDigits, "Scale")), digitScale);
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
        auto *dialog = openedDialog<RowPropertiesDialog>();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLabel *>("rowPlace")->text(), "Scale Digits, row 1");
    }

    // However the dialog is opened, it works on the row the person chose and writes only that row.
    void rowPropertiesWritesTheRowsScaleAndValues_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("opener"); // "menu" after a click, "right click", "menu key"
        QTest::addColumn<int>("choice"); // index in the scale list: 0 = none
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("scaleCell");
        QTest::newRow("tickmarks on scale 2, menu") << TableKind::ScaleTickmarks << "menu" << 2 << "1:10:1, 20" << "2";
        QTest::newRow("digits on scale 1, right click") << TableKind::ScaleDigits << "right click" << 1 << "-20 0 3"
                                                        << "1";
        QTest::newRow("tickmarks, values only, menu key") << TableKind::ScaleTickmarks << "menu key" << 0 << "0 0.5 1"
                                                          << "";
        QTest::newRow("digits, scale only, menu") << TableKind::ScaleDigits << "menu" << 2 << "" << "2";
    }
    void rowPropertiesWritesTheRowsScaleAndValues()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, opener);
        QFETCH(int, choice);
        QFETCH(QString, values);
        QFETCH(QString, scaleCell);
        DesignModel &model = w->window.model();
        model.setScales({{"db", "-20", "3", "", ""}, {"log", "1", "100", "", ""}});
        DesignTable &table = model.table(kind);
        for (int i = 0; i < 5; ++i)
            table.appendEmptyRow();
        table.setCell(3, 0, "10");
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
        auto *dialog = openedDialog<RowPropertiesDialog>();
        QVERIFY(dialog);
        QVERIFY(w->child<QAction>("mnuRowProperties")->isEnabled());
        QCOMPARE(dialog->findChild<QLabel *>("rowPlace")->text(),
                 QString::fromLatin1(tableInfo(kind).caption) + ", row 3");
        auto *scale = dialog->findChild<QComboBox *>("scaleChoice");
        QCOMPARE(scale->count(), 3);
        QCOMPARE(scale->itemText(1), QString::fromUtf16(u"1: db, -20 \u2026 3"));
        scale->setFocus();
        for (int i = 0; i < choice; ++i)
            QTest::keyClick(scale, Qt::Key_Down);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("valueList"), values);
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);

        QCOMPARE(table.cell(3, extraColumn(kind, "Scale")), scaleCell);
        QCOMPARE(table.cell(3, extraColumn(kind, "Values")), values);
        QCOMPARE(table.cell(3, 0), "10");
        QVERIFY(table.rowHasProperties(3));
        for (int row : {1, 2, 4, 5, 6}) {
            QCOMPARE(table.rowsData().at(row - 1), before.at(row - 1));
            QVERIFY(!table.rowHasProperties(row));
        }
    }

    void aValueListIsCheckedAsItIsTyped_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<int>("scale"); // 0: none, 1: db -20 ... 3
        QTest::addColumn<bool>("usable");
        QTest::addColumn<QString>("note"); // the start of what the dialog says; empty: nothing
        QTest::newRow("ranges and infinity") << "1:10:1, 20, inf" << 0 << true << "";
        QTest::newRow("within the scale") << "-20:0:5, 1 2 3" << 1 << true << "";
        QTest::newRow("a word") << "1, ten" << 0 << false << "ten";
        // Pointed out, but the scale may be changed next: OK stays.
        QTest::newRow("outside the scale") << "-20 0 3 6" << 1 << true << "6 lies outside scale 1: db";
    }
    void aValueListIsCheckedAsItIsTyped()
    {
        QFETCH(QString, values);
        QFETCH(int, scale);
        QFETCH(bool, usable);
        QFETCH(QString, note);
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
        clickCell(TableKind::ScaleDigits, 1);
        w->child<QAction>("mnuRowProperties")->trigger();
        auto *dialog = openedDialog<RowPropertiesDialog>();
        dialog->findChild<QComboBox *>("scaleChoice")->setCurrentIndex(scale);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("valueList"), values);
        QCOMPARE(button(dialog, QDialogButtonBox::Ok)->isEnabled(), usable);
        const QString said = dialog->findChild<QLabel *>("valuesProblem")->text();
        QVERIFY2(note.isEmpty() ? said.isEmpty() : said.contains(note), qPrintable(said));
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton); // does nothing when disabled
        QCOMPARE(dialog->isVisible(), !usable);
        QCOMPARE(w->window.table(TableKind::ScaleDigits).cell(1, extraColumn(TableKind::ScaleDigits, "Values")),
                 usable ? values : QString());
    }

    void aRowWithPropertiesIsMarkedAndTellsThemInItsTooltip_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::newRow("tickmarks") << TableKind::ScaleTickmarks;
        QTest::newRow("digits") << TableKind::ScaleDigits;
    }
    void aRowWithPropertiesIsMarkedAndTellsThemInItsTooltip()
    {
        QFETCH(TableKind, kind);
        w->window.model().setScales({{"db", "-20", "3", "", ""}});
        DesignTable &table = w->window.table(kind);
        table.appendEmptyRow();
        table.appendEmptyRow();
        setRowProperties(kind, 2, "1", "-20, 0, 3");
        setRowProperties(kind, 3, "7", "");
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
        QVERIFY(!markedAt(1));
        QVERIFY(markedAt(2));
        QVERIFY(markedAt(3));
        QCOMPARE(tooltipAt(1), QString());
        QCOMPARE(tooltipAt(2), QString::fromUtf16(u"Scale 1: db, -20 \u2026 3\nValues: -20, 0, 3"));
        QCOMPARE(tooltipAt(3), "Scale 7: no such scale");

        // The dialog keeps a scale that does not exist until it is changed.
        clickCell(kind, 3);
        w->child<QAction>("mnuRowProperties")->trigger();
        auto *dialog = openedDialog<RowPropertiesDialog>();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QComboBox *>("scaleChoice")->currentText(), "7: no such scale");
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(table.cell(3, extraColumn(kind, "Scale")), "7");

        setRowProperties(kind, 2, "", "");
        QVERIFY(!markedAt(2));
        QCOMPARE(tooltipAt(2), QString());
    }

    void f1InTheDialogsOpensTheHelpOnScales_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Scales, F1") << "mnuScales" << false;
        QTest::newRow("Row Properties, Help") << "mnuRowProperties" << true;
    }
    void f1InTheDialogsOpensTheHelpOnScales()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, byButton);
        w->view(TableKind::ScaleTickmarks)->setFocus(Qt::MouseFocusReason);
        w->child<QAction>(qPrintable(dialog))->trigger();
        QDialog *shown = dialog == "mnuScales" ? static_cast<QDialog *>(openedDialog<ScalesDialog>())
                                               : openedDialog<RowPropertiesDialog>();
        QVERIFY(shown);
        if (byButton)
            QTest::mouseClick(button(shown, QDialogButtonBox::Help), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(helpViewerInstance() && helpViewerInstance()->isVisible());
        QCOMPARE(helpViewerInstance()->currentUrl().fileName(), "scales.html");
        QCOMPARE(helpViewerInstance()->currentTitle(), "Scales and value lists");
    }
};

QTEST_MAIN(TestDesignDialogs)
#include "test_designdialogs.moc"
