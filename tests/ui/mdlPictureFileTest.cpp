// File names and never-replacing writes of the save command.
#include "mdlPictureFile.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(mdlPictureFile, NamesByTimeOfDayAndNumber)
{
    SYSTEMTIME time{};
    time.wHour = 21;
    time.wMinute = 5;
    time.wSecond = 3;
    EXPECT_EQ(TimeOfDayName(time), L"21时05分03秒 ");
    time.wHour = 0;
    time.wMinute = 0;
    time.wSecond = 0;
    EXPECT_EQ(TimeOfDayName(time), L"00时00分00秒 ");
    EXPECT_EQ(NumberedPngName(L"x ", 1), L"x .png");
    // One space before the number: the time-of-day base brings it.
    EXPECT_EQ(NumberedPngName(L"x ", 2), L"x (2).png");
    EXPECT_EQ(NumberedPngName(L"x ", 12), L"x (12).png");
    EXPECT_EQ(NumberedPngName(L"x", 2), L"x (2).png");
    EXPECT_EQ(NumberedPngName(TimeOfDayName(time), 2), L"00时00分00秒 (2).png");
}

TEST(mdlPictureFile, WritesNeverReplaceAFile)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"vemora-file-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::vector<std::uint8_t> one{'1'}, two{'2', '2'};
    const SaveResult first = WriteNewPngFile(folder, L"a ", one);
    const SaveResult second = WriteNewPngFile(folder, L"a ", two);
    EXPECT_EQ(first.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(first.path, folder + L"\\a .png");
    EXPECT_EQ(second.path, folder + L"\\a (2).png");
    std::ifstream in(first.path.c_str(), std::ios::binary);
    EXPECT_EQ(in.get(), '1');
    in.close();

    const SaveResult missing = WriteNewPngFile(folder + L"\\nowhere", L"a ", one);
    EXPECT_EQ(missing.error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(missing.path.empty());
    EXPECT_FALSE(SystemErrorText(missing.error).empty());

    DeleteFileW(first.path.c_str());
    DeleteFileW(second.path.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(mdlPictureFile, SystemReasonsEndWithoutAFullStopForTheCallerToAddOne)
{
    // The Chinese system texts end in "。" and a line break, the English ones
    // in "." and a line break; Save's warning ends the sentence itself.
    for (const DWORD error : {DWORD(ERROR_PATH_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED),
                              DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_DISK_FULL)}) {
        const std::wstring reason = SystemErrorText(error);
        ASSERT_FALSE(reason.empty()) << error;
        EXPECT_EQ(reason.find_last_not_of(L"\u3002.\r\n "), reason.size() - 1)
            << "error " << error << " ends in a full stop or a line break";
    }
}

TEST(mdlPictureFile, PngOfPixelsStartsWithTheSignature)
{
    std::vector<std::uint8_t> pixels(4 * 3 * 2, 0xFF);
    const std::vector<std::uint8_t> png = EncodePng(pixels.data(), 3, 2, 12);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_TRUE(EncodePng(nullptr, 3, 2, 12).empty());
    EXPECT_TRUE(EncodePng(pixels.data(), 3, 2, 8).empty()) << "a stride too short for the width";
}
