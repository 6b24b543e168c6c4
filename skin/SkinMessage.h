// How a message reaches the per-kind code of the skin engine.
//
// SkinWindowProc (SkinDispatch.cpp) is installed on every attached window.
// For each handled message it calls one dispatcher handler (OnPaint,
// OnMouseMove, ...), which looks up the window's SkinKind and calls the
// per-kind function below with a SkinMessage. A per-kind function owns the
// whole answer: it decides whether and when to call msg.CallPrevious() and
// returns the LRESULT that goes back to Windows. A kind without a function
// for a message gets msg.CallPrevious() from the dispatcher.
//
// Per-kind units and the functions the dispatcher calls (all take
// `const SkinMessage&` and return LRESULT):
//
//   push button (ButtonSkin.h):      ButtonSkinOnPaint, ButtonSkinOnSize,
//       ButtonSkinOnSetFocus, ButtonSkinOnKillFocus, ButtonSkinOnEnable,
//       ButtonSkinOnMouseMove, ButtonSkinOnMouseLeave, ButtonSkinOnLButtonDown,
//       ButtonSkinOnLButtonDblClk, ButtonSkinOnLButtonUp, ButtonSkinOnKeyDown,
//       ButtonSkinOnKeyUp, ButtonSkinOnTimer
//   combo box AND drive list (ComboSkin.h): ComboSkinOnPaint,
//       ComboSkinOnMouseMove, ComboSkinOnMouseLeave, ComboSkinOnLButtonDown,
//       ComboSkinOnLButtonUp, ComboSkinOnWindowPosChanging
//       (tell the two kinds apart with ClassKind(msg.hwnd))
//   check box AND option button (CheckSkin.h): CheckSkinOnPaint,
//       CheckSkinOnMouseMove, CheckSkinOnMouseLeave, CheckSkinOnLButtonDown,
//       CheckSkinOnLButtonUp, CheckSkinOnKeyDown, CheckSkinOnKeyUp,
//       CheckSkinOnSetFocus, CheckSkinOnKillFocus
//       and, for RefreshEnumProc:
//       int PaintCheckBox(HWND, SkinState, bool force),
//       int PaintOptionButton(HWND, SkinState, bool force)
//   header (HeaderSkin.h): HeaderSkinOnPaint, HeaderSkinOnMouseMove,
//       HeaderSkinOnMouseLeave, HeaderSkinOnLButtonDown,
//       HeaderSkinOnLButtonDblClk, HeaderSkinOnLButtonUp
//   progress bar (ProgressSkin.h): ProgressSkinOnPaint, ProgressSkinOnNcPaint
//   list (ListSkin.h): ListSkinOnPaint, ListSkinOnNcPaint
//       (ListSkinOnNcPaint passes "datalistwndclass"/"dblistwndclass" on and
//       gives "combolbox" the client-edge treatment)
//   grid (GridSkin.h): GridSkinOnPaint
//   sunken client edge (ClientEdgeSkin.h): ClientEdgeOnNcPaint, called on
//       WM_NCPAINT for every kind except progress bar and list
//
// The dispatcher does the attach-time and detach-time property set-up of
// every kind ("MOUSEFLAG", "OLDSTATE", "HDINDEX", "HMINDEX"); per-kind units
// only read and update them. WM_LBUTTONUP: after the kind's OnLButtonUp the
// dispatcher runs RefreshEnumProc over the siblings. WM_DESTROY, WM_ACTIVATE,
// WM_ENTERIDLE and WM_CTLCOLORLISTBOX never reach a per-kind unit.
#pragma once

#include <windows.h>

// One message as it reached SkinWindowProc, with the window procedure that
// was in place before the skin attached ("PROCADDR").
struct SkinMessage {
    WNDPROC previous = nullptr;
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    // Hands the message to the previous procedure. The skin subclasses with
    // the wide functions, so the message goes on as Unicode.
    LRESULT CallPrevious() const
    {
        return previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                        : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};
