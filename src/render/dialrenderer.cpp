#include "dialrenderer.h"

#include "arithmeticerror.h"
#include "design/numericprefix.h"
#include "drawbudget.h"
#include "needlegeometry.h"
#include "numberformat.h"
#include "rowscale.h"
#include "rowstyle.h"

#include "design/valuelist.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vernalith {

namespace {

constexpr double kDefaultFontPoints = 10.0;
constexpr qsizetype kLongestQuotedText = 40;

[[noreturn]] void fail(const QString &place, const QString &problem)
{
    throw DrawError((place + QStringLiteral(": ") + problem).toStdString());
}

// An ArithmeticError's text continues a "place: " prefix.
QString continuing(const ArithmeticError &error)
{
    QString text = QString::fromStdString(error.what());
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

QString quoted(const QString &text)
{
    QString shown = text.trimmed();
    if (shown.size() > kLongestQuotedText)
        shown = shown.left(kLongestQuotedText) + QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString tooLarge(const QString &text)
{
    return quoted(text) + QStringLiteral(" is too large a number");
}

double readDimension(const DialDesign &design, Dimension d)
{
    const QString &text = design.dimension(d);
    const double value = numericPrefix(text);
    if (!std::isfinite(value))
        fail(dimensionTitle(d), tooLarge(text));
    return value;
}

double angleOfTip(double pivotX, double pivotY, double x, double y, const char *place)
{
    try {
        return needleAngle(pivotX, pivotY, x, y);
    } catch (const ArithmeticError &error) {
        fail(QString::fromLatin1(place), continuing(error));
    }
}

// Control characters (legal in a dial file's texts) have no picture: no output draws them.
QString drawable(const QString &text)
{
    QString shown = text;
    shown.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return shown;
}

// Round half to even, as the 16-bit conversion of the division counts does.
double roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below; // exact for every double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        return below + 1.0;
    return below;
}

// The column titles of a list of rows drawn besides the four tables.
const QStringList &bandTitles()
{
    static const QStringList titles = bandColumnTitles();
    return titles;
}

const QStringList &holeTitles()
{
    static const QStringList titles = holeColumnTitles();
    return titles;
}

// One data row of a table (or of the bands or holes), read the way every row is read: numbers
// through the numeric prefix, each of them finite, with messages that name the table, the row
// and the column.
class RowReader
{
public:
    RowReader(TableKind kind, int row, const QStringList &cells)
        : m_kind(kind), m_caption(tableInfo(kind).caption), m_titles(&tableInfo(kind).titles), m_row(row),
          m_cells(cells)
    {
    }
    RowReader(const char *caption, const QStringList &titles, int row, const QStringList &cells)
        : m_caption(caption), m_titles(&titles), m_row(row), m_cells(cells)
    {
    }

    QString place() const { return QStringLiteral("%1, row %2").arg(QLatin1String(m_caption)).arg(m_row); }
    [[noreturn]] void refuse(const QString &problem) const { fail(place(), problem); }

    QString text(int col) const { return m_cells.value(col); }
    const QStringList &cells() const { return m_cells; }

    // True when the row names a scale or lists values; otherwise it is divided as it always was.
    bool onScale() const
    {
        for (const char *title : {"Scale", "Values"}) {
            if (!m_cells.value(extraColumn(m_kind, QLatin1String(title))).trimmed().isEmpty())
                return true;
        }
        return false;
    }

    double number(int col) const
    {
        const QString cell = m_cells.value(col);
        const double value = numericPrefix(cell);
        if (!std::isfinite(value))
            fail(place(), title(col) + QLatin1Char(' ') + tooLarge(cell));
        return value;
    }

    // A division count: 0 when the row draws nothing.
    int divisions(int col) const
    {
        const double value = number(col);
        const double rounded = roundHalfToEven(value);
        if (rounded > kMaxDivisions)
            fail(place(), QStringLiteral("%1 %2 is too large (at most %3)")
                              .arg(title(col), formatNumber(value, QString()))
                              .arg(kMaxDivisions));
        return rounded > 0 ? static_cast<int>(rounded) : 0;
    }

    double fontPoints(int col) const
    {
        const double points = number(col);
        return points > 0 ? points : kDefaultFontPoints;
    }

    // The row's Width and Colour cells (those its table has) as a pen; a bad cell throws.
    DrawStyle style() const
    {
        DrawStyle style;
        QString problem;
        const int widthColumn = extraColumn(m_kind, QStringLiteral("Width"));
        if (widthColumn >= 0 && !parseWidthCell(m_cells.value(widthColumn), &style.widthMm, &problem))
            refuse(problem);
        QString colour;
        if (!parseColourCell(m_cells.value(extraColumn(m_kind, QStringLiteral("Colour"))), &colour, &problem))
            refuse(problem);
        if (!colour.isEmpty())
            style.colour = QColor(colour);
        return style;
    }

    // The row's Font cell as typed.
    QString font() const { return m_cells.value(extraColumn(m_kind, QStringLiteral("Font"))); }

    QString title(int col) const { return m_titles->value(col); }

private:
    TableKind m_kind = TableKind::ScaleArcs;
    const char *m_caption;
    const QStringList *m_titles;
    int m_row;
    const QStringList &m_cells;
};

// The layer, pen and face last asked of the surface. A call is made only on a change, so a design
// without styles makes the very calls it made before there were any; drawDial leaves the surface
// in the state it found it.
class SurfaceState
{
public:
    explicit SurfaceState(DrawingSurface &surface) : m_surface(surface) {}
    ~SurfaceState()
    {
        // Also on the way out of a failed drawing; a surface's own error wins over these.
        try {
            use(DrawLayer::Marks, DrawStyle());
            useFont(QString());
        } catch (...) {
        }
    }
    SurfaceState(const SurfaceState &) = delete;
    SurfaceState &operator=(const SurfaceState &) = delete;

    void use(DrawLayer layer, const DrawStyle &style)
    {
        if (layer != m_layer) {
            m_layer = layer;
            m_surface.setLayer(layer);
        }
        if (style != m_style) {
            m_style = style;
            m_surface.setStyle(style);
        }
    }

    // A Font cell: an installed family, or the default face (an empty name to the surface).
    void useFont(const QString &cell)
    {
        if (cell == m_fontCell)
            return;
        m_fontCell = cell;
        bool missing = false;
        const QString family = cell.trimmed().isEmpty() ? QString() : fontFamilyOrDefault(cell, &missing);
        const QString wanted = missing ? QString() : family;
        if (wanted != m_family) {
            m_family = wanted;
            m_surface.setFontFamily(wanted);
        }
    }

private:
    DrawingSurface &m_surface;
    DrawLayer m_layer = DrawLayer::Marks;
    DrawStyle m_style;
    QString m_fontCell;
    QString m_family;
};

// Walks rows from row 1, giving arithmetic and scale failures the row's place. `reader(r, cells)`
// makes the row's reader.
template <typename MakeReader, typename DrawRow>
void walkRows(const TableRows &rows, const char *caption, MakeReader reader, DrawRow drawRow)
{
    if (rows.size() > kMaxDataRows)
        fail(QLatin1String(caption),
             QStringLiteral("%1 rows are too many (at most %2)").arg(rows.size()).arg(kMaxDataRows));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const RowReader row = reader(r + 1, rows[r]);
        try {
            drawRow(row);
        } catch (const ArithmeticError &error) {
            fail(row.place(), continuing(error));
        } catch (const RowScaleError &error) {
            fail(row.place(), QString::fromStdString(error.what()));
        }
    }
}

template <typename DrawRow>
void walkTable(const DialDesign &design, TableKind kind, DrawRow drawRow)
{
    walkRows(design.table(kind), tableInfo(kind).caption,
             [kind](int r, const QStringList &cells) { return RowReader(kind, r, cells); }, drawRow);
}

void drawArcs(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface, SurfaceState &state)
{
    const ArcExtent extent = arcExtent(sweep);
    walkTable(design, TableKind::ScaleArcs, [&](const RowReader &row) {
        const double radius = row.number(0);
        const DrawStyle style = row.style();
        // Every fresh design holds an empty arc row: nothing to draw, and not an error.
        if (radius > 0 && extent.start != extent.end) {
            state.use(DrawLayer::Marks, style);
            surface.arc({sweep.pivotX, sweep.pivotY}, radius, extent.start, extent.end);
        }
    });
}

// Calls place(value, angle) for each reading of a row on a scale: its listed values, or the
// divisions of minimum .. maximum as a row without a scale divides them.
template <typename Place>
void placeReadings(const RowReader &row, const RowScale &scale, const NeedleSweep &sweep, double minimum,
                   double maximum, Place place)
{
    if (scale.hasList()) {
        for (const double value : scale.list())
            place(value, deflectionAngle(sweep, scale.deflectionOf(value)));
        return;
    }
    const int n = row.divisions(0);
    if (n <= 0)
        return;
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        throw RowScaleError("a scale that reaches inf needs a value list");
    const double range = checkedValue(maximum - minimum, "scale value");
    for (int i = 0; i <= n; ++i) {
        const double step = checkedValue(checkedValue(range * i, "scale value") / n, "scale value");
        const double value = checkedValue(minimum + step, "scale value");
        place(value, deflectionAngle(sweep, scale.deflectionOf(value)));
    }
}

// A digit's text centred on its point; an empty one is not passed to the surface.
void drawDigitText(DrawingSurface &surface, CardPoint centre, const QString &digit)
{
    const QString text = drawable(digit);
    if (text.isEmpty())
        return;
    const double halfWidth = checkedValue(surface.textWidth(text) / 2, "digit position");
    const double halfHeight = checkedValue(surface.textHeight(text) / 2, "digit position");
    surface.text({checkedValue(centre.x - halfWidth, "digit position"),
                  checkedValue(centre.y - halfHeight, "digit position")},
                 text);
}

// Texts take the row's colour and face.
void useTextStyle(SurfaceState &state, const RowReader &row)
{
    state.use(DrawLayer::Text, row.style());
    state.useFont(row.font());
}

void drawDigitsOnScale(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface,
                       SurfaceState &state, const RowReader &row)
{
    const double minimum = row.number(1);
    const double maximum = row.number(2);
    const QString pattern = row.text(3);
    const double radius = row.number(4);
    surface.setFontSize(row.fontPoints(5));
    useTextStyle(state, row);
    const RowScale scale(design, TableKind::ScaleDigits, row.cells(), minimum, maximum);
    placeReadings(row, scale, sweep, minimum, maximum, [&](double value, double angle) {
        const QString text = std::isinf(value) ? QString(value < 0 ? QStringLiteral("-\u221E") : QStringLiteral("\u221E"))
                                               : formatNumber(value, pattern);
        drawDigitText(surface, pointAt(sweep, angle, radius), text);
    });
}

void drawDigits(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface, SurfaceState &state)
{
    walkTable(design, TableKind::ScaleDigits, [&](const RowReader &row) {
        if (row.onScale()) {
            drawDigitsOnScale(design, sweep, surface, state, row);
            return;
        }
        const int n = row.divisions(0);
        const double minimum = row.number(1);
        const double maximum = row.number(2);
        const QString pattern = row.text(3);
        const double radius = row.number(4);
        surface.setFontSize(row.fontPoints(5));
        useTextStyle(state, row);
        if (n <= 0)
            return;
        const double range = checkedValue(maximum - minimum, "digit value");
        for (int i = 0; i <= n; ++i) {
            const double step = checkedValue(checkedValue(range * i, "digit value") / n, "digit value");
            const double value = checkedValue(minimum + step, "digit value");
            const QString text = formatNumber(value, pattern);
            drawDigitText(surface, pointAt(sweep, divisionAngle(sweep, i, n), radius), text);
        }
    });
}

void drawTickmarks(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface, SurfaceState &state)
{
    walkTable(design, TableKind::ScaleTickmarks, [&](const RowReader &row) {
        if (row.onScale()) {
            const double outer = row.number(1);
            const double inner = row.number(2);
            state.use(DrawLayer::Marks, row.style());
            // Without a scale, listed values are fractions of the sweep.
            const RowScale scale(design, TableKind::ScaleTickmarks, row.cells(), 0.0, 1.0);
            placeReadings(row, scale, sweep, scale.law().minimum(), scale.law().maximum(), [&](double, double angle) {
                const CardPoint from = pointAt(sweep, angle, inner);
                surface.line(from, pointAt(sweep, angle, outer));
            });
            return;
        }
        const int n = row.divisions(0);
        const double outer = row.number(1);
        const double inner = row.number(2);
        const DrawStyle style = row.style();
        if (n > 0)
            state.use(DrawLayer::Marks, style);
        for (int i = 0; n > 0 && i <= n; ++i) {
            const double angle = divisionAngle(sweep, i, n);
            const CardPoint from = pointAt(sweep, angle, inner);
            surface.line(from, pointAt(sweep, angle, outer));
        }
    });
}

void drawLabels(const DialDesign &design, DrawingSurface &surface, SurfaceState &state)
{
    walkTable(design, TableKind::FaceLabels, [&](const RowReader &row) {
        const double x = row.number(0);
        const double y = row.number(1);
        const QString text = drawable(row.text(2));
        surface.setFontSize(row.fontPoints(3));
        useTextStyle(state, row);
        if (!text.isEmpty())
            surface.text({x, y}, text);
    });
}

QString shown(double value)
{
    return formatNumber(value, QString());
}

// A radius or diameter: above 0.
double positive(const RowReader &row, int col)
{
    const double value = row.number(col);
    if (value <= 0)
        row.refuse(QStringLiteral("%1 %2 is not above 0").arg(row.title(col), shown(value)));
    return value;
}

// A band's From or To: a reading on its scale, or a fraction of the sweep without one; "inf"
// reaches the end of a scale that allows it.
double bandAngle(const RowReader &row, BandColumn column, const ScaleLaw &law, const QString &rangeName,
                 const NeedleSweep &sweep)
{
    const int col = static_cast<int>(column);
    const std::optional<double> value = parseListNumber(row.text(col));
    if (!value)
        row.refuse(QStringLiteral("%1 %2 is not a number").arg(row.title(col), quoted(row.text(col))));
    if (!law.contains(*value))
        row.refuse(QStringLiteral("%1 %2 is outside %3 (%4 to %5)")
                       .arg(row.title(col), shown(*value), rangeName, shown(law.minimum()), shown(law.maximum())));
    return deflectionAngle(sweep, checkedValue(law.deflection(*value), "deflection"));
}

void drawBands(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface, SurfaceState &state)
{
    const auto reader = [](int r, const QStringList &cells) { return RowReader("Bands", bandTitles(), r, cells); };
    walkRows(design.bands, "Bands", reader, [&](const RowReader &row) {
        const QString scaleText = row.text(static_cast<int>(BandColumn::Scale)).trimmed();
        const ScaleLaw law = scaleText.isEmpty() ? ScaleLaw() : namedScaleLaw(design, scaleText);
        const QString rangeName =
            scaleText.isEmpty() ? QStringLiteral("the sweep") : QStringLiteral("scale %1").arg(scaleText.toInt());
        const double from = bandAngle(row, BandColumn::From, law, rangeName, sweep);
        const double to = bandAngle(row, BandColumn::To, law, rangeName, sweep);

        const int innerColumn = static_cast<int>(BandColumn::InnerRadius);
        const int outerColumn = static_cast<int>(BandColumn::OuterRadius);
        const double inner = positive(row, innerColumn);
        const double outer = positive(row, outerColumn);
        if (inner >= outer)
            row.refuse(QStringLiteral("Inner Radius %1 is not below Outer Radius %2").arg(shown(inner), shown(outer)));

        const QString colourCell = row.text(static_cast<int>(BandColumn::Colour)).trimmed();
        const bool cut = colourCell.compare(QLatin1String("cut"), Qt::CaseInsensitive) == 0;
        DrawStyle style;
        if (!cut) {
            QString colour, problem;
            if (!parseColourCell(colourCell, &colour, &problem))
                row.refuse(problem);
            if (!colour.isEmpty())
                style.colour = QColor(colour);
        }
        // Equal ends are a band of no width: nothing to draw.
        if (from == to)
            return;
        state.use(cut ? DrawLayer::Cut : DrawLayer::Bands, style);
        surface.sector({sweep.pivotX, sweep.pivotY}, inner, outer, std::min(from, to), std::max(from, to), !cut);
    });
}

// Arms of a hole's centre cross: short enough to stay inside a small hole.
constexpr double kHoleCrossArmMm = 1.0;

void drawHoles(const DialDesign &design, DrawingSurface &surface, SurfaceState &state)
{
    const auto reader = [](int r, const QStringList &cells) { return RowReader("Holes", holeTitles(), r, cells); };
    walkRows(design.holes, "Holes", reader, [&](const RowReader &row) {
        const double x = row.number(static_cast<int>(HoleColumn::XPos));
        const double y = row.number(static_cast<int>(HoleColumn::YPos));
        const double radius = positive(row, static_cast<int>(HoleColumn::Diameter)) / 2;
        const double arm = std::min(kHoleCrossArmMm, radius / 3);
        state.use(DrawLayer::Cut, DrawStyle());
        surface.circle({x, y}, radius);
        surface.line({checkedValue(x - arm, "hole"), y}, {checkedValue(x + arm, "hole"), y});
        surface.line({x, checkedValue(y - arm, "hole")}, {x, checkedValue(y + arm, "hole")});
    });
}

} // namespace

