// The display scale the test's Wine prefix was made with (VEMORA_WINE_DPI of
// scripts/wine-run.sh; 96 when unset).
#pragma once

#include <windows.h>

#include <cstdlib>

inline UINT PrefixDpi()
{
    const char* dpi = std::getenv("VEMORA_WINE_DPI");
    return dpi && *dpi ? static_cast<UINT>(std::atoi(dpi)) : 96u;
}
