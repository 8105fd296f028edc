// trvx_view: the kit's model viewer. Reads any file a loaded format plug-in accepts, frames it from
// its bounding sphere, lights it from the viewer's side and lets the user orbit (drag with the left
// button), zoom (wheel) and reset the view (Home).
//   trvx_view <model file> [--screenshot file.bmp] [--seconds N] [--size WIDTHxHEIGHT]
// With --seconds it shows the model for N seconds, writes the screenshot (if asked) and exits 0.
// Exit codes: 1 the engine did not start, 2 the screenshot could not be written, 3 the model could
// not be read (the plug-in's message is shown, or printed when --seconds is given), 4 bad arguments.
// It uses only the engine's exports.
#include "trvx.h"

#include "gltf_plugin.h"
#include "view_orbit.h"

#include <shellapi.h>
#include <stdio.h>
#include <wchar.h>

#include <array>
#include <string>
#include <vector>

namespace {

const wchar_t kTitle[] = L"trvx_view";
const uint32_t kBackground = 0x00584838;  // 0x00BBGGRR: a dark slate blue
const uint32_t kAmbient = 0x00505050;
const uint32_t kSunColour = 0x00F0F0F0;
const uint32_t kTextColour = 0x00E0E0E0;
const int kTextHeight = 16;
const size_t kMessageChars = 1024;
// Keys as the engine's input reads them (DirectInput key codes).
const int kKeyEscape = 0x01, kKeyHome = 0xC7;
const int kReadKeyboard = 1;

// Everything that lives as long as the process.
struct Options {
    std::wstring model;
    std::wstring screenshot;
    double seconds = 0;   // 0: until the window is closed
    int width = 800, height = 600;
};

// Input gathered between frames: the mouse by the window procedure, keys from it and from the
// engine's input (which reads the keyboard whether or not the window has the focus).
struct Input {
    bool closed = false;
    bool dragging = false;
    POINT last = {0, 0};
    int dx = 0, dy = 0;   // drag since the last frame, pixels (right and up positive)
    int wheel = 0;        // notches since the last frame
    bool reset = false;
} g_input;

LRESULT CALLBACK window_proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_CLOSE:
        g_input.closed = true;
        return 0;
    case WM_LBUTTONDOWN:
        g_input.dragging = true;
        g_input.last = {(short)LOWORD(lp), (short)HIWORD(lp)};
        SetCapture(w);
        return 0;
    case WM_LBUTTONUP:
        g_input.dragging = false;
        ReleaseCapture();
        return 0;
    case WM_MOUSEMOVE:
        if (g_input.dragging) {
            const POINT p = {(short)LOWORD(lp), (short)HIWORD(lp)};
            g_input.dx += p.x - g_input.last.x;
            g_input.dy -= p.y - g_input.last.y;
            g_input.last = p;
        }
        return 0;
    case WM_MOUSEWHEEL:
        g_input.wheel += GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
        return 0;
    case WM_KEYDOWN: // the window's own keys, beside the engine's polled input
        g_input.reset = g_input.reset || wp == VK_HOME;
        g_input.closed = g_input.closed || wp == VK_ESCAPE;
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

bool parse(int argc, wchar_t **argv, Options *o)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool value = i + 1 < argc;
        if (a == L"--screenshot" && value)
            o->screenshot = argv[++i];
        else if (a == L"--seconds" && value)
            o->seconds = _wtof(argv[++i]);
        else if (a == L"--size" && value) {
            if (swscanf(argv[++i], L"%dx%d", &o->width, &o->height) != 2 || o->width < 64 || o->height < 64 ||
                o->width > 4096 || o->height > 4096)
                return false;
        } else if (o->model.empty() && a.compare(0, 2, L"--") != 0)
            o->model = a;
        else
            return false;
    }
    return !o->model.empty() && o->seconds >= 0;
}

void report(const Options &o, const std::wstring &text)
{
    fwprintf(stderr, L"trvx_view: %ls\n", text.c_str());
    if (o.seconds == 0)
        MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
}

// The message of the plug-in that handled the last read, through the format command that asks for it.
std::wstring plugin_message(TRVXCONTEXT ctx)
{
    wchar_t text[kMessageChars];
    for (int i = 0; i < ctx->formatCount; ++i) {
        const tagTRVXFILE &f = ctx->formats[i];
        if (f.entry && f.entry(TRVXCMD_FORMAT_MESSAGE, ctx, reinterpret_cast<DWORD_PTR>(text), kMessageChars, 0, 0) > 0)
            return text;
    }
    return std::wstring();
}

