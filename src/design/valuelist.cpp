#include "valuelist.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace vernalith {

namespace {

constexpr qsizetype kLongestQuotedToken = 30;

QString quotedToken(QStringView token)
{
    QString shown = token.toString();
    if (shown.size() > kLongestQuotedToken)
        shown = shown.left(kLongestQuotedToken) + QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Appends the values of "start:stop:step"; false (with *error set) on a fault.
bool appendRange(QStringView token, QVector<double> &values, QString *error)
{
    const QList<QStringView> parts = token.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return setError(error, QStringLiteral("%1 is not a range start:stop:step").arg(quotedToken(token)));
    double numbers[3] = {};
    for (int k = 0; k < 3; ++k) {
        const std::optional<double> n = parseListNumber(parts[k]);
        if (!n || !std::isfinite(*n))
            return setError(error, QStringLiteral("%1 is not a range start:stop:step of finite numbers")
                                       .arg(quotedToken(token)));
        numbers[k] = *n;
    }
    const double start = numbers[0];
    const double stop = numbers[1];
    const double step = numbers[2];
    if (!(step > 0))
        return setError(error, QStringLiteral("the range %1 needs a step above 0").arg(quotedToken(token)));
    const double distance = std::fabs(stop - start);
    const double direction = stop >= start ? 1.0 : -1.0;
    // Counted before anything is made, so "0:1e12:1" is refused without a long walk.
    const double steps = std::isfinite(distance) ? std::floor(distance / step + 1e-9) : HUGE_VAL;
    if (!(steps + static_cast<double>(values.size()) < kMaxListValues))
        return setError(error, QStringLiteral("the range %1 makes more than %2 values")
                                   .arg(quotedToken(token))
                                   .arg(kMaxListValues));
    const int count = static_cast<int>(steps) + 1;
    for (int k = 0; k < count; ++k) {
        double value = start + direction * (k * step);
        // A stop reached within rounding noise is the stop itself, not a near miss of it.
        if (std::fabs(value - stop) <= 1e-9 * step)
            value = stop;
        values.append(value);
    }
    return true;
}

} // namespace

std::optional<double> parseListNumber(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.compare(u"inf", Qt::CaseInsensitive) == 0 || t.compare(u"+inf", Qt::CaseInsensitive) == 0)
        return std::numeric_limits<double>::infinity();
    if (t.compare(u"-inf", Qt::CaseInsensitive) == 0)
        return -std::numeric_limits<double>::infinity();
    if (t.isEmpty())
        return std::nullopt;
    // Only what a C program would print: digits, one sign, a point, an exponent. This keeps out
    // group separators, "nan", "infinity" and hexadecimal forms that a library might accept.
    for (QChar c : t) {
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-')
            && c != QLatin1Char('+') && c != QLatin1Char('e') && c != QLatin1Char('E'))
            return std::nullopt;
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QVector<double> parseValueList(const QString &text, QString *error)
{
    if (error)
        error->clear();
    QVector<double> values;
    const qsizetype size = text.size();
    qsizetype i = 0;
    bool commaPending = true; // the start counts as a separator: a leading comma is an empty entry
    bool sawToken = false;
    while (i < size) {
        const QChar c = text[i];
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (c == QLatin1Char(',')) {
            if (commaPending) {
                setError(error, QStringLiteral("an entry is missing before the comma at position %1").arg(i + 1));
                return {};
            }
            commaPending = true;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < size && !isBlank(text[end]) && text[end] != QLatin1Char(','))
            ++end;
        const QStringView token = QStringView(text).mid(i, end - i);
        i = end;
        commaPending = false;
        sawToken = true;
        if (token.contains(QLatin1Char(':'))) {
            if (!appendRange(token, values, error))
                return {};
            continue;
        }
        const std::optional<double> value = parseListNumber(token);
        if (!value) {
            setError(error, QStringLiteral("%1 is not a number or a range").arg(quotedToken(token)));
            return {};
        }
        if (values.size() >= kMaxListValues) {
            setError(error, QStringLiteral("more than %1 values").arg(kMaxListValues));
            return {};
        }
        values.append(*value);
    }
    if (sawToken && commaPending) {
        setError(error, QStringLiteral("an entry is missing after the last comma"));
        return {};
    }
    return values;
}

} // namespace vernalith
