// Direct3D 9 driver: the chip name and video memory of the capability report, from the DirectX
// diagnostic provider, remembered per adapter because the provider is slow to answer.
#include "vdr_d3d9.h"

#include <initguid.h>
#include <dxdiag.h>
#include <stdlib.h>

template <class T> static void release(T *&object)
{
    if (object) {
        object->Release();
        object = 0;
    }
}

// What the DirectX diagnostic provider says of the first display device.
struct Diagnostics {
    wchar_t chip[80];
    int32_t videoMemoryMB;
};

// The provider's answer. It surveys the whole machine before it answers, which takes a second and
// more, so an answer is remembered for the adapter it was given for (below).
static Diagnostics query_diagnostics()
{
    Diagnostics answer = {};
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IDxDiagProvider *provider = 0;
    IDxDiagContainer *root = 0, *devices = 0, *first = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_DxDiagProvider, NULL, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                   (void **)&provider))) {
        DXDIAG_INIT_PARAMS init = {};
        init.dwSize = sizeof init;
        init.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
        init.bAllowWHQLChecks = TRUE;
        WCHAR name[64];
        DWORD names = 0;
        if (SUCCEEDED(provider->Initialize(&init)) && SUCCEEDED(provider->GetRootContainer(&root)) &&
            SUCCEEDED(root->GetChildContainer(L"DxDiag_DisplayDevices", &devices)) &&
            SUCCEEDED(devices->GetNumberOfChildContainers(&names)) && names > 0 &&
            SUCCEEDED(devices->EnumChildContainerNames(0, name, 64)) &&
            SUCCEEDED(devices->GetChildContainer(name, &first))) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(first->GetProp(L"szChipType", &v)) && v.vt == VT_BSTR && v.bstrVal)
                lstrcpynW(answer.chip, v.bstrVal, ARRAYSIZE(answer.chip));
            VariantClear(&v);
            if (SUCCEEDED(first->GetProp(L"szDisplayMemoryEnglish", &v)) && v.vt == VT_BSTR && v.bstrVal)
                answer.videoMemoryMB = (int32_t)wcstol(v.bstrVal, NULL, 10);
            VariantClear(&v);
        }
    }
    release(first);
    release(devices);
    release(root);
    release(provider);
    if (SUCCEEDED(com))
        CoUninitialize();
    return answer;
}

// An answer and the adapter it stands for: kept for the process (a display-mode change starts the
// driver again) and in the user's temporary folder (the next start of any program on the kit).
// The adapter's identity includes its driver's version, so a new driver asks the provider again.
struct RememberedDiagnostics {
    uint32_t version;
    D3DADAPTER_IDENTIFIER9 adapter;
    Diagnostics answer;
};
static const uint32_t kDiagnosticsVersion = 1;
static RememberedDiagnostics g_remembered;

static bool diagnostics_file(wchar_t *path)
{
    DWORD n = GetTempPathW(MAX_PATH, path);
    return n > 0 && n < MAX_PATH - 40 && lstrcatW(path, L"trvx-d3d9-diagnostics.cache");
}

// The adapter's identity as the driver reports it, without whatever its text fields hold past their
// terminators (which differs from call to call).
static D3DADAPTER_IDENTIFIER9 adapter_identity(const D3DADAPTER_IDENTIFIER9 &reported)
{
    D3DADAPTER_IDENTIFIER9 id;
    memset(&id, 0, sizeof id);
    lstrcpynA(id.Driver, reported.Driver, sizeof id.Driver);
    lstrcpynA(id.Description, reported.Description, sizeof id.Description);
    lstrcpynA(id.DeviceName, reported.DeviceName, sizeof id.DeviceName);
    id.DriverVersion = reported.DriverVersion;
    id.VendorId = reported.VendorId;
    id.DeviceId = reported.DeviceId;
    id.SubSysId = reported.SubSysId;
    id.Revision = reported.Revision;
    id.DeviceIdentifier = reported.DeviceIdentifier;
    id.WHQLLevel = reported.WHQLLevel;
    return id;
}

static bool remembered(const D3DADAPTER_IDENTIFIER9 &adapter, Diagnostics *answer)
{
    auto matches = [&adapter](const RememberedDiagnostics &r) {
        return r.version == kDiagnosticsVersion && memcmp(&r.adapter, &adapter, sizeof adapter) == 0;
    };
    if (!matches(g_remembered)) {
        wchar_t path[MAX_PATH];
        RememberedDiagnostics kept;
        DWORD got = 0;
        HANDLE f = diagnostics_file(path) ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                                        FILE_ATTRIBUTE_NORMAL, NULL)
                                          : INVALID_HANDLE_VALUE;
        if (f == INVALID_HANDLE_VALUE)
            return false;
        bool read = ReadFile(f, &kept, sizeof kept, &got, NULL) && got == sizeof kept && GetFileSize(f, NULL) == sizeof kept;
        CloseHandle(f);
        if (!read || !matches(kept))
            return false;
        kept.answer.chip[ARRAYSIZE(kept.answer.chip) - 1] = 0;
        g_remembered = kept;
    }
    *answer = g_remembered.answer;
    return true;
}

// Written aside and moved into place, so that a reader never meets half a file.
static void remember(const D3DADAPTER_IDENTIFIER9 &adapter, const Diagnostics &answer)
{
    g_remembered = RememberedDiagnostics{kDiagnosticsVersion, adapter, answer};
    wchar_t path[MAX_PATH], partial[MAX_PATH + 16];
    if (!diagnostics_file(path))
        return;
    _snwprintf(partial, ARRAYSIZE(partial), L"%ls.%lu", path, GetCurrentProcessId());
    partial[ARRAYSIZE(partial) - 1] = 0;
    HANDLE f = CreateFileW(partial, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    bool whole = WriteFile(f, &g_remembered, sizeof g_remembered, &written, NULL) && written == sizeof g_remembered;
    CloseHandle(f);
    if (!whole || !MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING))
        DeleteFileW(partial);
}

void d3d9_record_diagnostics(tagTRVX *ctx, UINT adapter, tagTRVXGRAPHICS *caps)
{
    D3DADAPTER_IDENTIFIER9 id = {};
    bool identified = SUCCEEDED(g_d3d9.d3d->GetAdapterIdentifier(adapter, 0, &id));
    Diagnostics answer;
    D3DADAPTER_IDENTIFIER9 identity = adapter_identity(id);
    if (!identified || !remembered(identity, &answer)) {
        answer = query_diagnostics();
        if (identified)
            remember(identity, answer);
    }
    if (answer.chip[0])
        lstrcpynW(ctx->systemInfo.adapter, answer.chip, 80);
    if (answer.videoMemoryMB)
        caps->videoMemoryMB = answer.videoMemoryMB;
    // Without a chip name from the provider the adapter's own description stands in.
    if (!ctx->systemInfo.adapter[0] && identified)
        MultiByteToWideChar(CP_ACP, 0, id.Description, -1, ctx->systemInfo.adapter, 80);
    ctx->systemInfo.adapter[79] = 0;
}
