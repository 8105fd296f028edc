// The benchmark's test run: an evening flight in six scripted camera shots with music, engine noise
// and crew voices, each shot timed by the engine's running frame-time average.
#include "benchmark.h"

#include "bench_session.h"
#include "camera.h"
#include "input.h"
#include "layers.h"
#include "panels.h"
#include "parts.h"
#include "scene.h"
#include "viewer.h"

#include <math.h>

#include <algorithm>

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

const float kThreeQuarterTurn = 4.71238911151886f; // 3π/2: the cosine goes 1 → 0 → −1 → 0

struct Shot {
    uint32_t start, end; // simulation clock range, ms
};
const Shot kShots[kShotCount] = {
    {30000, 48000}, {70000, 80000}, {100000, 115000}, {160000, 175000}, {145000, 160000}, {0, 15000},
};

// The parts the second shot moves, looked up once per run.
enum Surface { kAileronLeft, kAileronRight, kYokeTurnLeft, kYokeTurnRight, kElevatorLeft, kElevatorRight,
               kYokePushLeft, kYokePushRight, kSurfaceCount };
const wchar_t *const kSurfaceNames[kSurfaceCount] = {
    L"aileron_l01---x", L"aileron_r01---x", L"control02---z", L"control04---z",
    L"elevator_l01---x", L"elevator_r01---x", L"control01---x", L"control03---x",
};

struct Run {
    tagSNRWAVE waves[kWaveCount];
    TRVXLAYER surfaces[kSurfaceCount];
    TRVXLAYER messages[3];
    int ox = 0, oy = 0; // drag nudge, view pixels
    bool dragging = false;
    bool fired[4];      // one-shot events of the current shot
    uint32_t elapsed = 0; // test ms over all shots
};

Run g_run;

// Each event fires on the first frame after its time.
bool once(int index, bool due) {
    if (!due || g_run.fired[index])
        return false;
    g_run.fired[index] = true;
    return true;
}

void mix_for(int cameraType) {
    int outside = cameraType == kCameraOutside ? 70 : 0;
    int inside = cameraType == kCameraCockpit || cameraType == kCameraCabin ? 70 : 0;
    SNR2_WaveSetLocalVol(kEngineOutside, outside);
    SNR2_WaveSetLocalVol(kEngineCockpit, inside);
    SNR2_WaveSetLocalVol(kEngineCabin, 0);
    show_parts_for_camera(cameraType);
}

void place_camera(int set, float lens, float a0, float a1, float a2, float a3) {
    g_currentCamera = set;
    CameraSet &c = g_cameraSets[set];
    c.camera.lens = lens;
    c.a[0] = a0, c.a[1] = a1, c.a[2] = a2, c.a[3] = a3;
}

// A shot's camera set with its start values, and the engine loop and parts for its kind.
void use_camera(int set, float lens, float a0, float a1, float a2, float a3) {
    place_camera(set, lens, a0, a1, a2, a3);
    mix_for(g_cameraSets[set].type);
}

void stop_beacons() {
    g_channels.beacons.start = -1;
    g_channels.beacons.stopFlag = -1;
}

void start_beacons_at(int64_t clock) {
    if (!g_channels.beacons.running) {
        g_channels.beacons.start = clock;
        g_channels.beacons.stopFlag = 0;
    }
}

void set_up_shot(int shot) {
    Scene &s = g_scene;
    TRVXCONTEXT ctx = g_viewer.ctx;
    switch (shot) {
    case 1:
        use_camera(1, 28, 85, 0, 1, 0);
        stop_beacons();
        SNR2_WavePlay(kVoice, &g_run.waves[kCrew12], 1);
        break;
    case 2:
        s.sun.direction.z += 0.3f;
        TRVX_SetLight(ctx, 1, &s.sun);
        use_camera(0, 40, 30, 16, 0, 0);
        start_beacons_at(100000);
        break;
    case 3:
        use_camera(2, 40, 0, 0, 90, 0);
        stop_beacons();
        break;
    case 4:
        SNR2_WaveSetLocalVol(kVoice2, 0);
        use_camera(0, 110, 270, 5, 0, 0);
        if (!g_channels.gear.running)
            timed_start(g_channels.gear, -1, +1);
        start_beacons_at(145000);
        break;
    case 5:
        SNR2_WaveSetLocalVol(kCopilot, 0);
        SNR2_WaveSetLocalVol(kVoice2, 100);
        SNR2_WaveSetPitch(kEngineOutside, 100);
        use_camera(1, 60, 0, -11, -0.6f, 0);
        stop_beacons();
        break;
    }
    std::fill(std::begin(g_run.fired), std::end(g_run.fired), false);
    g_viewer.clock = kShots[shot].start;
    TRVX_SampleCounter(ctx, -1);
}

