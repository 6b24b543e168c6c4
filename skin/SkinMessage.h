// One message on its way through the skin engine: SkinWindowProc
// (SkinDispatch.cpp) wraps it, the dispatcher's OnXxx handler looks up the
// window's row of handlers (SkinKindHandlers.h) and passes it on.
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
