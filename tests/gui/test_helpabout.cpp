// The About box and the help window, driven the way a user drives them: keys and clicks on the
// controls found by object name, results checked on what is shown.

#include "frmabout.h"
#include "helpviewer.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace vernalith;

namespace {

const QString kNotFoundTitle = QStringLiteral("Help page not found");

int twipsAt(int twips, int dpi)
{
    return qRound(twips * static_cast<double>(dpi) / 1440.0);
}

// A stand-in for the main window: a top-level widget that owns the boxes and the help.
std::unique_ptr<QWidget> shownMainWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Vernalith Designer"));
    window->setGeometry(120, 80, 560, 440);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the stand-in main window did not become active");
    return window;
}

QPushButton *okButton(FrmAbout &box)
{
    return box.findChild<QPushButton *>(QStringLiteral("Command1"));
}

// Runs `whileOpen` on the modal box once its own event loop runs, then returns when
// showAboutBox() returns. If the box is not found, every modal window is closed so that the
// test fails instead of hanging.
void duringAboutBox(QWidget *parent, const std::function<void(FrmAbout *)> &whileOpen, bool *found)
{
    *found = false;
    QTimer::singleShot(0, parent, [whileOpen, found] {
        auto *box = qobject_cast<FrmAbout *>(QApplication::activeModalWidget());
        *found = box != nullptr;
        if (box)
            whileOpen(box);
        while (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    showAboutBox(parent);
}

// An application-wide key filter that opens the help on F1, whichever widget has the focus.
class F1Watcher : public QObject
{
public:
    explicit F1Watcher(QWidget *mainWindow) : m_mainWindow(mainWindow) {}
    int pressed = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
            watched->isWidgetType()) {
            ++pressed;
            showHelpTopic(HelpTopicWindow, m_mainWindow);
            return true;
        }
        return false;
    }

private:
    QWidget *m_mainWindow;
};

QStringList helpPages()
{
    QStringList pages;
    QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pages << it.next();
    pages.sort();
    return pages;
}

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString resourcePathOf(const QUrl &url)
{
    return QLatin1Char(':') + url.path();
}

} // namespace

class TestHelpAbout : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    // About box: what it shows.
    void aboutBoxLayoutInTwips_data();
    void aboutBoxLayoutInTwips();
    void aboutBoxShowsNameAndVersion();
    void aboutBoxOkIsTheOnlyFocusAndTheDefault();

    // About box: how it closes.
    void aboutBoxCloses_data();
    void aboutBoxCloses();
    void aboutBoxAccessKeyPressesOk();
    void aboutBoxIsModalAndCentredOnItsParent();
    void aboutBoxIsBuiltAfreshEachTime();
    void f1InAboutBoxDoesNothing();

    // Help window.
    void helpTopicOpensItsPage_data();
    void helpTopicOpensItsPage();
    void helpContentsOpensTheIndex();
    void unknownTopicShowsNotFound_data();
    void unknownTopicShowsNotFound();
    void missingPageShowsNotFound();
    void helpIsOneWindowReused();
    void helpLeavesTheMainWindowUsable();
    void helpButtonsMoveThroughHistory();
    void helpGoesWithTheMainWindow();

    // Help pages.
    void contentsLinksEveryTopic_data();
    void contentsLinksEveryTopic();
    void pageLinksResolve_data();
    void pageLinksResolve();
    void anchorLinkScrollsToItsHeading();
};

void TestHelpAbout::cleanup()
{
    while (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    delete helpViewerInstance();
}

void TestHelpAbout::aboutBoxLayoutInTwips_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("client area") << QString() << QRect(0, 0, 3210, 3255);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(240, 120, 2655, 495);
    QTest::newRow("Command1") << QStringLiteral("Command1") << QRect(960, 2760, 1215, 375);
}

void TestHelpAbout::aboutBoxLayoutInTwips()
{
    QFETCH(QString, part);
    QFETCH(QRect, twips);

    FrmAbout box(nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const int dpi = box.logicalDpiX();

    const QWidget *widget = part.isEmpty() ? &box : box.findChild<QWidget *>(part);
    QVERIFY2(widget, qPrintable(part));
    const QRect shown = part.isEmpty() ? QRect(QPoint(0, 0), box.size()) : widget->geometry();
    const QRect expected(twipsAt(twips.x(), dpi), twipsAt(twips.y(), dpi), twipsAt(twips.width(), dpi),
                         twipsAt(twips.height(), dpi));
    QCOMPARE(shown, expected);
}

void TestHelpAbout::aboutBoxShowsNameAndVersion()
{
    FrmAbout box(nullptr);
    QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Vernalith"));
    QVERIFY(!box.windowIcon().isNull());

    auto *label = box.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Vernalith 1.0"));
    QCOMPARE(label->font().pointSizeF(), 18.0);
    QVERIFY(label->font().bold());
    QVERIFY(label->alignment() & Qt::AlignHCenter);

    QPushButton *ok = okButton(box);
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("&Ok"));
}

