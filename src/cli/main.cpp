// vernalith-export: writes a dial file's design as a true-size drawing.
//
// Exit status: 0 done, 1 the work failed (one line on standard error, no output file left),
// 2 the command line is wrong.

#include "design/dialdesign.h"
#include "files/dialfile.h"
#include "render/dialexport.h"
#include "render/rowstyle.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

using namespace vernalith;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage: vernalith-export [--page a4|letter|card] [--dpi N] [--scale-x PCT] [--scale-y PCT]\n"
    "                        [--text-outlines] [--crop-marks] INPUT.vlt OUTPUT\n"
    "\n"
    "Writes the design of the dial file INPUT.vlt to OUTPUT at true size. The output's\n"
    "extension picks the format:\n"
    "  .pdf  a vector PDF with texts as text, the card 10 mm in from the page's top-left corner\n"
    "  .svg  an SVG whose width, height and coordinates are in millimetres\n"
    "  .png  an image on white with its resolution recorded in the file\n"
    "  .dxf  a DXF drawing in millimetres (AutoCAD 2000 format) for CAD and laser engravers\n"
    "  .vlt  the dial file again, exactly as the designer's Save writes it\n"
    "SVG and PNG cover the card plus 10 mm all round.\n"
    "The SVG and the DXF put each part of the card on a layer of its own: BANDS (coloured\n"
    "bands), OUTLINE (the card's edge), CUT (cut bands and holes), MARKS (arcs, tickmarks, the\n"
    "pivot cross) and TEXT, with the design's colours and line widths.\n"
    "\n"
    "Options:\n"
    "  --page a4|letter|card  the PDF page: A4 (the default), US Letter, or the card's size\n"
    "                         plus 10 mm all round; a card too large for A4 or Letter is\n"
    "                         refused rather than cut off\n"
    "  --dpi N                the PNG resolution in dots per inch, 1 to 9600 (default 600)\n"
    "  --scale-x PCT          PDF, SVG and PNG: the card PCT per cent as wide (95 to 105,\n"
    "                         default 100), about its top-left corner\n"
    "  --scale-y PCT          the same for its height; both make up for a printer or print\n"
    "                         shop known to print too large or too small\n"
    "  --text-outlines        SVG, PDF and DXF: texts as filled outlines instead of text, for\n"
    "                         engravers and CAD programs without the font\n"
    "  --crop-marks           PDF only: corner marks 3 mm long, 2 mm outside the card's edge\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the program's version and exit\n"
    "\n"
    "The input is read as the designer's Open reads it. On success the exit status is 0. When\n"
    "anything fails, one line saying what went wrong goes to standard error, the exit status is\n"
    "1 and no output file is left behind (an existing one is kept as it was). Only a regular\n"
    "file (or a link to one) is replaced, never a folder, device, FIFO or socket. File names\n"
    "must be valid UTF-8. A wrong command line gives exit status 2.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "vernalith-export: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message + QStringLiteral(" (see vernalith-export --help)"));
    return kExitUsage;
}

// Qt's own warnings (font configuration, runtime directories) would break the one-line promise.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "vernalith-export: %s\n", message.toLocal8Bit().constData());
}

struct CommandLine {
    ExportOptions options;
    QStringList files;
    bool help = false;
    bool version = false;
};

