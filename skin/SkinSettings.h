// The skin's answers to changes of the desktop while the program runs: a new
// display scale for a top-level window (WM_DPICHANGED). Every attached
// window of that top-level window is measured and painted again.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

// Records the new DPI before the window's own procedure lays itself out (so
// whatever the skin paints meanwhile is measured at the new scale), passes
// the message on, then renews every attached descendant's look.
LRESULT OnDpiChanged(const SkinMessage& m);

// Renders again what the attached windows under root (root included) keep
// pre-rendered, and repaints them all, frames included.
void RenewSkinLook(HWND root);
