// Check boxes and option buttons under the skin: real "Button" controls
// under the class names "ThunderRT6CheckBox" and "ThunderRT6OptionButton",
// their glyphs read back and compared with the strips.
#include "CheckSkin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ControlTestSupport.h"
#include "SkinBitmaps.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, PressedFrame = 0x3986C4;
constexpr std::uint32_t White = 0xFFFFFF;

// The glyph is the menu-check size (13 x 13 here), vertically centred: in
// the 26-pixel-high boxes the tests make, (26 - 13) / 2 = 6.5 rounds to the
// even 6 (half up would give 7); in a 24-pixel box 5.5 rounds to 6 as well
// (truncation would give 5).
struct Glyph {
    int cx = 13;
    int cy = 13;
    int y0 = 6;
    explicit Glyph(HWND) {}
};

struct Boxes {
    HWND form = nullptr;
    int nextY = 10;

    HWND Make(const wchar_t* cls, DWORD style, int check = BST_UNCHECKED, bool enabled = true,
              int height = 26)
    {
        controltest::RegisterSuperclass(L"ThunderRT6CheckBox", L"Button");
        controltest::RegisterSuperclass(L"ThunderRT6OptionButton", L"Button");
        if (!form) form = controltest::CreateForm();
        HWND box = skintest::CreateChild(form, cls, L"Option", style, 10, nextY, 120, height);
        nextY += 30;
        SendMessageW(box, BM_SETCHECK, check, 0);
        EnableWindow(box, enabled);
        controltest::Skin(form);
        return box;
    }
    HWND Check(int check = BST_UNCHECKED, bool enabled = true)
    {
        return Make(L"ThunderRT6CheckBox", BS_AUTO3STATE, check, enabled);
    }
    HWND Option(int check = BST_UNCHECKED, bool enabled = true)
    {
        return Make(L"ThunderRT6OptionButton", BS_AUTORADIOBUTTON, check, enabled);
    }
};

// The frame colour and whether every interior pixel not covered by the
// glyph at (gx, gy) of size gw x gh is interiorColour.
std::uint32_t FrameOf(HWND box)
{
    const Glyph g(box);
    const std::uint32_t c = WindowRgbAt(box, 0, g.y0);
    // The whole one-pixel frame has one colour.
    EXPECT_EQ(WindowRgbAt(box, g.cx - 1, g.y0 + g.cy - 1), c);
    EXPECT_EQ(WindowRgbAt(box, g.cx / 2, g.y0), c);
    EXPECT_EQ(WindowRgbAt(box, 0, g.y0 + g.cy / 2), c);
    return c;
}

// Mismatches of a glyph-strip shape drawn at (x, y) of the window.
int GlyphMismatches(HWND box, int x, int y, int sx, int sy, int w, int h)
{
    HDC dc = GetWindowDC(box);
    std::string first;
    const int n = controltest::StripMismatches(dc, x, y, GlyphStrip(), sx, sy, w, h, &first);
    ReleaseDC(box, dc);
    if (n) ADD_FAILURE() << n << " pixels differ, first " << first;
    return n;
}

TEST(CheckBoxSkin, UncheckedCheckedAndIndeterminateGlyphs)
{
    Boxes boxes;
    const HWND unchecked = boxes.Check();
    const HWND checked = boxes.Check(BST_CHECKED);
    const HWND mixed = boxes.Check(BST_INDETERMINATE);
    const HWND low = boxes.Make(L"ThunderRT6CheckBox", BS_AUTO3STATE, BST_CHECKED, true, 24);
    ASSERT_EQ(GetSystemMetrics(SM_CXMENUCHECK), 13);
    ASSERT_EQ(GetSystemMetrics(SM_CYMENUCHECK), 13);
    const Glyph g(unchecked);
    for (HWND box : {unchecked, checked, mixed}) EXPECT_EQ(FrameOf(box), Frame);
    // An empty box is white inside.
    for (int y = 1; y < g.cy - 1; ++y)
        for (int x = 1; x < g.cx - 1; ++x) ASSERT_EQ(WindowRgbAt(unchecked, x, g.y0 + y), White);
    // The 9 x 8 check mark at ((13 - 9) / 2, (13 - 8) / 2) = (2, 2): 2.5 rounds
    // to even; the 7 x 7 square at (3, 3). Keyed pixels show the white box.
    EXPECT_EQ(GlyphMismatches(checked, 2, g.y0 + 2, 0, 0, 9, 8), 0);
    EXPECT_EQ(GlyphMismatches(low, 2, 6 + 2, 0, 0, 9, 8), 0);
    EXPECT_EQ(FrameOf(low), Frame);
    EXPECT_EQ(GlyphMismatches(mixed, 3, g.y0 + 3, 1, 9, 7, 7), 0);
    EXPECT_EQ(WindowRgbAt(checked, 1, g.y0 + 1), White);
}