void drawDial(const DialDesign &design, DrawingSurface &surface)
{
    const QString overBudget = drawBudgetProblem(design);
    if (!overBudget.isEmpty())
        throw DrawError(overBudget.toStdString());

    const double width = readDimension(design, Dimension::CardWidth);
    const double height = readDimension(design, Dimension::CardHeight);
    NeedleSweep sweep;
    sweep.pivotX = readDimension(design, Dimension::NeedlePivotX);
    sweep.pivotY = readDimension(design, Dimension::NeedlePivotY);
    const double zeroX = readDimension(design, Dimension::ZeroPosX);
    const double zeroY = readDimension(design, Dimension::ZeroPosY);
    sweep.zeroAngle = angleOfTip(sweep.pivotX, sweep.pivotY, zeroX, zeroY, "Zero position");
    const double maxX = readDimension(design, Dimension::MaxPosX);
    const double maxY = readDimension(design, Dimension::MaxPosY);
    sweep.maxAngle = angleOfTip(sweep.pivotX, sweep.pivotY, maxX, maxY, "Max position");
    sweep.span = sweep.maxAngle - sweep.zeroAngle; // both angles lie in [0, 2pi)

    SurfaceState state(surface);
    drawBands(design, sweep, surface, state);

    state.use(DrawLayer::Outline, DrawStyle());
    surface.box({0, 0}, {width, height});
    state.use(DrawLayer::Marks, DrawStyle());
    surface.line({sweep.pivotX - 1, sweep.pivotY}, {sweep.pivotX + 1, sweep.pivotY});
    surface.line({sweep.pivotX, sweep.pivotY - 1}, {sweep.pivotX, sweep.pivotY + 1});

    drawArcs(design, sweep, surface, state);
    drawDigits(design, sweep, surface, state);
    drawTickmarks(design, sweep, surface, state);
    drawLabels(design, surface, state);
    drawHoles(design, surface, state);
}

} // namespace vernalith
