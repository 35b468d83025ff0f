// What the window draws and prints, and how the program ends: the card behind the controls and a
// drawing error in red in the preview; Print, Print To and Printer Calibration on fake printers
// (which printer is used, what is said when none can be, the stored correction on the printed
// card, the calibration dialog by keyboard); Close, Exit and Esc.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "../namedcases.h"
#include "design/designtable.h"
#include "dlgprintercalibration.h"
#include "fakes.h"
#include "helpviewer.h"
#include "printercalibration.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <tuple>

using namespace vernalith;

namespace {

// The first and last dark pixel on the line `yMm` down the image, in whole millimetres.
QPair<int, int> darkSpanMm(const QImage &image, double yMm, double dpi)
{
    QPair<int, int> span(-1, -1);
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, qRound(yMm * dpi / 25.4))) < 160)
            span = {span.first < 0 ? qRound(x * 25.4 / dpi) : span.first, qRound(x * 25.4 / dpi)};
    return span;
}

qsizetype redPixels(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto *p = reinterpret_cast<const QRgb *>(rgb.constBits());
    return std::count_if(p, p + rgb.width() * rgb.height(),
                         [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; });
}

// The bounds of the dark pixels on the fake 300 dpi page, in mm: the card's outline, with all
// else inside it.
QRectF darkBoundsMm(const QImage &page)
{
    QRect dark;
    for (int y = 0; y < page.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x)
            if (qGray(line[x]) < 128)
                dark |= QRect(x, y, 1, 1);
    }
    return QRectF(QPointF(dark.left(), dark.top()) * 25.4 / 300, QPointF(dark.right(), dark.bottom()) * 25.4 / 300);
}

QStringList listOf(const char *text)
{
    return *text ? QStringList{text} : QStringList();
}

const char *const kNoPrinter = "You don't have a printer set up on this machine!";
const char *const kNoDefault = "No default printer is chosen on this machine!";
const char *const kRefused = "Destination \"Fake\" is not accepting jobs.";
const QStringList kSeveral{"Laser", "Inkjet", "PDF"}, kTwo{"Fake", "Laser"};

struct Measured {
    const char *name, *x, *y;
    const char *shown, *problem; // the factors shown after Store, or a part of the refusal's reason
};
const Measured kMeasured[] = {
    {"comma, mm", "147,06 mm", " 204.08mm ", "102.00 % across and 98.00 % down", ""},
    {"at the limits", "157.8", "190.5", "95.06 % across and 104.99 % down", ""},
    {"fit to page, 93 %", "140", "186", "", "fit to page"},
    {"Y 105.3 %", "150", "190", "", "vertical ruler measured 190 mm"},
    {"not a number", "150", "abc", "", "vertical ruler in millimetres"},
    {"zero", "0", "200", "", "horizontal ruler in millimetres"},
    {"two numbers", "150 151", "200", "", "horizontal ruler in millimetres"},
};

// What Print (cmdPrint), Print To and Printer Calibration ask of which printer, and what comes
// out. Laser has X 102 %, Y 98 % stored as the calibration dialog stores it; Fake a hand-edited
// X 150 %, out of range and so ignored. Calibration needs the printer Print would use.
struct Job {
    const char *name, *action;
    QStringList installed;
    const char *defaultPrinter, *printedOn; // printedOn empty: nothing printed
    QSizeF card;                            // the printed outline, mm
    const char *message = "", *named = "";  // and what its reason names
    const char *offered = "", *picked = ""; // by the print dialog: offered first, picked (empty: cancelled)
    int copies = 1;
    const char *divisions = "5";
    bool refused = false; // by the print server, every job
};
const Job kJobs[] = {
    {"Print, none", "cmdPrint", {}, "", "", {}, kNoPrinter},
    {"Print, one, no default", "cmdPrint", {"Laser"}, "", "Laser", {53.04, 44.1}},
    {"Print, several, no default", "cmdPrint", kSeveral, "", "", {}, kNoDefault, "Laser, Inkjet, PDF"},
    {"Print, several, one the default", "cmdPrint", kSeveral, "Inkjet", "Inkjet", {52, 45}},
    {"Print, a job refused", "cmdPrint", {"Fake"}, "Fake", "", {}, "Printer error!", kRefused, "", "", 1, "5", true},
    {"Calibration, several, no default", "mnuPrinterCalibration", kSeveral, "", "", {}, kNoDefault},
    {"Print To the default, twice", "mnuPrintTo", kTwo, "Fake", "Fake", {52, 45}, "", "", "Fake", "Fake", 2},
    {"Print To another, its correction", "mnuPrintTo", kTwo, "Fake", "Laser", {53.04, 44.1}, "", "", "Fake", "Laser"},
    {"Print To, no default: the first offered", "mnuPrintTo", kTwo, "", "Laser", {53.04, 44.1}, "", "", "Fake",
     "Laser", 3},
    {"Print To, cancelled", "mnuPrintTo", kTwo, "Fake", "", {}, "", "", "Fake", ""},
    {"Print To, a design that cannot be drawn", "mnuPrintTo", {"Fake"}, "Fake", "", {}, "Printer error!",
     "Divisions 40000", "Fake", "Fake", 1, "40000"},
    {"Print To, no printer", "mnuPrintTo", {}, "", "", {}, kNoPrinter, "", "", "Fake"},
};

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Measured)

