// Grids under the skin: real "ListBox" controls under the class name
// "ApexGridOleDB32".
#include "GridSkin.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ControlTestSupport.h"
#include "SkinTestSupport.h"

namespace {

using controltest::ListBoxRing;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, White = 0xFFFFFF;

TEST(GridSkin, BorderedGridsGetTheFlatFrameOthersNot)
{
    controltest::ListBoxes lists;
    const HWND bordered = lists.Make(L"ApexGridOleDB32", WS_BORDER);
    const HWND disabled = lists.Make(L"ApexGridOleDB32", WS_BORDER, 0, false);
    const HWND plain = lists.Make(L"ApexGridOleDB32", 0);
    EXPECT_EQ(ListBoxRing(bordered), Frame);
    EXPECT_EQ(ListBoxRing(disabled), FrameDisabled);
    // Without WS_BORDER the grid shows its own items up to the edge.
    EXPECT_EQ(WindowRgbAt(plain, 75, 49), White);
    EXPECT_NE(WindowRgbAt(plain, 0, 0), Frame);
}

} // namespace
