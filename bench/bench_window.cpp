// Timings of the designer window with the largest design it can hold: opening a dial file with
// 32766 rows in each of the four tables (read, replace every table), and one full repaint of
// that design (about 1.65 million tickmarks, 180,000 digits, 32766 arcs and labels). Plain timing: one warm-up, then the median of a few runs.
//   QT_QPA_PLATFORM=offscreen vernalith-bench-window

#include "design/designmodel.h"
#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vernalith;

namespace {

DialDesign fullDesign()
{
    DialDesign d = DialDesign::startup();
    for (TableKind kind : kAllTables)
        d.table(kind).clear();
    for (int k = 0; k < kMaxDataRows; ++k) {
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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.vlt"));
    if (!saveDialFile(path, fullDesign()).ok()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    FrmMain window;
    window.show();
    QApplication::processEvents();

    // Open's work up to the point where the window shows the new rows: read the whole file,
    // then replace every table (one model reset each).
    const double open = medianMs(5, [&] { window.loadFile(path); });
    // What the preview then draws: every arc, tickmark, digit and label of the design.
    const double paint = medianMs(3, [&] { window.grab(); });

    std::printf("open a 4 x %d-row dial file in the window (read, replace):  %8.1f ms median\n", kMaxDataRows, open);
    std::printf("full repaint of the window with that design:               %8.1f ms median\n", paint);
    return 0;
}
