// Fixture of the tests that run the driver under the real engine (d3d9_engine_test.cpp and
// d3d9_render_test.cpp): an engine started on a window of EW x EH pixels.
#pragma once

#include "d3d9_test_support.h"

#include "trvx.h"

namespace d3d9test {

const int EW = 320, EH = 240;

class Engine : public ::testing::Test {
protected:
    HWND window = 0;
    TRVXCONTEXT ctx = 0;
    void SetUp() override
    {
        window = make_window(EW, EH);
        RECT view = {0, 0, EW, EH};
        ctx = TRVX_Start(window, &view, 1);
        ASSERT_TRUE(ctx != NULL);
    }
    void TearDown() override
    {
        if (ctx) {
            EXPECT_TRUE(TRVX_End(ctx));
        }
        DestroyWindow(window);
        pump_messages();
    }
    IDirect3DDevice9 *device() { return (IDirect3DDevice9 *)((DWORD_PTR *)ctx->driverPrivate)[1]; }
    std::vector<uint32_t> read_back() { return read_back_buffer(device()); }
};

} // namespace d3d9test
