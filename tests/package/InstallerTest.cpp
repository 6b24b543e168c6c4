// The per-user installer, run silently under Wine as a user would run it from
// a script: what it puts in place, the installed program at work, and what
// the uninstaller takes away and what it must leave (the saved pictures);
// the work it must refuse (a running program, a locked file, a bad folder, a
// second installation), and its pages as a user sees them.
// Every test starts from a system without Vemora and ends uninstalled.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "ExternalVemora.h"
#include "FormDriver.h"
#include "PackageFiles.h"

#ifndef VEMORA_SETUP
#error "VEMORA_SETUP must name the installer (a Unix path)"
#endif
#ifndef VEMORA_VERSION
#error "VEMORA_VERSION must give the project's version"
#endif
#ifndef VEMORA_INSTALLER_SCREENSHOT_DIR
#error "VEMORA_INSTALLER_SCREENSHOT_DIR must name the folder for the page screenshots"
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

// The first descendant of a window with the class name.
HWND DescendantOfClass(HWND window, const wchar_t* className)
{
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t name[64] = L"";
            GetClassNameW(child, name, 64);
            if (_wcsicmp(name, s->className) != 0) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressOk(HWND dialog)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

// The installer's exit codes beside NSIS's own.
constexpr DWORD ExitBadFolder = 3;
constexpr DWORD ExitRunning = 4;
constexpr DWORD ExitOtherInstallation = 5;
constexpr DWORD ExitFileFailed = 6;

// Whether any of the texts contains part.
bool AnyContains(const std::vector<std::wstring>& texts, const std::wstring& part)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::wstring& text) { return text.find(part) != std::wstring::npos; });
}

// A screenshot of a window, kept in the build tree.
void Screenshot(HWND window, const char* name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT area{};
    GetWindowRect(window, &area);
    EXPECT_FALSE(SaveScreen(area, std::string(VEMORA_INSTALLER_SCREENSHOT_DIR) + "/" + name).empty())
        << name;
}

