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

template <class Char> inline uint32_t number_digit(Char c)
{
    return (uint32_t)c - (uint32_t)'0'; // 10 or more for anything but a digit
}

// The same parse for any character type whose digits are ASCII: the text model plug-in reads the
// file's bytes with it and gets the very numbers that TRVX_StringToReal gives for the wide text.
template <class Char> const Char *parse_number(float *out, const Char *text)
{
    static const uint32_t kPowersOfTen[10] = {1,      10,      100,      1000,      10000,
                                              100000, 1000000, 10000000, 100000000, 1000000000};
    const Char *p = text;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    // The first nine digits always fit 32 bits, which a 32-bit build adds up much faster. Digits
    // beyond what the accumulators hold no longer change the float result, so they are consumed but
    // not accumulated (a plain 32-bit accumulator would wrap around).
    const Char *first = p;
    uint32_t leading = 0, digit;
    while (p - first < 9 && (digit = number_digit(*p)) < 10) {
        leading = leading * 10 + digit;
        ++p;
    }
    float wholePart = (float)(int32_t)leading;
    if (number_digit(*p) < 10) {
        uint64_t whole = leading;
        for (; (digit = number_digit(*p)) < 10; ++p)
            if (whole < 100000000000000000ull)
                whole = whole * 10 + digit;
        // Values below 2^31 convert through a signed 32-bit integer: the same rounding, one instruction.
        wholePart = whole < 0x80000000u ? (float)(int32_t)whole : (float)whole;
    }
    uint32_t fraction = 0, places = 0;
    if (*p == '.') {
        first = ++p;
        while (p - first < 9 && (digit = number_digit(*p)) < 10) {
            fraction = fraction * 10 + digit;
            ++p;
        }
        places = (uint32_t)(p - first);
        while (number_digit(*p) < 10)
            ++p;
    }
    float value = wholePart + (float)(int32_t)fraction / (float)(int32_t)kPowersOfTen[places];
    *out = negative ? -value : value;
    return p;
}