class TestFrmMainPreview : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    QWidget *client() { return w->window.centralWidget(); }
    double dpi() { return client()->logicalDpiX(); }
    // The part of the client area that no control covers, 7800 x 3960 twips.
    QImage preview() { return client()->grab(QRect(0, 0, dpi() * 7800 / 1440, dpi() * 3960 / 1440)).toImage(); }
    void setDivisions(const QString &text) { w->window.table(TableKind::ScaleDigits).setCell(1, 0, text); }

    DlgPrinterCalibration *openCalibration()
    {
        w->child<QAction>("mnuPrinterCalibration")->trigger();
        auto *dialog = w->window.findChild<DlgPrinterCalibration *>();
        if (!dialog || !dialog->isVisible())
            return nullptr;
        QApplication::setActiveWindow(dialog); // there is no window manager to do it
        return QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }
    void store(const QString &printer, double x, double y)
    {
        QString reason;
        QVERIFY2(PrinterCalibration().store(printer, CardScale{x, y}, reason), qPrintable(reason));
    }

private slots:
    void initTestCase()
    {
        // Nothing here may reach the user's own settings.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("VernalithTest");
        QCoreApplication::setApplicationName("test_frmmain_preview");
        QVERIFY2(QSettings().fileName().contains("qttest"), qPrintable(QSettings().fileName()));
    }

    void init()
    {
        QSettings().remove("PrinterCalibration");
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }
    void cleanup() { w.reset(); }

    void thePreviewDrawsTheCardAtTrueSizeOrSaysInRedWhyItCannot()
    {
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()), qMakePair(10, 62)); // halfway down the start-up card
        setDivisions("40000");
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QVERIFY(redPixels(preview()) > 20);
        QVERIFY2(w->window.previewError().contains("40000"), qPrintable(w->window.previewError()));
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()).first, 10); // what was drawn before the error stays
        QVERIFY(w->messages.texts.isEmpty());
        setDivisions("4");
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QCOMPARE(redPixels(preview()), 0);
    }

    void printersAskedAndPagesPrinted_data() { addNamedCases(kJobs); }
    void printersAskedAndPagesPrinted()
    {
        QFETCH(Job, c);
        store("Laser", 1.02, 0.98);
        QSettings().setValue("PrinterCalibration/Fake/ScaleX", 1.5);
        QSettings().setValue("PrinterCalibration/Fake/ScaleY", 1.0);
        w->printers.names = c.installed;
        w->printers.defaultName = c.defaultPrinter;
        w->printers.picked = c.picked;
        w->printers.pickedCopies = c.copies;
        w->printers.refusal = c.refused ? kRefused : "";
        w->window.table(TableKind::ScaleDigits).setCell(1, 0, c.divisions);
        if (c.action == QString("cmdPrint"))
            QTest::mouseClick(w->child<QPushButton>(c.action), Qt::LeftButton);
        else
            w->child<QAction>(c.action)->trigger();
        QCOMPARE(w->printers.offered, listOf(c.offered));
        QCOMPARE(w->messages.texts, listOf(c.message));
        QVERIFY2(w->messages.reasons.value(0).contains(c.named), qPrintable(w->messages.reasons.value(0)));
        QCOMPARE(w->printers.printedOn, listOf(c.printedOn));
        // Only the printer printed on is asked for a page: none for a card that cannot be drawn.
        QCOMPARE(w->printers.jobsOn, c.refused ? QStringList{"Fake"} : w->printers.printedOn);
        QCOMPARE(w->window.findChild<DlgPrinterCalibration *>(), nullptr);
        if (!*c.printedOn)
            return;
        QCOMPARE(w->printers.jobCopies, QList<int>{c.copies});
        // At true size (or as corrected), 10 mm in from the printable area's corner.
        const QRectF o = darkBoundsMm(w->printers.page);
        const QPointF end = QPointF(10, 10) + QPointF(c.card.width(), c.card.height());
        QVERIFY2(QLineF(o.topLeft(), QPointF(10, 10)).length() < 0.25 && QLineF(o.bottomRight(), end).length() < 0.25,
                 qPrintable(QString("%1, %2 to %3, %4 mm").arg(o.left()).arg(o.top()).arg(o.right()).arg(o.bottom())));
    }

    // The typed lengths of the test sheet's 150 and 200 mm rulers.
    void measuredLengthsBecomeFactorsOrAreRefused_data() { addNamedCases(kMeasured); }
    void measuredLengthsBecomeFactorsOrAreRefused()
    {
        QFETCH(Measured, c);
        const MeasuredScale m = scaleFromMeasurements(c.x, c.y);
        QVERIFY2(m.ok == !*c.problem && m.problem.contains(c.problem), qPrintable(m.problem));
        if (m.ok)
            QCOMPARE(scalePercent(m.scale.x) + " across and " + scalePercent(m.scale.y) + " down", c.shown);
    }

    void theDialogWorksByKeyboard()
    {
        DlgPrinterCalibration *dialog = openCalibration();
        QVERIFY(dialog->findChild<QLabel *>("lblPrinter")->text().contains("Fake"));
        QVERIFY(dialog->findChild<QLabel *>("lblFactors")->text().contains("Not calibrated"));

        // Alt+P prints the test sheet (its size with a correction stored is measured through CUPS).
        store("Fake", 1.03, 0.97);
        QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(w->printers.printedOn, QStringList{"Fake"}); // a mnemonic clicks a moment later

        // Lengths that cannot be used are said so and change nothing.
        QVERIFY(!dialog->storeMeasurements("140", "186"));
        QCOMPARE(w->messages.texts, QStringList{"These lengths cannot be used!"});
        QCOMPARE(PrinterCalibration().scaleFor("Fake").x, 1.03);
        w->messages.texts.clear();

        // Alt+H and Alt+V reach the length fields; Enter stores.
        for (const auto &[key, field, text] : {std::tuple(Qt::Key_H, "txtMeasuredX", "147.06"),
                                               std::tuple(Qt::Key_V, "txtMeasuredY", "204.08")}) {
            QTest::keyClick(dialog, key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>(field));
            QTest::keyClicks(QApplication::focusWidget(), text);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w->messages.texts, QStringList());
        QVERIFY(dialog->findChild<QLabel *>("lblFactors")->text().contains("102.00 % across and 98.00 % down"));
        QVERIFY(std::abs(PrinterCalibration().scaleFor("Fake").x - 150 / 147.06) < 1e-9);

        // Alt+R removes the correction.
        QTest::keyClick(dialog, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(PrinterCalibration().isCalibrated("Fake"), false);
        QVERIFY(dialog->findChild<QLabel *>("lblFactors")->text().contains("100.00 % across and 100.00 % down"));

        // F1 opens the calibration topic; Esc closes the dialog.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(helpViewerInstance() && helpViewerInstance()->isVisible());
        QCOMPARE(helpViewerInstance()->currentTitle(), "Printer calibration");
        QPointer<DlgPrinterCalibration> alive(dialog);
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(alive.isNull()); // closed and deleted
    }

    void theProgramEndsAtOnce_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"cmdClose", "mnuExit", "Esc txtZeroPosY", "Esc grdFaceLabels", "Esc cmdPrint", "close"})
            QTest::newRow(how) << how;
    }
    void theProgramEndsAtOnce()
    {
        QFETCH(QString, how);
        setDivisions("5"); // unsaved changes are no reason to ask
        QTimer::singleShot(0, this, [this, how] {
            if (how.startsWith("Esc "))
                QTest::keyClick(w->child(qPrintable(how.mid(4))), Qt::Key_Escape);
            else if (how == "cmdClose")
                QTest::mouseClick(w->child<QPushButton>("cmdClose"), Qt::LeftButton);
            else if (how == "mnuExit")
                w->child<QAction>("mnuExit")->trigger();
            else
                w->window.close();
        });
        QObject guard; // should the program not end, this ends the loop with a code that fails the test
        QTimer::singleShot(20000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!w->window.isVisible());
    }
};

QTEST_MAIN(TestFrmMainPreview)
#include "test_frmmain_preview.moc"
