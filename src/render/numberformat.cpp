#include "numberformat.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace vernalith {

namespace {

constexpr int kSignificantDigits = 15;

// A positive finite magnitude as d0.d1...d14 x 10^exponent.
struct SignificantDigits {
    std::string digits; // exactly kSignificantDigits characters, the first one not '0'
    int exponent = 0;
};

SignificantDigits significantDigits(double magnitude)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                                      kSignificantDigits - 1);
    const std::string text(buffer, result.ptr); // "d.dddddddddddddde+XX"
    const auto e = text.find('e');
    SignificantDigits sd;
    sd.digits.reserve(kSignificantDigits);
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            sd.digits.push_back(text[i]);
    }
    sd.exponent = std::stoi(text.substr(e + 1));
    return sd;
}

// The digits of magnitude x 10^decimals rounded to a whole number, half away from zero, with no
// leading zeros; empty when that rounds to zero.
std::string scaledDigits(double magnitude, int decimals)
{
    if (magnitude == 0.0)
        return {};
    const SignificantDigits sd = significantDigits(magnitude);
    // How many of the significant digits have a weight of at least 10^-decimals.
    const long long kept = static_cast<long long>(sd.exponent) + decimals + 1;
    if (kept >= kSignificantDigits)
        return sd.digits + std::string(static_cast<std::size_t>(kept - kSignificantDigits), '0');
    if (kept < 0)
        return {};
    std::string result = sd.digits.substr(0, static_cast<std::size_t>(kept));
    if (sd.digits[static_cast<std::size_t>(kept)] >= '5') {
        auto i = result.size();
        while (i > 0 && result[i - 1] == '9')
            result[--i] = '0';
        if (i == 0)
            result.insert(result.begin(), '1');
        else
            ++result[i - 1];
    }
    return result;
}

