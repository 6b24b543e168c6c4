#include "SkinSettings.h"

#include "DpiMetrics.h"
#include "SkinDpi.h"
#include "SkinKindHandlers.h"
#include "SkinTypes.h"
#include "SkinWindowTable.h"

namespace {

void RenewOne(HWND hwnd)
{
    if (!SkinWindows().IsAttached(hwnd)) return;
    if (const auto renew = KindHandlers(ClassKind(hwnd)).renew) renew(hwnd);
}

BOOL CALLBACK RenewEnumProc(HWND child, LPARAM)
{
    RenewOne(child);
    return TRUE;
}

} // namespace

void RenewSkinLook(HWND root)
{
    if (!IsWindow(root)) return;
    RenewOne(root);
    EnumChildWindows(root, RenewEnumProc, 0);
    RedrawWindow(root, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT OnSystemColoursChanged(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    // Only top-level windows are told; a child passes the message on alone.
    if (IsWindow(m.hwnd) && GetAncestor(m.hwnd, GA_ROOT) == m.hwnd) RenewSkinLook(m.hwnd);
    return result;
}

LRESULT OnDpiChanged(const SkinMessage& m)
{
    // wParam carries the new DPI twice (x and y); they are always equal.
    // Sent by another thread or process, the message is taken at its word
    // only when the system reports that DPI for the window too.
    const UINT dpi = HIWORD(m.wParam);
    if (!InSendMessage() || WindowDpi(m.hwnd) == dpi) SetToldDpi(m.hwnd, dpi);
    const LRESULT result = m.CallPrevious();
    RenewSkinLook(m.hwnd);
    return result;
}
