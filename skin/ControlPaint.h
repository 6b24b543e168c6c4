// Small helpers shared by the control painters (drop-down lists, check and
// option boxes, headers, progress bars, lists, grids, client edges).
#pragma once

#include <windows.h>

#include <cmath>

#include "ScopedWin.h"
#include "SkinTypes.h"

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4): the
// rounding every control geometry and progress extent of the skin uses.
// Relies on the default floating-point rounding mode, round-to-nearest-even.
inline int RoundHalfEven(double value) { return static_cast<int>(std::lrint(value)); }

// The painters' convention: a painter draws on the DC it is given, in window
// coordinates (origin at the window's top-left corner, frame included), so
// WM_PAINT, WM_PRINT and the tests can hand it any DC. A null target means
// "the window's own DC now": ScopedWindowDC, taken for the call and given
// back. draw(HDC) runs once, and not at all when no DC can be had.
template <typename Draw>
void DrawOnTargetOrWindow(HWND hwnd, HDC target, Draw draw)
{
    if (target) {
        draw(target);
        return;
    }
    const ScopedWindowDC window(hwnd);
    if (window) draw(window.get());
}

// The window size (GetWindowRect), 0 x 0 for an invalid handle.
SIZE WindowSize(HWND hwnd);
// The client size (GetClientRect), 0 x 0 for an invalid handle.
SIZE ClientSize(HWND hwnd);

// FrameColor for an enabled window, FrameColorDisabled for a disabled one
// (COLOR_WINDOWTEXT and COLOR_GRAYTEXT in high contrast).
COLORREF FrameColorFor(HWND hwnd);

// The flat look of combo boxes, drive lists and lists: a one-pixel frame in
// frameColour around the width x height window and a white ring inside it
// (COLOR_WINDOW in high contrast).
void PaintFrameAndRing(HDC dc, int width, int height, COLORREF frameColour);

// The attach-time state of the kinds that track the mouse and remember the
// state they drew (combo boxes, drive lists, check boxes, option buttons):
// "MOUSEFLAG" 0 and "OLDSTATE" Normal; the detach removes both.
void AttachHoverState(HWND hwnd);
void DetachHoverState(HWND hwnd);

// Arms leave tracking once per visit: when "MOUSEFLAG" is 0 it becomes 1 and
// the window asks for one WM_MOUSELEAVE. The leave handler clears the flag.
void ArmLeaveTracking(HWND hwnd);

// The mouse-message point as client coordinates (sign-extended).
POINT MessagePoint(LPARAM lParam);

// Whether the window under the cursor is hwnd itself (not a child of it).
bool CursorIsOver(HWND hwnd);
