// Hostile input at the window: a 10 MB paste, NUL characters, bursts of
// clicks on Create, Save and Copy, a save folder that disappears between
// Saves, and a clipboard held open by another program. Each ends in its clear
// outcome: a symbol that reads, or a warning; no crash, no hang, no file lost
// or replaced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "FormDriver.h"

namespace {

// The second program of the clipboard test: this very test program, asked
// to run only ClipboardHolder.HoldsTheClipboard with the names of two events.
constexpr const wchar_t* HeldEventName = L"Local\\VemoraClipboardHeld";
constexpr const wchar_t* ReleaseEventName = L"Local\\VemoraClipboardRelease";

class Form1BadInput : public FormTest {
protected:
    SeenBox Save()
    {
        return ExpectBox([&] { SendMessageW(Item(Form1::Command2Id), BM_CLICK, 0, 0); });
    }
    SeenBox Copy()
    {
        return ExpectBox([&] { Click(Item(Form1::Pic2Id)); });
    }
    void Paste(const std::wstring& text)
    {
        ASSERT_TRUE(PutOnClipboard(Form(), text));
        SetText(L"");
        SendMessageW(Item(Form1::Text1Id), WM_PASTE, 0, 0);
        Pump();
    }
};

TEST_F(Form1BadInput, TenMegabytePasteIsRefusedWithTheWarning)
{
    // 10 MB of UTF-16 in lines of 76 characters, handed to the text box as a
    // paste hands it (the clipboard's own round trip through the X server is
    // Wine's business, and slow).
    std::wstring huge;
    huge.reserve(5 * 1024 * 1024);
    while (huge.size() + 78 <= 5 * 1024 * 1024)
        huge += L"0123456789 Olvane 0123456789 QR Code 0123456789 Vemora 0123456789 ABCDEFGHIJ\r\n";
    SetText(L"");
    SendMessageW(Item(Form1::Text1Id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(huge.c_str()));
    Pump();
    EXPECT_EQ(Text().size(), static_cast<std::size_t>(Form1::Text1MaxLength))
        << "the paste stops at the limit";
    SeenBox box;
    EXPECT_FALSE(Create(&box));
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_NE(box.text.find(L"内容太长"), std::wstring::npos) << Narrow(box.text);
    EXPECT_EQ(Image1Bitmap(), nullptr) << "no stale symbol";

    // Cut at the limit between the halves of a surrogate pair: too long
    // still, not a character the user never typed.
    SetText(L"");
    const std::wstring emoji = std::wstring(Form1::Text1MaxLength - 1, L'a') + L"\U0001F600";
    SendMessageW(Item(Form1::Text1Id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(emoji.c_str()));
    ASSERT_EQ(Text().size(), static_cast<std::size_t>(Form1::Text1MaxLength));
    for (const int encoding : {0, 1}) {
        Select(3, encoding);
        EXPECT_FALSE(Create(&box));
        EXPECT_NE(box.text.find(L"内容太长"), std::wstring::npos) << Narrow(box.text);
    }
    Select(3, 1);
    // The window still works.
    SetText(L"12345");
    ASSERT_TRUE(Create());
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "12345", &decoded)) << decoded;
}

TEST_F(Form1BadInput, NulCharactersEndThePastedText)
{
    // A text box holds no NUL: the paste ends at the first one, and what is
    // left is encoded exactly.
    Paste(std::wstring(L"AB\0CD", 5));
    EXPECT_EQ(Text(), L"AB");
    ASSERT_TRUE(Create());
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "AB", &decoded)) << decoded;
}

