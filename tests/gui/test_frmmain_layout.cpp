// The designer window as it comes up: its controls, where they are, what they say, the order
// Tab walks them in, and the state of the design at start-up.

// The test tables are written with plain string literals.
#undef QT_NO_CAST_FROM_ASCII

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "frmmain.h"
#include "helptopics.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace vernalith;
using vernalith::testing::FakeMessages;

class TestFrmMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startupFocusSelectsCardWidth();
    void startupTablesHoldHeaderAndOneEmptyRow_data();
    void startupTablesHoldHeaderAndOneEmptyRow();
    void startupFieldsHoldDefaultTexts();

    void windowCaptionAndClientArea();
    void controlGeometry_data();
    void controlGeometry();
    void captions_data();
    void captions();
    void tooltips_data();
    void tooltips();
    void columnWidths_data();
    void columnWidths();
    void fonts();
    void menus();
    void labelsAndFramesTakeNoFocus();

    void tabWalksTheControlsInOrder();
    void shiftTabWalksBackwards();
    void tabIntoFieldSelectsItsText();
    void clickIntoFieldKeepsTheSelection();
    void longTextHasFirst999CharactersSelected();

    void helpTopicFollowsTheFocus_data();
    void helpTopicFollowsTheFocus();

private:
    template <typename T>
    T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    int px(int twips) const { return qRound(twips * m_dpi / 1440.0); }

    std::unique_ptr<FrmMain> m_window;
    FakeMessages m_messages;
    double m_dpi = 96;
};

static const char *const kTabOrder[] = {
    "txtCardWidth",      "txtCardHeight",   "txtNeedlePivotX", "txtNeedlePivotY", "txtZeroPosX",
    "txtZeroPosY",       "txtMaxPosX",      "txtMaxPosY",      "grdScaleArcs",    "cmdAddScaleArc",
    "cmdDelScaleArc",    "grdScaleDigits",  "cmdAddScaleDigit", "cmdDelScaleDigit", "grdScaleTickmarks",
    "cmdAddTickmarks",   "cmdDelTickmarks", "grdFaceLabels",   "cmdAddFaceLabel", "cmdDelFaceLabel",
    "cmdPreview",        "cmdPrint",        "cmdClose",
};

void TestFrmMainLayout::init()
{
    m_messages = FakeMessages();
    m_window = std::make_unique<FrmMain>();
    m_window->setMessageSink(&m_messages);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_dpi = m_window->centralWidget()->logicalDpiX();
}

void TestFrmMainLayout::cleanup()
{
    m_window.reset();
}

void TestFrmMainLayout::startupFocusSelectsCardWidth()
{
    auto *field = child<QLineEdit>("txtCardWidth");
    QVERIFY(field);
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(field->selectedText(), QStringLiteral("52"));

    // Typing replaces the selected start-up text.
    QTest::keyClick(field, Qt::Key_6);
    QCOMPARE(field->text(), QStringLiteral("6"));
    QCOMPARE(m_window->model().dimension(Dimension::CardWidth), QStringLiteral("6"));
}

void TestFrmMainLayout::startupTablesHoldHeaderAndOneEmptyRow_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("scale arcs") << "grdScaleArcs" << QStringList{"Radius"};
    QTest::newRow("scale tickmarks") << "grdScaleTickmarks"
                                     << QStringList{"Divisions", "Outer Radius", "Inner Radius"};
    QTest::newRow("scale digits") << "grdScaleDigits"
                                  << QStringList{"Divisions", "Min Val", "Max Val", "Num Format", "Radius",
                                                 "Fontsize"};
    QTest::newRow("face labels") << "grdFaceLabels" << QStringList{"X-Pos", "Y-Pos", "Text", "Fontsize"};
}

void TestFrmMainLayout::startupTablesHoldHeaderAndOneEmptyRow()
{
    QFETCH(QString, view);
    QFETCH(QStringList, headers);
    auto *grid = m_window->findChild<QTableView *>(view);
    QVERIFY(grid);
    QAbstractItemModel *model = grid->model();
    QCOMPARE(model->columnCount(), headers.size());
    QStringList shown;
    for (int col = 0; col < model->columnCount(); ++col)
        shown << grid->horizontalHeader()->model()->headerData(col, Qt::Horizontal).toString();
    QCOMPARE(shown, headers);

    auto *table = qobject_cast<DesignTable *>(model);
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(model->rowCount(), 1);
    for (int col = 0; col < model->columnCount(); ++col)
        QCOMPARE(model->index(0, col).data().toString(), QString());
}

void TestFrmMainLayout::startupFieldsHoldDefaultTexts()
{
    const QStringList expected = {"52", "45", "26", "33", "5", "12", "47", "12"};
    QStringList shown;
    for (int i = 0; i < 8; ++i)
        shown << child<QLineEdit>(kTabOrder[i])->text();
    QCOMPARE(shown, expected);
}

