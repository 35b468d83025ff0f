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
#include <QtMath>

#include <cmath>

using namespace vernalith;

namespace {

// The scan used throughout: the start-up card at 10 pixels per mm (254 dpi), its top-left
// corner at pixel (20, 30), unrotated; the file records 254 dpi.
constexpr double kPxPerMm = 10;
const QPointF kCorner(20, 30);
QPointF scanPixel(double xMm, double yMm)
{
    return kCorner + QPointF(xMm, yMm) * kPxPerMm;
}
// The start-up design's pivot, tip at zero and tip at full scale.
const QPointF kPivotMm(26, 33), kZeroMm(5, 12), kMaxMm(47, 12);

QStringList referenceCells(const QString &path, const QString &shown, int opacity)
{
    QStringList cells(kReferenceColumnCount);
    cells[int(ReferenceColumn::Path)] = path;
    cells[int(ReferenceColumn::Mode)] = "dpi";
    cells[int(ReferenceColumn::Dpi)] = "254";
    cells[int(ReferenceColumn::CornerX)] = QString::number(kCorner.x());
    cells[int(ReferenceColumn::CornerY)] = QString::number(kCorner.y());
    cells[int(ReferenceColumn::Opacity)] = QString::number(opacity);
    cells[int(ReferenceColumn::Shown)] = shown;
    return cells;
}

} // namespace

class TestReferenceImageWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<testing::ShownWindow> w;
    QTemporaryDir dir;
    QString scan; // red, 600 x 450, 254 dpi

    ReferenceImageDialog *openDialog()
    {
        w->child<QAction>("mnuReferenceImage")->trigger();
        auto *dialog = w->window.findChild<ReferenceImageDialog *>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }
    ReferenceUnderlay *underlay() { return w->window.findChild<ReferenceUnderlay *>("referenceUnderlay"); }
    static void clickScan(ReferencePointView *view, QPointF pixel)
    {
        view->centerOn(pixel);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(pixel));
    }
    static QPointF cellPoint(const QStringList &cells, ReferenceColumn x)
    {
        return QPointF(cells[int(x)].toDouble(), cells[int(x) + 1].toDouble());
    }
    // The client area's colour at card point (x, y) mm.
    QColor previewColour(double xMm, double yMm)
    {
        QWidget *area = w->child("clientArea");
        const double ppm = area->logicalDpiX() / 25.4;
        const QImage shot = area->grab().toImage();
        return shot.pixelColor(QPointF((xMm + 10) * ppm, (yMm + 10) * ppm).toPoint());
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

    void clicksOnTheScanBecomeTheReferenceCells_data()
    {
        QTest::addColumn<bool>("byResolution");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QPointF>("drag"); // the last mark, dragged this far (scan pixels)
        QTest::newRow("three points, 1:1") << false << 1.0 << QPointF();
        QTest::newRow("three points, zoomed in, last one dragged") << false << 4.0 << QPointF(6, -4);
        QTest::newRow("corner, zoomed out, dpi from the file") << true << 0.5 << QPointF();
    }
    void clicksOnTheScanBecomeTheReferenceCells()
    {
        QFETCH(bool, byResolution);
        QFETCH(double, zoom);
        QFETCH(QPointF, drag);
        w->files.answers << scan;
        ReferenceImageDialog *dialog = openDialog();
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdBrowseReference"), Qt::LeftButton);
        QVERIFY(dialog->waitUntilLoaded(10000));
        if (byResolution)
            dialog->findChild<QComboBox *>("cboRegistration")->setCurrentIndex(1);
        ReferencePointView *view = dialog->view();
        QCOMPARE(view->originalSize(), QSize(600, 450));
        view->setZoom(zoom);

        const QList<QPointF> targets = byResolution
                                           ? QList<QPointF>{kCorner}
                                           : QList<QPointF>{scanPixel(26, 33), scanPixel(5, 12), scanPixel(47, 12)};
        for (const QPointF &p : targets)
            clickScan(view, p);
        QList<QPointF> expected = targets;
        if (!drag.isNull()) {
            const QPoint from = view->mapFromScene(targets.last());
            const QPoint to = view->mapFromScene(targets.last() + drag);
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(view->viewport(), to);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
            expected.last() += drag;
        }

        const QStringList cells = dialog->cells();
        const ReferenceColumn first = byResolution ? ReferenceColumn::CornerX : ReferenceColumn::PivotX;
        for (int i = 0; i < expected.size(); ++i) {
            const QPointF got = cellPoint(cells, ReferenceColumn(int(first) + 2 * i));
            QVERIFY2(QLineF(got, expected[i]).length() <= 1.0 / zoom,
                     qPrintable(QString("point %1 at %2,%3").arg(i).arg(got.x()).arg(got.y())));
        }
        QCOMPARE(cells[int(ReferenceColumn::Mode)], byResolution ? "dpi" : "points");
        QCOMPARE(cells[int(ReferenceColumn::Dpi)], "254"); // as the file records it
        QCOMPARE(cells[int(ReferenceColumn::Opacity)], "50");
        QCOMPARE(cells[int(ReferenceColumn::Shown)], "1");

        dialog->accept();
        QCOMPARE(w->window.model().reference(), cells);
        QVERIFY(w->child<QAction>("mnuShowReferenceImage")->isChecked());
    }

    void aPoorFitIsWarnedAbout_data()
    {
        QTest::addColumn<double>("offMm"); // the full-scale click this far right of the true tip
        QTest::addColumn<bool>("warned");
        QTest::newRow("0.3 mm off: within") << 0.3 << false;
        QTest::newRow("3 mm off: skewed or wrong") << 3.0 << true;
    }
    void aPoorFitIsWarnedAbout()
    {
        QFETCH(double, offMm);
        QFETCH(bool, warned);
        ReferenceImageDialog *dialog = openDialog();
        QVERIFY(dialog);
        dialog->setImagePath(scan);
        QVERIFY(dialog->waitUntilLoaded(10000));
        dialog->view()->setZoom(2);
        clickScan(dialog->view(), scanPixel(kPivotMm.x(), kPivotMm.y()));
        clickScan(dialog->view(), scanPixel(kZeroMm.x(), kZeroMm.y()));
        clickScan(dialog->view(), scanPixel(kMaxMm.x() + offMm, kMaxMm.y()));

        const QString shown = dialog->findChild<QLabel *>("lblRegistration")->text();
        const QRegularExpressionMatch residual = QRegularExpression("residual ([0-9.]+) mm").match(shown);
        // A fit to three points spreads one point's error over all three.
        const double mm = residual.hasMatch() ? residual.captured(1).toDouble() : -1;
        QVERIFY2(mm >= offMm / 4 && mm <= offMm + 0.05, qPrintable(shown));
        const QString warning = dialog->findChild<QLabel *>("lblRegistrationWarning")->text();
        QCOMPARE(warning.contains("the scan is skewed or the points are wrong"), warned);
    }

    void theScanIsDrawnUnderTheCardOnlyWhileShown_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<double>("redShare"); // of the way from the background to pure red
        QTest::newRow("shown, opaque") << "1" << 100 << 1.0;
        QTest::newRow("shown, half") << "1" << 50 << 0.5;
        QTest::newRow("hidden") << "0" << 100 << 0.0;
    }
    void theScanIsDrawnUnderTheCardOnlyWhileShown()
    {
        QFETCH(QString, shown);
        QFETCH(int, opacity);
        QFETCH(double, redShare);
        const QColor background = previewColour(12, 20);
        w->window.model().setReference(referenceCells(scan, shown, opacity));
        QVERIFY(underlay()->waitUntilLoaded(10000));
        QCOMPARE(w->child<QAction>("mnuShowReferenceImage")->isChecked(), shown == "1");

        // Inside the card, away from its outline and pivot cross.
        const QColor seen = previewColour(12, 20);
        const auto mix = [&](int from, int to) { return from + (to - from) * redShare; };
        QVERIFY2(std::abs(seen.red() - mix(background.red(), 255)) <= 4
                     && std::abs(seen.green() - mix(background.green(), 0)) <= 4,
                 qPrintable(seen.name()));
        QVERIFY(w->window.previewError().isEmpty());

        // Never on paper: the exported card is white there.
        const QString png = dir.filePath("card.png");
        QVERIFY(w->window.exportFile(png));
        const QImage exported(png);
        const double dotsPerMm = exported.dotsPerMeterX() / 1000.0;
        QCOMPARE(exported.pixelColor(QPointF(22 * dotsPerMm, 30 * dotsPerMm).toPoint()), QColor(Qt::white));

        // The menu entry turns it the other way.
        w->child<QAction>("mnuShowReferenceImage")->trigger();
        QCOMPARE(w->window.model().reference()[int(ReferenceColumn::Shown)], shown == "1" ? "0" : "1");
    }

    void removeDropsTheReference()
    {
        w->window.model().setReference(referenceCells(scan, "1", 50));
        ReferenceImageDialog *dialog = openDialog();
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdRemoveReference"), Qt::LeftButton);
        QVERIFY(w->window.model().reference().isEmpty());
        QVERIFY(!w->child<QAction>("mnuShowReferenceImage")->isEnabled());
    }

    void aMissingScanIsNamedAndItsCellsKept_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::newRow("missing") << "gone.png" << QByteArray();
        QTest::newRow("not an image") << "notes.png" << QByteArray("these are not pixels");
    }
    void aMissingScanIsNamedAndItsCellsKept()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        const QString path = dir.filePath(file);
        QFile::remove(path);
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QStringList cells = referenceCells(path, "1", 50);
        w->window.model().setReference(cells);
        QVERIFY(underlay()->waitUntilLoaded(10000));

        auto *preview = w->window.findChild<PreviewCache *>("previewCache");
        QVERIFY2(preview->underlayNote().contains(file), qPrintable(preview->underlayNote()));
        previewColour(12, 20); // a paint: the card is drawn all the same
        QVERIFY(w->window.previewError().isEmpty());

        const QString dial = dir.filePath("with-reference.vlt");
        QVERIFY(w->window.saveFile(dial));
        w->window.model().setReference({});
        QVERIFY(w->window.loadFile(dial));
        QCOMPARE(w->window.model().reference(), cells);
        QVERIFY(underlay()->waitUntilLoaded(10000));
        QVERIFY(preview->underlayNote().contains(file));
    }

    void theReadoutGivesTheScaleValueUnderTheMouse_data()
    {
        QTest::addColumn<QString>("scaleCell"); // of the current tickmarks row
        QTest::addColumn<double>("angle");      // degrees at the pivot, 90 = straight up
        QTest::addColumn<double>("radius");     // mm
        QTest::addColumn<double>("value");      // NaN: no value shown
        // The start-up needle sweeps from 135 degrees (zero) to 45 degrees (full scale).
        QTest::newRow("near zero") << "1" << 130.0 << 25.0 << 100 * 5 / 90.0;
        QTest::newRow("straight up") << "1" << 90.0 << 20.0 << 50.0;
        QTest::newRow("near full scale") << "1" << 50.0 << 25.0 << 100 * 85 / 90.0;
        QTest::newRow("row on no scale") << "" << 90.0 << 20.0 << qQNaN();
    }
    void theReadoutGivesTheScaleValueUnderTheMouse()
    {
        QFETCH(QString, scaleCell);
        QFETCH(double, angle);
        QFETCH(double, radius);
        QFETCH(double, value);
        DesignModel &model = w->window.model();
        model.setScales({{"linear", "0", "100", "", ""}});
        DesignTable &ticks = model.table(TableKind::ScaleTickmarks);
        ticks.setCell(1, extraColumn(TableKind::ScaleTickmarks, "Scale"), scaleCell);
        w->view(TableKind::ScaleTickmarks)->setFocus();
        QTRY_VERIFY(w->child<QAction>("mnuRowProperties")->isEnabled());

        QWidget *area = w->child("clientArea");
        const double ppm = area->logicalDpiX() / 25.4;
        const double a = qDegreesToRadians(angle);
        const QPointF card = kPivotMm + radius * QPointF(std::cos(a), -std::sin(a));
        QTest::mouseMove(area, ((card + QPointF(10, 10)) * ppm).toPoint());
        auto *readout = w->child<QLabel>("lblCursorReadout");
        QTRY_VERIFY(readout->isVisible());
        const QRegularExpressionMatch shown = QRegularExpression("value (-?[0-9.]+)").match(readout->text());
        QCOMPARE(shown.hasMatch(), !qIsNaN(value));
        // One pixel of the window is about half a degree of this sweep.
        if (shown.hasMatch())
            QVERIFY2(std::abs(shown.captured(1).toDouble() - value) < 1.5, qPrintable(readout->text()));
        // The readout covers no part of the card.
        const QRectF cardOnWindow(10 * ppm, 10 * ppm, 52 * ppm, 45 * ppm);
        QVERIFY(!cardOnWindow.intersects(readout->geometry()));

        QTest::mouseMove(area, (QPointF(75, 30) * ppm).toPoint()); // right of the card
        QTRY_VERIFY(!readout->isVisible());
    }
};

QTEST_MAIN(TestReferenceImageWindow)
#include "test_referenceimagewindow.moc"
