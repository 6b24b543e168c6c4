// High contrast turned on and off while skinned windows run: a high-contrast
// scheme set with SetSysColors, the theme switched on (SPI_SETHIGHCONTRAST,
// or, where Wine refuses it, the skin told so), then the broadcast. The
// buttons', lists', boxes' and frames' pixels are the system colours; turned
// off again, the window is pixel for pixel as before. The colours are put
// back at the end: the Wine prefix is shared with the other tests.
#include "SkinPalette.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FormDriver.h"
#include "SkinTestSupport.h"

namespace {

using Colours = std::set<std::uint32_t>;

// A high-contrast scheme whose colours all differ, so that a colour taken
// for the wrong role shows.
constexpr std::array<int, 8> Elements{COLOR_BTNFACE,   COLOR_BTNTEXT,       COLOR_WINDOW,
                                      COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,    COLOR_HIGHLIGHTTEXT,
                                      COLOR_GRAYTEXT,  COLOR_HOTLIGHT};
constexpr std::array<COLORREF, 8> Scheme{RGB(0, 0, 0),     RGB(255, 255, 0), RGB(0, 0, 64),
                                         RGB(255, 255, 255), RGB(0, 255, 255), RGB(64, 0, 0),
                                         RGB(0, 255, 0),   RGB(255, 128, 0)};

std::uint32_t Sys(int element)
{
    const COLORREF c = GetSysColor(element);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

Colours ColoursIn(HWND hwnd, const RECT& area)
{
    Colours found;
    const ScopedWindowDC dc(hwnd);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) found.insert(skintest::RgbAt(dc.get(), x, y));
    return found;
}

SIZE SizeOf(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

class HighContrast : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (std::size_t i = 0; i < Elements.size(); ++i) saved_[i] = GetSysColor(Elements[i]);
        controltest::RegisterSuperclass(L"ThunderRT6CheckBox", L"Button");
        controltest::RegisterSuperclass(L"ThunderRT6OptionButton", L"Button");
        form_ = controltest::CreateForm();
        button_ = skintest::CreateChild(form_, L"Button", L"OK", BS_PUSHBUTTON, 10, 10, 90, 25);
        pressed_ = skintest::CreateChild(form_, L"Button", L"No", BS_PUSHBUTTON, 110, 10, 90, 25);
        combo_ = skintest::CreateChild(form_, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 10,
                                       45, 120, 120);
        check_ = skintest::CreateChild(form_, L"ThunderRT6CheckBox", L"Check", BS_AUTOCHECKBOX,
                                       10, 80, 120, 26);
        option_ = skintest::CreateChild(form_, L"ThunderRT6OptionButton", L"Option",
                                        BS_AUTORADIOBUTTON, 10, 110, 120, 26);
        list_ = skintest::CreateChild(form_, L"ListBox", L"", LBS_NOINTEGRALHEIGHT, 150, 45, 120,
                                      60, WS_EX_CLIENTEDGE);
        for (HWND box : {check_, option_}) SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        controltest::PutCursorAway();
        controltest::Skin(form_);
    }
    void TearDown() override { Switch(false); }

    // The theme and the scheme on or off, then the broadcast every program gets.
    void Switch(bool on)
    {
        HIGHCONTRASTW contrast{sizeof contrast, on ? DWORD{HCF_HIGHCONTRASTON} : 0, nullptr};
        const bool told = SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast,
                                                SPIF_SENDCHANGE) != FALSE;
        OverrideHighContrast(told ? std::nullopt : std::optional<bool>(on));
        SetSysColors(static_cast<int>(Elements.size()), Elements.data(),
                     on ? Scheme.data() : saved_.data());
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0,
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        skintest::PumpPending();
    }

    std::vector<DWORD> Shot(const char* name)
    {
        RECT window{};
        GetWindowRect(form_, &window);
        return SaveScreen(window, std::string(VEMORA_SKIN_SCREENSHOT_DIR) + "/" + name);
    }

    std::array<COLORREF, 8> saved_{};
    HWND form_ = nullptr, button_ = nullptr, pressed_ = nullptr, combo_ = nullptr,
         check_ = nullptr, option_ = nullptr, list_ = nullptr;
};

TEST_F(HighContrast, ControlsPaintWithTheSystemColours)
{
    Switch(true);
    ASSERT_TRUE(IsHighContrast());
    controltest::Mouse(pressed_, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);

    // Push buttons: a flat face in the button colours, pressed in the highlight.
    const SIZE b = SizeOf(button_);
    EXPECT_EQ(skintest::WindowRgbAt(button_, b.cx / 2, 0), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(skintest::WindowRgbAt(button_, 4, b.cy / 2), Sys(COLOR_BTNFACE));
    EXPECT_EQ(skintest::WindowRgbAt(pressed_, 4, b.cy / 2), Sys(COLOR_HIGHLIGHT));

    // The list: frame, ring, and a drop button of the field's colours alone.
    const SIZE c = SizeOf(combo_);
    const int dropButton = GetSystemMetrics(SM_CXVSCROLL) + 1;
    EXPECT_EQ(skintest::WindowRgbAt(combo_, 0, c.cy / 2), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(skintest::WindowRgbAt(combo_, 1, c.cy / 2), Sys(COLOR_WINDOW));
    const RECT drop{c.cx - dropButton - 1, 1, c.cx - 1, c.cy - 1};
    EXPECT_EQ(ColoursIn(combo_, drop), (Colours{Sys(COLOR_WINDOW), Sys(COLOR_WINDOWTEXT)}));
    controltest::PutCursor(combo_, 20, 10);
    controltest::Mouse(combo_, WM_MOUSEMOVE, 20, 10);
    EXPECT_EQ(ColoursIn(combo_, drop),
              (Colours{Sys(COLOR_HIGHLIGHT), Sys(COLOR_HIGHLIGHTTEXT)}));
    controltest::PutCursorAway();

    // The check box, the option button and the client edge of a list box.
    const int cx = GetSystemMetrics(SM_CXMENUCHECK), cy = GetSystemMetrics(SM_CYMENUCHECK);
    const int y0 = static_cast<int>(std::lrint((SizeOf(check_).cy - cy) / 2.0));
    const RECT glyph{0, y0, cx, y0 + cy};
    EXPECT_EQ(skintest::WindowRgbAt(check_, 0, y0 + cy / 2), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(ColoursIn(check_, glyph), (Colours{Sys(COLOR_WINDOW), Sys(COLOR_WINDOWTEXT)}));
    const Colours option = ColoursIn(option_, glyph);
    EXPECT_EQ(option, (Colours{Sys(COLOR_BTNFACE), Sys(COLOR_WINDOW), Sys(COLOR_WINDOWTEXT)}));
    EXPECT_EQ(skintest::WindowRgbAt(list_, 0, SizeOf(list_).cy / 2), Sys(COLOR_WINDOWTEXT));
    skintest::PumpPending();
    Shot("Skin-high-contrast.png");
}

TEST_F(HighContrast, TurnedOffAgainTheWindowIsAsOneThatNeverSawIt)
{
    const std::vector<DWORD> before = Shot("Skin-colours-before.png");
    ASSERT_FALSE(before.empty());
    Switch(true);
    EXPECT_NE(Shot("Skin-colours-during.png"), before);
    Switch(false);
    ASSERT_FALSE(IsHighContrast());
    const std::vector<DWORD> after = Shot("Skin-colours-after.png");
    ASSERT_EQ(after.size(), before.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < after.size(); ++i) differ += after[i] != before[i];
    EXPECT_EQ(differ, 0u) << "pixels differ from the window that never saw high contrast";
}

} // namespace
