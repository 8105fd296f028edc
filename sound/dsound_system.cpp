// sonra's start and end on DirectSound, device capabilities, record clearing and message boxes.
#include "dsound_local.h"
#include "trvx_profile_win32.h"

#include <string.h>

Sonra g_snd;

static const wchar_t kClassName[] = L"SONRA";

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_snd.instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

static HINSTANCE module_instance()
{
    // linked into a program rather than loaded as the DLL, the program is the module
    return g_snd.instance ? g_snd.instance : GetModuleHandleW(nullptr);
}

static LRESULT CALLBACK hidden_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY)
        return 0;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void show_message(int id, const wchar_t *path)
{
    wchar_t text[512], shown[512 + SNR2_PATH_UNITS];
    if (LoadStringW(module_instance(), (UINT)id, text, 512) <= 0)
        return;
    // splice the path in for "%s" ourselves: a path is data, never a format
    size_t n = 0;
    for (const wchar_t *t = text; *t && n < 511; ++t) {
        if (t[0] == L'%' && t[1] == L's') {
            for (size_t i = 0; path && path[i] && i < SNR2_PATH_UNITS - 1; ++i)
                shown[n++] = path[i];
            ++t;
        } else {
            shown[n++] = *t;
        }
    }
    shown[n] = 0;
    MessageBoxW(g_snd.owner, shown, L"SONRA", MB_ICONEXCLAMATION);
}

bool buffer_playing(IDirectSoundBuffer *b)
{
    DWORD status = 0;
    return b && SUCCEEDED(b->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

static void reset_slot_tables()
{
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        Slot *s = &g_snd.slots[i];
        CRITICAL_SECTION lock = s->lock;
        memset(s, 0, sizeof *s);
        s->lock = lock;
        s->localVolume = 100;
        s->minDistance = 100.0f;
        s->maxDistance = 10000.0f;
    }
    memset(&g_snd.masterFade, 0, sizeof g_snd.masterFade);
    memset(&g_snd.waveMasterFade, 0, sizeof g_snd.waveMasterFade);
    g_snd.masterFadeActive = g_snd.waveMasterFadeActive = 0;
    g_snd.activeFades = 0;
}

// Releases what a start made, in reverse order; safe from any point of SNR2_Start.
static void release_device()
{
    release(g_snd.listener.hw);
    release(g_snd.primary);
    release(g_snd.device);
    if (g_snd.hidden) {
        DestroyWindow(g_snd.hidden);
        g_snd.hidden = nullptr;
    }
    if (g_snd.comStarted) {
        CoUninitialize();
        g_snd.comStarted = 0;
    }
}

SNR2_API int WINAPI SNR2_Start(HWND owner, DWORD flags)
{
    if (g_snd.started)
        return 1;
    trvx_profile_mark("sound.begin");
    g_snd.comStarted = SUCCEEDED(CoInitialize(nullptr));

    WNDCLASSW wc = {};
    wc.lpfnWndProc = hidden_proc;
    wc.hInstance = module_instance();
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly when a previous start registered it
    g_snd.hidden = CreateWindowExW(0, kClassName, kClassName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   module_instance(), nullptr);

    memset(&g_snd.caps, 0, sizeof g_snd.caps);
    g_snd.level = (flags & 3) == 1 ? DEVICE_LEVEL6 : DEVICE_LEVEL8;
    HRESULT hr = DirectSoundCreate8(nullptr, &g_snd.device, nullptr);
    if (FAILED(hr)) {
        g_snd.device = nullptr;
        release_device();
        return (int)hr;
    }
    hr = g_snd.device->SetCooperativeLevel(g_snd.hidden, DSSCL_EXCLUSIVE);
    if (FAILED(hr)) {
        release_device();
        return (int)hr;
    }
    DSCAPS caps = {};
    caps.dwSize = sizeof caps;
    bool hw3d = false;
    if (SUCCEEDED(g_snd.device->GetCaps(&caps))) {
        hw3d = caps.dwMaxHw3DAllBuffers != 0;
        g_snd.caps.hardware3D = hw3d ? 1 : 2;
        g_snd.caps.minRate = (int32_t)caps.dwMinSecondarySampleRate;
        g_snd.caps.maxRate = (int32_t)caps.dwMaxSecondarySampleRate;
    }

    bool focus = (flags & SNR2_START_FOCUS) != 0;
    g_snd.baseFlags = DSBCAPS_CTRLVOLUME | (focus ? 0 : DSBCAPS_GLOBALFOCUS);
    g_snd.streamFocus = focus ? 0 : DSBCAPS_GLOBALFOCUS;
    DWORD primaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    DWORD mode = (flags >> 6) & 3;
    if (mode == 1 && hw3d) {
        g_snd.baseFlags |= DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
        g_snd.mode3d = MODE3D_HARDWARE;
        primaryFlags |= DSBCAPS_CTRL3D;
    } else if (mode == 1 || mode == 2) {
        g_snd.baseFlags |= DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
        g_snd.mode3d = MODE3D_SOFTWARE;
    } else {
        g_snd.baseFlags |= DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
        g_snd.mode3d = MODE3D_NONE;
    }

    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = primaryFlags;
    if (FAILED(g_snd.device->CreateSoundBuffer(&desc, &g_snd.primary, nullptr))) {
        g_snd.primary = nullptr;
        release_device();
        return 0;
    }
    if (g_snd.mode3d == MODE3D_HARDWARE &&
        FAILED(g_snd.primary->QueryInterface(IID_IDirectSound3DListener, (void **)&g_snd.listener.hw))) {
        g_snd.listener.hw = nullptr;
        g_snd.mode3d = MODE3D_SOFTWARE;
    }
    SNR2_3DListenerInit();

    static const DWORD rates[4] = {44100, 22050, 11025, 0};
    static const WORD bits[4] = {16, 8, 0, 0};
    WAVEFORMATEX wf = {};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = 2;
    wf.nSamplesPerSec = rates[(flags >> 4) & 3];
    wf.wBitsPerSample = bits[(flags >> 2) & 3];
    wf.nBlockAlign = (WORD)(2 * wf.wBitsPerSample / 8);
    wf.nAvgBytesPerSec = wf.nBlockAlign * wf.nSamplesPerSec;
    g_snd.primary->SetFormat(&wf);  // a refused format leaves the device's own
    trvx_profile_mark("sound.device");

    g_snd.owner = owner;
    reset_slot_tables();
    g_snd.waveMaster = 100;
    g_snd.master = 100;
    snd::build_level_tables(&g_snd.tables);
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        InitializeCriticalSection(&g_snd.slots[i].lock);
        SNR2_WaveSetLocalVol(i, 100);
    }

    LARGE_INTEGER frequency;
    g_snd.useCounter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
    g_snd.counterFrequency = g_snd.useCounter ? frequency.QuadPart : 0;
    g_snd.worstLeadMs = UINT32_MAX;
    g_snd.control = CONTROL_RUNNING;
    g_snd.started = 1;
    g_snd.worker = CreateThread(nullptr, 0, worker_main, (void *)&g_snd.control, 0, nullptr);
    trvx_profile_mark("sound.started");
    return 1;
}

