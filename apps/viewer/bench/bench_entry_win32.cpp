// The benchmark's entry: the session it keeps from the command line to the exit code, and the flow
// from screen to screen and run to run that the viewer's application thread asks for.
#include "benchmark.h"

#include "bench_eucjp.h"
#include "bench_files.h"
#include "bench_flow.h"
#include "bench_options.h"
#include "bench_page.h"
#include "bench_pc.h"
#include "bench_screens.h"
#include "bench_script.h"
#include "bench_submit.h"
#include "bench_text.h"
#include "viewer_ops.h"

#include <shellapi.h>
#include <wchar.h>

#include <string>

namespace bench {

namespace {

// Lives from the command line to the exit code.
struct Session {
    Options options;
    Flow flow{0xF};
    BenchResult result;
    DisplayMode overlayMode; // the mode line's description for the overlay of the coming run
    ResultNotes notes;
    bool resultKept = false;   // the figures were computed and the files tried
    bool resultFailed = false; // the files could not be written
    bool submitted = false;
};
Session g_session;

bool unattended() { return g_session.options.unattended; }

std::u16string from_wide(const wchar_t *text) { return std::u16string(reinterpret_cast<const char16_t *>(text)); }
const wchar_t *wide(const std::u16string &text) { return reinterpret_cast<const wchar_t *>(text.c_str()); }

std::u16string local_stamp(const SYSTEMTIME &t, bool forFile) {
    wchar_t text[32];
    if (forFile)
        swprintf(text, 32, L"%04u%02u%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    else
        swprintf(text, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond);
    return from_wide(text);
}

DisplayRequest request_of(const DisplayMode &mode) {
    DisplayRequest d;
    d.windowed = mode.windowed;
    d.width = mode.width;
    d.height = mode.height;
    d.antialias = mode.antialias;
    d.anisotropy = mode.anisotropy;
    return d;
}

// Starts the engine once to learn the PC; false when it cannot start.
bool read_pc() {
    tagTRVXSYSINFO record;
    bool hardware3DSound = false;
    if (!viewer::probe_pc(&record, &hardware3DSound))
        return false;
    BenchResult &result = g_session.result;
    result.pc = pc_info_from(record, hardware3DSound, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    result.pcKnown = true;
    for (int m = 0; m < kModeCount; ++m)
        result.modes[m].requested = benchmark_mode(m + 1, result.pc.screenWidth, result.pc.screenHeight);
    return true;
}

// Where the display cannot take a full-screen size (a fixed virtual screen), the run uses the
// desktop's own size instead of failing, and the result says so.
DisplayMode usable_full_screen(DisplayMode mode, ModeRecord &record) {
    DEVMODEW dm = {};
    dm.dmSize = sizeof dm;
    dm.dmPelsWidth = mode.width;
    dm.dmPelsHeight = mode.height;
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsExW(nullptr, &dm, nullptr, CDS_FULLSCREEN | CDS_TEST, nullptr) == DISP_CHANGE_SUCCESSFUL)
        return mode;
    DisplayMode current = mode;
    current.width = GetSystemMetrics(SM_CXSCREEN);
    current.height = GetSystemMetrics(SM_CYSCREEN);
    record.note = std::to_string(mode.width) + " * " + std::to_string(mode.height) + " unavailable: ran at " +
                  std::to_string(current.width) + " * " + std::to_string(current.height);
    return current;
}

// The set-up of a mode: its mode line, and whether it can run here. Fills `display` for its run.
bool set_up_mode(int mode, DisplayRequest *display) {
    ModeRecord &record = g_session.result.modes[mode - 1];
    DisplayMode asked = record.requested;
    bool offered = asked.antialias <= 1 || antialias_offered(g_session.result.pc, asked.antialias);
    DisplayMode run = asked;
    if (!offered)
        run.antialias = 0;
    if (!run.windowed)
        run = usable_full_screen(run, record);
    record.ran = run;
    DisplayMode shown = run;
    shown.antialias = asked.antialias;
    mode_line_screen(shown, unattended());
    g_session.overlayMode = shown;
    if (!offered) {
        record.note = "antialias level " + std::to_string(asked.antialias) + " not offered by the driver";
        skip_screen(unattended());
        return false;
    }
    if (!run.windowed)
        wide_monitor_screen(unattended());
    *display = request_of(run);
    return true;
}

std::u16string result_host() {
    wchar_t ini[MAX_PATH + 16], host[512];
    swprintf(ini, MAX_PATH + 16, L"%lshx21app.ini", viewer::program_folder());
    GetPrivateProfileStringW(L"BENCHMARK", L"result_host", wide(kDefaultResultHost), host, 512, ini);
    return from_wide(host);
}

std::u16string result_path() {
    wchar_t folder[MAX_PATH] = L"";
    if (g_session.options.resultFile.empty() && !viewer::writable_folder(L"result", folder, MAX_PATH))
        folder[0] = 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return result_file_path(g_session.options.resultFile, from_wide(viewer::program_folder()), from_wide(folder),
                            local_stamp(now, true));
}

// The figures, computed once, before anything shows them.
void finish() {
    Session &s = g_session;
    s.result.stopped = s.flow.stopped();
    finish_result(s.result, result_host(), euc_jp_bytes);
}

// The files, and what the console of an unattended run is told.
void keep_result() {
    Session &s = g_session;
    std::u16string path = result_path();
    bool written = write_result_files(s.result, path);
    s.resultKept = true;
    s.resultFailed = !written;
    s.notes.resultFile = written ? path : u"";
    if (unattended()) {
        print_line(written ? "result file: " + utf8(path) : "the result file could not be written: " + utf8(path));
        print_line("total score: " + std::to_string(s.result.total) + (s.result.stopped ? " (stopped)" : ""));
    }
}

void submit() {
    Session &s = g_session;
    std::u16string host = result_host();
    Submission answer;
    if (!host_allowed(host))
        answer.problem = u"result_host is not an http:// or https:// address";
    else
        answer = submit_result(host, result_json(s.result));
    s.submitted = answer.accepted;
    s.notes.submittedRun = answer.runAddress;
    s.notes.submitProblem = answer.problem;
    if (unattended())
        print_line(answer.accepted ? "submitted: " + utf8(answer.runAddress) : "not submitted: " + utf8(answer.problem));
}

void open_result_page() {
    const BenchResult &result = g_session.result;
    if (!host_allowed(result_host())) {
        cannot_send_screen(u"送信先 (result_host) は http:// か https:// のアドレスでなければなりません。");
        return;
    }
    ShellExecuteW(viewer::window(), L"open", wide(result.address), L"", nullptr, SW_SHOWNORMAL);
}

void result_stage() {
    finish();
    result_screen(g_session.result, unattended());
    keep_result();
    if (g_session.options.submit)
        submit();
    if (result_screen_end(g_session.notes, unattended()))
        open_result_page();
}

bool any_mode_tested() {
    for (const ModeRecord &mode : g_session.result.modes)
        if (mode.tested)
            return true;
    return false;
}

// The benchmark ended before its result: what was measured is kept all the same.
void keep_stopped_result() {
    if (!g_session.resultKept && g_session.result.pcKnown && any_mode_tested()) {
        finish();
        keep_result();
    }
}

} // namespace

} // namespace bench

using namespace bench;

bool benchmark_configure(const wchar_t *commandLine) {
    Session &s = g_session;
    s.options = parse_command_line(from_wide(commandLine));
    if (!s.options.error.empty()) {
        // An unattended run has no one to click a message box away.
        if (s.options.unattended)
            print_line(utf8(s.options.error));
        else
            MessageBoxW(nullptr, wide(s.options.error), L"hx21app", MB_OK | MB_ICONERROR);
        return false;
    }
    s.flow = Flow(s.options.modes);
    if (s.options.unattended)
        set_text_speed(0);
    SYSTEMTIME now;
    GetLocalTime(&now);
    s.result.started = utf8(local_stamp(now, false));
    return true;
}

void benchmark_window_message(UINT message, WPARAM wParam, LPARAM lParam) {
    page_window_message(viewer::window(), message, wParam, lParam);
}

bool benchmark_paint(HDC dc) { return screen_paint(dc); }

bool benchmark_next_run(DisplayRequest *display) {
    Flow &flow = g_session.flow;
    for (;;) {
        if (viewer::quit_requested())
            flow.quit();
        page_fill_black();
        switch (flow.stage()) {
        case Stage::Explanation:
            if (!read_pc()) {
                // Without an engine there is nothing to measure and no PC record to read.
                no_engine_screen(unattended());
                flow.give_up();
            } else {
                flow.explained(explanation_screen(unattended()));
            }
            break;
        case Stage::SetUp:
            flow.set_up(set_up_mode(flow.mode(), display));
            if (flow.stage() == Stage::Run)
                return true;
            break;
        case Stage::Run:
            return true;
        case Stage::Result:
            result_stage();
            flow.result_shown();
            break;
        case Stage::End:
            if (flow.stopped())
                keep_stopped_result();
            viewer::request_quit();
            return false;
        }
    }
}

void benchmark_test_begin() {
    ModeRecord &record = g_session.result.modes[g_session.flow.mode() - 1];
    record = ModeRecord{record.requested, record.ran, false, record.note};
    test_run_begin(record, g_session.overlayMode);
}

bool benchmark_test_frame() { return test_run_frame(); }

void benchmark_test_end() {
    ModeRecord &record = g_session.result.modes[g_session.flow.mode() - 1];
    // A run the user broke off measured nothing comparable.
    record.tested = test_run_end();
    record.score = 0;
    if (record.tested)
        for (const ShotRecord &shot : record.shots)
            record.score += shot.rate;
}

void benchmark_run_ended(bool engineStarted) {
    Session &s = g_session;
    ModeRecord &record = s.result.modes[s.flow.mode() - 1];
    if (!engineStarted) {
        if (record.note.empty())
            record.note = "the engine could not start in this mode";
        s.flow.ran(RunOutcome::EngineFailed);
    } else {
        s.flow.ran(viewer::quit_requested() ? RunOutcome::Stopped : RunOutcome::Finished);
    }
    // A stopped run ends the benchmark here: the viewer's thread asks for no further run.
    if (s.flow.stage() == Stage::End && s.flow.stopped())
        keep_stopped_result();
}

int benchmark_exit_code() {
    const Session &s = g_session;
    return exit_code({s.options.unattended, s.flow.stopped(), any_mode_tested(), s.resultFailed, s.options.submit,
                      s.submitted});
}
