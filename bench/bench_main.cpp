// Timings of a full drawing on the raster surface at screen resolution (96 dpi, what the preview
// window uses) and of reading and writing a large dial file, and the peak memory of
// vernalith-export writing the largest design to each format. Run with
//   vernalith-bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N]
// Each benchmark reports the mean, median and spread over its repetitions.

#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "render/dialrenderer.h"
#include "render/paintersurface.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdlib>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vernalith;

namespace {

constexpr double kScreenDpi = 96.0;
constexpr int kRows = kMaxDataRows;
constexpr int kRepetitions = 9;

TableRows rows(std::initializer_list<QStringList> list)
{
    return TableRows(list);
}

DialDesign typicalDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleArcs) = rows({{QStringLiteral("20")}, {QStringLiteral("22")}});
    d.table(TableKind::ScaleTickmarks) = rows({{QStringLiteral("10"), QStringLiteral("22"), QStringLiteral("19")},
                                               {QStringLiteral("50"), QStringLiteral("22"), QStringLiteral("20.5")},
                                               {QStringLiteral("100"), QStringLiteral("22"), QStringLiteral("21")}});
    d.table(TableKind::ScaleDigits) =
        rows({{QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("0"),
               QStringLiteral("25"), QStringLiteral("7")},
              {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0.0"),
               QStringLiteral("16.5"), QStringLiteral("5")}});
    d.table(TableKind::FaceLabels) =
        rows({{QStringLiteral("23"), QStringLiteral("37"), QStringLiteral("mA"), QStringLiteral("10")},
              {QStringLiteral("3"), QStringLiteral("40"), QStringLiteral("Class 1.5"), QStringLiteral("6")},
              {QStringLiteral("40"), QStringLiteral("40"), QStringLiteral("DC"), QStringLiteral("6")}});
    return d;
}

DialDesign ticksDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleTickmarks) = rows({{QString::number(kRows), QStringLiteral("22"), QStringLiteral("20")}});
    return d;
}

// One tickmarks row of 32767 readings 1, 2, ... 32767 on a log scale: by its divisions, or the
// same readings as a value list.
DialDesign logTicksDesign(bool listed)
{
    DialDesign d = DialDesign::startup();
    QStringList row = emptyRow(TableKind::ScaleTickmarks);
    row[0] = listed ? QStringLiteral("0") : QString::number(kRows);
    row[1] = QStringLiteral("22");
    row[2] = QStringLiteral("20");
    row[extraColumn(TableKind::ScaleTickmarks, QStringLiteral("Scale"))] = QStringLiteral("1");
    if (listed)
        row[extraColumn(TableKind::ScaleTickmarks, QStringLiteral("Values"))] = QStringLiteral("1:%1:1").arg(kRows + 1);
    d.table(TableKind::ScaleTickmarks) = {row};
    d.scales = {{QStringLiteral("log"), QStringLiteral("1"), QString::number(kRows + 1), QString(), QString()}};
    return d;
}

DialDesign digitsDesign()
{
    DialDesign d = DialDesign::startup();
    d.table(TableKind::ScaleDigits) = rows({{QString::number(kRows), QStringLiteral("0"), QStringLiteral("100"),
                                             QStringLiteral("0.00"), QStringLiteral("24"), QStringLiteral("6")}});
    return d;
}

DialDesign labelsDesign()
{
    DialDesign d = DialDesign::startup();
    TableRows &labels = d.table(TableKind::FaceLabels);
    labels.clear();
    for (int k = 0; k < kRows; ++k)
        labels.append({QString::number(k % 50), QString::number(k % 44), QStringLiteral("Label %1").arg(k),
                       QStringLiteral("6")});
    return d;
}

// Every table full: the largest dial file the designer can open.
DialDesign fullDesign()
{
    DialDesign d = labelsDesign();
    TableRows &arcs = d.table(TableKind::ScaleArcs);
    TableRows &ticks = d.table(TableKind::ScaleTickmarks);
    TableRows &digits = d.table(TableKind::ScaleDigits);
    arcs.clear();
    ticks.clear();
    digits.clear();
    for (int k = 0; k < kRows; ++k) {
        arcs.append({QString::number(10 + k % 20)});
        ticks.append({QString::number(k % 100), QStringLiteral("22"), QStringLiteral("20.5")});
        digits.append({QString::number(k % 10), QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("0.0"),
                       QStringLiteral("24"), QStringLiteral("6")});
    }
    return d;
}

