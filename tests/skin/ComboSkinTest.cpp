// Drop-down lists under the skin: real "ComboBox" controls (and one under
// the drive-list class name "ThunderRT6DriveListBox"), their frame, ring and
// drop button read back in every state.
#include "ComboSkin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ControlTestSupport.h"
#include "SkinBitmaps.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::RgbAt;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, White = 0xFFFFFF;
constexpr std::uint32_t ButtonEdge = 0x4EA0D1, Arrow = 0x19555F, ArrowDisabled = 0x84A5AC;

// 150 x 24 combos (the height the control picks for the default font) with
// SM_CXVSCROLL 17: the button is 18 x 22 at (131, 1); its 7 x 4 arrow at
// (11 - 5.5 rounded to even, 18 / 2) = (5, 9) inside it.
constexpr int Width = 150, Height = 24;
constexpr int ButtonX = 131, ButtonY = 1, ButtonWidth = 18, ButtonHeight = 22;
constexpr int ArrowX = ButtonX + 5, ArrowY = ButtonY + 9;

struct Combos {
    HWND form = nullptr;
    int nextY = 10;

    HWND Make(DWORD type, const wchar_t* cls = L"ComboBox")
    {
        controltest::RegisterSuperclass(L"ThunderRT6DriveListBox", L"ComboBox");
        if (!form) form = controltest::CreateForm();
        HWND combo =
            skintest::CreateChild(form, cls, L"", type | WS_VSCROLL, 10, nextY, Width, 120);
        for (const wchar_t* item : {L"one", L"two", L"three"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        RECT r;
        GetWindowRect(combo, &r);
        nextY += r.bottom - r.top + 8;
        controltest::Skin(form);
        return combo;
    }
};

void ExpectFrameAndRing(HWND combo, std::uint32_t frame, bool ring = true)
{
    RECT r;
    GetWindowRect(combo, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    for (POINT p : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1},
                    POINT{w / 2, 0}, POINT{w / 2, h - 1}, POINT{0, h / 2}})
        EXPECT_EQ(WindowRgbAt(combo, p.x, p.y), frame) << p.x << "," << p.y;
    if (!ring) return;
    for (POINT p : {POINT{1, 1}, POINT{w / 2, 1}, POINT{1, h - 2}, POINT{w / 2, h - 2}})
        EXPECT_EQ(WindowRgbAt(combo, p.x, p.y), White) << p.x << "," << p.y;
}

// Mismatches of the arrow (enabled or disabled strip copy) at its place.
int ArrowMismatches(HWND combo, bool enabled)
{
    HDC dc = GetWindowDC(combo);
    std::string first;
    const int n = controltest::StripMismatches(dc, ArrowX, ArrowY, ComboButtonStrip(), 8,
                                               enabled ? 0 : 4, 7, 4, &first);
    ReleaseDC(combo, dc);
    if (n) ADD_FAILURE() << n << " arrow pixels differ, first " << first;
    return n;
}

// Which face the drop button shows: Normal is white around the arrow; Hot
// and Pressed have the dark left line and the strip's own top and bottom
// rows, which run in opposite directions.
SkinState ShownState(HWND combo)
{
    const std::uint32_t left = WindowRgbAt(combo, ButtonX, ButtonY + 5);
    const std::uint32_t topRight = WindowRgbAt(combo, ButtonX + ButtonWidth - 1, ButtonY);
    const std::uint32_t bottomRight =
        WindowRgbAt(combo, ButtonX + ButtonWidth - 1, ButtonY + ButtonHeight - 1);
    if (left == White && topRight == White && bottomRight == White) return SkinState::Normal;
    EXPECT_EQ(left, ButtonEdge);
    for (int x : {0, 4}) {
        if (topRight == RgbAt(ComboButtonStrip(), x + 3, 0) &&
            bottomRight == RgbAt(ComboButtonStrip(), x + 3, 17))
            return x == 0 ? SkinState::Hot : SkinState::Pressed;
    }
    ADD_FAILURE() << "button shows neither face: " << Hex(left) << " " << Hex(topRight) << " "
                  << Hex(bottomRight);
    return SkinState::Disabled;
}

TEST(ComboSkin, TheStripFacesAreDistinct)
{
    Combos combos;
    combos.Make(CBS_DROPDOWNLIST);
    ASSERT_NE(ComboButtonStrip(), nullptr);
    EXPECT_NE(RgbAt(ComboButtonStrip(), 3, 0), RgbAt(ComboButtonStrip(), 7, 0));
    EXPECT_NE(RgbAt(ComboButtonStrip(), 3, 17), RgbAt(ComboButtonStrip(), 7, 17));
}

TEST(ComboSkin, DropDownListFrameRingAndNormalButton)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWNLIST);
    ExpectFrameAndRing(combo, Frame);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    EXPECT_EQ(ArrowMismatches(combo, true), 0);
    EXPECT_EQ(WindowRgbAt(combo, ArrowX + 3, ArrowY + 3), Arrow) << "the arrow's tip";
    EXPECT_EQ(WindowRgbAt(combo, ArrowX, ArrowY + 3), White) << "key pixels leave the face";
    // The whole button column left of the arrow is white: nothing of the
    // control's own 3D button shows.
    for (int y = ButtonY; y < ButtonY + ButtonHeight; ++y)
        EXPECT_EQ(WindowRgbAt(combo, ButtonX + 1, y), White) << y;
}

