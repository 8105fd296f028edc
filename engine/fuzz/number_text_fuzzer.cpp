// Fuzzes the number parser with arbitrary wide text and the formatter with arbitrary float bits.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <vector>

#include "number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, 0);
    memcpy(text.data(), data, size / sizeof(wchar_t) * sizeof(wchar_t));
    float value = 0;
    const wchar_t *end = text_to_number(&value, text.data());
    if (end < text.data() || end > text.data() + text.size() - 1)
        __builtin_trap();
    if (size >= sizeof(float)) {
        float bits;
        memcpy(&bits, data, sizeof bits);
        wchar_t buffer[16];
        wchar_t *written = number_to_text(buffer, bits);
        if (written && (written < buffer || written >= buffer + 16 || *written))
            __builtin_trap();
    }
    return 0;
}
