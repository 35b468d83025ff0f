#include "printercalibration.h"

#include "render/testsheet.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

#include <cmath>

namespace vernalith {

namespace {

const QString kGroup = QStringLiteral("PrinterCalibration");

// Printer names may hold the settings' separators ("\\server\printer" on some systems).
QString keyFor(const QString &printer, const char *factor)
{
    return kGroup + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(printer)) + QLatin1Char('/') +
           QLatin1String(factor);
}

bool readFactor(const QSettings &settings, const QString &key, double &factor)
{
    bool ok = false;
    factor = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(factor);
}

bool written(QSettings &settings, QString &reason)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    reason = QStringLiteral("The settings file %1 cannot be written").arg(settings.fileName());
    return false;
}

// A length as typed; NaN for anything but a plain number of millimetres.
double typedLength(const QString &text)
{
    static const QRegularExpression length(QStringLiteral("^\\s*([0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)\\s*(?:mm)?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = length.match(text);
    if (!match.hasMatch())
        return std::nan("");
    QString number = match.captured(1);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    return number.toDouble();
}

bool readScale(const QString &printer, CardScale &scale)
{
    const QSettings settings;
    return readFactor(settings, keyFor(printer, "ScaleX"), scale.x) &&
           readFactor(settings, keyFor(printer, "ScaleY"), scale.y) && isUsableCardScale(scale);
}

} // namespace

CardScale PrinterCalibration::scaleFor(const QString &printer) const
{
    CardScale scale;
    return readScale(printer, scale) ? scale : CardScale();
}

bool PrinterCalibration::isCalibrated(const QString &printer) const
{
    CardScale scale;
    return readScale(printer, scale);
}

bool PrinterCalibration::store(const QString &printer, CardScale scale, QString &reason)
{
    if (!isUsableCardScale(scale)) {
        reason = QStringLiteral("The factors must lie between %1 and %2").arg(scalePercent(kMinCardScale),
                                                                            scalePercent(kMaxCardScale));
        return false;
    }
    QSettings settings;
    settings.setValue(keyFor(printer, "ScaleX"), scale.x);
    settings.setValue(keyFor(printer, "ScaleY"), scale.y);
    return written(settings, reason);
}

bool PrinterCalibration::reset(const QString &printer, QString &reason)
{
    QSettings settings;
    settings.remove(kGroup + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(printer)));
    return written(settings, reason);
}

MeasuredScale scaleFromMeasurements(const QString &measuredX, const QString &measuredY)
{
    MeasuredScale result;
    struct Ruler {
        const QString &typed;
        double nominal;
        const char *name;
        double *factor;
    };
    const Ruler rulers[] = {{measuredX, kTestSheetRulerXMm, "horizontal", &result.scale.x},
                            {measuredY, kTestSheetRulerYMm, "vertical", &result.scale.y}};
    for (const Ruler &ruler : rulers) {
        const double measured = typedLength(ruler.typed);
        if (!(measured > 0) || !std::isfinite(measured)) {
            result.problem = QStringLiteral("Type the length of the %1 ruler in millimetres, for example %2.")
                                 .arg(QLatin1String(ruler.name))
                                 .arg(ruler.nominal - 1.5);
            return result;
        }
        *ruler.factor = ruler.nominal / measured;
        if (*ruler.factor < kMinCardScale || *ruler.factor > kMaxCardScale) {
            result.problem =
                QStringLiteral("The %1 ruler measured %2 mm instead of %3 mm: a correction of %4 is more than "
                               "any printer drifts (at most %5 to %6). The printer's driver is most likely "
                               "fitting the page to the paper or scaling it. Turn its \"fit to page\" and "
                               "scaling options off (scale 100 %), print the test sheet again and measure "
                               "that.")
                    .arg(QLatin1String(ruler.name))
                    .arg(measured)
                    .arg(ruler.nominal)
                    .arg(scalePercent(*ruler.factor), scalePercent(kMinCardScale), scalePercent(kMaxCardScale));
            return result;
        }
    }
    result.ok = true;
    return result;
}

QString scalePercent(double factor)
{
    return QStringLiteral("%1 %").arg(factor * 100.0, 0, 'f', 2);
}

} // namespace vernalith
