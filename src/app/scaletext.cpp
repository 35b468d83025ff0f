#include "scaletext.h"

#include "design/scalereferences.h"
#include "design/tablekind.h"

namespace vernalith {

namespace {

QString cellAt(const QStringList &row, int col)
{
    return col >= 0 && col < row.size() ? row.at(col) : QString();
}

} // namespace

QString scaleCaption(int number, const QStringList &scaleRow)
{
    const QString law = cellAt(scaleRow, 0).trimmed();
    const QString minimum = cellAt(scaleRow, 1).trimmed();
    const QString maximum = cellAt(scaleRow, 2).trimmed();
    return QStringLiteral("%1: %2, %3 \u2026 %4")
        .arg(number)
        .arg(law.isEmpty() ? QStringLiteral("(no law)") : law, minimum, maximum);
}

QString rowPropertiesSummary(TableKind kind, const QStringList &row, const TableRows &scales)
{
    QStringList lines;
    const QString scale = cellAt(row, extraColumn(kind, QStringLiteral("Scale"))).trimmed();
    if (!scale.isEmpty()) {
        const int number = scaleNumber(scale, static_cast<int>(scales.size()));
        lines << (number > 0 ? QStringLiteral("Scale ") + scaleCaption(number, scales.at(number - 1))
                             : QStringLiteral("Scale %1: no such scale").arg(scale));
    }
    const QString values = cellAt(row, extraColumn(kind, QStringLiteral("Values"))).trimmed();
    if (!values.isEmpty())
        lines << QStringLiteral("Values: ") + values;
    for (const QString &title : {QStringLiteral("Width"), QStringLiteral("Colour"), QStringLiteral("Font")}) {
        const QString style = cellAt(row, extraColumn(kind, title)).trimmed();
        if (!style.isEmpty())
            lines << QStringLiteral("%1: %2%3").arg(title, style,
                                                   title == QLatin1String("Width") ? QStringLiteral(" mm") : QString());
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace vernalith
