// The designer window as it comes up: the design at start-up, where the controls are, what they
// say, the order Tab walks them in, how a dimension field selects its text; and its help: F1 opens
// the topic of the focused part, Help > Contents the contents, the help pages link only to what
// exists, and a fresh About box closes on Enter, Esc or a click on "&Ok", but not on F1.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "fakes.h"
#include "frmabout.h"
#include "helpviewer.h"

#include <QAction>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::TableKind)

class TestFrmMainLayout : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    int px(int twips) const { return qRound(twips * w->window.centralWidget()->logicalDpiX() / 1440.0); }
    QString focusName() const { return QApplication::focusWidget()->objectName(); }

private slots:
    void init()
    {
        w.reset();
        delete helpViewerInstance();
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
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
        // Each grid shows its own table (whose titles and widths are test_designtable's), one empty
        // data row under the header.
        for (TableKind kind : kAllTables) {
            QCOMPARE(w->view(kind)->model(), static_cast<QAbstractItemModel *>(&w->window.table(kind)));
            QCOMPARE(w->view(kind)->model()->rowCount(), 1);
        }
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

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<double>("points");
        const auto row = [](const char *name, QRect twips, const char *caption, QString tip = "", double pt = 8.25) {
            QTest::newRow(name) << QString(name) << twips << QString(caption) << tip << pt;
        };
        const QString zero = "to needle tip at \"zero\" reading (mm)";
        row("Frame1", {7800, 240, 2655, 3375}, "Meter Dimensions (mm)");
        row("txtZeroPosY", {1560, 2160, 615, 285}, "", "Distance from top of meter face " + zero);
        row("grdScaleArcs", {120, 240, 3495, 1215}, "");
        row("cmdAddScaleArc", {3720, 240, 375, 375}, "+", "Add Scale Arc", 12);
        row("cmdDelScaleDigit", {5400, 720, 375, 375}, "-", "Remove Scale Digits", 12);
        row("cmdAddFaceLabel", {5400, 240, 375, 375}, "+", "Add face Labels", 12);
        row("cmdPrint", {7080, 7560, 1695, 375}, "Print");
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(double, points);
        QWidget *control = w->window.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        if (!caption.isEmpty())
            QCOMPARE(control->property(qobject_cast<QGroupBox *>(control) ? "title" : "text").toString(), caption);
        QCOMPARE(control->toolTip(), tooltip);
        QCOMPARE(control->font().pointSizeF(), points);
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

    void f1OpensTheTopicOfTheFocusedPart_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("title");
        QTest::newRow("Print, 10") << "cmdPrint" << "The Vernalith Designer window";
        QTest::newRow("a dimension, 20") << "txtZeroPosX" << "Meter Dimensions";
        QTest::newRow("scale arcs +, 30") << "cmdAddScaleArc" << "Scale Arcs";
        QTest::newRow("scale digits -, 40") << "cmdDelScaleDigit" << "Scale Digits";
        QTest::newRow("face labels table, 60") << "grdFaceLabels" << "Face Labels";
    }
    void f1OpensTheTopicOfTheFocusedPart()
    {
        QFETCH(QString, focus);
        QFETCH(QString, title);
        w->child(qPrintable(focus))->setFocus(Qt::TabFocusReason);
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

    void helpPageLinksResolve_data()
    {
        QTest::addColumn<QString>("page");
        QDirIterator pages(":/help", {"*.html"});
        while (pages.hasNext())
            QTest::newRow(qPrintable(pages.next())) << pages.filePath();
        QVERIFY(QFile::exists(":/help/index.html"));
    }
    void helpPageLinksResolve()
    {
        QFETCH(QString, page);
        const QString html = QString::fromUtf8(testing::readAll(page));
        QVERIFY(QRegularExpression("<title>[^<]+</title>").match(html).hasMatch());
        static const QRegularExpression reference("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\"");
        for (auto it = reference.globalMatch(html); it.hasNext();) {
            const QString link = it.next().captured(1);
            const QUrl target = QUrl("qrc" + page).resolved(QUrl(link));
            QVERIFY2(target.scheme() == "qrc" && QFile::exists(':' + target.path()), qPrintable(link));
            const QString anchor = "name=\"" + target.fragment() + "\"";
            if (target.hasFragment())
                QVERIFY2(testing::readAll(':' + target.path()).contains(anchor.toUtf8()), qPrintable(link));
        }
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

QTEST_MAIN(TestFrmMainLayout)
#include "test_frmmain_layout.moc"
