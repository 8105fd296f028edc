// The benchmark's state step: the explanation screen, the set-up of each display mode before its
// test run, and the result screen with the PC table, the scores, the result file and the address.
#include "benchmark.h"

#include "bench_address.h"
#include "bench_eucjp_win.h"
#include "bench_pcinfo.h"
#include "bench_score.h"
#include "bench_screen_win.h"
#include "bench_session.h"
#include "bench_text.h"
#include "viewer.h"

#include <shellapi.h>
#include <wchar.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace bench {

Session g_session;

namespace {

const COLORREF kYellow = 0x00FFFF, kWhite = 0xFFFFFF, kGreen = 0x00FF00, kRed = 0x0000FF, kOrange = 0x0078FF;
const char16_t kSkipText[] = u"お使いのＰＣではこのモードをテストできません。テストをスキップします。";
const char16_t kWideNote[] = u"ワイドモニタでは縦横比が正しく表示されない場合あります。";
const int kFirstSetupState = 2, kResultState = 6;

int text_speed() { return g_viewer.textSpeed; }
bool unattended() { return g_session.options.unattended; }
bool selected(int mode) { return (g_session.options.modes >> (mode - 1)) & 1; }

// The set-up state of the first selected mode from `mode` on, or the result state.
int setup_state_from(int mode) {
    for (; mode <= kModeCount; ++mode)
        if (selected(mode))
            return mode - 1 + kFirstSetupState;
    return kResultState;
}

std::u16string from_wide(const wchar_t *text) {
    return std::u16string(reinterpret_cast<const char16_t *>(text));
}

const wchar_t *wide(const std::u16string &text) { return reinterpret_cast<const wchar_t *>(text.c_str()); }

void request_mode(const DisplayMode &mode) {
    Viewer &v = g_viewer;
    v.screenWidth = mode.width;
    v.screenHeight = mode.height;
    v.windowed = mode.windowed;
    v.antialias = mode.antialias;
    v.anisotropy = mode.anisotropy;
}

// Starts the engine once to learn the PC; false when it cannot start.
bool read_pc() {
    Viewer &v = g_viewer;
    request_mode({960, 600, true, 0, 0});
    send_engine_command(kCommandEngineStart);
    if (!v.ctx)
        return false;
    uint8_t record[kPcRecordSize];
    std::memcpy(record, (const void *)TRVX_GetInformation(v.ctx, 5), sizeof record);
    tagSNRCAPS caps = {};
    bool hardware3D = SNR2_GetCaps(&caps) && caps.hardware3D == 1;
    send_engine_command(kCommandEngineEnd);

    BenchResult &result = g_session.result;
    result.pc = pc_info_from_record(record);
    result.pc.hardware3DSound = hardware3D;
    result.pc.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    result.pc.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    result.pcKnown = true;
    for (int m = 0; m < kModeCount; ++m)
        result.modes[m].requested = benchmark_mode(m + 1, result.pc.screenWidth, result.pc.screenHeight);
    return true;
}

void explain() {
    int T = text_speed();
    screen_text(100, 200, kYellow, u"この 「ベンチマークテスト」 では．．．", kPaceLine, true);
    screen_wait(T / 4);
    screen_text(100, 230, kWhite, u"　お手持ちのパソコンで「3DKODEX」シリーズが快適に動作するかどうかテストします。");
    screen_wait(text_speed() / 2);
    screen_wait(text_speed() / 2);
    screen_text(100, 260, 0xFFFF00, u"　　【開始】ボタンを押すと以下の４つのシーンを表示してパソコンの性能を測定します。");
    screen_wait(text_speed() / 2);
    screen_text(100, 290, kWhite, u"　　　1. ウインドウモード（画像補間なし）");
    screen_text(100, 310, kWhite, u"　　　2. ウインドウモード（画像補間あり・機種によっては非常に低速）");
    screen_text(100, 330, kWhite, u"　　　3. フルスクリーンモード（画像補間なし・最も一般的で多くの機種で推奨）");
    screen_text(100, 350, kWhite, u"　　　4. フルスクリーンモード（現在の解像度・画像補間あり・要高性能）");
    screen_wait(text_speed() / 2);
    screen_wait(text_speed() / 2);
    screen_text(100, 380, kGreen, u"　　　測定が終わると結果がポイントで評価されますので、参考にしてください。", kPaceTypewriter);
    screen_wait(text_speed() / 2);
    screen_wait(text_speed() / 2);
    screen_text(100, 410, kOrange, u"　※ メモリを必要とするため、他のアプリケーションが起動していると著しく速度が低下します。");
    screen_text(100, 430, kRed, u"　※ 表示中に視点を動かすと測定に誤差が生じます。正確に測定する時は操作しないでください。");
    screen_text(100, 450, kOrange, u"　※ 性能の低いパソコンの場合、画面が表示されるまでに時間がかかります。");
    screen_text(100, 470, kOrange, u"　※ ４回目のテストで速度が遅い場合は、画面の解像度を下げてお試しください。");
    screen_wait(text_speed() / 2);
}

int explanation_state() {
    if (!read_pc()) {
        // Without an engine there is nothing to measure and no PC record to read.
        screen_load(L"etc\\benchmark\\menu1.bmp", unattended());
        screen_text(100, 200, kRed, u"３Ｄエンジンを開始できませんでした。ベンチマークを終了します。", kPaceLine, true);
        screen_text(100, 230, kWhite, u"　DirectX 9 とビデオドライバーが正しく導入されているか確認してください。");
        screen_text(100, 250, kWhite, u"　(The 3D engine could not start: check DirectX 9 and the display driver.)");
        screen_pause(unattended() ? 0 : 5000);
        screen_free();
        g_viewer.quitRequested = 1;
        return 0;
    }
    screen_load(L"etc\\benchmark\\menu1.bmp", unattended());
    explain();
    int choice = unattended() ? kChoiceStart : screen_buttons(true);
    screen_free();
    if (choice >= kChoiceRow)
        return -setup_state_from(choice - kChoiceRow + 1);
    if (choice == kChoiceStart) {
        int first = setup_state_from(1);
        return first == kFirstSetupState ? kFirstSetupState : -first;
    }
    g_viewer.quitRequested = 1;
    return 0;
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

void mode_line_screen(const DisplayMode &mode) {
    screen_text(20, 20, kYellow, mode_line(mode), kPaceNone);
    g_session.overlayMode = mode;
}

// Set-up of mode 1..4; the next state.
int setup_state(int mode) {
    if (!selected(mode))
        return -setup_state_from(mode + 1);
    BenchResult &result = g_session.result;
    ModeRecord &record = result.modes[mode - 1];
    DisplayMode asked = record.requested;
    bool offered = asked.antialias <= 1 || antialias_offered(result.pc, asked.antialias);
    DisplayMode run = asked;
    if (!offered)
        run.antialias = 0;
    if (!run.windowed)
        run = usable_full_screen(run, record);
    request_mode(run);
    record.ran = run;
    g_session.runningMode = mode;
    int second = unattended() ? 0 : 1000;
    screen_pause(second);
    DisplayMode shown = run;
    shown.antialias = asked.antialias;
    mode_line_screen(shown);
    screen_pause(second);
    if (!offered) {
        record.note = "antialias level " + std::to_string(asked.antialias) + " not offered by the driver";
        screen_text(20, 50, kRed, kSkipText, kPaceNone);
        screen_pause(second);
        g_session.runningMode = 0;
        return -setup_state_from(mode + 1);
    }
    if (!run.windowed) {
        screen_text(20, 50, kGreen, kWideNote, kPaceNone);
        screen_pause(2 * second);
    }
    return mode + 1 + 1; // run mode of mode m is m + 2
}

std::u16string local_stamp(const SYSTEMTIME &t, bool forFile) {
    wchar_t text[32];
    if (forFile)
        swprintf(text, 32, L"%04u%02u%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    else
        swprintf(text, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond);
    return from_wide(text);
}

bool write_text_file(const std::u16string &path, const std::string &text) {
    HANDLE file = CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
    return CloseHandle(file) && ok && written == text.size();
}

// The result file's full name: /result:<file> (relative to the program's folder) or
// result\<date-time>.json beside the program (or in the user's documents when that is read-only).
std::u16string result_path() {
    const std::u16string &asked = g_session.options.resultFile;
    if (!asked.empty()) {
        bool absolute = asked.size() > 1 && (asked[1] == u':' || asked[0] == u'\\' || asked[0] == u'/');
        return absolute ? asked : from_wide(g_viewer.programFolder) + asked;
    }
    wchar_t folder[MAX_PATH];
    if (!writable_folder(L"result", folder, MAX_PATH))
        return u"";
    SYSTEMTIME now;
    GetLocalTime(&now);
    return from_wide(folder) + local_stamp(now, true) + u".json";
}

std::u16string write_result_files() {
    BenchResult &result = g_session.result;
    std::u16string path = result_path();
    if (path.empty() || !write_text_file(path, result_json(result)) ||
        !write_text_file(csv_name_for(path), frame_times_csv(result)))
        return u"";
    return path;
}

std::u16string result_host() {
    wchar_t ini[MAX_PATH + 16], host[512];
    swprintf(ini, MAX_PATH + 16, L"%lshx21app.ini", g_viewer.programFolder);
    GetPrivateProfileStringW(L"BENCHMARK", L"result_host", reinterpret_cast<const wchar_t *>(kDefaultResultHost),
                             host, 512, ini);
    return from_wide(host);
}

void mode_rows(ResultAddress &address) {
    BenchResult &result = g_session.result;
    std::u16string m;
    for (int k = 0; k < kModeCount; ++k) {
        const ModeRecord &mode = result.modes[k];
        std::u16string row = widen(mode_description(mode.requested));
        if (mode.score <= 0)
            screen_text(500, 210 + 20 * k, 0xFF8000, row + u"　テストなし", kPaceNone);
        else
            screen_text(500, 210 + 20 * k, 0xFFB400, row + u"　FrameRate = " + decimal(mode.score / kShotCount),
                        kPaceNone);
        screen_wait(text_speed());
        m += (k ? u" " : u"") + decimal(mode.score / kShotCount);
    }
    address.add_escaped("m", m);
}

// Beyond the frame rate: how even the frames were, and what ran where it differed from the request.
void detail_rows() {
    BenchResult &result = g_session.result;
    int y = 370;
    screen_text(500, y, 0xC0C0C0, u"Mode: 1% / 0.1% low fps, longest frame", kPaceNone);
    for (int k = 0; k < kModeCount; ++k) {
        const ModeRecord &mode = result.modes[k];
        wchar_t line[160] = L"";
        if (mode.tested) {
            FrameStats stats = mode_stats(mode);
            swprintf(line, 160, L"%d:  %.1f / %.1f fps,  %.1f ms", k + 1, stats.low1PercentFps, stats.low01PercentFps,
                     stats.maxFrameMs);
        } else if (!mode.note.empty()) {
            swprintf(line, 160, L"%d:  -", k + 1);
        } else {
            continue;
        }
        y += 18;
        screen_text(510, y, 0xC0C0C0, from_wide(line), kPaceNone);
        if (!mode.note.empty()) {
            y += 18;
            screen_text(530, y, 0x80C0FF, widen(mode.note), kPaceNone);
        }
    }
}

void result_state() {
    BenchResult &result = g_session.result;
    screen_load(L"etc\\benchmark\\menu2.bmp", unattended());
    screen_text(40, 180, kYellow, u"● ＰＣの情報", kPaceLine, true);
    screen_wait(text_speed());
    ResultAddress address(result_host());
    int y = 210;
    for (const InfoRow &row : pc_info_rows(result.pc)) {
        screen_text(60, y, kGreen, row_text(row), kPaceTypewriter);
        address.add(row.key, row.value, euc_jp_bytes);
        y += 20;
    }
    screen_wait(text_speed());
    screen_text(480, 180, kYellow, u"● ペンチマーク結果", kPaceLine, true);
    screen_wait(text_speed());
    mode_rows(address);

    int scores[kModeCount];
    for (int k = 0; k < kModeCount; ++k)
        scores[k] = result.modes[k].score;
    result.total = total_score(result.pc, scores);
    // Unlike the PC rows, a total of 0 or 1 is a score, not "不可".
    InfoRow total = {u"総合スコア", "r", decimal(result.total), u" Point"};
    screen_text(500, 300, kRed, total.label + u"：　" + total.value + total.unit);
    address.add(total.key, total.value, euc_jp_bytes);
    screen_text(500, 320, 0x0080FF, u"600 Point 以上ならば推奨スペックを満たしています。");
    screen_text(500, 340, 0x0080FF, u"最低500 Point 程度のスペックが必要です。");
    screen_wait(text_speed());
    detail_rows();
    // A wide Japanese font would run this line under the buttons: it then starts further left.
    const std::u16string invitation =
        u"弊社ではテスト結果を集計しています。素敵なプレゼントが当たりますので是非ご参加ください。";
    int buttonsLeft = 680;
    screen_text(std::max(20, std::min(200, buttonsLeft - screen_text_width(invitation))), 560, kWhite, invitation);

    result.address = address.text();
    std::u16string file = write_result_files();
    screen_text(500, 528, file.empty() ? kRed : 0xC0C0C0,
                file.empty() ? u"結果ファイルを書き込めませんでした。" : u"結果ファイル: " + file, kPaceNone);
    if (unattended())
        screen_pause(3000); // long enough for a watching person (or a test) to see the figures
    else if (screen_buttons(false) == kChoiceStart)
        ShellExecuteW(g_viewer.window, L"open", wide(result.address), L"", nullptr, SW_SHOWNORMAL);
    screen_free();
}

} // namespace

} // namespace bench

using namespace bench;

bool benchmark_available() { return true; }

bool benchmark_configure(const wchar_t *commandLine) {
    g_session.options = parse_command_line(from_wide(commandLine));
    if (!g_session.options.error.empty()) {
        MessageBoxW(nullptr, wide(g_session.options.error), L"hx21app", MB_OK | MB_ICONERROR);
        return false;
    }
    if (g_session.options.unattended)
        g_viewer.textSpeed = 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    g_session.result.started = utf8(local_stamp(now, false));
    return true;
}

int benchmark_state_step(int state) {
    // A test run has just ended: it measured the mode set up before it, or never started.
    int ranMode = g_session.runningMode;
    if (ranMode && !g_session.result.modes[ranMode - 1].tested && g_session.result.modes[ranMode - 1].note.empty())
        g_session.result.modes[ranMode - 1].note = "the engine could not start in this mode";
    g_session.runningMode = 0;

    switch (state) {
    case 1: return explanation_state();
    case 2: case 3: case 4: case 5: return setup_state(state - 1);
    case 6:
        result_state();
        g_viewer.quitRequested = 1;
        return 0;
    default:
        g_viewer.quitRequested = 1;
        return 0;
    }
}

bool benchmark_paint(HDC dc) { return screen_paint(dc); }

int benchmark_exit_code() {
    if (!g_session.options.unattended)
        return 0;
    for (const ModeRecord &mode : g_session.result.modes)
        if (mode.tested)
            return 0;
    return 1;
}
