// The per-user installer, run silently under Wine as a user would run it from
// a script: what it puts in place, the installed program at work, and what
// the uninstaller takes away and what it must leave (the saved pictures).
// Every test starts from a system without Vemora and ends uninstalled.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ExternalVemora.h"
#include "PackageFiles.h"

#ifndef VEMORA_SETUP
#error "VEMORA_SETUP must name the installer (a Unix path)"
#endif
#ifndef VEMORA_VERSION
#error "VEMORA_VERSION must give the project's version"
#endif

namespace {

const std::wstring Installer = WindowsPathOf(VEMORA_SETUP);
const std::wstring UninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemora";
constexpr wchar_t PictureFolderName[] = L"二维码图片";

// The first visible dialog window ("#32770") of a process that match accepts.
template <typename Match>
HWND WaitForDialogOf(DWORD processId, Match match)
{
    struct Search {
        DWORD processId;
        Match* match;
        HWND found;
    } search{processId, &match, nullptr};
    for (int tries = 0; tries < 1200 && !search.found; ++tries) {
        EnumWindows(
            [](HWND window, LPARAM lParam) {
                auto* s = reinterpret_cast<Search*>(lParam);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t name[16] = L"";
                GetClassNameW(window, name, 16);
                if (owner != s->processId || !IsWindowVisible(window) ||
                    wcscmp(name, L"#32770") != 0 || !(*s->match)(window))
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(50);
    }
    return search.found;
}

void PressOk(HWND dialog)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

class InstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(Installer)) << "no installer; build the target vemora_package";
        // A run that failed half-way may have left an installation behind.
        if (FileExists(Uninstaller())) RunAndWaitForTree(Uninstaller(), L"/S");
        RemoveTree(InstallFolder());
        DeleteFileW(Shortcut().c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, UninstallKey.c_str());
    }

    static std::wstring InstallFolder()
    {
        return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Vemora";
    }
    static std::wstring Program() { return InstallFolder() + L"\\Vemora.exe"; }
    static std::wstring Uninstaller() { return InstallFolder() + L"\\uninstall.exe"; }
    static std::wstring PictureFolder() { return InstallFolder() + L"\\" + PictureFolderName; }
    static std::wstring Shortcut() { return KnownFolder(FOLDERID_Programs) + L"\\Vemora.lnk"; }

    static void Install()
    {
        const auto code = RunAndWait(Installer, L"/S");
        ASSERT_TRUE(code.has_value()) << "the installer did not start or did not end";
        ASSERT_EQ(*code, 0u);
    }
    static void Uninstall()
    {
        ASSERT_TRUE(FileExists(Uninstaller()));
        // The uninstaller copies itself to the temporary folder and runs the
        // copy, which does the work: wait for both.
        ASSERT_TRUE(RunAndWaitForTree(Uninstaller(), L"/S"));
    }

    // Starts the installed program, creates the start text's symbol and
    // saves it; the name of the new picture.
    static std::wstring CreateAndSaveWithInstalledProgram()
    {
        const auto before = FolderEntries(PictureFolder());
        ExternalVemora vemora;
        if (!vemora.Start(Program())) return L"(the installed program did not start)";
        if (!vemora.Create()) return L"(Create opened a message box)";
        const std::wstring answer = vemora.Save();
        if (answer != L"你已成功保存二维码图片！") return L"(Save answered: " + answer + L")";
        if (!vemora.Close()) return L"(the program did not end cleanly)";
        for (const std::wstring& name : FolderEntries(PictureFolder()))
            if (std::find(before.begin(), before.end(), name) == before.end()) return name;
        return L"(no new file)";
    }

    static void ExpectStartTextSymbol(const std::wstring& picture)
    {
        std::string decoded;
        EXPECT_TRUE(
            ExternalVemora::PictureHoldsStartText(PictureFolder() + L"\\" + picture, &decoded))
            << decoded;
    }

    static void ExpectUninstalled()
    {
        EXPECT_FALSE(FileExists(Program()));
        EXPECT_FALSE(FileExists(Uninstaller()));
        EXPECT_FALSE(FileExists(Shortcut()));
        EXPECT_FALSE(UserRegistryKeyExists(UninstallKey));
    }
};

