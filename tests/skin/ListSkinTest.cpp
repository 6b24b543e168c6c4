// Framed lists and grids under the skin: real "ListBox" controls under the
// class names "DataListWndClass", "DBListWndClass" and "ApexGrid...".
#include "ListSkin.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ControlTestSupport.h"
#include "GridSkin.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, White = 0xFFFFFF;

struct Lists {
    HWND form = nullptr;
    int nextY = 10;

    HWND Make(const wchar_t* cls, DWORD style, DWORD exStyle = 0, bool enabled = true)
    {
        controltest::RegisterSuperclass(L"DataListWndClass", L"ListBox");
        controltest::RegisterSuperclass(L"DBListWndClass", L"ListBox");
        controltest::RegisterSuperclass(L"ApexGridOleDB32", L"ListBox");
        if (!form) form = controltest::CreateForm();
        HWND hwnd = skintest::CreateChild(form, cls, L"", style | LBS_NOINTEGRALHEIGHT, 10, nextY,
                                          150, 50, exStyle);
        for (const wchar_t* item : {L"first row", L"second row"})
            SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        nextY += 56;
        EnableWindow(hwnd, enabled);
        controltest::Skin(form);
        return hwnd;
    }
};

// The colour of the whole outer ring (it must be one colour).
std::uint32_t OuterRing(HWND hwnd, int inset = 0)
{
    const int w = 150 - 2 * inset, h = 50 - 2 * inset;
    const std::uint32_t c = WindowRgbAt(hwnd, inset, inset);
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(WindowRgbAt(hwnd, inset + x, inset), c) << x;
        EXPECT_EQ(WindowRgbAt(hwnd, inset + x, inset + h - 1), c) << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(WindowRgbAt(hwnd, inset, inset + y), c) << y;
        EXPECT_EQ(WindowRgbAt(hwnd, inset + w - 1, inset + y), c) << y;
    }
    return c;
}

TEST(ListSkin, DataListsGetTheFrameAndWhiteRingOverTheirOwnPaint)
{
    Lists lists;
    const HWND data = lists.Make(L"DataListWndClass", WS_BORDER);
    const HWND db = lists.Make(L"DBListWndClass", WS_BORDER);
    const HWND disabled = lists.Make(L"DataListWndClass", WS_BORDER, 0, false);
    for (HWND list : {data, db}) {
        EXPECT_EQ(OuterRing(list), Frame);
        EXPECT_EQ(OuterRing(list, 1), White);
    }
    EXPECT_EQ(OuterRing(disabled), FrameDisabled);
    EXPECT_EQ(OuterRing(disabled, 1), White);
    // A repaint of the items brings the frame back at once.
    InvalidateRect(data, nullptr, TRUE);
    UpdateWindow(data);
    EXPECT_EQ(OuterRing(data), Frame);
}

TEST(GridSkin, BorderedGridsGetTheFlatFrameOthersNot)
{
    Lists lists;
    const HWND bordered = lists.Make(L"ApexGridOleDB32", WS_BORDER);
    const HWND disabled = lists.Make(L"ApexGridOleDB32", WS_BORDER, 0, false);
    const HWND plain = lists.Make(L"ApexGridOleDB32", 0);
    EXPECT_EQ(OuterRing(bordered), Frame);
    EXPECT_EQ(OuterRing(disabled), FrameDisabled);
    // Without WS_BORDER the grid shows its own items up to the edge.
    EXPECT_EQ(WindowRgbAt(plain, 75, 49), White);
    EXPECT_NE(WindowRgbAt(plain, 0, 0), Frame);
}

} // namespace
