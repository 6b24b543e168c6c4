#include "SkinTestSupport.h"

#include <cstdio>

namespace skintest {

void EnsureClass(const wchar_t* className)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND CreateTopWindow(const wchar_t* className, const wchar_t* title)
{
    EnsureClass(className);
    HWND hwnd = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 340,
                                280, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpPending();
    return hwnd;
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                 int y, int width, int height, DWORD exStyle)
{
    HWND hwnd = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpPending();
    return hwnd;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::uint32_t RgbAt(HDC dc, int x, int y)
{
    const COLORREF c = GetPixel(dc, x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

std::uint32_t WindowRgbAt(HWND hwnd, int x, int y)
{
    HDC dc = GetWindowDC(hwnd);
    const std::uint32_t c = RgbAt(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

void FillWindow(HWND hwnd, COLORREF colour)
{
    HDC dc = GetWindowDC(hwnd);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    const RECT all{0, 0, rc.right - rc.left, rc.bottom - rc.top};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

SIZE SelectedBitmapSize(HDC dc)
{
    BITMAP bm{};
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

std::string Hex(std::uint32_t rrggbb)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rrggbb & 0xFFFFFF));
    return text;
}

} // namespace skintest
