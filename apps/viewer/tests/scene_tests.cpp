// The viewer's scene, parts, cameras and commands through the real engine and text model plug-in,
// with the engine's recording driver standing in for the device: a run without any content file
// must go on without the missing parts, and a run with the content must pose them as modelled.
#include <gtest/gtest.h>

#include <math.h>

#include <string>

#include "camera.h"
#include "commands.h"
#include "input.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "viewer.h"

namespace {

const int kWidth = 640, kHeight = 400;

// The folder holding the content tree: the test runs two levels below it.
std::wstring content_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    for (int up = 0; up < 3; ++up)
        folder = folder.substr(0, folder.find_last_of(L'\\'));
    return folder + L"\\";
}

class ViewerScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        Viewer &v = g_viewer;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ViewerSceneTest";
        RegisterClassW(&wc);
        v.window = CreateWindowW(L"ViewerSceneTest", L"viewer scene", WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        RECT view = {0, 0, kWidth, kHeight};
        v.ctx = TRVX_Start(v.window, &view, 1);
        ASSERT_NE(v.ctx, nullptr);
        v.screenWidth = kWidth;
        v.screenHeight = kHeight;
        v.view = view_shape(kWidth, kHeight);
        v.runMode = kRunViewer;
        v.quitRequested = 0;
        v.windowActive = 1;
        v.clock = 0;
    }

    void TearDown() override
    {
        if (g_viewer.ctx)
            TRVX_End(g_viewer.ctx);
        g_viewer.ctx = nullptr;
        DestroyWindow(g_viewer.window);
    }

    // Frames as the viewer's loop draws them, `ms` of simulation each, with a camera drive.
    static void fly(int frames, uint32_t ms, int cameraMode)
    {
        for (int i = 0; i < frames; ++i) {
            place_aircraft(g_viewer.clock, g_currentCamera);
            update_camera(cameraMode, 2.0f, 1.0f, 0.5f);
            turn_propellers(ms);
            draw_frame(true);
            g_viewer.clock += ms;
        }
    }

    static Vec3 rotation_of(const wchar_t *part)
    {
        TRVXVECTOR r = {};
        TRVXLAYER layer = aircraft_part(part);
        if (layer)
            TRVXL_GetMoveLayer(g_viewer.ctx, layer, nullptr, &r, nullptr, nullptr, nullptr);
        return {r.x, r.y, r.z};
    }
};

} // namespace

// No model file at all: every part is skipped, and flying, every camera and the panel commands
// still work without handing the engine a missing layer.
TEST_F(ViewerScene, MissingContentLeavesThePartsOut)
{
    load_scene();
    EXPECT_EQ(g_scene.aircraft, nullptr);
    EXPECT_EQ(g_scene.airport, nullptr);
    ASSERT_NE(g_scene.sceneRoot, nullptr);
    ASSERT_NE(g_scene.fade, nullptr);
    timed_start(g_channels.gear, 1, -1);
    timed_start(g_channels.flaps, 1, +1);
    for (int set : {0, 1, 2, 4}) {
        select_camera_set(set);
        fly(20, 400, 1);
        fly(5, 400, 2);
    }
    for (int code : {kKeyTab, kKeyInsert, kKeyDelete, kKeyLeftShift, kKeyF1, kMouseRight})
        handle_command(code);
    float h = 0, v = 0, z = 0;
    step_held_state(&h, &v, &z);
    EXPECT_EQ(g_viewer.quitRequested, 0);
}

// The sky cylinder: four rings of 16 from 2000 above to 1000 below, coloured top to horizon.
TEST_F(ViewerScene, SkyCylinderRingsAndColours)
{
    load_scene();
    TRVXCONTEXT ctx = g_viewer.ctx;
    TRVXLAYER sky = g_scene.skyCylinder;
    ASSERT_NE(sky, nullptr);
    ASSERT_EQ((int)TRVXL_EXT_Function(ctx, sky, 102, 0, 0), 64);
    EXPECT_EQ((int)TRVXL_EXT_Function(ctx, sky, 101, 0, 0), 96);
    const tagTRVXVERTEX *v = (const tagTRVXVERTEX *)TRVXL_EXT_Function(ctx, sky, 206, 0, 0);
    EXPECT_FLOAT_EQ(v[0].position.y, 2000);
    EXPECT_FLOAT_EQ(v[48].position.y, -1000);
    EXPECT_FLOAT_EQ(v[4].position.x, 18000);
    EXPECT_EQ(v[3].colour & 0xFFFFFF, 0x90511Au);
    EXPECT_EQ(v[20].colour & 0xFFFFFF, 0xA37F94u);
    EXPECT_EQ(v[40].colour & 0xFFFFFF, g_scene.skyHorizon);
    EXPECT_EQ(v[60].colour & 0xFFFFFF, g_scene.skyHorizon);
    EXPECT_EQ((uint32_t)TRVXL_EXT_Function(ctx, sky, 28, 0, 0), 0x80160000u);
}

