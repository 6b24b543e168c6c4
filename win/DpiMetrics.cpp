#include "DpiMetrics.h"

#include "ScopedWin.h"
#include "SystemLibrary.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// user32's per-DPI entry points, or null where this Windows lacks them.
// user32 stays loaded for the life of every GUI process, so the pointers
// stay valid.
struct PerDpiEntryPoints {
    GetDpiForWindowFn getDpiForWindow = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
};

const PerDpiEntryPoints& EntryPoints()
{
    static const PerDpiEntryPoints entryPoints = [] {
        PerDpiEntryPoints found;
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            found.getDpiForWindow = EntryPoint<GetDpiForWindowFn>(user32, "GetDpiForWindow");
            found.getSystemMetricsForDpi =
                EntryPoint<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
            found.adjustWindowRectExForDpi =
                EntryPoint<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
        }
        return found;
    }();
    return entryPoints;
}

UINT SystemDpi()
{
    const ScopedGetDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : DesignDpi;
}

} // namespace

UINT WindowDpi(HWND window)
{
    if (EntryPoints().getDpiForWindow && window) {
        const UINT dpi = EntryPoints().getDpiForWindow(window);
        if (dpi) return dpi;
    }
    return SystemDpi();
}

int ScaleToDpi(int designValue, UINT dpi)
{
    return MulDiv(designValue, static_cast<int>(dpi), static_cast<int>(DesignDpi));
}

int SystemMetricForDpi(int index, UINT dpi)
{
    if (EntryPoints().getSystemMetricsForDpi)
        return EntryPoints().getSystemMetricsForDpi(index, dpi);
    return GetSystemMetrics(index);
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi)
{
    if (EntryPoints().adjustWindowRectExForDpi)
        return EntryPoints().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi) != FALSE;
    return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}
