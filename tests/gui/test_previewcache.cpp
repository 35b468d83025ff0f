// The preview's picture cache: it shows what the window always drew, draws nothing for an
// unchanged design, and draws a large one on a worker behind the older picture.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "previewcache.h"
#include "previewpainter.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::DialDesign)

namespace {

PreviewFrame testFrame()
{
    PreviewFrame f;
    f.size = QSize(520, 300);
    f.logicalDpiX = f.logicalDpiY = 96;
    f.messageArea = QRect(8, 8, 500, 250);
    f.previewArea = QRect(0, 0, 520, 264);
    f.font = QApplication::font();
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

// A design that takes far longer to draw than the cache is let wait for it (no time at all,
// see slowCache()): 4000 tickmarks rows of 100 divisions.
DialDesign slowDesign(const QString &label)
{
    DialDesign design = withLabel(label);
    design.table(TableKind::ScaleTickmarks) = TableRows(4000, QStringList{"100", "22", "20.5"});
    return design;
}

// Shows the older picture and the note at once: the tests depend on the order of events only.
void makeImpatient(PreviewCache &cache)
{
    cache.setGracePeriod(0);
    cache.setNoteDelay(0);
}

// How many pixels differ (-1: sizes differ), and the lowest row where one does.
qsizetype differingPixels(const QImage &a, const QImage &b, int *lowest = nullptr)
{
    if (a.size() != b.size())
        return -1;
    qsizetype n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++n;
                if (lowest)
                    *lowest = y;
            }
    return n;
}

} // namespace

class TestPreviewCache : public QObject
{
    Q_OBJECT

private slots:
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
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        makeImpatient(cache);
        cache.setSynchronousItemLimit(syncItemLimit);

        paintedThrough(cache, design, frame);
        if (onWorker)
            QVERIFY(cache.isDrawing());
        QVERIFY(cache.waitUntilDrawn(60000));
        const QImage shown = paintedThrough(cache, design, frame);
        QCOMPARE(differingPixels(shown, drawnDirectly(design, frame)), 0);