void TestHelpAbout::aboutBoxOkIsTheOnlyFocusAndTheDefault()
{
    FrmAbout box(nullptr);
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));

    QPushButton *ok = okButton(box);
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);

    // Tab has nowhere else to go.
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
    const auto widgets = box.findChildren<QWidget *>();
    for (const QWidget *w : widgets) {
        if (w != ok)
            QVERIFY2(w->focusPolicy() == Qt::NoFocus, qPrintable(w->objectName()));
    }
}

void TestHelpAbout::aboutBoxCloses_data()
{
    QTest::addColumn<int>("key"); // 0: a mouse click on "&Ok"
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << Qt::KeyboardModifiers();
    QTest::newRow("click on Ok") << 0 << Qt::KeyboardModifiers();
}

void TestHelpAbout::aboutBoxCloses()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    auto mainWindow = shownMainWindow();

    FrmAbout box(mainWindow.get());
    QSignalSpy finished(&box, &QDialog::finished);
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(box.isVisible());

    QPushButton *ok = okButton(box);
    if (key == 0)
        QTest::mouseClick(ok, Qt::LeftButton);
    else
        QTest::keyClick(ok, Qt::Key(key), modifiers);

    QVERIFY(!box.isVisible());
    QCOMPARE(finished.count(), 1);
}

void TestHelpAbout::aboutBoxAccessKeyPressesOk()
{
    FrmAbout box(nullptr);
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QPushButton *ok = okButton(box);
    QSignalSpy pressed(ok, &QPushButton::pressed);

    QTest::keyClick(ok, Qt::Key_O, Qt::AltModifier);

    // An access key presses the button at once and releases it, closing the box, a moment later.
    QCOMPARE(pressed.count(), 1);
}

void TestHelpAbout::aboutBoxIsModalAndCentredOnItsParent()
{
    auto mainWindow = shownMainWindow();
    QRect boxGeometry;
    bool modal = false;
    bool found = false;
    duringAboutBox(
        mainWindow.get(),
        [&](FrmAbout *box) {
            boxGeometry = box->frameGeometry();
            modal = QApplication::activeModalWidget() == box && box->windowModality() != Qt::NonModal;
        },
        &found);

    QVERIFY(found);
    QVERIFY(modal);
    const QPoint offset = boxGeometry.center() - mainWindow->frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("box centre off by %1, %2").arg(offset.x()).arg(offset.y())));
}

void TestHelpAbout::aboutBoxIsBuiltAfreshEachTime()
{
    auto mainWindow = shownMainWindow();

    // GIVEN a first box that the user somehow changed before closing it
    QPointer<FrmAbout> first;
    bool found = false;
    duringAboutBox(
        mainWindow.get(),
        [&](FrmAbout *box) {
            first = box;
            box->findChild<QLabel *>(QStringLiteral("Label1"))->setText(QStringLiteral("left over"));
            QTest::keyClick(okButton(*box), Qt::Key_Escape);
        },
        &found);
    QVERIFY(found);
    // THEN it is gone once closed
    QVERIFY(first.isNull());

    // WHEN About is asked for again THEN a new box shows the original text
    QString secondText;
    duringAboutBox(
        mainWindow.get(),
        [&](FrmAbout *box) {
            secondText = box->findChild<QLabel *>(QStringLiteral("Label1"))->text();
            QTest::keyClick(okButton(*box), Qt::Key_Return);
        },
        &found);
    QVERIFY(found);
    QCOMPARE(secondText, QStringLiteral("Vernalith 1.0"));
}

void TestHelpAbout::f1InAboutBoxDoesNothing()
{
    // GIVEN a main window whose F1 help watches every key of the program, and opens the help
    auto mainWindow = shownMainWindow();
    F1Watcher watcher(mainWindow.get());
    qApp->installEventFilter(&watcher);
    QTest::keyClick(mainWindow.get(), Qt::Key_F1);
    QCOMPARE(watcher.pressed, 1);
    delete helpViewerInstance();

    // WHEN F1 is pressed in the About box
    FrmAbout box(mainWindow.get());
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTest::keyClick(okButton(box), Qt::Key_F1);

    // THEN no help opens and the box stays
    QCOMPARE(watcher.pressed, 1);
    QVERIFY(box.isVisible());
    QVERIFY(!helpViewerInstance());

    // AND once the box has closed, F1 in the main window works again
    QTest::keyClick(okButton(box), Qt::Key_Escape);
    QTest::keyClick(mainWindow.get(), Qt::Key_F1);
    QCOMPARE(watcher.pressed, 2);
}

