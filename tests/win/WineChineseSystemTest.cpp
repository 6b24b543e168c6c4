// The Wine runner's default system: Chinese (ANSI code page 936), with a
// display, so that windows can be made and Chinese captions drawn.
#include <gtest/gtest.h>

#include <windows.h>

#include "ScopedWin.h"

TEST(WineChineseSystem, AnsiCodePageIs936)
{
    EXPECT_EQ(GetACP(), 936u);
    // "二维码" in GBK round-trips through the system code page.
    const wchar_t text[] = L"\u4E8C\u7EF4\u7801";
    char ansi[16] = {};
    BOOL lossy = FALSE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 3, ansi, sizeof ansi, nullptr, &lossy), 6);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(std::string(ansi, 6), "\xB6\xFE\xCE\xAC\xC2\xEB");
}

TEST(WineChineseSystem, WindowsCanBeCreatedAndChineseIsDrawnWithGlyphs)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"\u4E8C\u7EF4\u7801", WS_OVERLAPPEDWINDOW, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << "no display?";
    DestroyWindow(window);

    // With a CJK font present, the default GUI font maps these characters to
    // real glyphs (GetGlyphIndices answers 0xFFFF for a missing glyph).
    ScopedGetDC screen(nullptr);
    ScopedFont font(
        CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"SimSun"));
    ASSERT_TRUE(font);
    ScopedSelectObject selection(screen.get(), font.get());
    WORD glyphs[3] = {};
    ASSERT_EQ(GetGlyphIndicesW(screen.get(), L"\u4E8C\u7EF4\u7801", 3, glyphs,
                               GGI_MARK_NONEXISTING_GLYPHS),
              3u);
    for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF);
}
