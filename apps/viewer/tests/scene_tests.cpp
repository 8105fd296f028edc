// The viewer's scene, parts, cameras and commands through the real engine and text model plug-in,
// with the engine's recording driver standing in for the device: a run without any content file
// must go on without the missing parts, and a run with the content must pose them as modelled.
#include <gtest/gtest.h>

#include <math.h>
#include <shlobj.h>

#include <string>

#include "camera.h"
#include "commands.h"
#include "frame.h"
#include "input.h"
#include "panels.h"
#include "parts.h"
#include "photo.h"
#include "press_ledger.h"
#include "recording_driver.h"
#include "scene.h"
#include "scene_load.h"
#include "viewer_ops.h"
#include "viewer_state.h"

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
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ViewerSceneTest";
        RegisterClassW(&wc);
        g_process.window = CreateWindowW(L"ViewerSceneTest", L"viewer scene", WS_OVERLAPPEDWINDOW, 0, 0, kWidth,
                                         kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        RECT view = {0, 0, kWidth, kHeight};
        g_run = ViewerRun{};
        g_run.ctx = TRVX_Start(g_process.window, &view, 1);
        ASSERT_NE(g_run.ctx, nullptr);
        g_display.width = kWidth;
        g_display.height = kHeight;
        g_run.view = view_shape(kWidth, kHeight);
        g_process.quitRequested = 0;
        g_process.windowActive = 1;
    }

    void TearDown() override
    {
        if (g_run.ctx)
            TRVX_End(g_run.ctx);
        g_run.ctx = nullptr;
        DestroyWindow(g_process.window);
    }

    // Frames as the viewer's loop draws them, `ms` of simulation each, with a camera drive.
    static void fly(int frames, double ms, int cameraMode)
    {
        for (int i = 0; i < frames; ++i) {
            place_aircraft(g_run.clock, g_currentCamera);
            update_camera(cameraMode, 2.0f, 1.0f, 0.5f);
            turn_propellers(ms);
            draw_frame(true);
            g_run.clock += ms;
        }
    }

    // The scene as a viewer run loads it.
    static void load_viewer_scene()
    {
        load_scene();
        dress_for_viewer();
    }

    static Vec3 rotation_of(const wchar_t *part)
    {
        TRVXVECTOR r = {};
        TRVXLAYER layer = aircraft_part(part);
        if (layer)
            TRVXL_GetMoveLayer(g_run.ctx, layer, nullptr, &r, nullptr, nullptr, nullptr);
        return {r.x, r.y, r.z};
    }
};

} // namespace

// No model file at all: every part is skipped, and flying, every camera and the panel commands
// still work without handing the engine a missing layer.
TEST_F(ViewerScene, MissingContentLeavesThePartsOut)
{
    load_viewer_scene();
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
    EXPECT_EQ(g_process.quitRequested, 0);
}

// The sky cylinder: four rings of 16 from 2000 above to 1000 below, coloured top to horizon.
TEST_F(ViewerScene, SkyCylinderRingsAndColours)
{
    load_viewer_scene();
    TRVXCONTEXT ctx = g_run.ctx;
    TRVXLAYER sky = g_scene.skyCylinder;
    ASSERT_NE(sky, nullptr);
    ASSERT_EQ((int)TRVXL_EXT_Function(ctx, sky, TRVX_EXT_VERTEX_COUNT, 0, 0), 64);
    EXPECT_EQ((int)TRVXL_EXT_Function(ctx, sky, TRVX_EXT_FACE_COUNT, 0, 0), 96);
    const tagTRVXVERTEX *v = (const tagTRVXVERTEX *)TRVXL_EXT_Function(ctx, sky, TRVX_EXT_VERTICES, 0, 0);
    EXPECT_FLOAT_EQ(v[0].position.y, 2000);
    EXPECT_FLOAT_EQ(v[48].position.y, -1000);
    EXPECT_FLOAT_EQ(v[4].position.x, 18000);
    EXPECT_EQ(v[3].colour & 0xFFFFFF, 0x90511Au);
    EXPECT_EQ(v[20].colour & 0xFFFFFF, 0xA37F94u);
    EXPECT_EQ(v[40].colour & 0xFFFFFF, g_scene.skyHorizon);
    EXPECT_EQ(v[60].colour & 0xFFFFFF, g_scene.skyHorizon);
    EXPECT_EQ((uint32_t)TRVXL_EXT_Function(ctx, sky, TRVX_EXT_MODE, 0, 0), 0x80160000u);
}

