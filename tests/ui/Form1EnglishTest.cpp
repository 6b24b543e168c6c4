// Create on an English system (ANSI code page 1252): Western text becomes
// its 1252 bytes, Chinese text cannot and gets a warning.
#include <gtest/gtest.h>

#include "FormDriver.h"

class Form1English : public FormTest {};

TEST_F(Form1English, AnsiGivesWindows1252Bytes)
{
    ASSERT_EQ(GetACP(), 1252u) << "this test runs under an English locale";
    Select(3, 0);
    SetText(L"Café €5\r\n");
    SeenBox box;
    ASSERT_TRUE(Create(&box)) << Narrow(box.text);
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(),
                          "Caf\xE9 \x80"
                          "5\r\n",
                          &decoded))
        << decoded;
}

TEST_F(Form1English, ChineseInAnsiWarnsAndSuggestsUtf8)
{
    Select(3, 0);
    SeenBox box;
    ASSERT_FALSE(Create(&box)); // the start text has Chinese in it
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.text,
              L"内容中有所选 ANSI 编码（代码页 1252）无法表示的字符，请选择 UTF-8 编码后再创建！");
    EXPECT_EQ(Image1Bitmap(), nullptr);
    // A best-fit look-alike ("a" for "ā") would change the text too.
    SetText(L"\u0101");
    ASSERT_FALSE(Create(&box));
    EXPECT_NE(box.text.find(L"代码页 1252"), std::wstring::npos);

    // In UTF-8 the same text is fine.
    Select(3, 1);
    ASSERT_TRUE(Create());
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "\xC4\x81", &decoded)) << decoded;
}
