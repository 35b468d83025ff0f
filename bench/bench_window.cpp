// Timings of the designer window with the largest design it can hold (32766 rows in each of the
// four tables: about 1.65 million tickmarks, 180,000 digits, 32766 arcs and labels):
// - a repaint after a change of a 4 x 250-row design, the largest drawn inside the repaint;
// - opening the largest design's dial file in the window (read, replace every table);
// - one full repaint of the window while the design stays unchanged;
// - how long the event loop was blocked at most, and how long until the new picture was shown,
//   when Preview is pressed after the design changed (a timer ticks every millisecond; the
//   longest gap between ticks is the longest time the window could not react).
// Plain timing: one warm-up, then the median of a few runs.
//   QT_QPA_PLATFORM=offscreen vernalith-bench-window

#include "design/designmodel.h"
#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vernalith;

namespace {

DialDesign benchDesign(int rowsPerTable)
{
    DialDesign d = DialDesign::startup();
    for (TableKind kind : kAllTables)
        d.table(kind).clear();
    for (int k = 0; k < rowsPerTable; ++k) {
        d.table(TableKind::ScaleArcs).append({QString::number(10 + k % 20)});
        d.table(TableKind::ScaleTickmarks).append({QString::number(k % 100), QStringLiteral("22"), QStringLiteral("20.5")});
        d.table(TableKind::ScaleDigits).append({QString::number(k % 10), QStringLiteral("0"), QStringLiteral("100"),
                                                QStringLiteral("0.0"), QStringLiteral("24"), QStringLiteral("6")});
        d.table(TableKind::FaceLabels).append({QString::number(k % 50), QString::number(k % 44),
                                               QStringLiteral("Label %1").arg(k), QStringLiteral("6")});
    }
    return d;
}

double medianMs(int runs, const std::function<void()> &work)
{
    work(); // warm-up
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Responsiveness {
    double longestBlockMs = 0; // the longest the event loop did not run
    double shownAfterMs = -1;  // when the preview first showed the changed design; -1: not seen
};

// Changes the design, presses Preview and lets the event loop run until `shown` tells that the
// window shows the changed design, or for `spanMs` at most, ticking every millisecond.
Responsiveness watchRedraw(FrmMain &window, int spanMs, const std::function<bool()> &shown)
{
    Responsiveness r;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QEventLoop loop;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        r.longestBlockMs = std::max(r.longestBlockMs, static_cast<double>(now - lastTick) / 1e6);
        lastTick = now;
        if (r.shownAfterMs < 0 && shown()) {
            r.shownAfterMs = static_cast<double>(now) / 1e6;
            loop.quit();
        }
    });
    QTimer::singleShot(spanMs, &loop, &QEventLoop::quit);
    // A label's text is drawn: a change the renderer must redo in full.
    DesignTable &labels = window.model().table(TableKind::FaceLabels);
    labels.setCell(1, 2, labels.cell(1, 2) + QStringLiteral("x"));

    clock.start();
    ticker.start();
    window.cmdPreview_Click();
    // The event loop sleeps between events, as the program's own does.
    loop.exec();
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.vlt"));
    if (!saveDialFile(path, benchDesign(kMaxDataRows)).ok()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    FrmMain window;
    window.show();
    QApplication::processEvents();

    // The largest design still drawn inside the repaint, as every design was before: 1000 rows
    // of the same mix. Each run changes one label, so that every repaint draws.
    window.model().setDesign(benchDesign(250));
    DesignTable &labels = window.model().table(TableKind::FaceLabels);
    const double smallRepaint = medianMs(5, [&] {
        labels.setCell(1, 2, labels.cell(1, 2) + QStringLiteral("x"));
        window.grab();
    });

    // Open's work up to the point where the window shows the new rows: read the whole file,
    // then replace every table (one model reset each).
    const double open = medianMs(5, [&] { window.loadFile(path); });
    // The window's picture cache, where there is one, says when a picture drawn in the
    // background is shown.
    QObject *cache = window.findChild<QObject *>(QStringLiteral("previewCache"));
    auto picturesShown = [cache] { return cache ? cache->property("picturesShown").toInt() : 0; };
    auto redraw = [&] {
        const int before = picturesShown();
        return watchRedraw(window, 20000, [&] { return !cache || picturesShown() > before; });
    };
    // Let the opened design be drawn once before repainting it unchanged.
    redraw();
    // A repaint of the unchanged design (uncovering the window, a closed message box).
    const double paint = medianMs(5, [&] { window.grab(); });

    std::vector<Responsiveness> redraws;
    for (int i = 0; i < 3; ++i)
        redraws.push_back(redraw());
    std::sort(redraws.begin(), redraws.end(),
              [](const Responsiveness &a, const Responsiveness &b) { return a.longestBlockMs < b.longestBlockMs; });
    const Responsiveness &median = redraws[redraws.size() / 2];

    std::printf("repaint after a change, 4 x 250 rows (drawn in the repaint): %8.1f ms median\n", smallRepaint);
    std::printf("open a 4 x %d-row dial file in the window (read, replace):  %8.1f ms median\n", kMaxDataRows, open);
    std::printf("repaint of the window with that design unchanged:          %8.1f ms median\n", paint);
    std::printf("longest event-loop block after a change and Preview:       %8.1f ms median\n", median.longestBlockMs);
    std::printf("changed design shown after:                                %8.1f ms\n", median.shownAfterMs);
    return 0;
}
