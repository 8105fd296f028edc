// Playback on sonra's 128 slots with DirectSound buffers: slot buffers (duplicates and private
// copies), plain, effect and streamed plays, cross-fades, stop, pause and status.
#include "dsound_local.h"

#include <string.h>

static const GUID *const kEffects[6] = {
    &GUID_DSFX_STANDARD_CHORUS, &GUID_DSFX_STANDARD_COMPRESSOR, &GUID_DSFX_STANDARD_DISTORTION,
    &GUID_DSFX_STANDARD_ECHO,   &GUID_DSFX_STANDARD_FLANGER,    &GUID_DSFX_STANDARD_GARGLE,
};

static void release_channel(Channel *c)
{
    release(c->buffer3d);
    release(c->buffer8);
    release(c->main);
    release(c->copy);
    c->source = nullptr;
}

// A buffer of the slot's own holding a copy of the wave's samples, for effects and 3D.
static IDirectSoundBuffer *make_private_copy(const tagSNRWAVE *wave, bool with3d)
{
    DWORD flags = g_snd.baseFlags | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFX;
    if (with3d)
        flags |= DSBCAPS_CTRL3D;
    if (wave->channels != 1)
        flags &= ~(DWORD)DSBCAPS_CTRL3D;
    WAVEFORMATEX wf;
    memcpy(&wf, wave, 16);
    wf.cbSize = 0;
    IDirectSoundBuffer *b = create_buffer(flags, wave->dataSize, &wf);
    if (b && !copy_buffer(b, 0, wave->buffer)) {
        b->Release();
        b = nullptr;
    }
    return b;
}

static IDirectSoundBuffer *duplicate(IDirectSoundBuffer *b)
{
    IDirectSoundBuffer *d = nullptr;
    if (FAILED(g_snd.device->DuplicateSoundBuffer(b, &d)))
        return nullptr;
    return d;
}

void forget_wave_buffer(IDirectSoundBuffer *b)
{
    if (!b || !g_snd.started)
        return;
    for (Slot &s : g_snd.slots) {
        EnterCriticalSection(&s.lock);
        if (s.ch.source == b)
            s.ch.source = nullptr;
        if (s.sub.source == b)
            s.sub.source = nullptr;
        LeaveCriticalSection(&s.lock);
    }
}

void clear_stream(Slot *s)
{
    EnterCriticalSection(&s->lock);
    memset(&s->stream, 0, sizeof s->stream);
    LeaveCriticalSection(&s->lock);
}

IDirectSoundBuffer *slot_buffer(Slot *s, tagSNRWAVE *wave, PlayMode mode)
{
    restore_if_lost(wave);
    EnterCriticalSection(&s->lock);
    bool hw3d = mode == PLAY_3D && g_snd.mode3d == MODE3D_HARDWARE;
    Channel *c = &s->ch;
    if (c->main) {
        if (buffer_playing(c->main))
            c->main->Stop();
        if (mode == PLAY_PLAIN && c->source == wave->buffer && !s->stream.state.dataSize) {
            LeaveCriticalSection(&s->lock);
            return c->main;
        }
        release_channel(c);
        memset(&s->stream, 0, sizeof s->stream);
    } else if (c->copy) {
        if (buffer_playing(c->copy))
            c->copy->Stop();
        if (c->source == wave->buffer) {
            // kept in every mode, so a plain play after an effect play keeps the effects
            LeaveCriticalSection(&s->lock);
            return c->copy;
        }
        release_channel(c);
    }
    if (mode == PLAY_PLAIN)
        c->main = duplicate(wave->buffer);
    if (!c->main)
        c->copy = make_private_copy(wave, hw3d);
    LeaveCriticalSection(&s->lock);
    return c->main ? c->main : c->copy;
}

static void take_buffer8(Channel *c, IDirectSoundBuffer *b)
{
    if (g_snd.level == DEVICE_LEVEL8 && !c->buffer8 && b &&
        FAILED(b->QueryInterface(IID_IDirectSoundBuffer8, (void **)&c->buffer8)))
        c->buffer8 = nullptr;
}