TEST_F(ViewerScene, RebuildWalkByLayerName)
{
    TRVXCONTEXT ctx = g_run.ctx;
    load_viewer_scene();
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
        EXPECT_EQ((uint32_t)TRVXL_EXT_Function(ctx, layers[i], TRVX_EXT_MODE, 0, 0), expected[i]) << names[i];
}

// With the real content: the door and airstair in their open pose, the gear retracting, the beacon
// lighting light slot 2, and the camera sets and commands as a user meets them.
TEST_F(ViewerScene, ContentPartsAndCameras)
{
    SetCurrentDirectoryW(content_folder().c_str());
    load_viewer_scene();
    ASSERT_NE(g_scene.aircraft, nullptr);
    ASSERT_NE(g_scene.airport, nullptr);
    select_camera_set(0);
    g_run.clock = 1150; // the upper beacon at its brightest
    fly(1, 0, 0);
    EXPECT_FLOAT_EQ(rotation_of(L"trap00---z").z, 75);
    EXPECT_FLOAT_EQ(rotation_of(L"trap0301---z").z, 250);
    EXPECT_EQ(g_run.ctx->lights[2].kind, TRVX_LIGHT_POINT);
    EXPECT_NEAR(g_run.ctx->lights[2].range, 3, 0.01);

    timed_start(g_channels.gear, g_run.clock, -1);
    g_run.clock += 7000;
    draw_frame(true);
    EXPECT_FLOAT_EQ(rotation_of(L"nosegear---x").x, 100);

    g_run.clock = 1300; // between the flashes
    draw_frame(true);
    EXPECT_EQ(g_run.ctx->lights[2].kind, TRVX_LIGHT_OFF);

    handle_command(kKeyF1 + 3); // set 3 is empty: nothing changes
    EXPECT_EQ(g_currentCamera, 0);
    handle_command(kKeyF1 + 1);
    EXPECT_EQ(g_currentCamera, 1);
    fly(1, 20, 0);
    EXPECT_EQ(TRVXL_SwitchLayer(g_run.ctx, aircraft_part(L"cp_c"), 0xFFFFFFFF) & 1, 1u) << "cockpit shown";
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
        load_viewer_scene();
        select_camera_set(0);
    }

    static void hold(int code, bool down)
    {
        tagTRVXINPUT &record = g_run.ctx->inputState;
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
        return TRVXL_SwitchLayer(g_run.ctx, panel_part(panel, name), 0xFFFFFFFF) & TRVX_SWITCH_ON;
    }

    static float layer_x(TRVXLAYER layer)
    {
        TRVXVECTOR at = {};
        TRVXL_GetMoveLayer(g_run.ctx, layer, &at, nullptr, nullptr, nullptr, nullptr);
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
    EXPECT_EQ(g_run.release.due, 0);
}

