// Kanji mode belongs to Shift JIS bytes only: ANSI text on a Japanese system
// (code page 932) gets it, so ten kanji (20 bytes) fit version 1 at level L,
// which holds 17 bytes but ten 13-bit Kanji characters (ISO/IEC 18004, 7.4.6).
#include <gtest/gtest.h>

#include "FormDriver.h"

class Form1Japanese : public FormTest {};

TEST_F(Form1Japanese, AnsiKanjiUsesKanjiModeAndReadsBackAsShiftJis)
{
    ASSERT_EQ(GetACP(), 932u) << "this test runs under a Japanese locale";
    Select(3, 0); // ANSI
    Select(0, 1); // version 1
    Select(1, 0); // level L
    SetText(std::wstring(10, L'漢'));
    SeenBox box;
    ASSERT_TRUE(Create(&box)) << Narrow(box.text);
    std::string sjis;
    for (int i = 0; i < 10; ++i) sjis += "\x8A\xBF";
    ScopedBitmap shown = Pic2Image();
    const QrReading reading = ReadBack(shown.get());
    EXPECT_EQ(reading.zxing, sjis) << reading.error;
}

TEST_F(Form1Japanese, Utf8NeverUsesKanjiMode)
{
    // U+4041 is E4 81 81 in UTF-8, and four of them pair up into six byte
    // pairs that pass for Shift JIS kanji (E481, 81E4, 8181, ...). As Kanji
    // they would take 90 bits and fit version 1 at Q (104); as the bytes
    // they are, 108 bits do not. A reader would make other characters of
    // the Kanji, so UTF-8 must stay bytes and not fit.
    Select(3, 1);
    Select(0, 1);
    Select(1, 2);
    SetText(std::wstring(4, wchar_t(0x4041)));
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择版本 2 "
                        L"或更大的版本，或选择纠错等级 M 或更低的纠错等级！");
    Select(1, 1);
    ASSERT_TRUE(Create());
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(
        DecodesTo(shown.get(), "\xE4\x81\x81\xE4\x81\x81\xE4\x81\x81\xE4\x81\x81", &decoded))
        << decoded;
}
