// Message-box watcher and recording analysis for sonra's tests.
#include "harness.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>

namespace snd_test {

MessageWatcher::MessageWatcher() : stop_(0)
{
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

MessageWatcher::~MessageWatcher()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> MessageWatcher::take()
{
    // a message box is answered within a few polls of the watcher
    Sleep(300);
    EnterCriticalSection(&lock_);
    std::vector<std::wstring> out;
    out.swap(seen_);
    LeaveCriticalSection(&lock_);
    return out;
}

DWORD WINAPI MessageWatcher::run(void *p)
{
    MessageWatcher *self = (MessageWatcher *)p;
    while (!self->stop_) {
        HWND box = FindWindowW(L"#32770", L"SONRA");
        if (box) {
            wchar_t text[1024] = L"";
            HWND label = GetDlgItem(box, 0xFFFF);
            if (label)
                GetWindowTextW(label, text, 1024);
            EnterCriticalSection(&self->lock_);
            self->seen_.push_back(text);
            LeaveCriticalSection(&self->lock_);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && IsWindow(box); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
    return 0;
}

Capture::Capture()
{
    const char *unixPath = getenv("TRVX_CAPTURE");
    if (!unixPath || !*unixPath)
        return;
    // Wine maps the Linux root to drive Z:
    path_ = L"Z:";
    for (const char *c = unixPath; *c; ++c)
        path_ += *c == '/' ? L'\\' : (wchar_t)*c;
}

uint64_t Capture::mark() const
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &a))
        return 0;
    uint64_t size = ((uint64_t)a.nFileSizeHigh << 32) | a.nFileSizeLow;
    return size & ~(uint64_t)3;
}

Frames Capture::since(uint64_t from) const
{
    Frames f;
    HANDLE h = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return f;
    uint64_t end = mark();
    if (end > from) {
        LARGE_INTEGER at;
        at.QuadPart = (LONGLONG)from;
        SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
        f.samples.resize((size_t)(end - from) / 2);
        DWORD got = 0;
        ReadFile(h, f.samples.data(), (DWORD)(end - from), &got, nullptr);
        f.samples.resize(got / 4 * 2);
    }
    CloseHandle(h);
    return f;
}

double rms(const Frames &f, int channel, size_t first, size_t count)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = first; i < first + count && i < f.count(); ++i, ++n) {
        double v = f.samples[2 * i + channel];
        sum += v * v;
    }
    return n ? sqrt(sum / n) : 0.0;
}

size_t onset(const Frames &f, int threshold, size_t from)
{
    for (size_t i = from; i < f.count(); ++i)
        if (abs(f.samples[2 * i]) > threshold || abs(f.samples[2 * i + 1]) > threshold)
            return i;
    return SIZE_MAX;
}

size_t last_sound(const Frames &f, int threshold)
{
    for (size_t i = f.count(); i-- > 0;)
        if (abs(f.samples[2 * i]) > threshold || abs(f.samples[2 * i + 1]) > threshold)
            return i;
    return SIZE_MAX;
}

double frequency(const Frames &f, int channel, size_t first, size_t count)
{
    size_t firstUp = SIZE_MAX, lastUp = 0, ups = 0;
    for (size_t i = first + 1; i < first + count && i < f.count(); ++i)
        if (f.samples[2 * (i - 1) + channel] < 0 && f.samples[2 * i + channel] >= 0) {
            if (firstUp == SIZE_MAX)
                firstUp = i;
            lastUp = i;
            ++ups;
        }
    if (ups < 2)
        return 0.0;
    return (double)(ups - 1) * CAPTURE_RATE / (double)(lastUp - firstUp);
}

double decibels(double ratio) { return 20.0 * log10(ratio); }

size_t longest_silence(const Frames &f, int threshold, size_t first, size_t count)
{
    // a sine crosses zero every half period: only runs longer than a few ms count as gaps
    size_t best = 0, run = 0;
    for (size_t i = first; i < first + count && i < f.count(); ++i) {
        if (abs(f.samples[2 * i]) <= threshold && abs(f.samples[2 * i + 1]) <= threshold)
            ++run;
        else
            run = 0;
        if (run > best)
            best = run;
    }
    return best;
}

std::vector<Span> silences(const Frames &f, int threshold, size_t minRun, size_t first, size_t last)
{
    std::vector<Span> found;
    size_t run = 0;
    for (size_t i = first; i <= last && i < f.count(); ++i) {
        if (abs(f.samples[2 * i]) <= threshold && abs(f.samples[2 * i + 1]) <= threshold) {
            ++run;
            continue;
        }
        if (run > minRun)
            found.push_back({i - run, run});
        run = 0;
    }
    return found;
}

size_t frames_in(const std::vector<Span> &spans)
{
    size_t n = 0;
    for (const Span &s : spans)
        n += s.frames;
    return n;
}

}  // namespace snd_test