        QImage scratch(frame.size, QImage::Format_RGB32);
        QPainter painter(&scratch);
        QCOMPARE(cache.error(), paintPreview(painter, design, frame.logicalDpiX, frame.messageArea));
    }

    void aRepaintOfAnUnchangedDesignDrawsNothing()
    {
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        const DialDesign design = withLabel("mA");
        const QImage first = paintedThrough(cache, design, frame);
        const int drawings = cache.drawingsStarted();
        QCOMPARE(drawings, 1);

        // A copy of the same design, taken anew as each repaint takes it.
        DialDesign same = withLabel("mA");
        QCOMPARE(differingPixels(paintedThrough(cache, same, frame), first), 0);
        QCOMPARE(cache.drawingsStarted(), drawings);

        same.table(TableKind::FaceLabels)[0][2] = "V";
        paintedThrough(cache, same, frame);
        QCOMPARE(cache.drawingsStarted(), drawings + 1);

        PreviewFrame moved = frame;
        moved.background = Qt::white;
        paintedThrough(cache, same, moved);
        QCOMPARE(cache.drawingsStarted(), drawings + 2);
    }

    void aPartialRepaintOfANewPictureAsksForAWholeOne()
    {
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);
        QImage image(frame.size, QImage::Format_RGB32);
        QPainter painter(&image);
        cache.paint(painter, QRect(0, 0, 10, 10), withLabel("mA"), frame);
        QCOMPARE(repaint.count(), 1);
        cache.paint(painter, QRect(0, 0, 10, 10), withLabel("mA"), frame);
        QCOMPARE(repaint.count(), 1);
        cache.paint(painter, QRect(QPoint(), frame.size), withLabel("V"), frame);
        QCOMPARE(repaint.count(), 1);
    }

    void aLargeDesignIsDrawnBehindTheOlderPicture()
    {
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        makeImpatient(cache);
        const DialDesign small = withLabel("mA");
        const QImage before = paintedThrough(cache, small, frame);
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);

        const DialDesign big = slowDesign("V");
        QCOMPARE(differingPixels(paintedThrough(cache, big, frame), before), 0); // the older picture stays
        QVERIFY(cache.isDrawing());
        // Repaints while it draws start nothing new.
        const int drawings = cache.drawingsStarted();
        paintedThrough(cache, big, frame);
        QCOMPARE(cache.drawingsStarted(), drawings);

        QTRY_VERIFY(cache.isNoteShown());
        QVERIFY(cache.isDrawing());
        QVERIFY(differingPixels(paintedThrough(cache, big, frame), before) > 0); // the note, only
        QVERIFY(cache.waitUntilDrawn(60000));
        QVERIFY(!cache.isNoteShown());
        QVERIFY(repaint.count() >= 2); // the note, then the picture
        QCOMPARE(cache.picturesShown(), 1);
        QCOMPARE(differingPixels(paintedThrough(cache, big, frame), drawnDirectly(big, frame)), 0);
    }

    // Events still queued from the overtaken drawing change nothing.
    void aNewerDesignOvertakesOneBeingDrawn_data()
    {
        QTest::addColumn<DialDesign>("newer");
        QTest::addColumn<bool>("large");
        QTest::newRow("a large one, drawn on the worker too") << slowDesign("new") << true;
        QTest::newRow("a small one, drawn at once") << withLabel("small") << false;
    }
    void aNewerDesignOvertakesOneBeingDrawn()
    {
        QFETCH(DialDesign, newer);
        QFETCH(bool, large);
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        makeImpatient(cache);
        paintedThrough(cache, slowDesign("old"), frame);
        QVERIFY(cache.isDrawing());
        const QImage shown = paintedThrough(cache, newer, frame);
        if (large) {
            QVERIFY(cache.waitUntilDrawn(60000));
        } else {
            QCOMPARE(differingPixels(shown, drawnDirectly(newer, frame)), 0);
            QVERIFY(!cache.isDrawing());
        }
        QTest::qWait(50);
        QCOMPARE(cache.picturesShown(), large ? 1 : 0);
        QCOMPARE(differingPixels(paintedThrough(cache, newer, frame), drawnDirectly(newer, frame)), 0);
    }

    void theHintIsOneLineOverThePreview()
    {
        const PreviewFrame frame = testFrame();
        PreviewCache cache;
        const DialDesign design = DialDesign::startup();
        const QImage plain = paintedThrough(cache, design, frame);
        QSignalSpy repaint(&cache, &PreviewCache::repaintNeeded);
        cache.setHint("A hint");
        QCOMPARE(repaint.count(), 1);
        const QImage hinted = paintedThrough(cache, design, frame);
        // Only a strip at the top of the preview area changes: the card below stays as it was.
        int lowest = -1;
        differingPixels(plain, hinted, &lowest);
        QVERIFY2(lowest > 0 && lowest < QFontMetrics(frame.font).height() + 8, qPrintable(QString::number(lowest)));
        cache.setHint(QString());
        QCOMPARE(differingPixels(paintedThrough(cache, design, frame), plain), 0);
    }

    void theWindowRepaintsFromItsPicture()
    {
        testing::ShownWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        PreviewCache *cache = w.window.findChild<PreviewCache *>();
        QWidget *client = w.window.centralWidget();
        client->grab();
        const int drawings = cache->drawingsStarted();
        for (int i = 0; i < 3; ++i) // uncovered, a box closed, Preview with nothing changed
            client->grab();
        w.window.cmdPreview_Click();
        client->grab();
        QCOMPARE(cache->drawingsStarted(), drawings);

        w.window.table(TableKind::FaceLabels).setCell(1, 2, "mA");
        client->grab(QRect(0, 0, 20, 20)); // a part of the window: the whole is drawn anew
        QCOMPARE(cache->drawingsStarted(), drawings + 1);
        client->grab();
        QCOMPARE(cache->drawingsStarted(), drawings + 1);

        // A large design goes to the worker: the window answers at once and shows it when done.
        makeImpatient(*cache);
        w.window.model().setDesign(slowDesign("big"));
        client->grab();
        QVERIFY(cache->isDrawing());
        QVERIFY(cache->waitUntilDrawn(60000));
        QVERIFY(w.window.previewError().isEmpty());
        QCOMPARE(cache->drawingsStarted(), drawings + 2);
    }
};

QTEST_MAIN(TestPreviewCache)
#include "test_previewcache.moc"
