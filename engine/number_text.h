// Number text of the engine's files and interfaces: at most 6 significant digits and 5 decimals
// out, plain sign-digits-point-digits in. Portable (no platform headers) so it can be fuzzed natively.
#pragma once

#include <stdint.h>
#include <wchar.h>

// Writes `value`; returns a pointer to the terminating 0, or null (buffer untouched) when
// |value| > 999999 or not a number. The buffer needs room for 16 characters.
wchar_t *number_to_text(wchar_t *buffer, float value);

// Parses [+|-]digits[.digits] into *out (0 when there are no digits); returns a pointer to the first
// character not used.
const wchar_t *text_to_number(float *out, const wchar_t *text);

// The same parse for any character type whose digits are ASCII: the text model plug-in reads the
// file's bytes with it and gets the very numbers that TRVX_StringToReal gives for the wide text.
template <class Char> const Char *parse_number(float *out, const Char *text)
{
    const Char *p = text;
    float sign = 1.0f;
    if (*p == '+' || *p == '-') {
        if (*p == '-')
            sign = -1.0f;
        ++p;
    }
    // Digits beyond what the accumulators hold no longer change the float result, so they are
    // consumed but not accumulated (a plain 32-bit accumulator would wrap around). The first nine
    // digits always fit 32 bits, which a 32-bit build adds up much faster.
    uint32_t leading = 0;
    int digits = 0;
    for (; digits < 9 && *p >= '0' && *p <= '9'; ++p, ++digits)
        leading = leading * 10 + (uint32_t)(*p - '0');
    uint64_t whole = leading;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (whole < 100000000000000000ull)
            whole = whole * 10 + (uint64_t)(*p - '0');
    uint32_t fraction = 0, scale = 1;
    if (*p == '.') {
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            if (scale < 1000000000u) {
                fraction = fraction * 10 + (uint32_t)(*p - '0');
                scale *= 10;
            }
        }
    }
    // Values below 2^31 convert through a signed 32-bit integer: the same rounding, one instruction.
    float wholePart = whole < 0x80000000u ? (float)(int32_t)whole : (float)whole;
    *out = (wholePart + (float)(int32_t)fraction / (float)(int32_t)scale) * sign;
    return p;
}
