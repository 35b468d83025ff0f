// File > Open, Save and Export through the window, with the file dialogs answered by the test:
// what is written, what is read back, and what is left when something goes wrong.

// The test tables are written with plain string literals.
#undef QT_NO_CAST_FROM_ASCII

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "frmmain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vernalith;
using vernalith::testing::FakeFiles;
using vernalith::testing::FakeMessages;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot read>");
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The worked example, rows kept in the order they have in the tables.
const QByteArray kWorkedExample = "[Vernalith1.0]\r\n[Dimensions]\r\n52\r\n45\r\n26\r\n33\r\n5\r\n12\r\n47\r\n12\r\n"
                                  "[Arcs]\r\n20\r\n22\r\n"
                                  "[Tickmarks]\r\n10\t22\t20\t\r\n50\t22\t21\t\r\n"
                                  "[Digits]\r\n5\t0\t100\t0\t24\t6\t\r\n"
                                  "[Labels]\r\n26\t40\tmA\t8\t\r\n"
                                  "\r\n";

DialDesign someDesign()
{
    DialDesign design = DialDesign::startup();
    design.dimensions = {"60", "50.5", "30", "40 mm", "6", "14", "54", "14"};
    design.table(TableKind::ScaleArcs) = {{"20"}, {"22"}, {""}};
    design.table(TableKind::ScaleTickmarks) = {{"10", "22", "20"}, {"50", "22", "21"}};
    design.table(TableKind::ScaleDigits) = {{"5", "0", "100", "0", "24", "6"}};
    design.table(TableKind::FaceLabels) = {{"26", "40", "µA ±2°", "8"}, {"5", "5", "Class 1.5", ""}};
    return design;
}

} // namespace

class TestFrmMainFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedExampleTypedAndSavedByteForByte();
    void saveThenOpenGivesTheSameDesign();
    void cancelledDialogsChangeNothing_data();
    void cancelledDialogsChangeNothing();
    void filesThatCannotBeOpenedLeaveTheDesignAlone_data();
    void filesThatCannotBeOpenedLeaveTheDesignAlone();
    void aFailedOpenDoesNotSpoilTheNextOne();
    void largestTablesOpen();
    void lfOnlyFileReadsLikeCrLf();
    void aFileThatCannotBeDrawnIsLoadedAndThePreviewSaysWhy();
    void failedSaveLeavesTheOldFile();
    void unstorableDesignIsNotSaved();
    void lastChosenNameIsOfferedInBothDialogs();
    void exportWritesTheChosenFormat();
    void exportOfAnUndrawableDesignFails();
    void fileNamedAtStartupIsOpened();

private:
    void typeInto(TableKind kind, const QStringList &keys);
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void trigger(const char *action) { m_window->findChild<QAction *>(action)->trigger(); }

    std::unique_ptr<FrmMain> m_window;
    FakeMessages m_messages;
    FakeFiles m_files;
    QTemporaryDir m_dir;
};

void TestFrmMainFiles::init()
{
    QVERIFY(m_dir.isValid());
    m_messages = FakeMessages();
    m_files = FakeFiles();
    m_window = std::make_unique<FrmMain>();
    m_window->setMessageSink(&m_messages);
    m_window->setFileChooser(&m_files);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmMainFiles::cleanup()
{
    m_window.reset();
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(path(name));
}

// Clicks the table's first cell and types `keys`; "\r" stands for Enter.
void TestFrmMainFiles::typeInto(TableKind kind, const QStringList &keys)
{
    auto *view = m_window->findChild<QTableView *>(QString::fromLatin1(tableInfo(kind).controlName));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(view->model()->index(0, 0)).center());
    for (const QString &key : keys) {
        if (key == "\r")
            QTest::keyClick(view, Qt::Key_Return);
        else
            QTest::keyClicks(view, key);
    }
}

