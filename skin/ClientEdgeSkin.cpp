#include "ClientEdgeSkin.h"

#include "ControlPaint.h"
#include "ScopedWin.h"
#include "SkinPrimitives.h"

void PaintFlatClientEdge(HDC target, int windowWidth, int windowHeight, int edgeThickness,
                         COLORREF frameColour, COLORREF background)
{
    FrameRectColor(target, 0, 0, windowWidth, windowHeight, frameColour);
    // Ring k is the k-th pixel ring from the outside. All four sides move in
    // with k, so the right and bottom halves of the sunken edge (the light
    // bevel lines) are covered as well as the left and top ones.
    for (int k = 1; k <= edgeThickness; ++k) {
        const int width = windowWidth - 2 * k, height = windowHeight - 2 * k;
        if (width <= 0 || height <= 0) break;
        FrameRectColor(target, k, k, width, height, background);
    }
}

namespace {

// Takes the window's visible scroll bars out of dc's clipping region (window
// coordinates). The rings go one pixel further in than the sunken edge, and
// there a scroll bar has the outer line of its outline.
void ExcludeScrollBars(HWND hwnd, HDC dc)
{
    RECT window{};
    if (!GetWindowRect(hwnd, &window)) return;
    for (const LONG bar : {OBJID_VSCROLL, OBJID_HSCROLL}) {
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        if (!GetScrollBarInfo(hwnd, bar, &info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
            continue;
        ExcludeClipRect(dc, info.rcScrollBar.left - window.left, info.rcScrollBar.top - window.top,
                        info.rcScrollBar.right - window.left, info.rcScrollBar.bottom - window.top);
    }
}

} // namespace

LRESULT ClientEdgeOnNcPaint(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if ((GetWindowLongPtrW(m.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) return result;
    int bx = 0, by = 0;
    BorderThickness(m.hwnd, bx, by);
    const SIZE size = WindowSize(m.hwnd);
    // The rings take the colour the client area is erased with by default.
    COLORREF background = RGB(255, 255, 255);
    {
        const ScopedGetDC client(m.hwnd);
        if (client) background = GetBkColor(client.get());
    }
    const ScopedWindowDC dc(m.hwnd);
    ExcludeScrollBars(m.hwnd, dc.get());
    PaintFlatClientEdge(dc.get(), size.cx, size.cy, bx, FrameColorFor(m.hwnd), background);
    return result;
}
