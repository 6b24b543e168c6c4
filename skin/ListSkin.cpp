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

} // namespace

LRESULT ListSkinOnPaint(const SkinMessage& msg)
{
    const LRESULT result = msg.CallPrevious();
    const SIZE size = WindowSize(msg.hwnd);
    WindowDC dc(msg.hwnd);
    PaintFrameAndRing(dc.get(), size.cx, size.cy, FrameColorFor(msg.hwnd));
    return result;
}

LRESULT ListSkinOnNcPaint(const SkinMessage& msg)
{
    return IsComboList(msg.hwnd) ? ClientEdgeOnNcPaint(msg) : msg.CallPrevious();
}
