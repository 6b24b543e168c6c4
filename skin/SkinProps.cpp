#include "SkinProps.h"

std::intptr_t GetSkinProp(HWND hwnd, const char* name)
{
    if (!hwnd || !name) return 0;
    return reinterpret_cast<std::intptr_t>(GetPropA(hwnd, name));
}

bool SetSkinProp(HWND hwnd, const char* name, std::intptr_t value)
{
    if (!hwnd || !name) return false;
    return SetPropA(hwnd, name, reinterpret_cast<HANDLE>(value)) != FALSE;
}

void RemoveSkinProp(HWND hwnd, const char* name)
{
    if (hwnd && name) RemovePropA(hwnd, name);
}

bool HasSkinProp(HWND hwnd, const char* name)
{
    if (!hwnd || !name) return false;
    // A property set to 0 reads back as null too; only enumeration would tell
    // it from an absent one. The engine never stores 0 in a marker property
    // ("PROCADDR" holds a procedure), so null means absent here.
    return GetPropA(hwnd, name) != nullptr;
}

SkinState GetSkinState(HWND hwnd)
{
    const std::intptr_t v = GetSkinProp(hwnd, SkinProp::OldState);
    if (v < 0 || v > 3) return SkinState::Normal;
    return static_cast<SkinState>(v);
}

void SetSkinState(HWND hwnd, SkinState state)
{
    SetSkinProp(hwnd, SkinProp::OldState, static_cast<std::intptr_t>(state));
}

FacePropNames FacePropNamesFor(SkinState state)
{
    const char digit = static_cast<char>('0' + static_cast<int>(state));
    return FacePropNames{{digit, 'H', 'D', 'C', '\0'}, {digit, 'B', 'M', 'P', '\0'}};
}
