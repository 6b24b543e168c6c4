// Subclassing must keep Unicode windows Unicode: text outside the ANSI code
// page passes through an attached edit control unchanged. Built twice, for a
// Chinese system (code page 936) and a Western one (1252).
#include <gtest/gtest.h>

#include <string>

#include "SkinEngine.h"
#include "SkinTestSupport.h"

// The Western build gives the suite its own name, so the two programs'
// tests stay apart in CTest.
#ifndef VEMORA_UNICODE_SUITE
#define VEMORA_UNICODE_SUITE SkinUnicode
#endif

namespace {

std::wstring TextOf(HWND hwnd)
{
    wchar_t buffer[128] = {};
    GetWindowTextW(hwnd, buffer, 128);
    return buffer;
}

TEST(VEMORA_UNICODE_SUITE, AttachedEditKeepsTextOutsideTheAnsiCodePage)
{
    RecordProperty("AnsiCodePage", static_cast<int>(GetACP()));
    HWND form = skintest::CreateTopWindow(L"form");
    HWND edit = skintest::CreateChild(form, L"Edit", L"", ES_AUTOHSCROLL, 10, 10, 200, 24);
    HWND button = skintest::CreateChild(form, L"Button", L"", BS_PUSHBUTTON, 10, 40, 80, 24);
    ASSERT_EQ(SkinStart(form), 1);
    ASSERT_TRUE(IsWindowUnicode(edit));
    // Chinese, Greek, a euro sign and a character beyond the BMP.
    const std::wstring text = L"\u521B\u5EFA \u03A9 \u20AC \U0001F600";
    ASSERT_TRUE(SetWindowTextW(edit, text.c_str()));
    EXPECT_EQ(TextOf(edit), text);
    // Typed characters arrive as WM_CHAR and are stored as they came.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t c : std::wstring(L"\u4E8C\u7EF4\u7801")) SendMessageW(edit, WM_CHAR, c, 1);
    EXPECT_EQ(TextOf(edit), L"\u4E8C\u7EF4\u7801");
    // A caption set on an attached button reads back unchanged too.
    SetWindowTextW(button, L"\u521B\u5EFA");
    EXPECT_EQ(TextOf(button), L"\u521B\u5EFA");
    EXPECT_TRUE(IsWindowUnicode(edit));
    SkinStop(form);
    EXPECT_EQ(TextOf(edit), L"\u4E8C\u7EF4\u7801");
}

} // namespace
