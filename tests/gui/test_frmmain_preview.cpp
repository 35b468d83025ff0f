// What the window draws and prints, and how the program ends: the preview, its message area and picture
// cache; Print, Print To and Printer Calibration on fake printers; Close, Exit and Esc.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "dlgprintercalibration.h"
#include "fakes.h"
#include "helpviewer.h"
#include "previewcache.h"
#include "previewpainter.h"
#include "printercalibration.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

#include <tuple>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::DialDesign)

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

PreviewFrame testFrame()
{
    PreviewFrame f;
    f.size = QSize(520, 300);
    f.messageArea = QRect(8, 8, 500, 250);
    f.previewArea = QRect(0, 0, 520, 264);
    f.ink = Qt::black;
    f.background = QColor(239, 239, 239);
    return f;
}

// The client area cleared as the window clears it, then drawn on by `draw`.
template <typename Draw> QImage onClientArea(const PreviewFrame &frame, Draw draw)
{
    QImage image(frame.size, QImage::Format_RGB32);
    image.fill(frame.background);
    QPainter painter(&image);
    painter.setFont(frame.font);
    painter.setPen(frame.ink);
    draw(painter);
    return image;
}

// What the window drew on every repaint before it kept a picture.
QImage drawnDirectly(const DialDesign &design, const PreviewFrame &frame)
{
    return onClientArea(frame, [&](QPainter &p) { paintPreview(p, design, frame.logicalDpiX, frame.messageArea); });
}

// What a repaint through the cache shows.
QImage paintedThrough(PreviewCache &cache, const DialDesign &design, const PreviewFrame &frame)
{
    return onClientArea(frame, [&](QPainter &p) { cache.paint(p, QRect(QPoint(), frame.size), design, frame); });
}

DialDesign withLabel(const QString &text, int extraRows = 0)
{
    DialDesign design = DialDesign::startup();
    design.table(TableKind::FaceLabels) = {{"10", "30", text, "12"}};
    for (int i = 0; i < extraRows; ++i)
        design.table(TableKind::ScaleArcs).append({QString::number(10 + i % 5)});
    return design;
}