TEST(ComboSkin, HoverPressAndLeave)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWNLIST);
    controltest::PutCursor(combo, 60, 10);
    controltest::Mouse(combo, WM_MOUSEMOVE, 60, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Hot);
    EXPECT_EQ(ArrowMismatches(combo, true), 0);
    EXPECT_EQ(GetSkinProp(combo, SkinProp::MouseFlag), 1);
    controltest::Mouse(combo, WM_MOUSEMOVE, 61, 10, MK_LBUTTON);
    EXPECT_EQ(ShownState(combo), SkinState::Pressed);
    controltest::Mouse(combo, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    EXPECT_EQ(GetSkinProp(combo, SkinProp::MouseFlag), 0);
}

TEST(ComboSkin, ReleaseOverTheControlShowsHotAndOutsideNormal)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWNLIST);
    controltest::PutCursor(combo, 60, 10);
    controltest::Mouse(combo, WM_LBUTTONUP, 60, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Hot);
    controltest::PutCursorAway();
    controltest::Mouse(combo, WM_LBUTTONUP, 60, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
}

TEST(ComboSkin, ADroppedListKeepsTheButtonPressedAndIsFramed)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWNLIST);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    skintest::PumpPending();
    ASSERT_NE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
    // Whatever is asked for while the list is down, the button shows Pressed,
    // and the caller learns so.
    SkinState asked = SkinState::Normal;
    PaintComboButton(combo, nullptr, asked, true);
    EXPECT_EQ(asked, SkinState::Pressed);
    EXPECT_EQ(ShownState(combo), SkinState::Pressed);
    controltest::Mouse(combo, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(ShownState(combo), SkinState::Pressed);

    // The list was attached when it asked its combo for colours, and its
    // paint ends with the flat frame and ring.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const HWND list = info.hwndList;
    ASSERT_TRUE(IsWindowVisible(list));
    EXPECT_TRUE(HasSkinProp(list, SkinProp::ProcAddr));
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ExpectFrameAndRing(list, Frame);

    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    skintest::PumpPending();
    SkinState normal = SkinState::Normal;
    PaintComboButton(combo, nullptr, normal, true);
    EXPECT_EQ(normal, SkinState::Normal);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
}

TEST(ComboSkin, DisabledComboShowsThePaleFrameAndGreyArrow)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWNLIST);
    EnableWindow(combo, FALSE);
    RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ExpectFrameAndRing(combo, FrameDisabled);
    EXPECT_EQ(ArrowMismatches(combo, false), 0);
    EXPECT_EQ(WindowRgbAt(combo, ArrowX + 3, ArrowY + 3), ArrowDisabled);
}

