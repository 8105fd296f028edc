// 3D placement on DirectSound: hardware 3D buffers and listener, or the library's own distance
// volume and pan law in software 3D.
#include "dsound_local.h"

#include <math.h>
#include <string.h>

static const tagSNR3D kFront = {0.0f, 0.0f, 1.0f, 0};
static const tagSNR3D kTop = {0.0f, 1.0f, 0.0f, 0};

static tagSNR3D copy3d(const tagSNR3D *v)
{
    tagSNR3D out = {0.0f, 0.0f, 0.0f, 0};
    if (v) {
        out.x = v->x;
        out.y = v->y;
        out.z = v->z;
    }
    return out;
}

static bool hardware() { return g_snd.started && g_snd.mode3d == MODE3D_HARDWARE && g_snd.listener.hw; }
static bool software() { return g_snd.started && g_snd.mode3d == MODE3D_SOFTWARE; }
static DWORD apply(int immediate) { return immediate ? DS3D_IMMEDIATE : DS3D_DEFERRED; }

// Volume and pan of every sounding 3D slot from its place relative to the software listener.
static void software_update()
{
    const Listener *l = &g_snd.listener;
    for (int i = 0; i < SNR2_SLOTS; ++i) {
        Slot *s = &g_snd.slots[i];
        if (s->loops == 0 || !s->is3d)
            continue;
        float dx = s->swPosition.x - l->position.x, dy = s->swPosition.y - l->position.y,
              dz = s->swPosition.z - l->position.z;
        float distance = sqrtf(dx * dx + dy * dy + dz * dz);
        SNR2_WaveSetLocalVolDirect(i, snd::distance_volume(s->localVolume, distance, s->minDistance, s->maxDistance));
        SNR2_WaveSetPan(i, snd::pan_from_headings(snd::heading_degrees(dx, dz), l->angles.y));
    }
}

SNR2_API int WINAPI SNR2_3DWavePlay(int slot, tagSNRWAVE *wave, int count, tagSNR3D *position, DWORD flags)
{
    if (count == 0 || !wave || !wave->buffer)
        return -1;
    if (!slot_valid(slot) || !g_snd.started)
        return 1;
    Slot *s = &g_snd.slots[slot];
    IDirectSoundBuffer *b = slot_buffer(s, wave, PLAY_3D);
    if (!b)
        return 1;
    b->SetCurrentPosition(0);
    if (g_snd.level == DEVICE_LEVEL6)
        return 1;
    tagSNR3D p = copy3d(position);
    EnterCriticalSection(&s->lock);
    if (!s->ch.buffer3d && FAILED(b->QueryInterface(IID_IDirectSound3DBuffer, (void **)&s->ch.buffer3d)))
        s->ch.buffer3d = nullptr;
    if (s->ch.buffer3d) {
        s->hwPosition[0] = p.x;
        s->hwPosition[1] = p.y;
        s->hwPosition[2] = p.z;
        s->ch.buffer3d->SetPosition(p.x, p.y, p.z, apply(flags & SNR2_3D_IMMEDIATE));
        SNR2_3DWaveDistance(slot, s->minDistance, s->maxDistance, 1);
    }
    if (g_snd.mode3d == MODE3D_SOFTWARE)
        s->swPosition = p;
    b->Play(0, 0, count == 1 ? 0 : DSBPLAY_LOOPING);
    s->looping = count != 1;
    b->SetVolume(s->volumeValue);
    s->ch.source = wave->buffer;
    s->wave = wave;
    s->loops = count;
    LeaveCriticalSection(&s->lock);
    s->is3d = 1;
    return 1;
}

SNR2_API int WINAPI SNR2_3DWavePosition(int slot, tagSNR3D *position, int immediate)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    tagSNR3D p = copy3d(position);
    EnterCriticalSection(&s->lock);
    int result = s->ch.buffer3d != nullptr;
    if (s->ch.buffer3d) {
        s->hwPosition[0] = p.x;
        s->hwPosition[1] = p.y;
        s->hwPosition[2] = p.z;
        s->ch.buffer3d->SetPosition(p.x, p.y, p.z, apply(immediate));
        if (s->sub.buffer3d)
            s->sub.buffer3d->SetPosition(p.x, p.y, p.z, DS3D_DEFERRED);
    }
    if (g_snd.mode3d == MODE3D_SOFTWARE)
        s->swPosition = p;
    LeaveCriticalSection(&s->lock);
    return result;
}

SNR2_API int WINAPI SNR2_3DWaveGetPosition(int slot, tagSNR3D *position)
{
    if (!slot_valid(slot) || !g_snd.started || !position || g_snd.level != DEVICE_LEVEL8)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    D3DVECTOR v;
    int ok = s->ch.buffer3d && SUCCEEDED(s->ch.buffer3d->GetPosition(&v));
    if (ok)
        *position = tagSNR3D{v.x, v.y, v.z, 0};
    LeaveCriticalSection(&s->lock);
    return ok;
}

