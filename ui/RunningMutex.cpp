#include "RunningMutex.h"

#include <vector>

namespace {

// The folder of the running program file, without a final separator; empty
// when it cannot be read.
std::wstring ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) break;
        path.resize(path.size() * 2);
    }
    const std::wstring file(path.data());
    const std::size_t slash = file.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

} // namespace

std::wstring RunningMutex::NameFor(const std::wstring& folder)
{
    std::wstring name = folder;
    const DWORD needed = GetLongPathNameW(folder.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring longName(needed, L'\0');
        const DWORD length = GetLongPathNameW(folder.c_str(), longName.data(), needed);
        if (length > 0 && length < needed) name = longName.substr(0, length);
    }
    while (name.size() > 3 && name.back() == L'\\') name.pop_back();
    // The invariant upper case, which the installer asks LCMapStringW for too.
    if (!name.empty()) {
        std::wstring upper(name.size(), L'\0');
        const int length = static_cast<int>(name.size());
        if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, name.c_str(), length, upper.data(),
                         length) == length)
            name = upper;
    }
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    return L"Local\\Vemora:" + name;
}

RunningMutex::RunningMutex()
{
    const std::wstring folder = ProgramFolder();
    if (!folder.empty()) mutex_.reset(CreateMutexW(nullptr, FALSE, NameFor(folder).c_str()));
}
