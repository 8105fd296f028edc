// The benchmark's screens: texts, colours and places of the explanation, the mode set-ups and the
// result screen. Every figure they show comes from the result record; nothing is computed here.
#include "bench_screens.h"

#include "bench_page.h"
#include "bench_text.h"

#include <algorithm>

namespace bench {

namespace {

const COLORREF kYellow = 0x00FFFF, kWhite = 0xFFFFFF, kGreen = 0x00FF00, kRed = 0x0000FF, kOrange = 0x0078FF;
const COLORREF kCyan = 0xFFFF00, kUntested = 0xFF8000, kFrameRate = 0xFFB400, kAdvice = 0x0080FF;
const COLORREF kDetail = 0xC0C0C0, kDetailNote = 0x80C0FF;
const int kSecond = 1000;
const char16_t kSkipText[] = u"お使いのＰＣではこのモードをテストできません。テストをスキップします。";
const char16_t kWideNote[] = u"ワイドモニタでは縦横比が正しく表示されない場合あります。";
const int kButtonsLeft = 680;

int pause_of(bool unattended, int ms) { return unattended ? 0 : ms; }

std::u16string from_wide(const wchar_t *text) { return std::u16string(reinterpret_cast<const char16_t *>(text)); }

void explain() {
    int T = text_speed();
    screen_text(100, 200, kYellow, u"この 「ベンチマークテスト」 では．．．", kPaceLine, true);
    screen_wait(T / 4);
    screen_text(100, 230, kWhite, u"　お手持ちのパソコンで「3DKODEX」シリーズが快適に動作するかどうかテストします。");
    screen_wait(text_speed() / 2);
    screen_wait(text_speed() / 2);
    screen_text(100, 260, kCyan, u"　　【開始】ボタンを押すと以下の４つのシーンを表示してパソコンの性能を測定します。");
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

void mode_rows(const BenchResult &result) {
    for (int k = 0; k < kModeCount; ++k) {
        const ModeRecord &mode = result.modes[k];
        std::u16string row = widen(mode_description(mode.requested));
        if (mode.score <= 0)
            screen_text(500, 210 + 20 * k, kUntested, row + u"　テストなし", kPaceNone);
        else
            screen_text(500, 210 + 20 * k, kFrameRate, row + u"　FrameRate = " + decimal(mode_frame_rate(mode)),
                        kPaceNone);
        screen_wait(text_speed());
    }
}

// Beyond the frame rate: how even the frames were, and what ran where it differed from the request.
void detail_rows(const BenchResult &result) {
    int y = 370;
    screen_text(500, y, kDetail, u"Mode: 1% / 0.1% low fps, longest frame", kPaceNone);
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
        screen_text(510, y, kDetail, from_wide(line), kPaceNone);
        if (!mode.note.empty()) {
            y += 18;
            screen_text(530, y, kDetailNote, widen(mode.note), kPaceNone);
        }
    }
}

void notes_rows(const ResultNotes &notes) {
    screen_text(500, 528, notes.resultFile.empty() ? kRed : kDetail,
                notes.resultFile.empty() ? u"結果ファイルを書き込めませんでした。" : u"結果ファイル: " + notes.resultFile,
                kPaceNone);
    if (!notes.submittedRun.empty())
        screen_text(20, 528, kGreen, u"送信しました: " + notes.submittedRun, kPaceNone);
    else if (!notes.submitProblem.empty())
        screen_text(20, 528, kRed, u"送信できませんでした: " + notes.submitProblem, kPaceNone);
}

} // namespace

ExplanationChoice explanation_screen(bool unattended) {
    screen_load(L"etc\\benchmark\\menu1.bmp", unattended);
    explain();
    int choice = unattended ? kChoiceStart : screen_buttons(true);
    screen_free();
    if (choice >= kChoiceRow)
        return {ExplanationChoice::Row, choice - kChoiceRow};
    if (choice == kChoiceStart)
        return {ExplanationChoice::Start, 0};
    return {ExplanationChoice::Quit, 0};
}

void no_engine_screen(bool unattended) {
    screen_load(L"etc\\benchmark\\menu1.bmp", unattended);
    screen_text(100, 200, kRed, u"３Ｄエンジンを開始できませんでした。ベンチマークを終了します。", kPaceLine, true);
    screen_text(100, 230, kWhite, u"　DirectX 9 とビデオドライバーが正しく導入されているか確認してください。");
    screen_text(100, 250, kWhite, u"　(The 3D engine could not start: check DirectX 9 and the display driver.)");
    screen_pause(pause_of(unattended, 5 * kSecond));
    screen_free();
}

void mode_line_screen(const DisplayMode &shown, bool unattended) {
    screen_pause(pause_of(unattended, kSecond));
    screen_text(20, 20, kYellow, mode_line(shown), kPaceNone);
    screen_pause(pause_of(unattended, kSecond));
}

void skip_screen(bool unattended) {
    screen_text(20, 50, kRed, kSkipText, kPaceNone);
    screen_pause(pause_of(unattended, kSecond));
}

void wide_monitor_screen(bool unattended) {
    screen_text(20, 50, kGreen, kWideNote, kPaceNone);
    screen_pause(pause_of(unattended, 2 * kSecond));
}

void result_screen(const BenchResult &result, bool unattended) {
    screen_load(L"etc\\benchmark\\menu2.bmp", unattended);
    screen_text(40, 180, kYellow, u"● ＰＣの情報", kPaceLine, true);
    screen_wait(text_speed());
    int y = 210;
    for (const InfoRow &row : pc_info_rows(result.pc)) {
        screen_text(60, y, kGreen, row_text(row), kPaceTypewriter);
        y += 20;
    }
    screen_wait(text_speed());
    screen_text(480, 180, kYellow, u"● ペンチマーク結果", kPaceLine, true);
    screen_wait(text_speed());
    mode_rows(result);
    // Unlike the PC rows, a total of 0 or 1 is a score, not "不可".
    screen_text(500, 300, kRed, u"総合スコア：　" + decimal(result.total) + u" Point");
    screen_text(500, 320, kAdvice, u"600 Point 以上ならば推奨スペックを満たしています。");
    screen_text(500, 340, kAdvice, u"最低500 Point 程度のスペックが必要です。");
    screen_wait(text_speed());
    detail_rows(result);
    // A wide Japanese font would run this line under the buttons: it then starts further left.
    const std::u16string invitation =
        u"弊社ではテスト結果を集計しています。素敵なプレゼントが当たりますので是非ご参加ください。";
    screen_text(std::max(20, std::min(200, kButtonsLeft - screen_text_width(invitation))), 560, kWhite, invitation);
}

bool result_screen_end(const ResultNotes &notes, bool unattended) {
    notes_rows(notes);
    bool send = false;
    if (unattended)
        screen_pause(3 * kSecond); // long enough for a watching person (or a test) to see the figures
    else
        send = screen_buttons(false) == kChoiceStart;
    screen_free();
    return send;
}

void cannot_send_screen(const std::u16string &reason) {
    screen_text(20, 528, kRed, u"結果を送信できません: " + reason, kPaceNone);
    screen_pause(3 * kSecond);
}

} // namespace bench
