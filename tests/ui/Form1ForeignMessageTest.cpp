// Messages that carry pointers or a DPI, sent to the window by another
// process (ForeignMessageSender.exe): the window never reads a pointer of
// another address space and follows no DPI change the system did not make.
#include "FormDriver.h"

#include "DpiMetrics.h"

namespace {

// An address no process of these tests has mapped.
constexpr LPARAM WildPointer = static_cast<LPARAM>(0x4141414141);

class Form1ForeignMessage : public FormTest {
protected:
    // Sends the message from another process; true when it was answered.
    bool SendFromOutside(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring sender(self);
        sender = sender.substr(0, sender.find_last_of(L"\\/") + 1) + L"ForeignMessageSender.exe";
        std::wstring commandLine = L"\"" + sender + L"\"";
        for (const auto value : {reinterpret_cast<ULONG_PTR>(window), ULONG_PTR{message},
                                 ULONG_PTR{wParam}, static_cast<ULONG_PTR>(lParam)})
            commandLine += L" " + std::to_wstring(value);
        STARTUPINFOW start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(sender.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &start, &process))
            return false;
        // The window's thread is this one: answer its messages meanwhile.
        while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 60000, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1)
            Pump();
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code == 0;
    }
};

TEST_F(Form1ForeignMessage, DpiChangesAreFollowedOnlyAsTheSystemReportsThem)
{
    ASSERT_TRUE(Create());
    // A scale whose frame still fits the screen.
    const UINT dpi = form_->Dpi(), other = dpi == 144 ? 120 : 144;
    RECT before{};
    GetWindowRect(Form(), &before);
    // A DPI the system does not report; then the one it reports, without a rectangle.
    EXPECT_TRUE(SendFromOutside(Form(), WM_DPICHANGED, MAKEWPARAM(other, other), WildPointer));
    monitorDpi_ = other;
    EXPECT_TRUE(SendFromOutside(Form(), WM_DPICHANGED, MAKEWPARAM(other, other), 0));
    RECT after{};
    GetWindowRect(Form(), &after);
    EXPECT_EQ(form_->Dpi(), dpi);
    EXPECT_TRUE(EqualRect(&before, &after));

    // Reported, with another process's pointer: the frame fits the new DPI
    // where the window is.
    EXPECT_TRUE(SendFromOutside(Form(), WM_DPICHANGED, MAKEWPARAM(other, other), WildPointer));
    EXPECT_EQ(form_->Dpi(), other);
    RECT frame{0, 0, ScaleToDpi(Form1::ClientWidth, other), ScaleToDpi(Form1::ClientHeight, other)};
    ASSERT_TRUE(AdjustWindowRectExForDpi(&frame, GetWindowLongW(Form(), GWL_STYLE), FALSE,
                                         GetWindowLongW(Form(), GWL_EXSTYLE), other));
    RECT box{};
    GetClientRect(Item(Form1::Pic2Id), &box);
    GetWindowRect(Form(), &after);
    EXPECT_EQ(after.right - after.left, frame.right - frame.left);
    EXPECT_EQ(after.bottom - after.top, frame.bottom - frame.top);
    EXPECT_EQ(box.right, ScaleToDpi(329, other));
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Form1ForeignMessage, PointersOfAnotherProcessAreNeverRead)
{
    const struct {
        int control; // 0: the window itself
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } sends[] = {
        {Form1::Pic2Id, WM_GETDLGCODE, VK_RETURN, WildPointer},
        {Form1::Text1Id, WM_GETDLGCODE, VK_TAB, WildPointer},
        {0, WM_CTLCOLORSTATIC, static_cast<WPARAM>(WildPointer), WildPointer},
        {0, WM_NCCREATE, 0, WildPointer},
        {Form1::Pic2Id, WM_NCCREATE, 0, WildPointer},
    };
    // Wine copies a creation message's CREATESTRUCT (not what it points to);
    // it copies WM_GETDLGCODE's MSG as well, so a wild one never leaves the
    // sender, and refuses a device context from another process. Whatever
    // arrives, the window answers and keeps working.
    for (const auto& send : sends) {
        HWND target = send.control ? Item(send.control) : Form();
        const bool delivered = SendFromOutside(target, send.message, send.wParam, send.lParam);
        if (send.message == WM_NCCREATE) {
            EXPECT_TRUE(delivered) << "control " << send.control;
        }
    }
    // Still the same window, with the same objects behind it.
    SetText(L"still here");
    ASSERT_TRUE(Create());
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "still here", &decoded)) << decoded;
}

} // namespace
