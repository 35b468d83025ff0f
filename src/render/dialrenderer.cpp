#include "dialrenderer.h"

#include "arithmeticerror.h"
#include "design/numericprefix.h"
#include "drawbudget.h"
#include "needlegeometry.h"
#include "numberformat.h"
#include "rowscale.h"

#include <cmath>

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

// One data row of a table, read the way every row is read: numbers through the numeric prefix,
// each of them finite, with messages that name the table, the row and the column.
class RowReader
{
public:
    RowReader(TableKind kind, int row, const QStringList &cells) : m_kind(kind), m_row(row), m_cells(cells) {}

    QString place() const
    {
        return QStringLiteral("%1, row %2").arg(QLatin1String(tableInfo(m_kind).caption)).arg(m_row);
    }

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

private:
    QString title(int col) const { return tableInfo(m_kind).titles.value(col); }

    TableKind m_kind;
    int m_row;
    const QStringList &m_cells;
};

// Walks the data rows of one table from row 1, giving arithmetic failures the row's place.
template <typename DrawRow>
void walkTable(const DialDesign &design, TableKind kind, DrawRow drawRow)
{
    const TableRows &rows = design.table(kind);
    if (rows.size() > kMaxDataRows)
        fail(QLatin1String(tableInfo(kind).caption),
             QStringLiteral("%1 rows are too many (at most %2)").arg(rows.size()).arg(kMaxDataRows));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const RowReader row(kind, r + 1, rows[r]);
        try {
            drawRow(row);
        } catch (const ArithmeticError &error) {
            fail(row.place(), continuing(error));
        } catch (const RowScaleError &error) {
            fail(row.place(), QString::fromStdString(error.what()));
        }
    }
}

void drawArcs(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface)
{
    const ArcExtent extent = arcExtent(sweep);
    walkTable(design, TableKind::ScaleArcs, [&](const RowReader &row) {
        const double radius = row.number(0);
        // Every fresh design holds an empty arc row: nothing to draw, and not an error.
        if (radius > 0 && extent.start != extent.end)
            surface.arc({sweep.pivotX, sweep.pivotY}, radius, extent.start, extent.end);
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

void drawDigitsOnScale(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface,
                       const RowReader &row)
{
    const double minimum = row.number(1);
    const double maximum = row.number(2);
    const QString pattern = row.text(3);
    const double radius = row.number(4);
    surface.setFontSize(row.fontPoints(5));
    const RowScale scale(design, TableKind::ScaleDigits, row.cells(), minimum, maximum);
    placeReadings(row, scale, sweep, minimum, maximum, [&](double value, double angle) {
        const QString text = std::isinf(value) ? QString(value < 0 ? QStringLiteral("-\u221E") : QStringLiteral("\u221E"))
                                               : formatNumber(value, pattern);
        drawDigitText(surface, pointAt(sweep, angle, radius), text);
    });
}

void drawDigits(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface)
{
    walkTable(design, TableKind::ScaleDigits, [&](const RowReader &row) {
        if (row.onScale()) {
            drawDigitsOnScale(design, sweep, surface, row);
            return;
        }
        const int n = row.divisions(0);
        const double minimum = row.number(1);
        const double maximum = row.number(2);
        const QString pattern = row.text(3);
        const double radius = row.number(4);
        surface.setFontSize(row.fontPoints(5));
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

void drawTickmarks(const DialDesign &design, const NeedleSweep &sweep, DrawingSurface &surface)
{
    walkTable(design, TableKind::ScaleTickmarks, [&](const RowReader &row) {
        if (row.onScale()) {
            const double outer = row.number(1);
            const double inner = row.number(2);
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
        for (int i = 0; n > 0 && i <= n; ++i) {
            const double angle = divisionAngle(sweep, i, n);
            const CardPoint from = pointAt(sweep, angle, inner);
            surface.line(from, pointAt(sweep, angle, outer));
        }
    });
}

void drawLabels(const DialDesign &design, DrawingSurface &surface)
{
    walkTable(design, TableKind::FaceLabels, [&](const RowReader &row) {
        const double x = row.number(0);
        const double y = row.number(1);
        const QString text = drawable(row.text(2));
        surface.setFontSize(row.fontPoints(3));
        if (!text.isEmpty())
            surface.text({x, y}, text);
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

    surface.box({0, 0}, {width, height});
    surface.line({sweep.pivotX - 1, sweep.pivotY}, {sweep.pivotX + 1, sweep.pivotY});
    surface.line({sweep.pivotX, sweep.pivotY - 1}, {sweep.pivotX, sweep.pivotY + 1});

    drawArcs(design, sweep, surface);
    drawDigits(design, sweep, surface);
    drawTickmarks(design, sweep, surface);
    drawLabels(design, surface);
}

} // namespace vernalith