SNR2_API void WINAPI SNR2_3DWaveVelocity(int slot, tagSNR3D *velocity, int deferred)
{
    if (!slot_valid(slot) || !g_snd.started || g_snd.level != DEVICE_LEVEL8)
        return;
    Slot *s = &g_snd.slots[slot];
    tagSNR3D v = copy3d(velocity);
    EnterCriticalSection(&s->lock);
    if (s->ch.buffer3d) {
        s->ch.buffer3d->SetVelocity(v.x, v.y, v.z, deferred ? DS3D_DEFERRED : DS3D_IMMEDIATE);
        if (s->sub.buffer3d)
            s->sub.buffer3d->SetVelocity(v.x, v.y, v.z, DS3D_DEFERRED);
    }
    LeaveCriticalSection(&s->lock);
}

SNR2_API int WINAPI SNR2_3DWaveGetVelocity(int slot, tagSNR3D *velocity)
{
    if (!slot_valid(slot) || !g_snd.started || !velocity || g_snd.level != DEVICE_LEVEL8)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    D3DVECTOR v;
    int ok = s->ch.buffer3d && SUCCEEDED(s->ch.buffer3d->GetVelocity(&v));
    if (ok)
        *velocity = tagSNR3D{v.x, v.y, v.z, 0};
    LeaveCriticalSection(&s->lock);
    return ok;
}

// A distance argument: above 0 taken, -1 the given default, anything else leaves the old value.
static bool distance_arg(float value, float fallback, float *out)
{
    if (value > 0.0f)
        *out = value;
    else if (value == -1.0f)
        *out = fallback;
    else
        return false;
    return true;
}

SNR2_API int WINAPI SNR2_3DWaveDistance(int slot, float minimum, float maximum, int immediate)
{
    if (!slot_valid(slot) || !g_snd.started)
        return 0;
    Slot *s = &g_snd.slots[slot];
    EnterCriticalSection(&s->lock);
    bool onBuffer = g_snd.level == DEVICE_LEVEL8 && s->ch.buffer3d;
    float value;
    if (distance_arg(minimum, 1.0f, &value)) {
        s->minDistance = value;
        if (onBuffer) {
            s->ch.buffer3d->SetMinDistance(value, apply(immediate));
            if (s->sub.buffer3d)
                s->sub.buffer3d->SetMinDistance(value, apply(immediate));
        }
    }
    if (distance_arg(maximum, 1000000000.0f, &value)) {
        s->maxDistance = value;
        if (onBuffer) {
            s->ch.buffer3d->SetMaxDistance(value, apply(immediate));
            if (s->sub.buffer3d)
                s->sub.buffer3d->SetMaxDistance(value, apply(immediate));
        }
    }
    LeaveCriticalSection(&s->lock);
    return onBuffer ? 1 : 0;
}

// A listener factor: -1 means 1.0, other negatives leave it, values above limit are cut to it.
static bool factor_arg(float value, float limit, float *out)
{
    if (value == -1.0f)
        *out = 1.0f;
    else if (value < 0.0f)
        return false;
    else
        *out = value > limit ? limit : value;
    return true;
}

SNR2_API int WINAPI SNR2_3DSetting(float distanceFactor, float rolloff, float doppler, int immediate)
{
    if (!hardware())
        return 0;
    IDirectSound3DListener *l = g_snd.listener.hw;
    float value;
    if (factor_arg(distanceFactor, 3.4e38f, &value))
        l->SetDistanceFactor(value, apply(immediate));
    if (factor_arg(rolloff, 10.0f, &value))
        l->SetRolloffFactor(value, apply(immediate));
    if (factor_arg(doppler, 10.0f, &value))
        l->SetDopplerFactor(value, apply(immediate));
    return 1;
}

SNR2_API void WINAPI SNR2_3DListenerInit(void)
{
    Listener *l = &g_snd.listener;
    if (g_snd.mode3d == MODE3D_HARDWARE && l->hw) {
        l->hw->SetPosition(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);
        l->hw->SetVelocity(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);
    }
    memset(&l->position, 0, sizeof l->position);
    memset(&l->velocity, 0, sizeof l->velocity);
    memset(&l->angles, 0, sizeof l->angles);
    l->haveAngles = 0;
    l->front = kFront;
    l->top = kTop;
}

static void set_orientation(const tagSNR3D &front, const tagSNR3D &top)
{
    g_snd.listener.hw->SetOrientation(front.x, front.y, front.z, top.x, top.y, top.z, DS3D_DEFERRED);
}

