#include "dialexport.h"

#include "design/numericprefix.h"
#include "files/atomicfilewrite.h"
#include "cardscale.h"
#include "dialrenderer.h"
#include "drawbudget.h"
#include "dxfsurface.h"
#include "files/dialfile.h"
#include "outlinetextsurface.h"
#include "paintersurface.h"
#include "svgsurface.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <utility>

namespace vernalith {

namespace {

constexpr double kMarginMm = 10.0;     // the card's inset, kept on the far sides as well
constexpr int kPdfDpi = 1200;
constexpr double kMaxPageMm = 5000.0;  // PDF readers refuse pages beyond 200 inches
constexpr qint64 kMaxImagePixels = 150'000'000;

QString exportFontFamily()
{
    return QStringLiteral("DejaVu Sans");
}

ExportError failure(ExportError::Kind kind, const QString &message)
{
    return ExportError{kind, message};
}

ExportError cannotWrite(const QString &path, const QString &why)
{
    return failure(ExportError::Kind::Writing, QStringLiteral("Cannot write %1: %2").arg(path, why));
}

// The card with its 10 mm inset and as much again beyond its far edges, in mm, rounded up to
// 0.01 mm. A card size that is not a positive number gives just the margins.
struct Area {
    double widthMm = 0;
    double heightMm = 0;
};

ExportError cardArea(const DialDesign &design, Area &area, CardScale scale)
{
    // An enlarged card keeps its far margin.
    const double width = numericPrefix(design.dimension(Dimension::CardWidth)) * std::max(scale.x, 1.0);
    const double height = numericPrefix(design.dimension(Dimension::CardHeight)) * std::max(scale.y, 1.0);
    if (!std::isfinite(width) || !std::isfinite(height))
        return failure(ExportError::Kind::BadRequest, QStringLiteral("The card's size is not a usable number"));
    area.widthMm = std::ceil((std::max(width, 0.0) + 2 * kMarginMm) * 100.0) / 100.0;
    area.heightMm = std::ceil((std::max(height, 0.0) + 2 * kMarginMm) * 100.0) / 100.0;
    if (area.widthMm > kMaxPageMm || area.heightMm > kMaxPageMm)
        return failure(ExportError::Kind::BadRequest,
                       QStringLiteral("The card (%1 x %2 mm) is too large for a page (at most %3 mm)")
                           .arg(width)
                           .arg(height)
                           .arg(kMaxPageMm - 2 * kMarginMm));
    return {};
}

// Runs drawDial, turning what it throws into an error value.
template <typename Surface>
ExportError drawInto(const DialDesign &design, Surface &surface)
{
    try {
        drawDial(design, surface);
    } catch (const std::bad_alloc &) {
        return failure(ExportError::Kind::Drawing, QStringLiteral("Not enough memory to draw the card"));
    } catch (const std::exception &e) {
        return failure(ExportError::Kind::Drawing, QString::fromUtf8(e.what()));
    }
    return {};
}

// Corner marks to cut along: at each corner one mark along each edge's line, 3 mm long and
// starting 2 mm beyond the card, in the card outline's layer and pen.
constexpr double kCropMarkGapMm = 2.0;
constexpr double kCropMarkLengthMm = 3.0;

void drawCropMarks(const DialDesign &design, DrawingSurface &surface)
{
    const double width = numericPrefix(design.dimension(Dimension::CardWidth));
    const double height = numericPrefix(design.dimension(Dimension::CardHeight));
    if (!std::isfinite(width) || !std::isfinite(height))
        return;
    surface.setLayer(DrawLayer::Outline);
    surface.setStyle(DrawStyle());
    const double near = kCropMarkGapMm, far = kCropMarkGapMm + kCropMarkLengthMm;
    for (const double x : {0.0, width}) {
        for (const double y : {0.0, height}) {
            const double outX = x == 0 ? -1 : 1, outY = y == 0 ? -1 : 1; // away from the card
            surface.line({x + outX * near, y}, {x + outX * far, y});
            surface.line({x, y + outY * near}, {x, y + outY * far});
        }
    }
}

struct PainterOptions {
    double dotsPerInch = 600;
    CardScale scale;
    bool textOutlines = false;
    bool cropMarks = false;
};

ExportError drawOnPainter(const DialDesign &design, QPainter &painter, const PainterOptions &options)
{
    painter.setPen(Qt::black);
    painter.setFont(QFont(exportFontFamily()));
    applyCardScale(painter, options.scale, options.dotsPerInch);
    PainterSurface surface(painter, options.dotsPerInch);
    std::unique_ptr<OutlineTextSurface> outlines;
    if (options.textOutlines)
        outlines = std::make_unique<OutlineTextSurface>(surface, painter, QFont(exportFontFamily()));
    DrawingSurface &target = outlines ? static_cast<DrawingSurface &>(*outlines) : surface;
    const ExportError error = drawInto(design, target);
    if (error.ok() && options.cropMarks)
        drawCropMarks(design, target);
    return error;
}

// The PDF pages the card is laid on, 10 mm in from the top-left corner.
struct PageInfo {
    QPageSize size;
    const char *name;
};

PageInfo namedPage(ExportPage page)
{
    if (page == ExportPage::Letter)
        return {QPageSize(QPageSize::Letter), "US Letter"};
    return {QPageSize(QPageSize::A4), "A4"};
}

// A card's width and height as the drawing reads them, times an enlarging correction.
std::pair<double, double> cardSize(const DialDesign &design, CardScale scale)
{
    return {numericPrefix(design.dimension(Dimension::CardWidth)) * std::max(scale.x, 1.0),
            numericPrefix(design.dimension(Dimension::CardHeight)) * std::max(scale.y, 1.0)};
}

ExportError checkFitsPage(const DialDesign &design, ExportPage page, CardScale scale)
{
    if (cardFitsPage(design, page, scale))
        return {};
    const auto [width, height] = cardSize(design, scale);
    const PageInfo info = namedPage(page);
    const QSizeF pageMm = info.size.size(QPageSize::Millimeter);
    return failure(ExportError::Kind::PageTooSmall,
                   QStringLiteral("The card (%1 x %2 mm) does not fit on the %3 page (%4 x %5 mm) 10 mm in from its corner")
                       .arg(width)
                       .arg(height)
                       .arg(QLatin1String(info.name))
                       .arg(pageMm.width())
                       .arg(pageMm.height()));
}

ExportError writePdf(const DialDesign &design, QIODevice &out, const ExportOptions &options, const QString &title)
{
    QPageSize pageSize = namedPage(options.page).size;
    if (options.page == ExportPage::Card) {
        Area area;
        const ExportError error = cardArea(design, area, options.scale);
        if (!error.ok())
            return error;
        pageSize = QPageSize(QSizeF(area.widthMm, area.heightMm), QPageSize::Millimeter, QStringLiteral("Card"),
                             QPageSize::ExactMatch);
    } else {
        const ExportError error = checkFitsPage(design, options.page, options.scale);
        if (!error.ok())
            return error;
        const auto [width, height] = cardSize(design, options.scale);
        const QSizeF pageMm = namedPage(options.page).size.size(QPageSize::Millimeter);
        const double reach = kMarginMm + kCropMarkGapMm + kCropMarkLengthMm;
        if (options.cropMarks && (width + reach > pageMm.width() + 1e-9 || height + reach > pageMm.height() + 1e-9))
            return failure(ExportError::Kind::PageTooSmall,
                           QStringLiteral("The crop marks would run off the %1 page: they reach %2 mm beyond the card")
                               .arg(QLatin1String(namedPage(options.page).name))
                               .arg(kCropMarkGapMm + kCropMarkLengthMm));
    }

    QPdfWriter writer(&out);
    writer.setResolution(kPdfDpi);
    // Qt's default margins would move the card by 3.5 mm.
    writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Vernalith"));
    writer.setTitle(title);

    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&writer))
        return failure(ExportError::Kind::Writing, QStringLiteral("the PDF cannot be started"));
    const ExportError error =
        drawOnPainter(design, *painter, {kPdfDpi, options.scale, options.textOutlines, options.cropMarks});
    try {
        painter->end(); // writes the page: the whole drawing's content at once
    } catch (const std::bad_alloc &) {
        // A painter that could not finish tries again when destroyed, where running out of
        // memory once more would end the program: it is abandoned instead.
        static_cast<void>(painter.release());
        return failure(ExportError::Kind::Drawing, QStringLiteral("Not enough memory to write the card"));
    }
    return error;
}

