#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// from_chars reports a range error without a value; strtod saturates instead. An exponent
// with a minus sign means the magnitude underflowed.
double SaturatedValue(const char* first, const char* last) {
    for (const char* p = first; p + 1 < last; ++p)
        if ((*p == 'e' || *p == 'E' || *p == 'p' || *p == 'P') && p[1] == '-') return 0.0;
    return HUGE_VAL;
}

}  // namespace

std::size_t ParseDouble(const char* text, std::size_t length, double& value) {
    value = 0.0;
    const char* const end = text + length;
    const char* p = text;
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }

    double magnitude = 0.0;
    const char* stop = p;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        ((end - p > 2 && IsHexDigit(p[2])) || (end - p > 3 && p[2] == '.' && IsHexDigit(p[3])))) {
        auto result = std::from_chars(p + 2, end, magnitude, std::chars_format::hex);
        stop = result.ptr;
        if (result.ec == std::errc::result_out_of_range) magnitude = SaturatedValue(p, stop);
    }
    if (stop == p) {
        auto result = std::from_chars(p, end, magnitude, std::chars_format::general);
        stop = result.ptr;
        if (result.ec == std::errc::result_out_of_range) magnitude = SaturatedValue(p, stop);
    }
    if (stop == p) return 0;  // nothing read: strtod consumes nothing, not even the blanks
    value = negative ? -magnitude : magnitude;
    return static_cast<std::size_t>(stop - text);
}

std::int32_t ParseLeadingInt(const char* text, std::size_t length) {
    const char* const end = text + length;
    const char* p = text;
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    std::int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > std::numeric_limits<std::int32_t>::max())
        signed_value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(signed_value);
}

std::int32_t ClampToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