void TestFrmMainLayout::windowCaptionAndClientArea()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vernalith Designer"));
    QVERIFY(!m_window->windowIcon().pixmap(32, 32).isNull());
    QWidget *client = m_window->centralWidget();
    QCOMPARE(client->size(), QSize(px(10665), px(8100)));
    // The client area starts below the menu bar.
    QVERIFY(client->geometry().top() >= m_window->menuBar()->geometry().bottom());
    // The layout is absolute: the window cannot be resized away from it.
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
}

void TestFrmMainLayout::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame1") << "Frame1" << QRect(7800, 240, 2655, 3375);
    QTest::newRow("Frame2") << "Frame2" << QRect(120, 3960, 4335, 1575);
    QTest::newRow("Frame4") << "Frame4" << QRect(4560, 3960, 5895, 1575);
    QTest::newRow("Frame3") << "Frame3" << QRect(120, 5640, 4335, 1575);
    QTest::newRow("Frame5") << "Frame5" << QRect(4560, 5640, 5895, 1575);
    QTest::newRow("cmdPreview") << "cmdPreview" << QRect(5040, 7560, 1935, 375);
    QTest::newRow("cmdPrint") << "cmdPrint" << QRect(7080, 7560, 1695, 375);
    QTest::newRow("cmdClose") << "cmdClose" << QRect(8880, 7560, 1695, 375);
    QTest::newRow("Label1") << "Label1" << QRect(240, 360, 1335, 285);
    QTest::newRow("txtCardWidth") << "txtCardWidth" << QRect(1560, 360, 615, 285);
    QTest::newRow("Label5") << "Label5" << QRect(240, 1800, 1335, 285);
    QTest::newRow("txtMaxPosY") << "txtMaxPosY" << QRect(1560, 2880, 615, 285);
    QTest::newRow("grdScaleArcs") << "grdScaleArcs" << QRect(120, 240, 3495, 1215);
    QTest::newRow("grdFaceLabels") << "grdFaceLabels" << QRect(120, 240, 5175, 1215);
    QTest::newRow("cmdAddScaleArc") << "cmdAddScaleArc" << QRect(3720, 240, 375, 375);
    QTest::newRow("cmdDelScaleArc") << "cmdDelScaleArc" << QRect(3720, 720, 375, 375);
    QTest::newRow("cmdAddScaleDigit") << "cmdAddScaleDigit" << QRect(5400, 240, 375, 375);
    QTest::newRow("cmdDelFaceLabel") << "cmdDelFaceLabel" << QRect(5400, 720, 375, 375);
}

void TestFrmMainLayout::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    auto *control = m_window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
}

void TestFrmMainLayout::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Frame1") << "Frame1" << "Meter Dimensions (mm)";
    QTest::newRow("Frame2") << "Frame2" << "Scale Arcs";
    QTest::newRow("Frame3") << "Frame3" << "Scale Tickmarks";
    QTest::newRow("Frame4") << "Frame4" << "Scale Digits";
    QTest::newRow("Frame5") << "Frame5" << "Face Labels";
    QTest::newRow("Label1") << "Label1" << "Card Width:";
    QTest::newRow("Label2") << "Label2" << "Card Height:";
    QTest::newRow("Label3") << "Label3" << "Needle Pivot X:";
    QTest::newRow("Label4") << "Label4" << "Needle Pivot Y:";
    QTest::newRow("Label5") << "Label5" << "Zero position X:";
    QTest::newRow("Label6") << "Label6" << "Zero position Y:";
    QTest::newRow("Label7") << "Label7" << "Max position X:";
    QTest::newRow("Label8") << "Label8" << "Max position Y:";
    QTest::newRow("cmdPreview") << "cmdPreview" << "Preview";
    QTest::newRow("cmdPrint") << "cmdPrint" << "Print";
    QTest::newRow("cmdClose") << "cmdClose" << "Close";
    QTest::newRow("cmdAddScaleArc") << "cmdAddScaleArc" << "+";
    QTest::newRow("cmdDelTickmarks") << "cmdDelTickmarks" << "-";
}

void TestFrmMainLayout::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *control = m_window->findChild<QWidget *>(name);
    QVERIFY(control);
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        QCOMPARE(frame->title(), caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), caption);
    else if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), caption);
    else
        QFAIL("not a frame, label or button");
}

