#include "referenceregistration.h"

#include "design/numericprefix.h"

#include <cmath>

namespace vernalith {

namespace {

bool finitePoint(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

double squaredLength(QPointF p)
{
    return p.x() * p.x() + p.y() * p.y();
}

ReferenceRegistration failed(const QString &error)
{
    ReferenceRegistration result;
    result.error = error;
    return result;
}

const QString &pointName(int index)
{
    static const std::array<QString, 3> names = {QStringLiteral("the needle pivot"),
                                                 QStringLiteral("the needle tip at zero"),
                                                 QStringLiteral("the needle tip at full scale")};
    return names[static_cast<size_t>(index)];
}

QString cell(const DialDesign &design, ReferenceColumn column)
{
    return design.reference.value(static_cast<int>(column)).trimmed();
}

} // namespace

ReferenceRegistration registerByDpi(double dpi, QPointF cornerPixel)
{
    if (!(dpi > 0) || !std::isfinite(dpi))
        return failed(QStringLiteral("The scan's resolution must be a number of dots per inch above 0"));
    if (!finitePoint(cornerPixel))
        return failed(QStringLiteral("The card's top-left corner is not a point of the image"));
    const double mmPerPixel = 25.4 / dpi;
    ReferenceRegistration result;
    result.imageToCard =
        QTransform(mmPerPixel, 0, 0, mmPerPixel, -cornerPixel.x() * mmPerPixel, -cornerPixel.y() * mmPerPixel);
    return result;
}

ReferenceRegistration registerByPoints(const std::array<QPointF, 3> &imagePoints,
                                       const std::array<QPointF, 3> &cardPoints)
{
    for (int i = 0; i < 3; ++i) {
        if (!finitePoint(imagePoints[static_cast<size_t>(i)]) || !finitePoint(cardPoints[static_cast<size_t>(i)]))
            return failed(QStringLiteral("%1 is not a point").arg(pointName(i)));
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            const auto a = static_cast<size_t>(i);
            const auto b = static_cast<size_t>(j);
            if (squaredLength(imagePoints[a] - imagePoints[b]) < 1.0)
                return failed(
                    QStringLiteral("%1 and %2 are the same point of the image").arg(pointName(i), pointName(j)));
            if (cardPoints[a] == cardPoints[b])
                return failed(
                    QStringLiteral("%1 and %2 are the same point of the card").arg(pointName(i), pointName(j)));
        }
    }

    // Treating points as complex numbers, the best similarity q = a p + b has, about the
    // centroids, a = sum(conj(p) q) / sum(|p|^2): the two-dimensional closed form of the
    // Procrustes fit, which cannot reflect.
    QPointF imageCentre;
    QPointF cardCentre;
    for (size_t i = 0; i < 3; ++i) {
        imageCentre += imagePoints[i] / 3.0;
        cardCentre += cardPoints[i] / 3.0;
    }
    double dot = 0;
    double cross = 0;
    double spread = 0;
    for (size_t i = 0; i < 3; ++i) {
        const QPointF p = imagePoints[i] - imageCentre;
        const QPointF q = cardPoints[i] - cardCentre;
        dot += p.x() * q.x() + p.y() * q.y();
        cross += p.x() * q.y() - p.y() * q.x();
        spread += squaredLength(p);
    }
    const double c = dot / spread;
    const double s = cross / spread;
    const double dx = cardCentre.x() - (c * imageCentre.x() - s * imageCentre.y());
    const double dy = cardCentre.y() - (s * imageCentre.x() + c * imageCentre.y());
    if (!std::isfinite(c) || !std::isfinite(s) || !std::isfinite(dx) || !std::isfinite(dy) || (c == 0 && s == 0))
        return failed(QStringLiteral("The three points do not give a usable registration"));

    ReferenceRegistration result;
    result.imageToCard = QTransform(c, s, -s, c, dx, dy);
    double squares = 0;
    for (size_t i = 0; i < 3; ++i)
        squares += squaredLength(result.imageToCard.map(imagePoints[i]) - cardPoints[i]);
    result.residualMm = std::sqrt(squares / 3.0);
    return result;
}

ReferenceRegistration referenceRegistration(const DialDesign &design)
{
    if (design.reference.isEmpty() || cell(design, ReferenceColumn::Path).isEmpty())
        return failed(QStringLiteral("The design has no reference image"));

    // Every cell the mode needs, or the list of those not given.
    QStringList missing;
    const auto number = [&](ReferenceColumn column, const QString &name) {
        const QString text = cell(design, column);
        const double value = numericPrefix(text);
        if (text.isEmpty() || !std::isfinite(value))
            missing.append(name);
        return value;
    };
    const auto missingError = [&] {
        return failed(QStringLiteral("The reference image is not registered: %1 %2 not set")
                          .arg(missing.join(QStringLiteral(", ")),
                               missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are")));
    };

    const QString mode = cell(design, ReferenceColumn::Mode);
    if (mode == QLatin1String("dpi")) {
        const double dpi = number(ReferenceColumn::Dpi, QStringLiteral("the resolution"));
        const double x = number(ReferenceColumn::CornerX, QStringLiteral("the corner's X"));
        const double y = number(ReferenceColumn::CornerY, QStringLiteral("the corner's Y"));
        if (!missing.isEmpty())
            return missingError();
        return registerByDpi(dpi, QPointF(x, y));
    }
    if (mode == QLatin1String("points")) {
        static const std::array<QString, 3> names = {QStringLiteral("pivot's"), QStringLiteral("zero tip's"),
                                                     QStringLiteral("full-scale tip's")};
        std::array<QPointF, 3> image;
        for (size_t i = 0; i < 3; ++i) {
            const auto xColumn = static_cast<ReferenceColumn>(static_cast<int>(ReferenceColumn::PivotX) + 2 * int(i));
            const double x = number(xColumn, QStringLiteral("the %1 X").arg(names[i]));
            const double y = number(static_cast<ReferenceColumn>(static_cast<int>(xColumn) + 1),
                                    QStringLiteral("the %1 Y").arg(names[i]));
            image[i] = QPointF(x, y);
        }
        if (!missing.isEmpty())
            return missingError();
        std::array<double, kDimensionCount> dims{};
        for (int d = static_cast<int>(Dimension::NeedlePivotX); d < kDimensionCount; ++d) {
            const auto dimension = static_cast<Dimension>(d);
            dims[static_cast<size_t>(d)] = numericPrefix(design.dimension(dimension));
            if (!std::isfinite(dims[static_cast<size_t>(d)]))
                return failed(QStringLiteral("%1 is not a usable number").arg(dimensionTitle(dimension)));
        }
        const auto at = [&](Dimension d) { return dims[static_cast<size_t>(d)]; };
        const std::array<QPointF, 3> card = {QPointF(at(Dimension::NeedlePivotX), at(Dimension::NeedlePivotY)),
                                             QPointF(at(Dimension::ZeroPosX), at(Dimension::ZeroPosY)),
                                             QPointF(at(Dimension::MaxPosX), at(Dimension::MaxPosY))};
        return registerByPoints(image, card);
    }
    return failed(mode.isEmpty() ? QStringLiteral("The reference image is not registered")
                                 : QStringLiteral("\"%1\" is not a registration mode (dpi or points)").arg(mode));
}

} // namespace vernalith
