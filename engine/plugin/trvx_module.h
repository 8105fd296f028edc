// What every DLL of the kit does when it is freed, for programs and the engine load and free them
// again and again (the engine frees its plug-ins at every TRVX_End).
#pragma once

#include <windows.h>

namespace __gnu_cxx {
void __freeres();
}

// The C++ runtime linked into each DLL keeps an emergency exception pool that nothing else frees:
// about 19 kB left behind at every FreeLibrary. At process exit (`reserved` set) nothing is freed.
inline void trvx_module_detach(LPVOID reserved)
{
    if (!reserved)
        __gnu_cxx::__freeres();
}