TEST_F(Form1BadInput, BurstsOfClicksOnCreateSaveAndCopy)
{
    SetText(L"burst");
    // A hundred clicks queued at once on Create: no box, the symbol reads.
    for (int i = 0; i < 100; ++i) PostMessageW(Item(Form1::Command1Id), BM_CLICK, 0, 0);
    ExpectNoBox([&] { Pump(); });
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "burst", &decoded)) << decoded;

    // Twenty Saves in one second: twenty files, none replaced.
    for (int i = 0; i < 20; ++i) {
        const SeenBox box = Save();
        ASSERT_EQ(box.title, L"Olvane提示") << "save " << i << ": " << Narrow(box.text);
    }
    const std::vector<std::wstring> files = SavedFiles();
    EXPECT_EQ(files.size(), 20u);
    EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()).size(), 20u);
    EXPECT_NE(std::find(files.begin(), files.end(), L"21时05分03秒 (20).png"), files.end());

    // Twenty Copies: each one reports success.
    for (int i = 0; i < 20; ++i) {
        const SeenBox box = Copy();
        ASSERT_EQ(box.title, L"Olvane提示") << "copy " << i << ": " << Narrow(box.text);
    }
}

TEST_F(Form1BadInput, SaveFolderDisappearingBetweenSavesLosesNothing)
{
    ASSERT_TRUE(Create());
    ASSERT_EQ(Save().title, L"Olvane提示");
    ASSERT_EQ(SavedFiles().size(), 1u);
    // The user moves the file away and removes the folder.
    const std::wstring kept = SaveFolder() + L"-kept.png";
    ASSERT_TRUE(MoveFileW((SaveFolder() + L"\\" + SavedFiles()[0]).c_str(), kept.c_str()));
    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));

    const SeenBox missing = Save();
    EXPECT_EQ(missing.title, L"系统提示");
    EXPECT_EQ(missing.icon, SeenBox::Icon::Warning);
    EXPECT_NE(missing.text.find(L"二维码图片"), std::wstring::npos)
        << "names the folder: " << Narrow(missing.text);
    EXPECT_EQ(GetFileAttributesW(SaveFolder().c_str()), INVALID_FILE_ATTRIBUTES)
        << "Save never makes the folder";

    // The folder comes back: Save works again, the moved file is untouched.
    ASSERT_TRUE(CreateDirectoryW(SaveFolder().c_str(), nullptr));
    EXPECT_EQ(Save().title, L"Olvane提示");
    EXPECT_EQ(SavedFiles().size(), 1u);
    ScopedBitmap moved = LoadPng(kept);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(moved.get(),
                          "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n",
                          &decoded))
        << decoded;
}

TEST_F(Form1BadInput, ClipboardHeldByAnotherProgramWarns)
{
    ASSERT_TRUE(Create());
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, HeldEventName);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, ReleaseEventName);
    ASSERT_TRUE(held && release);

    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=ClipboardHolder.HoldsTheClipboard";
    SetEnvironmentVariableW(L"VEMORA_HOLD_CLIPBOARD", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &holder));
    SetEnvironmentVariableW(L"VEMORA_HOLD_CLIPBOARD", nullptr);
    ASSERT_EQ(WaitForSingleObject(held, 60000), WAIT_OBJECT_0)
        << "the other program never opened the clipboard";

    const SeenBox busy = Copy();
    EXPECT_EQ(busy.title, L"系统提示");
    EXPECT_EQ(busy.icon, SeenBox::Icon::Warning);

    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(holder.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(holder.hThread);
    CloseHandle(holder.hProcess);
    CloseHandle(held);
    CloseHandle(release);

    const SeenBox done = Copy();
    EXPECT_EQ(done.title, L"Olvane提示") << "the clipboard is free again: " << Narrow(done.text);
}

// Runs only as the second program of the test above.
TEST(ClipboardHolder, HoldsTheClipboard)
{
    if (!std::getenv("VEMORA_HOLD_CLIPBOARD"))
        GTEST_SKIP() << "the other program of ClipboardHeldByAnotherProgramWarns";
    HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(window));
    HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, HeldEventName);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, ReleaseEventName);
    ASSERT_TRUE(held && release);
    SetEvent(held);
    WaitForSingleObject(release, 60000);
    CloseClipboard();
    CloseHandle(held);
    CloseHandle(release);
    DestroyWindow(window);
}

} // namespace
