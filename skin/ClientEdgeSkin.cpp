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
    PaintFlatClientEdge(dc.get(), size.cx, size.cy, bx, FrameColorFor(m.hwnd), background);
    return result;
}
