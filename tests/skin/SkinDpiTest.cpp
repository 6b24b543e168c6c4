// The skin's pixel art at the display scale of the Wine prefix (CTest runs
// these tests at 96, 120, 144 and 192 DPI) and after WM_DPICHANGED: the drop
// arrow, check mark, indeterminate square and option dot measured from the
// screen, each within a pixel of the 96-DPI art scaled and centred where it
// sits at 96 DPI, holding only the art's own colours (no blur). A screenshot
// per scale, Skin-dpi<N>.png, is kept in this build folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>

#include "ControlTestSupport.h"
#include "FormDriver.h"
#include "PrefixDpi.h"
#include "SkinBitmaps.h"
#include "SkinTestSupport.h"

namespace {

using Colours = std::set<std::uint32_t>;
constexpr std::uint32_t White = 0xFFFFFF, Frame = 0x54A5D5, Key = 0xFF00FF;

int At(int designValue, UINT dpi) { return MulDiv(designValue, static_cast<int>(dpi), 96); }

// The colours of a strip piece, key left out.
Colours ArtColours(HDC strip, int x, int y, int width, int height)
{
    Colours colours;
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col) colours.insert(skintest::RgbAt(strip, col, row));
    colours.erase(Key);
    return colours;
}

// Where pixels of art lie within area of hwnd's window DC; strays counts the
// pixels that are neither art nor one of the colours around it.
struct Found {
    RECT box{1 << 20, 1 << 20, -1, -1};
    int strays = 0;
};
Found Scan(HWND hwnd, const RECT& area, const Colours& art, const Colours& around)
{
    Found found;
    const ScopedWindowDC dc(hwnd);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t c = skintest::RgbAt(dc.get(), x, y);
            if (!art.count(c)) {
                found.strays += around.count(c) ? 0 : 1;
                continue;
            }
            found.box = RECT{std::min<LONG>(found.box.left, x), std::min<LONG>(found.box.top, y),
                             std::max<LONG>(found.box.right, x + 1),
                             std::max<LONG>(found.box.bottom, y + 1)};
        }
    }
    return found;
}

// The art's size is its 96-DPI size scaled, its centre the centre it has in
// its place, each within a pixel; nothing but its colours and the ones around.
void ExpectArt(const Found& f, SIZE design, double centreX, double centreY, UINT dpi,
               const char* what)
{
    const double scale = dpi / 96.0;
    EXPECT_EQ(f.strays, 0) << what << ": colours of neither the art nor its ground";
    EXPECT_NEAR(f.box.right - f.box.left, design.cx * scale, 1.0) << what;
    EXPECT_NEAR(f.box.bottom - f.box.top, design.cy * scale, 1.0) << what;
    EXPECT_NEAR((f.box.left + f.box.right) / 2.0, centreX, 1.0) << what;
    EXPECT_NEAR((f.box.top + f.box.bottom) / 2.0, centreY, 1.0) << what;
}

