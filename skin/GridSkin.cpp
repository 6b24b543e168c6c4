#include "GridSkin.h"

#include "ControlPaint.h"
#include "SkinPrimitives.h"

LRESULT GridSkinOnPaint(const SkinMessage& msg)
{
    const LRESULT result = msg.CallPrevious();
    if (GetWindowLongPtrW(msg.hwnd, GWL_STYLE) & WS_BORDER) {
        const SIZE size = WindowSize(msg.hwnd);
        WindowDC dc(msg.hwnd);
        FrameRectColor(dc.get(), 0, 0, size.cx, size.cy, FrameColorFor(msg.hwnd));
    }
    return result;
}
