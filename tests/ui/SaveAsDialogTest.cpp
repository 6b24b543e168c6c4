// "另存为…" and "打开图片文件夹" of the symbol's menu, driven as a user would:
// the system's Save dialog found from a second thread, a name typed, a type
// and a module size chosen, Save or Cancel pressed, the question before
// replacing a file answered; the files read back by ZXing-cpp and zbar.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "FormDriver.h"

namespace {

const std::string StartBytes =
    "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n";

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool IsKind(HWND window, const wchar_t* kind) { return _wcsicmp(ClassOf(window).c_str(), kind) == 0; }

// A visible "#32770" of thread: the Save dialog (it has combo boxes) or a
// message box (it has none).
HWND FindDialog(DWORD thread, bool fileDialog)
{
    std::pair<HWND, bool> search{nullptr, fileDialog};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM lParam) {
            auto& [found, wantFileDialog] = *reinterpret_cast<std::pair<HWND, bool>*>(lParam);
            if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
            bool combos = false;
            for (HWND child : Descendants(window)) combos = combos || IsKind(child, L"ComboBox");
            if (combos == wantFileDialog) found = window;
            return found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.first;
}

// Waits up to ten seconds for find to answer a window, or until stop is set.
HWND WaitFor(const std::function<HWND()>& find, const std::atomic<bool>& stop)
{
    for (int i = 0; i < 500 && !stop; ++i) {
        if (HWND window = find()) return window;
        Sleep(20);
    }
    return nullptr;
}

HWND ChildWith(HWND dialog, const wchar_t* kind, const std::function<bool(HWND)>& test)
{
    for (HWND child : Descendants(dialog))
        if (IsKind(child, kind) && IsWindowVisible(child) && test(child)) return child;
    return nullptr;
}

HWND ComboWithItem(HWND dialog, const wchar_t* item)
{
    return ChildWith(dialog, L"ComboBox", [&](HWND combo) {
        return SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(item)) != CB_ERR;
    });
}

// Chooses an item as a click in the list does: the selection, then the
// notification to the list's parent.
void ChooseItem(HWND dialog, const wchar_t* item)
{
    HWND combo = ComboWithItem(dialog, item);
    ASSERT_NE(combo, nullptr) << Narrow(item);
    SendMessageW(combo, CB_SETCURSEL,
                 SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(item)), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 LPARAM(combo));
}

void Press(HWND dialog, int id)
{
    const std::atomic<bool> never{false};
    HWND button = WaitFor(
        [&] {
            return ChildWith(dialog, L"Button", [&](HWND b) { return GetDlgCtrlID(b) == id; });
        },
        never);
    ASSERT_NE(button, nullptr) << "button " << id;
    PostMessageW(button, BM_CLICK, 0, 0);
}

// Types name into the dialog's file name box, which holds suggested.
void TypeName(HWND dialog, const std::wstring& suggested, const std::wstring& name)
{
    HWND edit = ChildWith(dialog, L"Edit", [&](HWND e) { return TextOf(e) == suggested; });
    ASSERT_NE(edit, nullptr) << "no file name box holding " << Narrow(suggested);
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(name.c_str()));
}

std::string FileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

} // namespace

class SaveAsDialogTest : public FormTest {
protected:
    static constexpr wchar_t Suggested[] = L"21时05分03秒 .png";

