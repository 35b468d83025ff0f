// The preview: fonts that are not installed named in its message area above a drawing error in
// red, and its picture cache, which shows what the window always drew, draws nothing for an
// unchanged design, and draws a large one on a worker behind the older picture.

#undef QT_NO_CAST_FROM_ASCII // the test tables use plain string literals

#include "design/designmodel.h"
#include "design/designtable.h"
#include "fakes.h"
#include "previewcache.h"
#include "previewpainter.h"

#include <QPainter>
#include <QSignalSpy>

using namespace vernalith;

Q_DECLARE_METATYPE(vernalith::DialDesign)

namespace {

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

} // namespace

class TestPreviewCache : public QObject
{
    Q_OBJECT
    const PreviewFrame frame = testFrame();

private slots:
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

    // The window keeps its picture through repaints that change nothing, and draws a changed
    // design once, whole, however small the part repainted first.
    void theWindowRepaintsFromItsPicture()
    {
        testing::ShownWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        PreviewCache *cache = w.window.findChild<PreviewCache *>();
        QWidget *client = w.window.centralWidget();
        client->grab();
        const int drawings = cache->drawingsStarted();
        client->grab(); // uncovered, say, or a box closed
        w.window.cmdPreview_Click();
        client->grab();
        QCOMPARE(cache->drawingsStarted(), drawings);

        w.window.table(TableKind::FaceLabels).setCell(1, 2, "mA");
        client->grab(QRect(0, 0, 20, 20));
        QCOMPARE(cache->drawingsStarted(), drawings + 1);
        client->grab();
        QCOMPARE(cache->drawingsStarted(), drawings + 1);
    }
};

QTEST_MAIN(TestPreviewCache)
#include "test_previewcache.moc"
