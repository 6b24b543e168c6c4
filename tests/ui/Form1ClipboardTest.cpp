// Copy through the real clipboard, which all processes share: CTest runs
// these tests one at a time (RESOURCE_LOCK clipboard), never beside each other.
#include <gtest/gtest.h>

#include <thread>

#include "FormDriver.h"

namespace {
const std::string StartBytes =
    "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n";
std::wstring ClipboardText()
{
    if (!OpenClipboard(nullptr)) return L"(busy)";
    std::wstring text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
}

} // namespace

class Form1Clipboard : public FormTest {
protected:
    SeenBox Copy()
    {
        return ExpectBox([&] { Click(Item(Form1::Pic2Id)); });
    }
};

TEST_F(Form1Clipboard, CopyPutsTheEnlargedSymbolOnTheClipboard)
{
    ASSERT_TRUE(Create());
    const SeenBox box = Copy();
    EXPECT_EQ(box.text, L"你已成功复制到剪贴板!");
    EXPECT_EQ(box.title, L"Olvane提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Information);
    EXPECT_TRUE(box.skinned);

    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP copied = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(copied, nullptr);
    // A copy of our own: the clipboard's bitmap stays the clipboard's.
    ScopedBitmap own(
        static_cast<HBITMAP>(CopyImage(copied, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CloseClipboard();
    ASSERT_TRUE(own);
    BITMAP size{};
    GetObjectW(own.get(), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 329);
    EXPECT_EQ(size.bmHeight, 329);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(own.get(), StartBytes, &decoded)) << decoded;
}

TEST_F(Form1Clipboard, AClipboardBusyForAMomentIsWaitedFor)
{
    ASSERT_TRUE(Create());
    // Another thread holds the clipboard for 300 ms, as clipboard managers
    // do when they read a new content; Copy tries for about a second.
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        Sleep(300);
        CloseClipboard();
    });
    WaitForSingleObject(opened, INFINITE);
    const SeenBox box = Copy();
    holder.join();
    CloseHandle(opened);
    EXPECT_EQ(box.text, L"你已成功复制到剪贴板!");
    EXPECT_EQ(box.icon, SeenBox::Icon::Information);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    CloseClipboard();
}

TEST_F(Form1Clipboard, ABusyClipboardWarnsAndKeepsWhatWasOnIt)
{
    ASSERT_TRUE(Create());
    ASSERT_TRUE(PutOnClipboard(Form(), L"the user's own text"));
    // Another thread holds the clipboard open while Copy runs.
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, INFINITE);
        CloseClipboard();
    });
    WaitForSingleObject(opened, INFINITE);
    const SeenBox box = Copy();
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.text, L"无法打开剪贴板，二维码图片没有复制，请稍后再试！");
    EXPECT_EQ(ClipboardText(), L"the user's own text");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}