TEST_F(ViewerScene, RebuildWalkByLayerName)
{
    TRVXCONTEXT ctx = g_viewer.ctx;
    load_scene();
    TRVXLAYER airport = TRVXL_CreateLayer(ctx, g_scene.map, L"airport");
    g_scene.airport = airport;
    const wchar_t *names[] = {L"@N2N4_tower", L"@XXN2_x", L"N2_x", L"@N4", L"@N2", L"@XX_N2"};
    TRVXLAYER layers[6];
    for (int i = 0; i < 6; ++i) {
        layers[i] = TRVXL_CreateLayer(ctx, airport, names[i]);
        TRVXL_ModeLayer(ctx, layers[i], TRVX_MODE_SOLID);
    }
    rebuild_airport();
    const uint32_t expected[] = {0x80340003, 0x80340001, TRVX_MODE_SOLID, 0x80340003, 0x80340001, TRVX_MODE_SOLID};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ((uint32_t)TRVXL_EXT_Function(ctx, layers[i], 28, 0, 0), expected[i]) << names[i];
}

// With the real content: the door and airstair in their open pose, the gear retracting, the beacon
// lighting light slot 2, and the camera sets and commands as a user meets them.
TEST_F(ViewerScene, ContentPartsAndCameras)
{
    SetCurrentDirectoryW(content_folder().c_str());
    load_scene();
    ASSERT_NE(g_scene.aircraft, nullptr);
    ASSERT_NE(g_scene.airport, nullptr);
    select_camera_set(0);
    g_viewer.clock = 1150; // the upper beacon at its brightest
    fly(1, 0, 0);
    EXPECT_FLOAT_EQ(rotation_of(L"trap00---z").z, 75);
    EXPECT_FLOAT_EQ(rotation_of(L"trap0301---z").z, 250);
    EXPECT_EQ(g_viewer.ctx->lights[2].kind, TRVX_LIGHT_POINT);
    EXPECT_NEAR(g_viewer.ctx->lights[2].range, 3, 0.01);

    timed_start(g_channels.gear, g_viewer.clock, -1);
    g_viewer.clock += 7000;
    draw_frame(true);
    EXPECT_FLOAT_EQ(rotation_of(L"nosegear---x").x, 100);

    g_viewer.clock = 1300; // between the flashes
    draw_frame(true);
    EXPECT_EQ(g_viewer.ctx->lights[2].kind, TRVX_LIGHT_OFF);

    handle_command(kKeyF1 + 3); // set 3 is empty: nothing changes
    EXPECT_EQ(g_currentCamera, 0);
    handle_command(kKeyF1 + 1);
    EXPECT_EQ(g_currentCamera, 1);
    fly(1, 20, 0);
    EXPECT_EQ(TRVXL_SwitchLayer(g_viewer.ctx, aircraft_part(L"cp_c"), 0xFFFFFFFF) & 1, 1u) << "cockpit shown";
    g_input.ctrl = true;
    handle_command(kKeyF1 + 6); // Ctrl+F7 stores the cockpit view in set 6
    g_input.ctrl = false;
    EXPECT_EQ(g_currentCamera, 6);
    EXPECT_EQ(g_cameraSets[6].type, kCameraCockpit);
    handle_command(kKeyF1);
    handle_command(kKeyF1 + 6);
    EXPECT_EQ(g_currentCamera, 6);

    // The outside camera stays 50 from the aircraft, whatever the lens.
    select_camera_set(0);
    for (int i = 0; i < 30; ++i) {
        g_cameraSets[0].camera.lens = 35 + 5.0f * i;
        fly(1, 100, 1);
        const TRVXVECTOR &eye = g_cameraSets[0].camera.eye;
        Vec3 a = g_aircraftPose.position;
        float d = sqrtf((eye.x - a.x) * (eye.x - a.x) + (eye.y - a.y) * (eye.y - a.y) + (eye.z - a.z) * (eye.z - a.z));
        EXPECT_NEAR(d, 50, 0.05);
    }
    EXPECT_LE(g_cameraSets[0].a[1], 89);
}

namespace {

// The panels read from the content, with the mouse and keys set in the engine's input record as
// the driver would leave them.
class ViewerControls : public ViewerScene {
protected:
    void SetUp() override
    {
        ViewerScene::SetUp();
        SetCurrentDirectoryW(content_folder().c_str());
        load_scene();
        select_camera_set(0);
    }

    static void hold(int code, bool down)
    {
        tagTRVXINPUT &record = g_viewer.ctx->inputState;
        uint8_t &state = code < TRVX_BUTTON_CODE_BASE ? record.keys[code] : record.buttons[code - 256];
        state = down ? TRVX_INPUT_DOWN : 0;
    }

