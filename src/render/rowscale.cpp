#include "rowscale.h"

#include "arithmeticerror.h"
#include "design/valuelist.h"
#include "numberformat.h"

#include <cmath>

namespace vernalith {

namespace {

[[noreturn]] void refuse(const QString &problem)
{
    throw RowScaleError(problem.toStdString());
}

QString shown(double v)
{
    return formatNumber(v, QString());
}

} // namespace

RowScale::RowScale(const DialDesign &design, TableKind kind, const QStringList &cells, double implicitMinimum,
                   double implicitMaximum)
{
    const int scaleColumn = extraColumn(kind, QStringLiteral("Scale"));
    const int valuesColumn = extraColumn(kind, QStringLiteral("Values"));
    const QString scaleText = cells.value(scaleColumn).trimmed();
    const QString valuesText = cells.value(valuesColumn);
    m_hasList = !valuesText.trimmed().isEmpty();
    m_active = !scaleText.isEmpty() || m_hasList;
    if (!m_active)
        return;

    if (!scaleText.isEmpty()) {
        m_law = namedScaleLaw(design, scaleText);
        m_rangeName = QStringLiteral("scale %1").arg(scaleText.toInt());
    } else {
        if (!(implicitMinimum != implicitMaximum) || !std::isfinite(implicitMaximum - implicitMinimum))
            refuse(QStringLiteral("a value list without a scale needs Min Val and Max Val to differ"));
        m_law = ScaleLaw::linear(implicitMinimum, implicitMaximum);
        m_rangeName = QStringLiteral("the row's range");
    }

    if (m_hasList) {
        QString error;
        m_list = parseValueList(valuesText, &error);
        if (!error.isEmpty())
            refuse(QStringLiteral("Values: %1").arg(error));
    }
}

double RowScale::deflectionOf(double v) const
{
    if (!m_law.contains(v))
        refuse(QStringLiteral("the value %1 is outside %2 (%3 to %4)")
                   .arg(shown(v), m_rangeName, shown(m_law.minimum()), shown(m_law.maximum())));
    return checkedValue(m_law.deflection(v), "deflection");
}

ScaleLaw namedScaleLaw(const DialDesign &design, const QString &scaleText)
{
    bool ok = false;
    const int number = scaleText.toInt(&ok);
    const qsizetype count = design.scales.size();
    if (!ok || number < 1 || number > count)
        refuse(count == 0 ? QStringLiteral("scale %1 does not exist (the design has no scales)").arg(scaleText)
                          : QStringLiteral("scale %1 does not exist (the design has %2 scale%3)")
                                .arg(scaleText)
                                .arg(count)
                                .arg(count == 1 ? QString() : QStringLiteral("s")));
    QString error;
    ScaleLaw law = ScaleLaw::parse(design.scales[number - 1], &error);
    if (!error.isEmpty())
        refuse(QStringLiteral("scale %1: %2").arg(number).arg(error));
    return law;
}

double deflectionAngle(const NeedleSweep &sweep, double d)
{
    return checkedValue(checkedValue(d * sweep.span, "needle angle") + sweep.zeroAngle, "needle angle");
}

} // namespace vernalith