// The full design with 1,000 bands round the sweep (every other one a cut window) and 1,000
// holes on a grid over the card.
DialDesign withBandsAndHoles(DialDesign d)
{
    for (int k = 0; k < 1000; ++k) {
        d.bands.append({QString(), QString::number(k / 1000.0), QString::number((k + 1) / 1000.0),
                        QString::number(14 + k % 3), QString::number(16 + k % 3),
                        k % 2 ? QStringLiteral("cut") : QStringLiteral("#C00000")});
        d.holes.append({QString::number(1 + k % 50), QString::number(1 + k / 50 * 2), QStringLiteral("0.8")});
    }
    return d;
}

// One preview paint: clear, then the whole card, as the window draws it.
void drawOnce(const DialDesign &design, QImage &image)
{
    QPainter painter(&image);
    PainterSurface surface(painter, kScreenDpi);
    surface.clear();
    drawDial(design, surface);
}

void drawBenchmark(benchmark::State &state, const DialDesign &design)
{
    const int side = qRound((52 + 20) * kScreenDpi / 25.4);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    drawOnce(design, image); // warm-up: fonts and glyph caches
    for (auto _ : state)
        drawOnce(design, image);
}

void BM_DrawStartupDesign(benchmark::State &state)
{
    drawBenchmark(state, DialDesign::startup());
}

void BM_DrawTypicalDesign(benchmark::State &state)
{
    drawBenchmark(state, typicalDesign());
}

void BM_Draw32766Tickmarks(benchmark::State &state)
{
    drawBenchmark(state, ticksDesign());
}

// Within 1.5x of the 32766-tick row: the law and the list cost little beside the drawing.
void BM_Draw32766LogTickmarks(benchmark::State &state)
{
    drawBenchmark(state, logTicksDesign(false));
}

void BM_Draw32767ListedLogTickmarks(benchmark::State &state)
{
    drawBenchmark(state, logTicksDesign(true));
}

void BM_Draw32766Digits(benchmark::State &state)
{
    drawBenchmark(state, digitsDesign());
}

void BM_Draw32766Labels(benchmark::State &state)
{
    drawBenchmark(state, labelsDesign());
}

void BM_DrawFull4x32766(benchmark::State &state)
{
    drawBenchmark(state, fullDesign());
}

// Aim: within 1.2x of BM_DrawFull4x32766.
void BM_DrawFull4x32766BandsHoles(benchmark::State &state)
{
    drawBenchmark(state, withBandsAndHoles(fullDesign()));
}

// What the bands and holes alone add.
void BM_Draw1000Bands1000Holes(benchmark::State &state)
{
    drawBenchmark(state, withBandsAndHoles(DialDesign::startup()));
}

QString benchFile(const char *name)
{
    static QTemporaryDir dir;
    return dir.filePath(QString::fromLatin1(name));
}

void BM_WriteDialFile4x32766(benchmark::State &state)
{
    const DialDesign design = fullDesign();
    const QString path = benchFile("write.vlt");
    if (!saveDialFile(path, design).ok()) {
        state.SkipWithError("cannot write the dial file");
        return;
    }
    for (auto _ : state) {
        const DialFileError error = saveDialFile(path, design);
        benchmark::DoNotOptimize(error);
    }
    state.counters["bytes"] = static_cast<double>(dialFileBytes(design).size());
}

// The parts of a write: the storability check and the encoding, without the file.
void BM_CheckStorable4x32766(benchmark::State &state)
{
    const DialDesign design = fullDesign();
    for (auto _ : state) {
        const DialFileError error = checkStorable(design);
        benchmark::DoNotOptimize(error);
    }
}