void TestFrmMainLayout::tooltips_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("card width") << QStringList{"Label1", "txtCardWidth"} << "Meter face card width (mm)";
    QTest::newRow("card height") << QStringList{"Label2", "txtCardHeight"} << "Meter face card height (mm)";
    QTest::newRow("pivot x") << QStringList{"Label3", "txtNeedlePivotX"}
                             << "Distance from left edge of meter face to needle pivot (mm)";
    QTest::newRow("pivot y") << QStringList{"Label4", "txtNeedlePivotY"}
                             << "Distance from top of meter face to needle pivot (mm)";
    QTest::newRow("zero x") << QStringList{"Label5", "txtZeroPosX"}
                            << "Distance from left edge of meter face to needle tip at \"zero\" reading (mm)";
    QTest::newRow("zero y") << QStringList{"Label6", "txtZeroPosY"}
                            << "Distance from top of meter face to needle tip at \"zero\" reading (mm)";
    QTest::newRow("max x") << QStringList{"Label7", "txtMaxPosX"}
                           << "Distance from left edge of meter face to needle tip at maximum reading (mm)";
    QTest::newRow("max y") << QStringList{"Label8", "txtMaxPosY"}
                           << "Distance from top of meter face to needle tip at maximum reading (mm)";
    QTest::newRow("add arc") << QStringList{"cmdAddScaleArc"} << "Add Scale Arc";
    QTest::newRow("remove arc") << QStringList{"cmdDelScaleArc"} << "Remove Scale Arc";
    QTest::newRow("add digits") << QStringList{"cmdAddScaleDigit"} << "Add Scale Digits";
    QTest::newRow("remove digits") << QStringList{"cmdDelScaleDigit"} << "Remove Scale Digits";
    QTest::newRow("add tickmarks") << QStringList{"cmdAddTickmarks"} << "Add Scale Tickmarks";
    QTest::newRow("remove tickmarks") << QStringList{"cmdDelTickmarks"} << "Remove Scale Tickmarks";
    QTest::newRow("add labels") << QStringList{"cmdAddFaceLabel"} << "Add face Labels";
    QTest::newRow("remove labels") << QStringList{"cmdDelFaceLabel"} << "Remove Face Labels";
}

void TestFrmMainLayout::tooltips()
{
    QFETCH(QStringList, names);
    QFETCH(QString, tooltip);
    for (const QString &name : names) {
        QWidget *control = m_window->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->toolTip(), tooltip);
    }
}

void TestFrmMainLayout::columnWidths_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QList<int>>("twips"); // 0: the view's default width
    QTest::newRow("scale arcs") << "grdScaleArcs" << QList<int>{0};
    QTest::newRow("scale tickmarks") << "grdScaleTickmarks" << QList<int>{900, 1100, 1000};
    QTest::newRow("scale digits") << "grdScaleDigits" << QList<int>{750, 700, 700, 0, 700, 0};
    QTest::newRow("face labels") << "grdFaceLabels" << QList<int>{700, 700, 2700, 700};
}

void TestFrmMainLayout::columnWidths()
{
    QFETCH(QString, view);
    QFETCH(QList<int>, twips);
    auto *grid = m_window->findChild<QTableView *>(view);
    QVERIFY(grid);
    for (int col = 0; col < twips.size(); ++col) {
        const int expected = twips[col] ? px(twips[col]) : grid->horizontalHeader()->defaultSectionSize();
        QCOMPARE(grid->columnWidth(col), expected);
    }
}

void TestFrmMainLayout::fonts()
{
    QCOMPARE(m_window->font().pointSizeF(), 8.25);
    QCOMPARE(child<QLineEdit>("txtZeroPosX")->font().pointSizeF(), 8.25);
    QCOMPARE(child<QLabel>("Label3")->font().pointSizeF(), 8.25);
    QCOMPARE(child<QPushButton>("cmdPrint")->font().pointSizeF(), 8.25);
    for (const char *name : {"cmdAddScaleArc", "cmdDelScaleArc", "cmdAddScaleDigit", "cmdDelScaleDigit",
                             "cmdAddTickmarks", "cmdDelTickmarks", "cmdAddFaceLabel", "cmdDelFaceLabel"})
        QCOMPARE(child<QPushButton>(name)->font().pointSizeF(), 12.0);
}

void TestFrmMainLayout::menus()
{
    auto *file = child<QMenu>("mnuFile");
    auto *help = child<QMenu>("mnuHelp");
    QVERIFY(file);
    QVERIFY(help);
    QCOMPARE(file->title(), QStringLiteral("&File"));
    QCOMPARE(help->title(), QStringLiteral("&Help"));
    const QList<QAction *> bar = m_window->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->menu(), file);
    QCOMPARE(bar[1]->menu(), help);

    auto entries = [](QMenu *menu) {
        QStringList list;
        for (QAction *a : menu->actions()) {
            list << a->objectName() + QLatin1Char('=') + a->text();
            // No shortcuts, check marks or separators; always there and usable.
            if (!a->shortcut().isEmpty() || a->isCheckable() || a->isSeparator() || !a->isEnabled() ||
                !a->isVisible())
                list << QStringLiteral("unexpected state of ") + a->objectName();
        }
        return list;
    };
    QCOMPARE(entries(file), (QStringList{"mnuOpen=&Open", "mnuSave=&Save", "mnuExport=Export...", "mnuExit=E&xit"}));
    QCOMPARE(entries(help), (QStringList{"mnuHelpContents=&Contents", "mnuHelpAbout=&About Vernalith"}));
}

