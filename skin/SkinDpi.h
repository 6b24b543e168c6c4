// The display scale the skin paints a window at.
//
// A per-monitor DPI aware window learns of a new scale from WM_DPICHANGED,
// sent to its top-level window. The skin keeps the DPI that message named in
// its record of that window and measures every descendant with it: the
// system's answer for the window may still be the old one (Wine never moves
// a window to another scale by itself, so GetDpiForWindow keeps the DPI the
// window was created at).
#pragma once

#include <windows.h>

// The DPI hwnd is painted at: the one the last WM_DPICHANGED of its
// top-level window named, else the window's own (WindowDpi).
UINT SkinDpi(HWND hwnd);

// Records dpi as the scale of the attached top-level window root. A DPI
// outside the scales Windows offers (100 % to 500 %) is ignored: the message
// can come from any program on the desktop.
void SetToldDpi(HWND root, UINT dpi);
