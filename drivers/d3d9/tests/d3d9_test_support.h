// Test bench of the Direct3D 9 driver: a window, the driver loaded by its decorated entry point, a
// context filled by hand, layers made without the engine, back-buffer read-back, a catcher for
// and a catcher for message boxes.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <stdio.h>
#include <string>
#include <vector>

#include "plugin/trvx_plugin.h"
#include "plugin/trvx_transform.h"
#include "d3d9_call_counter.h"

namespace d3d9test {

// A top-level window of the given client size, shown.
HWND make_window(int width, int height);
void pump_messages(int milliseconds = 0);

// The loaded driver's entry point (the DLL beside the test program).
TRVXINTERFACE_PROC driver_entry();

// The device's back buffer as 0x00RRGGBB pixels, row by row (empty when it cannot be read).
std::vector<uint32_t> read_back_buffer(IDirect3DDevice9 *device);

// 0x00BBGGRR helpers.
inline uint32_t bgr(int r, int g, int b) { return (uint32_t)(r | g << 8 | b << 16); }

// One engine context, filled by hand as the engine would, with the driver started and view port 0
// opened on a window of width x height.
struct Bench {
    tagTRVX *ctx = 0;
    HWND window = 0;
    TRVXINTERFACE_PROC call = 0;
    std::vector<tagTRVXVIEWPORT> viewPorts;
    std::vector<tagTRVXTEXTURE> textures;
    std::vector<tagTRVXFONT> fonts;
    int width = 0, height = 0;

    // Starts the driver and opens view port 0; false when either failed.
    bool start(int width, int height);
    void stop();
    // Back to the state after start: textures and fonts released, view ports above 0 closed,
    // lights, fog and camera cleared.
    void reset();
    ~Bench() { stop(); }
    DWORD_PTR cmd(int command, DWORD_PTR p1 = 0, DWORD_PTR p2 = 0, DWORD_PTR p3 = 0, DWORD_PTR p4 = 0)
    {
        return call(command, ctx, p1, p2, p3, p4);
    }
    IDirect3DDevice9 *device() const { return (IDirect3DDevice9 *)((DWORD_PTR *)ctx->driverPrivate)[1]; }
    std::vector<uint32_t> read_back() { return read_back_buffer(device()); }
    // Fills texture slot `index` with a file name and sends command 30.
    DWORD_PTR load_texture(int index, const std::wstring &path, int options);
};

// A layer made by hand with its driver blocks; freed by the bench helpers below.
struct Layer {
    tagTRVXLAYER record = {};
    TRVXTRANSFORM transform = {};
    uint8_t material[68] = {};
    std::vector<tagTRVXVERTEX> vertices;
    std::vector<tagTRVXFACE> faces;

    Layer();
    void set_geometry(const std::vector<tagTRVXVERTEX> &v, const std::vector<tagTRVXFACE> &f);
    // Evaluates the motion (commands 4 and 5) and fills the material (command 7).
    void prepare(Bench &b);
    tagTRVXLAYER *get() { return &record; }
};

// A cube of side `size` centred on the origin, 24 vertices with outward normals, 12 faces.
void make_box(Layer &layer, float size);
// A screen rectangle from (x0, y0) to (x1, y1) (centred, y-up coordinates), facing the viewer,
// with texture coordinates 0..1 across it.
void make_quad(Layer &layer, float x0, float y0, float x1, float y1);

// Writes an uncompressed 24-bit bitmap; pixels are 0x00RRGGBB, top row first.
void write_bitmap(const std::wstring &path, int width, int height, const std::vector<uint32_t> &pixels);
std::wstring temp_path(const wchar_t *name);

// Channel distance: the largest difference of red, green, blue.
int colour_distance(uint32_t a, uint32_t b);
#define EXPECT_COLOUR_NEAR(actual, expected, tolerance)                                                          \
    EXPECT_LE(d3d9test::colour_distance((actual), (expected)), (tolerance))                                      \
        << std::hex << "pixel 0x" << (actual) << " expected 0x" << (expected)

// Records message boxes of this thread instead of letting them wait for a user.
struct MessageBoxCatcher {
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    std::vector<std::wstring> captions, texts;
};

} // namespace d3d9test
