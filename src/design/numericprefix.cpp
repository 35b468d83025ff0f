#include "numericprefix.h"

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
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when out of range: decide between overflow and underflow.
        const auto ePos = number.find('e');
        const bool tiny = ePos != std::string::npos && number.size() > ePos + 1 && number[ePos + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

} // namespace vernalith
