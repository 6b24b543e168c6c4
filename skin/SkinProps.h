// Per-window state of the skin engine, kept in window properties.
//
// Names are ANSI strings (SetPropA); values are pointer-sized integers, so a
// handle (a face DC, a window procedure) fits on x64 as well as a small
// number or -1. A property that is absent reads as 0.
//
// Names in use:
//   "PROCADDR"   every attached window: the window procedure in place before
//                attaching, a mirror for whoever looks; the engine keeps the
//                procedure, and whether a window is attached, in its own
//                record (SkinWindowTable.h) and never reads them back here
//   "OLDSTYLE"   push button: GWL_STYLE read at attach time
//   "MOUSEFLAG"  push button, combo box, drive list, check box, option
//                button, header: 1 while leave tracking is armed
//   "TIMERID"    push button: id of the running fade timer, 0 when none
//   "OLDSTATE"   push button, combo box, drive list, check box, option
//                button: the SkinState last drawn
//   "ALPHALEVEL" push button: constant alpha 0..255 of the next face blend
//   "0HDC".."3HDC", "0BMP".."3BMP"  push button: face DC per SkinState and
//                the bitmap selected into it, mirrors of ButtonFaces.h
//   "HDINDEX", "HMINDEX"  header: item drawn pressed / hot, -1 for none
#pragma once

#include <windows.h>

#include <cstdint>

#include "SkinTypes.h"

namespace SkinProp {
inline constexpr char ProcAddr[] = "PROCADDR";
inline constexpr char OldStyle[] = "OLDSTYLE";
inline constexpr char MouseFlag[] = "MOUSEFLAG";
inline constexpr char TimerId[] = "TIMERID";
inline constexpr char OldState[] = "OLDSTATE";
inline constexpr char AlphaLevel[] = "ALPHALEVEL";
inline constexpr char HdIndex[] = "HDINDEX";
inline constexpr char HmIndex[] = "HMINDEX";
} // namespace SkinProp

// The value of a property, 0 when absent.
std::intptr_t GetSkinProp(HWND hwnd, const char* name);
// Sets (or overwrites) a property. Returns false when Windows refused.
bool SetSkinProp(HWND hwnd, const char* name, std::intptr_t value);
// Removes a property; nothing happens when it is absent.
void RemoveSkinProp(HWND hwnd, const char* name);
// Whether the property is present with a nonzero value (Windows does not
// tell a property set to 0 from an absent one).
bool HasSkinProp(HWND hwnd, const char* name);

// "OLDSTATE" as a SkinState (absent reads Normal).
SkinState GetSkinState(HWND hwnd);
void SetSkinState(HWND hwnd, SkinState state);

// The push-button face property names "<n>HDC" and "<n>BMP" for the state
// digit n (0..3), built at run time from the digit.
struct FacePropNames {
    char dc[5];
    char bitmap[5];
};
FacePropNames FacePropNamesFor(SkinState state);
