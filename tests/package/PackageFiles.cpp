#include "PackageFiles.h"

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include "ScopedWin.h"

std::wstring WindowsPathOf(const char* unixPath)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::optional<ULONGLONG> FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

ScopedHandle StartProcess(const std::wstring& program, const std::wstring& arguments, DWORD* id)
{
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return ScopedHandle();
    CloseHandle(process.hThread);
    if (id) *id = process.dwProcessId;
    return ScopedHandle(process.hProcess);
}

std::vector<ScopedHandle> RunningChildrenOf(DWORD parent)
{
    std::vector<ScopedHandle> children;
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID != parent || entry.th32ProcessID == parent) continue;
        HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   entry.th32ProcessID);
        if (child) children.emplace_back(child);
    }
    return children;
}

std::optional<DWORD> RunAndWait(const std::wstring& program, const std::wstring& arguments,
                                DWORD limitMs)
{
    ScopedHandle process = StartProcess(program, arguments, nullptr);
    if (!process || WaitForSingleObject(process.get(), limitMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) return std::nullopt;
    return code;
}

std::optional<DWORD> RunAndWaitForTree(const std::wstring& program,
                                       const std::wstring& arguments, DWORD limitMs)
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    auto left = [deadline] {
        const ULONGLONG now = GetTickCount64();
        return static_cast<DWORD>(now < deadline ? deadline - now : 0);
    };
    DWORD id = 0;
    ScopedHandle process = StartProcess(program, arguments, &id);
    if (!process) return std::nullopt;
    // The children are looked for while the parent still runs, too: one that
    // started and ended meanwhile needs no waiting.
    std::vector<ScopedHandle> children;
    // What is still running when the time is up is ended, so that nothing
    // of a run that hung holds files or windows into the next test.
    const auto giveUp = [&] {
        TerminateProcess(process.get(), 1);
        for (const ScopedHandle& child : children) TerminateProcess(child.get(), 1);
        return std::nullopt;
    };
    while (WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT) {
        if (!left()) return giveUp();
        for (ScopedHandle& child : RunningChildrenOf(id)) children.push_back(std::move(child));
    }
    for (ScopedHandle& child : RunningChildrenOf(id)) children.push_back(std::move(child));
    DWORD code = 0;
    if (!GetExitCodeProcess(process.get(), &code)) return std::nullopt;
    for (const ScopedHandle& child : children)
        if (WaitForSingleObject(child.get(), left()) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(child.get(), &code))
            return giveUp();
    return code;
}

std::vector<std::wstring> DescendantTexts(HWND window)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) {
            wchar_t text[2048] = L"";
            SendMessageTimeoutW(child, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 5000, nullptr);
            if (text[0]) reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::vector<std::wstring> ListViewItems(HWND list)
{
    // LVM_GETITEMTEXTW is not marshalled: its record and text buffer must lie
    // in the list's own process.
    std::vector<std::wstring> items;
    DWORD id = 0;
    GetWindowThreadProcessId(list, &id);
    ScopedHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
    if (!process) return items;
    constexpr int TextLength = 1024;
    const SIZE_T size = sizeof(LVITEMW) + TextLength * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return items;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = TextLength;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        wchar_t text[TextLength] = L"";
        if (!WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr)) break;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(remote));
        if (!ReadProcessMemory(process.get(), remote + sizeof(LVITEMW), text,
                               sizeof text - sizeof(wchar_t), nullptr))
            break;
        items.push_back(text);
    }
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return items;
}

namespace {

std::optional<std::vector<BYTE>> UserRegistryValue(const std::wstring& key, const wchar_t* name,
                                                   DWORD wantedType)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size) != ERROR_SUCCESS ||
        type != wantedType)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

} // namespace

std::optional<std::wstring> UserRegistryString(const std::wstring& key, const wchar_t* name)
{
    const auto data = UserRegistryValue(key, name, REG_SZ);
    if (!data) return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(data->data()),
                      data->size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<DWORD> UserRegistryDword(const std::wstring& key, const wchar_t* name)
{
    const auto data = UserRegistryValue(key, name, REG_DWORD);
    if (!data || data->size() != sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    memcpy(&value, data->data(), sizeof value);
    return value;
}

bool UserRegistryKeyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::optional<std::wstring> ShortcutTarget(const std::wstring& linkFile)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<std::wstring> target;
    {
        IShellLinkW* raw = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, reinterpret_cast<void**>(&raw)))) {
            ScopedComPtr<IShellLinkW> link(raw);
            IPersistFile* rawFile = nullptr;
            if (SUCCEEDED(
                    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
                ScopedComPtr<IPersistFile> file(rawFile);
                wchar_t path[MAX_PATH] = L"";
                if (SUCCEEDED(file->Load(linkFile.c_str(), STGM_READ)) &&
                    SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
                    target = path;
            }
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return target;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
