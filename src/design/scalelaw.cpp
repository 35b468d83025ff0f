#include "scalelaw.h"

#include "dialdesign.h"
#include "valuelist.h"

#include <cmath>
#include <limits>
#include <optional>

namespace vernalith {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QString cellOf(const QStringList &row, ScaleColumn column)
{
    return row.value(static_cast<int>(column)).trimmed();
}

struct ParseFailure {
    QString message;
};

double requiredNumber(const QStringList &row, ScaleColumn column, const QString &lawName)
{
    const QString text = cellOf(row, column);
    const QString title = scaleColumnTitles().value(static_cast<int>(column));
    if (text.isEmpty())
        throw ParseFailure{QStringLiteral("%1 needs a %2").arg(lawName, title)};
    const double value = parseListNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
    if (std::isnan(value))
        throw ParseFailure{QStringLiteral("%1 \"%2\" is not a number").arg(title, text)};
    return value;
}

void require(bool condition, const QString &message)
{
    if (!condition)
        throw ParseFailure{message};
}

// "v=d; v=d; ..." into the two lists.
void parsePoints(const QString &text, QVector<double> &values, QVector<double> &deflections)
{
    const QStringList pieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        if (piece.trimmed().isEmpty())
            continue;
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double v = eq < 0 ? nan : parseListNumber(QStringView(piece).left(eq)).value_or(nan);
        const double d = eq < 0 ? nan : parseListNumber(QStringView(piece).mid(eq + 1)).value_or(nan);
        require(std::isfinite(v) && std::isfinite(d),
                QStringLiteral("the point \"%1\" is not of the form value=deflection").arg(piece.trimmed()));
        require(d >= 0 && d <= 1,
                QStringLiteral("the point \"%1\" needs a deflection from 0 to 1").arg(piece.trimmed()));
        values.append(v);
        deflections.append(d);
    }
    require(values.size() >= 2, QStringLiteral("table needs at least 2 Points (value=deflection; ...)"));
    const bool rising = values[1] > values[0];
    for (qsizetype k = 1; k < values.size(); ++k) {
        require(rising ? values[k] > values[k - 1] : values[k] < values[k - 1],
                QStringLiteral("table needs Points whose values strictly increase or strictly decrease"));
    }
}

double interpolate(double x, double x0, double x1, double y0, double y1)
{
    if (x1 == x0)
        return y0;
    return y0 + (y1 - y0) * ((x - x0) / (x1 - x0));
}

} // namespace

QStringList scaleLawNames()
{
    return {QStringLiteral("linear"), QStringLiteral("log"),  QStringLiteral("power"), QStringLiteral("db"),
            QStringLiteral("ohms"),   QStringLiteral("swr"),  QStringLiteral("table")};
}

ScaleLaw ScaleLaw::linear(double minimum, double maximum)
{
    ScaleLaw law;
    law.m_min = minimum;
    law.m_max = maximum;
    return law;
}

ScaleLaw ScaleLaw::parse(const QStringList &scaleRow, QString *error)
{
    if (error)
        error->clear();
    ScaleLaw law;
    try {
        const QString name = cellOf(scaleRow, ScaleColumn::Law).toLower();
        require(!name.isEmpty(), QStringLiteral("the scale has no law (one of %1)")
                                     .arg(scaleLawNames().join(QStringLiteral(", "))));
        const qsizetype kind = scaleLawNames().indexOf(name);
        require(kind >= 0, QStringLiteral("\"%1\" is not a law (one of %2)")
                               .arg(cellOf(scaleRow, ScaleColumn::Law), scaleLawNames().join(QStringLiteral(", "))));
        law.m_kind = static_cast<ScaleLawKind>(kind);

        if (law.m_kind == ScaleLawKind::Table) {
            parsePoints(cellOf(scaleRow, ScaleColumn::Points), law.m_pointValues, law.m_pointDeflections);
            const double first = law.m_pointValues.first();
            const double last = law.m_pointValues.last();
            law.m_min = first;
            law.m_max = last;
            const double low = std::min(first, last);
            const double high = std::max(first, last);
            for (ScaleColumn column : {ScaleColumn::Min, ScaleColumn::Max}) {
                if (cellOf(scaleRow, column).isEmpty())
                    continue;
                const double value = requiredNumber(scaleRow, column, name);
                require(value >= low && value <= high,
                        QStringLiteral("table needs Min and Max within its Points"));
                (column == ScaleColumn::Min ? law.m_min : law.m_max) = value;
            }
            require(law.m_min != law.m_max, QStringLiteral("table needs Min and Max to differ"));
        } else {
            law.m_min = requiredNumber(scaleRow, ScaleColumn::Min, name);
            law.m_max = requiredNumber(scaleRow, ScaleColumn::Max, name);
            const bool infiniteMaxAllowed = law.m_kind == ScaleLawKind::Ohms || law.m_kind == ScaleLawKind::Swr;
            require(std::isfinite(law.m_min), QStringLiteral("%1 needs a finite Min").arg(name));
            require(std::isfinite(law.m_max) || (infiniteMaxAllowed && law.m_max == kInf),
                    infiniteMaxAllowed ? QStringLiteral("%1 needs a Max that is a number or inf").arg(name)
                                       : QStringLiteral("%1 needs a finite Max").arg(name));
            require(law.m_min != law.m_max, QStringLiteral("%1 needs Min and Max to differ").arg(name));
            switch (law.m_kind) {
            case ScaleLawKind::Linear:
                require(std::isfinite(law.m_max - law.m_min),
                        QStringLiteral("linear needs Min and Max nearer to each other"));
                break;
            case ScaleLawKind::Log:
                require(law.m_min > 0 && law.m_max > 0, QStringLiteral("log needs Min and Max above 0"));
                break;
            case ScaleLawKind::Power:
                require(std::isfinite(law.m_max - law.m_min),
                        QStringLiteral("power needs Min and Max nearer to each other"));
                law.m_parameter = requiredNumber(scaleRow, ScaleColumn::Parameter, name);
                require(law.m_parameter > 0 && std::isfinite(law.m_parameter),
                        QStringLiteral("power needs a Parameter (the exponent) above 0"));
                break;
            case ScaleLawKind::Db:
                require(law.m_min < law.m_max, QStringLiteral("db needs Min below Max"));
                break;
            case ScaleLawKind::Ohms:
                require(law.m_min >= 0 && law.m_max >= 0, QStringLiteral("ohms needs Min and Max of 0 or above"));
                law.m_parameter = requiredNumber(scaleRow, ScaleColumn::Parameter, name);
                require(law.m_parameter > 0 && std::isfinite(law.m_parameter),
                        QStringLiteral("ohms needs a Parameter (the mid-scale reading) above 0"));
                break;
            case ScaleLawKind::Swr:
                require(law.m_min >= 1 && law.m_max >= 1, QStringLiteral("swr needs Min and Max of 1 or above"));
                break;
            case ScaleLawKind::Table:
                break;
            }
        }
    } catch (const ParseFailure &failure) {
        if (error)
            *error = failure.message;
        return ScaleLaw();
    }
    return law;
}