    // Runs "另存为…" with user acting on the dialog from a second thread;
    // the box that follows the dialog is read and its OK pressed.
    std::wstring SaveAs(const std::function<void(HWND dialog, DWORD ui)>& user)
    {
        std::atomic<bool> done{false};
        std::wstring boxText;
        const DWORD ui = GetCurrentThreadId();
        const bool failedBefore = HasFailure();
        std::thread watcher([&] {
            HWND dialog = WaitFor([&] { return FindDialog(ui, true); }, done);
            if (!dialog) return;
            seenDialog_ = true;
            user(dialog, ui);
            if (HasFailure() && !failedBefore) return EndEverything(ui);
            HWND box = WaitFor([&] { return FindDialog(ui, false); }, done);
            if (!box) return;
            for (HWND child : Descendants(box))
                if (IsKind(child, L"Static") && !TextOf(child).empty()) boxText = TextOf(child);
            Press(box, IDOK);
        });
        SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(Form1::mnuSaveAsId, 0), 0);
        Pump();
        done = true;
        watcher.join();
        Pump();
        return boxText;
    }

    // After a failure on the watcher's side: every dialog and box of the
    // thread ended, so that the test goes on to report it.
    static void EndEverything(DWORD ui)
    {
        for (int i = 0; i < 100; ++i) {
            HWND box = FindDialog(ui, false);
            HWND dialog = box ? box : FindDialog(ui, true);
            if (!dialog) return;
            for (const int id : {IDNO, IDOK, IDCANCEL})
                PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
            Sleep(50);
        }
    }

    // Types name, chooses type and module size, presses Save.
    std::wstring SaveAsNamed(const std::wstring& name, const wchar_t* type, const wchar_t* size)
    {
        return SaveAs([&](HWND dialog, DWORD) {
            ChooseItem(dialog, type);
            if (size) ChooseItem(dialog, size);
            TypeName(dialog, ExpectedName(type), name);
            Press(dialog, IDOK);
        });
    }
    // The suggested name once type is chosen: its ending follows the type.
    static std::wstring ExpectedName(const wchar_t* type)
    {
        return std::wstring(L"21时05分03秒 ") + (std::wcsstr(type, L"svg") ? L".svg" : L".png");
    }

    bool seenDialog_ = false;
};

TEST_F(SaveAsDialogTest, EachTypeIsSavedUnderTheTypedNameInANewFolder)
{
    ASSERT_TRUE(Create());
    const std::wstring folder = programFolder_ + L"\\新文件夹";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_EQ(SaveAsNamed(folder + L"\\高清", L"高清 PNG 图片 (*.png)", L"1.0 mm"),
              L"你已成功保存二维码图片！");
    EXPECT_EQ(SaveAsNamed(folder + L"\\矢量", L"SVG 矢量图 (*.svg)", L"0.25 mm"),
              L"你已成功保存二维码图片！");
    EXPECT_EQ(SaveAsNamed(folder + L"\\屏幕", L"屏幕图片 PNG (*.png)", nullptr),
              L"你已成功保存二维码图片！");
    EXPECT_TRUE(seenDialog_);

    // Print PNG at 1 mm a module: k pixels a module, k * 1000 pixels a metre.
    const std::string print = FileBytes(folder + L"\\高清.png");
    ASSERT_EQ(print.substr(1, 3), "PNG");
    ScopedBitmap printed = LoadPng(folder + L"\\高清.png");
    int width = 0, height = 0;
    BitmapPixels(printed.get(), &width, &height);
    int side = 0, ignored = 0; // Image1: one pixel a module, margin included
    BitmapPixels(Image1Bitmap(), &side, &ignored);
    const auto dpi = PngDotsPerInch(folder + L"\\高清.png");
    ASSERT_TRUE(dpi);
    EXPECT_NEAR(width / dpi->first * 25.4, side * 1.0, 0.001) << "mm wide";
    // SVG at 0.25 mm.
    const std::string svg = FileBytes(folder + L"\\矢量.svg");
    const std::size_t at = svg.find(" width=\"");
    ASSERT_NE(at, std::string::npos);
    EXPECT_DOUBLE_EQ(std::atof(svg.c_str() + at + 8), side * 0.25) << svg.substr(0, 300);
    // The box's picture as it shows on screen.
    ScopedBitmap screen = LoadPng(folder + L"\\屏幕.png");
    BitmapPixels(screen.get(), &width, &height);
    EXPECT_EQ(width, 329);

    std::vector<GreyImage> pictures{*BitmapToGrey(printed.get()), *BitmapToGrey(screen.get())};
    for (const QrReading& reading : ReadBackAll(pictures)) {
        EXPECT_EQ(reading.zxing.value_or("(none)"), StartBytes);
        EXPECT_EQ(reading.zbar.value_or("(none)"), StartBytes);
    }
    const QrReading fromSvg = ReadBackSvgFiles({folder + L"\\矢量.svg"})[0];
    EXPECT_EQ(fromSvg.zxing.value_or("(none)"), StartBytes);
    EXPECT_EQ(fromSvg.zbar.value_or("(none)"), StartBytes);
}

