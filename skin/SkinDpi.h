// The display scale the skin paints a window at.
//
// A per-monitor DPI aware window learns of a new scale from WM_DPICHANGED,
// sent to its top-level window. The skin keeps the DPI that message named on
// that window ("SKINDPI") and measures every descendant with it: the
// system's answer for the window may still be the old one (Wine never moves
// a window to another scale by itself, so GetDpiForWindow keeps the DPI the
// window was created at).
#pragma once

#include <windows.h>

// The DPI hwnd is painted at: the one the last WM_DPICHANGED of its
// top-level window named, else the window's own (WindowDpi).
UINT SkinDpi(HWND hwnd);

// Records dpi as the scale of the top-level window root (0 is ignored).
void SetToldDpi(HWND root, UINT dpi);
// Drops the record, at detach.
void ForgetToldDpi(HWND root);
