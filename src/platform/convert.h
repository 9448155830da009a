#pragma once

#include <cstdint>
#include <string>

// Number conversions with the runtime's semantics.
namespace convert {

// Assignment to a 16-bit integer: nearest whole number, halves to even; out of range is an
// Overflow error.
int16_t CInt(double value);

// Assignment to a 32-bit integer, same rules.
int32_t CLng(double value);

// A random draw: the integer part of n times a number in [0, 1), so 0..n-1.
int16_t Draw(float r, int n);

// 16-bit addition that reports overflow like the runtime does.
int16_t Add16(int16_t a, int b);

// A number as text with a place kept for its sign: " 3", " 0", "-3".
std::string Str(long long value);

} // namespace convert
