#include "ExternalVemora.h"

#include "Form1.h"
#include "FormDriver.h"
#include "PackageFiles.h"

namespace {

// Start-up under a busy Wine can take several seconds; the limits only keep
// a broken program from hanging the test.
constexpr DWORD StartLimitMs = 60000;
constexpr DWORD BoxLimitMs = 30000;
constexpr DWORD ExitLimitMs = 30000;
// MessageBox's text control (the same id on Windows and in Wine).
constexpr int MessageBoxTextId = 0xFFFF;

struct WindowSearch {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (owner == search->processId && IsWindowVisible(window) &&
        _wcsicmp(name, search->windowClass) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

} // namespace

ExternalVemora::~ExternalVemora()
{
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), ExitLimitMs);
    }
}

bool ExternalVemora::Start(const std::wstring& program)
{
    std::wstring line = L"\"" + program + L"\"";
    const std::wstring folder = FolderOf(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    process_ = ScopedHandle(process.hProcess);
    processId_ = process.dwProcessId;
    window_ = WaitForOwnWindow(Form1::ClassName, StartLimitMs);
    return window_ != nullptr;
}

HWND ExternalVemora::FindOwnWindow(const wchar_t* windowClass) const
{
    WindowSearch search{processId_, windowClass};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ExternalVemora::WaitForOwnWindow(const wchar_t* windowClass, DWORD limitMs) const
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (;;) {
        if (HWND found = FindOwnWindow(windowClass)) return found;
        if (GetTickCount64() > deadline || WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT)
            return nullptr;
        Sleep(50);
    }
}

std::string ExternalVemora::StartTextBytes()
{
    return Utf8(L"Olvane软件：" + Form1::WebSite + L"\r\n");
}

bool ExternalVemora::PictureHoldsStartText(const std::wstring& pngFile, std::string* decoded)
{
    ScopedBitmap picture = LoadPng(pngFile);
    if (!picture) {
        *decoded = "not a PNG picture: " + Utf8(pngFile);
        return false;
    }
    return DecodesTo(picture.get(), StartTextBytes(), decoded);
}

bool ExternalVemora::Create()
{
    HWND button = GetDlgItem(window_, Form1::Command1Id);
    if (!button) return false;
    // Sent, not posted: Create has ended when the call returns.
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(Form1::Command1Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return FindOwnWindow(L"#32770") == nullptr;
}

std::wstring ExternalVemora::Save()
{
    HWND button = GetDlgItem(window_, Form1::Command2Id);
    if (!button) return L"";
    // Posted: Save ends only once its message box is closed.
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(Form1::Command2Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    HWND box = WaitForOwnWindow(L"#32770", BoxLimitMs);
    if (!box) return L"";
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, MessageBoxTextId, text, 1024);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const ULONGLONG deadline = GetTickCount64() + BoxLimitMs;
    while (IsWindow(box) && GetTickCount64() < deadline) Sleep(20);
    return text;
}

bool ExternalVemora::Close()
{
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), ExitLimitMs) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    return GetExitCodeProcess(process_.get(), &code) && code == 0;
}
