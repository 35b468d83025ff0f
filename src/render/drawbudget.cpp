#include "drawbudget.h"

#include "design/numericprefix.h"
#include "design/valuelist.h"
#include "dialrenderer.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace vernalith {

namespace {

// The drawing rounds division counts half to even, as the default rounding mode does.
qint64 divisionItems(const QString &cell)
{
    const double value = std::nearbyint(numericPrefix(cell));
    if (!std::isfinite(value) || value <= 0 || value > kMaxDivisions)
        return 0;
    return static_cast<qint64>(value) + 1;
}

// The text cell of a row whose length is limited, or -1.
int textColumn(TableKind kind)
{
    switch (kind) {
    case TableKind::ScaleDigits:
        return 3; // the number pattern: a digit's text is the pattern's literals plus the digits
    case TableKind::FaceLabels:
        return 2;
    case TableKind::ScaleArcs:
    case TableKind::ScaleTickmarks:
        break;
    }
    return -1;
}

} // namespace

qint64 rowDrawItems(TableKind kind, const QStringList &cells)
{
    switch (kind) {
    case TableKind::ScaleArcs:
        return numericPrefix(cells.value(0)) > 0 ? 1 : 0;
    case TableKind::ScaleTickmarks:
    case TableKind::ScaleDigits: {
        // A value list replaces the divisions; one that does not parse draws nothing.
        const QString values = cells.value(extraColumn(kind, QStringLiteral("Values")));
        if (!values.trimmed().isEmpty())
            return parseValueList(values, nullptr).size();
        return divisionItems(cells.value(0));
    }
    case TableKind::FaceLabels:
        return cells.value(2).isEmpty() ? 0 : 1;
    }
    return 0;
}

qint64 rowTextCharacters(TableKind kind, const QStringList &cells)
{
    switch (kind) {
    case TableKind::ScaleDigits: {
        const qint64 texts = rowDrawItems(kind, cells);
        if (texts == 0)
            return 0;
        // A value's whole digits come on top of the pattern's own characters; without a
        // pattern a value is written in at most about twenty.
        double largest = 1;
        const auto consider = [&largest](double value) {
            if (std::isfinite(value))
                largest = std::max(largest, std::fabs(value));
        };
        for (int column : {1, 2})
            consider(numericPrefix(cells.value(column)));
        for (double value : parseValueList(cells.value(extraColumn(kind, QStringLiteral("Values"))), nullptr))
            consider(value);
        const qint64 wholeDigits = static_cast<qint64>(std::floor(std::log10(largest))) + 1;
        const qint64 pattern = cells.value(3).size();
        return texts * (pattern > 0 ? pattern + wholeDigits : 24);
    }
    case TableKind::FaceLabels:
        return cells.value(2).size();
    case TableKind::ScaleArcs:
    case TableKind::ScaleTickmarks:
        break;
    }
    return 0;
}

qint64 countTextCharacters(const DialDesign &design)
{
    qint64 count = 0;
    for (TableKind kind : kAllTables) {
        for (const QStringList &cells : design.table(kind))
            count += rowTextCharacters(kind, cells);
    }
    return count;
}

qint64 countDrawItems(const DialDesign &design)
{
    qint64 count = 3; // the outline and the two strokes of the pivot cross
    for (TableKind kind : kAllTables) {
        for (const QStringList &cells : design.table(kind))
            count += rowDrawItems(kind, cells);
    }
    // A band is one sector; a hole a circle and the two strokes of its cross.
    return count + design.bands.size() + 3 * design.holes.size();
}

QString drawBudgetProblem(const DialDesign &design)
{
    for (TableKind kind : kAllTables) {
        const int column = textColumn(kind);
        if (column < 0)
            continue;
        const TableRows &rows = design.table(kind);
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            const qsizetype length = rows[r].value(column).size();
            if (length > kMaxTextLength)
                return QStringLiteral("%1, row %2: %3 is %4 characters long (at most %5)")
                    .arg(QLatin1String(tableInfo(kind).caption))
                    .arg(r + 1)
                    .arg(tableInfo(kind).titles.value(column))
                    .arg(length)
                    .arg(kMaxTextLength);
        }
    }
    const qint64 count = countDrawItems(design);
    if (count > kDrawItemBudget) {
        const QLocale english(QLocale::English);
        return QStringLiteral("The card would draw %1 lines, arcs and texts, more than the %2 that can be drawn")
            .arg(english.toString(count), english.toString(kDrawItemBudget));
    }
    const qint64 characters = countTextCharacters(design);
    if (characters > kDrawTextBudget) {
        const QLocale english(QLocale::English);
        return QStringLiteral("The card's texts would come to about %1 characters, more than the %2 that can be drawn")
            .arg(english.toString(characters), english.toString(kDrawTextBudget));
    }
    return QString();
}

} // namespace vernalith