HWND open_window(const Options &o)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TRVXVIEW";
    RegisterClassW(&wc);
    RECT r = {0, 0, o.width, o.height};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    const std::wstring title = std::wstring(kTitle) + L" - " + o.model;
    HWND w = CreateWindowW(L"TRVXVIEW", title.c_str(), style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(w);
    return w;
}

bool pump(HWND window)
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return !g_input.closed && IsWindow(window);
}

// Camera and light from the orbit: the sun shines from over the viewer's left shoulder.
void place_camera(TRVXCONTEXT ctx, const Orbit &orbit)
{
    float eye[3];
    orbit_eye(orbit, eye);
    tagTRVXCAMERA camera = {};
    camera.eye = {eye[0], eye[1], eye[2], 0};
    camera.target = {orbit.centre[0], orbit.centre[1], orbit.centre[2], 0};
    camera.up = {0, 1, 0, 0};
    camera.lens = orbit.lens;
    orbit_depth(orbit, &camera.nearZ, &camera.farZ);
    TRVX_SetCamera(ctx, &camera);
    TRVXVECTOR look = {orbit.centre[0] - eye[0], orbit.centre[1] - eye[1], orbit.centre[2] - eye[2], 0};
    TRVX_Unit3D(&look);
    // The light travels down and to the right of the view: turned in the camera's own frame ("XY":
    // about X, then Y), then turned as the camera is.
    const TRVXVECTOR tilt = {30, 35, 0, 0};
    const TRVXVECTOR view = {orbit.pitch, -orbit.yaw, 0, 0};
    TRVXVECTOR sun = {0, 0, 1, 0};
    TRVX_Rotate3D(&sun, &tilt, 11);
    TRVX_Rotate3D(&sun, &view, 11);
    tagTRVXLIGHT light = {};
    light.kind = TRVX_LIGHT_AMBIENT;
    light.diffuse = kAmbient;
    TRVX_SetLight(ctx, 0, &light);
    light.kind = TRVX_LIGHT_DIRECTIONAL;
    light.direction = sun;
    light.diffuse = kSunColour;
    light.specular = kSunColour;
    TRVX_SetLight(ctx, 1, &light);
}