class SkinDpi : public ::testing::Test {
protected:
    void SetUp() override
    {
        const UINT dpi = PrefixDpi();
        controltest::RegisterSuperclass(L"ThunderRT6CheckBox", L"Button");
        controltest::RegisterSuperclass(L"ThunderRT6OptionButton", L"Button");
        form_ = controltest::CreateForm();
        SetWindowPos(form_, HWND_TOP, 20, 20, At(340, dpi), At(280, dpi), SWP_NOACTIVATE);
        combo_ = skintest::CreateChild(form_, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL,
                                       At(10, dpi), At(10, dpi), At(100, dpi), At(120, dpi));
        SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"自动"));
        SendMessageW(combo_, CB_SETCURSEL, 0, 0);
        auto box = [&](const wchar_t* cls, DWORD style, int check, int top) {
            HWND hwnd = skintest::CreateChild(form_, cls, L"Option", style, At(10, dpi),
                                              At(top, dpi), At(120, dpi), At(26, dpi));
            SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(check), 0);
            return hwnd;
        };
        checked_ = box(L"ThunderRT6CheckBox", BS_AUTO3STATE, BST_CHECKED, 50);
        mixed_ = box(L"ThunderRT6CheckBox", BS_AUTO3STATE, BST_INDETERMINATE, 80);
        option_ = box(L"ThunderRT6OptionButton", BS_AUTORADIOBUTTON, BST_CHECKED, 110);
        button_ = skintest::CreateChild(form_, L"Button", L"OK", BS_PUSHBUTTON, At(150, dpi),
                                        At(10, dpi), At(75, dpi), At(25, dpi));
        controltest::Skin(form_);
    }

    // Every piece of art of the four controls as it must look at dpi.
    void ExpectArtAt(UINT dpi)
    {
        ExpectArrowAt(dpi);
        ExpectGlyphAt(checked_, dpi, ArtColours(GlyphStrip(), 0, 0, 9, 8), {9, 8}, "check mark");
        ExpectGlyphAt(mixed_, dpi, ArtColours(GlyphStrip(), 1, 9, 7, 7), {7, 7}, "square");
        ExpectGlyphAt(option_, dpi, ArtColours(GlyphStrip(), 2, 18, 5, 5), {5, 5}, "option dot");
        // The push button's one-pixel border, enlarged with the face.
        const std::uint32_t border = skintest::RgbAt(ButtonFaceStrip(), 3, 0);
        const int lines = At(1, dpi);
        RECT r{};
        GetWindowRect(button_, &r);
        for (int y = 0; y <= lines; ++y)
            EXPECT_EQ(skintest::WindowRgbAt(button_, (r.right - r.left) / 2, y) == border,
                      y < lines) << "button border row " << y;
    }

    void ExpectArrowAt(UINT dpi)
    {
        RECT r{};
        GetWindowRect(combo_, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const int b = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + 1;
        const RECT button{w - b - 1, 1, w - 1, h - 1};
        const Found arrow = Scan(combo_, button, ArtColours(ComboButtonStrip(), 8, 0, 7, 4), {White});
        ExpectArt(arrow, {7, 4}, (button.left + button.right) / 2.0, h / 2.0, dpi, "drop arrow");
    }

    // The glyph box is the menu-check size at dpi, vertically centred; the
    // shape sits in the middle of it, over the box (white and its frame) or
    // the circle (its own colours).
    void ExpectGlyphAt(HWND hwnd, UINT dpi, const Colours& art, SIZE design, const char* what)
    {
        const int cx = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
        const int cy = GetSystemMetricsForDpi(SM_CYMENUCHECK, dpi);
        RECT r{};
        GetWindowRect(hwnd, &r);
        const int y0 = static_cast<int>(std::lrint((r.bottom - r.top - cy) / 2.0));
        Colours around = ArtColours(OptionCircleStrip(), 0, 0, 13, 13);
        around.insert({White, Frame, skintest::WindowRgbAt(hwnd, 0, y0)});
        const Found f = Scan(hwnd, RECT{0, y0, cx, y0 + cy}, art, around);
        ExpectArt(f, design, cx / 2.0, y0 + cy / 2.0, dpi, what);
    }

    HWND form_ = nullptr, button_ = nullptr, combo_ = nullptr, checked_ = nullptr, mixed_ = nullptr,
         option_ = nullptr;
};

TEST_F(SkinDpi, ArrowAndGlyphsAreTheDesignArtScaledAndSharp)
{
    ASSERT_EQ(GetDpiForSystem(), PrefixDpi()) << "the Wine prefix is not at the scale of this run";
    ExpectArtAt(PrefixDpi());
    RECT window{};
    GetWindowRect(form_, &window);
    EXPECT_FALSE(SaveScreen(window, std::string(VEMORA_SKIN_SCREENSHOT_DIR) + "/Skin-dpi" +
                                        std::to_string(PrefixDpi()) + ".png")
                     .empty());
}

TEST_F(SkinDpi, DpiChangedMeasuresEveryControlAtTheNewScale)
{
    // Wine never moves a window to another scale: the test tells the form.
    const UINT told = PrefixDpi() == 192 ? 96 : 192;
    RECT frame{};
    GetWindowRect(form_, &frame);
    SendMessageW(form_, WM_DPICHANGED, MAKEWPARAM(told, told), reinterpret_cast<LPARAM>(&frame));
    skintest::PumpPending();
    ExpectArtAt(told);
}

} // namespace
