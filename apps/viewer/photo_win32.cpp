// Taking a photo: two frames without overlays, the capture, the flash, and the file under a name of
// its own, so that photos taken within one second never replace each other.
#include "photo.h"

#include <wchar.h>

#include "frame.h"
#include "input.h"
#include "panels.h"
#include "platform.h"
#include "scene.h"
#include "user_folder.h"
#include "viewer_state.h"

namespace {

const double kWaitMs = 200;           // the pressed button shows before the photo
const double kNoticeMs = 4000;
const int kMaxSameSecond = 999;

// Wiped when a run's frames begin (forget_photos).
struct PhotoState {
    int wanted = 0;       // photos asked for and not yet taken
    double waitUntil = 0; // now_ms; 0 while the wait has not begun
};
PhotoState g_photo;

void notice(const wchar_t *text)
{
    wcsncpy(g_run.notice, text, ARRAYSIZE(g_run.notice) - 1);
    g_run.noticeUntil = now_ms() + kNoticeMs;
}

// The first free name of this second in `folder`; false when every one is taken.
bool free_photo_path(const wchar_t *folder, wchar_t *path, int units)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    PhotoTime t = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    for (int n = 0; n <= kMaxSameSecond; ++n) {
        wchar_t name[40];
        photo_file_name(t, n, name, ARRAYSIZE(name));
        swprintf(path, (size_t)units, L"%ls%ls", folder, name);
        if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

bool write_photo(HBITMAP bitmap)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH + 40];
    return writable_folder(L"photo", folder, MAX_PATH) && free_photo_path(folder, path, ARRAYSIZE(path)) &&
           TRVX_WriteBitmap(g_run.ctx, path, bitmap) != 0;
}

void take_photo()
{
    draw_frame(false);
    draw_frame(false);
    HBITMAP bitmap = TRVX_CaptureViewPort(g_run.ctx, 0);
    set_fade(0, 200, 0xFFFFFF);
    draw_frame(true);
    bool written = bitmap && write_photo(bitmap);
    if (bitmap)
        DeleteObject(bitmap);
    if (!written)
        notice(L"写真を保存できませんでした");
    set_fade(0, 255, 0);
    set_button_state(kPlayPanel, kPhotoButton, kIdle);
    forget_hover();
}

} // namespace

void request_photo()
{
    set_button_state(kPlayPanel, kPhotoButton, kPressed);
    ++g_photo.wanted;
}

void forget_photos()
{
    g_photo = PhotoState{};
}

bool photo_wanted()
{
    return g_photo.wanted > 0;
}

bool photo_step()
{
    if (g_photo.waitUntil == 0)
        g_photo.waitUntil = now_ms() + kWaitMs;
    if (now_ms() < g_photo.waitUntil || presses_undecided()) {
        g_photo.wanted += discard_input(kKeyPrintScreen);
        return false;
    }
    take_photo();
    g_photo.waitUntil = 0;
    --g_photo.wanted;
    return true;
}