void turn_part(TRVXLAYER part, float x, float y, float z) {
    Vec3 turn = {x, y, z};
    move_layer(part, nullptr, &turn);
}

// The yoke and the surfaces it moves, swinging once from 76 s of the second shot.
void move_control_surfaces(uint32_t clock) {
    float u = clock > 75999 ? (clock - 76000) / 4000.0f : 0;
    float c = cosf(kThreeQuarterTurn * u);
    float e = TRVX_CheckRange(-30 * c, -30, 30);
    float g = TRVX_CheckRange(15 * c, -30, 30);
    const TRVXLAYER *p = g_run.surfaces;
    turn_part(p[kAileronLeft], e, 0, 0);
    turn_part(p[kAileronRight], -e, 0, 0);
    turn_part(p[kYokeTurnLeft], 0, 0, e);
    turn_part(p[kYokeTurnRight], 0, 0, e);
    turn_part(p[kElevatorLeft], g, 0, 0.57f);
    turn_part(p[kElevatorRight], g, 0, -0.57f);
    turn_part(p[kYokePushLeft], g / 2, 0, 0);
    turn_part(p[kYokePushRight], g / 2, 0, 0);
}

int fade_transparency(float value) { return std::clamp((int)value, 0, 255); }

// The shot's timed events and camera values for this frame.
void step_shot(int shot) {
    uint32_t clock = g_viewer.clock;
    const Shot &range = kShots[shot];
    float d = std::clamp((float)(clock - range.start) / (range.end - range.start), 0.0f, 1.0f);
    float ox = (float)g_run.ox, oy = (float)g_run.oy;
    CameraSet &c = g_cameraSets[g_currentCamera];
    tagSNRWAVE *w = g_run.waves;
    switch (shot) {
    case 0: {
        if (once(0, clock > 33000)) {
            timed_start(g_channels.gear, clock, -1);
            SNR2_WavePlay(kEffects, &w[kGearUp], 1);
        }
        if (once(1, clock > 38000))
            timed_start(g_channels.landingLights, clock, -1);
        float b = 1 - std::min((clock - 30000) / 10000.0f, 1.0f);
        c.a[0] = 200 - 25 * b + 0.05f * ox;
        c.a[1] = 3 - 3 * b - 0.03f * oy;
        c.camera.lens = 100 + 90 * b;
        if (clock <= 33000)
            set_fade(-1, fade_transparency(255.0f * (clock - 30000) / 3000), 0);
        else
            set_fade(0, 255, 0);
        break;
    }
    case 1: {
        if (once(0, clock > 75000))
            SNR2_WavePlay(kVoice, &w[kCrew13], 1);
        float a = (clock - 70000) / 10000.0f;
        c.a[2] = 0.5f + 0.3f * a;
        c.a[0] = 60 + 8 * a + 0.05f * ox;
        c.a[1] = -0.05f * oy;
        move_control_surfaces(clock);
        break;
    }
    case 2:
        c.a[0] = 30 + 70 * d + 0.1f * ox;
        c.a[1] = 16 + 10 * d;
        c.camera.lens = 40 + 40 * d - (oy < 0 ? 0.2f * oy : 0);
        break;
    case 3:
        if (once(0, clock > 173000))
            SNR2_WavePlay(kCopilot, &w[kCrew14], 1);
        c.a[0] = 2 + 4 * d;
        c.a[2] = 130 - 50 * d + 0.1f * ox;
        c.a[3] = -0.1f * oy;
        break;
    case 4:
        if (once(0, clock > 148000)) {
            timed_start(g_channels.flaps, clock, +1);
            SNR2_WavePlay(kEffects, &w[kFlapDown], 1);
        }
        if (once(1, clock > 150000))
            SNR2_WavePlay(kVoice, &w[kCrew15], 1);
        if (once(2, clock > 159000)) {
            SNR2_WavePlay(kCopilot, &w[kCrew16ab], 1);
            SNR2_WavePlay(kVoice2, &w[kCrew16], 1);
        }
        c.a[0] = 280 + 50 * d + 0.08f * ox;
        c.a[1] = 5 + 10 * d - 0.08f * oy;
        c.camera.lens = 110 - 30 * d;
        SNR2_WaveSetPitch(kEngineOutside, (int)(85 + 15 * cosf(kThreeQuarterTurn * d)));
        break;
    case 5:
        if (once(0, clock > 11999)) {
            SNR2_WaveFade(kMusic, 0, 2000);
            SNR2_WaveFade(kEngineCockpit, 0, 3000);
        }
        c.a[0] = 60 * (1 - clock / 15000.0f) + 0.2f * ox;
        c.a[1] = -11 - 0.2f * oy;
        if (clock > 11999)
            set_fade(-1, fade_transparency(255 - 255.0f * (clock - 12000) / 3000), 0);
        break;
    }
}

