// Number text of the engine's files and interfaces: at most 6 significant digits and 5 decimals
// out, plain sign-digits-point-digits in. Portable (no platform headers) so it can be fuzzed natively.
#pragma once

#include <wchar.h>

// Writes `value`; returns a pointer to the terminating 0, or null (buffer untouched) when
// |value| > 999999 or not a number. The buffer needs room for 16 characters.
wchar_t *number_to_text(wchar_t *buffer, float value);

// Parses [+|-]digits[.digits] into *out (0 when there are no digits); returns a pointer to the first
// character not used.
const wchar_t *text_to_number(float *out, const wchar_t *text);
