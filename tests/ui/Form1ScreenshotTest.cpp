// Screenshots of the skinned main window, kept in the build folder for a
// person to look at: idle, the Create button hot, a list dropped down, and a
// message box. Each is checked for the part of the look it shows.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "FormDriver.h"
#include "SkinTypes.h"

namespace {

// Copies a rectangle of the screen into a PNG file in the build folder and
// returns the pixels as 0x00RRGGBB, top-down.
std::vector<DWORD> SaveScreen(const RECT& area, const char* name)
{
    return SaveScreen(area, std::string(VEMORA_UI_SCREENSHOT_DIR) + "/" + name);
}

DWORD Rgb(COLORREF colour)
{
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

class Form1Screenshot : public FormTest {
protected:
    RECT WindowArea() const
    {
        RECT area{};
        GetWindowRect(Form(), &area);
        return area;
    }
    void Settle()
    {
        RedrawWindow(Form(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        Pump();
    }
    // Runs the button's fade to its end at once (the skin's fade timer id is 1).
    void FinishFade(HWND button)
    {
        for (int tick = 0; tick < 100; ++tick) SendMessageW(button, WM_TIMER, 1, 0);
        Pump();
    }
    DWORD At(const std::vector<DWORD>& pixels, const RECT& area, HWND control, int dx, int dy) const
    {
        RECT r{};
        GetWindowRect(control, &r);
        return pixels[static_cast<std::size_t>(r.top - area.top + dy) * (area.right - area.left) +
                      (r.left - area.left + dx)];
    }
};

TEST_F(Form1Screenshot, IdleHotDroppedAndMessageBox)
{
    SetText(L"Vemora 二维码");
    ASSERT_TRUE(Create());
    SetForegroundWindow(Form());
    HWND create = Item(Form1::Command1Id);
    FinishFade(create);
    Settle();
    const RECT area = WindowArea();
    const std::vector<DWORD> idle = SaveScreen(area, "Form1-idle.png");
    ASSERT_FALSE(idle.empty());
    // The lists are framed flat in the frame colour.
    EXPECT_EQ(At(idle, area, List(0), 0, 0), Rgb(FrameColor));

    // The pointer over Create: the hot face fades in.
    MouseMove(create, {20, 12});
    FinishFade(create);
    Settle();
    const std::vector<DWORD> hot = SaveScreen(area, "Form1-button-hot.png");
    EXPECT_NE(At(hot, area, create, 36, 3), At(idle, area, create, 36, 3))
        << "the hot face differs from the normal one";
    EXPECT_EQ(At(hot, area, List(1), 0, 0), Rgb(FrameColor));
    SendMessageW(create, WM_MOUSELEAVE, 0, 0);
    FinishFade(create);

    // The version list dropped down: the list pops up framed.
    SendMessageW(List(0), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    ASSERT_TRUE(GetComboBoxInfo(List(0), &combo));
    ASSERT_TRUE(IsWindowVisible(combo.hwndList));
    RedrawWindow(combo.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    RECT dropped = area, list{};
    GetWindowRect(combo.hwndList, &list);
    UnionRect(&dropped, &area, &list);
    const std::vector<DWORD> shown = SaveScreen(dropped, "Form1-list-dropped.png");
    EXPECT_EQ(At(shown, dropped, combo.hwndList, 0, 0), Rgb(FrameColor))
        << "the dropped list is framed";
    EXPECT_NE(GetPropA(combo.hwndList, "PROCADDR"), nullptr) << "and skinned";
    SendMessageW(List(0), CB_SHOWDROPDOWN, FALSE, 0);
    Pump();

    // A message box (Copy with nothing created): photographed from a second
    // thread while its modal loop runs, then dismissed.
    SetText(L"");
    Select(0, 1);
    SetText(std::wstring(400, L'X'));
    std::atomic<bool> done{false};
    bool photographed = false, skinned = false;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread photographer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 2000 && !box && !done; ++i) {
            EnumThreadWindows(
                uiThread,
                [](HWND w, LPARAM found) {
                    wchar_t name[16] = L"";
                    GetClassNameW(w, name, 16);
                    if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) return TRUE;
                    *reinterpret_cast<HWND*>(found) = w;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (!box) Sleep(10);
        }
        if (!box) return;
        for (int i = 0; i < 200 && !GetPropA(box, "PROCADDR"); ++i) Sleep(10);
        skinned = GetPropA(box, "PROCADDR") != nullptr;
        Sleep(300); // let the box paint its skinned button
        RECT boxArea{};
        GetWindowRect(box, &boxArea);
        RECT both{};
        UnionRect(&both, &area, &boxArea);
        photographed = !SaveScreen(both, "Form1-message-box.png").empty();
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(create, BM_CLICK, 0, 0); // too long for version 1: the warning
    done = true;
    photographer.join();
    Pump();
    EXPECT_TRUE(photographed);
    EXPECT_TRUE(skinned);
}

} // namespace
