// Drawing primitives and small window utilities shared by every control
// painter of the skin engine. Painters take the target DC as a parameter.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "ScopedWin.h"
#include "SkinTypes.h"

// A memory DC compatible with the display holding a width x height bitmap
// compatible with the display (contents undefined). Empty (false) when the
// display DC, the memory DC or the bitmap cannot be created; nothing is left
// allocated then.
ScopedBitmapDC CreateMemoryDC(int width, int height);

// One nine-grid copy: the source rectangle is cut by the four borders into
// corners (copied unscaled), edges (stretched along their length) and the
// centre (stretched both ways).
struct NineGridCopy {
    HDC dest = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HDC source = nullptr;
    int sourceX = 0;
    int sourceY = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    // When set, source pixels of this colour leave the destination unchanged.
    std::optional<COLORREF> key;
};

// The copy of the source rectangle (sourceX, sourceY, sourceWidth x
// sourceHeight of source) onto dest's width x height rectangle at (x, y),
// with border pixels kept unstretched on every side; callers set other
// borders or a key colour on the result.
NineGridCopy NineGridOf(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                        int sourceY, int sourceWidth, int sourceHeight, int border);

// Draws the nine-grid copy. Returns nonzero when it drew; 0 without drawing
// for a zero (or negative) destination or source size.
BOOL StretchNineGrid(const NineGridCopy& copy);

// Copies the width x height source rectangle to (x, y), leaving out every
// pixel whose colour equals key (an OLE colour, translated through palette;
// a halftone palette is made for the call when palette is null). Classic
// mask method; every intermediate object is released before returning.
BOOL TransparentBlit(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                     int sourceY, COLORREF key, HPALETTE palette = nullptr);

// FillRect / FrameRect of (x, y, x + width, y + height) with a solid brush of
// colour; the result of FillRect / FrameRect.
int FillRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour);
int FrameRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour);
// DrawFocusRect of the same rectangle.
BOOL DrawFocusBox(HDC dc, int x, int y, int width, int height);

// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, the format every
// caller passes.
constexpr UINT CaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
// DrawTextW of the whole text into the rectangle; returns the text height.
// Wide throughout, so captions outside the ANSI code page draw correctly.
int DrawTextInRect(HDC dc, std::wstring_view text, int x, int y, int width, int height,
                   UINT format);

// GetWindowRect into bounds (screen coordinates, frame included) with the
// size filled in; returns GetWindowRect's result.
BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds);

// Half the difference between window and client size in each direction,
// vertical scroll bar taken off when WS_VSCROLL is set, rounded half to
// even. Returns 1.
int BorderThickness(HWND hwnd, int& x, int& y);

// The class name in the letter case Windows reports (GetClassNameA, 255
// characters at most); empty when the call fails.
std::string WindowClassName(HWND hwnd);
// The window text (GetWindowTextW); empty for a null handle.
std::wstring WindowCaption(HWND hwnd);

// Client x and y of a mouse message, sign-extended: a position left of or
// above the window is negative.
short LoWordSigned(LPARAM lParam);
short HiWordSigned(LPARAM lParam);

// Fade timer of a push button: timer id 1 every 15 ms, its id kept in
// "TIMERID". StartFadeTimer returns the new id, or 0 without touching the
// running timer when one runs already.
constexpr UINT_PTR FadeTimerId = 1;
constexpr UINT FadeTimerInterval = 15;
UINT_PTR StartFadeTimer(HWND hwnd);
// Kills the running fade timer, if any, and clears "TIMERID".
void StopFadeTimer(HWND hwnd);

// Asks for one WM_MOUSELEAVE when the mouse leaves hwnd: user32's
// TrackMouseEvent when it exists, else comctl32's _TrackMouseEvent.
BOOL TrackMouseLeave(HWND hwnd);
// Chooses the entry point TrackMouseLeave uses (set by SkinStart).
void UseUserTrackMouseEvent(bool useUser32);

// Whether library (a system DLL) exports entry. A library not yet loaded is
// loaded from the system folder for the check and released again; false
// when it cannot be loaded.
bool ApiExists(const char* entry, const char* library);
