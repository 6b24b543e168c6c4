#include "ProgressSkin.h"

#include <commctrl.h>

#include <algorithm>

#include "ControlPaint.h"
#include "ScopedWin.h"
#include "SkinPalette.h"
#include "SkinPrimitives.h"
#include "SkinTypes.h"

namespace {

constexpr float FullPosition = 30000.0f;

float CurrentFraction(HWND hwnd)
{
    return ProgressFraction(static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0)));
}

bool IsVertical(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & PBS_VERTICAL) != 0; }
// White body, ProgressColor bar and FrameColor frame, or in high contrast
// the window colour, the highlight and the window text colour.
COLORREF Body() { return SkinColour(SkinRole::Field); }
COLORREF Bar() { return SkinColour(SkinRole::Active); }

bool IsSmooth(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & PBS_SMOOTH) != 0; }

} // namespace

float ProgressFraction(int position) { return static_cast<float>(position) / FullPosition; }

int ProgressExtent(int length, float fraction)
{
    if (length <= 0) return 0;
    return std::clamp(RoundHalfEven(static_cast<float>(length) * fraction), 0, length);
}

void PaintProgressClient(HWND hwnd, HDC target)
{
    if (!IsWindow(hwnd)) return;
    const SIZE client = ClientSize(hwnd);
    if (client.cx <= 0 || client.cy <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(client.cx, client.cy);
    if (!tmp) return;
    const float f = CurrentFraction(hwnd);
    FillRectColor(tmp.get(), 0, 0, client.cx, client.cy, Body());
    if (IsVertical(hwnd)) {
        const int filled = ProgressExtent(client.cy, f);
        FillRectColor(tmp.get(), 0, client.cy - filled, client.cx, filled, Bar());
    } else {
        FillRectColor(tmp.get(), 0, 0, ProgressExtent(client.cx, f), client.cy, Bar());
    }
    BitBlt(target, 0, 0, client.cx, client.cy, tmp.get(), 0, 0, SRCCOPY);
}

void PaintProgressFrame(HWND hwnd, HDC target)
{
    if (!IsWindow(hwnd)) return;
    int bx = 0, by = 0;
    BorderThickness(hwnd, bx, by);
    const SIZE window = WindowSize(hwnd);
    const SIZE client = ClientSize(hwnd);
    if (window.cx <= 0 || window.cy <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(window.cx, window.cy);
    if (!tmp) return;
    const float f = CurrentFraction(hwnd);

    // 1. One-pixel frame around a white body.
    FillRectColor(tmp.get(), 0, 0, window.cx, window.cy, SkinColour(SkinRole::Frame));
    FillRectColor(tmp.get(), 1, 1, window.cx - 2, window.cy - 2, Body());
    // 2. The bar under the client area; WM_PAINT covers it right after, so a
    //    vertical bar that is not smooth leaves it to WM_PAINT.
    if (f > 0.0f) {
        const int filledHeight = ProgressExtent(client.cy, f);
        if (IsVertical(hwnd)) {
            if (IsSmooth(hwnd))
                FillRectColor(tmp.get(), bx, by, client.cx, client.cy, Bar());
            FillRectColor(tmp.get(), bx, by, client.cx, client.cy - filledHeight, Body());
        } else {
            FillRectColor(tmp.get(), bx, by, ProgressExtent(client.cx, f), client.cy,
                          Bar());
        }
    }
    BitBlt(target, 0, 0, window.cx, window.cy, tmp.get(), 0, 0, SRCCOPY);
}

namespace {

LRESULT OnPaint(const SkinMessage& m)
{
    const ScopedPaint dc(m.hwnd);
    PaintProgressClient(m.hwnd, dc.get());
    return 0;
}

LRESULT OnNcPaint(const SkinMessage& m)
{
    const ScopedWindowDC dc(m.hwnd);
    PaintProgressFrame(m.hwnd, dc.get());
    return 0;
}

} // namespace

const SkinKindHandlers ProgressSkinHandlers{
    .onPaint = OnPaint,
    .onNcPaint = OnNcPaint,
};
