#include "ControlPaint.h"

#include "SkinPalette.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"

SIZE WindowSize(HWND hwnd)
{
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return SIZE{0, 0};
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND hwnd)
{
    RECT r{};
    if (!GetClientRect(hwnd, &r)) return SIZE{0, 0};
    return SIZE{r.right - r.left, r.bottom - r.top};
}

COLORREF FrameColorFor(HWND hwnd)
{
    return SkinColour(IsWindowEnabled(hwnd) ? SkinRole::Frame : SkinRole::FrameDisabled);
}

void PaintFrameAndRing(HDC dc, int width, int height, COLORREF frameColour)
{
    FrameRectColor(dc, 0, 0, width, height, frameColour);
    FrameRectColor(dc, 1, 1, width - 2, height - 2, SkinColour(SkinRole::Field));
}

void AttachHoverState(HWND hwnd)
{
    SetSkinProp(hwnd, SkinProp::MouseFlag, 0);
    SetSkinState(hwnd, SkinState::Normal);
}

void DetachHoverState(HWND hwnd)
{
    RemoveSkinProp(hwnd, SkinProp::MouseFlag);
    RemoveSkinProp(hwnd, SkinProp::OldState);
}

void ArmLeaveTracking(HWND hwnd)
{
    if (GetSkinProp(hwnd, SkinProp::MouseFlag) != 0) return;
    SetSkinProp(hwnd, SkinProp::MouseFlag, 1);
    TrackMouseLeave(hwnd);
}

POINT MessagePoint(LPARAM lParam) { return POINT{LoWordSigned(lParam), HiWordSigned(lParam)}; }

bool CursorIsOver(HWND hwnd)
{
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return false;
    return WindowFromPoint(cursor) == hwnd;
}