TEST(CheckBoxSkin, DisabledBoxesShowThePaleGlyphsWhateverTheMouseDoes)
{
    Boxes boxes;
    const HWND checked = boxes.Check(BST_CHECKED, false);
    const HWND mixed = boxes.Check(BST_INDETERMINATE, false);
    const Glyph g(checked);
    for (WPARAM keys : {WPARAM{0}, WPARAM{MK_LBUTTON}}) {
        controltest::Mouse(checked, WM_MOUSEMOVE, 5, 10, keys);
        EXPECT_EQ(FrameOf(checked), FrameDisabled);
        EXPECT_EQ(GlyphMismatches(checked, 2, g.y0 + 2, 9, 0, 9, 8), 0);
        EXPECT_EQ(WindowRgbAt(checked, 1, g.y0 + 1), White) << "no hot or pressed fill";
    }
    EXPECT_EQ(FrameOf(mixed), FrameDisabled);
    EXPECT_EQ(GlyphMismatches(mixed, 3, g.y0 + 3, 10, 9, 7, 7), 0);
}

TEST(CheckBoxSkin, HotAndPressedFillsAndThePressedFrame)
{
    Boxes boxes;
    const HWND box = boxes.Check();
    const Glyph g(box);
    controltest::PutCursor(box, 5, 10);
    // Hot: the middle band of the hot circle fills the box; the fill is
    // stretched 11 x 5 -> 11 x 11, so its first row is the band's first row.
    controltest::Mouse(box, WM_MOUSEMOVE, 5, 10);
    EXPECT_EQ(FrameOf(box), Frame);
    EXPECT_EQ(WindowRgbAt(box, 1, g.y0 + 1), skintest::RgbAt(OptionCircleStrip(), 1, 17));
    EXPECT_EQ(WindowRgbAt(box, 6, g.y0 + 1), skintest::RgbAt(OptionCircleStrip(), 6, 17));
    EXPECT_NE(WindowRgbAt(box, 6, g.y0 + 1), White);
    // Pressed by the mouse, then released.
    controltest::Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    EXPECT_EQ(FrameOf(box), PressedFrame);
    EXPECT_EQ(WindowRgbAt(box, 6, g.y0 + 1), skintest::RgbAt(OptionCircleStrip(), 6, 30));
    controltest::Mouse(box, WM_LBUTTONUP, 5, 10);
    skintest::PumpPending();
    EXPECT_EQ(FrameOf(box), Frame);
    // The click checked it, and the glyph shows it.
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GlyphMismatches(box, 2, g.y0 + 2, 0, 0, 9, 8), 0);
}

