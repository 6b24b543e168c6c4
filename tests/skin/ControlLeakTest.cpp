// Leaks of the control painters, found by exhaustion: Wine answers
// GetGuiResources with 0, but a process holds only about 65,000 GDI
// objects. Each test takes all of them but Headroom with brushes of its own,
// then paints many times; a painter that leaks one object (a scratch DC, a
// bitmap, a brush, a window DC) every few paints runs out before the loop
// ends, and the closing pixel checks fail because nothing can be drawn any
// more.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "CheckSkin.h"
#include "ComboSkin.h"
#include "ControlTestSupport.h"
#include "HeaderSkin.h"
#include "ProgressSkin.h"
#include "SkinBitmaps.h"
#include "SkinPrimitives.h"
#include "SkinTestSupport.h"

namespace {

using skintest::RgbAt;
using skintest::WindowRgbAt;

// A paint holds at most a handful of objects at once (scratch DCs and
// bitmaps of the nine-grid and keyed copies, a brush, the window DC).
constexpr int Headroom = 300;
constexpr int Cycles = 1500;

// Paints the whole window in a colour no painter uses, so that a closing probe
// sees only what is painted after it; false when even that fails.
bool Cleared(HWND hwnd)
{
    constexpr COLORREF Clear = RGB(1, 2, 3);
    skintest::FillWindow(hwnd, Clear);
    return WindowRgbAt(hwnd, 0, 0) == 0x010203u;
}

struct Controls {
    HWND form = controltest::CreateForm();
    HWND combo = nullptr, check = nullptr, option = nullptr, header = nullptr, bar = nullptr,
         edged = nullptr;

    Controls()
    {
        controltest::RegisterSuperclass(L"ThunderRT6CheckBox", L"Button");
        controltest::RegisterSuperclass(L"ThunderRT6OptionButton", L"Button");
        controltest::RegisterSuperclass(L"ProgressBar20WndClass", PROGRESS_CLASSW);
        combo = skintest::CreateChild(form, L"ComboBox", L"", CBS_DROPDOWNLIST, 10, 10, 150, 120);
        check = skintest::CreateChild(form, L"ThunderRT6CheckBox", L"c", BS_AUTOCHECKBOX, 10, 40,
                                      100, 26);
        option = skintest::CreateChild(form, L"ThunderRT6OptionButton", L"o", BS_AUTORADIOBUTTON,
                                       10, 70, 100, 26);
        header = skintest::CreateChild(form, WC_HEADERW, L"", HDS_BUTTONS, 10, 100, 200, 24);
        bar =
            skintest::CreateChild(form, L"ProgressBar20WndClass", L"", WS_BORDER, 10, 130, 102, 22);
        edged = skintest::CreateChild(form, L"ListBox", L"", 0, 10, 160, 100, 50, WS_EX_CLIENTEDGE);
        SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(option, BM_SETCHECK, BST_CHECKED, 0);
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.cxy = 100;
        item.pszText = const_cast<wchar_t*>(L"text");
        SendMessageW(header, HDM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        SendMessageW(bar, PBM_SETRANGE32, 0, 30000);
        SendMessageW(bar, PBM_SETPOS, 15000, 0);
        controltest::Skin(form);
    }
};

TEST(ControlLeaks, ComboAndGlyphPaintsGiveEverythingBack)
{
    Controls c;
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted()) << "no GDI object limit to find leaks with";
    for (int i = 0; i < Cycles; ++i) {
        SkinState state = (i & 1) ? SkinState::Hot : SkinState::Pressed;
        PaintComboButton(c.combo, nullptr, state, true);
        PaintCheckBox(c.check, (i & 1) ? SkinState::Hot : SkinState::Pressed, true);
        PaintOptionButton(c.option, (i & 1) ? SkinState::Hot : SkinState::Pressed, true);
    }
    // Still drawing: the Hot face of the combo button, the pressed frame of
    // the check box, the dot of the option button.
    SkinState hot = SkinState::Hot;
    ASSERT_TRUE(Cleared(c.combo));
    PaintComboButton(c.combo, nullptr, hot, true);
    EXPECT_EQ(WindowRgbAt(c.combo, 131 + 17, 1), RgbAt(ComboButtonStrip(), 3, 0));
    ASSERT_TRUE(Cleared(c.check));
    PaintCheckBox(c.check, SkinState::Pressed, true);
    EXPECT_EQ(WindowRgbAt(c.check, 0, 6), 0x3986C4u);
    ASSERT_TRUE(Cleared(c.option));
    PaintOptionButton(c.option, SkinState::Normal, true);
    EXPECT_EQ(WindowRgbAt(c.option, 6, 6 + 6), RgbAt(GlyphStrip(), 4, 20));
}

TEST(ControlLeaks, HeaderProgressAndEdgePaintsGiveEverythingBack)
{
    Controls c;
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted()) << "no GDI object limit to find leaks with";
    for (int i = 0; i < Cycles; ++i) {
        SendMessageW(c.bar, PBM_SETPOS, (i & 1) ? 30000 : 0, 0);
        RedrawWindow(c.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        RedrawWindow(c.header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PaintHeaderItem(c.header, nullptr, 0, (i & 1) ? SkinState::Hot : SkinState::Pressed);
        RedrawWindow(c.edged, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    }
    SendMessageW(c.bar, PBM_SETPOS, 15000, 0);
    ASSERT_TRUE(Cleared(c.bar));
    RedrawWindow(c.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(WindowRgbAt(c.bar, 0, 0), 0x54A5D5u);
    EXPECT_EQ(WindowRgbAt(c.bar, 1 + 49, 10), 0x4CD6F6u);
    EXPECT_EQ(WindowRgbAt(c.bar, 1 + 50, 10), 0xFFFFFFu);
    ASSERT_TRUE(Cleared(c.header));
    PaintHeaderItem(c.header, nullptr, 0, SkinState::Pressed);
    EXPECT_EQ(WindowRgbAt(c.header, 50, 0), RgbAt(HeaderFaceStrip(), 7, 0));
    ASSERT_TRUE(Cleared(c.edged));
    RedrawWindow(c.edged, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(WindowRgbAt(c.edged, 0, 0), 0x54A5D5u);
}

} // namespace
