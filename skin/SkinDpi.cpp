#include "SkinDpi.h"

#include "DpiMetrics.h"
#include "SkinWindowTable.h"

UINT SkinDpi(HWND hwnd)
{
    if (HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr) {
        if (const SkinWindow* record = SkinWindows().Find(root); record && record->toldDpi)
            return record->toldDpi;
    }
    return WindowDpi(hwnd);
}

void SetToldDpi(HWND root, UINT dpi)
{
    if (dpi < USER_DEFAULT_SCREEN_DPI || dpi > 5 * USER_DEFAULT_SCREEN_DPI) return;
    if (SkinWindow* record = root ? SkinWindows().Find(root) : nullptr) record->toldDpi = dpi;
}
