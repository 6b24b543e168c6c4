#include "ControlTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "SkinEngine.h"
#include "SkinTestSupport.h"

namespace controltest {

void RegisterSuperclass(const wchar_t* className, const wchar_t* base)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    if (!GetClassInfoExW(nullptr, base, &wc)) return;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    // CS_GLOBALCLASS belongs to the system class, not to this copy.
    wc.style &= ~CS_GLOBALCLASS;
    RegisterClassExW(&wc);
}

HWND CreateForm()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    return skintest::CreateTopWindow(L"ThunderRT6FormDC", L"controls");
}

void Skin(HWND form)
{
    // Children created after the first SkinStart are attached one by one
    // (attaching is idempotent, so the earlier ones are left alone).
    if (!SkinStart(form)) EnumChildWindows(form, AttachEnumProc, 0);
    UpdateWindow(form);
    RedrawWindow(form, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    skintest::PumpPending();
}

void PutCursor(HWND hwnd, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    SetCursorPos(p.x, p.y);
}

void PutCursorAway()
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
}

LRESULT Mouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys)
{
    return SendMessageW(hwnd, msg, keys, MAKELPARAM(x, y));
}

int StripMismatches(HDC dc, int x, int y, HDC strip, int sx, int sy, int width, int height,
                    std::string* firstMismatch)
{
    constexpr std::uint32_t Magenta = 0xFF00FF;
    int mismatches = 0;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const std::uint32_t want = skintest::RgbAt(strip, sx + col, sy + row);
            const std::uint32_t got = skintest::RgbAt(dc, x + col, y + row);
            const bool ok = want == Magenta ? got != Magenta : got == want;
            if (ok) continue;
            if (mismatches++ == 0 && firstMismatch) {
                *firstMismatch = "at (" + std::to_string(col) + "," + std::to_string(row) +
                                 ") want " + skintest::Hex(want) + " got " + skintest::Hex(got);
            }
        }
    }
    return mismatches;
}

HWND ListBoxes::Make(const wchar_t* cls, DWORD style, DWORD exStyle, bool enabled)
{
    RegisterSuperclass(L"DataListWndClass", L"ListBox");
    RegisterSuperclass(L"DBListWndClass", L"ListBox");
    RegisterSuperclass(L"ApexGridOleDB32", L"ListBox");
    if (!form) form = CreateForm();
    HWND hwnd = skintest::CreateChild(form, cls, L"", style | LBS_NOINTEGRALHEIGHT, 10, nextY, 150,
                                      50, exStyle);
    for (const wchar_t* item : {L"first row", L"second row"})
        SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    nextY += 56;
    EnableWindow(hwnd, enabled);
    Skin(form);
    return hwnd;
}

std::uint32_t ListBoxRing(HWND hwnd, int inset)
{
    const int w = 150 - 2 * inset, h = 50 - 2 * inset;
    const std::uint32_t c = skintest::WindowRgbAt(hwnd, inset, inset);
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(skintest::WindowRgbAt(hwnd, inset + x, inset), c) << x;
        EXPECT_EQ(skintest::WindowRgbAt(hwnd, inset + x, inset + h - 1), c) << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(skintest::WindowRgbAt(hwnd, inset, inset + y), c) << y;
        EXPECT_EQ(skintest::WindowRgbAt(hwnd, inset + w - 1, inset + y), c) << y;
    }
    return c;
}

} // namespace controltest