    static void step()
    {
        float h = 0, v = 0, z = 0;
        step_held_state(&h, &v, &z);
    }

    static bool shown(int panel, const wchar_t *name)
    {
        return TRVXL_SwitchLayer(g_viewer.ctx, panel_part(panel, name), 0xFFFFFFFF) & TRVX_SWITCH_ON;
    }

    static float layer_x(TRVXLAYER layer)
    {
        TRVXVECTOR at = {};
        TRVXL_GetMoveLayer(g_viewer.ctx, layer, &at, nullptr, nullptr, nullptr, nullptr);
        return at.x;
    }
};

} // namespace

// Dragging the play panel far to the left leaves it against the view's edge, whole.
TEST_F(ViewerControls, DraggedPanelStopsAtTheEdge)
{
    int ox, oy;
    panel_origin_of(kPlayPanel, &ox, &oy);
    g_input.x = ox - 80; // the panel's background between the photo and fast buttons
    g_input.y = oy;
    g_input.mouseInView = true;
    update_hover();
    handle_command(kMouseLeft);
    ASSERT_EQ(g_input.held, kHeldDragPlay);
    hold(kMouseLeft, true);
    g_input.dx = -900;
    step();
    panel_origin_of(kPlayPanel, &ox, &oy);
    EXPECT_EQ(ox, -kWidth / 2 + 150);
    hold(kMouseLeft, false);
    step();
    EXPECT_EQ(g_input.held, kHeldNone);
}

// Hovering lights a button; a click on the target button toggles the flag and shows the button
// pressed until its deferred release comes due.
TEST_F(ViewerControls, HoverPressAndDeferredRelease)
{
    int ox, oy;
    panel_origin_of(kViewPanel, &ox, &oy);
    g_input.x = ox + 34;
    g_input.y = oy;
    g_input.mouseInView = true;
    update_hover();
    EXPECT_EQ(g_input.hover.button, kTargetButton);
    EXPECT_TRUE(shown(kViewPanel, L"viw_target_up")) << "hover look of the target-on button";
    handle_command(kMouseLeft);
    EXPECT_EQ(g_cameraSets[0].target, 0);
    EXPECT_TRUE(shown(kViewPanel, L"viw_untarget_off")) << "pressed look";
    Sleep(250);
    run_due_release();
    EXPECT_TRUE(shown(kViewPanel, L"viw_untarget_on")) << "idle again";
    EXPECT_EQ(g_viewer.release.due, 0u);
}

TEST_F(ViewerControls, FastForwardVolumeAndZoomGauge)
{
    handle_command(kKeyLeftShift);
    EXPECT_EQ(g_viewer.speedFactor, 4);
    g_input.shift = true;
    step();
    EXPECT_EQ(g_viewer.speedFactor, 4) << "held";
    g_input.shift = false;
    step();
    EXPECT_EQ(g_viewer.speedFactor, 1) << "released without the mouse button";

    handle_command(kKeyHome);
    hold(kKeyHome, true);
    for (int i = 0; i < 100; ++i)
        step();
    EXPECT_EQ(g_input.volume, 60);
    EXPECT_FLOAT_EQ(layer_x(panel_part(kPlayPanel, L"play_volume")), 130);
    hold(kKeyHome, false);
    step();
    EXPECT_EQ(g_input.held, kHeldNone);

    int ox, oy;
    panel_origin_of(kViewPanel, &ox, &oy);
    g_input.held = kHeldZoomMouse;
    hold(kMouseLeft, true);
    g_input.x = ox + 76 + 60;
    step();
    EXPECT_FLOAT_EQ(g_cameraSets[0].camera.lens, 200);
    EXPECT_FLOAT_EQ(layer_x(panel_part(kViewPanel, L"target_volume")), 139);
    hold(kMouseLeft, false);
}

// A key pressed and released between two polls still reaches the command handler, once; a key the
// polling saw is not queued twice.
TEST_F(ViewerControls, TapsBetweenPollsAreNotLost)
{
    g_viewer.windowActive = 1;
    while (next_input_event()) {
    }
    note_press(kKeyF1 + 1);
    poll_input();
    EXPECT_EQ(next_input_event(), kKeyF1 + 1);
    EXPECT_EQ(next_input_event(), 0);

    note_press(kKeyTab); // held through this poll: the engine's own queue has it
    hold(kKeyTab, true);
    poll_input();
    EXPECT_EQ(next_input_event(), 0);

    EXPECT_EQ(press_code(VK_PAUSE, 0x00450001), kKeyPause);
    EXPECT_EQ(press_code(VK_UP, 0x01480001), kKeyUp);
    EXPECT_EQ(press_code('N', 0x40310001), 0) << "auto-repeat";
}