void TestFrmMainFiles::workedExampleTypedAndSavedByteForByte()
{
    typeInto(TableKind::ScaleArcs, {"20", "\r", "22"});
    typeInto(TableKind::ScaleTickmarks, {"10", "\r", "22", "\r", "20", "\r", "50", "\r", "22", "\r", "21"});
    typeInto(TableKind::ScaleDigits, {"5", "\r", "0", "\r", "100", "\r", "0", "\r", "24", "\r", "6"});
    typeInto(TableKind::FaceLabels, {"26", "\r", "40", "\r", "mA", "\r", "8"});

    m_files.answers << path("worked.vlt");
    trigger("mnuSave");
    QVERIFY(m_messages.texts.isEmpty());
    const QByteArray bytes = readAll(path("worked.vlt"));
    QCOMPARE(bytes, kWorkedExample);
    QCOMPARE(bytes.size(), 164);
    QCOMPARE(m_files.filters, QStringList{"Vernalith files (*.vlt)"});
}

void TestFrmMainFiles::saveThenOpenGivesTheSameDesign()
{
    const DialDesign design = someDesign();
    m_window->model().setDesign(design);
    m_files.answers << path("round.vlt");
    trigger("mnuSave");

    m_window->model().setDesign(DialDesign::startup());
    m_files.answers << path("round.vlt");
    trigger("mnuOpen");
    QVERIFY(m_messages.texts.isEmpty());
    QCOMPARE(m_window->model().design(), design);
    // The fields show what was opened.
    QCOMPARE(m_window->findChild<QLineEdit *>("txtNeedlePivotY")->text(), QString("40 mm"));
}

void TestFrmMainFiles::cancelledDialogsChangeNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Open") << "mnuOpen";
    QTest::newRow("Save") << "mnuSave";
    QTest::newRow("Export") << "mnuExport";
}

void TestFrmMainFiles::cancelledDialogsChangeNothing()
{
    QFETCH(QString, action);
    m_window->model().setDesign(someDesign());
    // An earlier Save chose a name; the cancel comes after it.
    m_files.answers << path("earlier.vlt") << QString();
    trigger("mnuSave");
    QFile::remove(path("earlier.vlt"));

    m_window->findChild<QAction *>(action)->trigger();
    QCOMPARE(m_window->model().design(), someDesign());
    QVERIFY(m_messages.texts.isEmpty());
    QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(m_window->fileName(), path("earlier.vlt"));
}

void TestFrmMainFiles::filesThatCannotBeOpenedLeaveTheDesignAlone_data()
{
    QTest::addColumn<QByteArray>("content"); // empty name: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong first line") << QByteArray("[Vernalith2.0]\r\n[Dimensions]\r\n1\r\n") << "Unknown file format!";
    QTest::newRow("empty file") << QByteArray("") << "Unknown file format!";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Vernalith1.0]\r\n") << "Unknown file format!";
    QTest::newRow("CR-only line ends") << QByteArray("[Vernalith1.0]\r[Arcs]\r20\r\r") << "Unknown file format!";
    QTest::newRow("missing file") << QByteArray() << "An error occurred while Opening the file";

    QByteArray tooLong = "[Vernalith1.0]\r\n[Arcs]\r\n";
    for (int i = 0; i < 32767; ++i)
        tooLong += "20\r\n";
    tooLong += "[Tickmarks]\r\n\t\t\t\r\n\r\n";
    QTest::newRow("section of 32767 rows") << tooLong << "An error occurred while Opening the file";
}

void TestFrmMainFiles::filesThatCannotBeOpenedLeaveTheDesignAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const DialDesign design = someDesign();
    m_window->model().setDesign(design);
    const QString name = path("bad.vlt");
    if (!content.isNull())
        QVERIFY(writeAll(name, content));

    m_files.answers << name;
    trigger("mnuOpen");
    QCOMPARE(m_messages.texts, QStringList{message});
    QCOMPARE(m_window->model().design(), design);
}

