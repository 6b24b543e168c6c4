// Drives the real main window from a test: creates it with services the test
// controls, pumps its messages through the window's own keyboard handling,
// clicks, types, watches the message boxes it opens (real "#32770" dialogs,
// pressed from a second thread) and takes pictures of what it shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Form1.h"
#include "QrReadBack.h"
#include "ScopedWin.h"
#include "TempFolder.h"

// What a message box showed.
struct SeenBox {
    bool seen = false;
    std::wstring title;
    std::wstring text;
    enum class Icon { None, Warning, Information, Other } icon = Icon::None;
    int buttons = 0;      // push buttons in the box
    bool skinned = false; // the skin engine had attached it
    HWND owner = nullptr;
};

// What a popup menu ("#32768") showed, and the box that followed the item chosen.
struct SeenMenu {
    bool seen = false;
    struct Item {
        int id = 0;
        std::wstring text;
        bool grey = false;
    };
    std::vector<Item> items;
    SeenBox box; // after the chosen item, if it opened one
};

// UTF-8 for readable failure messages.
std::string Narrow(const std::wstring& text);

class FormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window (once per test, by SetUp unless a test
    // wants to change the services first: then call it itself).
    void OpenForm();

    HWND Form() const { return form_->Window(); }
    HWND Item(int id) const { return GetDlgItem(Form(), id); }
    HWND List(int index) const { return Item(Form1::Cmb1Id + index); }

    // Handles every queued message the way the program's loop does.
    void Pump();
    // A key press sent to the focused control (WM_KEYDOWN and WM_KEYUP posted
    // and pumped through the window's keyboard handling, which adds WM_CHAR).
    void PressKey(UINT virtualKey);
    // The same with a modifier (VK_CONTROL, VK_SHIFT) held down: the thread's
    // key state says it is down while the key's messages are handled.
    void PressKeyWith(UINT modifier, UINT virtualKey);
    // A left click at a point of the control's client area (the centre by default).
    void Click(HWND control, std::optional<POINT> at = std::nullopt);
    void DoubleClick(HWND control);
    void MouseMove(HWND control, POINT at = {2, 2});

    void SetText(const std::wstring& text);
    std::wstring Text() const;
    void Select(int list, int index);

    // Runs action (which must open exactly one message box on this thread),
    // reads the box from a second thread and presses its OK button. seen is
    // false when action ended without a box.
    SeenBox ExpectBox(const std::function<void()>& action);
    // Runs action, which may open any number of message boxes, nested or one
    // after another; a second thread presses OK on each as it appears, and
    // they come back in the order seen.
    std::vector<SeenBox> ExpectBoxes(const std::function<void()>& action);
    // Runs action, which must open a popup menu on this thread, reads the
    // menu from a second thread, then chooses the item with the id choose
    // with the arrow keys and Enter, or closes the menu with Esc when choose
    // is 0. A message box that the chosen item opens is read and pressed too.
    SeenMenu ExpectMenu(const std::function<void()>& action, int choose);
    // Runs action and fails the test if it opens a message box.
    void ExpectNoBox(const std::function<void()>& action);

    // Create with the current text and lists; true when no box came up.
    bool Create(SeenBox* box = nullptr);

    // What Pic2 shows, through WM_PRINTCLIENT, as a new 32-bit bitmap.
    ScopedBitmap Pic2Image() const;
    // Image1's bitmap (still owned by the window), or null.
    HBITMAP Image1Bitmap() const;

    // The save folder beside the (pretended) program.
    std::wstring SaveFolder() const { return programFolder_ + L"\\二维码图片"; }
    std::vector<std::wstring> SavedFiles() const;

    std::unique_ptr<Form1> form_;
    // The pretended program's folder: the test's own temporary folder unless
    // a test points it elsewhere for a while.
    std::optional<TempFolder> ownFolder_;
    std::wstring programFolder_;
    SYSTEMTIME now_{};
    std::vector<std::wstring> startedPrograms_;
    std::vector<std::wstring> openedFolders_; // through the file-manager service
    bool startAnswer_ = true;
    // While set, the symbol's picture cannot be made (as when GDI or OLE
    // refuse): the picture service answers null.
    bool pictureFails_ = false;
    // While set, the DPI the system is pretended to report for the window,
    // as after a move to a monitor of that scale (Wine never moves one).
    std::optional<UINT> monitorDpi_;
};

// Puts text on the clipboard as CF_UNICODETEXT, NUL characters and all;
// false when the clipboard was busy.
bool PutOnClipboard(HWND owner, const std::wstring& text);

// Decodes a PNG file with WIC into a 32-bit bitmap, or null.
ScopedBitmap LoadPng(const std::wstring& path);
// The resolution a PNG file states, as WIC reads it (dots per inch across
// and down), or nothing when WIC cannot read the file.
std::optional<std::pair<double, double>> PngDotsPerInch(const std::wstring& path);
// The file's first bytes.
std::string FileStart(const std::wstring& path, std::size_t count);

// Error-correction level (1 = L .. 4 = H) and mask read back from the format
// information of a one-pixel-per-module symbol picture with a four-module
// margin (ISO/IEC 18004, 7.9), both copies checked; nothing when they are not
// valid format words.
struct FormatInfo {
    int level;
    int mask;
};
std::optional<FormatInfo> ReadFormatInfo(HBITMAP symbol);

// Copies a rectangle of the screen into a PNG file (a Unix path of the build
// tree, reached through Wine's drive Z:) and returns its pixels as top-down
// 0x00RRGGBB values; empty when the screen could not be read.
std::vector<DWORD> SaveScreen(const RECT& area, const std::string& unixPngPath);