TEST_F(SaveAsDialogTest, CancelSavesNothingAndANameAloneGoesIntoThePictureFolder)
{
    ASSERT_TRUE(Create());
    EXPECT_EQ(SaveAs([&](HWND dialog, DWORD) { Press(dialog, IDCANCEL); }), L"");
    EXPECT_TRUE(seenDialog_);
    EXPECT_TRUE(SavedFiles().empty());
    // The suggested name as it stands: the time of day in the save folder.
    EXPECT_EQ(SaveAs([&](HWND dialog, DWORD) { Press(dialog, IDOK); }), L"你已成功保存二维码图片！");
    EXPECT_EQ(SavedFiles(), std::vector<std::wstring>{Suggested});
}

TEST_F(SaveAsDialogTest, WithoutTheSaveFolderItOpensInPictures)
{
    ASSERT_TRUE(Create());
    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));
    wchar_t* pictures = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &pictures)));
    const std::wstring file = std::wstring(pictures) + L"\\vemora-saveas-" +
                              std::to_wstring(GetCurrentProcessId()) + L".svg";
    CoTaskMemFree(pictures);
    const std::wstring name = file.substr(file.rfind(L'\\') + 1);
    EXPECT_EQ(SaveAsNamed(name.substr(0, name.size() - 4), L"SVG 矢量图 (*.svg)", nullptr),
              L"你已成功保存二维码图片！");
    EXPECT_EQ(FileBytes(file).substr(0, 5), "<?xml");
    DeleteFileW(file.c_str());
}

TEST_F(SaveAsDialogTest, AFileIsReplacedOnlyWhenTheDialogsQuestionIsAnsweredYes)
{
    ASSERT_TRUE(Create());
    const std::wstring taken = SaveFolder() + L"\\已有.svg";
    HANDLE file = CreateFileW(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "keep", 4, &written, nullptr);
    CloseHandle(file);

    for (const int answer : {IDNO, IDYES}) {
        std::wstring question;
        const std::wstring box = SaveAs([&](HWND dialog, DWORD ui) {
            ChooseItem(dialog, L"SVG 矢量图 (*.svg)");
            TypeName(dialog, ExpectedName(L"svg"), taken);
            Press(dialog, IDOK);
            const std::atomic<bool> never{false};
            HWND ask = WaitFor([&] { return FindDialog(ui, false); }, never);
            ASSERT_NE(ask, nullptr) << "no question before replacing";
            for (HWND child : Descendants(ask))
                if (IsKind(child, L"Static") && !TextOf(child).empty()) question = TextOf(child);
            Press(ask, answer);
            // Gone before anything else is looked for; after No the user is
            // back in the dialog and cancels it.
            while (IsWindow(ask) && IsWindowVisible(ask)) Sleep(10);
            if (answer == IDNO) Press(dialog, IDCANCEL);
        });
        EXPECT_FALSE(question.empty()) << "the dialog's own question";
        if (answer == IDNO) {
            EXPECT_EQ(box, L"");
            EXPECT_EQ(FileBytes(taken), "keep");
        } else {
            EXPECT_EQ(box, L"你已成功保存二维码图片！");
            EXPECT_EQ(ReadBackSvgFiles({taken})[0].zxing.value_or("(none)"), StartBytes);
        }
    }
}

