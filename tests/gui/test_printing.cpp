// Print and Printer Calibration on fake printers: which printer is used, what is said when none
// can be, the stored correction on the printed card, and the calibration dialog by keyboard.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designtable.h"
#include "dialprinting.h"
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
#include <QTextBrowser>

#include <tuple>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::PrintResult)

namespace {

constexpr double kFakeDpi = 300.0;

// The card outline on the fake page in mm: first and last dark pixel along a row and a column.
struct Outline {
    double left = -1, top = -1, width = -1, height = -1;
};
Outline outlineOn(const QImage &page, double rowMm, double columnMm)
{
    const double perMm = kFakeDpi / 25.4;
    const auto span = [&](bool across, double atMm, double &first, double &length) {
        int a = -1, b = -1;
        const int at = qRound(atMm * perMm);
        for (int k = 0; k < (across ? page.width() : page.height()); ++k)
            if (qGray(across ? page.pixel(k, at) : page.pixel(at, k)) < 128) {
                a = a < 0 ? k : a;
                b = k;
            }
        first = a / perMm;
        length = (b - a) / perMm;
    };
    Outline o;
    span(true, rowMm, o.left, o.width);
    span(false, columnMm, o.top, o.height);
    return o;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;

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
        QCoreApplication::setApplicationName("test_printing");
        QVERIFY2(QSettings().fileName().contains("qttest"), qPrintable(QSettings().fileName()));
    }

    void init()
    {
        QSettings().remove("PrinterCalibration");
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
    }
    void cleanup() { w.reset(); }

    // Printer Calibration needs the same printer Print would use, and opens no dialog without it.
    void printUsesTheDefaultOrTheOnlyPrinter_data()
    {
        QTest::addColumn<bool>("calibrate");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("defaultPrinter");
        QTest::addColumn<QString>("printedOn");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("named"); // what the message's reason must name
        QTest::addColumn<QString>("refusal");   // what the print server says to a job
        const QString none = "You don't have a printer set up on this machine!";
        const QString noDefault = "No default printer is chosen on this machine!";
        const QStringList several{"Laser", "Inkjet", "PDF"};
        const QString refused = "Destination \"Fake\" is not accepting jobs.";
        QTest::newRow("none") << false << QStringList() << "" << "" << none << QStringList() << "";
        QTest::newRow("one, no default") << false << QStringList{"Laser"} << "" << "Laser" << "" << QStringList() << "";
        QTest::newRow("several, no default")
            << false << several << "" << "" << noDefault << QStringList{"Laser, Inkjet, PDF", "default"} << "";
        QTest::newRow("several, one the default") << false << several << "Inkjet" << "Inkjet" << "" << QStringList()
                                                  << "";
        QTest::newRow("a job refused") << false << QStringList{"Fake"} << "Fake" << "" << "Printer error!"
                                       << QStringList{refused} << refused;
        QTest::newRow("calibration, none") << true << QStringList() << "" << "" << none << QStringList() << "";
        QTest::newRow("calibration, several, no default") << true << several << "" << "" << noDefault
                                                          << QStringList() << "";
    }
    void printUsesTheDefaultOrTheOnlyPrinter()
    {
        QFETCH(bool, calibrate);
        QFETCH(QStringList, installed);
        QFETCH(QString, defaultPrinter);
        QFETCH(QString, printedOn);
        QFETCH(QString, message);
        QFETCH(QStringList, named);
        QFETCH(QString, refusal);
        w->printers.names = installed;
        w->printers.defaultName = defaultPrinter;
        w->printers.refusal = refusal;
        if (calibrate)
            w->child<QAction>("mnuPrinterCalibration")->trigger();
        else
            QTest::mouseClick(w->child<QPushButton>("cmdPrint"), Qt::LeftButton);
        QCOMPARE(w->messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        for (const QString &name : named)
            QVERIFY2(w->messages.reasons.value(0).contains(name), qPrintable(w->messages.reasons.value(0)));
        QCOMPARE(w->printers.printedOn, printedOn.isEmpty() ? QStringList() : QStringList{printedOn});
        if (refusal.isEmpty()) // only the printer printed on was asked for a page
            QCOMPARE(w->printers.jobsOn, w->printers.printedOn);
        QCOMPARE(w->window.findChild<DlgPrinterCalibration *>(), nullptr);
    }

    // Stored as the calibration dialog stores it; a hand-edited factor out of range is ignored.
    void printAppliesTheStoredCorrectionOfItsPrinter_data()
    {
        QTest::addColumn<QString>("storedFor");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("none stored") << "" << 1.0 << 1.0 << 52.0 << 45.0;
        QTest::newRow("X 102 %, Y 98 %") << "Fake" << 1.02 << 0.98 << 53.04 << 44.1;
        QTest::newRow("stored for another printer") << "Laser" << 1.02 << 0.98 << 52.0 << 45.0;
        QTest::newRow("hand-edited X 150 %") << "Fake" << 1.5 << 1.0 << 52.0 << 45.0;
    }
    void printAppliesTheStoredCorrectionOfItsPrinter()
    {
        QFETCH(QString, storedFor);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, width);
        QFETCH(double, height);
        if (!storedFor.isEmpty()) {
            QSettings().setValue("PrinterCalibration/" + storedFor + "/ScaleX", x);
            QSettings().setValue("PrinterCalibration/" + storedFor + "/ScaleY", y);
        }
        QTest::mouseClick(w->child<QPushButton>("cmdPrint"), Qt::LeftButton);
        QCOMPARE(w->messages.texts, QStringList());
        const Outline o = outlineOn(w->printers.page, 12, 12); // clear of the arcs and the cross
        const double tolerance = 2 * 25.4 / kFakeDpi;
        QVERIFY2(std::abs(o.left - 10) < tolerance && std::abs(o.top - 10) < tolerance
                     && std::abs(o.width - width) < tolerance && std::abs(o.height - height) < tolerance,
                 qPrintable(QString("%1, %2 mm, %3 x %4 mm").arg(o.left).arg(o.top).arg(o.width).arg(o.height)));
    }

