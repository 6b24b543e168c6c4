// The engine's own record of every window it attaches, in the process's
// memory: the window procedure to pass messages on to, and the state that
// owns GDI objects. Window properties ("PROCADDR", "0HDC", ...) mirror some
// of it, but any program on the desktop can write a window's properties, so
// nothing the engine calls or frees is ever read back from one.
// UI thread only.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "ButtonFaces.h"

struct SkinWindow {
    // The procedure in place before attaching; null until the window is
    // subclassed.
    WNDPROC previous = nullptr;
    // Push buttons only.
    ButtonFaces faces;
    // Top-level windows: the DPI the last WM_DPICHANGED named, 0 when none.
    UINT toldDpi = 0;
};

class SkinWindowTable {
public:
    // The record of hwnd, or null when the engine has none.
    SkinWindow* Find(HWND hwnd);
    // Whether hwnd is subclassed by the engine: a record with its previous
    // procedure (a record without one is still being set up).
    bool IsAttached(HWND hwnd);
    // A new, empty record for hwnd (or its existing one). May throw
    // std::bad_alloc; then nothing changed.
    SkinWindow& Add(HWND hwnd);
    // Drops the record of hwnd, deleting what it owns.
    void Remove(HWND hwnd);

private:
    // Node-based: a record stays where it is while others come and go (only
    // removing it invalidates it), so a handler may attach other windows
    // while it holds its own.
    std::unordered_map<HWND, SkinWindow> windows_;
};

// The one table of the process.
SkinWindowTable& SkinWindows();
