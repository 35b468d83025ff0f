// The Help menu and F1 as the window wires them: the contents page, the topic of the part of
// the window that has the focus, and a fresh About box each time.

// The test tables are written with plain string literals.
#undef QT_NO_CAST_FROM_ASCII

#include "fakes.h"
#include "frmabout.h"
#include "frmmain.h"
#include "helpviewer.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace vernalith;
using vernalith::testing::FakeMessages;

class TestFrmMainHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void f1OpensTheTopicOfTheFocusedPart_data();
    void f1OpensTheTopicOfTheFocusedPart();
    void contentsOpensTheContentsPage();
    void aboutShowsAFreshBoxCentredOnTheWindow();

private:
    std::unique_ptr<FrmMain> m_window;
    FakeMessages m_messages;
};

void TestFrmMainHelp::init()
{
    m_window = std::make_unique<FrmMain>();
    m_window->setMessageSink(&m_messages);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmMainHelp::cleanup()
{
    m_window.reset();
}

void TestFrmMainHelp::f1OpensTheTopicOfTheFocusedPart_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("topic");
    QTest::newRow("dimension field") << "txtZeroPosX" << 20;
    QTest::newRow("scale arcs table") << "grdScaleArcs" << 30;
    QTest::newRow("scale arcs +") << "cmdAddScaleArc" << 30;
    QTest::newRow("scale digits -") << "cmdDelScaleDigit" << 40;
    QTest::newRow("scale tickmarks table") << "grdScaleTickmarks" << 50;
    QTest::newRow("face labels table") << "grdFaceLabels" << 60;
    QTest::newRow("Print") << "cmdPrint" << 10;
}

void TestFrmMainHelp::f1OpensTheTopicOfTheFocusedPart()
{
    QFETCH(QString, focus);
    QFETCH(int, topic);
    auto *control = m_window->findChild<QWidget *>(focus);
    QVERIFY(control);
    control->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control, Qt::Key_F1);
    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->currentUrl(), helpTopicUrl(topic));
    // The help window does not take the design's place: nothing changed, nothing was said.
    QVERIFY(m_messages.texts.isEmpty());
}

void TestFrmMainHelp::contentsOpensTheContentsPage()
{
    m_window->findChild<QAction *>("mnuHelpContents")->trigger();
    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(viewer);
    QCOMPARE(viewer->currentUrl(), helpContentsUrl());
    // Non-modal: the window stays usable.
    QVERIFY(!viewer->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestFrmMainHelp::aboutShowsAFreshBoxCentredOnTheWindow()
{
    QList<QDialog *> boxes;
    QList<QPoint> offsets;
    auto closeBox = [&] {
        auto *box = qobject_cast<FrmAbout *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes << box;
        offsets << box->frameGeometry().center() - m_window->frameGeometry().center();
        QTest::keyClick(box, Qt::Key_Escape);
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, this, closeBox);
        m_window->findChild<QAction *>("mnuHelpAbout")->trigger();
        // Back here only once the box is closed.
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
    QCOMPARE(boxes.size(), 2);
    // The first box was destroyed with its call: none is left behind.
    QVERIFY(m_window->findChildren<FrmAbout *>().isEmpty());
    for (const QPoint &offset : offsets)
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

QTEST_MAIN(TestFrmMainHelp)
#include "test_frmmain_help.moc"
