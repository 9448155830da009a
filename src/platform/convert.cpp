#include "convert.h"

#include "errors.h"

#include <cmath>
#include <limits>

namespace convert {

namespace {
template <typename T> T roundEven(double value) {
    if (std::isnan(value)) throw RuntimeError(errnum::Overflow, "Overflow");
    const double r = std::nearbyint(value); // the default rounding mode rounds halves to even
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max())
        throw RuntimeError(errnum::Overflow, "Overflow");
    return static_cast<T>(r);
}
} // namespace

int16_t CInt(double value) {
    return roundEven<int16_t>(value);
}

int32_t CLng(double value) {
    return roundEven<int32_t>(value);
}

int16_t Draw(float r, int n) {
    return static_cast<int16_t>(std::floor(static_cast<float>(n) * r));
}

int16_t Add16(int16_t a, int b) {
    return CInt(static_cast<double>(a) + b);
}

std::string Str(long long value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

} // namespace convert