void TestHelpAbout::helpTopicOpensItsPage_data()
{
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("title");

    QTest::newRow("10 window") << 10 << QStringLiteral("The Vernalith Designer window");
    QTest::newRow("20 dimensions") << 20 << QStringLiteral("Meter Dimensions");
    QTest::newRow("30 scale arcs") << 30 << QStringLiteral("Scale Arcs");
    QTest::newRow("40 scale digits") << 40 << QStringLiteral("Scale Digits");
    QTest::newRow("50 scale tickmarks") << 50 << QStringLiteral("Scale Tickmarks");
    QTest::newRow("60 face labels") << 60 << QStringLiteral("Face Labels");
}

void TestHelpAbout::helpTopicOpensItsPage()
{
    QFETCH(int, topic);
    QFETCH(QString, title);
    auto mainWindow = shownMainWindow();

    showHelpTopic(topic, mainWindow.get());

    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->currentTitle(), title);
    QVERIFY2(viewer->windowTitle().contains(title), qPrintable(viewer->windowTitle()));
    // The page's heading says the same, so the reader sees where F1 took them.
    QVERIFY(viewer->browser()->toPlainText().startsWith(QStringLiteral("Contents\n") + title));
}

void TestHelpAbout::helpContentsOpensTheIndex()
{
    auto mainWindow = shownMainWindow();
    showHelpContents(mainWindow.get());

    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->currentUrl(), QUrl(QStringLiteral("qrc:/help/index.html")));
    QCOMPARE(viewer->currentTitle(), QStringLiteral("Vernalith Help"));
}

void TestHelpAbout::unknownTopicShowsNotFound_data()
{
    QTest::addColumn<int>("topic");

    QTest::newRow("0") << 0;
    QTest::newRow("11") << 11;
    QTest::newRow("70") << 70;
    QTest::newRow("-10") << -10;
}

void TestHelpAbout::unknownTopicShowsNotFound()
{
    QFETCH(int, topic);
    auto mainWindow = shownMainWindow();

    showHelpTopic(topic, mainWindow.get());

    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->currentTitle(), kNotFoundTitle);
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("not part of this copy")));

    // The program carries on: the same window still shows real pages.
    showHelpTopic(20, mainWindow.get());
    QCOMPARE(helpViewerInstance(), viewer);
    QCOMPARE(viewer->currentTitle(), QStringLiteral("Meter Dimensions"));
}

void TestHelpAbout::missingPageShowsNotFound()
{
    auto mainWindow = shownMainWindow();
    showHelpContents(mainWindow.get());
    HelpViewer *viewer = helpViewerInstance();

    viewer->showPage(QUrl(QStringLiteral("qrc:/help/no-such-page.html")));

    QCOMPARE(viewer->currentTitle(), kNotFoundTitle);
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("no-such-page.html")));
    // Its link leads back to the contents.
    const QString html = viewer->browser()->toHtml();
    QVERIFY(html.contains(QStringLiteral("qrc:/help/index.html")));
}

void TestHelpAbout::helpIsOneWindowReused()
{
    auto mainWindow = shownMainWindow();
    const auto helpWindows = [] {
        int count = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            count += qobject_cast<HelpViewer *>(w) != nullptr;
        return count;
    };

    showHelpContents(mainWindow.get());
    QPointer<HelpViewer> first = helpViewerInstance();
    QVERIFY(first);
    showHelpTopic(30, mainWindow.get());
    QCOMPARE(helpViewerInstance(), first.data());
    QCOMPARE(helpWindows(), 1);

    // Closed by the user and asked for again: the same window comes back, on the new page.
    first->close();
    QVERIFY(!first->isVisible());
    showHelpTopic(60, mainWindow.get());
    QCOMPARE(helpViewerInstance(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(first->currentTitle(), QStringLiteral("Face Labels"));
    QCOMPARE(helpWindows(), 1);
}

void TestHelpAbout::helpLeavesTheMainWindowUsable()
{
    auto mainWindow = shownMainWindow();
    showHelpContents(mainWindow.get());
    HelpViewer *viewer = helpViewerInstance();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));

    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(viewer->isWindow());
    // Not a child of the main window, so it does not stay glued on top of the design.
    QVERIFY(viewer->parentWidget() == nullptr);
    mainWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow.get()));
    QVERIFY(viewer->isVisible());
}

