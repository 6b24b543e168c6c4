#include "ListSkin.h"

#include <cctype>
#include <string>

#include "ClientEdgeSkin.h"
#include "ControlPaint.h"
#include "SkinPrimitives.h"

namespace {

// The dropped-down list of a combo box, as opposed to the data-bound lists.
bool IsComboList(HWND hwnd)
{
    std::string name = WindowClassName(hwnd);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "combolbox";
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