ExportError writeSvg(const DialDesign &design, QIODevice &out, const ExportOptions &options, const QString &title)
{
    Area area;
    const ExportError areaError = cardArea(design, area, options.scale);
    if (!areaError.ok())
        return areaError;
    // Refused before the head is written: nothing of a drawing that cannot be made.
    const QString overBudget = drawBudgetProblem(design);
    if (!overBudget.isEmpty())
        return failure(ExportError::Kind::Drawing, overBudget);

    SvgSurface surface(out, QFont(exportFontFamily()), options.textOutlines);
    surface.begin(area.widthMm, area.heightMm, title,
                  QStringLiteral("Meter face card drawn by Vernalith, true size in millimetres"), options.scale);
    const ExportError error = drawInto(design, surface);
    surface.end();
    if (error.ok() && !surface.error().isEmpty())
        return failure(ExportError::Kind::Writing, surface.error());
    return error;
}

ExportError writePng(const DialDesign &design, QIODevice &out, const ExportOptions &options)
{
    Area area;
    const ExportError areaError = cardArea(design, area, options.scale);
    if (!areaError.ok())
        return areaError;

    const double pixelsPerMm = options.dotsPerInch / 25.4;
    const qint64 width = static_cast<qint64>(std::ceil(area.widthMm * pixelsPerMm - 1e-6));
    const qint64 height = static_cast<qint64>(std::ceil(area.heightMm * pixelsPerMm - 1e-6));
    if (width * height > kMaxImagePixels)
        return failure(ExportError::Kind::BadRequest,
                       QStringLiteral("The image would be %1 x %2 pixels, too large; choose a lower resolution")
                           .arg(width)
                           .arg(height));
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return failure(ExportError::Kind::BadRequest, QStringLiteral("Not enough memory for the image"));
    image.fill(Qt::white);
    const int dotsPerMetre = qRound(options.dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);

    QPainter painter(&image);
    const ExportError error = drawOnPainter(design, painter, {double(options.dotsPerInch), options.scale});
    painter.end();
    if (!error.ok())
        return error;

    // Encoded in memory first: libpng would print its own line on a write error, and the
    // encoded image is small beside the pixels.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    if (!image.save(&encoded, "PNG"))
        return failure(ExportError::Kind::Writing, QStringLiteral("the PNG cannot be encoded"));
    out.write(encoded.data());
    return {};
}

