// Fixture of the tests that run the driver under the real engine (d3d9_engine_test.cpp and
// d3d9_render_test.cpp): an engine started on a window of EW x EH pixels.
#pragma once

#include "d3d9_test_support.h"

#include "trvx.h"

namespace d3d9test {

const int EW = 320, EH = 240;

// One engine for the whole suite (a start costs seconds under Wine); tests delete what they make.
class Engine : public ::testing::Test {
protected:
    static HWND window;
    static TRVXCONTEXT ctx;
    static void SetUpTestSuite()
    {
        window = make_window(EW, EH);
        RECT view = {0, 0, EW, EH};
        ctx = TRVX_Start(window, &view, 1);
    }
    static void TearDownTestSuite()
    {
        if (ctx) {
            EXPECT_TRUE(TRVX_End(ctx));
        }
        ctx = 0;
        DestroyWindow(window);
        pump_messages();
    }
    void SetUp() override { ASSERT_TRUE(ctx != NULL) << "the engine did not start"; }
    IDirect3DDevice9 *device() { return (IDirect3DDevice9 *)((DWORD_PTR *)ctx->driverPrivate)[1]; }
    std::vector<uint32_t> read_back() { return read_back_buffer(device()); }
};

inline HWND Engine::window;
inline TRVXCONTEXT Engine::ctx;

} // namespace d3d9test
