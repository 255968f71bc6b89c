#pragma once
// Conversions of number text that never depend on the process locale.

#include <cstddef>
#include <cstdint>

// Reads a number at the start of text[0 … length) as strtod does in the C locale: leading
// white space, a sign, then decimal digits with an optional point and exponent, a hex float
// ("0x…"), "inf", "infinity" or "nan". Returns the bytes consumed (0 when nothing was read,
// with value 0). Out-of-range values become ±HUGE_VAL or 0 as strtod gives them.
std::size_t ParseDouble(const char* text, std::size_t length, double& value);

// Reads a signed decimal integer at the start of text as atoi does (leading white space,
// a sign, digits), with the result clamped to the 32-bit range instead of overflowing.
// No digits gives 0.
std::int32_t ParseLeadingInt(const char* text, std::size_t length);

// Truncates toward zero and clamps to the 32-bit range; NaN gives 0.
std::int32_t ClampToInt(double value);
