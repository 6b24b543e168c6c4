// Entry points looked up at run time, in DLLs of the system folder only. The
// program imports nothing that a copy beside it could stand in for; what it
// needs beyond the known DLLs, or what older Windows lacks, is found here.
#pragma once

#include <windows.h>

// name's entry point in module as a Function, or null (also for a null
// module). Through void*: a FARPROC does not convert to another function
// type without a cast that GCC warns about.
template <typename Function>
Function EntryPoint(HMODULE module, const char* name)
{
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loads file (a bare name such as L"oleacc.dll") by its full path in the
// system folder, never from the program's folder or the search path; null
// when it cannot. A full path works on every Windows, also on a Windows 7
// that lacks LOAD_LIBRARY_SEARCH_SYSTEM32. The caller keeps it loaded or
// frees it.
HMODULE LoadSystemLibrary(const wchar_t* file);
