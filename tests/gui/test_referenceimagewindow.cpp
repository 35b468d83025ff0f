// A scan of an old card under the preview: clicks on it become the reference cells, a poor fit
// is warned about, it is drawn only while shown and never exported, a missing one keeps its
// cells, and the readout gives the scale value under the mouse.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "fakes.h"
#include "previewcache.h"
#include "referenceimagedialog.h"
#include "referencepointview.h"
#include "referenceunderlay.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

using namespace vernalith;

namespace {

// The scan used throughout: the start-up card at 10 pixels per mm (254 dpi), its top-left
// corner at pixel (20, 30), unrotated; the file records 254 dpi.
const QPointF kCorner(20, 30);

// A scan registered by resolution, its top-left corner at kCorner.
QStringList referenceCells(const QString &path, const QString &shown, int opacity)
{
    return splitCells(QString("%1\tdpi\t254\t20\t30\t\t\t\t\t\t\t%2\t%3").arg(path).arg(opacity).arg(shown),
                      kReferenceColumnCount);
}

struct Clicks {
    const char *name;
    bool byResolution;
    double zoom;
    QPointF drag; // the last mark, dragged this far (scan pixels) from its true place
};
const Clicks kClicks[] = {
    {"three points, 1:1", false, 1.0, {}},
    {"three points, zoomed in, last one dragged 0.7 mm", false, 4.0, {6, -4}},
    {"three points, last one dragged 3 mm: warned", false, 2.0, {30, 0}},
    {"corner, zoomed out, dpi from the file", true, 0.5, {}},
};

struct Underlay {
    const char *name, *file, *shown; // the file in the test's folder
    int opacity;
    double redShare; // of the way from the background to pure red
};
const Underlay kUnderlays[] = {
    {"shown, opaque", "old-card.png", "1", 100, 1.0},
    {"shown, half", "old-card.png", "1", 50, 0.5},
    {"hidden", "old-card.png", "0", 100, 0.0},
    {"missing", "gone.png", "1", 100, 0.0},
};

} // namespace

Q_DECLARE_METATYPE(Clicks)
Q_DECLARE_METATYPE(Underlay)

class TestReferenceImageWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    QTemporaryDir dir;
    QString scan; // red, 600 x 450, 254 dpi

    ReferenceImageDialog *openDialog()
    {
        w->child<QAction>("mnuReferenceImage")->trigger();
        return w->shownDialog<ReferenceImageDialog>();
    }
    static void clickScan(ReferencePointView *view, QPointF pixel)
    {
        view->centerOn(pixel);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(pixel));
    }
    double pixelsPerMm() { return w->child("clientArea")->logicalDpiX() / 25.4; }
    // The client area's colour at card point (12, 20) mm: inside the card, away from its outline
    // and pivot cross.
    QColor previewColour()
    {
        return w->child("clientArea")->grab().toImage().pixelColor((QPointF(22, 30) * pixelsPerMm()).toPoint());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImage red(600, 450, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.setDotsPerMeterX(10000);
        red.setDotsPerMeterY(10000);
        scan = dir.filePath("old-card.png");
        QVERIFY(red.save(scan));
    }
    void init()
    {
        w = std::make_unique<testing::ShownWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(&w->window));
    }
    void cleanup() { w.reset(); }

    void clicksOnTheScanBecomeTheReferenceCells_data() { addNamedCases(kClicks); }
    void clicksOnTheScanBecomeTheReferenceCells()
    {
        QFETCH(Clicks, c);
        w->files.answers << scan;
        ReferenceImageDialog *dialog = openDialog();
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdBrowseReference"), Qt::LeftButton);
        QVERIFY(dialog->waitUntilLoaded(10000));
        if (c.byResolution)
            dialog->findChild<QComboBox *>("cboRegistration")->setCurrentIndex(1);
        ReferencePointView *view = dialog->view();
        view->setZoom(c.zoom);

        // The corner, or the start-up design's pivot, tip at zero and tip at full scale.
        QList<QPointF> targets{kCorner};
        if (!c.byResolution)
            targets = {kCorner + QPointF(260, 330), kCorner + QPointF(50, 120), kCorner + QPointF(470, 120)};
        for (const QPointF &p : targets)
            clickScan(view, p);
        if (!c.drag.isNull()) {
            const QPoint from = view->mapFromScene(targets.last());
            const QPoint to = view->mapFromScene(targets.last() + c.drag);
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(view->viewport(), to);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        }
        targets.last() += c.drag;

        const QStringList cells = dialog->cells();
        const int first = int(c.byResolution ? ReferenceColumn::CornerX : ReferenceColumn::PivotX);
        for (int i = 0; i < targets.size(); ++i) {
            const QPointF got(cells[first + 2 * i].toDouble(), cells[first + 2 * i + 1].toDouble());
            QVERIFY2(QLineF(got, targets[i]).length() <= 1.0 / c.zoom,
                     qPrintable(QString("point %1 at %2,%3").arg(i).arg(got.x()).arg(got.y())));
        }
        // The resolution as the file records it, half opacity, shown.
        QCOMPARE(cells.mid(int(ReferenceColumn::Mode), 2), QStringList({c.byResolution ? "dpi" : "points", "254"}));
        QCOMPARE(cells.mid(int(ReferenceColumn::Opacity)), QStringList({"50", "1"}));

        // A fit to three points spreads one point's error over all three.
        const QString shown = dialog->findChild<QLabel *>("lblRegistration")->text();
        const QRegularExpressionMatch residual = QRegularExpression("residual ([0-9.]+) mm").match(shown);
        const double offMm = std::hypot(c.drag.x(), c.drag.y()) / 10;
        const double mm = residual.hasMatch() ? residual.captured(1).toDouble() : -1;
        QVERIFY2(c.byResolution ? !residual.hasMatch() : mm >= offMm / 4 && mm <= offMm / std::sqrt(3.0) + 0.01,
                 qPrintable(shown));
        QCOMPARE(dialog->findChild<QLabel *>("lblRegistrationWarning")->text(),
                 offMm > 1 ? "The residual is above 0.5 mm: the scan is skewed or the points are wrong." : "");

        dialog->accept();
        QCOMPARE(w->window.model().reference(), cells);
        QVERIFY(w->child<QAction>("mnuShowReferenceImage")->isChecked());
    }

    // Drawn under the card only while shown, never exported; a missing scan is named (which
    // files cannot be read is the loader's to tell). The cells are kept through a save and an
    // open, the menu entry turns the scan on or off, and Remove drops it.
    void theScanIsDrawnUnderTheCardOnlyWhileShown_data() { addNamedCases(kUnderlays); }
    void theScanIsDrawnUnderTheCardOnlyWhileShown()
    {
        QFETCH(Underlay, c);
        const bool shown = c.shown == QString("1");
        const QColor background = previewColour();
        w->window.model().setReference(referenceCells(dir.filePath(c.file), c.shown, c.opacity));
        QVERIFY(w->window.findChild<ReferenceUnderlay *>("referenceUnderlay")->waitUntilLoaded(10000));
        QCOMPARE(w->child<QAction>("mnuShowReferenceImage")->isChecked(), shown);
        const QString note = w->window.findChild<PreviewCache *>("previewCache")->underlayNote();
        QVERIFY2(c.file == QString("gone.png") ? note.contains(c.file) : note.isEmpty(), qPrintable(note));

        const QColor seen = previewColour();
        const auto mix = [&](int from, int to) { return from + (to - from) * c.redShare; };
        QVERIFY2(std::abs(seen.red() - mix(background.red(), 255)) <= 4
                     && std::abs(seen.green() - mix(background.green(), 0)) <= 4,
                 qPrintable(seen.name()));
        QVERIFY(w->window.previewError().isEmpty());

        QVERIFY(w->window.exportFile(dir.filePath("card.png")));
        const QImage exported(dir.filePath("card.png"));
        QCOMPARE(exported.pixelColor((QPointF(22, 30) * exported.dotsPerMeterX() / 1000).toPoint()), QColor(Qt::white));

        const QStringList cells = w->window.model().reference();
        QVERIFY(w->window.saveFile(dir.filePath("with-reference.vlt")));
        w->window.model().setReference({});
        QVERIFY(w->window.loadFile(dir.filePath("with-reference.vlt")));
        QCOMPARE(w->window.model().reference(), cells);

        w->child<QAction>("mnuShowReferenceImage")->trigger();
        QCOMPARE(w->window.model().reference()[int(ReferenceColumn::Shown)], shown ? "0" : "1");
        ReferenceImageDialog *dialog = openDialog();
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdRemoveReference"), Qt::LeftButton);
        QVERIFY(w->window.model().reference().isEmpty());
        QVERIFY(!w->child<QAction>("mnuShowReferenceImage")->isEnabled());
    }

    // The value for each law and point is the core readout's; here, that the window asks it
    // with the current row and shows it off the card.
    void theReadoutGivesTheScaleValueUnderTheMouse()
    {
        DesignModel &model = w->window.model();
        model.setScales({{"linear", "0", "100", "", ""}});
        model.table(TableKind::ScaleTickmarks).setCell(1, extraColumn(TableKind::ScaleTickmarks, "Scale"), "1");
        w->view(TableKind::ScaleTickmarks)->setFocus();
        QTRY_VERIFY(w->child<QAction>("mnuRowProperties")->isEnabled());

        // 25 mm from the pivot at 130 degrees: 5 degrees from the zero tip of a sweep of 90.
        QWidget *area = w->child("clientArea");
        QTest::mouseMove(area, ((QPointF(9.93, 13.85) + QPointF(10, 10)) * pixelsPerMm()).toPoint());
        auto *readout = w->child<QLabel>("lblCursorReadout");
        QTRY_VERIFY(readout->isVisible());
        const QRegularExpressionMatch shown = QRegularExpression("value (-?[0-9.]+)").match(readout->text());
        // One pixel of the window is about half a degree of this sweep.
        QVERIFY2(shown.hasMatch() && std::abs(shown.captured(1).toDouble() - 100 * 5 / 90.0) < 1.5,
                 qPrintable(readout->text()));
        const QRectF cardOnWindow(QPointF(10, 10) * pixelsPerMm(), QSizeF(52, 45) * pixelsPerMm());
        QVERIFY(!cardOnWindow.intersects(readout->geometry()));

        QTest::mouseMove(area, (QPointF(75, 30) * pixelsPerMm()).toPoint()); // right of the card
        QTRY_VERIFY(!readout->isVisible());
    }
};

QTEST_MAIN(TestReferenceImageWindow)
#include "test_referenceimagewindow.moc"
