#include "FormServices.h"

#include <shellapi.h>

#include <vector>

#include "DpiMetrics.h"
#include "ScopedWin.h"
#include "mdlFakeBarCode.h"

namespace {

bool StartProgram(const std::wstring& commandLine)
{
    // CreateProcessW may write into the command line buffer, so it gets a copy.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // Nobody waits for the browser: let go of both handles at once.
    const ScopedHandle thread(process.hThread);
    const ScopedHandle child(process.hProcess);
    return true;
}

bool OpenFolder(const std::wstring& folder)
{
    // The folder's own verb: the file manager the system has for folders.
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}

SYSTEMTIME LocalTime()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}

} // namespace

std::wstring ProgramFolder()
{
    // Paths may exceed MAX_PATH; grow until the name is not truncated.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L".";
        if (length < path.size()) return FolderOfPath(std::wstring(path.data(), length));
        if (path.size() >= 32768) return L".";
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOfPath(const std::wstring& modulePath)
{
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    // "C:\Vemora.exe": the root keeps its separator.
    if (slash == 2 && modulePath.size() > 1 && modulePath[1] == L':')
        return modulePath.substr(0, 3);
    return modulePath.substr(0, slash);
}

FormServices DefaultFormServices()
{
    FormServices services;
    services.startProgram = StartProgram;
    services.openFolder = OpenFolder;
    services.programFolder = ProgramFolder;
    services.localTime = LocalTime;
    services.makePicture = CreateMatrixPicture;
    services.windowDpi = WindowDpi;
    return services;
}
