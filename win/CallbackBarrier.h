// The one exception barrier of every function that Windows calls back:
// window procedures, subclass procedures, enumeration callbacks. An
// exception must never unwind through the system's frames (on Windows that
// is undefined, and in practice ends the process), so each callback enters
// its C++ code through here and gives Windows a failure result instead: the
// message is handled as if the program had no business with it, and the
// window keeps running.
#pragma once

#include <windows.h>

#include <type_traits>

// body's result, or, when body throws, fallback's. Should fallback throw as
// well, a value-initialised result (0, FALSE, null) goes back.
template <typename Body, typename Fallback>
auto CallbackBarrier(Body&& body, Fallback&& fallback) noexcept -> std::invoke_result_t<Body&>
{
    try {
        return body();
    } catch (...) {
    }
    try {
        return fallback();
    } catch (...) {
    }
    return {};
}

// What a window procedure answers for a message whose handling failed:
//  - WM_NCCREATE FALSE and WM_CREATE -1, so that a window that could not be
//    set up is not created;
//  - WM_PAINT 0 with the window validated: the window stays unpainted rather
//    than being sent WM_PAINT again at once, and paints at its next
//    invalidation;
//  - any other message the default processing, defaultProcessing().
template <typename DefaultProcessing>
LRESULT FailedMessageResult(HWND window, UINT message, DefaultProcessing&& defaultProcessing)
{
    switch (message) {
    case WM_NCCREATE:
        return FALSE;
    case WM_CREATE:
        return -1;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    default:
        return defaultProcessing();
    }
}

// The barrier of a window procedure: handle() answers the message; when it
// throws, the answer is FailedMessageResult with defaultProcessing.
template <typename Handle, typename DefaultProcessing>
LRESULT WindowProcBarrier(HWND window, UINT message, Handle&& handle,
                          DefaultProcessing&& defaultProcessing) noexcept
{
    return CallbackBarrier(handle,
                           [&] { return FailedMessageResult(window, message, defaultProcessing); });
}

// The barrier of an enumeration callback: an exception while handling one
// window goes no further, and the enumeration continues with the next.
template <typename Body>
BOOL EnumProcBarrier(Body&& body) noexcept
{
    return CallbackBarrier(body, [] { return TRUE; });
}
