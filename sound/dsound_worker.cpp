// sonra's worker thread: every 100/3 ms it advances fades, replays counted sounds and refills
// stream ring buffers on DirectSound. The arithmetic lives in snd_math and snd_stream.
#include "dsound_local.h"

#include <string.h>

int64_t worker_clock(void)
{
    if (g_snd.useCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return snd::counter_ms(0, now.QuadPart, g_snd.counterFrequency);
    }
    return (int64_t)timeGetTime();
}

static void fade_step(Slot *s, int slot, int32_t dtMs, int64_t now)
{
    bool reached;
    if (s->subFadeActive) {
        int32_t v = snd::countdown_fade_step(&s->subFade, dtMs, &reached);
        if (set_sub_volume(s, v) && reached) {
            s->subFadeActive = 0;
            InterlockedDecrement(&g_snd.activeFades);
        }
    }
    if (s->fadeActive) {
        int32_t v = snd::slot_fade_value(&s->fade, now - s->fade.start, &reached);
        if (SNR2_WaveSetLocalVol(slot, v) && reached) {
            s->fadeActive = 0;
            s->fade.duration = 0;
            s->fade.start = 0;
            InterlockedDecrement(&g_snd.activeFades);
        }
    }
}

static void master_fade_step(int32_t dtMs)
{
    bool reached;
    if (g_snd.masterFadeActive) {
        int v = snd::clamp_percent(snd::countdown_fade_step(&g_snd.masterFade, dtMs, &reached));
        SNR2_SetMasterVol(v);
        if (reached)
            g_snd.masterFadeActive = 0;
    }
    if (g_snd.waveMasterFadeActive) {
        int v = snd::countdown_fade_step(&g_snd.waveMasterFade, dtMs, &reached);
        SNR2_WaveSetMasterVol(v);
        if (reached)
            g_snd.waveMasterFadeActive = 0;
    }
}

// A counted sound that has stopped plays again while plays are left.
static void repeat_step(Slot *s)
{
    // a looping buffer stops only by a pause, which clears the flag: no need to ask the device
    if (s->looping)
        return;
    IDirectSoundBuffer *b = s->ch.main ? s->ch.main : s->ch.copy;
    if (!b || buffer_playing(b))
        return;
    s->loops = s->loops - 1;
    if (s->loops != 0)
        b->Play(0, 0, 0);
}

struct RefillTarget {
    HANDLE file;
    uint32_t dataStart;
    uint8_t *region;       // the locked quarter
    uint32_t regionStart;  // its ring offset
};

static void refill_copy(void *user, uint32_t dataOffset, uint32_t ringOffset, uint32_t bytes)
{
    RefillTarget *t = (RefillTarget *)user;
    uint8_t *dst = t->region + (ringOffset - t->regionStart);
    if (!read_at(t->file, (uint64_t)t->dataStart + dataOffset, dst, bytes))
        memset(dst, 0, bytes);
}

// Refills the quarter that playback has just left; stops the ring once a finite stream has played out.
static void stream_step(Slot *s)
{
    IDirectSoundBuffer *ring = s->ch.main;
    DWORD play = 0, write = 0;
    if (!ring || FAILED(ring->GetCurrentPosition(&play, &write)))
        return;
    snd::StreamState *st = &s->stream.state;
    if (st->draining && snd::stream_drain_done(st, play)) {
        ring->Stop();
        memset(&s->stream, 0, sizeof s->stream);
        return;
    }
    if (!snd::stream_quarter_due(st, play))
        return;
    uint32_t lead = snd::stream_lead_bytes(st, play);
    uint32_t leadMs = (uint32_t)((uint64_t)lead * 1000 / st->quarter);
    if (leadMs < g_snd.worstLeadMs)
        g_snd.worstLeadMs = leadMs;

    void *p1, *p2;
    DWORD n1, n2;
    if (FAILED(ring->Lock(st->writeOffset, st->quarter, &p1, &n1, &p2, &n2, 0)))
        return;
    if (!snd::stream_quarter_is_whole(st, s->loops))
        memset(p1, 0, n1);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (s->loops != 0)
        file = CreateFileW(s->stream.file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    RefillTarget t = {file, s->stream.dataStart, (uint8_t *)p1, st->writeOffset};
    int32_t loops = s->loops;
    snd::stream_fill_quarter(st, &loops, play, refill_copy, &t);
    s->loops = loops;
    ring->Unlock(p1, n1, p2, n2);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

static void sounds_step()
{
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        Slot *s = &g_snd.slots[i];
        if (s->loops == 0 && !s->stream.state.draining)
            continue;
        EnterCriticalSection(&s->lock);
        if (s->stream.state.dataSize)
            stream_step(s);
        else if (s->loops != 0)
            repeat_step(s);
        LeaveCriticalSection(&s->lock);
    }
}

DWORD WINAPI worker_main(void *arg)
{
    volatile LONG *control = (volatile LONG *)arg;
    int64_t previous = worker_clock();
    g_snd.clockNow = previous;
    snd::Pacing pacing = {0.0f};
    bool work = false, quit = false;
    int32_t dt = 0;
    for (;;) {
        if (work) {
            if (g_snd.activeFades > 0)
                for (int i = 0; i < SNR2_SLOTS; ++i) {
                    Slot *s = &g_snd.slots[i];
                    EnterCriticalSection(&s->lock);
                    fade_step(s, i, dt, g_snd.clockNow);
                    LeaveCriticalSection(&s->lock);
                }
            master_fade_step(dt);
            sounds_step();
        }
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = true;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        int64_t now = worker_clock();
        // the millisecond clock wraps after 49 days: differences are taken in 32 bits
        dt = g_snd.useCounter ? (int32_t)(now - previous) : (int32_t)(uint32_t)(now - previous);
        previous = now;
        g_snd.clockNow = now;
        uint32_t sleepMs = 0;
        work = snd::pacing_step(&pacing, (uint32_t)dt, &sleepMs);
        if (sleepMs)
            Sleep(sleepMs);
        if (*control == CONTROL_END || quit) {
            *control = CONTROL_ENDED;
            return 0;
        }
    }
}
