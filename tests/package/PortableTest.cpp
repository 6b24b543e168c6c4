// The portable package, unpacked by the test set-up (tests/package) into a
// new folder: the program runs from there and saves beside itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ExternalVemora.h"
#include "PackageFiles.h"

#ifndef VEMORA_PORTABLE_FOLDER
#error "VEMORA_PORTABLE_FOLDER must name the unpacked package's folder (a Unix path)"
#endif

namespace {

TEST(PortablePackage, UnpackedFolderRunsAndSavesBesideItself)
{
    const std::wstring folder = WindowsPathOf(VEMORA_PORTABLE_FOLDER);
    const std::wstring pictures = folder + L"\\二维码图片";
    auto entries = FolderEntries(folder);
    std::sort(entries.begin(), entries.end());
    ASSERT_EQ(entries, (std::vector<std::wstring>{L"README.txt", L"Vemora.exe", L"二维码图片"}));
    ASSERT_TRUE(FolderEntries(pictures).empty());

    ExternalVemora vemora;
    ASSERT_TRUE(vemora.Start(folder + L"\\Vemora.exe"));
    ASSERT_TRUE(vemora.Create());
    EXPECT_EQ(vemora.Save(), L"你已成功保存二维码图片！");
    EXPECT_TRUE(vemora.Close());

    const auto saved = FolderEntries(pictures);
    ASSERT_EQ(saved.size(), 1u);
    std::string decoded;
    EXPECT_TRUE(ExternalVemora::PictureHoldsStartText(pictures + L"\\" + saved[0], &decoded))
        << decoded;
}

} // namespace