// A design that takes far longer to draw than the cache is let wait for it: 4000 tickmarks rows
// of 100 divisions. The tests let it wait no time at all, and show the note at once: they
// depend on the order of events only.
DialDesign slowDesign(const QString &label)
{
    DialDesign design = withLabel(label);
    design.table(TableKind::ScaleTickmarks) = TableRows(4000, QStringList{"100", "22", "20.5"});
    return design;
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
    const PreviewFrame frame = testFrame();
    QWidget *client() { return w->window.centralWidget(); }
    double dpi() { return client()->logicalDpiX(); }
    // The part of the client area that no control covers, 7800 x 3960 twips.
    QImage preview() { return client()->grab(QRect(0, 0, dpi() * 7800 / 1440, dpi() * 3960 / 1440)).toImage(); }
    void setDivisions(const QString &text) { w->window.table(TableKind::ScaleDigits).setCell(1, 0, text); }

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

    // A drawing error is said in red, what was drawn before it staying. The window keeps its
    // picture through repaints that change nothing, and draws a changed design once, whole,
    // however small the part repainted first.
    void thePreviewDrawsTheCardAtTrueSizeOrSaysInRedWhyItCannot()
    {
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()), qMakePair(10, 62)); // halfway down the start-up card
        const PreviewCache *cache = w->window.findChild<PreviewCache *>();
        const int drawings = cache->drawingsStarted();
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        preview();
        QCOMPARE(cache->drawingsStarted(), drawings);
        setDivisions("40000");
        client()->grab(QRect(0, 0, 20, 20));
        QCOMPARE(cache->drawingsStarted(), drawings + 1);
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QVERIFY(redPixels(preview()) > 20);
        QCOMPARE(cache->drawingsStarted(), drawings + 1);
        QVERIFY2(w->window.previewError().contains("40000"), qPrintable(w->window.previewError()));
        QCOMPARE(darkSpanMm(preview(), 32.5, dpi()).first, 10); // what was drawn before the error stays
        QVERIFY(w->messages.texts.isEmpty());
        setDivisions("4");
        QTest::mouseClick(w->child<QPushButton>("cmdPreview"), Qt::LeftButton);
        QCOMPARE(redPixels(preview()), 0);
    }

    // Fonts that are not installed are named in the ink above a drawing error in red; nothing is
    // said of an installed one.
    void messageArea()
    {
        const QRect area(260, 8, 250, 280); // right of the card: only messages mark it
        for (const bool faulty : {false, true}) {
            DialDesign design = DialDesign::startup();
            design.table(TableKind::FaceLabels) = {{"20", "36", "mA", "10", "", faulty ? "No Such" : "DejaVu Serif"}};
            design.table(TableKind::ScaleArcs) = {{"20", "", faulty ? "bleu" : ""}};
            QStringList told;
            QString said;
            const QImage image =
                onClientArea(frame, [&](QPainter &p) { said = paintPreview(p, design, 96, area, nullptr, &told); });
            QCOMPARE(said, faulty ? "Scale Arcs, row 1: Colour \"bleu\" is not #RRGGBB or a colour name" : "");
            QCOMPARE(told.join("|"), faulty ? "Font \"No Such\" is not installed; DejaVu Sans is used instead" : "");
            int inked = 0, red = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    inked += c.red() < 128 && c.green() < 128;
                    red += c.red() > 200 && c.green() < 80;
                }
            }
            QVERIFY2((inked > 0) == faulty && (red > 0) == faulty,
                     qPrintable(QString("%1: %2 inked, %3 red").arg(faulty ? "faulty" : "sound").arg(inked).arg(red)));
        }
    }

    void showsWhatTheWindowAlwaysDrew_data()
    {
        QTest::addColumn<DialDesign>("design");
        QTest::addColumn<qint64>("syncItemLimit");
        QTest::addColumn<bool>("onWorker"); // surely still drawing after the first repaint
        QTest::newRow("a label, drawn at once") << withLabel("mA") << qint64(20000) << false;
        QTest::newRow("40 arcs, drawn on the worker") << withLabel("V", 40) << qint64(0) << false;
        DialDesign bad = withLabel("mA");
        bad.table(TableKind::ScaleDigits) = {{"40000", "0", "100", "0", "24", "6"}};
        QTest::newRow("a drawing error, at once") << bad << qint64(20000) << false;
        QTest::newRow("a drawing error, on the worker") << bad << qint64(0) << false;
        // 40 labels are far under the item limit, but 400,000 characters would hold the window.
        DialDesign longTexts = withLabel("mA");
        longTexts.table(TableKind::FaceLabels) = TableRows(40, QStringList{"1", "30", QString(10000, 'W'), "8"});
        QTest::newRow("few items of long texts") << longTexts << qint64(20000) << true;
    }
    void showsWhatTheWindowAlwaysDrew()
    {
        QFETCH(DialDesign, design);
        QFETCH(qint64, syncItemLimit);
        QFETCH(bool, onWorker);
        PreviewCache cache;
        cache.setGracePeriod(0);
        cache.setSynchronousItemLimit(syncItemLimit);

        paintedThrough(cache, design, frame);
        QVERIFY(cache.isDrawing() || !onWorker);
        QVERIFY(cache.waitUntilDrawn(60000));
        QCOMPARE(paintedThrough(cache, design, frame), drawnDirectly(design, frame));
        QImage scratch(frame.size, QImage::Format_RGB32);
        QPainter painter(&scratch);
        QCOMPARE(cache.error(), paintPreview(painter, design, frame.logicalDpiX, frame.messageArea));
    }

    void aRepaintOfAnUnchangedDesignDrawsNothing()
    {
        PreviewCache cache;
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);
        const QImage first = paintedThrough(cache, withLabel("mA"), frame);
        QCOMPARE(cache.drawingsStarted(), 1);

        // A copy of the same design, taken anew as each repaint takes it.
        DialDesign same = withLabel("mA");
        QCOMPARE(paintedThrough(cache, same, frame), first);
        QCOMPARE(cache.drawingsStarted(), 1);

        // A partial repaint of a new picture asks for a whole one, once.
        QImage image(frame.size, QImage::Format_RGB32);
        QPainter painter(&image);
        same.table(TableKind::FaceLabels)[0][2] = "V";
        cache.paint(painter, QRect(0, 0, 10, 10), same, frame);
        cache.paint(painter, QRect(0, 0, 10, 10), same, frame);
        QCOMPARE(repaint.count(), 1);
        QCOMPARE(cache.drawingsStarted(), 2);

        PreviewFrame moved = frame;
        moved.background = Qt::white;
        paintedThrough(cache, same, moved);
        QCOMPARE(cache.drawingsStarted(), 3);
        QCOMPARE(repaint.count(), 1); // a whole repaint asks for none
    }

    // Events still queued from an overtaken drawing change nothing.
    void aLargeDesignIsDrawnBehindTheOlderPicture()
    {
        PreviewCache cache;
        cache.setGracePeriod(0);
        cache.setNoteDelay(0);
        const QImage before = paintedThrough(cache, withLabel("mA"), frame);
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);

        QCOMPARE(paintedThrough(cache, slowDesign("V"), frame), before); // the older picture stays
        QVERIFY(cache.isDrawing());
        // Repaints while it draws start nothing new.
        const int drawings = cache.drawingsStarted();
        paintedThrough(cache, slowDesign("V"), frame);
        QCOMPARE(cache.drawingsStarted(), drawings);
        QTRY_VERIFY(cache.isNoteShown());
        QVERIFY(paintedThrough(cache, slowDesign("V"), frame) != before); // the note, only

        const DialDesign newer = slowDesign("W");
        paintedThrough(cache, newer, frame);
        QVERIFY(cache.waitUntilDrawn(60000));
        QTest::qWait(50);
        QVERIFY(!cache.isNoteShown());
        QVERIFY(repaint.count() >= 2); // the note, then the picture
        QCOMPARE(cache.picturesShown(), 1);
        QCOMPARE(paintedThrough(cache, newer, frame), drawnDirectly(newer, frame));

        // A small design overtakes a large one at once.
        paintedThrough(cache, slowDesign("V"), frame);
        QVERIFY(cache.isDrawing());
        QCOMPARE(paintedThrough(cache, withLabel("small"), frame), drawnDirectly(withLabel("small"), frame));
        QVERIFY(!cache.isDrawing());
        QTest::qWait(50);
        QCOMPARE(cache.picturesShown(), 1);
        QCOMPARE(paintedThrough(cache, withLabel("small"), frame), drawnDirectly(withLabel("small"), frame));
    }

    void theHintIsOneLineOverThePreview()
    {
        PreviewCache cache;
        const DialDesign design = DialDesign::startup();
        const QImage plain = paintedThrough(cache, design, frame);
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);
        cache.setHint("A hint");
        QCOMPARE(repaint.count(), 1);
        const QImage hinted = paintedThrough(cache, design, frame);
        // Only a strip at the top of the preview area changes: the card below stays as it was.
        const int strip = QFontMetrics(frame.font).height() + 8;
        QVERIFY(hinted != plain);
        QCOMPARE(hinted.copy(0, strip, frame.size.width(), frame.size.height()),
                 plain.copy(0, strip, frame.size.width(), frame.size.height()));
        cache.setHint(QString());
        QCOMPARE(paintedThrough(cache, design, frame), plain);
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
        setDivisions(c.divisions);
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
        w->child<QAction>("mnuPrinterCalibration")->trigger();
        auto *dialog = w->shownDialog<DlgPrinterCalibration>();
        QVERIFY(dialog);
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
        QCOMPARE(w->shownDialog<DlgPrinterCalibration>(), dialog); // back from the help window
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