TEST_F(SaveAsDialogTest, TheSkinDrawsTheDialogsControlsAndLeavesItWorking)
{
    ASSERT_TRUE(Create());
    int skinnedButtons = 0, unpainted = 0, checked = 0, panes = 0;
    std::string list, skinnedInPanes;
    EXPECT_EQ(SaveAs([&](HWND dialog, DWORD) {
                  for (int i = 0; i < 250 && !GetPropA(dialog, "PROCADDR"); ++i) Sleep(20);
                  SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
                  Sleep(500); // the fades and repaints settle
                  RECT frame{};
                  GetWindowRect(dialog, &frame);
                  const std::vector<DWORD> shot =
                      SaveScreen(frame, VEMORA_UI_SCREENSHOT_DIR "/SaveAsDialog.png");
                  const int width = frame.right - frame.left;
                  for (HWND child : Descendants(dialog)) {
                      const bool button = IsKind(child, L"Button");
                      if (!IsWindowVisible(child) || TextOf(child).empty() ||
                          !(button || IsKind(child, L"ComboBox") || IsKind(child, L"Static")))
                          continue;
                      skinnedButtons += button && GetPropA(child, "PROCADDR");
                      RECT area{};
                      GetWindowRect(child, &area);
                      // A drawn control with a text shows more than one colour.
                      DWORD first = 0;
                      bool varied = false;
                      for (LONG y = area.top; y < area.bottom && !shot.empty(); ++y)
                          for (LONG x = area.left; x < area.right; ++x) {
                              const DWORD pixel = shot[static_cast<std::size_t>(y - frame.top) * width +
                                                       (x - frame.left)];
                              if (x == area.left && y == area.top) first = pixel;
                              varied = varied || pixel != first;
                          }
                      ++checked;
                      if (!varied) {
                          ++unpainted;
                          list += Narrow(ClassOf(child) + L" " + TextOf(child)) + "; ";
                      }
                  }
                  // The Explorer panes are the shell's own windows: neither they
                  // nor anything inside them carries the skin.
                  for (HWND child : Descendants(dialog)) {
                      if (!IsKind(child, L"SHELLDLL_DefView") &&
                          !IsKind(child, L"ExplorerBrowserControl") &&
                          !IsKind(child, L"NamespaceTreeControl") &&
                          !IsKind(child, L"DirectUIHWND") && !IsKind(child, L"DUIViewWndClassName"))
                          continue;
                      ++panes;
                      std::vector<HWND> inside = Descendants(child);
                      inside.push_back(child);
                      for (HWND window : inside)
                          if (GetPropA(window, "PROCADDR"))
                              skinnedInPanes += Narrow(ClassOf(window)) + "; ";
                  }
                  Press(dialog, IDOK); // still works under the skin
              }),
              L"你已成功保存二维码图片！");
    EXPECT_GE(skinnedButtons, 2) << "Save and Cancel in the skin's look";
    EXPECT_GT(checked, 4);
    EXPECT_EQ(unpainted, 0) << list;
    EXPECT_GT(panes, 0) << "no Explorer pane found in the dialog";
    EXPECT_EQ(skinnedInPanes, "") << "skinned inside the Explorer panes";
    EXPECT_EQ(SavedFiles().size(), 1u);
}

TEST_F(SaveAsDialogTest, ThePictureFolderOpensOrItsAbsenceIsNamed)
{
    // Always on the menu, symbol or not.
    const SeenMenu menu = ExpectMenu(
        [&] { SendMessageW(Form(), WM_CONTEXTMENU, WPARAM(Item(Form1::Pic2Id)), MAKELPARAM(-1, -1)); },
        Form1::mnuOpenFolderId);
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_EQ(menu.items[3].text, L"另存为…");
    EXPECT_TRUE(menu.items[3].grey);
    EXPECT_EQ(menu.items[4].text, L"打开图片文件夹");
    EXPECT_FALSE(menu.items[4].grey);
    EXPECT_FALSE(menu.box.seen);
    EXPECT_EQ(openedFolders_, std::vector<std::wstring>{SaveFolder()});

    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));
    const SeenBox box = ExpectBox(
        [&] { SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(Form1::mnuOpenFolderId, 0), 0); });
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_NE(box.text.find(L"“" + SaveFolder() + L"”"), std::wstring::npos) << Narrow(box.text);
    EXPECT_EQ(openedFolders_.size(), 1u);
}

TEST(SaveAsDialogFolder, TheSystemsFileManagerShowsTheFolder)
{
    // The real service: a window of another process (the file manager)
    // appears with the folder's name in its title.
    const TempFolder folder(L"open-folder");
    const std::wstring name = folder.Path().substr(folder.Path().rfind(L'\\') + 1);
    ASSERT_TRUE(DefaultFormServices().openFolder(folder.Path()));
    const std::atomic<bool> never{false};
    std::pair<const std::wstring*, HWND> search{&name, nullptr};
    WaitFor(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM lParam) {
                    auto& [wanted, found] = *reinterpret_cast<std::pair<const std::wstring*, HWND>*>(lParam);
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process != GetCurrentProcessId() && IsWindowVisible(window) &&
                        TextOf(window).find(*wanted) != std::wstring::npos)
                        found = window;
                    return found ? FALSE : TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.second;
        },
        never);
    ASSERT_NE(search.second, nullptr) << "no file manager window for " << Narrow(folder.Path());
    std::printf("file manager: %s \"%s\"\n", Narrow(ClassOf(search.second)).c_str(),
                Narrow(TextOf(search.second)).c_str());
    PostMessageW(search.second, WM_CLOSE, 0, 0);
}
