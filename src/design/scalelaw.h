#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace vernalith {

// How a scale maps a reading to the needle's deflection.
enum class ScaleLawKind { Linear, Log, Power, Db, Ohms, Swr, Table };

// The words a scale row names its law by, in ScaleLawKind order: "linear", "log", "power", "db",
// "ohms", "swr", "table".
QStringList scaleLawNames();

// One scale row, parsed. The deflection d(v) is the needle's position for reading v as a
// fraction of full deflection: 0 at the zero tip, 1 at the max tip.
//
//   linear  (v - Min) / (Max - Min)                   Min != Max
//   log     ln(v / Min) / ln(Max / Min)               Min, Max > 0, Min != Max
//   power   ((v - Min) / (Max - Min))^p               Min != Max, Parameter p > 0
//   db      10^((v - Max) / 20)                       Min < Max (Max: the reading at full deflection)
//   ohms    K / (K + v); inf gives 0                  Min, Max >= 0, Min != Max, Parameter K > 0;
//                                                     Max may be inf
//   swr     (v - 1) / (v + 1); inf gives 1            Min, Max >= 1, Min != Max; Max may be inf
//   table   piecewise linear through Points           >= 2 points "v=d; v=d; ...", values strictly
//                                                     increasing or decreasing, 0 <= d <= 1
//
// Min, Max and Parameter are numbers in the C locale (parseListNumber). A table scale's range is
// the span of its points; its Min and Max cells may be empty, and if given must lie in that span.
// Cells a law does not use are ignored.
class ScaleLaw
{
public:
    // A linear law over 0 .. 1.
    ScaleLaw() = default;
    // A linear law over minimum .. maximum (which must differ and be finite).
    static ScaleLaw linear(double minimum, double maximum);

    // Parses a scale row (Law, Min, Max, Parameter, Points; missing cells read as empty). On a
    // broken requirement it returns a linear 0 .. 1 law and sets *error to a sentence for a
    // person ("log needs Min and Max above 0"); otherwise *error is emptied. `error` may be null.
    static ScaleLaw parse(const QStringList &scaleRow, QString *error);

    ScaleLawKind kind() const { return m_kind; }
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double parameter() const { return m_parameter; }

    // True when v lies in the range (either end may be the larger; inf only where the law
    // allows it as Max). A value within 1e-9 of the range's width past an end still counts, so
    // list values computed by stepping are not refused for rounding noise.
    bool contains(double v) const;
    // d(v) for a v that contains() accepts; the law's formula elsewhere (possibly not finite).
    double deflection(double v) const;
    // The reading at deflection d: the inverse of deflection() over the range. A d that no value
    // of the range reaches gives the nearest end's reading for the table law and the formula's
    // extension for the others (possibly not finite).
    double valueAt(double deflection) const;

private:
    ScaleLawKind m_kind = ScaleLawKind::Linear;
    double m_min = 0;
    double m_max = 1;
    double m_parameter = 0;
    QVector<double> m_pointValues; // table law, in the order written
    QVector<double> m_pointDeflections;
};

} // namespace vernalith