    void measuredLengthsBecomeFactorsOrAreRefused_data()
    {
        QTest::addColumn<QString>("measuredX");
        QTest::addColumn<QString>("measuredY");
        QTest::addColumn<QString>("shown");   // the dialog's factors line after Store; empty: refused
        QTest::addColumn<QString>("problem"); // a part of the refusal's reason
        QTest::newRow("X 102 %, Y 98 %") << "147.06" << "204.08" << "102.00 % across and 98.00 % down" << "";
        QTest::newRow("comma, mm") << "147,06 mm" << " 204.08mm " << "102.00 % across and 98.00 % down" << "";
        QTest::newRow("at the limits") << "157.8" << "190.5" << "95.06 % across and 104.99 % down" << "";
        QTest::newRow("fit to page, 93 %") << "140" << "186" << "" << "fit to page";
        QTest::newRow("Y 105.3 %") << "150" << "190" << "" << "vertical ruler measured 190 mm";
        QTest::newRow("not a number") << "150" << "abc" << "" << "vertical ruler in millimetres";
        QTest::newRow("empty") << "" << "200" << "" << "horizontal ruler in millimetres";
        QTest::newRow("zero") << "0" << "200" << "" << "horizontal ruler in millimetres";
        QTest::newRow("two numbers") << "150 151" << "200" << "" << "horizontal ruler in millimetres";
    }
    void measuredLengthsBecomeFactorsOrAreRefused()
    {
        QFETCH(QString, measuredX);
        QFETCH(QString, measuredY);
        QFETCH(QString, shown);
        QFETCH(QString, problem);
        store("Fake", 1.01, 0.99); // what a refusal must leave alone
        DlgPrinterCalibration *dialog = openCalibration();
        QVERIFY(dialog);
        QVERIFY(dialog->findChild<QLabel *>("lblPrinter")->text().contains("Fake"));

        QCOMPARE(dialog->storeMeasurements(measuredX, measuredY), !shown.isEmpty());
        const QString factors = dialog->findChild<QLabel *>("lblFactors")->text();
        QVERIFY2(factors.contains(shown.isEmpty() ? "101.00 % across and 99.00 % down" : shown), qPrintable(factors));
        QCOMPARE(w->messages.texts, shown.isEmpty() ? QStringList{"These lengths cannot be used!"} : QStringList());
        QVERIFY2(w->messages.reasons.value(0).contains(problem), qPrintable(w->messages.reasons.value(0)));
        if (shown.isEmpty())
            QCOMPARE(PrinterCalibration().scaleFor("Fake").x, 1.01);
    }