void TestFrmMainFiles::aFailedOpenDoesNotSpoilTheNextOne()
{
    QVERIFY(writeAll(path("bad.vlt"), "something else\r\n"));
    QVERIFY(writeAll(path("good.vlt"), kWorkedExample));
    m_files.answers << path("bad.vlt") << path("good.vlt") << path("again.vlt");
    trigger("mnuOpen");
    trigger("mnuOpen");
    QCOMPARE(m_messages.texts, QStringList{"Unknown file format!"});
    QCOMPARE(m_window->table(TableKind::FaceLabels).cell(1, 2), QString("mA"));
    trigger("mnuSave");
    QCOMPARE(readAll(path("again.vlt")), kWorkedExample);
}

void TestFrmMainFiles::largestTablesOpen()
{
    QByteArray bytes = "[Vernalith1.0]\r\n";
    const char *const sections[] = {"[Arcs]", "[Tickmarks]", "[Digits]", "[Labels]"};
    const char *const rows[] = {"20\r\n", "10\t22\t20\t\r\n", "5\t0\t100\t0\t24\t6\t\r\n", "26\t40\tmA\t8\t\r\n"};
    for (int s = 0; s < 4; ++s) {
        bytes += sections[s];
        bytes += "\r\n";
        for (int i = 0; i < kMaxDataRows; ++i)
            bytes += rows[s];
    }
    bytes += "\r\n";
    QVERIFY(writeAll(path("large.vlt"), bytes));
    QVERIFY(m_window->loadFile(path("large.vlt")));
    for (TableKind kind : kAllTables)
        QCOMPARE(m_window->table(kind).dataRowCount(), kMaxDataRows);
    QVERIFY(m_messages.texts.isEmpty());
}

void TestFrmMainFiles::lfOnlyFileReadsLikeCrLf()
{
    QByteArray lfOnly = kWorkedExample;
    lfOnly.replace("\r\n", "\n");
    QVERIFY(writeAll(path("lf.vlt"), lfOnly));
    QVERIFY(writeAll(path("crlf.vlt"), kWorkedExample));
    QVERIFY(m_window->loadFile(path("crlf.vlt")));
    const DialDesign fromCrLf = m_window->model().design();
    m_window->model().setDesign(DialDesign::startup());
    QVERIFY(m_window->loadFile(path("lf.vlt")));
    QCOMPARE(m_window->model().design(), fromCrLf);
    QCOMPARE(m_window->table(TableKind::ScaleTickmarks).cell(2, 2), QString("21"));
}

void TestFrmMainFiles::aFileThatCannotBeDrawnIsLoadedAndThePreviewSaysWhy()
{
    QByteArray bytes = kWorkedExample;
    bytes.replace("5\t0\t100", "40000\t0\t100");
    QVERIFY(writeAll(path("undrawable.vlt"), bytes));
    m_files.answers << path("undrawable.vlt");
    trigger("mnuOpen");
    QVERIFY(m_messages.texts.isEmpty());
    QCOMPARE(m_window->table(TableKind::ScaleDigits).cell(1, 0), QString("40000"));
    QCOMPARE(m_window->table(TableKind::FaceLabels).cell(1, 2), QString("mA"));
    m_window->centralWidget()->repaint();
    QVERIFY2(m_window->previewError().contains("40000"), qPrintable(m_window->previewError()));
}

