// Column headers under the skin: a real "SysHeader32" with three items, its
// faces read back through press, move, release and leave.
#include "HeaderSkin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "ControlTestSupport.h"
#include "SkinBitmaps.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::RgbAt;
using skintest::WindowRgbAt;

// Three items of 100 pixels: 0..100, 100..200, 200..300; the middle one has
// no text.
constexpr int ItemWidth = 100, HeaderHeight = 24;

struct Header {
    HWND form = controltest::CreateForm();
    HWND hwnd = nullptr;

    Header()
    {
        hwnd = skintest::CreateChild(form, WC_HEADERW, L"", HDS_HORZ | HDS_BUTTONS, 10, 10,
                                     3 * ItemWidth + 20, HeaderHeight);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     0);
        const wchar_t* texts[] = {L"WWWWW", L"", L"MMMMM"};
        for (int i = 0; i < 3; ++i) {
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.fmt = HDF_STRING | HDF_CENTER;
            item.cxy = ItemWidth;
            item.pszText = const_cast<wchar_t*>(texts[i]);
            SendMessageW(hwnd, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        controltest::Skin(form);
        controltest::PutCursor(hwnd, 150, 12);
    }

    LRESULT Mouse(UINT msg, int x, WPARAM keys = 0) const
    {
        return controltest::Mouse(hwnd, msg, x, 12, keys);
    }

    // The face item i shows, told by the top row in the middle of the item
    // (the nine-grid's top edge: one strip pixel stretched).
    SkinState Shown(int i) const
    {
        const std::uint32_t c = WindowRgbAt(hwnd, i * ItemWidth + ItemWidth / 2, 0);
        for (int s = 0; s < 3; ++s) {
            if (c == RgbAt(HeaderFaceStrip(), 3 * s + 1, 0)) return static_cast<SkinState>(s);
        }
        ADD_FAILURE() << "item " << i << " shows no face: " << Hex(c);
        return SkinState::Disabled;
    }

    void ExpectShown(SkinState a, SkinState b, SkinState c) const
    {
        EXPECT_EQ(Shown(0), a);
        EXPECT_EQ(Shown(1), b);
        EXPECT_EQ(Shown(2), c);
    }
};

constexpr SkinState N = SkinState::Normal, H = SkinState::Hot, P = SkinState::Pressed;

TEST(HeaderSkin, NormalFacesWithTextAndAnEmptyItemWithFaceOnly)
{
    Header header;
    // The three faces differ where the tests look.
    std::set<std::uint32_t> tops;
    for (int s = 0; s < 3; ++s) tops.insert(RgbAt(HeaderFaceStrip(), 3 * s + 1, 0));
    ASSERT_EQ(tops.size(), 3u);

    header.ExpectShown(N, N, N);
    // The bottom row of every face is the strip's.
    EXPECT_EQ(WindowRgbAt(header.hwnd, 150, HeaderHeight - 1), 0xC0DAF2u);
    // A row through the text: the texted items have dark text pixels, the
    // empty one is the plain stretched face (one colour along the row).
    auto rowColours = [&](int item) {
        std::set<std::uint32_t> colours;
        for (int x = item * ItemWidth + 2; x < (item + 1) * ItemWidth - 2; ++x)
            colours.insert(WindowRgbAt(header.hwnd, x, HeaderHeight / 2));
        return colours;
    };
    EXPECT_EQ(rowColours(1).size(), 1u);
    EXPECT_GT(rowColours(0).size(), 1u);
    EXPECT_GT(rowColours(2).size(), 1u);
    // Right of the last item is the background: the Normal face's middle
    // column stretched, and no item separator.
    EXPECT_EQ(WindowRgbAt(header.hwnd, 3 * ItemWidth + 10, 0), RgbAt(HeaderFaceStrip(), 1, 0));
}

TEST(HeaderSkin, HotFollowsTheMouseAndABoundaryBelongsToTheLowerIndex)
{
    Header header;
    header.Mouse(WM_MOUSEMOVE, 150);
    header.ExpectShown(N, H, N);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HmIndex), 1);
    header.Mouse(WM_MOUSEMOVE, 250);
    header.ExpectShown(N, N, H);
    // x = 100 is the right edge of item 0 and the left edge of item 1.
    header.Mouse(WM_MOUSEMOVE, 100);
    header.ExpectShown(H, N, N);
    EXPECT_EQ(HeaderItemAt(header.hwnd, 100), 0);
    EXPECT_EQ(HeaderItemAt(header.hwnd, 101), 1);
    EXPECT_EQ(HeaderItemAt(header.hwnd, 300), 2);
    EXPECT_EQ(HeaderItemAt(header.hwnd, 301), -1);
    EXPECT_EQ(HeaderItemAt(header.hwnd, -1), -1);
    // Leaving clears both records and the hot face.
    header.Mouse(WM_MOUSELEAVE, 0);
    header.ExpectShown(N, N, N);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HmIndex), -1);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HdIndex), -1);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::MouseFlag), 0);
}

TEST(HeaderSkin, PressStaysOnItsItemWhileTheButtonIsHeld)
{
    Header header;
    header.Mouse(WM_MOUSEMOVE, 50);
    header.Mouse(WM_LBUTTONDOWN, 50, MK_LBUTTON);
    header.ExpectShown(P, N, N);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HdIndex), 0);
    // Moving over the other items with the button held redraws nothing.
    header.Mouse(WM_MOUSEMOVE, 150, MK_LBUTTON);
    header.ExpectShown(P, N, N);
    header.Mouse(WM_MOUSEMOVE, 250, MK_LBUTTON);
    header.ExpectShown(P, N, N);
    // A full repaint meanwhile keeps the pressed record.
    RedrawWindow(header.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    header.ExpectShown(P, N, N);
}

TEST(HeaderSkin, ReleaseOverTheHeaderDrawsNormalAndOutsideHot)
{
    Header header;
    header.Mouse(WM_LBUTTONDOWN, 250, MK_LBUTTON);
    header.ExpectShown(N, N, P);
    header.Mouse(WM_LBUTTONUP, 250);
    header.ExpectShown(N, N, N);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HdIndex), -1);

    header.Mouse(WM_LBUTTONDOWN, 50, MK_LBUTTON);
    header.ExpectShown(P, N, N);
    controltest::PutCursorAway();
    header.Mouse(WM_LBUTTONUP, 50);
    header.ExpectShown(H, N, N);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HdIndex), -1);
}

TEST(HeaderSkin, DoubleClickPressesAndOutOfRangeItemsDrawNothing)
{
    Header header;
    header.Mouse(WM_LBUTTONDBLCLK, 150, MK_LBUTTON);
    header.ExpectShown(N, P, N);
    // No item there: nothing recorded, nothing drawn. (The release draws
    // item 1 by the cursor's place; the repaint puts it back by the records.)
    header.Mouse(WM_LBUTTONUP, 150);
    RedrawWindow(header.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    header.Mouse(WM_LBUTTONDOWN, 3 * ItemWidth + 10, MK_LBUTTON);
    EXPECT_EQ(GetSkinProp(header.hwnd, SkinProp::HdIndex), -1);
    PaintHeaderItem(header.hwnd, nullptr, -1, P);
    PaintHeaderItem(header.hwnd, nullptr, 7, P);
    header.ExpectShown(N, N, N);
}

} // namespace