SNR2_API int WINAPI SNR2_WavePlay(int slot, tagSNRWAVE *wave, int count)
{
    if (count == 0 || !wave || !wave->buffer || !slot_valid(slot) || !g_snd.started)
        return -1;
    Slot *s = &g_snd.slots[slot];
    IDirectSoundBuffer *b = slot_buffer(s, wave, PLAY_PLAIN);
    if (b) {
        b->SetCurrentPosition(0);
        b->SetVolume(s->volumeValue);
        b->Play(0, 0, count == -1 ? DSBPLAY_LOOPING : 0);
    }
    EnterCriticalSection(&s->lock);
    // without a buffer nothing plays and there is nothing for the worker to repeat
    s->loops = b ? count : 0;
    s->looping = count == -1;
    take_buffer8(&s->ch, b);
    s->ch.source = wave->buffer;
    s->wave = wave;
    s->is3d = 0;
    LeaveCriticalSection(&s->lock);
    return count;
}

SNR2_API int WINAPI SNR2_WaveEffectPlay(int slot, tagSNRWAVE *wave, int count, DWORD effects)
{
    if (count == 0 || !wave || !wave->buffer || !slot_valid(slot) || !g_snd.started)
        return -1;
    Slot *s = &g_snd.slots[slot];
    IDirectSoundBuffer *b = slot_buffer(s, wave, PLAY_EFFECT);
    if (b)
        b->SetCurrentPosition(0);
    EnterCriticalSection(&s->lock);
    take_buffer8(&s->ch, b);
    DSEFFECTDESC desc[6];
    DWORD n = 0;
    for (int bit = 0; bit < 6; ++bit)
        if (effects & (1u << bit)) {
            memset(&desc[n], 0, sizeof desc[n]);
            desc[n].dwSize = sizeof desc[n];
            desc[n].guidDSFXClass = *kEffects[bit];
            ++n;
        }
    DWORD results[6];
    if (b && s->ch.buffer8 && SUCCEEDED(s->ch.buffer8->SetFX(n, n ? desc : nullptr, n ? results : nullptr))) {
        b->SetVolume(s->volumeValue);
        b->Play(0, 0, count == 1 ? 0 : DSBPLAY_LOOPING);
        s->looping = count != 1;
    }
    s->ch.source = wave->buffer;
    s->wave = wave;
    LeaveCriticalSection(&s->lock);
    s->is3d = 0;
    return count;
}

struct RingFill {
    HANDLE file;
    uint32_t dataStart;
    uint8_t *ring;
};

static void ring_copy(void *user, uint32_t dataOffset, uint32_t ringOffset, uint32_t bytes)
{
    RingFill *f = (RingFill *)user;
    if (!read_at(f->file, (uint64_t)f->dataStart + dataOffset, f->ring + ringOffset, bytes))
        memset(f->ring + ringOffset, 0, bytes);  // a file cut short plays silence, not stale sound
}

