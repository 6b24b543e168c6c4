// Progress bars under the skin: a real msctls_progress32 under the class
// name "ProgressBar20WndClass", its pixels read back after the skin painted.
#include "ProgressSkin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "ControlTestSupport.h"
#include "SkinPrimitives.h"
#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::WindowRgbAt;

constexpr std::uint32_t Frame = 0x54A5D5, Bar = 0x4CD6F6, White = 0xFFFFFF;

struct Bars {
    HWND form = nullptr;
    int nextX = 10, nextY = 10, rowHeight = 0;

    // A bordered bar (one-pixel frame) with a client area of clientWidth x
    // clientHeight, range 0..rangeMax, at position.
    HWND Make(DWORD style, int clientWidth, int clientHeight, int position, int rangeMax = 30000)
    {
        controltest::RegisterSuperclass(L"ProgressBar20WndClass", PROGRESS_CLASSW);
        if (!form) form = controltest::CreateForm();
        // Side by side in rows inside the form, so no bar covers another one's
        // pixels.
        if (nextX + clientWidth + 2 > 300) {
            nextX = 10;
            nextY += rowHeight + 4;
            rowHeight = 0;
        }
        HWND bar = skintest::CreateChild(form, L"ProgressBar20WndClass", L"", WS_BORDER | style,
                                         nextX, nextY, clientWidth + 2, clientHeight + 2);
        nextX += clientWidth + 6;
        rowHeight = std::max(rowHeight, clientHeight + 2);
        SendMessageW(bar, PBM_SETRANGE32, 0, rangeMax);
        SendMessageW(bar, PBM_SETPOS, position, 0);
        controltest::Skin(form);
        return bar;
    }
};

// Number of client columns (horizontal) or rows counted from the bottom
// (vertical) that show the bar colour; every other client pixel must be
// white, and the bar must be one solid block.
int FilledExtent(HWND bar, bool vertical, int clientWidth, int clientHeight)
{
    int filled = 0;
    const int length = vertical ? clientHeight : clientWidth;
    for (int i = 0; i < length; ++i) {
        const int x = 1 + (vertical ? clientWidth / 2 : i);
        const int y = 1 + (vertical ? clientHeight - 1 - i : clientHeight / 2);
        const std::uint32_t c = WindowRgbAt(bar, x, y);
        if (c == Bar) {
            EXPECT_EQ(filled, i) << "bar not contiguous at " << i;
            ++filled;
        } else {
            EXPECT_EQ(c, White) << "at " << i << ": " << Hex(c);
        }
    }
    return filled;
}

TEST(ProgressSkin, FractionUsesTheFixedDivisorAndRoundsHalvesToEven)
{
    EXPECT_FLOAT_EQ(ProgressFraction(15000), 0.5f);
    EXPECT_FLOAT_EQ(ProgressFraction(30000), 1.0f);
    // 6.5 -> 6 and 7.5 -> 8: neither truncation nor rounding half up.
    EXPECT_EQ(ProgressExtent(13, 0.5f), 6);
    EXPECT_EQ(ProgressExtent(15, 0.5f), 8);
    // Positions outside 0..30000 stay inside the bar.
    EXPECT_EQ(ProgressExtent(100, ProgressFraction(90000)), 100);
    EXPECT_EQ(ProgressExtent(100, ProgressFraction(-5000)), 0);
    EXPECT_EQ(ProgressExtent(0, 1.0f), 0);
}

// The client paint is the same with and without PBS_SMOOTH.
TEST(ProgressSkin, HorizontalBarAtEmptyHalfAndFull)
{
    Bars bars;
    for (DWORD smooth : {DWORD{0}, DWORD{PBS_SMOOTH}}) {
        const HWND empty = bars.Make(smooth, 60, 20, 0);
        const HWND half = bars.Make(smooth, 60, 20, 15000);
        const HWND full = bars.Make(smooth, 60, 20, 30000);
        EXPECT_EQ(FilledExtent(empty, false, 60, 20), 0);
        EXPECT_EQ(FilledExtent(half, false, 60, 20), 30);
        EXPECT_EQ(FilledExtent(full, false, 60, 20), 60);
        // The flat one-pixel frame replaces the control's own border.
        for (HWND bar : {empty, half, full}) {
            EXPECT_EQ(WindowRgbAt(bar, 0, 0), Frame);
            EXPECT_EQ(WindowRgbAt(bar, 61, 21), Frame);
            EXPECT_EQ(WindowRgbAt(bar, 30, 0), Frame);
            EXPECT_EQ(WindowRgbAt(bar, 61, 10), Frame);
        }
    }
}

