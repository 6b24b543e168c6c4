#include "SkinPrimitives.h"

#include <commctrl.h>
#include <ole2.h>
#include <olectl.h>

#include <cmath>
#include <utility>

#include "DpiMetrics.h"
#include "SkinDpi.h"
#include "SkinProps.h"

namespace {

// The compatibility reference of the primitives is the screen's DC,
// ScopedGetDC(nullptr), rather than a DC created for "DISPLAY": the screen's
// DC is handed out, not created, and every nine-grid copy needs one.

// A memory DC compatible with reference holding bitmap; empty when either
// could not be made.
ScopedBitmapDC MakeMemoryDC(HDC reference, HBITMAP bitmap)
{
    return ScopedBitmapDC(ScopedMemDC(reference), ScopedBitmap(bitmap));
}

bool useUserTrackMouseEvent = true;

} // namespace

ScopedBitmapDC CreateMemoryDC(int width, int height)
{
    ScopedGetDC display(nullptr);
    if (!display) return {};
    return MakeMemoryDC(display.get(), CreateCompatibleBitmap(display.get(), width, height));
}

namespace {

// Corners, edges and centre of a nine-grid copy onto (x0, y0) of t.
void DrawNineGrid(HDC t, int x0, int y0, const NineGridCopy& c)
{
    const int W = c.width, H = c.height;
    const int L = c.left, T = c.top, R = c.right, B = c.bottom;
    const int sx = c.sourceX, sy = c.sourceY, sw = c.sourceWidth, sh = c.sourceHeight;
    HDC s = c.source;
    if (L <= 0 && T <= 0 && R <= 0 && B <= 0) {
        StretchBlt(t, x0, y0, W, H, s, sx + L, sy + T, sw - R, sh - B, SRCCOPY);
        return;
    }
    // 1. Corners keep their size.
    if (L > 0 && T > 0) BitBlt(t, x0, y0, L, T, s, sx, sy, SRCCOPY);
    if (R > 0 && T > 0) BitBlt(t, x0 + W - R, y0, R, T, s, sx + sw - R, sy, SRCCOPY);
    if (L > 0 && B > 0) BitBlt(t, x0, y0 + H - B, L, B, s, sx, sy + sh - B, SRCCOPY);
    if (R > 0 && B > 0)
        BitBlt(t, x0 + W - R, y0 + H - B, R, B, s, sx + sw - R, sy + sh - B, SRCCOPY);
    // 2. Edges stretch along their length only.
    if (L > 0) StretchBlt(t, x0, y0 + T, L, H - T - B, s, sx, sy + T, L, sh - T - B, SRCCOPY);
    if (R > 0)
        StretchBlt(t, x0 + W - R, y0 + T, R, H - T - B, s, sx + sw - R, sy + T, R, sh - T - B,
                   SRCCOPY);
    if (T > 0) StretchBlt(t, x0 + L, y0, W - L - R, T, s, sx + L, sy, sw - L - R, T, SRCCOPY);
    if (B > 0)
        StretchBlt(t, x0 + L, y0 + H - B, W - L - R, B, s, sx + L, sy + sh - B, sw - L - R, B,
                   SRCCOPY);
    // 3. The centre stretches both ways.
    StretchBlt(t, x0 + L, y0 + T, W - L - R, H - T - B, s, sx + L, sy + T, sw - L - R, sh - T - B,
               SRCCOPY);
}

} // namespace

NineGridCopy NineGridOf(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                        int sourceY, int sourceWidth, int sourceHeight, int border)
{
    NineGridCopy copy;
    copy.dest = dest;
    copy.x = x;
    copy.y = y;
    copy.width = width;
    copy.height = height;
    copy.source = source;
    copy.sourceX = sourceX;
    copy.sourceY = sourceY;
    copy.sourceWidth = sourceWidth;
    copy.sourceHeight = sourceHeight;
    copy.left = copy.top = copy.right = copy.bottom = border;
    return copy;
}

