#pragma once

#include "cardscale.h"
#include "design/dialdesign.h"

#include <QString>

class QIODevice;

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
    // SVG, PDF and DXF: texts drawn as filled outlines, for engravers and programs without the font.
    bool textOutlines = false;
    // PDF only: corner marks 3 mm long, 2 mm outside the card edge, to cut along.
    bool cropMarks = false;
};
inline constexpr int kMaxExportDpi = 9600;

struct ExportError {
    enum class Kind {
        None,
        BadRequest, // unknown extension, resolution out of range, a page or image that cannot be made
        PageTooSmall, // the card, or its crop marks, do not fit on the chosen PDF page
        Drawing,    // the design cannot be drawn; message is the drawing's own
        Writing,    // the file cannot be written, or the design cannot be stored as a dial file
    };
    Kind kind = Kind::None;
    QString message; // for a person; empty when kind is None

    bool ok() const { return kind == Kind::None; }
};

// Whether the card, 10 mm in from the page's top-left corner and enlarged by `scale` where it
// enlarges, lies wholly on `page`; a card page always fits (when it can be made at all). A card size that is not a finite number counts as
// fitting: the drawing refuses it with its own message.
bool cardFitsPage(const DialDesign &design, ExportPage page, CardScale scale = CardScale());

// Writes `design` to `outputPath` at true size, in the format its extension names:
// - PDF: vector, texts as text, one page (see ExportPage); crop marks if asked for;
// - SVG: width, height and viewBox in millimetres; the card 10 mm in, plus 10 mm on the far sides;
//   one Inkscape layer per DrawLayer (see SvgSurface);
// - PNG: the same area at options.dotsPerInch on white, with the resolution recorded in the file;
// - DXF: see DxfSurface;
// - .vlt: the dial file exactly as Save writes it.
// Texts are drawn in their rows' fonts (DejaVu Sans by default), or as filled outlines in PDF, SVG
// and DXF with options.textOutlines; control characters are not drawn. Crop marks for any format
// but PDF are refused (BadRequest). The output goes through
// writeFileAtomically(): it replaces `outputPath` only when complete and safely on the disk, and
// only a regular file (or a link to one) is replaced. On any failure (a drawing error, a design
// over the drawing budget, a card larger than the PDF page, a full disk) nothing is left at
// `outputPath` but what was there before, and the message says why.
ExportError exportDial(const DialDesign &design, const QString &outputPath, const ExportOptions &options = {});

// The drawing part of exportDial(): writes `design` as `format` (PDF, SVG, PNG or DXF) to `out`,
// with `title` as the document's title where the format has one. SVG and DXF are written as they
// are drawn; a failure can leave part of a file on `out`. Write errors are the device's to tell.
ExportError writeDialExport(const DialDesign &design, ExportFormat format, QIODevice &out,
                            const ExportOptions &options = {}, const QString &title = QString());

} // namespace vernalith