ExportError writeDxf(const DialDesign &design, QIODevice &out, const ExportOptions &options)
{
    // Drawn twice: once to learn what the head must say, once to write the entities as they come.
    const double cardHeight = numericPrefix(design.dimension(Dimension::CardHeight));
    DxfSurface measured(cardHeight, QFont(exportFontFamily()), options.textOutlines);
    const ExportError error = drawInto(design, measured);
    if (!error.ok())
        return error;
    DxfSurface surface(cardHeight, QFont(exportFontFamily()), options.textOutlines);
    surface.startFile(out, measured);
    const ExportError again = drawInto(design, surface);
    surface.finishFile();
    return again;
}

} // namespace

bool cardFitsPage(const DialDesign &design, ExportPage page, CardScale scale)
{
    if (page == ExportPage::Card)
        return true;
    const auto [width, height] = cardSize(design, scale);
    if (!std::isfinite(width) || !std::isfinite(height))
        return true; // not a size at all: the drawing refuses it with its own message
    const QSizeF pageMm = namedPage(page).size.size(QPageSize::Millimeter);
    // A card size that is not a positive number draws within the inset corner.
    return !(kMarginMm + width > pageMm.width() + 1e-9) && !(kMarginMm + height > pageMm.height() + 1e-9);
}

ExportError writeDialExport(const DialDesign &design, ExportFormat format, QIODevice &out,
                            const ExportOptions &options, const QString &title)
{
    try {
        switch (format) {
        case ExportFormat::Pdf:
            return writePdf(design, out, options, title);
        case ExportFormat::Svg:
            return writeSvg(design, out, options, title);
        case ExportFormat::Png:
            return writePng(design, out, options);
        case ExportFormat::Dxf:
            return writeDxf(design, out, options);
        case ExportFormat::DialFile:
        case ExportFormat::Unknown:
            break;
        }
    } catch (const std::bad_alloc &) {
        return failure(ExportError::Kind::Drawing, QStringLiteral("Not enough memory to write the card"));
    }
    return failure(ExportError::Kind::BadRequest, QStringLiteral("This format is not a drawing"));
}

