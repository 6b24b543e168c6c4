// Tests that move the mouse cursor. The display is shared by every test
// program of a build, so CTest runs these alone (RUN_SERIAL).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "ButtonSkin.h"
#include "SkinEngine.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::CreateChild;
using skintest::RgbAt;
using skintest::WindowRgbAt;

constexpr int W = 64, H = 30;

HDC Face(HWND button, int state)
{
    const char name[] = {static_cast<char>('0' + state), 'H', 'D', 'C', '\0'};
    return skintest::PropHandle<HDC>(button, name);
}
int Level(HWND b) { return static_cast<int>(skintest::PropValue(b, "ALPHALEVEL")); }
bool TimerRuns(HWND b)
{
    if (!KillTimer(b, 1)) return false;
    SetTimer(b, 1, 15, nullptr);
    return true;
}
void Send(HWND b, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    SendMessageW(b, msg, wParam, lParam);
}

class SkinCursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = skintest::CreateTopWindow(L"form");
        button_ = CreateChild(form_, L"Button", L"", BS_PUSHBUTTON, 20, 20, W, H);
        ASSERT_EQ(SkinStart(form_), 1);
    }
    void TearDown() override { SkinStop(form_); }
    HWND form_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(SkinCursor, MovesOutsideWhileCapturedShowTheFaceAtOnce)
{
    // Later moves while the cursor is over the button leave the fade alone;
    // with the cursor elsewhere (the mouse captured by a held button) the
    // face is shown at full strength at once.
    POINT inside{W / 2, H / 2};
    ClientToScreen(button_, &inside);
    ASSERT_TRUE(SetCursorPos(inside.x, inside.y));
    if (WindowFromPoint(inside) != button_) GTEST_SKIP() << "the test window is not on top here";
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(W / 2, H / 2));
    Send(button_, WM_TIMER, 1);
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(W / 2 + 1, H / 2));
    EXPECT_EQ(Level(button_), 3);
    EXPECT_TRUE(TimerRuns(button_));
    POINT outside{-200, -200};
    ClientToScreen(button_, &outside);
    ASSERT_TRUE(SetCursorPos(std::max(0L, outside.x), std::max(0L, outside.y)));
    skintest::FillWindow(button_, RGB(0, 0, 0));
    Send(button_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-200, -200));
    EXPECT_FALSE(TimerRuns(button_));
    EXPECT_EQ(Level(button_), 255);
    EXPECT_EQ(WindowRgbAt(button_, W / 2, H / 2), RgbAt(Face(button_, 1), W / 2, H / 2));
}

TEST_F(SkinCursor, LeaveTrackingWorksThroughEitherEntryPoint)
{
    HWND button = skintest::CreateChild(form_, L"Button", L"x", 0, 0, 0, 60, 20);
    POINT inside{30, 10};
    ClientToScreen(button, &inside);
    SetCursorPos(inside.x, inside.y);
    if (WindowFromPoint(inside) != button) GTEST_SKIP() << "the test window is not on top here";
    for (bool user32 : {true, false}) {
        SCOPED_TRACE(user32);
        UseUserTrackMouseEvent(user32);
        EXPECT_TRUE(TrackMouseLeave(button));
        // Armed for this window, or the leave is queued already (the cursor
        // may be outside it).
        TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
        ASSERT_TRUE(TrackMouseEvent(&query));
        MSG msg;
        const bool queued = PeekMessageW(&msg, button, WM_MOUSELEAVE, WM_MOUSELEAVE, PM_REMOVE);
        EXPECT_TRUE(queued || ((query.dwFlags & TME_LEAVE) && query.hwndTrack == button));
        TRACKMOUSEEVENT cancel{sizeof cancel, TME_LEAVE | TME_CANCEL, button, 0};
        TrackMouseEvent(&cancel);
    }
    UseUserTrackMouseEvent(true);
}

} // namespace
