// EUC-JP through Windows' code page 20932.
#include "bench_eucjp.h"

#include "bench_address.h"

#include <windows.h>

namespace bench {

bool euc_jp_bytes(char16_t c, uint8_t (&bytes)[2]) {
    const UINT kEucJp = 20932;
    wchar_t wide = static_cast<wchar_t>(c);
    char out[4];
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(kEucJp, 0, &wide, 1, out, sizeof out, nullptr, &usedDefault);
    // One byte is ASCII or a replacement. The code page gives JIS X 0212 characters as two bytes
    // without their 0x8F prefix, which the page would read as another character.
    if (length != 2 || usedDefault)
        return false;
    bytes[0] = static_cast<uint8_t>(out[0]);
    bytes[1] = static_cast<uint8_t>(out[1]);
    return euc_jp_pair_valid(bytes);
}

} // namespace bench
