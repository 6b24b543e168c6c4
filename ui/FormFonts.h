// The main window's fonts: Tahoma at the design's point sizes, made for the
// DPI the window is laid out at.
#pragma once

#include <windows.h>

#include "ScopedWin.h"

// Tahoma at points, regular or bold, at dpi (the character height rounded to
// the nearest pixel). The caller owns the font; null on failure.
HFONT MakeTahoma(double points, bool bold, bool underline, UINT dpi);

// The window's own font, for every control without one of its own, and
// Label1's. The link label makes its own (LinkLabel).
struct FormFonts {
    ScopedFont form;
    ScopedFont label1;
};
FormFonts MakeFormFonts(UINT dpi);
