// File > Open, Save and Export through the window, the dialogs answered by the test: what is
// written, what is read back, and what is left when something goes wrong.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace vernalith;
Q_DECLARE_METATYPE(vernalith::DialDesign)

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

class TestFrmMainFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    std::unique_ptr<QTemporaryDir> dir;
    QString path(const QString &name) const { return dir->filePath(name); }
    void write(const QString &name, const QByteArray &bytes) { QVERIFY(testing::writeFile(path(name), bytes)); }
    void choose(const char *action, const QString &name)
    {
        w->files.answers << name;
        w->child<QAction>(action)->trigger();
    }
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        w.reset();
        dir = std::make_unique<QTemporaryDir>(); // the last test's directory goes with its files
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window) && dir->isValid());
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

    void opening_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QString>("message");
        QTest::addColumn<DialDesign>("design"); // afterwards; someDesign() is the design before
        // What the file may hold is the reader's to check; here, what the window shows of it.
        QTest::newRow("Divisions 40000") << QByteArray(kWorkedExample).replace("5\t0\t100", "40000\t0\t100") << ""
                                         << workedExample("40000");
        QTest::newRow("too many rows") << "[Vernalith1.0]\r\n[Arcs]\r\n" + QByteArray("20\r\n").repeated(kMaxDataRows + 1)
                                       << "An error occurred while Opening the file" << someDesign();
        QTest::newRow("wrong first line") << QByteArray("[Vernalith2.0]\r\n") << "Unknown file format!" << someDesign();
        QTest::newRow("missing file") << QByteArray() << "An error occurred while Opening the file" << someDesign();
    }
    void opening()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        w->window.model().setDesign(someDesign());
        if (!content.isNull())
            write("dial.vlt", content);
        choose("mnuOpen", path("dial.vlt"));
        QCOMPARE(w->messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QTEST(w->window.model().design(), "design");
        QCoreApplication::processEvents(); // the redraw after Open; a file that cannot be drawn shows why
        QCOMPARE(w->window.previewError().contains("40000"), content.contains("40000"));
    }

    void aFailedSaveLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        // A name as long as a name can be: the file exists, but no temporary file fits beside it.
        QTest::newRow("no room for a temporary file") << QString(251, 'n') + ".vlt" << "mA";
        QTest::newRow("a tab in a label") << "old.vlt" << "10\tk";
    }
    void aFailedSaveLeavesTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        write(name, kWorkedExample);
        w->window.table(TableKind::FaceLabels).setCell(1, 2, label);
        choose("mnuSave", path(name));
        QCOMPARE(w->messages.texts, QStringList{"An error occurred while saving"});
        QCOMPARE(readAll(path(name)), kWorkedExample);
        QCOMPARE(files(), QStringList{name});
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
        choose("mnuExport", path("wide.pdf"));
        QVERIFY(w->messages.texts.isEmpty());
        // 420 x 65 mm in points: the card plus 10 mm all round, not an A4 page that cuts it off.
        const QRegularExpressionMatch box = QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])")
                                                .match(QString::fromLatin1(readAll(path("wide.pdf"))));
        QVERIFY(box.hasMatch());
        QVERIFY(qAbs(box.captured(1).toDouble() - 420 / 25.4 * 72) < 1);
        QVERIFY(qAbs(box.captured(2).toDouble() - 65 / 25.4 * 72) < 1);
    }

    // Every way an export can fail is test_cli's; here, that the window says so and keeps what was there.
    void aFailedExportIsReportedAndChangesNothing()
    {
        QVERIFY(QDir(dir->path()).mkdir("card.svg"));
        choose("mnuExport", path("card.svg"));
        QCOMPARE(w->messages.texts, QStringList{"An error occurred while exporting"});
        QVERIFY2(w->messages.reasons.value(0).endsWith("it is a folder; only regular files are replaced"),
                 qPrintable(w->messages.reasons.value(0)));
        QVERIFY(QFileInfo(path("card.svg")).isDir());
        QCOMPARE(files(), QStringList());
    }
};

QTEST_MAIN(TestFrmMainFiles)
#include "test_frmmain_files.moc"
