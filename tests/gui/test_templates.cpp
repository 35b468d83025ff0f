// File > New from Template: every bundled design is listed, is exactly what Save would write for
// it, opens like a file but without a file name, and draws without an error.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/scalelaw.h"
#include "fakes.h"
#include "files/dialfile.h"
#include "templatelibrary.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>

using namespace vernalith;

using testing::readAll;

static DialDesign parsed(const QString &path)
{
    const DialReadResult read = parseDialFile(readAll(path), DialDesign::startup().dimensions);
    return read.ok() ? read.design : DialDesign();
}

// The directory the installed templates come from.
static QString sourceTemplates()
{
    return QStringLiteral(VERNALITH_TEST_DATA "/../../resources/templates");
}

class TestTemplates : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

    // Every template (the menu test checks there are no others), with its card and first scale.
    void templates_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QStringList>("scale"); // Law, Min, Max, Parameter
        QTest::newRow("linear µA") << "linear-0-100-microamps.vlt" << "52x45" << QStringList();
        QTest::newRow("VU") << "vu-meter.vlt" << "80x50" << QStringList{"db", "-20", "3", ""};
        QTest::newRow("ohms") << "ohmmeter.vlt" << "64x46" << QStringList{"ohms", "0", "inf", "50"};
        QTest::newRow("S") << "s-meter.vlt" << "64x46" << QStringList{"table", "0", "9", ""};
        QTest::newRow("SWR") << "swr-meter.vlt" << "64x46" << QStringList{"swr", "1", "inf", ""};
        QTest::newRow("square law") << "square-law-0-1-amps.vlt" << "52x45" << QStringList{"power", "0", "1", "2"};
    }

private slots:
    void init()
    {
        w.reset();
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }

    void theMenuListsEveryBundledAndInstalledTemplate()
    {
        QStringList listed, titles;
        for (const DesignTemplate &t : designTemplates())
            listed << t.fileName;
        auto *menu = w->window.findChild<QMenu *>("mnuNewFromTemplate");
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            titles << action->text();
        QCOMPARE(titles.size(), listed.size());
        QVERIFY(titles.contains(QString::fromUtf16(u"VU meter (\u221220 \u2026 +3 VU)")));
        // The same files in the program, in the source tree that is installed, and in the list.
        QStringList bundled = QDir(":/templates").entryList(QDir::Files);
        QStringList installed = QDir(sourceTemplates()).entryList({"*.vlt"}, QDir::Files);
        listed.sort();
        QCOMPARE(bundled, listed);
        QCOMPARE(installed, listed);
        QCOMPARE(listed.size(), 6);
    }

    void aTemplateIsWhatSaveWouldWriteForTheMeterItIsNamedFor_data() { templates_data(); }
    void aTemplateIsWhatSaveWouldWriteForTheMeterItIsNamedFor()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, card);
        QFETCH(QStringList, scale);
        const QByteArray bytes = readAll(":/templates/" + fileName);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(readAll(sourceTemplates() + "/" + fileName), bytes);
        const DialReadResult read = parseDialFile(bytes, DialDesign::startup().dimensions);
        QVERIFY2(read.ok(), qPrintable(read.error.detail));
        QCOMPARE(dialFileBytes(read.design), bytes);

        const DialDesign &design = read.design;
        QCOMPARE(design.dimension(Dimension::CardWidth) + "x" + design.dimension(Dimension::CardHeight), card);
        QCOMPARE(bytes.startsWith("[Vernalith1.0]\r\n"), scale.isEmpty()); // only scales need 1.1
        QCOMPARE(design.scales.value(0).mid(0, 4), scale);
        for (const QStringList &row : design.scales) {
            QString error;
            ScaleLaw::parse(row, &error);
            QCOMPARE(error, QString());
        }
    }

    void aTemplateOpensWithoutAFileNameAndDraws_data() { templates_data(); }
    void aTemplateOpensWithoutAFileNameAndDraws()
    {
        QFETCH(QString, fileName);
        w->window.setFileName("/somewhere/earlier.vlt");
        w->window.findChild<QAction *>("mnuTemplate_" + fileName)->trigger();
        QCOMPARE(w->messages.texts, QStringList());
        QCOMPARE(w->window.model().design(), parsed(":/templates/" + fileName));
        QCOMPARE(w->window.fileName(), QString());
        QVERIFY(!w->window.findChild<QAction *>("mnuRecent1")); // not a file of the user's

        w->window.repaint();
        QCOMPARE(w->window.previewError(), QString()); // every template draws

        // Save offers no name: the template is not the user's file.
        w->files.answers << QString();
        w->window.findChild<QAction *>("mnuSave")->trigger();
        QCOMPARE(w->files.initialNames, QStringList{QString()});
    }

    void aTemplateThatCannotBeReadIsReportedAsOpenReportsIt()
    {
        w->window.setFileName("/somewhere/earlier.vlt");
        const DialDesign before = w->window.model().design();
        QVERIFY(!w->window.loadTemplate(":/templates/no-such-template.vlt"));
        QCOMPARE(w->messages.texts, QStringList{"An error occurred while Opening the file"});
        QCOMPARE(w->window.model().design(), before);
        QCOMPARE(w->window.fileName(), "/somewhere/earlier.vlt");
    }
};

QTEST_MAIN(TestTemplates)
#include "test_templates.moc"
