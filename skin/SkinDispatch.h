// The dispatcher behind SkinWindowProc: one handler per message it acts on.
// Each looks up the window's kind and calls that kind's handler from its row
// (SkinKindHandlers.h); a kind with no handler for the message gets the
// previous procedure. OnActivate is the dispatcher's own, for every kind.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

LRESULT OnSize(const SkinMessage& m);
LRESULT OnActivate(const SkinMessage& m);
LRESULT OnSetFocus(const SkinMessage& m);
LRESULT OnKillFocus(const SkinMessage& m);
LRESULT OnEnable(const SkinMessage& m);
LRESULT OnPaint(const SkinMessage& m);
LRESULT OnWindowPosChanging(const SkinMessage& m);
LRESULT OnNcPaint(const SkinMessage& m);
LRESULT OnKeyDown(const SkinMessage& m);
LRESULT OnKeyUp(const SkinMessage& m);
LRESULT OnTimer(const SkinMessage& m);
LRESULT OnCommand(const SkinMessage& m);
LRESULT OnMouseMove(const SkinMessage& m);
LRESULT OnLButtonDown(const SkinMessage& m);
LRESULT OnLButtonUp(const SkinMessage& m);
LRESULT OnLButtonDblClk(const SkinMessage& m);
LRESULT OnMouseLeave(const SkinMessage& m);

// SkinDetach for a window inside its WM_DESTROY: no repaint of a window
// that is going away (SkinEngine.cpp).
int SkinDetachDestroyed(HWND hwnd);
