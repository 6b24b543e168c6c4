// Files, folders, processes, the registry and shortcuts as the package tests
// see them: what an installer or an unpacked folder left on the (Wine)
// system, and the programs that put it there.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

#include "QrReadBack.h"
#include "ScopedWin.h"
#include "TempFolder.h"

// A Unix path of the build tree as Windows sees it through Wine's drive Z:.
std::wstring WindowsPathOf(const char* unixPath);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Names in a folder, "." and ".." left out; empty when there is no folder.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
// Size of a file in bytes, or nothing when it cannot be read.
std::optional<ULONGLONG> FileSize(const std::wstring& path);

// A known folder of the current user (FOLDERID_LocalAppData, FOLDERID_Programs).
std::wstring KnownFolder(REFKNOWNFOLDERID id);

// Starts "program" arguments; the process handle (id receives its id), or
// empty when it did not start.
ScopedHandle StartProcess(const std::wstring& program, const std::wstring& arguments, DWORD* id);
// Handles (SYNCHRONIZE, PROCESS_QUERY_LIMITED_INFORMATION) of the running
// processes that a process started.
std::vector<ScopedHandle> RunningChildrenOf(DWORD parent);

// Runs a program with its arguments and waits for it (at most limitMs);
// its exit code, or nothing when it did not start or did not end in time.
std::optional<DWORD> RunAndWait(const std::wstring& program, const std::wstring& arguments,
                                DWORD limitMs = 120000);
// Runs a program and waits, at most limitMs in all, for it and for every
// program it started (e.g. the copy of itself that an NSIS uninstaller
// starts from the temporary folder, which does the work). The exit code of
// the last of its children to end, or its own when it started none; nothing
// when they did not all end (those still running are then ended).
std::optional<DWORD> RunAndWaitForTree(const std::wstring& program,
                                       const std::wstring& arguments, DWORD limitMs = 120000);

// The texts of a window's descendants (WM_GETTEXT, so also across processes).
std::vector<std::wstring> DescendantTexts(HWND window);
// The items of a list-view control of another process (its first column).
std::vector<std::wstring> ListViewItems(HWND list);

// Values of a key under HKEY_CURRENT_USER; nothing when absent or of another type.
std::optional<std::wstring> UserRegistryString(const std::wstring& key, const wchar_t* name);
std::optional<DWORD> UserRegistryDword(const std::wstring& key, const wchar_t* name);
bool UserRegistryKeyExists(const std::wstring& key);

// The program a shell link (.lnk) starts, or nothing when it cannot be read.
std::optional<std::wstring> ShortcutTarget(const std::wstring& linkFile);

// Case-insensitive comparison of two Windows paths.
bool SamePath(const std::wstring& a, const std::wstring& b);
