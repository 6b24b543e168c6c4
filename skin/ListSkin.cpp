#include "ListSkin.h"

#include "ClientEdgeSkin.h"
#include "ControlPaint.h"
#include "SkinPrimitives.h"

namespace {

// The dropped-down list of a combo box, as opposed to the data-bound lists.
bool IsComboList(HWND hwnd)
{
    // On the stack: this runs for every frame paint of a list. A longer name
    // comes back cut short, and then cannot match either.
    char name[16] = "";
    if (GetClassNameA(hwnd, name, static_cast<int>(sizeof name)) <= 0) return false;
    return lstrcmpiA(name, "combolbox") == 0;
}

LRESULT OnPaint(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    const SIZE size = WindowSize(m.hwnd);
    const ScopedWindowDC dc(m.hwnd);
    PaintFrameAndRing(dc.get(), size.cx, size.cy, FrameColorFor(m.hwnd));
    return result;
}

// The data-bound lists keep their own frame paint; a dropped-down combo list
// gets the flat client edge like any other window.
LRESULT OnNcPaint(const SkinMessage& m)
{
    return IsComboList(m.hwnd) ? ClientEdgeOnNcPaint(m) : m.CallPrevious();
}

} // namespace

const SkinKindHandlers ListSkinHandlers{
    .onPaint = OnPaint,
    .onNcPaint = OnNcPaint,
};
