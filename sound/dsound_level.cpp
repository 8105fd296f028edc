// Levels on DirectSound buffers: local, direct, wave-master and master volume, pitch, pan, and
// the set-up of fades that the worker carries out.
#include "dsound_local.h"

static LONG slot_level(int percent)
{
    return g_snd.tables.mix[snd::clamp_percent(g_snd.waveMaster)][snd::clamp_percent(percent)];
}

// Sets value on the slot's sounding buffers; 1 when the last change made succeeded (or none was made).
static int apply_level(Slot *s, LONG value)
{
    int ok = 1;
    IDirectSoundBuffer *bufs[2] = {s->ch.main, s->ch.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (buffer_playing(b))
            ok = SUCCEEDED(b->SetVolume(value));
    return ok;
}

// The reference rate of a slot's pitch: its wave's rate, or a stream's own rate.
static uint32_t slot_rate(const Slot *s)
{
    if (s->stream.state.dataSize)
        return s->stream.rate;
    return s->wave ? s->wave->samplesPerSec : 0;
}

SNR2_API int WINAPI SNR2_WaveSetLocalVol(int slot, int percent)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    s->localVolume = snd::clamp_percent(percent);
    s->volumeValue = slot_level(s->localVolume);
    int ok = apply_level(s, s->volumeValue);
    LeaveCriticalSection(&s->lock);
    return ok;
}

SNR2_API int WINAPI SNR2_WaveSetLocalVolDirect(int slot, int percent)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    int ok = apply_level(s, slot_level(percent));
    LeaveCriticalSection(&s->lock);
    return ok;
}

SNR2_API int WINAPI SNR2_WaveGetLocalVol(int slot)
{
    return slot_valid(slot) ? g_snd.slots[slot].localVolume : 0;
}

SNR2_API void WINAPI SNR2_WaveSetMasterVol(int percent)
{
    g_snd.waveMaster = snd::clamp_percent(percent);
    if (!g_snd.started)
        return;
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        Slot *s = &g_snd.slots[i];
        if (s->loops == 0)
            continue;
        EnterCriticalSection(&s->lock);
        SNR2_WaveSetLocalVol(i, s->localVolume);
        LeaveCriticalSection(&s->lock);
    }
}

SNR2_API int WINAPI SNR2_WaveGetMasterVol(void) { return g_snd.waveMaster; }

SNR2_API void WINAPI SNR2_SetMasterVol(int percent)
{
    g_snd.master = snd::clamp_percent(percent);
    if (g_snd.primary)
        g_snd.primary->SetVolume(g_snd.tables.volume[g_snd.master]);
}

SNR2_API int WINAPI SNR2_GetMasterVol(void)
{
    LONG v = 0;
    if (!g_snd.primary || FAILED(g_snd.primary->GetVolume(&v)))
        return 0;
    return snd::percent_from_level(g_snd.tables.volume, v);
}

SNR2_API int WINAPI SNR2_WaveSetPitch(int slot, int percent)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    int previous = s->pitch;
    uint32_t frequency = snd::pitch_to_frequency(slot_rate(s), (uint32_t)percent);
    IDirectSoundBuffer *bufs[2] = {s->ch.main, s->ch.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (b) {
            s->pitch = percent;
            b->SetFrequency(frequency);
        }
    LeaveCriticalSection(&s->lock);
    return previous;
}

SNR2_API int WINAPI SNR2_WaveSetPitchDirect(int slot, int frequency)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    DWORD before = 0;
    if (s->ch.main)
        s->ch.main->GetFrequency(&before);
    IDirectSoundBuffer *bufs[2] = {s->ch.main, s->ch.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (b) {
            s->pitch = (int)snd::frequency_to_pitch(slot_rate(s), (uint32_t)frequency);
            b->SetFrequency((DWORD)frequency);
        }
    LeaveCriticalSection(&s->lock);
    return (int)before;
}

SNR2_API int WINAPI SNR2_WaveGetPitch(int slot, int *percent)
{
    DWORD frequency = 0;
    if (slot_valid(slot) && g_snd.started) {
        Slot *s = &g_snd.slots[slot];
        EnterCriticalSection(&s->lock);
        IDirectSoundBuffer *b = s->ch.main ? s->ch.main : s->ch.copy;
        if (b && FAILED(b->GetFrequency(&frequency)))
            frequency = 0;
        if (percent)
            *percent = b ? (int)snd::frequency_to_pitch(slot_rate(s), frequency) : 0;
        LeaveCriticalSection(&s->lock);
    } else if (percent) {
        *percent = 0;
    }
    return (int)frequency;
}

SNR2_API void WINAPI SNR2_WaveSetPan(int slot, int pan)
{
    if (!slot_valid(slot) || !g_snd.started)
        return;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    LONG value = snd::clamp_pan(pan) * 100;
    IDirectSoundBuffer *bufs[2] = {s->ch.main, s->ch.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (b)
            b->SetPan(value);
    LeaveCriticalSection(&s->lock);
}

SNR2_API int WINAPI SNR2_WaveGetPan(int slot)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    LONG value = 0;
    IDirectSoundBuffer *b = s->ch.main ? s->ch.main : s->ch.copy;
    if (!b || FAILED(b->GetPan(&value)))
        value = 0;
    LeaveCriticalSection(&s->lock);
    return (int)(value / 100);
}

SNR2_API int WINAPI SNR2_WaveFade(int slot, int target, int time)
{
    if (!slot_valid(slot))
        return -1;
    Slot *s = &g_snd.slots[slot];
    int start = s->localVolume;
    if (!g_snd.started)
        return start;
    EnterCriticalSection(&s->lock);
    if (!s->fadeActive) {
        InterlockedIncrement(&g_snd.activeFades);
        s->fadeActive = 1;
    }
    s->fade.duration = time > 0 ? time : 0;
    s->fade.start = worker_clock();
    s->fade.target = target;
    s->fade.delta = target - start;
    LeaveCriticalSection(&s->lock);
    return start;
}

static void start_countdown(snd::CountdownFade *f, int *active, int from, int target, int time)
{
    f->remaining = f->duration = time > 0 ? time : 0;
    f->target = target;
    f->delta = from - target;
    *active = 1;
}

SNR2_API void WINAPI SNR2_MasterFade(int target, int time)
{
    start_countdown(&g_snd.masterFade, &g_snd.masterFadeActive, g_snd.master, target, time);
}

SNR2_API void WINAPI SNR2_WaveMasterFade(int target, int time)
{
    start_countdown(&g_snd.waveMasterFade, &g_snd.waveMasterFadeActive, g_snd.waveMaster, target, time);
}
