// EUC-JP through Windows' code page 20932.
#include "bench_eucjp_win.h"

#include <windows.h>

namespace bench {

bool euc_jp_bytes(char16_t c, uint8_t (&bytes)[2]) {
    const UINT kEucJp = 20932;
    wchar_t wide = static_cast<wchar_t>(c);
    char out[4];
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(kEucJp, 0, &wide, 1, out, sizeof out, nullptr, &usedDefault);
    // One byte is ASCII or a replacement; three are JIS X 0212, which the result page cannot take.
    if (length != 2 || usedDefault)
        return false;
    bytes[0] = static_cast<uint8_t>(out[0]);
    bytes[1] = static_cast<uint8_t>(out[1]);
    return true;
}

} // namespace bench
