// Help and About as the window offers them: F1 opens the topic of the part of the window that
// has the focus, Help > Contents the contents, the help pages link only to what exists, and a
// fresh About box closes on Enter, Esc or a click on "&Ok", but not on F1.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "fakes.h"
#include "frmabout.h"
#include "helpviewer.h"

#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

using namespace vernalith;

static QString resourceText(const QString &path)
{
    return QString::fromUtf8(testing::readAll(path));
}

class TestHelpAbout : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    int px(int twips) const { return qRound(twips * w->window.logicalDpiX() / 1440.0); }

private slots:
    void init()
    {
        w.reset();
        delete helpViewerInstance();
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
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
        const QString html = resourceText(page);
        QVERIFY(QRegularExpression("<title>[^<]+</title>").match(html).hasMatch());
        static const QRegularExpression reference("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\"");
        for (auto it = reference.globalMatch(html); it.hasNext();) {
            const QString link = it.next().captured(1);
            const QUrl target = QUrl("qrc" + page).resolved(QUrl(link));
            QVERIFY2(target.scheme() == "qrc" && QFile::exists(':' + target.path()), qPrintable(link));
            const QString anchor = "name=\"" + target.fragment() + "\"";
            if (target.hasFragment())
                QVERIFY2(resourceText(':' + target.path()).contains(anchor), qPrintable(link));
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

QTEST_MAIN(TestHelpAbout)
#include "test_helpabout.moc"
