#include "numberformat.h"

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

} // namespace

QString formatNumber(double value, const QString &pattern)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (pattern.isEmpty())
        return plainForm(value);

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

} // namespace vernalith