void TestHelpAbout::helpButtonsMoveThroughHistory()
{
    auto mainWindow = shownMainWindow();
    showHelpContents(mainWindow.get());
    showHelpTopic(20, mainWindow.get());
    HelpViewer *viewer = helpViewerInstance();
    auto *back = viewer->findChild<QToolButton *>(QStringLiteral("helpBack"));
    auto *forward = viewer->findChild<QToolButton *>(QStringLiteral("helpForward"));
    auto *contents = viewer->findChild<QToolButton *>(QStringLiteral("helpContents"));
    QVERIFY(back && forward && contents);
    QVERIFY(back->isEnabled());
    QVERIFY(!forward->isEnabled());

    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(viewer->currentTitle(), QStringLiteral("Vernalith Help"));
    QVERIFY(forward->isEnabled());

    QTest::mouseClick(forward, Qt::LeftButton);
    QCOMPARE(viewer->currentTitle(), QStringLiteral("Meter Dimensions"));

    QTest::mouseClick(contents, Qt::LeftButton);
    QCOMPARE(viewer->currentUrl(), QUrl(QStringLiteral("qrc:/help/index.html")));
}

void TestHelpAbout::helpGoesWithTheMainWindow()
{
    auto mainWindow = shownMainWindow();
    showHelpTopic(10, mainWindow.get());
    QPointer<HelpViewer> viewer = helpViewerInstance();
    QVERIFY(viewer);

    mainWindow.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(viewer.isNull());
    QVERIFY(!helpViewerInstance());
}

void TestHelpAbout::contentsLinksEveryTopic_data()
{
    QTest::addColumn<int>("topic");
    for (int topic : {10, 20, 30, 40, 50, 60})
        QTest::newRow(qPrintable(QString::number(topic))) << topic;
}

void TestHelpAbout::contentsLinksEveryTopic()
{
    QFETCH(int, topic);
    const QString index = resourceText(QStringLiteral(":/help/index.html"));
    QVERIFY(!index.isEmpty());
    const QString page = helpTopicUrl(topic).fileName();
    QVERIFY(index.contains(QStringLiteral("href=\"%1\"").arg(page)));
}

void TestHelpAbout::pageLinksResolve_data()
{
    QTest::addColumn<QString>("page");
    const QStringList pages = helpPages();
    QVERIFY(pages.size() >= 7); // contents and the six topics at least
    for (const QString &page : pages)
        QTest::newRow(qPrintable(page)) << page;
}

void TestHelpAbout::pageLinksResolve()
{
    QFETCH(QString, page);
    const QString html = resourceText(page);
    QVERIFY(!html.isEmpty());
    QVERIFY(QRegularExpression(QStringLiteral("<title>[^<]+</title>")).match(html).hasMatch());

    const QUrl pageUrl(QStringLiteral("qrc") + page);
    static const QRegularExpression reference(QStringLiteral("\\b(href|src)\\s*=\\s*\"([^\"]*)\""));
    int checked = 0;
    for (auto it = reference.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QUrl link(m.captured(2));
        QVERIFY2(link.scheme().isEmpty() || link.scheme() == QLatin1String("qrc"),
                 qPrintable(QStringLiteral("%1: %2 leaves the help").arg(page, m.captured(2))));
        const QUrl target = pageUrl.resolved(link);
        const QString targetPath = resourcePathOf(target);
        QVERIFY2(QFile::exists(targetPath), qPrintable(QStringLiteral("%1: %2 is missing").arg(page, m.captured(2))));

        if (link.hasFragment()) {
            const QString targetHtml = resourceText(targetPath);
            const QString anchor = QStringLiteral("name=\"%1\"").arg(link.fragment());
            QVERIFY2(targetHtml.contains(anchor),
                     qPrintable(QStringLiteral("%1: no anchor for %2").arg(page, m.captured(2))));
        }
        if (m.captured(1) == QLatin1String("src")) {
            QFile image(targetPath);
            QVERIFY(image.open(QIODevice::ReadOnly));
            QVERIFY2(!QImage::fromData(image.readAll()).isNull(), qPrintable(targetPath));
        }
        ++checked;
    }
    QVERIFY2(checked > 0, "a help page without a single link strands the reader");

    // And the viewer shows the page itself, not its "not found" page.
    HelpViewer viewer;
    viewer.showPage(pageUrl);
    QVERIFY(!viewer.currentTitle().isEmpty());
    QVERIFY(viewer.currentTitle() != kNotFoundTitle);
}

void TestHelpAbout::anchorLinkScrollsToItsHeading()
{
    HelpViewer viewer;
    viewer.resize(500, 300);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));

    viewer.showPage(QUrl(QStringLiteral("qrc:/help/scale-digits.html")));
    QCOMPARE(viewer.browser()->verticalScrollBar()->value(), 0);
    viewer.showPage(QUrl(QStringLiteral("qrc:/help/scale-digits.html#num-format")));
    QVERIFY(viewer.browser()->verticalScrollBar()->value() > 0);
}

QTEST_MAIN(TestHelpAbout)
#include "test_helpabout.moc"
