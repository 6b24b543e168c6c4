// One message on its way through the skin engine: SkinWindowProc
// (SkinDispatch.cpp) wraps it, the dispatcher's OnXxx handler looks up the
// window's row of handlers (SkinKindHandlers.h) and passes it on.
#pragma once

#include <windows.h>

// One message as it reached SkinWindowProc, with the window procedure that
// was in place before the skin attached (kept by the engine, SkinEngine.cpp).
struct SkinMessage {
    SkinMessage(WNDPROC previousProc, HWND window, UINT message, WPARAM w, LPARAM l)
        : previous(previousProc), hwnd(window), msg(message), wParam(w), lParam(l)
    {}

    WNDPROC previous = nullptr;
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    // Hands the message to the previous procedure. The skin subclasses with
    // the wide functions, so the message goes on as Unicode.
    LRESULT CallPrevious() const
    {
        previousResult_ = previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                                   : DefWindowProcW(hwnd, msg, wParam, lParam);
        passedOn_ = true;
        return previousResult_;
    }

    // The answer for a message whose skin handling failed: what the previous
    // procedure answered when it has had the message, else its answer now,
    // so that the control handles it exactly once.
    LRESULT PassedOnResult() const { return passedOn_ ? previousResult_ : CallPrevious(); }

private:
    mutable bool passedOn_ = false;
    mutable LRESULT previousResult_ = 0;
};
