// Number text: see number_text.h. The formatter rounds to float after every step on purpose: the
// digits it writes depend on it.
#include "number_text.h"

#include <stdint.h>

wchar_t *number_to_text(wchar_t *buffer, float value)
{
    if (value == 0.0f) {
        buffer[0] = L'0';
        buffer[1] = 0;
        return buffer + 1;
    }
    bool negative = value < 0.0f;
    volatile float a = negative ? -value : value; // volatile: keep each step rounded to float
    if (!(a <= 999999.0f))
        return nullptr;
    int decimals = 0;
    while (a < 1000000.0f) {
        a = a * 10.0f;
        ++decimals;
    }
    int32_t digits = ((int32_t)a + 5) / 10; // six significant digits
    --decimals;
    while (decimals > 0 && digits % 10 == 0) {
        digits /= 10;
        --decimals;
    }
    while (decimals > 5) {
        digits /= 10;
        --decimals;
    }
    wchar_t *p = buffer;
    if (digits == 0) {
        *p++ = L'0';
        *p = 0;
        return p;
    }
    if (negative)
        *p++ = L'-';
    wchar_t reversed[16];
    int count = 0;
    for (int32_t rest = digits; rest > 0 || count <= decimals; rest /= 10)
        reversed[count++] = (wchar_t)(L'0' + rest % 10);
    for (int i = count - 1; i >= 0; --i) {
        *p++ = reversed[i];
        if (i == decimals && decimals > 0)
            *p++ = L'.';
    }
    *p = 0;
    return p;
}

const wchar_t *text_to_number(float *out, const wchar_t *text)
{
    return parse_number(out, text);
}