SNR2_API void WINAPI SNR2_End(void)
{
    if (!g_snd.started)
        return;
    SNR2_WaveStop(-1);
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        Slot *s = &g_snd.slots[i];
        EnterCriticalSection(&s->lock);
        Channel *chans[2] = {&s->ch, &s->sub};
        for (Channel *c : chans) {
            release(c->buffer3d);
            release(c->buffer8);
            release(c->main);
            release(c->copy);
            c->source = nullptr;
        }
        LeaveCriticalSection(&s->lock);
    }
    Sleep(100);
    if (g_snd.worker) {
        // a worker that already ended (a quit message) has written 100 and waits for nothing
        if (InterlockedCompareExchange(&g_snd.control, CONTROL_END, CONTROL_RUNNING) == CONTROL_RUNNING)
            while (g_snd.control == CONTROL_END && WaitForSingleObject(g_snd.worker, 10) == WAIT_TIMEOUT) {
            }
        WaitForSingleObject(g_snd.worker, 1000);
        CloseHandle(g_snd.worker);
        g_snd.worker = nullptr;
    }
    g_snd.started = 0;
    for (int i = 0; i < SNR2_SLOTS; ++i)
        DeleteCriticalSection(&g_snd.slots[i].lock);
    release_device();
}

SNR2_API int WINAPI SNR2_GetCaps(tagSNRCAPS *caps)
{
    if (!g_snd.started || !caps)
        return 0;
    *caps = g_snd.caps;
    return 1;
}

SNR2_API void WINAPI SNR2_Clear(tagSNRWAVE *wave)
{
    if (!wave)
        return;
    if (wave->channels == 1 || wave->channels == 2)
        SNR2_WaveFree(wave);
    else if (wave->channels > 32)
        memset(wave, 0, sizeof *wave);
}
