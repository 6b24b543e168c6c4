// What the control painters share: rounding, and a clear outcome for bad
// handles and for painting before the strips exist.
#include "ControlPaint.h"

#include <gtest/gtest.h>

#include "CheckSkin.h"
#include "ComboSkin.h"
#include "HeaderSkin.h"
#include "ProgressSkin.h"
#include "SkinBitmaps.h"
#include "SkinPrimitives.h"
#include "SkinTestSupport.h"

namespace {

using skintest::RgbAt;

TEST(ControlPaint, RoundsHalvesToEven)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(5.5), 6);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
}

TEST(ControlPaint, PaintersIgnoreNullAndDestroyedWindows)
{
    HWND gone = CreateWindowExW(0, L"Button", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    ScopedBitmapDC dc = CreateMemoryDC(40, 40);
    FillRectColor(dc.get(), 0, 0, 40, 40, RGB(1, 2, 3));
    for (HWND hwnd : {static_cast<HWND>(nullptr), gone}) {
        EXPECT_EQ(PaintCheckBox(hwnd, SkinState::Hot, true), 0);
        EXPECT_EQ(PaintOptionButton(hwnd, SkinState::Hot, true), 0);
        SkinState state = SkinState::Hot;
        PaintComboButton(hwnd, dc.get(), state, true);
        EXPECT_EQ(state, SkinState::Hot);
        PaintHeaderItem(hwnd, dc.get(), 0, SkinState::Pressed);
        PaintHeader(hwnd, dc.get());
        EXPECT_EQ(HeaderItemAt(hwnd, 5), -1);
        PaintProgressClient(hwnd, dc.get());
        PaintProgressFrame(hwnd, dc.get());
    }
    for (int i = 0; i < 40; i += 3) ASSERT_EQ(RgbAt(dc.get(), i, i), 0x010203u) << i;
}

TEST(ControlPaint, GlyphsBeforeTheStripsExistStillGetTheirFrame)
{
    const bool hadStrips = SkinBitmapsPainted();
    ReleaseSkinBitmaps();
    ScopedBitmapDC dc = CreateMemoryDC(20, 20);
    FillRectColor(dc.get(), 0, 0, 20, 20, RGB(1, 2, 3));
    DrawCheckBoxGlyph(dc.get(), 0, 0, 13, 13, true, CheckMark::Checked, SkinState::Hot);
    DrawOptionButtonGlyph(dc.get(), 0, 0, 13, 13, true, true, SkinState::Pressed);
    EXPECT_EQ(RgbAt(dc.get(), 12, 12), 0x54A5D5u);
    // Degenerate sizes draw nothing.
    DrawCheckBoxGlyph(dc.get(), 15, 15, 0, -3, true, CheckMark::Checked, SkinState::Normal);
    EXPECT_EQ(RgbAt(dc.get(), 15, 15), 0x010203u);
    if (hadStrips) PaintSkinBitmaps();
}

} // namespace
