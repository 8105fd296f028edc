// The logo animation thread: lines sketch the letters, the letters spin into place, a glint runs along
// the word mark and a black curtain falls; then the viewer is started. Drawn through the engine.
#include "launcher_local.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <vector>

#include "logo_timeline.h"
#include "product.h"
#include "trvx_profile_win32.h"
#include "trvx.h"

namespace {

const wchar_t kLogoModel[] = L"logo\\trv5\\trv5.tvm";
const wchar_t kLogoSound[] = L"logo\\trv5\\trv5.wav";
const DWORD kBlack = 0x00000000;

TRVXVECTOR vec(const logo::Vec3 &v)
{
    return {v.x, v.y, v.z, 0};
}

class LogoPlayer {
public:
    explicit LogoPlayer(LogoShared *shared) : shared_(shared) {}

    void run()
    {
        RECT client = {0, 0, logo::kWindowWidth, logo::kWindowHeight};
        ctx_ = TRVX_Start(shared_->window, &client, 1);
        if (!ctx_)
            return; // the window stays empty until the user closes it
        TRVX_ClearViewPort(ctx_, 0, kBlack);
        TRVX_FlipViewPort(ctx_, 0);
        RECT logoArea = {logo::kLogoLeft, logo::kLogoTop, logo::kLogoLeft + logo::kLogoWidth,
                         logo::kLogoTop + logo::kLogoHeight};
        TRVX_ClipViewPort(ctx_, 0, &logoArea);
        load_scene();
        trvx_profile_mark("launcher.logo_loaded");
        sndPlaySoundW(kLogoSound, SND_ASYNC | SND_NODEFAULT);

        // Each step is false after a stop request, which skips the rest.
        if (sketch_lines() && move_letters() && run_glint())
            fade_out();
        sndPlaySoundW(nullptr, 0);
        TRVX_End(ctx_);
        if (!stopped())
            start_viewer();
    }

private:
    using Clock = std::chrono::steady_clock;

    bool stopped() const { return shared_->stopRequested.load(); }

    TRVXLAYER find(const wchar_t *name) const { return logo_ ? TRVXL_SearchLayer(ctx_, logo_, name) : nullptr; }

