#include "numericprefix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace vernalith {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// from_chars leaves the value alone when it is out of range, and says nothing about the
// direction. The decimal magnitude of the leading significant digit tells: overflow gives an
// infinity, underflow 0. Neither the sign of the exponent nor the count of digits alone does
// ("0.000...1" and "1000...0e-300" would be misread).
double beyondDoubleRange(const std::string &number)
{
    const std::size_t ePos = number.find('e');
    const std::string mantissa = number.substr(0, ePos);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
    if (firstSignificant == std::string::npos)
        return 0.0;
    // Power of ten of the leading significant digit, before the exponent.
    long long magnitude = firstSignificant < point ? static_cast<long long>(point - firstSignificant - 1)
                                                   : -static_cast<long long>(firstSignificant - point);
    if (ePos != std::string::npos) {
        std::size_t j = ePos + 1;
        const bool minus = j < number.size() && number[j] == '-';
        if (j < number.size() && (number[j] == '-' || number[j] == '+'))
            ++j;
        long long exponent = 0;
        for (; j < number.size(); ++j)
            exponent = std::min(exponent * 10 + (number[j] - '0'), 1'000'000'000'000LL); // saturate
        magnitude += minus ? -exponent : exponent;
    }
    return magnitude >= 0 ? HUGE_VAL : 0.0;
}

} // namespace

double numericPrefix(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    std::string number; // ASCII digits, '.', exponent: what from_chars reads
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            number.push_back(static_cast<char>(c.unicode()));
        } else if (c == QLatin1Char('.') && !sawPoint) {
            sawPoint = true;
            number.push_back('.');
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0.0;

    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent.push_back(static_cast<char>(text[j++].unicode()));
        const qsizetype digitsStart = j;
        while (j < n && isDigit(text[j]))
            exponent.push_back(static_cast<char>(text[j++].unicode()));
        if (j > digitsStart)
            number += exponent;
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        value = beyondDoubleRange(number);
    return negative ? -value : value;
}

} // namespace vernalith