TEST(ComboSkin, EditableComboHotOnlyOverTheButtonZone)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWN);
    // The skin paints the whole control itself: frame, white inside, button.
    ExpectFrameAndRing(combo, Frame, false);
    EXPECT_EQ(WindowRgbAt(combo, 1, 1), White);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    EXPECT_EQ(ArrowMismatches(combo, true), 0);
    // The zone starts at x = W - 17 - 2 = 131 and ends at W - 2 = 148; y from 2.
    controltest::PutCursor(combo, 140, 10);
    controltest::Mouse(combo, WM_MOUSEMOVE, Width - 17 - 3, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    controltest::Mouse(combo, WM_MOUSEMOVE, Width - 17 - 2, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Hot);
    controltest::Mouse(combo, WM_MOUSEMOVE, 140, 1);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    controltest::Mouse(combo, WM_MOUSEMOVE, Width - 2, Height - 2);
    EXPECT_EQ(ShownState(combo), SkinState::Hot);
    // Pressing in the text field changes nothing.
    controltest::Mouse(combo, WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
    EXPECT_EQ(ShownState(combo), SkinState::Hot);
    controltest::Mouse(combo, WM_MOUSEMOVE, 140, 10, MK_LBUTTON);
    EXPECT_EQ(ShownState(combo), SkinState::Pressed);
    controltest::Mouse(combo, WM_MOUSEMOVE, 20, 10);
    EXPECT_EQ(ShownState(combo), SkinState::Normal);
    // A press in the zone presses the button (and the control drops its list).
    controltest::Mouse(combo, WM_LBUTTONDOWN, 140, 10, MK_LBUTTON);
    EXPECT_EQ(ShownState(combo), SkinState::Pressed);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST(ComboSkin, EditableComboPaintKeepsTheTextOfItsEditField)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_DROPDOWN);
    SetWindowTextW(combo, L"WWWWWWWW");
    skintest::PumpPending();
    RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    skintest::PumpPending();
    int dark = 0;
    for (int x = 3; x < 100; ++x)
        if (WindowRgbAt(combo, x, Height / 2) < 0x808080) ++dark;
    EXPECT_GT(dark, 10) << "the skin's white fill covered the edit field";
}

TEST(ComboSkin, SimpleComboHasFrameAndRingButNoButton)
{
    Combos combos;
    const HWND combo = combos.Make(CBS_SIMPLE);
    ExpectFrameAndRing(combo, Frame);
    controltest::PutCursor(combo, 60, 10);
    controltest::Mouse(combo, WM_MOUSEMOVE, 60, 10);
    EXPECT_EQ(GetSkinState(combo), SkinState::Normal) << "no button, so no state recorded";
    RECT r;
    GetWindowRect(combo, &r);
    const int w = r.right - r.left;
    for (int x = w - 19; x < w - 1; ++x)
        EXPECT_NE(WindowRgbAt(combo, x, ArrowY), Arrow) << "no arrow drawn at " << x;
}

TEST(ComboSkin, DriveListBehavesAsANonEditableList)
{
    Combos combos;
    const HWND drive = combos.Make(CBS_DROPDOWNLIST, L"ThunderRT6DriveListBox");
    ExpectFrameAndRing(drive, Frame);
    EXPECT_EQ(ShownState(drive), SkinState::Normal);
    controltest::PutCursor(drive, 20, 10);
    controltest::Mouse(drive, WM_MOUSEMOVE, 20, 10);
    EXPECT_EQ(ShownState(drive), SkinState::Hot) << "hot anywhere over a drive list";
    controltest::Mouse(drive, WM_LBUTTONDOWN, 20, 10, MK_LBUTTON);
    EXPECT_EQ(ShownState(drive), SkinState::Pressed);
    SendMessageW(drive, CB_SHOWDROPDOWN, FALSE, 0);
    skintest::PumpPending();
    // Moving or resizing redraws the button Normal.
    SetWindowPos(drive, nullptr, 10, combos.nextY, Width, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    skintest::PumpPending();
    EXPECT_EQ(ShownState(drive), SkinState::Normal);
}

} // namespace
