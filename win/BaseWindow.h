// The entry of a window procedure for a C++ object that owns one window
// (the pattern of LearnWin32's BaseWindow<T>).
//
// T derives from BaseWindow<T>, registers WindowProc as its class's
// lpfnWndProc, passes `this` as CreateWindowExW's lpParam, and declares
//     LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
// (befriending BaseWindow<T> when it is private). From WM_NCCREATE on, every
// message of the window reaches OnMessage of that object, with window_ set;
// OnMessage hands what it does not answer to DefWindowProcW(window_, ...).
// WM_NCDESTROY is the object's last message: afterwards the window no longer
// names the object and window_ is null, so a late message (or the object's
// destructor) finds no window. Messages sent before WM_NCCREATE go to
// DefWindowProcW; a WM_NCCREATE after the first is answered TRUE and goes no
// further. Nothing is thrown through the procedure: an exception out
// of OnMessage ends at CallbackBarrier.h's barrier, and the message gets its
// failure result (DefWindowProcW's answer for most).
#pragma once

#include <windows.h>

#include "CallbackBarrier.h"

template <typename T>
class BaseWindow {
public:
    HWND Window() const { return window_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept
    {
        T* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        // Only the window's own creation names its object: a WM_NCCREATE
        // sent later, by anyone, is answered and changes nothing (its
        // CREATESTRUCT may not even be readable).
        if (message == WM_NCCREATE && self) return TRUE;
        if (message == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (self) {
                static_cast<BaseWindow*>(self)->window_ = window;
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        }
        const auto defaultProcessing = [&] {
            return DefWindowProcW(window, message, wParam, lParam);
        };
        if (!self) return defaultProcessing();
        const LRESULT result = WindowProcBarrier(
            window, message, [&] { return self->OnMessage(message, wParam, lParam); },
            defaultProcessing);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            static_cast<BaseWindow*>(self)->window_ = nullptr;
        }
        return result;
    }

    // The window this object owns, from WM_NCCREATE to WM_NCDESTROY.
    HWND window_ = nullptr;
};
