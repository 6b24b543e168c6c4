// Sizes at a window's DPI. Every design size of the program is in pixels at
// 96 dots per inch; a per-monitor DPI aware window scales them to the DPI of
// its monitor. The entry points that answer per DPI (Windows 10 1607 and
// later) are looked up at run time, so that the program still starts on
// Windows 7 and 8, where the answers are those of the system DPI.
#pragma once

#include <windows.h>

// The resolution all design values are given at.
constexpr UINT DesignDpi = 96;

// The DPI a window is shown at: GetDpiForWindow where user32 has it, else the
// system's (LOGPIXELSX of the screen).
UINT WindowDpi(HWND window);

// A design value at 96 DPI in pixels at dpi, rounded to the nearest pixel
// (halves away from zero): 329 at 120 DPI is 411.
int ScaleToDpi(int designValue, UINT dpi);

// A system metric (SM_CXVSCROLL, SM_CXMENUCHECK, ...) at dpi:
// GetSystemMetricsForDpi where user32 has it, else GetSystemMetrics, which
// answers at the system DPI.
int SystemMetricForDpi(int index, UINT dpi);

// AdjustWindowRectEx at dpi (AdjustWindowRectExForDpi where user32 has it):
// the window rectangle around a client rectangle. False on failure.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