QString plainForm(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    SignificantDigits sd = significantDigits(std::fabs(value));
    std::string &m = sd.digits;
    while (m.size() > 1 && m.back() == '0')
        m.pop_back();

    std::string out = value < 0 ? "-" : "";
    const int e = sd.exponent;
    if (e >= -5 && e < kSignificantDigits) {
        if (e >= 0) {
            const auto integerDigits = static_cast<std::size_t>(e) + 1;
            if (m.size() <= integerDigits) {
                out += m + std::string(integerDigits - m.size(), '0');
            } else {
                out += m.substr(0, integerDigits) + '.' + m.substr(integerDigits);
            }
        } else {
            out += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + m;
        }
    } else {
        out += m.substr(0, 1);
        if (m.size() > 1)
            out += '.' + m.substr(1);
        out += e < 0 ? "E-" : "E+";
        const std::string exponent = std::to_string(std::abs(e));
        if (exponent.size() < 2)
            out += '0';
        out += exponent;
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

bool isDigitPlace(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// One section without an exponent part: digit places, decimal point, grouping and literals.
QString formatDigits(double value, const QString &pattern)
{
    const qsizetype length = pattern.size();
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const qsizetype integerEnd = point < 0 ? length : point;

    // Integer places, the first '0' among them, and the span in which a ',' groups thousands.
    int integerPlaces = 0;
    int minimumIntegerDigits = 0;
    qsizetype firstPlace = -1;
    qsizetype lastPlace = -1;
    for (qsizetype i = 0; i < integerEnd; ++i) {
        if (!isDigitPlace(pattern[i]))
            continue;
        ++integerPlaces;
        if (firstPlace < 0)
            firstPlace = i;
        lastPlace = i;
        if (pattern[i] == QLatin1Char('0') && minimumIntegerDigits == 0)
            minimumIntegerDigits = 1; // counted on below
        else if (minimumIntegerDigits > 0)
            ++minimumIntegerDigits;
    }
    auto groupsThousands = [&](qsizetype i) {
        return pattern[i] == QLatin1Char(',') && firstPlace >= 0 && i > firstPlace && i < lastPlace;
    };
    bool grouping = false;
    for (qsizetype i = 0; i < integerEnd; ++i)
        grouping = grouping || groupsThousands(i);

    // Decimal places, and how many of them always show (up to the last '0').
    int decimals = 0;
    int minimumDecimals = 0;
    for (qsizetype i = integerEnd + 1; i < length; ++i) {
        if (!isDigitPlace(pattern[i]))
            continue;
        ++decimals;
        if (pattern[i] == QLatin1Char('0'))
            minimumDecimals = decimals;
    }

    if (integerPlaces == 0 && decimals == 0)
        return pattern; // no digit to print: all of it is text, the point included

    const std::string scaled = scaledDigits(std::fabs(value), decimals);
    const auto decimalsSize = static_cast<std::size_t>(decimals);
    std::string integerDigits;
    std::string fraction(decimalsSize, '0');
    if (scaled.size() > decimalsSize) {
        integerDigits = scaled.substr(0, scaled.size() - decimalsSize);
        fraction = scaled.substr(scaled.size() - decimalsSize);
    } else {
        fraction.replace(decimalsSize - scaled.size(), scaled.size(), scaled);
    }
    if (integerDigits.size() < static_cast<std::size_t>(minimumIntegerDigits))
        integerDigits.insert(0, static_cast<std::size_t>(minimumIntegerDigits) - integerDigits.size(), '0');

    int shownDecimals = minimumDecimals;
    for (int k = decimals; k > shownDecimals; --k) {
        if (fraction[static_cast<std::size_t>(k - 1)] != '0') {
            shownDecimals = k;
            break;
        }
    }

    QString out;
    out.reserve(length + static_cast<qsizetype>(integerDigits.size()) * 2 + 1);
    // A pattern that prints no digit ("V", "max") prints no sign either.
    if (value < 0 && !scaled.empty() && (integerPlaces > 0 || point >= 0))
        out += QLatin1Char('-');

    const auto digitCount = static_cast<long long>(integerDigits.size());
    auto appendIntegerDigit = [&](long long d) {
        out += QLatin1Char(integerDigits[static_cast<std::size_t>(d)]);
        if (grouping && d < digitCount - 1 && (digitCount - 1 - d) % 3 == 0)
            out += QLatin1Char(',');
    };

    int place = 0;
    for (qsizetype i = 0; i < integerEnd; ++i) {
        const QChar c = pattern[i];
        if (isDigitPlace(c)) {
            // Digits fill the places from the right; the first place takes any surplus.
            const long long d = digitCount - integerPlaces + place;
            if (place == 0) {
                for (long long k = 0; k <= d; ++k)
                    appendIntegerDigit(k);
            } else if (d >= 0) {
                appendIntegerDigit(d);
            }
            ++place;
        } else if (!groupsThousands(i)) {
            out += c;
        }
    }
    if (point < 0)
        return out;

    if (integerPlaces == 0)
        out += QString::fromLatin1(integerDigits.data(), static_cast<qsizetype>(integerDigits.size()));
    if (shownDecimals > 0)
        out += QLatin1Char('.');
    int decimalPlace = 0;
    for (qsizetype i = point + 1; i < length; ++i) {
        const QChar c = pattern[i];
        if (isDigitPlace(c)) {
            if (decimalPlace < shownDecimals)
                out += QLatin1Char(fraction[static_cast<std::size_t>(decimalPlace)]);
            ++decimalPlace;
        } else {
            out += c;
        }
    }
    return out;
}

// Where a section's exponent part ("E+00", "e-0", ...) starts, or -1: an E or e, a sign, and a
// digit place right after it.
qsizetype exponentStart(const QString &section)
{
    for (qsizetype i = 0; i + 2 < section.size(); ++i) {
        const QChar c = section[i];
        const QChar sign = section[i + 1];
        if ((c == QLatin1Char('E') || c == QLatin1Char('e')) &&
            (sign == QLatin1Char('+') || sign == QLatin1Char('-')) && isDigitPlace(section[i + 2]))
            return i;
    }
    return -1;
}

// Digit places of a pattern before and after its decimal point.
std::pair<int, int> digitPlaces(const QString &pattern)
{
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    int before = 0;
    int after = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isDigitPlace(pattern[i]))
            ++(point >= 0 && i > point ? after : before);
    }
    return {before, after};
}

// One section with an exponent part at `e`: the mantissa has as many integer digits as the
// mantissa pattern has integer places (at least one) and is printed by that pattern.
QString formatScientific(double value, const QString &section, qsizetype e)
{
    const QString mantissaPattern = section.left(e);
    const auto [integerPlaces, decimals] = digitPlaces(mantissaPattern);
    const int integers = std::max(1, integerPlaces);

    qsizetype end = e + 2;
    int minimumExponentDigits = 0;
    while (end < section.size() && isDigitPlace(section[end])) {
        if (section[end] == QLatin1Char('0'))
            ++minimumExponentDigits;
        ++end;
    }
    minimumExponentDigits = std::max(1, minimumExponentDigits);

    double mantissa = 0;
    int exponent = 0;
    if (value != 0.0) {
        const SignificantDigits sd = significantDigits(std::fabs(value));
        exponent = sd.exponent - (integers - 1);
        // The mantissa's digits, rounded half away from zero to the places shown; a carry
        // (9.99 to 10.0) moves the exponent on.
        const std::size_t kept = static_cast<std::size_t>(integers + decimals);
        std::string digits = sd.digits;
        if (kept < digits.size()) {
            const bool up = digits[kept] >= '5';
            digits.resize(kept);
            if (up) {
                auto i = digits.size();
                while (i > 0 && digits[i - 1] == '9')
                    digits[--i] = '0';
                if (i == 0) {
                    digits.insert(digits.begin(), '1');
                    digits.pop_back();
                    ++exponent;
                } else {
                    ++digits[i - 1];
                }
            }
        }
        // More integer places than significant digits: the places past them hold zeros.
        if (digits.size() < static_cast<std::size_t>(integers))
            digits.append(static_cast<std::size_t>(integers) - digits.size(), '0');
        const std::string text = digits.substr(0, static_cast<std::size_t>(integers)) + "." +
                                 digits.substr(std::min(digits.size(), static_cast<std::size_t>(integers)));
        mantissa = std::stod(text);
        if (value < 0)
            mantissa = -mantissa;
    }

    QString out = formatDigits(mantissa, mantissaPattern);
    out += section[e];
    if (exponent < 0)
        out += QLatin1Char('-');
    else if (section[e + 1] == QLatin1Char('+'))
        out += QLatin1Char('+');
    out += QString::number(std::abs(exponent)).rightJustified(minimumExponentDigits, QLatin1Char('0'));
    out += section.mid(end);
    return out;
}

QString formatSection(double value, const QString &section)
{
    const qsizetype e = exponentStart(section);
    return e >= 0 ? formatScientific(value, section, e) : formatDigits(value, section);
}

// Whether `value` prints as zero by `section`: nothing left after rounding to its places.
bool showsAsZero(double value, const QString &section)
{
    if (value == 0.0)
        return true;
    if (exponentStart(section) >= 0)
        return false;
    return scaledDigits(std::fabs(value), digitPlaces(section).second).empty();
}

} // namespace

QString formatNumber(double value, const QString &pattern)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (pattern.isEmpty())
        return plainForm(value);
    if (!pattern.contains(QLatin1Char(';')))
        return formatSection(value, pattern);

    // positive;negative;zero, as spreadsheets have them. The negative section prints the
    // magnitude: its own text gives the sign. A value that rounds to zero is zero.
    const QStringList sections = pattern.split(QLatin1Char(';'));
    const QString &positive = sections[0];
    if (showsAsZero(value, positive)) {
        const QString &zero = sections.size() > 2 ? sections[2] : positive;
        return zero.isEmpty() ? QString() : formatSection(0.0, zero);
    }
    if (value < 0) {
        const QString &negative = sections[1];
        return negative.isEmpty() ? QString() : formatSection(-value, negative);
    }
    return positive.isEmpty() ? QString() : formatSection(value, positive);
}

} // namespace vernalith
