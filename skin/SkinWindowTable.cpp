#include "SkinWindowTable.h"

SkinWindow* SkinWindowTable::Find(HWND hwnd)
{
    if (!hwnd) return nullptr;
    const auto found = windows_.find(hwnd);
    return found == windows_.end() ? nullptr : &found->second;
}

bool SkinWindowTable::IsAttached(HWND hwnd)
{
    const SkinWindow* window = Find(hwnd);
    return window && window->previous;
}

SkinWindow& SkinWindowTable::Add(HWND hwnd) { return windows_[hwnd]; }

void SkinWindowTable::Remove(HWND hwnd) { windows_.erase(hwnd); }

SkinWindowTable& SkinWindows()
{
    static SkinWindowTable table;
    return table;
}