// Holds a file open without sharing, as another program might.
ScopedHandle Lock(const std::wstring& file)
{
    return ScopedHandle(
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

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
    static std::wstring PictureShortcut()
    {
        return KnownFolder(FOLDERID_Programs) + L"\\" + PictureFolderName + L".lnk";
    }

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
        // copy, which does the work: wait for both. Under Wine the copy has
        // once been seen not to end within two minutes in a full test run
        // (never alone); a run that did not end is ended and the uninstall
        // run again while its uninstaller is still there. Either way what
        // the caller checks afterwards is what an uninstall must leave.
        std::optional<DWORD> code = RunAndWaitForTree(Uninstaller(), L"/S");
        if (!code && FileExists(Uninstaller())) {
            std::fprintf(stderr, "the uninstaller did not end; it is run once more\n");
            code = RunAndWaitForTree(Uninstaller(), L"/S");
        }
        if (code) {
            ASSERT_EQ(*code, 0u);
        }
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
        EXPECT_FALSE(FileExists(PictureShortcut()));
        EXPECT_FALSE(UserRegistryKeyExists(UninstallKey));
    }
    // Starts the uninstaller by hand and presses "Uninstall" on its
    // confirmation page. The uninstaller starts its copy in the temporary
    // folder, which does the work: its handle (empty when it did not come up)
    // and window. The next box it opens is found with OwnedBox.
    static ScopedHandle StartConfirmedUninstall(HWND* wizard)
    {
        DWORD starter = 0;
        ScopedHandle uninstaller = StartProcess(Uninstaller(), L"", &starter);
        if (!uninstaller || WaitForSingleObject(uninstaller.get(), 60000) != WAIT_OBJECT_0)
            return ScopedHandle();
        std::vector<ScopedHandle> copies = RunningChildrenOf(starter);
        if (copies.size() != 1) return ScopedHandle();
        *wizard = WaitForDialogOf(GetProcessId(copies[0].get()),
                                  [](HWND window) { return !GetWindow(window, GW_OWNER); });
        if (!*wizard) return ScopedHandle();
        PressOk(*wizard);
        return std::move(copies[0]);
    }
    static HWND OwnedBox(const ScopedHandle& copy, HWND wizard)
    {
        return WaitForDialogOf(GetProcessId(copy.get()), [wizard](HWND window) {
            return GetWindow(window, GW_OWNER) == wizard;
        });
    }
    // Closes the wizard once its work has ended (the last page's button, or
    // Cancel, the only one left after an abort; both are disabled while it
    // works); its exit code.
    static std::optional<DWORD> CloseWhenDone(const ScopedHandle& copy, HWND wizard)
    {
        for (int tries = 0; tries < 600 && WaitForSingleObject(copy.get(), 100) == WAIT_TIMEOUT;
             ++tries)
            if (IsWindowEnabled(GetDlgItem(wizard, IDOK))) PressOk(wizard);
            else if (IsWindowEnabled(GetDlgItem(wizard, IDCANCEL)))
                PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(wizard, IDCANCEL)));
        DWORD code = 0;
        if (WaitForSingleObject(copy.get(), 0) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(copy.get(), &code))
            return std::nullopt;
        return code;
    }

    // Everything an installation puts in place is still there.
    static void ExpectInstalled()
    {
        EXPECT_TRUE(FileExists(Program()));
        EXPECT_TRUE(FileExists(Uninstaller()));
        EXPECT_TRUE(FileExists(Shortcut()));
        EXPECT_TRUE(FileExists(PictureShortcut()));
        EXPECT_TRUE(UserRegistryKeyExists(UninstallKey));
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
    const auto pictures = ShortcutTarget(PictureShortcut());
    ASSERT_TRUE(pictures.has_value()) << "no Start-menu shortcut to the pictures";
    EXPECT_TRUE(SamePath(*pictures, PictureFolder())) << Utf8(*pictures);

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

    // Uninstalled by hand: confirmed, then it reports the kept folder.
    HWND wizard = nullptr;
    const ScopedHandle copy = StartConfirmedUninstall(&wizard);
    ASSERT_TRUE(copy) << "no uninstaller window";
    HWND box = OwnedBox(copy, wizard);
    ASSERT_NE(box, nullptr) << "no message about the kept folder";
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    PressOk(box);
    // Two lines in the box: the notice, then the folder.
    EXPECT_NE(std::wstring(text).find(L"\r\n" + PictureFolder()), std::wstring::npos) << Utf8(text);

    // Once the work is done, the log says the same on two lines of its own.
    for (int tries = 0; tries < 600 && !IsWindowEnabled(GetDlgItem(wizard, IDOK)); ++tries) Sleep(100);
    const std::vector<std::wstring> log = ListViewItems(DescendantOfClass(wizard, L"SysListView32"));
    Screenshot(wizard, "Uninstaller-log.png");
    const auto folderLine = std::find(log.begin(), log.end(), PictureFolder());
    ASSERT_NE(folderLine, log.end()) << "the log does not name the kept folder on a line of its own";
    ASSERT_NE(folderLine, log.begin());
    EXPECT_EQ(std::wstring(text).substr(0, std::wstring(text).find(L"\r\n")), *(folderLine - 1));
    for (const std::wstring& line : log)
        EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos) << Utf8(line);

    EXPECT_EQ(CloseWhenDone(copy, wizard), 0u);
    ExpectUninstalled();
    EXPECT_TRUE(FileExists(picture));
}

TEST_F(InstallerTest, RunningProgramStopsInstallAndUninstallUntilItIsClosed)
{
    Install();
    {
        ExternalVemora vemora;
        ASSERT_TRUE(vemora.Start(Program()));
        EXPECT_EQ(RunAndWait(Installer, L"/S"), ExitRunning);
        EXPECT_EQ(RunAndWaitForTree(Uninstaller(), L"/S"), ExitRunning);
        ExpectInstalled();
        EXPECT_TRUE(vemora.Close());
    }
    Install();
    Uninstall();
    ExpectUninstalled();
}

TEST_F(InstallerTest, UninstallerAsksToCloseTheRunningProgramAndRetries)
{
    Install();
    ExternalVemora vemora;
    ASSERT_TRUE(vemora.Start(Program()));
    // Cancel: nothing is removed, and the exit code says why.
    HWND wizard = nullptr;
    ScopedHandle copy = StartConfirmedUninstall(&wizard);
    ASSERT_TRUE(copy) << "no uninstaller window";
    HWND box = OwnedBox(copy, wizard);
    ASSERT_NE(box, nullptr) << "no question about the running program";
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    EXPECT_NE(std::wstring(text).find(Program()), std::wstring::npos) << Utf8(text);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(CloseWhenDone(copy, wizard), ExitRunning);
    ExpectInstalled();

    // Retry once the program has been closed: the uninstallation goes on.
    copy = StartConfirmedUninstall(&wizard);
    ASSERT_TRUE(copy) << "no uninstaller window";
    box = OwnedBox(copy, wizard);
    ASSERT_NE(box, nullptr) << "no question about the running program";
    EXPECT_TRUE(vemora.Close());
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
    EXPECT_EQ(CloseWhenDone(copy, wizard), 0u);
    ExpectUninstalled();
}

