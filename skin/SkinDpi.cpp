#include "SkinDpi.h"

#include "DpiMetrics.h"
#include "SkinProps.h"

UINT SkinDpi(HWND hwnd)
{
    if (HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr) {
        if (const auto told = GetSkinProp(root, SkinProp::Dpi); told > 0)
            return static_cast<UINT>(told);
    }
    return WindowDpi(hwnd);
}

void SetToldDpi(HWND root, UINT dpi)
{
    if (root && dpi) SetSkinProp(root, SkinProp::Dpi, static_cast<std::intptr_t>(dpi));
}

void ForgetToldDpi(HWND root) { RemoveSkinProp(root, SkinProp::Dpi); }
