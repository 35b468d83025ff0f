// Open, Save, Export and the templates through the window, with the dialogs answered by the test; recent
// and dropped files, and the recovery file after an unsaved end. All in temporary directories.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "designrecovery.h"
#include "fakes.h"
#include "files/dialfile.h"
#include "previewcache.h"
#include "render/dialrenderer.h"
#include "render/recordingsurface.h"
#include "templatelibrary.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace vernalith;

using testing::kWorkedExample;
using testing::readAll;

static DialDesign workedExample(const QString &divisions = "5")
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::ScaleArcs) = {{"20"}, {"22"}};
    design.table(TableKind::ScaleTickmarks) = {{"10", "22", "20"}, {"50", "22", "21"}};
    design.table(TableKind::ScaleDigits) = {{divisions, "0", "100", "0", "24", "6"}};
    design.table(TableKind::FaceLabels) = {{"26", "40", "mA", "8"}};
    return design;
}

// Not the start-up design, with characters only Windows-1252 holds and an empty last arc.
static DialDesign someDesign()
{
    DialDesign design = DialDesign::startup();
    design.dimensions = {"60", "50.5", "30", "40 mm", "6", "14", "54", "14"};
    design.table(TableKind::ScaleArcs) = {{"20"}, {"22"}, {""}};
    design.table(TableKind::FaceLabels) = {{"26", "40", "µA ±2°", "8"}, {"5", "5", "Class 1.5", ""}};
    return design;
}

struct FailedWrite {
    const char *name;
    QString command, file, label, message; // file: an old dial file, or a folder for Export
};
Q_DECLARE_METATYPE(FailedWrite)
static const char kSaving[] = "An error occurred while saving";
static const FailedWrite kFailedWrites[] = {
    // A name as long as a name can be: the file exists, but no temporary file fits beside it.
    {"no room for a temporary file", "mnuSave", QString(251, 'n') + ".vlt", "mA", kSaving},
    {"a tab in a label", "mnuSave", "old.vlt", "10\tk", kSaving},
    {"export over a folder", "mnuExport", "card.svg", "mA", "An error occurred while exporting"},
};

struct TemplateCase {
    const char *name;
    QString fileName;
    QString card;
    QStringList scale; // the first scale's Law, Min, Max, Parameter
    QString band = {}; // as a recording describes it; empty: none
};
Q_DECLARE_METATYPE(TemplateCase)

// Every template (the menu test checks there are no others). The VU zone: +3 VU at full scale,
// atan(24.4 / 29.1); 0 VU at 10^(-3/20) of the sweep from the mirror angle. The ohmmeter's window:
// 5 % ... 95 % of the 90 degree sweep from 135 degrees.
static const TemplateCase kTemplates[] = {
    {"linear µA", "linear-0-100-microamps.vlt", "52x45", {}},
    {"VU", "vu-meter.vlt", "80x50", {"db", "-20", "3", ""},
     "sector (40.0000, 46.0000) r 34.0000-36.0000 from 0.6978 to 1.2077 filled colour #D00000"},
    {"ohms", "ohmmeter.vlt", "64x46", {"ohms", "0", "inf", "50"},
     "sector (32.0000, 40.0000) r 23.0000-25.0000 from 0.8639 to 2.2777 cut"},
    {"S", "s-meter.vlt", "64x46", {"table", "0", "9", ""}},
    {"SWR", "swr-meter.vlt", "64x46", {"swr", "1", "inf", ""}},
    {"square law", "square-law-0-1-amps.vlt", "52x45", {"power", "0", "1", "2"}},
};

// The File menu below its first separator: the recent files, a separator, Exit.
static QStringList belowFirstSeparator(FrmMain &window)
{
    QStringList entries;
    for (QAction *entry : window.findChild<QMenu *>("mnuFile")->actions())
        entries << entry->text();
    return entries.mid(entries.indexOf(QString()) + 1);
}

class TestFrmMainFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSettings> settings;
    QString path(const QString &name) const { return dir->filePath(name); }
    // `file` in the test's directory, or anywhere when absolute.
    void write(const QString &file, const QByteArray &bytes)
    {
        QVERIFY(testing::writeFile(QDir(dir->path()).absoluteFilePath(file), bytes));
    }
    void choose(const char *action, const QString &name)
    {
        w->files.answers << name;
        w->child<QAction>(action)->trigger();
    }
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }
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
        settings = std::make_unique<QSettings>(path("session/settings.ini"), QSettings::IniFormat);
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void cleanup()
    {
        w.reset();
        settings.reset();
        dir.reset();
    }

    void theWorkedExampleIsSavedByteForByte()
    {
        w->window.model().setDesign(workedExample());
        choose("mnuSave", path("worked.vlt"));
        QCOMPARE(readAll(path("worked.vlt")), kWorkedExample);
        QCOMPARE(w->files.filters, QStringList{"Vernalith files (*.vlt)"});

        // Save then Open gives the same design.
        w->window.model().setDesign(someDesign());
        choose("mnuSave", path("round.vlt"));
        w->window.model().setDesign(DialDesign::startup());
        choose("mnuOpen", path("round.vlt"));
        QCOMPARE(w->window.model().design(), someDesign());
        QCOMPARE(w->child<QLineEdit>("txtNeedlePivotY")->text(), "40 mm");
    }

    // What a file may hold is the reader's to check, and Open's messages aRecentFileOpensAsOpenDoes';
    // a file that opens but cannot be drawn says why.
    void aFileThatCannotBeDrawnOpensAndSaysWhy()
    {
        write("dial.vlt", QByteArray(kWorkedExample).replace("5\t0\t100", "40000\t0\t100"));
        choose("mnuOpen", path("dial.vlt"));
        QCOMPARE(w->messages.texts, QStringList());
        QCOMPARE(w->window.model().design(), workedExample("40000"));
        QCoreApplication::processEvents(); // the redraw after Open
        QVERIFY2(w->window.previewError().contains("40000"), qPrintable(w->window.previewError()));
    }

    // Every way an export can fail is test_cli's; here, that the window says so and keeps what was there.
    void aFailedSaveOrExportLeavesWhatWasThere_data() { addNamedCases(kFailedWrites); }
    void aFailedSaveOrExportLeavesWhatWasThere()
    {
        QFETCH(FailedWrite, c);
        const bool saving = c.command == "mnuSave";
        if (saving)
            write(c.file, kWorkedExample);
        else
            QVERIFY(QDir(dir->path()).mkdir(c.file));
        w->window.table(TableKind::FaceLabels).setCell(1, 2, c.label);
        choose(qPrintable(c.command), path(c.file));
        QCOMPARE(w->messages.texts, QStringList{c.message});
        QCOMPARE(readAll(path(c.file)), saving ? kWorkedExample : QByteArray());
        QCOMPARE(files(), saving ? QStringList{c.file} : QStringList());
    }

    void theLastChosenNameIsOfferedFirstAndACancelChangesNothing()
    {
        write("first.vlt", kWorkedExample);
        choose("mnuOpen", path("first.vlt"));
        choose("mnuSave", QString());
        choose("mnuSave", path("second")); // used as typed: no extension is added
        choose("mnuOpen", QString());
        choose("mnuExport", QString());
        choose("mnuExport", path("card")); // offered beside the dial file; the chosen format's extension added
        w->window.openAtStartup(path("first.vlt")); // a file named on the command line counts as opened
        choose("mnuSave", QString());
        QCOMPARE(w->files.initialNames, (QStringList{"", path("first.vlt"), path("first.vlt"), path("second"),
                                                      path("second.pdf"), path("second.pdf"), path("first.vlt")}));
        QCOMPARE(w->files.filters[4], "PDF (*.pdf);;SVG (*.svg);;PNG (*.png);;DXF (*.dxf)");
        QCOMPARE(files(), (QStringList{"card.pdf", "first.vlt", "second"}));
        QVERIFY(readAll(path("card.pdf")).startsWith("%PDF"));
        QCOMPARE(w->window.model().design(), workedExample());
        QVERIFY(w->messages.texts.isEmpty());
    }

    void aCardTooLargeForA4IsExportedOnItsOwnPage()
    {
        DialDesign wide = workedExample();
        wide.dimension(Dimension::CardWidth) = "400";
        w->window.model().setDesign(wide);
        choose("mnuExport", path("wide.PDF")); // as a person may type it
        QVERIFY(w->messages.texts.isEmpty());
        // 420 x 65 mm in points: the card plus 10 mm all round, not an A4 page that cuts it off.
        const QRegularExpressionMatch box = QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])")
                                                .match(QString::fromLatin1(readAll(path("wide.PDF"))));
        QVERIFY(qAbs(box.captured(1).toDouble() - 420 / 25.4 * 72) < 1);
        QVERIFY(qAbs(box.captured(2).toDouble() - 65 / 25.4 * 72) < 1);
    }

    void exportAsksForTheOptionsOfItsFormat_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("SVG, texts as outlines") << "card.svg" << true << false;
        QTest::newRow("SVG, cancelled") << "card.svg" << true << true;
        QTest::newRow("PNG: nothing to ask") << "card.png" << false << false;
    }
    void exportAsksForTheOptionsOfItsFormat()
    {
        QFETCH(QString, file);
        QFETCH(bool, asked);
        QFETCH(bool, cancel);
        QVERIFY(w->window.loadTemplate(":/templates/vu-meter.vlt"));
        w->files.outlines = true;
        w->files.cancelOptions = cancel;
        choose("mnuExport", path(file));
        choose("mnuExport", path(file));
        QCOMPARE(w->files.optionFormats.size(), asked ? 2 : 0);
        if (asked && !cancel) // the choice is offered again
            QVERIFY(!w->files.offeredOptions.at(0).textOutlines && w->files.offeredOptions.at(1).textOutlines);
        QCOMPARE(files(), cancel ? QStringList() : QStringList{file});
        if (asked && !cancel)
            QVERIFY2(!readAll(path(file)).contains("<text"), "the texts are outlines");
        QCOMPARE(w->messages.texts, QStringList());
    }

    void theMenuListsEveryBundledAndInstalledTemplate()
    {
        QStringList listed, titles;
        for (const DesignTemplate &t : designTemplates())
            listed << t.fileName;
        for (QAction *action : w->window.findChild<QMenu *>("mnuNewFromTemplate")->actions())
            titles << action->text();
        QCOMPARE(titles.size(), listed.size());
        QVERIFY(titles.contains(QString::fromUtf16(u"VU meter (\u221220 \u2026 +3 VU)")));
        // The same files in the program, in the source tree that is installed, and in the list.
        listed.sort();
        QCOMPARE(QDir(":/templates").entryList(QDir::Files), listed);
        QCOMPARE(QDir(VERNALITH_TEST_DATA "/../../resources/templates").entryList({"*.vlt"}, QDir::Files), listed);
        QCOMPARE(listed.size(), qsizetype(std::size(kTemplates)));
    }

    // A template is exactly what Save would write for the meter it is named for; it opens like a
    // file but without a file name, and draws its bands under the rest.
    void eachTemplate_data() { addNamedCases(kTemplates); }
    void eachTemplate()
    {
        QFETCH(TemplateCase, c);
        const QByteArray bytes = readAll(":/templates/" + c.fileName);
        QCOMPARE(bytes.startsWith("[Vernalith1.0]\r\n"), c.scale.isEmpty()); // only scales need 1.1
        w->window.setFileName("/somewhere/earlier.vlt");
        w->child<QAction>(qPrintable("mnuTemplate_" + c.fileName))->trigger();
        QCOMPARE(w->messages.texts, QStringList());
        const DialDesign design = w->window.model().design();
        QCOMPARE(dialFileBytes(design), bytes); // opened whole, and Save would write it back unchanged
        QCOMPARE(design.dimension(Dimension::CardWidth) + "x" + design.dimension(Dimension::CardHeight), c.card);
        QCOMPARE(design.scales.value(0).mid(0, 4), c.scale);
        QCOMPARE(w->window.fileName(), QString());
        QVERIFY(!w->window.findChild<QAction *>("mnuRecent1")); // not a file of the user's
        w->window.repaint();
        QCOMPARE(w->window.previewError(), QString());
        choose("mnuSave", QString());
        QCOMPARE(w->files.initialNames, QStringList{QString()}); // no name offered: not the user's file

        RecordingSurface surface;
        drawDial(design, surface);
        using Kind = RecordingSurface::Kind;
        const QStringList bands = RecordingSurface::describe(surface.operations(Kind::Sector));
        QCOMPARE(bands, c.band.isEmpty() ? QStringList() : QStringList{c.band});
        if (!bands.isEmpty()) // under the rest
            QVERIFY(surface.drawn().first().kind == Kind::Sector);
    }

    void aTemplateThatCannotBeReadIsReportedAsOpenReportsIt()
    {
        w->window.setFileName("/somewhere/earlier.vlt");
        QVERIFY(!w->window.loadTemplate(":/templates/no-such-template.vlt"));
        QCOMPARE(w->messages.texts, QStringList{"An error occurred while Opening the file"});
        QCOMPARE(w->window.model().design(), DialDesign::startup());
        QCOMPARE(w->window.fileName(), "/somewhere/earlier.vlt");
    }

    void theLastEightFilesOpenedOrSavedAreListedNewestFirst()
    {
        w->window.keepSession(settings.get(), path("recovery"));
        for (int i = 1; i <= 10; ++i) {
            const QString name = path(QString("f%1.vlt").arg(i));
            if (i % 2) {
                write(name, kWorkedExample);
                QVERIFY(w->window.loadFile(name));
            } else {
                QVERIFY(w->window.saveFile(name));
            }
        }
        QVERIFY(w->window.loadFile(path("f5.vlt"))); // again: to the top, once
        const QStringList expected = {"&1 f5.vlt", "&2 f10.vlt", "&3 f9.vlt", "&4 f8.vlt",
                                      "&5 f7.vlt", "&6 f6.vlt",  "&7 f4.vlt", "&8 f3.vlt"};
        QCOMPARE(belowFirstSeparator(w->window), expected + QStringList({"", "E&xit"}));
        QCOMPARE(action("mnuRecent2")->toolTip(), QDir::toNativeSeparators(path("f10.vlt")));

        // The next start finds them again.
        w.reset();
        settings->sync();
        QSettings again(path("session/settings.ini"), QSettings::IniFormat);
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
        write(name, kWorkedExample);
        QVERIFY(w->window.loadFile(name));
        w->window.model().setDesign(DialDesign::startup());
        QFile::remove(name);
        if (!content.isEmpty())
            write(name, content);

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
        write(path("good.vlt"), kWorkedExample);
        write(path("bad.vlt"), "not a dial file");
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
            write(path("recovery/design.vlt"), left);
        QLockFile runningCopy(path("recovery/design.lock"));
        runningCopy.setStaleLockTime(0);
        if (lock == "live")
            QVERIFY(runningCopy.tryLock(0));
        else if (lock == "dead") // as QLockFile writes it, naming a process id no system gives out
            write(path("recovery/design.lock"), "2147483647\nvernalith\n\n");

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

QTEST_MAIN(TestFrmMainFiles)
#include "test_frmmain_files.moc"