// Escape quits; a left press in the view starts a drag that nudges the camera and springs back
// when released.
void benchmark_input() {
    InputState &in = g_input;
    poll_input();
    while (int code = next_input_event()) {
        if (code == kKeyEscape)
            g_viewer.quitRequested = 1;
        else if (code == kMouseLeft && in.mouseInView)
            g_run.dragging = true;
    }
    if (g_run.dragging && held(kMouseLeft)) {
        g_run.ox = std::clamp(g_run.ox + in.dx, -512, 511);
        g_run.oy = std::clamp(g_run.oy + in.dy, -383, 384);
        in.driveMode = 2;
    } else if (g_run.dragging) {
        ClipCursor(nullptr);
        g_run.dragging = false;
        in.driveMode = 1;
    } else {
        g_run.ox /= 2;
        g_run.oy /= 2;
    }
    update_cursor();
}

void set_up_run() {
    Viewer &v = g_viewer;
    TRVXCONTEXT ctx = v.ctx;
    Scene &s = g_scene;
    int w = v.view.width, h = v.view.height;
    g_run = Run{};

    v.overlayFont = 1;
    v.overlayColour = 0xFFFFFF;
    v.overlayRect = {20 - w / 2, h / 2 - 20, 600 - w / 2, h / 2 - 40};
    TRVXLAYER logo = s.sceneRoot ? TRVXL_ReadLayer(ctx, s.sceneRoot, L"etc\\benchmark\\bench_logo.tvm") : nullptr;
    Vec3 logoAt = {100.0f - w / 2, 60.0f - h / 2, 0};
    move_layer(logo, &logoAt, nullptr);
    for (int i = 0; i < 3; ++i) {
        wchar_t name[16] = L"message1";
        name[7] = (wchar_t)(L'1' + i);
        g_run.messages[i] = find_layer(logo, name);
    }

    for (int i = 0; i < kSurfaceCount; ++i)
        g_run.surfaces[i] = aircraft_part(kSurfaceNames[i]);

    timed_start(g_channels.door, -1, g_channels.door.direction);
    g_channels.beacons.start = 1;

    set_sun_time(151 * 1440 + 1050);
    s.sun.direction.z -= 0.3f; // a lower evening light, not normalised again
    TRVX_SetLight(ctx, 1, &s.sun);
    s.skyTop = 0xFFA064;
    s.skyMiddle = 0xA37F94;
    s.skyHorizon = 0x4E78D2;
    colour_sky();
    TRVX_SetFog(ctx, 1000, 15000, 0x4E78D2);

    for (int i = 0; i < kWaveCount; ++i) {
        SNR2_Clear(&g_run.waves[i]);
        SNR2_WaveRead(kWaveFiles[i], &g_run.waves[i]);
    }
    for (int slot : {kEffects, kVoice, kCaptain, kCopilot})
        SNR2_WaveSetLocalVol(slot, 80);
    SNR2_WaveSetLocalVol(kMusic, 100);
    SNR2_WaveStreamPlay(kMusic, L"sound\\bgm\\evening.wav", -1);
    for (int slot : {kEngineOutside, kEngineCockpit, kEngineCabin})
        SNR2_WaveSetLocalVol(slot, 0);
    SNR2_WavePlay(kEngineOutside, &g_run.waves[kOutside], -1);
    SNR2_WavePlay(kEngineCockpit, &g_run.waves[kCockpit], -1);
    SNR2_WavePlay(kEngineCabin, &g_run.waves[kCabin], -1);
    SNR2_WaveSetLocalVol(kCaptain, 0);
    SNR2_WavePlay(kCaptain, &g_run.waves[kCaptain07], 1);
    SNR2_WaveFade(kCaptain, 80, 3000);
    SNR2_WaveSetLocalVol(kCopilot, 0);
    SNR2_WavePlay(kCopilot, &g_run.waves[kCopilot07], 1);
    SNR2_WaveFade(kCopilot, 80, 3000);

    g_input.held = kHeldNone;
    g_input.x = w / 2 - 64;
    g_input.y = 64 - h / 2;
    ctx->inputState.axes[0] = g_input.x;
    ctx->inputState.axes[1] = g_input.y;

    // The first shot keeps the mix of the set-up: its engine loop fades in below.
    show_parts_for_camera(kCameraOutside);
    place_camera(0, 110, 200, 3, 0, 0);
    v.frameTime = 1;
    v.clock = 30000;
    SNR2_WaveFade(kEngineOutside, 70, 3000);
    TRVX_SampleCounter(ctx, -1);
}

