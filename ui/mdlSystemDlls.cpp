#include "mdlSystemDlls.h"

#include <windows.h>

#include "SystemLibrary.h"

bool LoadDllsFromSystemFolderOnly()
{
    // Looked up rather than imported: an import of it would stop the program
    // from starting at all on a Windows 7 without the update.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = EntryPoint<SetDefaultDllDirectoriesFn>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
