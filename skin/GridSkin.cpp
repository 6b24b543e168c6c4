#include "GridSkin.h"

#include "ControlPaint.h"
#include "SkinPrimitives.h"

namespace {

LRESULT OnPaint(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (GetWindowLongPtrW(m.hwnd, GWL_STYLE) & WS_BORDER) {
        const SIZE size = WindowSize(m.hwnd);
        const ScopedWindowDC dc(m.hwnd);
        FrameRectColor(dc.get(), 0, 0, size.cx, size.cy, FrameColorFor(m.hwnd));
    }
    return result;
}

} // namespace

const SkinKindHandlers GridSkinHandlers{
    .onPaint = OnPaint,
};