TEST(ProgressSkin, VerticalBarFillsFromTheBottom)
{
    Bars bars;
    for (DWORD smooth : {DWORD{0}, DWORD{PBS_SMOOTH}}) {
        const HWND empty = bars.Make(PBS_VERTICAL | smooth, 16, 60, 0);
        const HWND half = bars.Make(PBS_VERTICAL | smooth, 16, 60, 15000);
        const HWND full = bars.Make(PBS_VERTICAL | smooth, 16, 60, 30000);
        EXPECT_EQ(FilledExtent(empty, true, 16, 60), 0);
        EXPECT_EQ(FilledExtent(half, true, 16, 60), 30);
        EXPECT_EQ(FilledExtent(full, true, 16, 60), 60);
        EXPECT_EQ(WindowRgbAt(half, 0, 30), Frame);
        EXPECT_EQ(WindowRgbAt(half, 17, 61), Frame);
    }
}

TEST(ProgressSkin, PositionBeyondTheDivisorIsFullAndOddExtentsRoundHalfToEven)
{
    Bars bars;
    // The control's own range is 0..60000; the skin still divides by 30000.
    const HWND over = bars.Make(0, 100, 20, 45000, 60000);
    const HWND quarter = bars.Make(0, 100, 20, 15000, 60000);
    const HWND odd13 = bars.Make(0, 13, 10, 15000);
    const HWND odd15 = bars.Make(0, 15, 10, 15000);
    EXPECT_EQ(FilledExtent(over, false, 100, 20), 100);
    EXPECT_EQ(FilledExtent(quarter, false, 100, 20), 50);
    EXPECT_EQ(FilledExtent(odd13, false, 13, 10), 6);
    EXPECT_EQ(FilledExtent(odd15, false, 15, 10), 8);
}

// Pixel of a window-sized memory DC after the frame paint alone.
struct FramePaint {
    ScopedBitmapDC dc;
    explicit FramePaint(HWND bar)
    {
        RECT r;
        GetWindowRect(bar, &r);
        dc = CreateMemoryDC(r.right - r.left, r.bottom - r.top);
        FillRectColor(dc.get(), 0, 0, r.right - r.left, r.bottom - r.top, RGB(1, 2, 3));
        PaintProgressFrame(bar, dc.get());
    }
    std::uint32_t At(int x, int y) const { return skintest::RgbAt(dc.get(), x, y); }
};

TEST(ProgressSkin, FramePaintDrawsAVerticalBarOnlyWhenSmooth)
{
    Bars bars;
    const HWND stepped = bars.Make(PBS_VERTICAL, 16, 60, 15000);
    const HWND smooth = bars.Make(PBS_VERTICAL | PBS_SMOOTH, 16, 60, 15000);
    const HWND horizontal = bars.Make(0, 100, 20, 15000);
    const FramePaint steppedFrame(stepped), smoothFrame(smooth), horizontalFrame(horizontal);
    // Whole window covered: frame outside, white or bar inside.
    for (const FramePaint* p : {&steppedFrame, &smoothFrame}) {
        EXPECT_EQ(p->At(0, 0), Frame);
        EXPECT_EQ(p->At(17, 61), Frame);
        EXPECT_EQ(p->At(8, 10), White); // top half of the client
    }
    EXPECT_EQ(steppedFrame.At(8, 50), White) << "no bar from the frame paint without PBS_SMOOTH";
    EXPECT_EQ(smoothFrame.At(8, 50), Bar);
    EXPECT_EQ(smoothFrame.At(8, 31), Bar);
    EXPECT_EQ(smoothFrame.At(8, 30), White);
    EXPECT_EQ(horizontalFrame.At(50, 10), Bar);
    EXPECT_EQ(horizontalFrame.At(51, 10), White);
}

TEST(ProgressSkin, ClientPaintFollowsTheControlsPosition)
{
    Bars bars;
    const HWND bar = bars.Make(0, 100, 20, 0);
    EXPECT_EQ(FilledExtent(bar, false, 100, 20), 0);
    SendMessageW(bar, PBM_SETPOS, 7500, 0);
    UpdateWindow(bar);
    skintest::PumpPending();
    EXPECT_EQ(FilledExtent(bar, false, 100, 20), 25);
}

} // namespace
