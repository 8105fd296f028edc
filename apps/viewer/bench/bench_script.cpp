// The benchmark's test run: an evening flight in six scripted camera shots with music, engine noise
// and crew voices, one frame at a time. Each frame is timed by the high-resolution clock, which
// cannot round a fast frame to nothing; a shot's rate is its shown frames over their time.
#include "bench_script.h"

#include "bench_shots.h"
#include "sonra.h"
#include "viewer_ops.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace bench {

namespace {

enum Wave {
    kGearUp, kFlapDown, kOutside, kCockpit, kCabin, kCaptain07, kCopilot07, kCrew12, kCrew13, kCrew14, kCrew15,
    kCrew16ab, kCrew16, kWaveCount
};
// Read in this order, freed in the reverse one.
const wchar_t *const kWaveFiles[kWaveCount] = {
    L"sound\\ship\\gearup.wav", L"sound\\ship\\flapdown.wav", L"sound\\ship\\outside.wav",
    L"sound\\ship\\cockpit.wav", L"sound\\ship\\cabin.wav", L"sound\\voice\\cap\\cap_07.wav",
    L"sound\\voice\\co\\co_07.wav", L"sound\\voice\\ak72\\ak72_12_2ab.wav", L"sound\\voice\\ak72\\ak72_13_1.wav",
    L"sound\\voice\\ak72\\ak72_14_1tab.wav", L"sound\\voice\\ak72\\ak72_15_2tab.wav",
    L"sound\\voice\\ak72\\ak72_16_1ab.wav", L"sound\\voice\\ak72\\ak72_16_1.wav",
};
// Sound slots: music, the three engine loops, voices and effects.
enum Slot { kMusic = 0, kVoice = 7, kCaptain = 8, kCopilot = 9, kEffects = 11, kVoice2 = 12,
            kEngineOutside = 20, kEngineCockpit = 21, kEngineCabin = 22 };
const int kLoop = -1, kOnce = 1;
const int kEngineLoopVolume = 70, kVoiceVolume = 80, kFullVolume = 100;

// Camera types of the viewer's camera sets, as they choose the engine loop and the parts shown.
enum CameraType { kCameraOutside = 1, kCameraCockpit = 2, kCameraCabin = 3 };

// The parts the second shot moves, looked up once per run.
enum Surface { kAileronLeft, kAileronRight, kYokeTurnLeft, kYokeTurnRight, kElevatorLeft, kElevatorRight,
               kYokePushLeft, kYokePushRight, kSurfaceCount };
const wchar_t *const kSurfaceNames[kSurfaceCount] = {
    L"aileron_l01---x", L"aileron_r01---x", L"control02---z", L"control04---z",
    L"elevator_l01---x", L"elevator_r01---x", L"control01---x", L"control03---x",
};

const int kEveningMinutes = 151 * 1440 + 1050; // 1 June 17:30
const float kEveningSunDrop = 0.3f;            // the sun light lowered, not normalised again
const uint32_t kEveningSkyTop = 0xFFA064, kEveningSkyMiddle = 0xA37F94, kEveningSkyHorizon = 0x4E78D2;
const float kEveningFogStart = 1000, kEveningFogEnd = 15000;
const int kMessageMs = 3000; // the logo's three messages change every three seconds of test time
const int kDragLeft = -512, kDragRight = 511, kDragDown = -383, kDragUp = 384;

// One test run: wiped at its set-up.
struct Run {
    ModeRecord *record = nullptr;
    DisplayMode overlayMode;
    tagSNRWAVE waves[kWaveCount] = {};
    TRVXLAYER surfaces[kSurfaceCount] = {};
    TRVXLAYER messages[3] = {};
    int shot = 0;
    ShotView view = {};
    double clock = 0;        // simulation ms
    double elapsed = 0;      // test ms over all shots
    double lastFrameMs = 1;  // turns the propellers
    double shotShownMs = 0;  // time of the shot's shown frames
    int ox = 0, oy = 0;      // drag nudge, view pixels
    bool dragging = false;
    bool fired[4] = {};      // one-shot events of the current shot
    bool finished = false;   // every shot ran to its end
};
Run g_run;

// Each event fires on the first frame after its time.
bool once(int index, bool due) {
    if (!due || g_run.fired[index])
        return false;
    g_run.fired[index] = true;
    return true;
}

// The engine loop and parts for a camera type.
void mix_for(int cameraType) {
    bool inside = cameraType == kCameraCockpit || cameraType == kCameraCabin;
    SNR2_WaveSetLocalVol(kEngineOutside, cameraType == kCameraOutside ? kEngineLoopVolume : 0);
    SNR2_WaveSetLocalVol(kEngineCockpit, inside ? kEngineLoopVolume : 0);
    SNR2_WaveSetLocalVol(kEngineCabin, 0);
    viewer::show_parts_for_camera(cameraType);
}

void play(Slot slot, Wave wave, int times) { SNR2_WavePlay(slot, &g_run.waves[wave], times); }

viewer::ShotCamera camera_of(const ShotView &view) {
    viewer::ShotCamera camera = {view.set, view.lens, {}};
    std::copy(std::begin(view.a), std::end(view.a), camera.a);
    return camera;
}

// What changes between the shots, then the next shot's camera and mix.
void set_up_shot(int shot) {
    switch (shot) {
    case 1:
        viewer::stop_beacons();
        play(kVoice, kCrew12, kOnce);
        break;
    case 2:
        viewer::tilt_sun(kEveningSunDrop);
        viewer::start_beacons(100000);
        break;
    case 3:
        viewer::stop_beacons();
        break;
    case 4:
        SNR2_WaveSetLocalVol(kVoice2, 0);
        if (!viewer::channel_running(viewer::Channel::Gear))
            viewer::start_channel(viewer::Channel::Gear, -1, +1);
        viewer::start_beacons(145000);
        break;
    case 5:
        SNR2_WaveSetLocalVol(kCopilot, 0);
        SNR2_WaveSetLocalVol(kVoice2, kFullVolume);
        SNR2_WaveSetPitch(kEngineOutside, 100);
        viewer::stop_beacons();
        break;
    }
    g_run.view = shot_start_view(shot);
    viewer::place_camera(camera_of(g_run.view));
    mix_for(viewer::camera_type(g_run.view.set));
    std::fill(std::begin(g_run.fired), std::end(g_run.fired), false);
    g_run.shot = shot;
    g_run.clock = kShotRanges[shot].start;
    g_run.shotShownMs = 0;
}

// The second shot's yoke and the surfaces it moves.
void move_control_surfaces(double clock) {
    YokeAngles y = yoke_angles(clock);
    const TRVXLAYER *p = g_run.surfaces;
    viewer::turn_layer(p[kAileronLeft], {y.e, 0, 0});
    viewer::turn_layer(p[kAileronRight], {-y.e, 0, 0});
    viewer::turn_layer(p[kYokeTurnLeft], {0, 0, y.e});
    viewer::turn_layer(p[kYokeTurnRight], {0, 0, y.e});
    viewer::turn_layer(p[kElevatorLeft], {y.g, 0, 0.57f});
    viewer::turn_layer(p[kElevatorRight], {y.g, 0, -0.57f});
    viewer::turn_layer(p[kYokePushLeft], {y.g / 2, 0, 0});
    viewer::turn_layer(p[kYokePushRight], {y.g / 2, 0, 0});
}

// The shot's timed events for this frame.
void shot_events(int shot, double clock) {
    using viewer::Channel;
    switch (shot) {
    case 0:
        if (once(0, clock > 33000)) {
            viewer::start_channel(Channel::Gear, (int64_t)clock, -1);
            play(kEffects, kGearUp, kOnce);
        }
        if (once(1, clock > 38000))
            viewer::start_channel(Channel::LandingLights, (int64_t)clock, -1);
        break;
    case 1:
        if (once(0, clock > 75000))
            play(kVoice, kCrew13, kOnce);
        move_control_surfaces(clock);
        break;
    case 3:
        if (once(0, clock > 173000))
            play(kCopilot, kCrew14, kOnce);
        break;
    case 4:
        if (once(0, clock > 148000)) {
            viewer::start_channel(Channel::Flaps, (int64_t)clock, +1);
            play(kEffects, kFlapDown, kOnce);
        }
        if (once(1, clock > 150000))
            play(kVoice, kCrew15, kOnce);
        if (once(2, clock > 159000)) {
            play(kCopilot, kCrew16ab, kOnce);
            play(kVoice2, kCrew16, kOnce);
        }
        break;
    case 5:
        if (once(0, clock > 11999)) {
            SNR2_WaveFade(kMusic, 0, 2000);
            SNR2_WaveFade(kEngineCockpit, 0, 3000);
        }
        break;
    }
}

void shot_frame_values(int shot, double clock) {
    shot_frame_view(shot, clock, g_run.ox, g_run.oy, g_run.view);
    viewer::place_camera(camera_of(g_run.view));
    ShotFade fade = shot_frame_fade(shot, clock);
    if (fade.set)
        viewer::set_fade(fade.depth, fade.transparency, 0);
    if (shot == 4) {
        const ShotRange &r = kShotRanges[shot];
        float d = static_cast<float>(std::clamp((clock - r.start) / (r.end - r.start), 0.0, 1.0));
        SNR2_WaveSetPitch(kEngineOutside, engine_pitch(d));
    }
}

// Escape quits; a left press in the view starts a drag that nudges the camera and springs back
// when released.
void test_input() {
    viewer::TestInput in = viewer::read_input();
    if (in.escape)
        viewer::request_quit();
    if (in.leftPressInView)
        g_run.dragging = true;
    viewer::PointerLook look = viewer::PointerLook::Unchanged;
    if (g_run.dragging && in.leftHeld) {
        g_run.ox = std::clamp(g_run.ox + in.dx, kDragLeft, kDragRight);
        g_run.oy = std::clamp(g_run.oy + in.dy, kDragDown, kDragUp);
        look = viewer::PointerLook::Hand;
    } else if (g_run.dragging) {
        g_run.dragging = false;
        look = viewer::PointerLook::ArrowAfterDrag;
    } else {
        g_run.ox /= 2;
        g_run.oy /= 2;
    }
    viewer::update_pointer(look);
}

void show_overlay() {
    const ShotRecord &shot = g_run.record->shots[g_run.shot];
    int rate = g_run.shotShownMs > 0 ? static_cast<int>(1000.0 * shot.frameMs.size() / g_run.shotShownMs) : 0;
    int w = viewer::view_width(), h = viewer::view_height();
    const RECT box = {20 - w / 2, h / 2 - 20, 600 - w / 2, h / 2 - 40};
    const int kSecondEngineFont = 1;
    viewer::set_overlay_line(overlay_line(g_run.overlayMode, rate).c_str(), box, kSecondEngineFont, 0xFFFFFF);
}

void load_run_layers() {
    int w = viewer::view_width(), h = viewer::view_height();
    TRVXLAYER logo = viewer::read_scene_model(L"etc\\benchmark\\bench_logo.tvm");
    viewer::place_layer(logo, {100.0f - w / 2, 60.0f - h / 2, 0});
    for (int i = 0; i < 3; ++i) {
        wchar_t name[] = L"message1";
        name[7] = static_cast<wchar_t>(L'1' + i);
        g_run.messages[i] = viewer::find_layer(logo, name);
    }
    for (int i = 0; i < kSurfaceCount; ++i)
        g_run.surfaces[i] = viewer::aircraft_part(kSurfaceNames[i]);
}

void set_evening() {
    viewer::start_channel(viewer::Channel::Door, -1, 0);
    viewer::start_beacons(1);
    viewer::set_sun_time(kEveningMinutes);
    viewer::tilt_sun(-kEveningSunDrop);
    viewer::set_sky_colours(kEveningSkyTop, kEveningSkyMiddle, kEveningSkyHorizon);
    viewer::set_fog(kEveningFogStart, kEveningFogEnd, kEveningSkyHorizon);
}

void start_sound() {
    for (int i = 0; i < kWaveCount; ++i) {
        SNR2_Clear(&g_run.waves[i]);
        SNR2_WaveRead(kWaveFiles[i], &g_run.waves[i]);
    }
    for (int slot : {kEffects, kVoice, kCaptain, kCopilot})
        SNR2_WaveSetLocalVol(slot, kVoiceVolume);
    SNR2_WaveSetLocalVol(kMusic, kFullVolume);
    SNR2_WaveStreamPlay(kMusic, L"sound\\bgm\\evening.wav", kLoop);
    for (int slot : {kEngineOutside, kEngineCockpit, kEngineCabin})
        SNR2_WaveSetLocalVol(slot, 0);
    play(kEngineOutside, kOutside, kLoop);
    play(kEngineCockpit, kCockpit, kLoop);
    play(kEngineCabin, kCabin, kLoop);
    for (Slot slot : {kCaptain, kCopilot}) {
        SNR2_WaveSetLocalVol(slot, 0);
        play(slot, slot == kCaptain ? kCaptain07 : kCopilot07, kOnce);
        SNR2_WaveFade(slot, kVoiceVolume, 3000);
    }
}

// The end of a shot: its rate, then the next shot's set-up, or the run's end.
bool next_shot() {
    ShotRecord &shot = g_run.record->shots[g_run.shot];
    shot.rate = shot_rate(shot);
    if (g_run.shot + 1 == kShots) {
        g_run.finished = true;
        return false;
    }
    set_up_shot(g_run.shot + 1);
    return true;
}

} // namespace

