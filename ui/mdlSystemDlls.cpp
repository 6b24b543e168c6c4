#include "mdlSystemDlls.h"

#include <windows.h>

bool LoadDllsFromSystemFolderOnly()
{
    // Looked up rather than imported: an import of it would stop the program
    // from starting at all on a Windows 7 without the update.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return false;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
