// View shape, photo names, window sizes, panel placement and hit-testing, and the window's presses
// weighed against polling.
#include <gtest/gtest.h>

#include <wchar.h>

#include "panel_layout.h"
#include "press_ledger.h"
#include "view_math.h"

TEST(ViewShape, LetterBoxAndPillarBox)
{
    ViewShape tall = view_shape(1280, 1024);
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 800);
    EXPECT_EQ(tall.left, 0);
    EXPECT_EQ(tall.top, 112);

    ViewShape wide = view_shape(1920, 1080);
    EXPECT_EQ(wide.width, 1728);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.left, 96);
    EXPECT_EQ(wide.top, 0);

    ViewShape exact = view_shape(960, 600);
    EXPECT_EQ(exact.width, 960);
    EXPECT_EQ(exact.height, 600);
    EXPECT_EQ(exact.left + exact.top, 0);
}

TEST(PhotoName, TwoDigitFields)
{
    wchar_t name[32];
    photo_file_name({2031, 2, 3, 9, 5, 7}, 0, name, 32);
    EXPECT_STREQ(name, L"310203_090507.bmp");
    // Further photos of the same second keep the name and count on.
    photo_file_name({2031, 2, 3, 9, 5, 7}, 2, name, 32);
    EXPECT_STREQ(name, L"310203_090507_2.bmp");
}

TEST(WindowSize, NonsenseFallsBack)
{
    EXPECT_EQ(usable_window_size(-5, 960), 960);
    EXPECT_EQ(usable_window_size(0, 600), 600);
    EXPECT_EQ(usable_window_size(2000000000, 960), 960);
    EXPECT_EQ(usable_window_size(1280, 960), 1280);
}

TEST(Rect, EdgesFollowTheEngine)
{
    ViewRect r = {-10, 5, 10, -5};
    EXPECT_TRUE(rect_holds(r, -10, 5));
    EXPECT_FALSE(rect_holds(r, 10, 0));
    EXPECT_FALSE(rect_holds(r, 0, -5));
}

TEST(Panels, DragStopsAtEveryEdgeKeepingSize)
{
    PanelGeometry play = panel_placed(0, 960, 600);
    int x, y;
    panel_origin(play, &x, &y);
    EXPECT_EQ(x, 160 - 480);
    EXPECT_EQ(y, 22 - 300);

    panel_drag(play, -500, 0, 960, 600);
    EXPECT_EQ(play.frame.left, -480);
    EXPECT_EQ(play.frame.right - play.frame.left, 300);
    panel_drag(play, 2000, 2000, 960, 600);
    EXPECT_EQ(play.frame.right, 480);
    EXPECT_EQ(play.frame.top, 300);
    EXPECT_EQ(play.frame.top - play.frame.bottom, 24);
    panel_drag(play, 0, -5000, 960, 600);
    EXPECT_EQ(play.frame.bottom, -300);
}

// Every button's centre finds that button, and a hidden
// button lets the click through to the panel's background.
TEST(Panels, HitTestEveryButton)
{
    PanelGeometry panels[kPanels];
    for (int p = 0; p < kPanels; ++p)
        panels[p] = panel_placed(p, 960, 600);
    int bases[kPanels][kButtonsPerPanel] = {};
    for (int p = 0; p < 2; ++p) {
        int ox, oy;
        panel_origin(panels[p], &ox, &oy);
        for (int b = 0; b < kButtonsPerPanel; ++b) {
            ViewRect r = panels[p].buttons[b];
            if (r.top == 0 && r.bottom == 0)
                break;
            if (r.top == r.bottom)
                continue; // the status display: never hit
            Hit hit = hit_test(panels, bases, ox + (r.left + r.right) / 2, oy + (r.top + r.bottom + 1) / 2);
            EXPECT_EQ(hit.panel, p + 1);
            EXPECT_EQ(hit.button, b + 1) << "panel " << p + 1 << " button " << b + 1;
        }
    }
    int ox, oy;
    panel_origin(panels[0], &ox, &oy);
    bases[0][0] = -1;
    EXPECT_EQ(hit_test(panels, bases, ox - 130, oy).button, 0);
    EXPECT_EQ(hit_test(panels, bases, 0, 0).panel, 0);
    panel_origin(panels[2], &ox, &oy);
    EXPECT_EQ(hit_test(panels, bases, ox, oy).panel, 3);
}

namespace {

const int kPrint = 0xB7; // Print Screen, as the engine numbers keys

// Polling every 100 ms from `clockMs` on; `held` says whether polling sees Print down.
struct LedgerClock {
    PressLedger ledger;
    uint32_t clockMs = 5000;
    std::vector<int> poll(bool held)
    {
        clockMs += 100;
        return ledger.poll(clockMs, [held](int code) { return held && code == kPrint; });
    }
};

} // namespace

TEST(PressLedger, EachPressReachesTheHandlerOnce)
{
    // A tap between two polls: only the window saw it. It counts once a later poll, a quarter of a
    // second on, still has not seen it.
    LedgerClock a;
    a.poll(false);
    EXPECT_FALSE(a.ledger.undecided());
    a.ledger.noted(kPrint);
    EXPECT_TRUE(a.ledger.undecided());
    EXPECT_TRUE(a.poll(false).empty());
    EXPECT_TRUE(a.poll(false).empty());
    EXPECT_TRUE(a.poll(false).empty());
    EXPECT_TRUE(a.ledger.undecided());
    EXPECT_EQ(a.poll(false), std::vector<int>{kPrint});
    EXPECT_FALSE(a.ledger.undecided());
    EXPECT_TRUE(a.poll(false).empty());

    // Polling saw the press (and queued it itself); the window's report comes three polls late, with
    // the poll that sees it, or a poll before it (the keyboard state lagging the window's message).
    LedgerClock late;
    late.poll(false);
    late.poll(true);
    late.poll(true);
    late.poll(false);
    late.ledger.noted(kPrint);
    EXPECT_TRUE(late.poll(false).empty());
    LedgerClock early;
    early.poll(false);
    early.ledger.noted(kPrint);
    EXPECT_TRUE(early.poll(true).empty());
    LedgerClock ahead;
    ahead.poll(false);
    ahead.ledger.noted(kPrint);
    EXPECT_TRUE(ahead.poll(false).empty());
    EXPECT_TRUE(ahead.poll(true).empty());
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(ahead.poll(false).empty()) << "queued a second time";

    // Three taps within one poll's interval, of which polling saw the key down once: two more.
    LedgerClock three;
    three.poll(false);
    for (int i = 0; i < 3; ++i)
        three.ledger.noted(kPrint);
    EXPECT_TRUE(three.poll(true).empty());
    EXPECT_TRUE(three.poll(true).empty());
    EXPECT_TRUE(three.poll(false).empty());
    EXPECT_EQ(three.poll(false), (std::vector<int>{kPrint, kPrint}));

    // A press the window never reports (a click on the caption) stands for no later tap once it is
    // old: over four polls and a second.
    LedgerClock caption;
    caption.poll(false);
    caption.poll(true);
    for (int i = 0; i < 10; ++i)
        caption.poll(false);
    caption.ledger.noted(kPrint);
    std::vector<int> queued;
    for (int i = 0; i < 4; ++i)
        for (int code : caption.poll(false))
            queued.push_back(code);
    EXPECT_EQ(queued, std::vector<int>{kPrint});

    // Forgotten reports (input thrown away while a photo is taken) never count.
    LedgerClock forgotten;
    forgotten.poll(false);
    forgotten.ledger.noted(kPrint);
    forgotten.poll(false);
    forgotten.ledger.forget();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(forgotten.poll(false).empty());
}
