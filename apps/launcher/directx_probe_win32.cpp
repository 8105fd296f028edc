// Asks the platform about DirectX: the DirectX setup library's version query where it exists,
// whether a Direct3D 9 object can be created, and whether D3DX 9 is there. Each library is loaded from
// the system folder only: a DLL of the same name beside the program, in the current folder or on the
// PATH is never taken for it (an elevated launcher would run its code as administrator).
#include "launcher_local.h"

#include <d3d9.h>
#include <wchar.h>

namespace {

// DirectXSetupGetVersion, exported by ordinal 11 of the setup library.
typedef INT(WINAPI *SetupGetVersionProc)(DWORD *version, DWORD *revision);
typedef IDirect3D9 *(WINAPI *Direct3DCreate9Proc)(UINT sdkVersion);

// The library of this name in the system folder (its own dependencies resolved from there too), or
// null when it is not there.
HMODULE load_system_library(const wchar_t *name)
{
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(name) >= MAX_PATH)
        return nullptr;
    swprintf(path + length, MAX_PATH - length, L"\\%ls", name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void ask_setup_library(DirectXFacts &facts)
{
    HMODULE library = load_system_library(L"dsetup.dll");
    if (!library)
        return;
    auto getVersion = reinterpret_cast<SetupGetVersionProc>(
        reinterpret_cast<void *>(GetProcAddress(library, MAKEINTRESOURCEA(11))));
    if (getVersion) {
        DWORD version = 0;
        facts.query = getVersion(&version, nullptr) ? SetupQuery::Answered : SetupQuery::Failed;
        facts.version = version;
    }
    FreeLibrary(library);
}

bool direct3d9_present()
{
    HMODULE library = load_system_library(L"d3d9.dll");
    if (!library)
        return false;
    auto create = reinterpret_cast<Direct3DCreate9Proc>(
        reinterpret_cast<void *>(GetProcAddress(library, "Direct3DCreate9")));
    IDirect3D9 *direct3d = create ? create(D3D_SDK_VERSION) : nullptr;
    if (direct3d)
        direct3d->Release();
    FreeLibrary(library);
    return direct3d != nullptr;
}

} // namespace

DirectXFacts probe_directx()
{
    DirectXFacts facts;
    ask_setup_library(facts);
    if (facts.query == SetupQuery::Unavailable)
        facts.direct3d9 = direct3d9_present();
    // The graphics driver loads only where its D3DX 9 library is found.
    if (HMODULE d3dx = load_system_library(L"d3dx9_43.dll")) {
        facts.d3dx9 = true;
        FreeLibrary(d3dx);
    }
    return facts;
}
