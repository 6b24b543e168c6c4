// Save, Copy and the link: real files read back by a real decoder, the real
// clipboard, the real message boxes, and the exact command line of the link.
#include <gtest/gtest.h>

#include <algorithm>

#include "FormDriver.h"

namespace {

const std::string StartBytes =
    "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n";

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

class Form1Save : public FormTest {
protected:
    SeenBox Save()
    {
        return ExpectBox([&] { SendMessageW(Item(Form1::Command2Id), BM_CLICK, 0, 0); });
    }
    SeenBox Copy()
    {
        return ExpectBox([&] { Click(Item(Form1::Pic2Id)); });
    }
};

TEST_F(Form1Save, SaveBeforeCreateWarnsAndWritesNothing)
{
    const SeenBox box = Save();
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"你还没有“创建”二维码图片，请先创建后再按保存！");
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_TRUE(box.skinned);
    EXPECT_TRUE(SavedFiles().empty());
}

TEST_F(Form1Save, SaveWritesAPngThatReadsNamedByTheTimeOfDay)
{
    ASSERT_TRUE(Create());
    const SeenBox box = Save();
    EXPECT_EQ(box.text, L"你已成功保存二维码图片！");
    EXPECT_EQ(box.title, L"Olvane提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Information);
    EXPECT_EQ(box.buttons, 1);

    const std::wstring path = SaveFolder() + L"\\21时05分03秒 .png";
    ASSERT_TRUE(Exists(path)) << "files: " << SavedFiles().size();
    EXPECT_EQ(FileStart(path, 8), std::string("\x89PNG\r\n\x1A\n", 8)) << "a real PNG";
    ScopedBitmap picture = LoadPng(path);
    ASSERT_TRUE(picture);
    BITMAP size{};
    GetObjectW(picture.get(), sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 329) << "the enlarged picture, not the encoder's";
    EXPECT_EQ(size.bmHeight, 329);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(picture.get(), StartBytes, &decoded)) << decoded;
}

TEST_F(Form1Save, SavesInOneSecondNeverReplaceEachOther)
{
    now_.wHour = 7;
    now_.wMinute = 0;
    now_.wSecond = 9;
    ASSERT_TRUE(Create());
    EXPECT_EQ(Save().text, L"你已成功保存二维码图片！");
    SetText(L"second");
    ASSERT_TRUE(Create());
    EXPECT_EQ(Save().text, L"你已成功保存二维码图片！");
    SetText(L"third");
    ASSERT_TRUE(Create());
    EXPECT_EQ(Save().text, L"你已成功保存二维码图片！");

    std::vector<std::wstring> files = SavedFiles();
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 3u);
    std::string decoded;
    ScopedBitmap first = LoadPng(SaveFolder() + L"\\07时00分09秒 .png");
    EXPECT_TRUE(DecodesTo(first.get(), StartBytes, &decoded)) << decoded;
    ScopedBitmap second = LoadPng(SaveFolder() + L"\\07时00分09秒 (2).png");
    EXPECT_TRUE(DecodesTo(second.get(), "second", &decoded)) << decoded;
    ScopedBitmap third = LoadPng(SaveFolder() + L"\\07时00分09秒 (3).png");
    EXPECT_TRUE(DecodesTo(third.get(), "third", &decoded)) << decoded;
}

TEST_F(Form1Save, AMissingFolderWarnsWithTheFolderAndTheReason)
{
    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));
    ASSERT_TRUE(Create());
    const SeenBox box = Save();
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    const std::wstring start = L"无法保存二维码图片到文件夹“" + SaveFolder() + L"”：";
    EXPECT_EQ(box.text.substr(0, start.size()), start) << Narrow(box.text);
    EXPECT_GT(box.text.size(), start.size() + 2) << "the system's reason follows";
    // One full stop: the system's reason brings its own, which must go.
    ASSERT_GE(box.text.size(), 2u);
    EXPECT_EQ(box.text.back(), L'\u3002') << Narrow(box.text);
    const wchar_t beforeLast = box.text[box.text.size() - 2];
    EXPECT_TRUE(beforeLast != L'\u3002' && beforeLast != L'.' && beforeLast != L'\n')
        << Narrow(box.text);
    EXPECT_FALSE(Exists(SaveFolder())) << "Save never creates the folder";
    // Nothing lost: the symbol is still in the box.
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), StartBytes, &decoded)) << decoded;
}

TEST_F(Form1Save, APic2ThatCannotBeDrawnIsNotSaved)
{
    ASSERT_TRUE(Create());
    // GDI loses Image1's bitmap: Save cannot draw the box again.
    ASSERT_TRUE(DeleteObject(Image1Bitmap()));
    const SeenBox box = Save();
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.text, L"无法生成 PNG 图片，二维码图片没有保存！");
    EXPECT_TRUE(SavedFiles().empty());
}

TEST_F(Form1Save, AFileInTheFoldersPlaceWarns)
{
    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));
    HANDLE file =
        CreateFileW(SaveFolder().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    ASSERT_TRUE(Create());
    const SeenBox box = Save();
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_NE(box.text.find(L"无法保存二维码图片到文件夹"), std::wstring::npos) << Narrow(box.text);
}

TEST_F(Form1Save, CopyBeforeCreateWarns)
{
    const SeenBox box = Copy();
    EXPECT_EQ(box.text, L"你还没有“创建”二维码图片，请先创建后再进行复制！");
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    // Save before Create did not make the blank box copyable either.
    Save();
    EXPECT_EQ(Copy().text, L"你还没有“创建”二维码图片，请先创建后再进行复制！");
}

TEST_F(Form1Save, TheLinkStartsTheUrlHandlerAndChangesNothing)
{
    SetText(L"keep me");
    Select(0, 7);
    ASSERT_TRUE(Create());
    ScopedBitmap before = Pic2Image();
    SeenBox box = ExpectBox([&] { Click(Item(Form1::Label2Id)); });
    EXPECT_FALSE(box.seen) << "the link shows nothing";
    ASSERT_EQ(startedPrograms_.size(), 1u);
    // rundll32.exe by its full path in the system folder: never one that
    // lies in the program's or the current folder.
    wchar_t system[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::wstring rundll32 = std::wstring(system, length) + L"\\rundll32.exe";
    EXPECT_TRUE(Exists(rundll32));
    EXPECT_EQ(startedPrograms_[0], L"\"" + rundll32 +
                                       L"\" url.dll,FileProtocolHandler "
                                       L"\"http://www.olvane.example/\"");
    EXPECT_EQ(Text(), L"keep me");
    EXPECT_EQ(SendMessageW(List(0), CB_GETCURSEL, 0, 0), 7);
    ScopedBitmap after = Pic2Image();
    int w = 0, h = 0;
    EXPECT_EQ(BitmapPixels(before.get(), &w, &h), BitmapPixels(after.get(), &w, &h));
    // A starter that fails is not the user's business either.
    startAnswer_ = false;
    box = ExpectBox([&] { Click(Item(Form1::Label2Id)); });
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(startedPrograms_.size(), 2u);
}