bool ScaleLaw::contains(double v) const
{
    if (std::isnan(v))
        return false;
    const double low = std::min(m_min, m_max);
    const double high = std::max(m_min, m_max);
    if (std::isinf(v))
        return v == high && v == kInf;
    const double slack = std::isfinite(high - low) ? 1e-9 * (high - low) : 0.0;
    return v >= low - slack && v <= high + slack;
}

double ScaleLaw::deflection(double v) const
{
    switch (m_kind) {
    case ScaleLawKind::Linear:
        return (v - m_min) / (m_max - m_min);
    case ScaleLawKind::Log:
        return std::log(v / m_min) / std::log(m_max / m_min);
    case ScaleLawKind::Power: {
        // Rounding may put a listed end a hair outside the range; the power of a negative base
        // would be undefined there, so it is read as the end itself.
        const double fraction = (v - m_min) / (m_max - m_min);
        return std::pow(std::max(fraction, 0.0), m_parameter);
    }
    case ScaleLawKind::Db:
        return std::pow(10.0, (v - m_max) / 20.0);
    case ScaleLawKind::Ohms:
        return std::isinf(v) ? 0.0 : m_parameter / (m_parameter + v);
    case ScaleLawKind::Swr:
        return std::isinf(v) ? 1.0 : (v - 1.0) / (v + 1.0);
    case ScaleLawKind::Table: {
        const QVector<double> &xs = m_pointValues;
        const bool rising = xs.last() > xs.first();
        // The segment holding v; values beyond an end use the end segment.
        qsizetype k = 1;
        while (k < xs.size() - 1 && (rising ? v > xs[k] : v < xs[k]))
            ++k;
        return interpolate(v, xs[k - 1], xs[k], m_pointDeflections[k - 1], m_pointDeflections[k]);
    }
    }
    return 0;
}

double ScaleLaw::valueAt(double d) const
{
    switch (m_kind) {
    case ScaleLawKind::Linear:
        return m_min + d * (m_max - m_min);
    case ScaleLawKind::Log:
        return m_min * std::pow(m_max / m_min, d);
    case ScaleLawKind::Power:
        return m_min + std::pow(std::max(d, 0.0), 1.0 / m_parameter) * (m_max - m_min);
    case ScaleLawKind::Db:
        return m_max + 20.0 * std::log10(d);
    case ScaleLawKind::Ohms:
        return d <= 0 ? kInf : m_parameter * (1.0 - d) / d;
    case ScaleLawKind::Swr:
        return d >= 1 ? kInf : (1.0 + d) / (1.0 - d);
    case ScaleLawKind::Table: {
        const QVector<double> &ds = m_pointDeflections;
        for (qsizetype k = 1; k < ds.size(); ++k) {
            const double low = std::min(ds[k - 1], ds[k]);
            const double high = std::max(ds[k - 1], ds[k]);
            if (d >= low && d <= high)
                return interpolate(d, ds[k - 1], ds[k], m_pointValues[k - 1], m_pointValues[k]);
        }
        // Past the calibrated deflections: the reading at the nearer end.
        const bool nearerFirst = std::fabs(d - ds.first()) <= std::fabs(d - ds.last());
        return nearerFirst ? m_pointValues.first() : m_pointValues.last();
    }
    }
    return 0;
}

} // namespace vernalith
