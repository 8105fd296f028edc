// Stands in for the DirectX setup library of a PC with DirectX 8 in the launcher's tests.
#include <windows.h>

extern "C" INT WINAPI DirectXSetupGetVersion(DWORD *version, DWORD *revision)
{
    if (version)
        *version = 0x00040008;
    if (revision)
        *revision = 0x00000A00;
    return TRUE;
}