BOOL StretchNineGrid(const NineGridCopy& c)
{
    if (c.width <= 0 || c.height <= 0 || c.sourceWidth <= 0 || c.sourceHeight <= 0) return 0;
    if (!c.key) {
        // Without a key every destination pixel is written exactly once, so
        // the pieces go straight to the destination: the same picture as
        // composing them in a scratch bitmap first, without its cost per face.
        DrawNineGrid(c.dest, c.x, c.y, c);
        return 1;
    }
    // With a key the composed picture is copied through TransparentBlit.
    ScopedBitmapDC tmp = CreateMemoryDC(c.width, c.height);
    if (!tmp) return 0;
    DrawNineGrid(tmp.get(), 0, 0, c);
    TransparentBlit(c.dest, c.x, c.y, c.width, c.height, tmp.get(), 0, 0, *c.key, nullptr);
    return 1;
}

namespace {

// The heart of the mask method, on width x height scratch DCs: mask gets 1
// where copy has the key, the copy's key pixels turn black, and work keeps
// its own pixels where the key was and takes the copy's everywhere else.
void MaskOutKey(HDC work, HDC copy, HDC mask, COLORREF rgbKey, int width, int height)
{
    // 1. Colour to monochrome: pixels equal to the source DC's background
    //    colour become 1.
    SetBkColor(copy, rgbKey);
    BitBlt(mask, 0, 0, width, height, copy, 0, 0, SRCCOPY);

    // 2. Key pixels of the copy become black (monochrome to colour maps 1 to
    //    the background white, 0 to the text black; DSna).
    SetTextColor(copy, RGB(0, 0, 0));
    SetBkColor(copy, RGB(255, 255, 255));
    BitBlt(copy, 0, 0, width, height, mask, 0, 0, 0x00220326);

    // 3. Background kept where the key was, then the source ORed in.
    SetTextColor(work, RGB(0, 0, 0));
    SetBkColor(work, RGB(255, 255, 255));
    BitBlt(work, 0, 0, width, height, mask, 0, 0, SRCAND);
    BitBlt(work, 0, 0, width, height, copy, 0, 0, SRCPAINT);
}

} // namespace

BOOL TransparentBlit(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                     int sourceY, COLORREF key, HPALETTE palette)
{
    if (width <= 0 || height <= 0 || !dest || !source) return FALSE;
    // 1. Reference DC, palette and the key as plain RGB.
    ScopedGetDC display(nullptr);
    if (!display) return FALSE;
    ScopedPalette ownPalette(palette ? nullptr : CreateHalftonePalette(display.get()));
    HPALETTE pal = palette ? palette : ownPalette.get();
    COLORREF rgbKey = key;
    if (OleTranslateColor(key, pal, &rgbKey) != S_OK) rgbKey = key;
    rgbKey &= 0x00FFFFFF;

    // 2. The destination area as it is now.
    ScopedBitmapDC work =
        MakeMemoryDC(display.get(), CreateCompatibleBitmap(display.get(), width, height));
    // 3. A copy of the source with the source's colours.
    ScopedBitmapDC copy =
        MakeMemoryDC(display.get(), CreateCompatibleBitmap(display.get(), width, height));
    // 4. The monochrome mask: 1 where the source has the key.
    ScopedBitmapDC mask = MakeMemoryDC(display.get(), CreateBitmap(width, height, 1, 1, nullptr));
    if (!work || !copy || !mask) return FALSE;
    {
        ScopedSelectPalette workPalette(work.get(), pal);
        ScopedSelectPalette copyPalette(copy.get(), pal);
        RealizePalette(work.get());
        BitBlt(work.get(), 0, 0, width, height, dest, x, y, SRCCOPY);

        SetBkColor(copy.get(), GetBkColor(source));
        SetTextColor(copy.get(), GetTextColor(source));
        BitBlt(copy.get(), 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);

        // 5. The key masked out of the copy, the rest laid over the destination area.
        MaskOutKey(work.get(), copy.get(), mask.get(), rgbKey, width, height);

        // 6. The result back to the destination.
        BitBlt(dest, x, y, width, height, work.get(), 0, 0, SRCCOPY);
    }
    return TRUE;
}

int FillRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    const ScopedBrush brush(CreateSolidBrush(colour));
    const RECT rc{x, y, x + width, y + height};
    return FillRect(dc, &rc, brush.get());
}

int FrameRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    const ScopedBrush brush(CreateSolidBrush(colour));
    const RECT rc{x, y, x + width, y + height};
    return FrameRect(dc, &rc, brush.get());
}

BOOL DrawFocusBox(HDC dc, int x, int y, int width, int height)
{
    const RECT rc{x, y, x + width, y + height};
    return DrawFocusRect(dc, &rc);
}

int DrawTextInRect(HDC dc, std::wstring_view text, int x, int y, int width, int height, UINT format)
{
    RECT rc{x, y, x + width, y + height};
    // DT_MODIFYSTRING is never passed, so DrawTextW only reads the text.
    return DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, format);
}

BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds)
{
    RECT rc{};
    const BOOL ok = GetWindowRect(hwnd, &rc);
    bounds =
        WindowBounds{rc.left, rc.top, rc.right, rc.bottom, rc.right - rc.left, rc.bottom - rc.top};
    return ok;
}

int BorderThickness(HWND hwnd, int& x, int& y)
{
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    int dx = (window.right - window.left) - (client.right - client.left);
    int dy = (window.bottom - window.top) - (client.bottom - client.top);
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VSCROLL) {
        const UINT dpi = SkinDpi(hwnd);
        dx -= SystemMetricForDpi(SM_CXVSCROLL, dpi);
        dy -= SystemMetricForDpi(SM_CYHSCROLL, dpi);
    }
    // lrint rounds halves to even in the default rounding mode.
    x = static_cast<int>(std::lrint(dx / 2.0));
    y = static_cast<int>(std::lrint(dy / 2.0));
    return 1;
}

std::string WindowClassName(HWND hwnd)
{
    char name[256] = {};
    const int n = hwnd ? GetClassNameA(hwnd, name, 255) : 0;
    return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string();
}

std::wstring WindowCaption(HWND hwnd)
{
    if (!hwnd) return {};
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

short LoWordSigned(LPARAM lParam) { return static_cast<short>(lParam & 0xFFFF); }
short HiWordSigned(LPARAM lParam) { return static_cast<short>((lParam >> 16) & 0xFFFF); }

UINT_PTR StartFadeTimer(HWND hwnd)
{
    if (GetSkinProp(hwnd, SkinProp::TimerId) != 0) return 0;
    const UINT_PTR id = SetTimer(hwnd, FadeTimerId, FadeTimerInterval, nullptr);
    SetSkinProp(hwnd, SkinProp::TimerId, static_cast<std::intptr_t>(id));
    return id;
}

void StopFadeTimer(HWND hwnd)
{
    const std::intptr_t id = GetSkinProp(hwnd, SkinProp::TimerId);
    if (id == 0) return;
    KillTimer(hwnd, static_cast<UINT_PTR>(id));
    SetSkinProp(hwnd, SkinProp::TimerId, 0);
}

void UseUserTrackMouseEvent(bool useUser32) { useUserTrackMouseEvent = useUser32; }

BOOL TrackMouseLeave(HWND hwnd)
{
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hwnd;
    tme.dwHoverTime = 0;
    return useUserTrackMouseEvent ? TrackMouseEvent(&tme) : _TrackMouseEvent(&tme);
}

bool ApiExists(const char* entry, const char* library)
{
    if (!entry || !library) return false;
    HMODULE module = GetModuleHandleA(library);
    const bool loadedHere = module == nullptr;
    // A bare name is looked for in the system folder only, never beside the
    // program, where a planted file of that name could be found first.
    if (loadedHere) module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return false;
    const bool found = GetProcAddress(module, entry) != nullptr;
    if (loadedHere) FreeLibrary(module);
    return found;
}
