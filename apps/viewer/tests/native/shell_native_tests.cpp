// View shape, photo names, window sizes, panel placement and hit-testing.
#include <gtest/gtest.h>

#include <wchar.h>

#include "panel_layout.h"
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
