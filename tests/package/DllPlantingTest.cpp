// DLLs planted beside the program: a copy of Vemora.exe in a new folder with
// DLLs named after the system's msimg32.dll and comctl32.dll, started with
// the load order Windows uses for DLLs outside the KnownDLLs (the program's
// folder first: Wine's native-first override), creates and saves a symbol
// without loading either.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ExternalVemora.h"
#include "PackageFiles.h"

#ifndef VEMORA_PROGRAM
#error "VEMORA_PROGRAM must name the built Vemora.exe (a Unix path)"
#endif
#ifndef VEMORA_PLANTED_DLLS
#error "VEMORA_PLANTED_DLLS must name the folder of the planted DLLs (a Unix path)"
#endif

namespace {

constexpr std::array<const wchar_t*, 2> PlantedNames{L"msimg32.dll", L"comctl32.dll"};

// Wine's per-program load order for Vemora.exe, native (the file found by
// the search order) before Wine's own, while it lives. The program reads it
// from the registry when it starts; WINEDLLOVERRIDES in the environment of a
// process started from Windows would not reach it. Wine's own uxtheme, which
// its user32 loads for every window, imports msimg32 and has its imports
// looked for beside the program whatever the program asked for; Windows'
// uxtheme imports no msimg32. So uxtheme is left out here (nothing depends on
// it: the skin paints every control and no visual style is asked for), and a
// marker shows what Vemora itself loaded.
class NativeFirstForVemora {
public:
    NativeFirstForVemora()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        for (const wchar_t* name : PlantedNames) {
            const std::wstring module(name, wcslen(name) - 4); // without ".dll"
            SetOrder(key, module.c_str(), L"native,builtin");
        }
        SetOrder(key, L"uxtheme", L"");
        RegCloseKey(key);
        set_ = true;
    }
    ~NativeFirstForVemora() { RegDeleteTreeW(HKEY_CURRENT_USER, Key); }
    NativeFirstForVemora(const NativeFirstForVemora&) = delete;
    NativeFirstForVemora& operator=(const NativeFirstForVemora&) = delete;

    bool Set() const { return set_; }

private:
    static void SetOrder(HKEY key, const wchar_t* module, const std::wstring& order)
    {
        RegSetValueExW(key, module, 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                       static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
    }
    static constexpr wchar_t Key[] = L"Software\\Wine\\AppDefaults\\Vemora.exe\\DllOverrides";
    bool set_ = false;
};

TEST(DllPlanting, ProgramNeverLoadsDllsFromItsOwnFolder)
{
    const TempFolder folder(L"planted");
    const std::wstring program = folder.Path() + L"\\Vemora.exe";
    const std::wstring pictures = folder.Path() + L"\\二维码图片";
    ASSERT_TRUE(CopyFileW(WindowsPathOf(VEMORA_PROGRAM).c_str(), program.c_str(), TRUE));
    ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
    for (const wchar_t* name : PlantedNames)
        ASSERT_TRUE(CopyFileW((WindowsPathOf(VEMORA_PLANTED_DLLS) + L"\\" + name).c_str(),
                              (folder.Path() + L"\\" + name).c_str(), TRUE));
    {
        const NativeFirstForVemora nativeFirst;
        ASSERT_TRUE(nativeFirst.Set());
        ExternalVemora vemora;
        const bool started = vemora.Start(program);
        EXPECT_TRUE(started);
        if (started) {
            EXPECT_TRUE(vemora.Create());
            EXPECT_EQ(vemora.Save(), L"你已成功保存二维码图片！");
            EXPECT_TRUE(vemora.Close());
            const auto saved = FolderEntries(pictures);
            ASSERT_EQ(saved.size(), 1u);
            std::string decoded;
            EXPECT_TRUE(
                ExternalVemora::PictureHoldsStartText(pictures + L"\\" + saved[0], &decoded))
                << decoded;
        }
    }
    for (const wchar_t* name : PlantedNames) {
        const std::wstring planted = folder.Path() + L"\\" + name;
        EXPECT_FALSE(FileExists(planted + L".loaded")) << Utf8(name) << " was loaded";
    }
}

} // namespace