SNR2_API int WINAPI SNR2_WaveStreamPlay(int slot, const wchar_t *path, int count)
{
    if (count == 0 || !slot_valid(slot) || !path || !g_snd.started)
        return 0;
    SoundFile f;
    if (!open_sound_file(path, &f)) {
        show_message(MSG_OPEN_STREAM, path);
        return 0;
    }
    Slot *s = &g_snd.slots[slot];
    SNR2_WaveStop(slot);
    EnterCriticalSection(&s->lock);
    release_channel(&s->ch);
    LeaveCriticalSection(&s->lock);

    snd::WaveHeader h;
    uint32_t quarter = 0;
    IDirectSoundBuffer *ring = nullptr;
    if (read_wave_header(&f, &h) && h.dataSize > 0 && h.formatTag == WAVE_FORMAT_PCM)
        quarter = snd::stream_quarter_bytes(h.blockAlign, h.rate);
    if (quarter) {
        WAVEFORMATEX wf;
        memcpy(&wf, h.format, 16);
        wf.cbSize = 0;
        ring = create_buffer(g_snd.streamFocus | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLPOSITIONNOTIFY |
                                 DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY,
                             quarter * snd::STREAM_QUARTERS, &wf);
    }
    void *p1, *p2;
    DWORD n1, n2;
    if (!ring || FAILED(ring->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) {
        if (ring)
            ring->Release();
        CloseHandle(f.handle);
        return 0;
    }
    Stream st;
    memset(&st, 0, sizeof st);
    wcscpy(st.file, f.file);
    st.dataStart = f.memberOffset + h.dataOffset;
    st.rate = h.rate;
    snd::stream_begin(&st.state, h.dataSize, quarter);
    // the first fill runs the refill plan over all four quarters, so a stream shorter than the
    // ring wraps (or ends in silence) exactly as later refills would
    int32_t loops = count;
    RingFill fill = {f.handle, st.dataStart, (uint8_t *)p1};
    for (int q = 0; q < snd::STREAM_QUARTERS; ++q) {
        if (!snd::stream_quarter_is_whole(&st.state, loops))
            memset((uint8_t *)p1 + st.state.writeOffset, 0, quarter);
        snd::stream_fill_quarter(&st.state, &loops, 0, ring_copy, &fill);
    }
    ring->Unlock(p1, n1, p2, n2);
    CloseHandle(f.handle);

    ring->SetCurrentPosition(0);
    EnterCriticalSection(&s->lock);
    s->ch.main = ring;
    s->stream = st;
    s->wave = nullptr;
    s->is3d = 0;
    ring->SetVolume(s->volumeValue);
    ring->Play(0, 0, DSBPLAY_LOOPING);
    s->loops = loops;
    LeaveCriticalSection(&s->lock);
    return 1;
}

SNR2_API int WINAPI SNR2_WaveNextPlay(int slot, tagSNRWAVE *wave, int count, int fadeTime)
{
    if (count == 0 || !wave || !wave->buffer || !slot_valid(slot))
        return 0;
    Slot *s = &g_snd.slots[slot];
    s->nextWave = wave;
    s->nextCount = count;
    s->nextFade = fadeTime;
    return 1;
}

static void end_fades(Slot *s)
{
    if (s->subFadeActive) {
        s->subFadeActive = 0;
        InterlockedDecrement(&g_snd.activeFades);
    }
    if (s->fadeActive) {
        s->fadeActive = 0;
        s->fade.duration = 0;
        s->fade.start = 0;
        InterlockedDecrement(&g_snd.activeFades);
    }
}

// Starts the secondary channel from its beginning at `percent` of the slot's volume scale.
static void start_sub(Slot *s, int percent)
{
    set_sub_volume(s, percent);
    IDirectSoundBuffer *b = s->sub.main ? s->sub.main : s->sub.copy;
    if (!b)
        return;
    if (!s->sub.main && s->sub.buffer3d) {
        s->sub.buffer3d->SetPosition(s->hwPosition[0], s->hwPosition[1], s->hwPosition[2], DS3D_DEFERRED);
        s->sub.buffer3d->SetMinDistance(s->minDistance, DS3D_DEFERRED);
        s->sub.buffer3d->SetMaxDistance(s->maxDistance, DS3D_DEFERRED);
    }
    // set before the start: a new buffer would start at full level
    b->SetVolume(g_snd.tables.mix[snd::clamp_percent(g_snd.waveMaster)][s->subVolume]);
    b->SetCurrentPosition(0);
    b->Play(0, 0, s->nextCount == -1 ? DSBPLAY_LOOPING : 0);
}

SNR2_API int WINAPI SNR2_WaveChangePlay(int slot, tagSNRWAVE *wave, int count, int fadeTime)
{
    if (count == 0 || !wave || !wave->buffer)
        return -1;
    if (!slot_valid(slot) || !g_snd.started)
        return 1;
    SNR2_WaveNextPlay(slot, wave, count, fadeTime);
    Slot *s = &g_snd.slots[slot];
    restore_if_lost(wave);
    EnterCriticalSection(&s->lock);
    release_channel(&s->sub);
    s->sub.source = wave->buffer;
    IDirectSoundBuffer *b = nullptr;
    if (s->ch.main) {
        b = s->sub.main = duplicate(wave->buffer);
        if (!b)
            b = s->sub.copy = make_private_copy(wave, false);
    } else if (s->ch.copy) {
        // the secondary copy carries 3D control exactly when the slot's own copy does
        b = s->sub.copy = make_private_copy(wave, s->ch.buffer3d != nullptr);
    }
    take_buffer8(&s->sub, b);
    if (b && s->ch.buffer3d && FAILED(b->QueryInterface(IID_IDirectSound3DBuffer, (void **)&s->sub.buffer3d)))
        s->sub.buffer3d = nullptr;
    LeaveCriticalSection(&s->lock);

    if (fadeTime <= 0) {
        // A cross-fade of no time is a plain switch: the new wave at once at the slot's level, the
        // old one silenced at once; the slot ends as a finished cross-fade leaves it.
        EnterCriticalSection(&s->lock);
        end_fades(s);
        start_sub(s, s->localVolume);
        SNR2_WaveSetLocalVol(slot, 0);
        LeaveCriticalSection(&s->lock);
        return 1;
    }
    SNR2_SubWavePlay(slot);
    EnterCriticalSection(&s->lock);
    if (!s->subFadeActive) {
        InterlockedIncrement(&g_snd.activeFades);
        s->subFadeActive = 1;
    }
    s->subFade.remaining = s->subFade.duration = fadeTime;
    s->subFade.target = s->localVolume;
    s->subFade.delta = s->subVolume - s->localVolume;
    LeaveCriticalSection(&s->lock);
    SNR2_WaveFade(slot, 0, fadeTime);
    return 1;
}

int set_sub_volume(Slot *s, int percent)
{
    s->subVolume = snd::clamp_percent(percent);
    LONG value = g_snd.tables.mix[snd::clamp_percent(g_snd.waveMaster)][s->subVolume];
    int ok = 1;
    IDirectSoundBuffer *bufs[2] = {s->sub.main, s->sub.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (buffer_playing(b))
            ok = SUCCEEDED(b->SetVolume(value));
    return ok;
}

SNR2_API void WINAPI SNR2_SubWavePlay(int slot)
{
    if (!slot_valid(slot) || !g_snd.started)
        return;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    if (s->nextFade != 0)
        start_sub(s, 0); // silent: the cross-fade raises it
    LeaveCriticalSection(&s->lock);
}

SNR2_API void WINAPI SNR2_WaveStop(int slot)
{
    if (slot == -1) {
        for (int i = 0; i < SNR2_SLOTS; ++i)
            SNR2_WaveStop(i);
        return;
    }
    if (!slot_valid(slot) || !g_snd.started)
        return;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    // the cross-fade's channel is stopped too: a stopped slot is silent
    IDirectSoundBuffer *bufs[4] = {s->ch.main, s->ch.copy, s->sub.main, s->sub.copy};
    for (IDirectSoundBuffer *b : bufs)
        if (b)
            b->Stop();
    if (s->stream.state.dataSize)
        memset(&s->stream, 0, sizeof s->stream);
    s->loops = 0;
    LeaveCriticalSection(&s->lock);
}

SNR2_API int WINAPI SNR2_WaveStatus(int slot)
{
    return slot_valid(slot) ? (int)g_snd.slots[slot].loops : 0;
}

SNR2_API void WINAPI SNR2_WavePause(int slot, int pause)
{
    if (slot == -1) {
        for (int i = 0; i < SNR2_SLOTS; ++i)
            SNR2_WavePause(i, pause);
        return;
    }
    if (!slot_valid(slot) || !g_snd.started)
        return;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    IDirectSoundBuffer *b = s->ch.main ? s->ch.main : s->ch.copy;
    if (b) {
        if (pause) {
            b->Stop();
            s->looping = 0;  // the worker's repeat step sees the stop, whatever the play was
        }
        else
            b->Play(0, 0, s->stream.state.dataSize ? DSBPLAY_LOOPING : 0);  // a stream's ring always loops
    }
    LeaveCriticalSection(&s->lock);
}