TEST_F(InstallerTest, FileThatCannotBeReplacedOrDeletedFailsWithNothingLost)
{
    Install();
    {
        // Held open without sharing, as a program started under another name
        // of the folder or a virus scanner might hold it.
        const ScopedHandle lock = Lock(Program());
        ASSERT_TRUE(lock);
        EXPECT_EQ(RunAndWait(Installer, L"/S"), ExitFileFailed) << "the old program is still in place";
        EXPECT_EQ(RunAndWaitForTree(Uninstaller(), L"/S"), ExitFileFailed);
        ExpectInstalled();
    }
    Uninstall();
    ExpectUninstalled();
}

TEST_F(InstallerTest, SilentInstallIntoAnInvalidFolderFailsAndInstallsNothing)
{
    wchar_t missing = L'Z';
    while (missing > L'D' && (GetLogicalDrives() & (1u << (missing - L'A')))) --missing;
    const std::vector<std::wstring> folders{
        L"C:\\", std::wstring(1, missing) + L":\\Vemora", L"Programs\\Vemora",
        L"C:\\Programs\\Ve|mora", InstallFolder() + L"\\..\\Vemora.exe?"};
    for (const std::wstring& folder : folders) {
        EXPECT_EQ(RunAndWait(Installer, L"/S /D=" + folder), ExitBadFolder) << Utf8(folder);
        EXPECT_FALSE(UserRegistryKeyExists(UninstallKey)) << Utf8(folder);
    }
    EXPECT_FALSE(FileExists(Shortcut()));
}

TEST_F(InstallerTest, SecondInstallationInAnotherFolderIsRefused)
{
    Install();
    const TempFolder other(L"second-installation");
    const std::wstring elsewhere = other.Path() + L"\\Vemora";
    EXPECT_EQ(RunAndWait(Installer, L"/S /D=" + elsewhere), ExitOtherInstallation);
    EXPECT_FALSE(FolderExists(elsewhere));
    const auto location = UserRegistryString(UninstallKey, L"InstallLocation");
    ASSERT_TRUE(location.has_value());
    EXPECT_TRUE(SamePath(*location, InstallFolder()));
    ExpectInstalled();
    Uninstall();
    ExpectUninstalled();
}

TEST_F(InstallerTest, InteractiveInstallSpeaksInTheProgramsOwnWords)
{
    DWORD id = 0;
    ScopedHandle installer = StartProcess(Installer, L"", &id);
    ASSERT_TRUE(installer);
    HWND wizard = WaitForDialogOf(id, [](HWND window) { return !GetWindow(window, GW_OWNER); });
    ASSERT_NE(wizard, nullptr) << "no installer window";
    auto waitForText = [wizard](const std::wstring& part) {
        for (int tries = 0; tries < 600; ++tries, Sleep(100))
            if (AnyContains(DescendantTexts(wizard), part)) return true;
        return false;
    };

    // Welcome: the branding line is the program's, the text says where the
    // pictures go, and no stock advice about system files is left.
    ASSERT_TRUE(waitForText(PictureFolderName));
    const std::vector<std::wstring> welcome = DescendantTexts(wizard);
    EXPECT_TRUE(AnyContains(welcome, L"Vemora " + Widen(VEMORA_VERSION)));
    EXPECT_FALSE(AnyContains(welcome, L"Nullsoft"));
    EXPECT_FALSE(AnyContains(welcome, L"系统文件"));
    Screenshot(wizard, "Installer-1-welcome.png");

    PressOk(wizard);
    ASSERT_TRUE(waitForText(InstallFolder()));
    Screenshot(wizard, "Installer-2-folder.png");

    // Installing, then the finish page names the picture folder.
    PressOk(wizard);
    ASSERT_TRUE(waitForText(PictureFolder()));
    Screenshot(wizard, "Installer-3-finish.png");
    EnumChildWindows(
        wizard,
        [](HWND child, LPARAM) {
            // Not "start Vemora now": the test starts nothing.
            if (SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED)
                SendMessageW(child, BM_SETCHECK, BST_UNCHECKED, 0);
            return TRUE;
        },
        0);
    PressOk(wizard);
    ASSERT_EQ(WaitForSingleObject(installer.get(), 60000), WAIT_OBJECT_0);
    ExpectInstalled();
    Uninstall();
    ExpectUninstalled();
}

} // namespace
