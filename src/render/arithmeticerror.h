#pragma once

#include <cmath>
#include <stdexcept>
#include <string>

namespace vernalith {

// A drawing step met a number it cannot work with: an overflow, a division by zero or an
// invalid operation. what() says so for a person.
class ArithmeticError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Returns `value` when it is finite; otherwise throws ArithmeticError naming `what`.
inline double checkedValue(double value, const char *what)
{
    if (!std::isfinite(value))
        throw ArithmeticError(std::string("The ") + what + " cannot be computed: a number is too large or undefined");
    return value;
}

} // namespace vernalith