void TestFrmMainLayout::labelsAndFramesTakeNoFocus()
{
    for (QLabel *label : m_window->findChildren<QLabel *>())
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    for (QGroupBox *frame : m_window->findChildren<QGroupBox *>())
        QCOMPARE(frame->focusPolicy(), Qt::NoFocus);
}

void TestFrmMainLayout::tabWalksTheControlsInOrder()
{
    QStringList visited{QApplication::focusWidget()->objectName()};
    const int count = int(std::size(kTabOrder));
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QStringList expected;
    for (const char *name : kTabOrder)
        expected << QString::fromLatin1(name);
    expected << expected.first(); // round to the start again
    QCOMPARE(visited, expected);
}

void TestFrmMainLayout::shiftTabWalksBackwards()
{
    QStringList visited;
    const int count = int(std::size(kTabOrder));
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        visited << QApplication::focusWidget()->objectName();
    }
    QStringList expected; // from the first control backwards round to the first again
    for (int i = count - 1; i >= 0; --i)
        expected << QString::fromLatin1(kTabOrder[i]);
    QCOMPARE(visited, expected);
}

void TestFrmMainLayout::tabIntoFieldSelectsItsText()
{
    auto *height = child<QLineEdit>("txtCardHeight");
    height->setText(QStringLiteral("45 mm"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), height);
    QCOMPARE(height->selectedText(), QStringLiteral("45 mm"));
    QCOMPARE(height->selectionStart(), 0);

    // Shift+Tab back selects the previous field's text as well.
    child<QLineEdit>("txtCardWidth")->deselect();
    QTest::keyClick(height, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(child<QLineEdit>("txtCardWidth")->selectedText(), QStringLiteral("52"));
}

void TestFrmMainLayout::clickIntoFieldKeepsTheSelection()
{
    auto *pivot = child<QLineEdit>("txtNeedlePivotY");
    pivot->setText(QStringLiteral("33.25"));
    // A click in the middle of the text would put the cursor there and drop a selection.
    QTest::mouseClick(pivot, Qt::LeftButton, Qt::NoModifier, QPoint(pivot->width() / 3, pivot->height() / 2));
    QCOMPARE(QApplication::focusWidget(), pivot);
    QCOMPARE(pivot->selectedText(), QStringLiteral("33.25"));

    // A second click in the field that already has the focus places the cursor as usual.
    QTest::mouseClick(pivot, Qt::LeftButton, Qt::NoModifier, QPoint(pivot->width() / 3, pivot->height() / 2));
    QVERIFY(!pivot->hasSelectedText());
}

void TestFrmMainLayout::longTextHasFirst999CharactersSelected()
{
    auto *height = child<QLineEdit>("txtCardHeight");
    const QString text(1000, QLatin1Char('7'));
    height->setText(text);
    QCOMPARE(height->text().size(), 1000); // a field has no length limit of its own
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(height->selectionStart(), 0);
    QCOMPARE(height->selectedText().size(), 999);
}

void TestFrmMainLayout::helpTopicFollowsTheFocus_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("topic");
    QTest::newRow("dimension field") << "txtZeroPosX" << 20;
    QTest::newRow("scale arcs table") << "grdScaleArcs" << 30;
    QTest::newRow("scale arcs +") << "cmdAddScaleArc" << 30;
    QTest::newRow("scale arcs -") << "cmdDelScaleArc" << 30;
    QTest::newRow("scale digits table") << "grdScaleDigits" << 40;
    QTest::newRow("scale tickmarks table") << "grdScaleTickmarks" << 50;
    QTest::newRow("face labels -") << "cmdDelFaceLabel" << 60;
    QTest::newRow("Preview") << "cmdPreview" << 10;
    QTest::newRow("Print") << "cmdPrint" << 10;
    QTest::newRow("Close") << "cmdClose" << 10;
}

void TestFrmMainLayout::helpTopicFollowsTheFocus()
{
    QFETCH(QString, focus);
    QFETCH(int, topic);
    auto *control = m_window->findChild<QWidget *>(focus);
    QVERIFY(control);
    control->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), control);
    QCOMPARE(helpTopicFor(QApplication::focusWidget()), topic);
}

QTEST_MAIN(TestFrmMainLayout)
#include "test_frmmain_layout.moc"
