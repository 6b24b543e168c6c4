#include "RunningMutex.h"

#include "FormServices.h"

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
    if (folder != L".") mutex_.reset(CreateMutexW(nullptr, FALSE, NameFor(folder).c_str()));
}