    void theDialogWorksByKeyboard()
    {
        DlgPrinterCalibration *dialog = openCalibration();
        QVERIFY(dialog);
        QVERIFY(dialog->findChild<QLabel *>("lblFactors")->text().contains("Not calibrated"));

        // Alt+P prints the test sheet at nominal size, even with a correction stored.
        store("Fake", 1.03, 0.97);
        QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(w->printers.printedOn, QStringList{"Fake"}); // a mnemonic clicks a moment later
        const Outline ruler = outlineOn(w->printers.page, 10 + 17, 10 + 1); // the horizontal ruler's base
        QVERIFY2(std::abs(ruler.left - 10) < 0.2 && std::abs(ruler.width - 150) < 0.2,
                 qPrintable(QString("ruler from %1, %2 mm").arg(ruler.left).arg(ruler.width)));

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
        QVERIFY(helpViewerInstance()->browser()->toPlainText().contains("fit to page"));
        QPointer<DlgPrinterCalibration> alive(dialog);
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(alive.isNull()); // closed and deleted
    }

    void printToUsesThePrinterAndCopiesChosen_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("defaultPrinter");
        QTest::addColumn<QString>("picked"); // empty: the dialog is cancelled
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("divisions");
        QTest::addColumn<QString>("offered"); // offered first; "-": no dialog
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("width"); // the printed outline; 0: nothing printed
        QTest::newRow("the default, twice") << QStringList{"Fake", "Laser"} << "Fake" << "Fake" << 2 << "5" << "Fake"
                                            << "" << 52.0;
        QTest::newRow("another, with its correction") << QStringList{"Fake", "Laser"} << "Fake" << "Laser" << 1
                                                      << "5" << "Fake" << "" << 53.04;
        QTest::newRow("no default: the first offered") << QStringList{"Fake", "Laser"} << "" << "Laser" << 3 << "5"
                                                       << "Fake" << "" << 53.04;
        QTest::newRow("cancelled") << QStringList{"Fake", "Laser"} << "Fake" << "" << 1 << "5" << "Fake" << ""
                                   << 0.0;
        QTest::newRow("a design that cannot be drawn") << QStringList{"Fake"} << "Fake" << "Fake" << 1 << "40000"
                                                       << "Fake" << "Printer error!" << 0.0;
        QTest::newRow("no printer") << QStringList() << "" << "Fake" << 1 << "5" << "-"
                                    << "You don't have a printer set up on this machine!" << 0.0;
    }
    void printToUsesThePrinterAndCopiesChosen()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, defaultPrinter);
        QFETCH(QString, picked);
        QFETCH(int, copies);
        QFETCH(QString, divisions);
        QFETCH(QString, offered);
        QFETCH(QString, message);
        QFETCH(double, width);
        store("Laser", 1.02, 0.98);
        w->printers.names = installed;
        w->printers.defaultName = defaultPrinter;
        w->printers.picked = picked;
        w->printers.pickedCopies = copies;
        w->window.table(TableKind::ScaleDigits).setCell(1, 0, divisions);
        w->child<QAction>("mnuPrintTo")->trigger();
        QCOMPARE(w->printers.offered, offered == "-" ? QStringList() : QStringList{offered});
        QCOMPARE(w->messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
        const QStringList expected = width == 0 ? QStringList() : QStringList{picked, picked};
        QCOMPARE(w->printers.jobsOn + w->printers.printedOn, expected);
        if (width > 0) {
            QCOMPARE(w->printers.jobCopies, QList<int>{copies});
            const double printed = outlineOn(w->printers.page, 12, 12).width;
            QVERIFY2(std::abs(printed - width) < 0.2, qPrintable(QString::number(printed)));
        }
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
