// Save into a folder that refuses new files. CTest's fixture (CMakeLists.txt)
// makes the folder with one file in it and locks it on the Unix side
// (immutable, so that even root cannot write; plain write bits elsewhere),
// since Windows' read-only attribute means nothing for a folder.
#include <gtest/gtest.h>

#include "FormDriver.h"

class Form1ReadOnly : public FormTest {};

TEST_F(Form1ReadOnly, ALockedFolderWarnsAndLosesNothing)
{
    // The fixture's locked folder stands in for the program's; TearDown still
    // removes only the test's own folder.
    programFolder_ = L"Z:";
    for (const char c : std::string(VEMORA_READONLY_PROGRAM_FOLDER))
        programFolder_ += c == '/' ? L'\\' : wchar_t(c);
    const std::wstring kept = SaveFolder() + L"\\21时05分03秒 .png";
    ASSERT_EQ(FileStart(kept, 16), "keep") << "the fixture made the folder";

    const std::wstring probe = SaveFolder() + L"\\probe";
    HANDLE test = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (test != INVALID_HANDLE_VALUE) {
        CloseHandle(test);
        DeleteFileW(probe.c_str());
        GTEST_SKIP() << "the fixture could not lock the folder on this file system";
    }

    ASSERT_TRUE(Create());
    const SeenBox box = ExpectBox([&] { SendMessageW(Item(Form1::Command2Id), BM_CLICK, 0, 0); });
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    const std::wstring start = L"无法保存二维码图片到文件夹“" + SaveFolder() + L"”：";
    EXPECT_EQ(box.text.substr(0, start.size()), start) << Narrow(box.text);
    EXPECT_GT(box.text.size(), start.size() + 2) << "the system's reason follows";
    // The print PNG and the SVG of the context menu are refused alike.
    for (const int id : {int(Form1::mnuSavePrintPngId), int(Form1::mnuSaveSvgId)}) {
        const SeenBox menuSave =
            ExpectBox([&] { SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(id, 0), 0); });
        EXPECT_EQ(menuSave.icon, SeenBox::Icon::Warning);
        EXPECT_EQ(menuSave.text.substr(0, start.size()), start) << Narrow(menuSave.text);
    }
    EXPECT_EQ(FileStart(kept, 16), "keep");
    EXPECT_EQ(SavedFiles().size(), 1u);
    // The symbol is still in the box.
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(),
                          "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n",
                          &decoded))
        << decoded;
}
