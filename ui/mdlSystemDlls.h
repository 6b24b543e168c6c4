// Where the program's DLLs come from.
#pragma once

// Limits the search for every DLL loaded from now on by name (delay-loaded
// imports, LoadLibrary with a bare name, and the DLLs those load) to the
// system folder, so that no DLL placed beside the program or in the working
// folder is ever run. Call it first, before anything loads a DLL. False on a
// Windows without SetDefaultDllDirectories (Windows 7 lacking update
// KB2533623), where the usual search order stays.
bool LoadDllsFromSystemFolderOnly();
