// Sunken client edges under the skin: windows with WS_EX_CLIENTEDGE get a
// one-pixel FrameColor frame with the sunken edge painted over.
#include "ClientEdgeSkin.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ControlTestSupport.h"
#include "SkinPrimitives.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::RgbAt;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, White = 0xFFFFFF;

// Distance of (x, y) from the nearest window edge: 0 on the outer ring.
int Ring(int x, int y, int w, int h)
{
    int d = x;
    for (int v : {y, w - 1 - x, h - 1 - y}) d = v < d ? v : d;
    return d;
}

TEST(ClientEdgeSkin, FlatEdgeCoversEveryRingOfTheEdgeOnAnyDC)
{
    ScopedBitmapDC dc = CreateMemoryDC(20, 12);
    FillRectColor(dc.get(), 0, 0, 20, 12, RGB(1, 2, 3));
    PaintFlatClientEdge(dc.get(), 20, 12, 2, FrameColor, RGB(0x12, 0x34, 0x56));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int ring = Ring(x, y, 20, 12);
            const std::uint32_t want = ring == 0 ? Frame : ring <= 2 ? 0x123456 : 0x010203;
            ASSERT_EQ(RgbAt(dc.get(), x, y), want) << x << "," << y;
        }
    }
    // An edge wider than the window stops at the middle, drawing nothing odd.
    PaintFlatClientEdge(dc.get(), 4, 4, 10, FrameColor, White);
    EXPECT_EQ(RgbAt(dc.get(), 1, 1), White);
}

struct Edged {
    HWND form = controltest::CreateForm();
    int nextY = 10;

    HWND Make(const wchar_t* cls, DWORD style, DWORD exStyle, bool enabled = true)
    {
        HWND hwnd = skintest::CreateChild(form, cls, L"text", style, 10, nextY, 150, 60, exStyle);
        nextY += 70;
        EnableWindow(hwnd, enabled);
        controltest::Skin(form);
        return hwnd;
    }
};

// Outer ring in frame, the two rings of the sunken edge in white (the
// client DC's background), read back on the screen; pixels in keep (window
// coordinates) are left out.
void ExpectFlatEdge(HWND hwnd, std::uint32_t frame, RECT keep = {})
{
    RECT r;
    GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    int mismatches = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int ring = Ring(x, y, w, h);
            const POINT at{x, y};
            if (ring > 2 || PtInRect(&keep, at)) continue;
            const std::uint32_t c = WindowRgbAt(hwnd, x, y);
            if (c != (ring == 0 ? frame : White) && mismatches++ < 3)
                ADD_FAILURE() << "at " << x << "," << y << ": " << Hex(c);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ClientEdgeSkin, ListAndEditWithASunkenEdgeGetTheFlatFrame)
{
    Edged edged;
    const HWND list = edged.Make(L"ListBox", 0, WS_EX_CLIENTEDGE);
    const HWND edit = edged.Make(L"Edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    ExpectFlatEdge(list, Frame);
    ExpectFlatEdge(edit, Frame);
    // It survives the control repainting its frame.
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    ExpectFlatEdge(list, Frame);
}

TEST(ClientEdgeSkin, AnEditWithAVerticalScrollBarKeepsTheScrollBarsOutline)
{
    // The flat frame covers the sunken edge only; the scroll bar inside it
    // keeps every pixel it has without the skin, its outline included.
    Edged edged;
    const DWORD style = ES_MULTILINE | WS_VSCROLL;
    const HWND skinned = edged.Make(L"Edit", style, WS_EX_CLIENTEDGE);
    HWND plainForm = skintest::CreateTopWindow(L"VemoraUnskinnedHost");
    const HWND plain = skintest::CreateChild(plainForm, L"Edit", L"text", style, 10, 10, 150, 60,
                                             WS_EX_CLIENTEDGE);
    RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    skintest::PumpPending();

    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(skinned, OBJID_VSCROLL, &bar));
    RECT window{};
    GetWindowRect(skinned, &window);
    const int left = bar.rcScrollBar.left - window.left, top = bar.rcScrollBar.top - window.top;
    const int width = bar.rcScrollBar.right - bar.rcScrollBar.left,
              height = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
    ExpectFlatEdge(skinned, Frame, RECT{left, top, left + width, top + height});
    ASSERT_GT(width, 4);
    ASSERT_GT(height, 4);
    ASSERT_GE(left, 2) << "the scroll bar lies inside the sunken edge";
    int mismatches = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const std::uint32_t shown = WindowRgbAt(skinned, x, y), own = WindowRgbAt(plain, x, y);
            if (shown != own && mismatches++ < 3)
                ADD_FAILURE() << "scroll bar at " << x << "," << y << ": " << Hex(shown)
                              << " instead of " << Hex(own);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ClientEdgeSkin, DisabledWindowsGetThePaleFrame)
{
    Edged edged;
    const HWND list = edged.Make(L"ListBox", 0, WS_EX_CLIENTEDGE, false);
    ExpectFlatEdge(list, FrameDisabled);
}

TEST(ClientEdgeSkin, WindowsWithoutTheExtendedStyleKeepTheirOwnBorder)
{
    Edged edged;
    const HWND plain = edged.Make(L"ListBox", WS_BORDER, 0);
    const std::uint32_t border = WindowRgbAt(plain, 0, 0);
    EXPECT_NE(border, Frame);
    EXPECT_EQ(border, WindowRgbAt(plain, 75, 0));
}

} // namespace