TEST_F(ViewerControls, FastForwardVolumeAndZoomGauge)
{
    handle_command(kKeyLeftShift);
    EXPECT_EQ(g_run.speedFactor, 4);
    g_input.shift = true;
    step();
    EXPECT_EQ(g_run.speedFactor, 4) << "held";
    g_input.shift = false;
    step();
    EXPECT_EQ(g_run.speedFactor, 1) << "released without the mouse button";

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
// polling saw is not queued twice, however early or late the window's report of it is taken.
TEST_F(ViewerControls, TapsBetweenPollsAreNotLost)
{
    auto driverKeys = (RecordingInputProc)(void *)GetProcAddress(GetModuleHandleW(L"vdr_record.dll"),
                                                                  "RecordingInput");
    ASSERT_NE(driverKeys, nullptr);
    uint8_t keys[256] = {}, buttons[64] = {};
    int32_t axes[16] = {};
    g_process.windowActive = 1;
    while (next_input_event()) {
    }
    note_press(kKeyF1 + 1);
    poll_input();
    EXPECT_EQ(next_input_event(), 0) << "polling may yet see it";
    Sleep(PressLedger::kUnseenMs + 50); // the tick count moves in steps of up to 16 ms
    poll_input();
    EXPECT_EQ(next_input_event(), kKeyF1 + 1);
    EXPECT_EQ(next_input_event(), 0);

    keys[kKeyTab] = TRVX_INPUT_DOWN; // the driver sees Tab held at this poll, with the window's report
    driverKeys(keys, buttons, axes);
    note_press(kKeyTab);
    poll_input();
    EXPECT_EQ(next_input_event(), kKeyTab) << "the engine's own queue has it";
    EXPECT_EQ(next_input_event(), 0);

    keys[kKeyTab] = 0;
    driverKeys(keys, buttons, axes);
    poll_input();
    keys[kKeyTab] = TRVX_INPUT_DOWN; // pressed again; the window's report of it comes two polls late
    driverKeys(keys, buttons, axes);
    poll_input();
    EXPECT_EQ(next_input_event(), kKeyTab);
    keys[kKeyTab] = 0;
    driverKeys(keys, buttons, axes);
    poll_input();
    note_press(kKeyTab);
    poll_input();
    EXPECT_EQ(next_input_event(), 0) << "queued a second time";

    note_press(kKeyTab); // the window's report comes a poll before the keyboard state shows the key
    poll_input();
    keys[kKeyTab] = TRVX_INPUT_DOWN;
    driverKeys(keys, buttons, axes);
    poll_input();
    EXPECT_EQ(next_input_event(), kKeyTab);
    keys[kKeyTab] = 0;
    driverKeys(keys, buttons, axes);
    Sleep(PressLedger::kUnseenMs + 50); // the tick count moves in steps of up to 16 ms
    poll_input();
    poll_input();
    EXPECT_EQ(next_input_event(), 0) << "queued a second time";

    EXPECT_EQ(press_code(VK_PAUSE, 0x00450001), kKeyPause);
    EXPECT_EQ(press_code(VK_UP, 0x01480001), kKeyUp);
    EXPECT_EQ(press_code('N', 0x40310001), 0) << "auto-repeat";
}

// The benchmark's overlay line is copied into a buffer of 128 characters: a longer one is cut there.
TEST_F(ViewerScene, OverlayLineIsBoundedByItsBuffer)
{
    load_scene();
    std::string text(300, 'x');
    viewer::set_overlay_line(text.c_str(), {0, 0, 10, 10}, 1, 0xFFFFFF);
    EXPECT_EQ(wcslen(g_run.overlayText), ARRAYSIZE(g_run.overlayText) - 1);
    draw_frame(true);
    viewer::set_overlay_line("", {}, 0, 0);
    EXPECT_EQ(g_run.overlayText[0], 0);
}

// Print tapped between two polls while a photo waits is a second photo, even when the tap is decided
// only after the wait's time is up.
TEST_F(ViewerControls, TapDuringThePhotosWaitIsAnotherPhoto)
{
    g_process.windowActive = 1;
    forget_photos();
    request_photo();
    EXPECT_FALSE(photo_step());
    note_press(kKeyPrintScreen);
    int taken = 0;
    for (int steps = 0; photo_wanted() && steps < 100000; ++steps)
        taken += photo_step();
    EXPECT_EQ(taken, 2);
}

// A photo that cannot be saved says so over the scene, instead of vanishing: beside the program
// "photo" is a file, and in the documents "HX-21" is one.
TEST_F(ViewerControls, PhotoThatCannotBeSavedSaysSo)
{
    wchar_t documents[MAX_PATH], temp[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents)));
    std::wstring blocker = std::wstring(documents) + L"\\HX-21";
    if (GetFileAttributesW(blocker.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the documents' HX-21 folder exists here already";
    GetTempPathW(MAX_PATH, temp);
    std::wstring program = std::wstring(temp) + L"photo_test\\";
    CreateDirectoryW(program.c_str(), nullptr);
    for (const std::wstring &file : {blocker, program + L"photo"})
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    wcscpy(g_process.programFolder, program.c_str());

    forget_photos();
    request_photo();
    ASSERT_TRUE(photo_wanted());
    for (int i = 0; i < 1000 && !photo_step(); ++i) {
    }
    EXPECT_FALSE(photo_wanted());
    EXPECT_STREQ(g_run.notice, L"写真を保存できませんでした");
    EXPECT_GT(g_run.noticeUntil, now_ms());

    g_process.programFolder[0] = 0;
    DeleteFileW(blocker.c_str());
    DeleteFileW((program + L"photo").c_str());
    RemoveDirectoryW(program.c_str());
}