TEST(CheckBoxSkin, SpaceBarPressesAndReleases)
{
    Boxes boxes;
    const HWND box = boxes.Check();
    SetFocus(box);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(FrameOf(box), PressedFrame);
    SendMessageW(box, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(FrameOf(box), Frame);
    // Other keys leave the glyph alone.
    SendMessageW(box, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(FrameOf(box), Frame);
}

TEST(CheckBoxSkin, APaintShowsNormalAndTheNextMoveHotAgain)
{
    Boxes boxes;
    const HWND box = boxes.Check();
    const Glyph g(box);
    controltest::PutCursor(box, 5, 10);
    controltest::Mouse(box, WM_MOUSEMOVE, 5, 10);
    ASSERT_NE(WindowRgbAt(box, 6, g.y0 + 1), White);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(WindowRgbAt(box, 6, g.y0 + 1), White);
    EXPECT_EQ(GetSkinState(box), SkinState::Normal);
    controltest::Mouse(box, WM_MOUSEMOVE, 6, 10);
    EXPECT_EQ(WindowRgbAt(box, 6, g.y0 + 1), skintest::RgbAt(OptionCircleStrip(), 6, 17));
    // Leaving returns to Normal.
    controltest::Mouse(box, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(WindowRgbAt(box, 6, g.y0 + 1), White);
    EXPECT_EQ(GetSkinProp(box, SkinProp::MouseFlag), 0);
}

// Mismatches of an option circle (strip row of state) drawn at the glyph.
int CircleMismatches(HWND box, int row)
{
    const Glyph g(box);
    HDC dc = GetWindowDC(box);
    std::string first;
    const int n =
        controltest::StripMismatches(dc, 0, g.y0, OptionCircleStrip(), 0, 13 * row, 13, 13, &first);
    ReleaseDC(box, dc);
    if (n) ADD_FAILURE() << n << " pixels differ, first " << first;
    return n;
}

TEST(OptionButtonSkin, CircleDotAndDisabledShapes)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXMENUCHECK), 13) << "the strip comparisons assume 13 x 13";
    Boxes boxes;
    const HWND off = boxes.Option();
    const HWND on = boxes.Option(BST_CHECKED);
    const HWND disabledOff = boxes.Option(BST_UNCHECKED, false);
    const HWND disabledOn = boxes.Option(BST_CHECKED, false);
    const Glyph g(off);
    EXPECT_EQ(CircleMismatches(off, 0), 0);
    // The middle row of the Normal circle, as the look defines it.
    const std::uint32_t middle[13] = {0x83A6D2, 0xF3F7FA, 0xFDFEFE, White, White,
                                      White,    White,    White,    White, White,
                                      0xFDFEFE, 0xF3F7FA, 0x83A6D2};
    for (int x = 0; x < 13; ++x) EXPECT_EQ(WindowRgbAt(off, x, g.y0 + 6), middle[x]) << x;
    // The keyed corners show the control's own background, never magenta.
    EXPECT_NE(WindowRgbAt(off, 0, g.y0), 0xFF00FFu);
    // The 5 x 5 dot at ((13 - 5) / 2, y0 + 4).
    EXPECT_EQ(GlyphMismatches(on, 4, g.y0 + 4, 2, 18, 5, 5), 0);
    EXPECT_EQ(WindowRgbAt(off, 6, g.y0 + 6), White);
    EXPECT_EQ(CircleMismatches(disabledOff, 3), 0);
    EXPECT_EQ(GlyphMismatches(disabledOn, 4, g.y0 + 4, 11, 18, 5, 5), 0);
}

TEST(OptionButtonSkin, HotAndPressedCircles)
{
    Boxes boxes;
    const HWND option = boxes.Option();
    controltest::PutCursor(option, 5, 10);
    controltest::Mouse(option, WM_MOUSEMOVE, 5, 10);
    EXPECT_EQ(CircleMismatches(option, 1), 0);
    controltest::Mouse(option, WM_MOUSEMOVE, 6, 10, MK_LBUTTON);
    EXPECT_EQ(CircleMismatches(option, 2), 0);
    // Focus changes redraw it Normal.
    SetFocus(option);
    EXPECT_EQ(CircleMismatches(option, 0), 0);
}

TEST(OptionButtonSkin, AClickRedrawsEveryOptionOfTheGroup)
{
    Boxes boxes;
    const HWND first =
        boxes.Make(L"ThunderRT6OptionButton", BS_AUTORADIOBUTTON | WS_GROUP, BST_CHECKED);
    const HWND second = boxes.Option();
    const HWND third = boxes.Option();
    const Glyph g(first);
    ASSERT_EQ(GlyphMismatches(first, 4, g.y0 + 4, 2, 18, 5, 5), 0);
    controltest::PutCursor(second, 5, 10);
    controltest::Mouse(second, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    controltest::Mouse(second, WM_LBUTTONUP, 5, 10);
    ASSERT_EQ(SendMessageW(second, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Without a further paint message: the refresh after the button-up did it.
    EXPECT_EQ(GlyphMismatches(second, 4, g.y0 + 4, 2, 18, 5, 5), 0);
    EXPECT_EQ(CircleMismatches(first, 0), 0);
    EXPECT_EQ(WindowRgbAt(first, 6, g.y0 + 6), White) << "old option still shows a dot";
    EXPECT_EQ(CircleMismatches(third, 0), 0);
}

} // namespace
