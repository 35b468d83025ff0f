// What the window keeps beyond one design: recent files, dropped files, and the recovery file
// after the program was ended unsaved or killed. All in temporary directories.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "designrecovery.h"
#include "fakes.h"
#include "files/dialfile.h"
#include "previewcache.h"
#include "templatelibrary.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace vernalith;

namespace {

using testing::kWorkedExample;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(testing::writeFile(path, bytes));
}

// The File menu below its first separator: the recent files, a separator, Exit.
QStringList belowFirstSeparator(FrmMain &window)
{
    QStringList entries;
    for (QAction *entry : window.findChild<QMenu *>("mnuFile")->actions())
        entries << entry->text();
    return entries.mid(entries.indexOf(QString()) + 1);
}

} // namespace

class TestFrmMainSession : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSettings> settings;

    QString path(const QString &name) { return dir->filePath(name); }
    QAction *action(const char *name) { return w->window.findChild<QAction *>(name); }
    void sendDrop(QWidget *target, const QStringList &files)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls << QUrl::fromLocalFile(file);
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        settings = std::make_unique<QSettings>(path("settings.ini"), QSettings::IniFormat);
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void cleanup()
    {
        w.reset();
        settings.reset();
        dir.reset();
    }

    void theLastEightFilesOpenedOrSavedAreListedNewestFirst()
    {
        w->window.keepSession(settings.get(), path("recovery"));
        for (int i = 1; i <= 10; ++i) {
            const QString name = path(QString("f%1.vlt").arg(i));
            if (i % 2) {
                writeFile(name, kWorkedExample);
                QVERIFY(w->window.loadFile(name));
            } else {
                QVERIFY(w->window.saveFile(name));
            }
        }
        QVERIFY(w->window.loadFile(path("f5.vlt"))); // again: to the top, once
        const QStringList expected = {"&1 f5.vlt", "&2 f10.vlt", "&3 f9.vlt", "&4 f8.vlt",
                                      "&5 f7.vlt", "&6 f6.vlt",  "&7 f4.vlt", "&8 f3.vlt"};
        QCOMPARE(belowFirstSeparator(w->window).mid(0, 8), expected);
        QCOMPARE(belowFirstSeparator(w->window).mid(8), QStringList({"", "E&xit"}));
        QCOMPARE(action("mnuRecent2")->toolTip(), QDir::toNativeSeparators(path("f10.vlt")));

        // The next start finds them again.
        w.reset();
        settings->sync();
        QSettings again(path("settings.ini"), QSettings::IniFormat);
        testing::ShownWindow next;
        next.window.keepSession(&again, path("recovery"));
        QCOMPARE(belowFirstSeparator(next.window).mid(0, 8), expected);
    }

    void aRecentFileOpensAsOpenDoes_data()
    {
        QTest::addColumn<QByteArray>("content"); // "" = the file is gone
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("staysListed");
        QTest::newRow("a dial file") << kWorkedExample << "" << true;
        QTest::newRow("gone: it leaves the list") << QByteArray() << "An error occurred while Opening the file"
                                                  << false;
        QTest::newRow("not a dial file") << QByteArray("hello\r\n") << "Unknown file format!" << true;
    }
    void aRecentFileOpensAsOpenDoes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(bool, staysListed);
        w->window.keepSession(settings.get(), path("recovery"));
        const QString name = path("recent.vlt");
        writeFile(name, kWorkedExample);
        QVERIFY(w->window.loadFile(name));
        w->window.model().setDesign(DialDesign::startup());
        QFile::remove(name);
        if (!content.isEmpty())
            writeFile(name, content);

        action("mnuRecent1")->trigger();
        QCOMPARE(w->messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(w->window.table(TableKind::FaceLabels).cell(1, 2), QString(message.isEmpty() ? "mA" : ""));
        QCOMPARE(w->window.fileName(), name);
        QCOMPARE(action("mnuRecent1") != nullptr, staysListed);
        QCOMPARE(settings->value("recentFiles").toStringList().size(), staysListed ? 1 : 0);
    }

    void droppingFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("opened");
        QTest::newRow("one file on the preview") << "clientArea" << QStringList{"good.vlt"} << "" << true;
        QTest::newRow("one file on a field") << "txtCardWidth" << QStringList{"good.vlt"} << "" << true;
        QTest::newRow("one file on a table") << "grdScaleDigits" << QStringList{"good.vlt"} << "" << true;
        QTest::newRow("two files: none opened")
            << "clientArea" << QStringList{"good.vlt", "bad.vlt"}
            << "Only one file can be opened at a time; 2 files were dropped and none was opened." << false;
    }

    void droppingFiles()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, files);
        QFETCH(QString, message);
        QFETCH(bool, opened);
        writeFile(path("good.vlt"), kWorkedExample);
        writeFile(path("bad.vlt"), "not a dial file");
        QStringList paths;
        for (const QString &file : files)
            paths << path(file);
        const QString fieldBefore = w->child<QLineEdit>("txtCardWidth")->text();

        sendDrop(w->window.findChild<QWidget *>(target), paths);
        QTRY_VERIFY(!w->messages.texts.isEmpty() || !w->window.fileName().isEmpty());
        QCOMPARE(w->messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(w->window.table(TableKind::FaceLabels).cell(1, 2), QString(opened ? "mA" : ""));
        QCOMPARE(w->child<QLineEdit>("txtCardWidth")->text(), fieldBefore); // no path typed into the field
        if (opened)
            QCOMPARE(w->window.fileName(), paths.first());
    }

    void aDragWithoutFilesIsLeftToTheControls()
    {
        QMimeData data;
        data.setText("12");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->child<QLineEdit>("txtCardWidth"), &enter);
        QVERIFY(enter.isAccepted()); // the field's own text drop
        QDragEnterEvent onPreview(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->child("clientArea"), &onPreview);
        QVERIFY(!onPreview.isAccepted());
    }

    void whatAnEarlierSessionLeftIsOffered_data()
    {
        QTest::addColumn<QByteArray>("left"); // "" = nothing left
        QTest::addColumn<QString>("lock"); // on the design: "" none, "dead" a killed copy's, "live" a running copy's
        QTest::addColumn<bool>("offered");
        QTest::newRow("a different design") << kWorkedExample << "" << true;
        QTest::newRow("a killed copy's design") << kWorkedExample << "dead" << true;
        QTest::newRow("a running copy's design: neither offered nor written over") << kWorkedExample << "live" << false;
        QTest::newRow("the start-up design") << dialFileBytes(DialDesign::startup()) << "" << false;
        QTest::newRow("not a dial file") << QByteArray("garbage\0\xff", 9) << "" << false;
        QTest::newRow("nothing") << QByteArray() << "" << false;
    }

    void whatAnEarlierSessionLeftIsOffered()
    {
        QFETCH(QByteArray, left);
        QFETCH(QString, lock);
        QFETCH(bool, offered);
        QDir().mkpath(path("recovery"));
        if (!left.isEmpty())
            writeFile(path("recovery/design.vlt"), left);
        QLockFile runningCopy(path("recovery/design.lock"));
        runningCopy.setStaleLockTime(0);
        if (lock == "live")
            QVERIFY(runningCopy.tryLock(0));
        else if (lock == "dead") // as QLockFile writes it, naming a process id no system gives out
            writeFile(path("recovery/design.lock"), "2147483647\nvernalith\n\n");

        w->window.keepSession(settings.get(), path("recovery"));
        QCOMPARE(action("mnuRecover")->isEnabled(), offered);
        PreviewCache *preview = w->window.findChild<PreviewCache *>();
        QCOMPARE(preview->hint().contains("File > Recover Last Design"), offered);
        QCOMPARE(w->window.model().design(), DialDesign::startup()); // the start-up itself is unchanged
        QVERIFY(w->messages.texts.isEmpty());
        w->window.model().setDimension(Dimension::CardWidth, "61");
        if (lock == "live") {
            QTest::qWait(DesignRecovery::kWriteDelayMs + 500);
            w.reset();
            QCOMPARE(testing::readAll(path("recovery/design.vlt")), kWorkedExample);
        }
        if (!offered)
            return;

        // The offer survives this session's own writes to the recovery file.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("recovery/design.vlt")), 10000);
        QVERIFY(action("mnuRecover")->isEnabled());
        action("mnuRecover")->trigger();
        QCOMPARE(w->window.table(TableKind::FaceLabels).cell(1, 2), QString("mA"));
        QVERIFY(!action("mnuRecover")->isEnabled());
        QVERIFY(preview->hint().isEmpty());
        QTRY_VERIFY(!QFile::exists(path("recovery/previous.vlt")));
    }

    void theDesignIsKeptAfterAChangeAndDroppedOnceSaved()
    {
        w->window.keepSession(settings.get(), path("recovery"));
        const QString kept = path("recovery/design.vlt");
        DesignModel &model = w->window.model();
        model.setDimension(Dimension::CardWidth, "60");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(kept), 10000);
        DialReadResult read = loadDialFile(kept, model.dimensions());
        QCOMPARE(read.design, model.design());

        QVERIFY(w->window.saveFile(path("saved.vlt")));
        QTRY_VERIFY(!QFile::exists(kept));

        model.table(TableKind::ScaleArcs).setCell(1, 0, "30");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(kept), 10000);
        // Back to what was saved: nothing left to recover.
        model.table(TableKind::ScaleArcs).setCell(1, 0, "");
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(kept), 10000);

        // Opening a file is as safe as saving one.
        model.table(TableKind::ScaleArcs).setCell(1, 0, "31");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(kept), 10000);
        QVERIFY(w->window.loadFile(path("saved.vlt")));
        QTRY_VERIFY(!QFile::exists(kept));

        // A template is the program's own: unchanged, it is nothing to recover either.
        action(qPrintable("mnuTemplate_" + designTemplates().first().fileName))->trigger();
        QTest::qWait(DesignRecovery::kWriteDelayMs + 500);
        QVERIFY(!QFile::exists(kept));

        // Ending the program keeps a change not yet written.
        model.setDimension(Dimension::CardHeight, "70");
        w.reset(); // as Esc ends the program, at once
        read = loadDialFile(kept, DialDesign::startup().dimensions);
        QCOMPARE(read.design.dimension(Dimension::CardHeight), QString("70"));
    }
};

QTEST_MAIN(TestFrmMainSession)
#include "test_frmmain_session.moc"
