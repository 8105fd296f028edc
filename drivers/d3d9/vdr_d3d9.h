// Local header of the Direct3D 9 graphics driver: the driver's own record layouts inside the engine's
// records (context words, capability report, view-port handles, layer buffer handles), the
// process-wide driver state and the helpers shared by the driver's source files.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include "plugin/trvx_module.h"
#include "plugin/trvx_plugin.h"
#include "plugin/trvx_transform.h"
#include "trvx_profile_win32.h"

// --- Records laid over the engine's driver fields ---------------------------------------------

// tagTRVX::driverPrivate, in pointer-sized slots: Direct3D, device, DirectInput, keyboard, mouse.
enum { D3D9_SLOT_D3D, D3D9_SLOT_DEVICE, D3D9_SLOT_INPUT, D3D9_SLOT_KEYBOARD, D3D9_SLOT_MOUSE, D3D9_SLOT_COUNT };
static_assert(sizeof(((tagTRVX *)0)->driverPrivate) / sizeof(DWORD_PTR) >= D3D9_SLOT_COUNT,
              "driverPrivate holds the five driver objects");

// tagTRVXVIEWPORT::driver: only the back-buffer format is kept (the ninth slot).
struct D3D9VIEWPORTDATA {
    DWORD_PTR unused[8];
    DWORD_PTR backBufferFormat; // D3DFORMAT
};
static_assert(sizeof(D3D9VIEWPORTDATA) == sizeof(((tagTRVXVIEWPORT *)0)->driver), "view-port driver slots");
TRVX_STATIC_OFFSET(tagTRVXVIEWPORT, driver, 4);

// tagTRVXLAYER::driverData: the layer's device buffers and what they were built for, one pointer-sized
// slot each, so the 32-bit words keep their order in both builds.
struct D3D9LAYERDATA {
    DWORD_PTR indexCount;  // faces in the index buffer
    IDirect3DIndexBuffer9 *indexBuffer;
    DWORD_PTR vertexCount; // vertices in the vertex buffer
    IDirect3DVertexBuffer9 *vertexBuffer;
    DWORD_PTR builtMode;   // the layer mode the buffers were made for, 0 = never built
    DWORD_PTR fvf;         // vertex format
    DWORD_PTR stride;      // bytes per vertex
};
static_assert(sizeof(D3D9LAYERDATA) <= sizeof(((tagTRVXLAYER *)0)->driverData), "layer driver slots");
TRVX_STATIC_OFFSET(D3D9LAYERDATA, indexBuffer, 4);
TRVX_STATIC_OFFSET(D3D9LAYERDATA, vertexBuffer, 12);
TRVX_STATIC_OFFSET(D3D9LAYERDATA, stride, 24);

inline D3D9LAYERDATA *layer_data(tagTRVXLAYER *layer) { return (D3D9LAYERDATA *)layer->driverData; }

// The capability report this driver fills, inside the engine's system-information block.
inline tagTRVXGRAPHICS *caps_of(tagTRVX *ctx) { return &ctx->systemInfo.graphics; }

// Texture slot words that this driver uses besides the named ones.
inline int32_t &slot_mip_levels(tagTRVXTEXTURE *slot) { return slot->driverState; }

// --- Drawing modes (the table of vertex formats and strides) ----------------------------------

struct D3D9MODEINFO {
    uint32_t mode;
    DWORD fvf;
    uint32_t stride;  // bytes per vertex
    int indexed;      // faces go into a 16-bit index buffer
    int textureSets;  // (u, v) pairs per vertex
};
// The entry for `mode`, or null for a mode outside the table.
const D3D9MODEINFO *d3d9_mode_info(uint32_t mode);

// --- Process-wide driver state -----------------------------------------------------------------
#define D3D9_STAGES 4
#define D3D9_LIGHTS 6
#define D3D9_UNKNOWN 0xFFFFFFFFu // cache value that matches no real state

struct D3D9STAGECACHE {
    IDirect3DBaseTexture9 *texture;
    uint32_t blend;      // stage blend mode word
    uint32_t addressing; // 0 repeat, 1 mirror, 2 clamp
    uint32_t filter;     // 0x100 ... 0x401
};

// The state that consecutive layers share; SCENE_BEGIN puts the device and this record in step.
struct D3D9CACHE {
    D3D9STAGECACHE stages[D3D9_STAGES];
    uint32_t frameBlend; // frame blend code 0 to 4
    uint32_t lighting, specular, alphaTest, cull, zWrite, fill, fog;
    uint32_t pointSize;  // float bits
    uint32_t lightEnabled[D3D9_LIGHTS];
    D3DMATERIAL9 material;
    int materialValid;
    IDirect3DVertexBuffer9 *stream;
    IDirect3DIndexBuffer9 *indices;
    DWORD fvf;
};

struct D3D9DRIVER {
    tagTRVX *owner; // the context that started the driver; one device per process
    IDirect3D9 *d3d;
    IDirect3DDevice9 *device;
    IDirectInput8W *input;
    IDirectInputDevice8W *keyboard;
    IDirectInputDevice8W *mouse;
    HINSTANCE module;
    D3DFORMAT depthFormat;
    int viewPort;      // view port of the current scene
    float aspect;      // of the current scene's projection
    int fogFrame;      // fog is on for this frame's 3D layers
    int discarding;    // the swap chain discards (full screen or multisampled): no present rectangles
    D3DPRESENT_PARAMETERS presentation; // what the device was made with, and is reset with
    int lost;          // a present found the device lost: the next scene resets it first
    D3D9CACHE cache;
};
extern D3D9DRIVER g_d3d9;

// Writes the driver objects into the context's driverPrivate slots.
void d3d9_publish(tagTRVX *ctx);
// Chip name and video memory of the first display device into the report (the adapter's own
// description when the diagnostic provider names no chip).
void d3d9_record_diagnostics(tagTRVX *ctx, UINT adapter, tagTRVXGRAPHICS *caps);
// The device rectangle of view port `index` (clip applied, offset for view ports above 0).
RECT d3d9_viewport_rect(const tagTRVX *ctx, int index);
// Sets the device viewport to view port `index`; 0 when the index is not an open view port.
int d3d9_set_viewport(tagTRVX *ctx, int index);
// Opaque A8R8G8B8 from 0x00BBGGRR.
inline D3DCOLOR d3d9_opaque(uint32_t bgr)
{
    return D3DCOLOR_XRGB(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
inline DWORD d3d9_float_bits(float f)
{
    DWORD d;
    memcpy(&d, &f, sizeof d);
    return d;
}

// --- Per-concern command handlers (one file each) ------------------------------------------------
DWORD_PTR d3d9_layer_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2);
void d3d9_reset_cache(void);
void d3d9_forget_texture(IDirect3DBaseTexture9 *texture);
void d3d9_release_layer(tagTRVXLAYER *layer);

DWORD_PTR d3d9_texture_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3, DWORD_PTR p4);
DWORD_PTR d3d9_font_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3);
// Releases the device objects of the font table (before the device goes) and makes them again.
void d3d9_fonts_release(tagTRVX *ctx);
void d3d9_fonts_restore(tagTRVX *ctx);

int d3d9_input_start(tagTRVX *ctx, int windowed);
void d3d9_input_end(void);
DWORD_PTR d3d9_input_read(tagTRVX *ctx, DWORD_PTR what, tagTRVXINPUT *state);
