// What the skin does for one kind of control: one row of handlers per
// SkinKind, defined in the kind's own unit (ButtonSkin.cpp, ComboSkin.cpp,
// ...) and looked up by the dispatcher, SkinAttach and SkinDetach.
//
// A handler owns the whole answer to its message: it decides whether and
// when to call m.CallPrevious() and returns the LRESULT that goes back to
// Windows. A null handler means the kind has no business with the message:
// the dispatcher hands it to the previous procedure. WM_DESTROY, WM_ACTIVATE,
// WM_ENTERIDLE and WM_CTLCOLORLISTBOX are the dispatcher's own and reach no
// row; after any kind's WM_LBUTTONUP the dispatcher calls every sibling's
// refresh, and after a top-level window's WM_DPICHANGED, WM_SETTINGCHANGE or
// WM_SYSCOLORCHANGE every attached window's renew (SkinSettings.h).
//
// Adding a kind, for instance track bars ("msctls_trackbar32"):
//   1. SkinKind::TrackBar (before Other) and its class names in ClassTable
//      (SkinTypes.h, SkinTypes.cpp);
//   2. a unit TrackBarSkin.h/.cpp: its painters, its handlers (private to the
//      unit) and `extern const SkinKindHandlers TrackBarSkinHandlers`;
//   3. the line {SkinKind::TrackBar, &TrackBarSkinHandlers} in Rows
//      (SkinKindHandlers.cpp), where a missing or misplaced line does not
//      compile;
//   4. the unit in skin/CMakeLists.txt, its test tests/skin/TrackBarSkinTest.cpp
//      in tests/skin/CMakeLists.txt.
// SkinEngine.cpp, SkinDispatch.cpp and the other kinds' units stay as they are.
#pragma once

#include <windows.h>

#include "ClientEdgeSkin.h"
#include "SkinMessage.h"
#include "SkinTypes.h"

using SkinHandler = LRESULT (*)(const SkinMessage& m);

struct SkinKindHandlers {
    // A container attaches (and detaches) all its descendants with itself.
    bool attachesChildren = false;
    // The kind's window properties and look: set up before the window is
    // subclassed, undone before the previous procedure is put back.
    void (*attach)(HWND hwnd) = nullptr;
    void (*detach)(HWND hwnd) = nullptr;
    // Called for every attached sibling after a click, so that a group of
    // option buttons shows its new check states.
    void (*refresh)(HWND hwnd) = nullptr;
    // Called for every attached window after its top-level window changed
    // display scale or the system colours changed: renders again what the
    // kind keeps pre-rendered.
    void (*renew)(HWND hwnd) = nullptr;

    // One handler per message the dispatcher routes by kind (SkinDispatch.h).
    SkinHandler onSize = nullptr;
    SkinHandler onSetFocus = nullptr;
    SkinHandler onKillFocus = nullptr;
    SkinHandler onEnable = nullptr;
    SkinHandler onPaint = nullptr;
    SkinHandler onWindowPosChanging = nullptr;
    // Every kind flattens a sunken client edge unless it paints its frame
    // itself.
    SkinHandler onNcPaint = ClientEdgeOnNcPaint;
    SkinHandler onKeyDown = nullptr;
    SkinHandler onKeyUp = nullptr;
    SkinHandler onTimer = nullptr;
    SkinHandler onCommand = nullptr;
    SkinHandler onMouseMove = nullptr;
    SkinHandler onLButtonDown = nullptr;
    SkinHandler onLButtonUp = nullptr;
    SkinHandler onLButtonDblClk = nullptr;
    SkinHandler onMouseLeave = nullptr;
};

// The row of a kind; every SkinKind has one (Other: the client edge only).
const SkinKindHandlers& KindHandlers(SkinKind kind);