void test_run_begin(ModeRecord &record, const DisplayMode &overlayMode) {
    g_run = Run{};
    g_run.record = &record;
    g_run.overlayMode = overlayMode;
    load_run_layers();
    set_evening();
    start_sound();
    int w = viewer::view_width(), h = viewer::view_height();
    viewer::reset_pointer(w / 2 - 64, 64 - h / 2);
    // The first shot keeps the mix of the set-up: its engine loop fades in below.
    g_run.view = shot_start_view(0);
    viewer::show_parts_for_camera(kCameraOutside);
    viewer::place_camera(camera_of(g_run.view));
    g_run.clock = kShotRanges[0].start;
    SNR2_WaveFade(kEngineOutside, kEngineLoopVolume, 3000);
}

bool test_run_frame() {
    if (g_run.clock > kShotRanges[g_run.shot].end && !next_shot())
        return false;
    double start = now_ms();
    test_input();
    if (viewer::quit_requested())
        return false;
    shot_events(g_run.shot, g_run.clock);
    shot_frame_values(g_run.shot, g_run.clock);
    show_overlay();
    int shown = static_cast<int>(g_run.elapsed / kMessageMs) % 3;
    for (int i = 0; i < 3; ++i)
        viewer::switch_layer(g_run.messages[i], i == shown);
    bool presented = viewer::draw_test_frame(g_run.clock, g_run.lastFrameMs);
    double ms = now_ms() - start;
    ShotRecord &shot = g_run.record->shots[g_run.shot];
    if (presented) {
        shot.frameMs.push_back(ms);
        g_run.shotShownMs += ms;
    } else {
        ++shot.unshown;
    }
    g_run.clock += ms;
    g_run.elapsed += ms;
    g_run.lastFrameMs = ms;
    return true;
}

bool test_run_end() {
    SNR2_WaveStop(-1);
    for (int i = kWaveCount - 1; i >= 0; --i)
        SNR2_WaveFree(&g_run.waves[i]);
    viewer::set_overlay_line("", {}, 0, 0);
    return g_run.finished;
}

} // namespace bench
