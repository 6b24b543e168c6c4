// The skin's answers to changes of the desktop while the program runs: a new
// display scale for a top-level window (WM_DPICHANGED), a high-contrast theme
// turned on or off or other system colours (WM_SETTINGCHANGE,
// WM_SYSCOLORCHANGE, which reach every top-level window). Every attached
// window of that top-level window is measured and painted again.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

// Records the new DPI before the window's own procedure lays itself out (so
// whatever the skin paints meanwhile is measured at the new scale), passes
// the message on, then renews every attached descendant's look.
LRESULT OnDpiChanged(const SkinMessage& m);

// Passes the message on, then renews every attached descendant's look: the
// colours may now be the system's (or the skin's own again).
LRESULT OnSystemColoursChanged(const SkinMessage& m);

// Renders again what the attached windows under root (root included) keep
// pre-rendered, and repaints them all, frames included.
void RenewSkinLook(HWND root);
