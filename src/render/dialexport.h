#pragma once

#include "cardscale.h"
#include "design/dialdesign.h"

#include <QString>

namespace vernalith {

// The file formats a design can be exported to, picked by the output's extension.
enum class ExportFormat { Unknown, Pdf, Svg, Png, Dxf, DialFile };

// By the path's extension, without regard to case: .pdf, .svg, .png, .dxf, .vlt.
ExportFormat exportFormatFor(const QString &path);

// The PDF page: A4 or US Letter with the card 10 mm in from the top-left corner, as printed,
// or a page of the card's size plus 10 mm all round.
enum class ExportPage { A4, Letter, Card };

struct ExportOptions {
    ExportPage page = ExportPage::A4; // PDF only
    int dotsPerInch = 600;            // PNG only; 1 .. kMaxExportDpi
    // PDF, SVG and PNG: a printer's correction, applied about the card's top-left corner; each
    // factor within kMinCardScale .. kMaxCardScale. DXF and .vlt take none but 1, 1.
    CardScale scale;
};
inline constexpr int kMaxExportDpi = 9600;

struct ExportError {
    enum class Kind {
        None,
        BadRequest, // unknown extension, resolution out of range, a page or image that cannot be made
        Drawing,    // the design cannot be drawn; message is the drawing's own
        Writing,    // the file cannot be written, or the design cannot be stored as a dial file
    };
    Kind kind = Kind::None;
    QString message; // for a person; empty when kind is None

    bool ok() const { return kind == Kind::None; }
};

// Writes `design` to `outputPath` at true size, in the format its extension names:
// - PDF: vector, texts as text, one page (see ExportPage);
// - SVG: width, height and viewBox in millimetres; the card 10 mm in, plus 10 mm on the far sides;
// - PNG: the same area at options.dotsPerInch on white, with the resolution recorded in the file;
// - DXF: see DxfSurface;
// - .vlt: the dial file exactly as Save writes it.
// Texts are drawn in DejaVu Sans. The output is written to a temporary file that replaces
// `outputPath` only when complete: on any failure (a drawing error included) nothing is left at
// `outputPath` but what was there before.
ExportError exportDial(const DialDesign &design, const QString &outputPath, const ExportOptions &options = {});

} // namespace vernalith