    void load_scene()
    {
        logo_ = TRVXL_ReadLayer(ctx_, ctx_->rootLayer, kLogoModel);
        top_ = logo_ ? logo_ : ctx_->rootLayer;
        // A black screen-sized square in front of everything, fully transparent until the fade out.
        const float square[] = {4.0f, 2.0f, 640.0f, 480.0f, 0, 0, 0, 0};
        curtain_ = TRVXL_CreateModel(ctx_, top_, square);
        if (curtain_) {
            TRVXL_EXT_RecallFunction(ctx_, curtain_, TRVX_EXT_DIFFUSE, kBlack, 0, 1);
            TRVXL_EXT_RecallFunction(ctx_, curtain_, TRVX_EXT_OVERLAY, 1, 0, 1);
            TRVXL_EXT_RecallFunction(ctx_, curtain_, TRVX_EXT_TRANSPARENCY, 255, 0, 1);
            TRVXVECTOR front = {0, 0, -1, 0};
            TRVXL_MoveLayer(ctx_, curtain_, &front, nullptr, nullptr, 0, 0);
        }

        camera_ = {};
        camera_.eye = {0, 0, -100, 0};
        camera_.target = {0, 0, 0, 0};
        camera_.up = {0, 1, 0, 0};
        camera_.lens = 50;
        camera_.aspect = 4.0f / 3.0f;
        camera_.farZ = 1000;
        TRVX_SetCamera(ctx_, &camera_);
        tagTRVXLIGHT ambient = {};
        ambient.kind = TRVX_LIGHT_AMBIENT;
        ambient.diffuse = 0x505050;
        TRVX_SetLight(ctx_, 0, &ambient);
        light_ = {};
        light_.kind = TRVX_LIGHT_DIRECTIONAL;
        light_.diffuse = 0xFFFFFF;
        light_.direction = {-100, -100, 200, 0};
        TRVX_SetLight(ctx_, 1, &light_);

        const wchar_t *colours[] = {L"red", L"green", L"blue"};
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < logo::kLineSteps; ++k) {
                wchar_t name[32];
                wsprintfW(name, L"%02d%s_line", k + 1, colours[c]);
                lines_[k][c] = find(name);
            }
        }
        line_ = find(L"line");
        red_ = find(L"red_all");
        green_ = find(L"green_all");
        blue_ = find(L"blue_all");
        const wchar_t *solid[] = {L"02red", L"02green", L"02blue"};
        const wchar_t *glassy[] = {L"01red", L"01green", L"01blue"};
        for (int c = 0; c < 3; ++c) {
            solid_[c] = find(solid[c]);
            glassy_[c] = find(glassy[c]);
        }
        back_ = find(L"back");
        glint_ = find(L"light");
    }

    // Draws frames until the first frame that began after `durationMs` of this step; `update` places
    // the moving parts for the step's time. False when a stop was asked for.
    bool play(double durationMs, const std::function<void(double)> &update)
    {
        const Clock::time_point start = Clock::now();
        for (;;) {
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            update(ms);
            draw();
            if (stopped())
                return false;
            if (ms > durationMs)
                return true;
        }
    }

    void draw()
    {
        const Clock::time_point start = Clock::now();
        TRVXL_CalcLayer(ctx_, top_);
        // Begin, collect, back overlays (the picture), 3D opaque and sorted, front overlays (the
        // glint, the curtain), end; the logo has no points.
        // The logo's back overlays, then its 3D parts, then its front overlays.
        static const int steps[] = {TRVX_STEP_BEGIN,  TRVX_STEP_COLLECT, TRVX_STEP_SETUP_2D, TRVX_STEP_BACK,
                                    TRVX_STEP_SETUP_3D, TRVX_STEP_OPAQUE, TRVX_STEP_SORTED,  TRVX_STEP_SETUP_2D,
                                    TRVX_STEP_FRONT,  TRVX_STEP_END};
        for (int step : steps)
            TRVX_RenderingEx(ctx_, 0, top_, step, kBlack);
        TRVX_FlipViewPort(ctx_, 0);
        TRVX_SystemTask(ctx_);
        // Where presenting does not wait for the display, leave the processor some air.
        if (Clock::now() - start < std::chrono::milliseconds(4))
            Sleep(1);
    }

    void move(TRVXLAYER layer, const TRVXVECTOR *translate, const TRVXVECTOR *rotate, const TRVXVECTOR *scale)
    {
        if (layer)
            TRVXL_MoveLayer(ctx_, layer, translate, rotate, scale, 0, 0);
    }

    void switch_layer(TRVXLAYER layer, DWORD on)
    {
        if (layer)
            TRVXL_SwitchLayer(ctx_, layer, on);
    }

    void set_transparency(TRVXLAYER layer, int transparency)
    {
        if (layer)
            TRVXL_EXT_RecallFunction(ctx_, layer, TRVX_EXT_TRANSPARENCY, (DWORD_PTR)transparency, 0, 1);
    }

    bool sketch_lines()
    {
        for (int k = 0; k < logo::kLineSteps; ++k) {
            bool going = play(logo::kLineStepMs, [&](double ms) {
                TRVXVECTOR scale = {logo::line_scale(k, ms), 1, 1, 0};
                for (TRVXLAYER line : lines_[k])
                    move(line, nullptr, nullptr, &scale);
            });
            if (!going)
                return false;
        }
        switch_layer(line_, 0);
        if (!play(logo::kSketchHoldMs, [](double) {}))
            return false;
        for (int c = 0; c < 3; ++c) {
            switch_layer(solid_[c], 1);
            switch_layer(glassy_[c], 1);
        }
        switch_layer(back_, 1);
        return true;
    }

    bool move_letters()
    {
        bool going = play(logo::kMoveMs, [&](double ms) {
            const logo::MovePose pose = logo::move_pose(ms);
            const logo::Placement *places[] = {&pose.red, &pose.green, &pose.blue};
            TRVXLAYER groups[] = {red_, green_, blue_};
            for (int c = 0; c < 3; ++c) {
                TRVXVECTOR translate = vec(places[c]->translate), rotate = vec(places[c]->rotate);
                move(groups[c], &translate, &rotate, nullptr);
            }
            camera_.eye = vec(pose.eye);
            camera_.target = vec(pose.target);
            TRVX_SetCamera(ctx_, &camera_);

            const logo::MoveShading shading = logo::move_shading(static_cast<int>(ms));
            for (int c = 0; c < 3; ++c) {
                set_transparency(solid_[c], shading.solid);
                set_transparency(glassy_[c], shading.glassy);
            }
            set_transparency(back_, shading.back);
            light_.specular = logo::grey(shading.specular);
            TRVX_SetLight(ctx_, 1, &light_);
        });
        if (going)
            capture_finished_picture();
        return going;
    }

    // The finished picture as the glint will search it.
    void capture_finished_picture()
    {
        HBITMAP captured = TRVX_CaptureViewPort(ctx_, 0);
        if (!captured)
            return;
        BITMAP shape;
        if (GetObjectW(captured, sizeof shape, &shape) == sizeof shape && shape.bmWidth > 0 && shape.bmHeight > 0) {
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = shape.bmWidth;
            info.bmiHeader.biHeight = -shape.bmHeight; // top row first
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            pixels_.assign(static_cast<size_t>(shape.bmWidth) * shape.bmHeight, 0);
            HDC screen = GetDC(nullptr);
            if (GetDIBits(screen, captured, 0, shape.bmHeight, pixels_.data(), &info, DIB_RGB_COLORS) ==
                shape.bmHeight) {
                picture_ = {pixels_.data(), shape.bmWidth, shape.bmHeight};
            }
            ReleaseDC(nullptr, screen);
        }
        DeleteObject(captured);
    }

    bool run_glint()
    {
        switch_layer(glint_, 1);
        bool going = play(logo::kGlintMs, [&](double ms) {
            const double progress = logo::glint_progress(ms);
            int row = logo::first_lit_row(picture_, logo::kLogoLeft + logo::glint_column(progress),
                                          logo::kLogoTop + logo::kGlintFirstRow, logo::kLogoTop + logo::kGlintLastRow);
            if (row >= 0)
                row -= logo::kLogoTop;
            const logo::GlintPose pose = logo::glint_pose(progress, row);
            light_.direction = vec(pose.lightDirection);
            TRVX_SetLight(ctx_, 1, &light_);
            TRVXVECTOR translate = vec(pose.translate), turn = {0, 0, pose.turn, 0};
            TRVXVECTOR scale = {pose.scale, pose.scale, 1, 0};
            move(glint_, &translate, &turn, &scale);
        });
        pixels_.clear();
        picture_ = {};
        return going;
    }

    bool fade_out()
    {
        return play(logo::kHoldMs, [](double) {}) &&
               play(logo::kFadeMs, [&](double ms) { set_transparency(curtain_, logo::curtain(ms)); }) &&
               play(logo::kHoldMs, [](double) {});
    }

    void start_viewer()
    {
        // The launcher is closing: its window goes, and the viewer starts in benchmark mode.
        PostMessageW(shared_->window, WM_CLOSE, 0, 0);
        // By its full name in the launcher's folder (also the current directory), never one on the path.
        wchar_t folder[MAX_PATH], program[MAX_PATH + 32];
        DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH)
            return;
        wsprintfW(program, L"%s\\%s", folder, HX21_VIEWER_PROGRAM);
        HINSTANCE result = ShellExecuteW(nullptr, L"open", program, nullptr, folder, SW_SHOWNORMAL);
        shared_->viewerStarted = (INT_PTR)result > 32;
        trvx_profile_mark("launcher.viewer_started");
    }

    LogoShared *shared_;
    TRVXCONTEXT ctx_ = nullptr;
    TRVXLAYER logo_ = nullptr, top_ = nullptr, curtain_ = nullptr;
    TRVXLAYER lines_[logo::kLineSteps][3] = {};
    TRVXLAYER line_ = nullptr, red_ = nullptr, green_ = nullptr, blue_ = nullptr;
    TRVXLAYER solid_[3] = {}, glassy_[3] = {};
    TRVXLAYER back_ = nullptr, glint_ = nullptr;
    tagTRVXCAMERA camera_ = {};
    tagTRVXLIGHT light_ = {};
    std::vector<uint32_t> pixels_;
    logo::Picture picture_ = {};
};

DWORD WINAPI animation_thread(void *parameter)
{
    LogoShared *shared = static_cast<LogoShared *>(parameter);
    LogoPlayer(shared).run();
    shared->stopRequested = false;
    shared->running = false;
    return 0;
}

} // namespace

bool start_logo_animation(LogoShared *shared)
{
    shared->running = true;
    HANDLE thread = CreateThread(nullptr, 0, animation_thread, shared, 0, nullptr);
    if (!thread) {
        shared->running = false;
        return false;
    }
    CloseHandle(thread);
    return true;
}
