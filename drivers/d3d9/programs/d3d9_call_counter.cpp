// Counts the state-changing calls made on a Direct3D 9 device (see d3d9_call_counter.h).
#include "d3d9_call_counter.h"

static volatile long s_stateCalls;
static void **s_vtable;
// Slots of IDirect3DDevice9's method table, in declaration order.
enum { kSetTransform = 44, kSetMaterial = 49, kSetLight = 51, kLightEnable = 53, kSetRenderState = 57,
       kSetTexture = 65, kSetTextureStageState = 67, kSetSamplerState = 69, kSetFVF = 89,
       kSetStreamSource = 100, kSetIndices = 104, kSlots = 105 };
static void *s_original[kSlots];

template <int Slot, class... A> static HRESULT WINAPI counted(IDirect3DDevice9 *d, A... a)
{
    ++s_stateCalls;
    return ((HRESULT(WINAPI *)(IDirect3DDevice9 *, A...))s_original[Slot])(d, a...);
}

struct Patch { int slot; void *hook; };
static const Patch kPatches[] = {
    {kSetTransform, (void *)&counted<kSetTransform, D3DTRANSFORMSTATETYPE, const D3DMATRIX *>},
    {kSetMaterial, (void *)&counted<kSetMaterial, const D3DMATERIAL9 *>},
    {kSetLight, (void *)&counted<kSetLight, DWORD, const D3DLIGHT9 *>},
    {kLightEnable, (void *)&counted<kLightEnable, DWORD, BOOL>},
    {kSetRenderState, (void *)&counted<kSetRenderState, D3DRENDERSTATETYPE, DWORD>},
    {kSetTexture, (void *)&counted<kSetTexture, DWORD, IDirect3DBaseTexture9 *>},
    {kSetTextureStageState, (void *)&counted<kSetTextureStageState, DWORD, D3DTEXTURESTAGESTATETYPE, DWORD>},
    {kSetSamplerState, (void *)&counted<kSetSamplerState, DWORD, D3DSAMPLERSTATETYPE, DWORD>},
    {kSetFVF, (void *)&counted<kSetFVF, DWORD>},
    {kSetStreamSource, (void *)&counted<kSetStreamSource, UINT, IDirect3DVertexBuffer9 *, UINT, UINT>},
    {kSetIndices, (void *)&counted<kSetIndices, IDirect3DIndexBuffer9 *>},
};

static void swap_entries(bool install)
{
    DWORD old;
    VirtualProtect(s_vtable, kSlots * sizeof(void *), PAGE_READWRITE, &old);
    for (const Patch &p : kPatches) {
        if (install) {
            s_original[p.slot] = s_vtable[p.slot];
            s_vtable[p.slot] = p.hook;
        } else
            s_vtable[p.slot] = s_original[p.slot];
    }
    VirtualProtect(s_vtable, kSlots * sizeof(void *), old, &old);
}

D3D9CallCounter::D3D9CallCounter(IDirect3DDevice9 *device)
{
    s_vtable = *(void ***)device;
    swap_entries(true);
    s_stateCalls = 0;
}

D3D9CallCounter::~D3D9CallCounter() { swap_entries(false); }
long D3D9CallCounter::count() const { return s_stateCalls; }
void D3D9CallCounter::reset() { s_stateCalls = 0; }