void BM_EncodeDialFile4x32766(benchmark::State &state)
{
    const DialDesign design = fullDesign();
    for (auto _ : state) {
        const QByteArray bytes = dialFileBytes(design);
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_ReadDialFile4x32766(benchmark::State &state)
{
    const DialDesign design = fullDesign();
    const QString path = benchFile("read.vlt");
    if (!saveDialFile(path, design).ok() || loadDialFile(path, design.dimensions).design != design) {
        state.SkipWithError("the dial file does not read back");
        return;
    }
    for (auto _ : state) {
        DialReadResult result = loadDialFile(path, design.dimensions);
        benchmark::DoNotOptimize(result);
    }
}

// vernalith-export run on the 4 x 32766-row design (about 1.9 million items) as its own process:
// its peak resident memory (the limit is 300 MB for every format) and the output's size.
void BM_ExportPeakMemory4x32766(benchmark::State &state, const char *extension)
{
    const QString input = benchFile("export.vlt");
    if (!saveDialFile(input, fullDesign()).ok()) {
        state.SkipWithError("cannot write the dial file");
        return;
    }
    const QByteArray in = QFile::encodeName(input);
    const QByteArray out = QFile::encodeName(benchFile("export.") + QString::fromLatin1(extension));
    double peakMb = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            execlp(VERNALITH_EXPORT_PATH, "vernalith-export", in.constData(), out.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("vernalith-export failed");
            return;
        }
        peakMb = std::max(peakMb, usage.ru_maxrss / 1024.0); // kilobytes on Linux
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["output_MB"] = static_cast<double>(QFileInfo(QFile::decodeName(out)).size()) / 1e6;
}

// The full design with a character only 1.1 holds: the UTF-8 reading path.
void BM_ReadDialFile11_4x32766(benchmark::State &state)
{
    DialDesign design = fullDesign();
    design.table(TableKind::FaceLabels)[0][2] = QStringLiteral("10 k\u2126");
    const QString path = benchFile("read11.vlt");
    if (!saveDialFile(path, design).ok() || loadDialFile(path, design.dimensions).design != design) {
        state.SkipWithError("the dial file does not read back");
        return;
    }
    for (auto _ : state) {
        DialReadResult result = loadDialFile(path, design.dimensions);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

// A crafted file: a full [Arcs] table, then its section again and again with one row each, which
// keeps the table full. Each repeat once cost time in proportion to the table; the rate shows
// whether reading stays linear (aim: 20 MB/s or more).
void BM_ReadRepeatedSections20MB(benchmark::State &state)
{
    QByteArray file = "[Vernalith1.0]\r\n[Arcs]\r\n";
    for (int k = 0; k < kRows; ++k)
        file += QByteArray::number(10 + k % 20) + "\r\n";
    const QByteArray repeat = "[Arcs]\r\n21\r\n";
    file += repeat.repeated((20 * 1000 * 1000 - file.size()) / repeat.size());
    file += "\r\n";
    const QString path = benchFile("repeated.vlt");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
        state.SkipWithError("cannot write the crafted file");
        return;
    }
    out.close();
    const DialReadResult check = loadDialFile(path, DialDesign::startup().dimensions);
    if (!check.ok() || check.design.table(TableKind::ScaleArcs).size() != kRows) {
        state.SkipWithError("the crafted file does not read as a full table");
        return;
    }
    for (auto _ : state) {
        DialReadResult result = loadDialFile(path, DialDesign::startup().dimensions);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

// A file over the size limit is refused from its first line, not read whole.
void BM_RefuseOversizedFile(benchmark::State &state)
{
    const QString path = benchFile("oversized.vlt");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write("[Vernalith1.0]\r\n") < 0 || !out.resize(300LL * 1024 * 1024)) {
        state.SkipWithError("cannot write the oversized file");
        return;
    }
    out.close();
    for (auto _ : state) {
        DialReadResult result = loadDialFile(path, DialDesign::startup().dimensions);
        benchmark::DoNotOptimize(result);
    }
    QFile::remove(path);
}

void configure(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_DrawStartupDesign)->Apply(configure);
BENCHMARK(BM_DrawTypicalDesign)->Apply(configure);
BENCHMARK(BM_Draw32766Tickmarks)->Apply(configure);
BENCHMARK(BM_Draw32766LogTickmarks)->Apply(configure);
BENCHMARK(BM_Draw32767ListedLogTickmarks)->Apply(configure);
BENCHMARK(BM_Draw32766Digits)->Apply(configure);
BENCHMARK(BM_Draw32766Labels)->Apply(configure);
BENCHMARK(BM_DrawFull4x32766)->Apply(configure);
BENCHMARK(BM_DrawFull4x32766BandsHoles)->Apply(configure);
BENCHMARK(BM_Draw1000Bands1000Holes)->Apply(configure);
BENCHMARK(BM_ReadDialFile4x32766)->Apply(configure);
BENCHMARK(BM_ReadDialFile11_4x32766)->Apply(configure);
BENCHMARK(BM_ReadRepeatedSections20MB)->Apply(configure);
BENCHMARK(BM_RefuseOversizedFile)->Apply(configure);
BENCHMARK(BM_WriteDialFile4x32766)->Apply(configure);
BENCHMARK(BM_CheckStorable4x32766)->Apply(configure);
BENCHMARK(BM_EncodeDialFile4x32766)->Apply(configure);
// Each run takes from seconds to a minute: once is enough for a peak.
BENCHMARK_CAPTURE(BM_ExportPeakMemory4x32766, pdf, "pdf")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ExportPeakMemory4x32766, svg, "svg")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ExportPeakMemory4x32766, png, "png")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_ExportPeakMemory4x32766, dxf, "dxf")->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    // Fonts are needed, a screen is not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