void clean_up_run() {
    SNR2_WaveStop(-1);
    for (int i = kWaveCount - 1; i >= 0; --i)
        SNR2_WaveFree(&g_run.waves[i]);
    g_viewer.overlayText[0] = 0;
}

double now_ms() {
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * (double)t.QuadPart / (double)frequency.QuadPart;
}

int average_rate(TRVXCONTEXT ctx) {
    DWORD averageMs = TRVX_SampleCounter(ctx, 0);
    return averageMs ? (int)(1000 / averageMs) : 1000;
}

// One shot's frame loop; false when the user quit.
bool run_shot(int shot, ShotRecord &record) {
    Viewer &v = g_viewer;
    TRVXCONTEXT ctx = v.ctx;
    const DisplayMode &mode = g_session.overlayMode;
    while (v.clock <= kShots[shot].end) {
        double frameStart = now_ms();
        TRVX_StartCounter(ctx);
        benchmark_input();
        if (v.quitRequested)
            return false;
        step_shot(shot);
        place_aircraft(v.clock, g_currentCamera);
        update_camera(0, 0, 0, 0);
        turn_propellers(v.frameTime);
        std::string overlay = overlay_line(mode, average_rate(ctx));
        std::copy(overlay.begin(), overlay.end(), v.overlayText);
        v.overlayText[std::min(overlay.size(), std::size(v.overlayText) - 1)] = 0;
        int shown = (int)(g_run.elapsed / 3000 % 3);
        for (int i = 0; i < 3; ++i)
            switch_layer(g_run.messages[i], i == shown);
        DWORD ms = draw_frame(true);
        v.clock += ms;
        g_run.elapsed += ms;
        v.frameTime = ms;
        record.frameMs.push_back(now_ms() - frameStart);
    }
    record.rate = average_rate(ctx);
    return true;
}

} // namespace

} // namespace bench

using namespace bench;

int benchmark_run(int runMode) {
    int mode = runMode - 2;
    if (mode < 1 || mode > kModeCount)
        return 0;
    ModeRecord &record = g_session.result.modes[mode - 1];
    record = ModeRecord{record.requested, record.ran, false, record.note};
    set_up_run();
    int score = 0;
    bool finished = true;
    for (int shot = 0; shot < kShotCount && finished; ++shot) {
        if (shot > 0)
            set_up_shot(shot);
        finished = run_shot(shot, record.shots[shot]);
        score += record.shots[shot].rate;
    }
    clean_up_run();
    // A run the user broke off measured nothing comparable.
    record.tested = finished;
    record.score = finished ? score : 0;
    return record.score;
}