ExportFormat exportFormatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ExportFormat::Pdf;
    if (suffix == QLatin1String("svg"))
        return ExportFormat::Svg;
    if (suffix == QLatin1String("png"))
        return ExportFormat::Png;
    if (suffix == QLatin1String("dxf"))
        return ExportFormat::Dxf;
    if (suffix == QLatin1String("vlt"))
        return ExportFormat::DialFile;
    return ExportFormat::Unknown;
}

ExportError exportDial(const DialDesign &design, const QString &outputPath, const ExportOptions &options)
{
    if (options.dotsPerInch < 1 || options.dotsPerInch > kMaxExportDpi)
        return failure(ExportError::Kind::BadRequest,
                       QStringLiteral("The resolution %1 dpi is outside 1 to %2").arg(options.dotsPerInch).arg(kMaxExportDpi));
    const ExportFormat format = exportFormatFor(outputPath);
    if (!isUsableCardScale(options.scale))
        return failure(ExportError::Kind::BadRequest, QStringLiteral("A scale must lie between 95 and 105 %"));
    // A CAD drawing and a dial file hold true millimetres; a printer's correction has no place there.
    if (!options.scale.isIdentity() && (format == ExportFormat::Dxf || format == ExportFormat::DialFile))
        return failure(ExportError::Kind::BadRequest, QStringLiteral("A scale applies to PDF, SVG and PNG only"));
    if (options.cropMarks && format != ExportFormat::Pdf && format != ExportFormat::Unknown)
        return failure(ExportError::Kind::BadRequest, QStringLiteral("Crop marks apply to PDF only"));
    if (format == ExportFormat::Unknown)
        return failure(ExportError::Kind::BadRequest,
                       QStringLiteral("Unknown output format \"%1\" (use .pdf, .svg, .png, .dxf or .vlt)")
                           .arg(QFileInfo(outputPath).suffix()));
    const QString notReplaceable = replaceableFileProblem(outputPath);
    if (!notReplaceable.isEmpty())
        return cannotWrite(outputPath, notReplaceable);
    if (format == ExportFormat::DialFile) {
        const DialFileError error = saveDialFile(outputPath, design);
        return error.ok() ? ExportError{} : failure(ExportError::Kind::Writing, error.detail);
    }

    ExportError drawing;
    const QString writeProblem = writeFileAtomically(outputPath, [&](QIODevice &out) {
        drawing = writeDialExport(design, format, out, options, QFileInfo(outputPath).completeBaseName());
        return drawing.ok() ? QString() : drawing.message;
    });
    if (!drawing.ok())
        return drawing;
    if (!writeProblem.isEmpty())
        return cannotWrite(outputPath, writeProblem);
    return {};
}

} // namespace vernalith
