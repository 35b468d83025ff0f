#include "recordingsurface.h"

#include <QStringList>

namespace vernalith {

namespace {

QString fixed(double value)
{
    QString text = QString::number(value, 'f', 4);
    if (text == QLatin1String("-0.0000"))
        text.remove(0, 1);
    return text;
}

QString point(CardPoint p)
{
    return QStringLiteral("(%1, %2)").arg(fixed(p.x), fixed(p.y));
}

} // namespace

RecordingSurface::Operation &RecordingSurface::record(Kind kind)
{
    Operation op;
    op.kind = kind;
    op.layer = m_layer;
    op.style = m_style;
    m_operations.append(op);
    return m_operations.last();
}

void RecordingSurface::clear()
{
    record(Kind::Clear);
}

void RecordingSurface::line(CardPoint from, CardPoint to)
{
    Operation &op = record(Kind::Line);
    op.from = from;
    op.to = to;
}

void RecordingSurface::box(CardPoint corner1, CardPoint corner2)
{
    Operation &op = record(Kind::Box);
    op.from = corner1;
    op.to = corner2;
}

void RecordingSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    Operation &op = record(Kind::Arc);
    op.from = centre;
    op.radius = radius;
    op.startAngle = startAngle;
    op.endAngle = endAngle;
}

void RecordingSurface::sector(CardPoint centre, double inner, double outer, double startAngle, double endAngle,
                              bool filled)
{
    Operation &op = record(Kind::Sector);
    op.from = centre;
    op.innerRadius = inner;
    op.radius = outer;
    op.startAngle = startAngle;
    op.endAngle = endAngle;
    op.filled = filled;
}

void RecordingSurface::circle(CardPoint centre, double radius)
{
    Operation &op = record(Kind::Circle);
    op.from = centre;
    op.radius = radius;
}

void RecordingSurface::setFontSize(double points)
{
    m_points = points;
    record(Kind::FontSize).points = points;
}

double RecordingSurface::textWidth(const QString &text)
{
    return 0.6 * emMillimetres(m_points) * static_cast<double>(text.size());
}

double RecordingSurface::textHeight(const QString &)
{
    return 1.2 * emMillimetres(m_points);
}

void RecordingSurface::text(CardPoint topLeft, const QString &text)
{
    Operation &op = record(Kind::Text);
    op.from = topLeft;
    op.points = m_points;
    op.text = text;
    op.fontFamily = m_family;
}

QVector<RecordingSurface::Operation> RecordingSurface::operations(Kind kind) const
{
    QVector<Operation> result;
    for (const Operation &op : m_operations) {
        if (op.kind == kind)
            result.append(op);
    }
    return result;
}

QVector<RecordingSurface::Operation> RecordingSurface::drawn() const
{
    QVector<Operation> result;
    for (const Operation &op : m_operations) {
        if (op.kind != Kind::FontSize)
            result.append(op);
    }
    return result;
}

QString RecordingSurface::describe(const Operation &operation)
{
    QString styled;
    if (operation.style.colour != DrawStyle().colour)
        styled += QStringLiteral(" colour ") + operation.style.colour.name(QColor::HexRgb).toUpper();
    if (operation.style.widthMm != 0)
        styled += QStringLiteral(" width ") + fixed(operation.style.widthMm);
    if (!operation.fontFamily.isEmpty())
        styled += QStringLiteral(" in \"%1\"").arg(operation.fontFamily);
    return describeShape(operation) + styled;
}

QString RecordingSurface::describeShape(const Operation &operation)
{
    switch (operation.kind) {
    case Kind::Clear:
        return QStringLiteral("clear");
    case Kind::Line:
        return QStringLiteral("line %1-%2").arg(point(operation.from), point(operation.to));
    case Kind::Box:
        return QStringLiteral("box %1-%2").arg(point(operation.from), point(operation.to));
    case Kind::Arc:
        return QStringLiteral("arc %1 r %2 from %3 to %4")
            .arg(point(operation.from), fixed(operation.radius), fixed(operation.startAngle),
                 fixed(operation.endAngle));
    case Kind::FontSize:
        return QStringLiteral("font %1").arg(fixed(operation.points));
    case Kind::Text:
        return QStringLiteral("text %1 %2 \"%3\"").arg(point(operation.from), fixed(operation.points), operation.text);
    case Kind::Sector:
        return QStringLiteral("sector %1 r %2-%3 from %4 to %5 %6")
            .arg(point(operation.from), fixed(operation.innerRadius), fixed(operation.radius),
                 fixed(operation.startAngle), fixed(operation.endAngle),
                 operation.filled ? QStringLiteral("filled") : QStringLiteral("cut"));
    case Kind::Circle:
        return QStringLiteral("circle %1 r %2").arg(point(operation.from), fixed(operation.radius));
    }
    return QString();
}

QStringList RecordingSurface::describe(const QVector<Operation> &operations)
{
    QStringList lines;
    lines.reserve(operations.size());
    for (const Operation &op : operations)
        lines.append(describe(op));
    return lines;
}

} // namespace vernalith