SNR2_API void WINAPI SNR2_3DListener(tagSNR3D *position, tagSNR3D *angles, int commit)
{
    if (!g_snd.started || g_snd.mode3d == MODE3D_NONE)
        return;
    Listener *l = &g_snd.listener;
    tagSNR3D p = copy3d(position), a = copy3d(angles);
    a.x = snd::wrap_degrees(a.x);
    a.y = snd::wrap_degrees(a.y);
    a.z = snd::wrap_degrees(a.z);
    if (!l->haveAngles || a.x != l->lastAngles.x || a.y != l->lastAngles.y || a.z != l->lastAngles.z) {
        snd::Vec3 f = snd::rotate_by_angles({0.0f, 0.0f, 1.0f}, a.x, a.y, a.z);
        snd::Vec3 t = snd::rotate_by_angles({0.0f, 1.0f, 0.0f}, a.x, a.y, a.z);
        l->front = tagSNR3D{f.x, f.y, f.z, 0};
        l->top = tagSNR3D{t.x, t.y, t.z, 0};
        l->lastAngles = a;
        l->haveAngles = 1;
        if (software())
            l->angles = a;
    }
    if (hardware()) {
        l->hw->SetPosition(p.x, p.y, p.z, DS3D_DEFERRED);
        set_orientation(l->front, l->top);
        if (commit)
            l->hw->CommitDeferredSettings();
    } else if (software()) {
        l->position = p;
        if (commit)
            software_update();
    }
}

SNR2_API void WINAPI SNR2_3DListenerDirect(tagSNR3D *position, tagSNR3D *front, tagSNR3D *top, int commit)
{
    Listener *l = &g_snd.listener;
    tagSNR3D p = copy3d(position), f = copy3d(front), t = top ? copy3d(top) : kTop;
    if (hardware()) {
        l->hw->SetPosition(p.x, p.y, p.z, DS3D_DEFERRED);
        set_orientation(f, t);
        if (commit == 1)
            l->hw->CommitDeferredSettings();
    } else if (software()) {
        // here front is a point to look at
        float dx = f.x - p.x, dy = f.y - p.y, dz = f.z - p.z;
        l->angles.x = -snd::elevation_degrees(dx, dy, dz);
        l->angles.y = snd::heading_degrees(dx, dz);
        l->angles.z = 0.0f;
        l->position = p;
        if (front)
            l->front = f;
        if (top)
            l->top = t;
        if (commit)
            software_update();
    }
}

SNR2_API void WINAPI SNR2_3DListenerDirectD(tagSNR3D *position, tagSNR3D *front, tagSNR3D *top, tagSNR3D *velocity,
                                            DWORD flags)
{
    Listener *l = &g_snd.listener;
    tagSNR3D p = copy3d(position), v = copy3d(velocity), f = copy3d(front), t = top ? copy3d(top) : kTop;
    if (hardware()) {
        l->hw->SetPosition(p.x, p.y, p.z, DS3D_DEFERRED);
        l->hw->SetVelocity(v.x, v.y, v.z, DS3D_DEFERRED);
        set_orientation(f, t);
        if (flags & SNR2_3D_COMMIT)
            l->hw->CommitDeferredSettings();
    } else if (software()) {
        l->position = p;
        l->velocity = v;
        if (front)
            l->front = f;
        if (top)
            l->top = t;
        if (flags)
            software_update();
    }
}

SNR2_API void WINAPI SNR2_3DListenerVelocity(tagSNR3D *velocity, int immediate)
{
    if (!hardware())
        return;
    tagSNR3D v = copy3d(velocity);
    g_snd.listener.hw->SetVelocity(v.x, v.y, v.z, apply(immediate));
}

SNR2_API int WINAPI SNR2_3DListenerGetPosition(tagSNR3D *position)
{
    if (!position)
        return 0;
    if (hardware()) {
        D3DVECTOR v;
        if (FAILED(g_snd.listener.hw->GetPosition(&v)))
            return 0;
        *position = tagSNR3D{v.x, v.y, v.z, 0};
        return 1;
    }
    if (!software())
        return 0;
    *position = g_snd.listener.position;
    return 1;
}

SNR2_API int WINAPI SNR2_3DListenerOrientation(tagSNR3D *front, tagSNR3D *top)
{
    tagSNR3D f, t;
    if (hardware()) {
        D3DVECTOR a, b;
        if (FAILED(g_snd.listener.hw->GetOrientation(&a, &b)))
            return 0;
        f = tagSNR3D{a.x, a.y, a.z, 0};
        t = tagSNR3D{b.x, b.y, b.z, 0};
    } else if (software()) {
        f = g_snd.listener.front;
        t = g_snd.listener.top;
    } else {
        return 0;
    }
    if (front)
        *front = f;
    if (top)
        *top = t;
    return 1;
}

SNR2_API int WINAPI SNR2_3DListenerGetVelocity(tagSNR3D *velocity)
{
    D3DVECTOR v;
    if (!velocity || !hardware() || FAILED(g_snd.listener.hw->GetVelocity(&v)))
        return 0;
    *velocity = tagSNR3D{v.x, v.y, v.z, 0};
    return 1;
}

SNR2_API void WINAPI SNR2_Commit(void)
{
    if (hardware())
        g_snd.listener.hw->CommitDeferredSettings();
    else if (software())
        software_update();
}

SNR2_API void WINAPI SNR2_CalcVelocity(tagSNR3D *out, tagSNR3D *angles, float speed, DWORD time)
{
    if (!out)
        return;
    tagSNR3D a = copy3d(angles);
    snd::Vec3 v = snd::rotate_by_angles({0.0f, 0.0f, speed * (float)time}, a.x, a.y, a.z);
    *out = tagSNR3D{v.x, v.y, v.z, 0};
}
