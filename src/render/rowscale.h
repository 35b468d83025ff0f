#pragma once

#include "design/dialdesign.h"
#include "design/scalelaw.h"
#include "needlegeometry.h"

#include <QVector>

#include <stdexcept>

namespace vernalith {

// A row's Scale or Values cell that cannot be drawn. what() continues a "table, row N: " prefix,
// e.g. "scale 3 does not exist (the design has 2 scales)".
class RowScaleError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// How a tickmarks or digits row places its readings when it names a scale ("Scale" cell) or
// lists values ("Values" cell). A row with neither is inactive and is divided as it always was.
//
// The readings are the listed values, or without a list the divisions of the range (the row's
// to make). The law is the named scale's, or without a scale a linear one over
// `implicitMinimum` .. `implicitMaximum` (0 .. 1 for tickmarks, Min Val .. Max Val for digits).
class RowScale
{
public:
    // Reads the cells; throws RowScaleError for a scale number that does not exist, a scale whose
    // law's requirements are broken, a list that does not parse (or holds over 32767 values),
    // and a linear range of no width.
    RowScale(const DialDesign &design, TableKind kind, const QStringList &cells, double implicitMinimum,
             double implicitMaximum);

    bool active() const { return m_active; }
    bool hasList() const { return m_hasList; }
    const QVector<double> &list() const { return m_list; }
    const ScaleLaw &law() const { return m_law; }

    // The deflection of reading v; throws RowScaleError when v lies outside the law's range and
    // ArithmeticError when the result is not finite.
    double deflectionOf(double v) const;

private:
    bool m_active = false;
    bool m_hasList = false;
    QVector<double> m_list;
    ScaleLaw m_law;
    QString m_rangeName; // "scale 2" or "the row's range", for messages
};

// The law of scale `scaleText` (a 1-based number in the design's scales); throws RowScaleError
// when no such scale exists or its law's requirements are broken.
ScaleLaw namedScaleLaw(const DialDesign &design, const QString &scaleText);

// The needle's angle at deflection d: the division formula for the fraction d, so d = k/n lands
// where division k of n does.
double deflectionAngle(const NeedleSweep &sweep, double d);

} // namespace vernalith
