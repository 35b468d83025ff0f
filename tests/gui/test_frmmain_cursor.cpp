// Keys as a keyboard sends them (the keypad's Enter carries the keypad modifier), and where typing
// goes after the design was replaced under the cursor: Open, a template, a paste, a recovery.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "fakes.h"
#include "files/dialfile.h"
#include "templatelibrary.h"

#include <QAction>
#include <QClipboard>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace vernalith;

class TestFrmMainCursor : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    QTemporaryDir dir;

    DesignTable &arcs() { return w->window.table(TableKind::ScaleArcs); }
    void typeInto(QWidget *target, const QString &text)
    {
        target->setFocus(Qt::OtherFocusReason);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void write(const QString &name, const QByteArray &bytes) { QVERIFY(testing::writeFile(dir.filePath(name), bytes)); }

private slots:
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void enterKeys_data()
    {
        QTest::addColumn<QString>("where"); // a table or a dimension field
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("tickmarks"); // afterwards, with "7" typed after the key
        QTest::addColumn<int>("previews");
        const QStringList moved{"1|27|3"}, untouched{"17|2|3"}; // the table's current cell moved, or not
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("Return, table") << "grdScaleTickmarks" << int(Qt::Key_Return) << 0 << moved << 0;
        QTest::newRow("keypad Enter, table") << "grdScaleTickmarks" << int(Qt::Key_Enter) << keypad << moved << 0;
        QTest::newRow("Enter without keypad, table") << "grdScaleTickmarks" << int(Qt::Key_Enter) << 0 << moved << 0;
        QTest::newRow("Return, field") << "txtCardWidth" << int(Qt::Key_Return) << 0 << untouched << 1;
        QTest::newRow("keypad Enter, field") << "txtCardWidth" << int(Qt::Key_Enter) << keypad << untouched << 1;
    }

    void enterKeys()
    {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, previews);
        DesignTable &ticks = w->window.table(TableKind::ScaleTickmarks);
        testing::fillTable(ticks, {"1|2|3"});
        QSignalSpy preview(w->child<QPushButton>("cmdPreview"), &QPushButton::clicked);
        QWidget *target = w->child(qPrintable(where));
        target->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        typeInto(w->view(TableKind::ScaleTickmarks), "7");
        QTEST(testing::tableLines(ticks), "tickmarks");
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

    void typingAfterTheDesignIsReplacedGoesIntoADataCell_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row"); // where "7" lands in the arcs table, column 0
        QTest::addColumn<QString>("cell");
        QTest::newRow("Open") << "Open" << 1 << "207";
        QTest::newRow("template") << "template" << 1 << "";
        QTest::newRow("paste") << "paste" << 7 << "67";
        QTest::newRow("recovery") << "recovery" << 1 << "207";
    }

    void typingAfterTheDesignIsReplacedGoesIntoADataCell()
    {
        QFETCH(QString, how);
        QFETCH(int, row);
        QFETCH(QString, cell);
        QVERIFY(dir.isValid());
        const QByteArray &example = testing::kWorkedExample;
        // The cursor somewhere a replaced design no longer has, the last of many rows, in a table
        // that keeps the focus throughout (a focus coming in would set a current cell of its own).
        testing::fillTable(arcs(), {"1", "2", "3", "4", "5"});
        arcs().setRow(5);
        arcs().setCol(0);
        QTableView *view = w->view(TableKind::ScaleArcs);
        view->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(view->hasFocus());
        QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
        if (how == "Open") {
            write("example.vlt", example);
            w->files.answers << dir.filePath("example.vlt");
            w->child<QAction>("mnuOpen")->trigger();
        } else if (how == "template") {
            const QList<DesignTemplate> templates = designTemplates();
            QVERIFY(!templates.isEmpty());
            w->child<QAction>(qPrintable("mnuTemplate_" + templates.first().fileName))->trigger();
            cell = w->window.table(TableKind::ScaleArcs).cell(1, 0) + "7";
        } else if (how == "paste") {
            QApplication::clipboard()->setText("5\r\n6\r\n");
            QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        } else {
            QDir().mkpath(dir.filePath("recovery"));
            write("recovery/design.vlt", example);
            w->window.keepSession(&settings, dir.filePath("recovery"));
            QVERIFY(w->child<QAction>("mnuRecover")->isEnabled());
            w->child<QAction>("mnuRecover")->trigger();
        }
        QCOMPARE(w->messages.texts, QStringList());
        QVERIFY(view->hasFocus());
        typeInto(view, "7");
        QCOMPARE(arcs().cell(row, 0), cell);
        QCOMPARE(view->currentIndex(), arcs().index(row - 1, 0)); // the cell typed into is the one shown
        w.reset(); // the recovery file goes before the directory
    }
};

QTEST_MAIN(TestFrmMainCursor)
#include "test_frmmain_cursor.moc"
