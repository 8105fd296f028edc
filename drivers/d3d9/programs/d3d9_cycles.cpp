// vdr_d3d9_cycles: memory that stays behind when the engine is started and ended again and again in
// one process, as the viewer does at every display-mode change. Each cycle starts the engine with
// this driver, reads the aircraft and the airport, draws five frames and ends the engine; beside it,
// the platform's own share: a bare Direct3D 9 device made and released the same way.
//
//   vdr_d3d9_cycles [--cycles N] [--what engine|empty|bare] [--keep DLL,DLL...]
//
// N is at least 20 (30 by default). "empty" starts and ends the engine without reading models.
// --keep loads the named DLLs once before the cycles, so that what their loading and freeing at every
// start and end costs is left out. Prints "cycle <n> data_kB <VmData> private_kB <committed private
// memory> threads <n>" per cycle and the growth per cycle of both over the second half of the cycles
// (the first ones fill caches made once). VmData is read from the Linux side: a Wine process's
// /proc/self is the Wine server, so the process finds its own entry by a tag in its command line.
#include "d3d9_program_support.h"

#include <d3d9.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The unix process whose command line holds `tag`, as "Z:\proc\<pid>\status", or "" when none.
std::string own_status_path(const char *tag)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    std::string found;
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do {
        if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9')
            continue;
        std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        HANDLE f = CreateFileA((dir + "\\cmdline").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        char text[4096];
        DWORD got = 0;
        ReadFile(f, text, sizeof text - 1, &got, NULL);
        CloseHandle(f);
        for (DWORD i = 0; i < got; ++i)
            text[i] = text[i] ? text[i] : ' ';
        text[got] = 0;
        if (strstr(text, tag)) {
            found = dir + "\\status";
            break;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// VmData of the process in kB, or -1.
long data_kb(const std::string &statusPath)
{
    HANDLE f = CreateFileA(statusPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return -1;
    char text[8192];
    DWORD got = 0;
    ReadFile(f, text, sizeof text - 1, &got, NULL);
    CloseHandle(f);
    text[got] = 0;
    const char *line = strstr(text, "VmData:");
    return line ? atol(line + 7) : -1;
}

// Committed private memory seen from the Windows side (heaps, Direct3D's resources), in kB; the
// Linux side's figure also holds what the GL library keeps for itself.
long private_kb()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char *at = 0; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = (const char *)region.BaseAddress + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if ((const char *)region.BaseAddress + region.RegionSize < at)
            break;
    }
    return (long)(total / 1024);
}

// Threads of this process: a thread left running by a start would keep its stack.
int thread_count()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {sizeof entry};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// Growth per cycle between the lowest values of the first and the last five cycles of the second
// half: the allocator hands whole arenas back and takes them again, and a passing thread lifts a
// single cycle, so the low points are what stays.
double growth(const std::vector<long> &values, size_t from)
{
    const size_t window = 5, last = values.size() - window;
    long early = *std::min_element(values.begin() + from, values.begin() + from + window);
    long late = *std::min_element(values.begin() + last, values.end());
    return (double)(late - early) / (double)(last - from);
}

bool engine_cycle(HWND window, bool withScene)
{
    RECT view = {0, 0, 640, 400};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    if (!ctx)
        return false;
    TRVXLAYER root = TRVXL_SearchLayer(ctx, 0, NULL);
    if (withScene) {
        TRVXL_ReadLayer(ctx, root, L"plane\\hx21ank\\hx21ank.tvm");
        TRVXL_ReadLayer(ctx, root, L"port\\rjbh\\rjbh.tvm");
    }
    tagTRVXCAMERA camera = {};
    TRVX_Set3D(&camera.eye, 0, 60, 150, 0);
    TRVX_Set3D(&camera.up, 0, 1, 0, 0);
    camera.lens = 50;
    camera.farZ = 20000;
    TRVX_SetCamera(ctx, &camera);
    for (int frame = 0; frame < 5; ++frame) {
        TRVXL_CalcLayer(ctx, root);
        TRVX_Rendering(ctx, 0, root, 0x404040);
        TRVX_FlipViewPort(ctx, 0);
        TRVX_SystemTask(ctx);
    }
    return TRVX_End(ctx) != 0;
}

bool bare_cycle(HWND window)
{
    IDirect3D9 *d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return false;
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_COPY;
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.hDeviceWindow = window;
    IDirect3DDevice9 *device = NULL;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                   &pp, &device);
    if (SUCCEEDED(hr)) {
        for (int frame = 0; frame < 5; ++frame) {
            device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x404040, 1.0f, 0);
            device->Present(NULL, NULL, NULL, NULL);
        }
        device->Release();
    }
    d3d->Release();
    return SUCCEEDED(hr);
}

} // namespace

int main(int argc, char **argv)
{
    int cycles = 30;
    std::string what = "engine";
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--cycles") && i + 1 < argc)
            cycles = atoi(argv[++i]) >= 20 ? atoi(argv[i]) : cycles;
        else if (!strcmp(argv[i], "--what") && i + 1 < argc)
            what = argv[++i];
        else if (!strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = argv[++i];
    }
    char tag[64];
    snprintf(tag, sizeof tag, "--tag=%lu-%lu", GetCurrentProcessId(), GetTickCount());
    // The tag must be in this process's own command line: start again with it.
    if (!strstr(GetCommandLineA(), "--tag=")) {
        std::string line = std::string(GetCommandLineA()) + " " + tag;
        STARTUPINFOA si = {sizeof si};
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
            return 1;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        return (int)code;
    }
    const char *ownTag = strstr(GetCommandLineA(), "--tag=");
    std::string statusPath = own_status_path(std::string(ownTag, strcspn(ownTag, " \"")).c_str());
    if (statusPath.empty()) {
        fprintf(stderr, "vdr_d3d9_cycles: cannot find this process under /proc\n");
        return 1;
    }
    for (size_t at = 0; at < keep.size();) {
        size_t end = keep.find(',', at);
        std::string name = keep.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!LoadLibraryA(name.c_str()))
            fprintf(stderr, "vdr_d3d9_cycles: cannot load %s\n", name.c_str());
        at = end == std::string::npos ? keep.size() : end + 1;
    }
    HWND window = open_program_window(L"vdr_d3d9 cycles", 640, 400);
    std::vector<long> data, privates;
    for (int i = 0; i < cycles; ++i) {
        bool ok = what == "bare" ? bare_cycle(window) : engine_cycle(window, what != "empty");
        program_window_open(window);
        if (!ok) {
            fprintf(stderr, "vdr_d3d9_cycles: cycle %d failed\n", i + 1);
            return 1;
        }
        data.push_back(data_kb(statusPath));
        privates.push_back(private_kb());
        printf("cycle %d data_kB %ld private_kB %ld threads %d\n", i + 1, data.back(), privates.back(),
               thread_count());
    }
    printf("what %s keep %s\n", what.c_str(), keep.empty() ? "-" : keep.c_str());
    printf("growth_kB_per_cycle %.1f private_growth_kB_per_cycle %.1f\n", growth(data, cycles / 2),
           growth(privates, cycles / 2));
    DestroyWindow(window);
    return 0;
}
