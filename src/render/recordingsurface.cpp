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

void RecordingSurface::clear()
{
    Operation op;
    op.kind = Kind::Clear;
    m_operations.append(op);
}

void RecordingSurface::line(CardPoint from, CardPoint to)
{
    Operation op;
    op.kind = Kind::Line;
    op.from = from;
    op.to = to;
    m_operations.append(op);
}

void RecordingSurface::box(CardPoint corner1, CardPoint corner2)
{
    Operation op;
    op.kind = Kind::Box;
    op.from = corner1;
    op.to = corner2;
    m_operations.append(op);
}

void RecordingSurface::arc(CardPoint centre, double radius, double startAngle, double endAngle)
{
    Operation op;
    op.kind = Kind::Arc;
    op.from = centre;
    op.radius = radius;
    op.startAngle = startAngle;
    op.endAngle = endAngle;
    m_operations.append(op);
}

void RecordingSurface::setFontSize(double points)
{
    m_points = points;
    Operation op;
    op.kind = Kind::FontSize;
    op.points = points;
    m_operations.append(op);
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
    Operation op;
    op.kind = Kind::Text;
    op.from = topLeft;
    op.points = m_points;
    op.text = text;
    m_operations.append(op);
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
