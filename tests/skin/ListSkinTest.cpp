// Framed lists under the skin: real "ListBox" controls under the class
// names "DataListWndClass" and "DBListWndClass".
#include "ListSkin.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ControlTestSupport.h"
#include "SkinTestSupport.h"

namespace {

using controltest::ListBoxRing;

constexpr std::uint32_t Frame = 0x54A5D5, FrameDisabled = 0xA4CFE9, White = 0xFFFFFF;

TEST(ListSkin, DataListsGetTheFrameAndWhiteRingOverTheirOwnPaint)
{
    controltest::ListBoxes lists;
    const HWND data = lists.Make(L"DataListWndClass", WS_BORDER);
    const HWND db = lists.Make(L"DBListWndClass", WS_BORDER);
    const HWND disabled = lists.Make(L"DataListWndClass", WS_BORDER, 0, false);
    for (HWND list : {data, db}) {
        EXPECT_EQ(ListBoxRing(list), Frame);
        EXPECT_EQ(ListBoxRing(list, 1), White);
    }
    EXPECT_EQ(ListBoxRing(disabled), FrameDisabled);
    EXPECT_EQ(ListBoxRing(disabled, 1), White);
    // A repaint of the items brings the frame back at once.
    InvalidateRect(data, nullptr, TRUE);
    UpdateWindow(data);
    EXPECT_EQ(ListBoxRing(data), Frame);
}

} // namespace