void TestFrmMainFiles::failedSaveLeavesTheOldFile()
{
    // A name as long as a file name can be: the file itself can exist, but no temporary file
    // can be made beside it, so the save fails on the way (even for a user whom permissions do
    // not stop).
    const QString name = path(QString(251, QLatin1Char('n')) + ".vlt");
    QVERIFY(writeAll(name, kWorkedExample));
    m_window->model().setDesign(someDesign());
    m_files.answers << name;
    trigger("mnuSave");
    QCOMPARE(m_messages.texts, QStringList{"An error occurred while saving"});
    QVERIFY(!m_messages.reasons.first().isEmpty());
    QCOMPARE(readAll(name), kWorkedExample);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestFrmMainFiles::unstorableDesignIsNotSaved()
{
    QVERIFY(writeAll(path("old.vlt"), kWorkedExample));
    auto *field = m_window->findChild<QLineEdit *>("txtCardWidth");
    field->setText(QString::fromUtf8("52 \u2126")); // a character Windows-1252 cannot hold
    QVERIFY(!m_window->saveFile(path("old.vlt")));
    QCOMPARE(m_messages.texts, QStringList{"An error occurred while saving"});
    QVERIFY2(m_messages.reasons.first().contains("Card Width"), qPrintable(m_messages.reasons.first()));
    QCOMPARE(readAll(path("old.vlt")), kWorkedExample);
}

void TestFrmMainFiles::lastChosenNameIsOfferedInBothDialogs()
{
    QVERIFY(writeAll(path("first.vlt"), kWorkedExample));
    m_files.answers << path("first.vlt") // Open
                    << QString()         // Save, cancelled
                    << path("second")    // Save, typed without an extension
                    << QString();        // Open, cancelled
    trigger("mnuOpen");
    trigger("mnuSave");
    trigger("mnuSave");
    trigger("mnuOpen");
    QCOMPARE(m_files.dialogs, (QStringList{"open", "save", "save", "open"}));
    QCOMPARE(m_files.initialNames, (QStringList{"", path("first.vlt"), path("first.vlt"), path("second")}));
    // The name is used as typed: nothing is added to it.
    QVERIFY(QFile::exists(path("second")));
    QVERIFY(!QFile::exists(path("second.vlt")));
}

void TestFrmMainFiles::exportWritesTheChosenFormat()
{
    QVERIFY(writeAll(path("card.vlt"), kWorkedExample));
    m_files.answers << path("card.vlt");
    trigger("mnuOpen");

    m_files.answers << path("card.pdf");
    trigger("mnuExport");
    QCOMPARE(m_files.exportFilters, (QStringList{"PDF (*.pdf)", "SVG (*.svg)", "PNG (*.png)", "DXF (*.dxf)"}));
    // The export is offered beside the dial file, named after it.
    QCOMPARE(m_files.initialNames.last(), path("card.pdf"));
    QVERIFY(readAll(path("card.pdf")).startsWith("%PDF"));

    // A name without an extension takes the chosen format's.
    m_files.answers << path("drawing");
    m_files.exportFilterAnswer = "SVG (*.svg)";
    trigger("mnuExport");
    QVERIFY(readAll(path("drawing.svg")).contains("<svg"));
    QVERIFY(m_messages.texts.isEmpty());
    // Export does not change the name Open and Save offer.
    QCOMPARE(m_window->fileName(), path("card.vlt"));
}

void TestFrmMainFiles::exportOfAnUndrawableDesignFails()
{
    DialDesign design = someDesign();
    design.table(TableKind::ScaleTickmarks)[0][0] = "40000";
    m_window->model().setDesign(design);
    m_files.answers << path("bad.png");
    trigger("mnuExport");
    QCOMPARE(m_messages.texts, QStringList{"An error occurred while exporting"});
    QVERIFY2(m_messages.reasons.first().contains("40000"), qPrintable(m_messages.reasons.first()));
    QVERIFY(!QFile::exists(path("bad.png")));
}

void TestFrmMainFiles::fileNamedAtStartupIsOpened()
{
    QVERIFY(writeAll(path("start.vlt"), kWorkedExample));
    m_window->openAtStartup(path("start.vlt"));
    QCOMPARE(m_window->table(TableKind::ScaleArcs).cell(2, 0), QString("22"));
    // Save then offers it, as after Open.
    m_files.answers << QString();
    trigger("mnuSave");
    QCOMPARE(m_files.initialNames, QStringList{path("start.vlt")});

    m_window->openAtStartup(path("missing.vlt"));
    QCOMPARE(m_messages.texts, QStringList{"An error occurred while Opening the file"});
    QCOMPARE(m_window->table(TableKind::ScaleArcs).cell(2, 0), QString("22"));
}

QTEST_MAIN(TestFrmMainFiles)
#include "test_frmmain_files.moc"
