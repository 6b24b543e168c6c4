// The Wine runner with LOCALE C.UTF-8: an English system whose ANSI code
// page (1252) cannot hold Chinese, for tests of that case.
#include <gtest/gtest.h>

#include <windows.h>

TEST(WineEnglishSystem, AnsiCodePageIs1252)
{
    EXPECT_EQ(GetACP(), 1252u);
    const wchar_t text[] = L"\u4E8C";
    char ansi[8] = {};
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, text, 1, ansi, sizeof ansi, nullptr, &lossy);
    EXPECT_TRUE(lossy);
}
