// Feeds arbitrary bytes to the dial file reader and draws every design it reads: on the
// recording surface, and as PDF, SVG, PNG and DXF written to memory. Besides crashes and
// undefined behaviour it checks what the drawing promises: a design over the drawing budget is
// refused before anything is drawn; a design that draws is exported to every format; SVG is
// well-formed XML; DXF is whole lines of group codes and values without control characters.

#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/dialrenderer.h"
#include "render/drawbudget.h"
#include "render/recordingsurface.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vernalith;

namespace {

// Designs up to this many items are drawn and exported; more would make each run slow. Larger
// ones (up to the budget) are only counted, which is what guards the program.
constexpr qint64 kDrawnItems = 20'000;

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "export_fuzzer: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

void checkSvg(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        fail("the SVG is not well-formed XML:", xml.errorString());
}

void checkDxf(const QByteArray &dxf)
{
    const QList<QByteArray> lines = dxf.split('\n');
    // Pairs of lines, each ending in CR LF, the last followed by nothing.
    if (!dxf.endsWith("EOF\r\n") || lines.size() % 2 != 1)
        fail("the DXF does not end in whole pairs of lines");
    for (qsizetype k = 0; k + 1 < lines.size(); ++k) {
        const QByteArray &line = lines[k];
        if (!line.endsWith('\r'))
            fail("a DXF line does not end in CR LF");
        for (qsizetype c = 0; c + 1 < line.size(); ++c) {
            if (static_cast<unsigned char>(line[c]) < 0x20)
                fail("a DXF value holds a control character");
        }
        bool isCode = false;
        if (k % 2 == 0)
            line.trimmed().toInt(&isCode);
        if (k % 2 == 0 && !isCode)
            fail("a DXF group code is not a number:", QString::fromLatin1(line));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts for measuring and drawing texts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DialReadResult read = parseDialFile(bytes, DialDesign::startup().dimensions);
    if (!read.ok())
        return 0;
    const DialDesign &design = read.design;

    const qint64 items = countDrawItems(design);
    RecordingSurface recorded;
    if (!drawBudgetProblem(design).isEmpty()) {
        try {
            drawDial(design, recorded);
            fail("a design over the budget was drawn");
        } catch (const DrawError &) {
        }
        if (!recorded.operations().isEmpty())
            fail("a design over the budget was partly drawn");
        return 0;
    }
    if (items > kDrawnItems)
        return 0;

    bool drawn = true;
    try {
        drawDial(design, recorded);
    } catch (const DrawError &e) {
        drawn = false;
        if (*e.what() == '\0')
            fail("a drawing error without a message");
    }
    if (drawn && recorded.drawn().size() > items)
        fail("the drawing drew more items than it counted");

    ExportOptions options;
    options.page = ExportPage::Card;
    options.dotsPerInch = 10;
    options.textOutlines = size % 2 == 1;
    options.cropMarks = size % 4 >= 2;
    for (ExportFormat format : {ExportFormat::Svg, ExportFormat::Dxf, ExportFormat::Pdf, ExportFormat::Png}) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        const ExportError error = writeDialExport(design, format, out, options, QStringLiteral("fuzz & <title>"));
        if (!error.ok() && error.message.isEmpty())
            fail("an export error without a message");
        // The drawing formats draw what the recording surface drew; only a card too large for
        // a page or an image may stop them besides.
        if (drawn && !error.ok() && error.kind != ExportError::Kind::BadRequest)
            fail("a design that draws could not be exported:", error.message);
        if (!drawn && error.ok())
            fail("a design that cannot be drawn was exported");
        if (error.ok() && format == ExportFormat::Svg)
            checkSvg(out.data());
        if (error.ok() && format == ExportFormat::Dxf)
            checkDxf(out.data());
    }
    return 0;
}