// The engine's gauge as the window's title: a dialog of its own would stand over the view (and over
// a screenshot taken right after loading).
void WINAPI show_progress(TRVXCONTEXT ctx, const wchar_t *caption, DWORD percent)
{
    wchar_t title[MAX_PATH + 32];
    swprintf(title, MAX_PATH + 32, L"%ls - %lu%%", caption, (unsigned long)percent);
    SetWindowTextW(ctx->window, title);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// Reads the model under a layer of its own, showing the engine's gauge while it loads.
TRVXLAYER load(TRVXCONTEXT ctx, const Options &o, std::wstring *message)
{
    TRVXLAYER group = TRVXL_CreateLayer(ctx, ctx->rootLayer, L"Model");
    const std::wstring caption = std::wstring(kTitle) + L" - loading " + o.model;
    TRVX_OpenGage(ctx, caption.c_str(), show_progress);
    TRVXLAYER read = TRVXL_ReadLayer(ctx, group, o.model.c_str());
    TRVX_CloseGage(ctx);
    SetWindowTextW(ctx->window, (std::wstring(kTitle) + L" - " + o.model).c_str());
    *message = plugin_message(ctx);
    if (read)
        return group;
    TRVXL_DeleteLayer(ctx, group, 1);
    if (message->empty()) {
        int size = 0;
        TRVX_ReadFile(ctx, o.model.c_str(), &size, 0);
        *message = o.model + (size > 0 ? L": no loaded format plug-in reads this file." : L": the file cannot be read.");
    }
    return nullptr;
}

// The model's bounding sphere from its layers' evaluated spheres (the layer records' world bounds).
void bounds(TRVXLAYER model, float centre[3], float *radius)
{
    std::vector<TRVXLAYER> stack(1, model);
    std::vector<std::array<float, 3>> centres;
    std::vector<float> radii;
    while (!stack.empty()) {
        TRVXLAYER l = stack.back();
        stack.pop_back();
        if (l->vertexCount > 0 && (l->switchFlags & TRVX_SWITCH_ON)) {
            centres.push_back({l->worldCentre.x, l->worldCentre.y, l->worldCentre.z});
            radii.push_back(l->worldRadius);
        }
        if (l->switchFlags & TRVX_SWITCH_ON)
            for (int i = 0; i < l->childCount; ++i)
                stack.push_back(l->children[i]);
    }
    if (!orbit_bounds(reinterpret_cast<const float(*)[3]>(centres.data()), radii.data(), (int)radii.size(), centre,
                      radius))
        *radius = 0;
}

void draw_text(TRVXCONTEXT ctx, int font, const Options &o, const std::wstring &text)
{
    if (font < 0)
        return;
    RECT r = {-o.width / 2 + 8, o.height / 2 - 6, o.width / 2 - 8, -o.height / 2 + 6};
    TRVX_DisplayFont(ctx, 0, font, text.c_str(), DT_LEFT | DT_TOP | DT_WORDBREAK, &r, kTextColour);
}

int run(const Options &o)
{
    HWND window = open_window(o);
    RECT view = {0, 0, o.width, o.height};
    TRVXCONTEXT ctx = TRVX_Start(window, &view, 1);
    if (!ctx) {
        report(o, L"the engine could not start its graphics driver.");
        DestroyWindow(window);
        return 1;
    }
    std::wstring message;
    TRVXLAYER model = load(ctx, o, &message);
    if (!model) {
        report(o, message);
        TRVX_End(ctx);
        DestroyWindow(window);
        return 3;
    }
    if (!message.empty())
        fwprintf(stdout, L"trvx_view: %ls\n", message.c_str());
    TRVXL_CalcLayer(ctx, ctx->rootLayer);
    float c[3] = {0, 0, 0}, radius = 0;
    bounds(model, c, &radius);
    int layers = 0, faces = 0, vertices = 0;
    TRVXL_CountLayer(ctx, model, &layers, &faces, &vertices, 0);
    wchar_t counts[160];
    swprintf(counts, 160, L"%ls\n%d layers, %d faces, %d vertices\ndrag: orbit   wheel: zoom   Home: reset view",
             o.model.c_str(), layers, faces, vertices);
    const std::wstring text = std::wstring(counts) + (message.empty() ? L"" : L"\n" + message);
    Orbit orbit;
    orbit_frame(&orbit, c, radius, (float)o.width / (float)o.height);
    const Orbit start = orbit;
    const int font = TRVX_CreateFont(ctx, kTextHeight, 0, 400, 0, 0, 0, L"Arial");

    const DWORD begin = GetTickCount();
    int status = 0;
    while (pump(window)) {
        TRVX_DeviceInput(ctx, kReadKeyboard);
        for (int key; (key = TRVX_DeviceInputBuffer(ctx)) != 0;) {
            g_input.reset = g_input.reset || key == kKeyHome;
            g_input.closed = g_input.closed || key == kKeyEscape;
        }
        if (g_input.closed)
            break;
        if (g_input.reset)
            orbit = start;
        orbit_drag(&orbit, g_input.dx, g_input.dy);
        orbit_zoom(&orbit, g_input.wheel);
        g_input.dx = g_input.dy = g_input.wheel = 0;
        g_input.reset = false;
        place_camera(ctx, orbit);
        TRVXL_CalcLayer(ctx, ctx->rootLayer);
        TRVXLAYER root = ctx->rootLayer;
        // The frame step by step, so that the text is drawn inside the scene.
        static const int kSteps[] = {3, 10, 11, 12, 23, 20, 21};
        TRVX_RenderingEx(ctx, 0, root, 1, kBackground);
        for (int step : kSteps)
            TRVX_RenderingEx(ctx, 0, root, step, 0);
        draw_text(ctx, font, o, text);
        TRVX_RenderingEx(ctx, 0, root, 2, 0);
        TRVX_FlipViewPort(ctx, 0);
        const bool finished = o.seconds > 0 && GetTickCount() - begin >= (DWORD)(o.seconds * 1000);
        if (finished) {
            if (!o.screenshot.empty()) {
                HBITMAP shot = TRVX_CaptureViewPort(ctx, 0);
                if (!shot || !TRVX_WriteBitmap(ctx, o.screenshot.c_str(), shot)) {
                    report(o, o.screenshot + L": the screenshot could not be written.");
                    status = 2;
                }
                if (shot)
                    DeleteObject(shot);
            }
            break;
        }
        Sleep(1);
    }
    TRVX_End(ctx);
    DestroyWindow(window);
    return status;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options options;
    if (!argv || !parse(argc, argv, &options)) {
        fwprintf(stderr, L"usage: trvx_view <model file> [--screenshot file.bmp] [--seconds N] [--size WxH]\n");
        return 4;
    }
    LocalFree(argv);
    return run(options);
}
