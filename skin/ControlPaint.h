// Small helpers shared by the control painters (drop-down lists, check and
// option boxes, headers, progress bars, lists, grids, client edges).
#pragma once

#include <windows.h>

#include <cmath>
#include <utility>

#include "SkinTypes.h"

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4): the
// rounding every control geometry and progress extent of the skin uses.
// Relies on the default floating-point rounding mode, round-to-nearest-even.
inline int RoundHalfEven(double value) { return static_cast<int>(std::lrint(value)); }

// The window DC (GetWindowDC: origin at the window's top-left corner, frame
// included), released on destruction. Move-only. ScopedWin.h covers GetDC;
// the skin draws frames and glyphs in window coordinates, hence this one.
class WindowDC {
public:
    // A null window gives no DC (GetWindowDC would answer the whole screen).
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(hwnd ? GetWindowDC(hwnd) : nullptr) {}
    ~WindowDC()
    {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept : hwnd_(other.hwnd_), dc_(std::exchange(other.dc_, nullptr))
    {}
    WindowDC& operator=(WindowDC&&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The window size (GetWindowRect), 0 x 0 for an invalid handle.
SIZE WindowSize(HWND hwnd);
// The client size (GetClientRect), 0 x 0 for an invalid handle.
SIZE ClientSize(HWND hwnd);

// FrameColor for an enabled window, FrameColorDisabled for a disabled one.
COLORREF FrameColorFor(HWND hwnd);

// The flat look of combo boxes, drive lists and lists: a one-pixel frame in
// frameColour around the width x height window and a white ring inside it.
void PaintFrameAndRing(HDC dc, int width, int height, COLORREF frameColour);

// Arms leave tracking once per visit: when "MOUSEFLAG" is 0 it becomes 1 and
// the window asks for one WM_MOUSELEAVE. The leave handler clears the flag.
void ArmLeaveTracking(HWND hwnd);

// The mouse-message point as client coordinates (sign-extended).
POINT MessagePoint(LPARAM lParam);

// Whether the window under the cursor is hwnd itself (not a child of it).
bool CursorIsOver(HWND hwnd);