TEST_F(InstallerTest, SilentInstallPutsProgramShortcutAndUninstallEntryInPlace)
{
    Install();
    EXPECT_TRUE(FileExists(Program()));
    EXPECT_TRUE(FileExists(Uninstaller()));
    EXPECT_TRUE(FolderExists(PictureFolder()));
    EXPECT_TRUE(FolderEntries(PictureFolder()).empty());

    const auto target = ShortcutTarget(Shortcut());
    ASSERT_TRUE(target.has_value()) << "no Start-menu shortcut";
    EXPECT_TRUE(SamePath(*target, Program())) << Utf8(*target);

    EXPECT_EQ(UserRegistryString(UninstallKey, L"DisplayName"), L"Vemora");
    EXPECT_EQ(UserRegistryString(UninstallKey, L"DisplayVersion"), Widen(VEMORA_VERSION));
    EXPECT_EQ(UserRegistryString(UninstallKey, L"Publisher"), L"Olvane");
    EXPECT_EQ(UserRegistryString(UninstallKey, L"DisplayIcon"), Program() + L",0");
    const auto location = UserRegistryString(UninstallKey, L"InstallLocation");
    ASSERT_TRUE(location.has_value());
    EXPECT_TRUE(SamePath(*location, InstallFolder()));
    EXPECT_EQ(UserRegistryString(UninstallKey, L"UninstallString"), L"\"" + Uninstaller() + L"\"");
    EXPECT_EQ(UserRegistryDword(UninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(UserRegistryDword(UninstallKey, L"NoRepair"), 1u);
    // The program's files in KiB (Windows shows it as the size).
    const auto estimated = UserRegistryDword(UninstallKey, L"EstimatedSize");
    ASSERT_TRUE(estimated.has_value());
    const ULONGLONG bytes = FileSize(Program()).value_or(0) + FileSize(Uninstaller()).value_or(0);
    EXPECT_NEAR(static_cast<double>(*estimated), static_cast<double>(bytes) / 1024.0, 2.0);

    Uninstall();
    ExpectUninstalled();
}

TEST_F(InstallerTest, InstalledProgramSavesPicturesThatReinstallAndUninstallKeep)
{
    Install();
    const std::wstring first = CreateAndSaveWithInstalledProgram();
    ExpectStartTextSymbol(first);

    // Installing over the installation keeps the picture, and the program
    // still saves beside itself.
    Install();
    EXPECT_TRUE(FileExists(PictureFolder() + L"\\" + first));
    const std::wstring second = CreateAndSaveWithInstalledProgram();
    ExpectStartTextSymbol(second);

    Uninstall();
    ExpectUninstalled();
    auto kept = FolderEntries(PictureFolder());
    std::sort(kept.begin(), kept.end());
    auto saved = std::vector<std::wstring>{first, second};
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(kept, saved) << "the uninstaller must keep exactly the saved pictures";
    ExpectStartTextSymbol(first);
    // Nothing but the picture folder is left of the installation.
    EXPECT_EQ(FolderEntries(InstallFolder()), std::vector<std::wstring>{PictureFolderName});
}

TEST_F(InstallerTest, InstallAndUninstallWithNothingSavedLeaveNothingBehind)
{
    Install();
    ASSERT_TRUE(FileExists(Program()));
    Uninstall();
    ExpectUninstalled();
    EXPECT_FALSE(FolderExists(InstallFolder()));

    // Twice over: a second round finds no remains of the first either.
    Install();
    Uninstall();
    ExpectUninstalled();
    EXPECT_FALSE(FolderExists(InstallFolder()));
}

TEST_F(InstallerTest, UninstallerSaysThatItKeepsThePictureFolder)
{
    Install();
    const std::wstring picture = PictureFolder() + L"\\21时05分03秒 .png";
    {
        ScopedHandle file(
            CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
    }

    // Uninstalled by hand: the uninstaller starts its copy in the temporary
    // folder, whose window asks to confirm, then reports the kept folder.
    DWORD starter = 0;
    ScopedHandle uninstaller = StartProcess(Uninstaller(), L"", &starter);
    ASSERT_TRUE(uninstaller);
    ASSERT_EQ(WaitForSingleObject(uninstaller.get(), 60000), WAIT_OBJECT_0);
    std::vector<ScopedHandle> copies = RunningChildrenOf(starter);
    ASSERT_EQ(copies.size(), 1u);
    const DWORD copy = GetProcessId(copies[0].get());

    HWND wizard = WaitForDialogOf(copy, [](HWND window) { return !GetWindow(window, GW_OWNER); });
    ASSERT_NE(wizard, nullptr) << "no uninstaller window";
    PressOk(wizard); // "Uninstall" on the confirmation page
    HWND box = WaitForDialogOf(
        copy, [wizard](HWND window) { return GetWindow(window, GW_OWNER) == wizard; });
    ASSERT_NE(box, nullptr) << "no message about the kept folder";
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    PressOk(box);
    EXPECT_NE(std::wstring(text).find(PictureFolder()), std::wstring::npos) << Utf8(text);

    // The last page closes once the work is done.
    for (int tries = 0; tries < 600 && WaitForSingleObject(copies[0].get(), 100) == WAIT_TIMEOUT;
         ++tries)
        if (IsWindowEnabled(GetDlgItem(wizard, IDOK))) PressOk(wizard);
    ASSERT_EQ(WaitForSingleObject(copies[0].get(), 0), WAIT_OBJECT_0);
    ExpectUninstalled();
    EXPECT_TRUE(FileExists(picture));
}

} // namespace