// Returns an empty string when the arguments are good.
QString parseArguments(const QStringList &arguments, CommandLine &line)
{
    bool optionsEnded = false;
    for (int k = 1; k < arguments.size(); ++k) {
        QString argument = arguments[k];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.files.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            line.help = true;
            continue;
        }
        if (argument == QLatin1String("--version")) {
            line.version = true;
            continue;
        }
        if (argument == QLatin1String("--text-outlines")) {
            line.options.textOutlines = true;
            continue;
        }
        if (argument == QLatin1String("--crop-marks")) {
            line.options.cropMarks = true;
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        bool inlineValue = false;
        if (argument.startsWith(QLatin1String("--")) && equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
            inlineValue = true;
        }
        const bool scaleX = argument == QLatin1String("--scale-x");
        const bool scaleY = argument == QLatin1String("--scale-y");
        if (argument != QLatin1String("--page") && argument != QLatin1String("--dpi") && !scaleX && !scaleY)
            return QStringLiteral("unknown option %1").arg(argument);
        if (!inlineValue) {
            if (k + 1 >= arguments.size())
                return QStringLiteral("%1 needs a value").arg(argument);
            value = arguments[++k];
        }
        if (scaleX || scaleY) {
            bool ok = false;
            const double factor = value.toDouble(&ok) / 100.0;
            if (!ok || !isUsableCardScale(CardScale{factor, factor}))
                return QStringLiteral("%1 must be a percentage from 95 to 105, not \"%2\"").arg(argument, value);
            (scaleX ? line.options.scale.x : line.options.scale.y) = factor;
        } else if (argument == QLatin1String("--page")) {
            const QString page = value.toLower();
            if (page == QLatin1String("a4"))
                line.options.page = ExportPage::A4;
            else if (page == QLatin1String("letter"))
                line.options.page = ExportPage::Letter;
            else if (page == QLatin1String("card"))
                line.options.page = ExportPage::Card;
            else
                return QStringLiteral("--page must be a4, letter or card, not \"%1\"").arg(value);
        } else {
            bool ok = false;
            const int dpi = value.toInt(&ok);
            if (!ok || dpi < 1 || dpi > kMaxExportDpi)
                return QStringLiteral("--dpi must be a whole number from 1 to %1, not \"%2\"").arg(kMaxExportDpi).arg(value);
            line.options.dotsPerInch = dpi;
        }
    }
    if (line.help || line.version)
        return QString();
    if (line.files.size() != 2)
        return line.files.size() < 2 ? QStringLiteral("an input and an output file are needed")
                                     : QStringLiteral("too many files given");
    const ExportFormat format = exportFormatFor(line.files[1]);
    if (format == ExportFormat::Unknown)
        return QStringLiteral("cannot tell the output format of \"%1\": use .pdf, .svg, .png, .dxf or .vlt")
            .arg(line.files[1]);
    if (line.options.cropMarks && format != ExportFormat::Pdf)
        return QStringLiteral("--crop-marks applies to PDF output only");
    if (line.options.textOutlines && format != ExportFormat::Pdf && format != ExportFormat::Svg &&
        format != ExportFormat::Dxf)
        return QStringLiteral("--text-outlines applies to PDF, SVG and DXF output only");
    return QString();
}

// The arguments as the system gave them, and whether each survives the way to a file name and
// back: Qt decodes names as UTF-8, and bytes that are not would name another file.
QStringList rawArguments(int argc, char *argv[], QString *unusable)
{
    QStringList arguments;
    for (int k = 0; k < argc; ++k) {
        const QByteArray raw(argv[k]);
        const QString decoded = QFile::decodeName(raw);
        if (QFile::encodeName(decoded) != raw && unusable->isEmpty())
            *unusable = decoded;
        arguments.append(decoded);
    }
    return arguments;
}

// Qt's painters finish their work in destructors, which may not throw: out of memory there ends
// the program through std::terminate. It still ends with the one line and exit status 1; the
// output's temporary file is an unnamed one that the system drops.
[[noreturn]] void endOnUncaughtException()
{
    if (const std::exception_ptr pending = std::current_exception()) {
        try {
            std::rethrow_exception(pending);
        } catch (const std::bad_alloc &) {
            std::fputs("vernalith-export: not enough memory\n", stderr);
            std::_Exit(kExitFailed);
        } catch (...) {
        }
    }
    std::abort();
}

} // namespace

int main(int argc, char *argv[])
{
    std::set_terminate(endOnUncaughtException);
    // Drawing needs fonts but never a screen, whatever the environment asks for: a window
    // system that is not there would abort the program.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);

    CommandLine line;
    QString unusableName;
    const QString usageProblem = parseArguments(rawArguments(argc, argv, &unusableName), line);
    if (line.help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (line.version) {
        std::fputs("vernalith-export " VERNALITH_VERSION_TEXT "\n", stdout);
        return kExitOk;
    }
    if (!usageProblem.isEmpty())
        return usageError(usageProblem);
    if (!unusableName.isEmpty()) {
        printError(QStringLiteral("cannot use the file name \"%1\": it is not valid UTF-8, and only UTF-8 names "
                                  "are read and written").arg(unusableName));
        return kExitFailed;
    }

    try {
        const QString &input = line.files[0];
        const QString &output = line.files[1];
        const DialReadResult read = loadDialFile(input, DialDesign::startup().dimensions);
        if (!read.ok()) {
            if (read.error.kind == DialFileError::Kind::UnknownFormat)
                printError(QStringLiteral("Unknown file format!"));
            else
                printError(QStringLiteral("An error occurred while Opening the file (%1)").arg(read.error.detail));
            return kExitFailed;
        }

        const ExportError error = exportDial(read.design, output, line.options);
        if (!error.ok()) {
            if (error.kind == ExportError::Kind::PageTooSmall)
                printError(error.message + QStringLiteral("; use --page card for a page of the card's size"));
            else
                printError(error.message);
            return kExitFailed;
        }
        for (const QString &family : missingFontFamilies(read.design))
            printError(QStringLiteral("warning: ") + fontFallbackMessage(family));
    } catch (const std::bad_alloc &) {
        printError(QStringLiteral("not enough memory"));
        return kExitFailed;
    }
    return kExitOk;
}
