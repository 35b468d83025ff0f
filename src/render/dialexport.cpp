#include "dialexport.h"

#include "design/numericprefix.h"
#include "dialrenderer.h"
#include "dxfsurface.h"
#include "files/dialfile.h"
#include "paintersurface.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>
#include <exception>
#include <new>

namespace vernalith {

namespace {

constexpr double kMarginMm = 10.0;     // the card's inset, kept on the far sides as well
constexpr int kPdfDpi = 1200;
constexpr int kSvgDpi = 2540;          // 100 units per mm: sizes to 0.01 mm in whole units
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

ExportError drawOnPainter(const DialDesign &design, QPainter &painter, double dotsPerInch, CardScale scale)
{
    painter.setPen(Qt::black);
    painter.setFont(QFont(exportFontFamily()));
    applyCardScale(painter, scale, dotsPerInch);
    PainterSurface surface(painter, dotsPerInch);
    return drawInto(design, surface);
}

ExportError commit(QSaveFile &file, const QString &path)
{
    if (!file.commit())
        return cannotWrite(path, file.errorString());
    return {};
}

ExportError exportPdf(const DialDesign &design, const QString &path, const ExportOptions &options)
{
    QPageSize pageSize(QPageSize::A4);
    if (options.page == ExportPage::Letter) {
        pageSize = QPageSize(QPageSize::Letter);
    } else if (options.page == ExportPage::Card) {
        Area area;
        const ExportError error = cardArea(design, area, options.scale);
        if (!error.ok())
            return error;
        pageSize = QPageSize(QSizeF(area.widthMm, area.heightMm), QPageSize::Millimeter, QStringLiteral("Card"),
                             QPageSize::ExactMatch);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(path, file.errorString());
    QPdfWriter writer(&file);
    writer.setResolution(kPdfDpi);
    // Qt's default margins would move the card by 3.5 mm.
    writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Vernalith"));
    writer.setTitle(QFileInfo(path).completeBaseName());

    QPainter painter;
    if (!painter.begin(&writer))
        return cannotWrite(path, QStringLiteral("the PDF cannot be started"));
    const ExportError error = drawOnPainter(design, painter, kPdfDpi, options.scale);
    painter.end();
    if (!error.ok())
        return error;
    return commit(file, path);
}

ExportError exportSvg(const DialDesign &design, const QString &path, const ExportOptions &options)
{
    Area area;
    const ExportError areaError = cardArea(design, area, options.scale);
    if (!areaError.ok())
        return areaError;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(path, file.errorString());
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setTitle(QFileInfo(path).completeBaseName());
    generator.setDescription(QStringLiteral("Meter face card drawn by Vernalith, true size in millimetres"));
    // The size at this resolution makes the file say width="..mm"; the viewBox makes one user
    // unit a millimetre, so the painter draws in millimetres.
    generator.setResolution(kSvgDpi);
    generator.setSize(QSize(qRound(area.widthMm * kSvgDpi / 25.4), qRound(area.heightMm * kSvgDpi / 25.4)));
    generator.setViewBox(QRectF(0, 0, area.widthMm, area.heightMm));

    QPainter painter;
    if (!painter.begin(&generator))
        return cannotWrite(path, QStringLiteral("the SVG cannot be started"));
    const ExportError error = drawOnPainter(design, painter, 25.4, options.scale);
    painter.end();
    if (!error.ok())
        return error;
    return commit(file, path);
}

ExportError exportPng(const DialDesign &design, const QString &path, const ExportOptions &options)
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
    const ExportError error = drawOnPainter(design, painter, options.dotsPerInch, options.scale);
    painter.end();
    if (!error.ok())
        return error;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(path, file.errorString());
    if (!image.save(&file, "PNG"))
        return cannotWrite(path, file.error() != QFileDevice::NoError ? file.errorString()
                                                                      : QStringLiteral("the PNG cannot be encoded"));
    return commit(file, path);
}

ExportError exportDxf(const DialDesign &design, const QString &path)
{
    DxfSurface surface(numericPrefix(design.dimension(Dimension::CardHeight)), QFont(exportFontFamily()));
    const ExportError error = drawInto(design, surface);
    if (!error.ok())
        return error;
    const QByteArray bytes = surface.dxfBytes();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotWrite(path, file.errorString());
    if (file.write(bytes) != bytes.size())
        return cannotWrite(path, file.errorString());
    return commit(file, path);
}

ExportError exportDialFile(const DialDesign &design, const QString &path)
{
    const DialFileError error = saveDialFile(path, design);
    if (error.ok())
        return {};
    return failure(ExportError::Kind::Writing, error.detail);
}

} // namespace

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
    switch (format) {
    case ExportFormat::Pdf:
        return exportPdf(design, outputPath, options);
    case ExportFormat::Svg:
        return exportSvg(design, outputPath, options);
    case ExportFormat::Png:
        return exportPng(design, outputPath, options);
    case ExportFormat::Dxf:
        return exportDxf(design, outputPath);
    case ExportFormat::DialFile:
        return exportDialFile(design, outputPath);
    case ExportFormat::Unknown:
        break;
    }
    return failure(ExportError::Kind::BadRequest,
                   QStringLiteral("Unknown output format \"%1\" (use .pdf, .svg, .png, .dxf or .vlt)")
                       .arg(QFileInfo(outputPath).suffix()));
}

} // namespace vernalith
