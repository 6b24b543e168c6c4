// The conversions Create relies on, per code page, whatever the system's is.
#include "mdlTextBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Bytes(const TextBytes& converted)
{
    return std::string(converted.bytes.begin(), converted.bytes.begin() + converted.count);
}
} // namespace

TEST(mdlTextBytes, Utf8HasRoomForThreeBytesPerUnitAndZeroSpare)
{
    const TextBytes converted = Utf8Bytes(L"二维码\r\n");
    EXPECT_EQ(converted.status, TextBytes::Status::Ok);
    EXPECT_EQ(Bytes(converted), "\xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81\r\n");
    ASSERT_EQ(converted.bytes.size(), 3u * 5 + 65);
    for (std::size_t i = static_cast<std::size_t>(converted.count); i < converted.bytes.size(); ++i)
        EXPECT_EQ(converted.bytes[i], 0);
    // A pair of surrogates is one character of four bytes.
    EXPECT_EQ(Bytes(Utf8Bytes(L"\U0001F600")), "\xF0\x9F\x98\x80");

    const TextBytes empty = Utf8Bytes(L"");
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.bytes.size(), 65u);
}

TEST(mdlTextBytes, LoneSurrogatesAreRefusedInEveryEncoding)
{
    for (const std::wstring& text :
         {std::wstring(1, wchar_t(0xD83D)), std::wstring(L"a") + wchar_t(0xDE00),
          std::wstring(1, wchar_t(0xDE00)) + wchar_t(0xD83D)}) {
        EXPECT_EQ(Utf8Bytes(text).status, TextBytes::Status::InvalidUtf16);
        EXPECT_EQ(AnsiBytes(text, 936).status, TextBytes::Status::InvalidUtf16);
        EXPECT_EQ(AnsiBytes(text, 1252).status, TextBytes::Status::InvalidUtf16);
    }
}

TEST(mdlTextBytes, AnsiPerCodePage)
{
    EXPECT_EQ(Bytes(AnsiBytes(L"二维码", 936)), "\xB6\xFE\xCE\xAC\xC2\xEB");
    EXPECT_EQ(Bytes(AnsiBytes(L"漢字", 932)), "\x8A\xBF\x8E\x9A"); // Shift JIS
    EXPECT_EQ(Bytes(AnsiBytes(L"Café", 1252)), "Caf\xE9");
    EXPECT_EQ(AnsiBytes(L"Café", 1252).bytes.size(), 4u) << "exactly the converted bytes";
    EXPECT_EQ(AnsiBytes(L"", 936).count, 0);

    EXPECT_EQ(AnsiBytes(L"二维码", 1252).status, TextBytes::Status::Unmappable);
    EXPECT_EQ(AnsiBytes(L"\u0101", 1252).status, TextBytes::Status::Unmappable)
        << "no best-fit 'a'";
    EXPECT_EQ(AnsiBytes(L"\u0e01", 936).status, TextBytes::Status::Unmappable);
    EXPECT_EQ(AnsiBytes(L"Café", 1252).status, TextBytes::Status::Ok);
    // A code page the system cannot convert to is no empty text.
    const TextBytes refused = AnsiBytes(L"Café", 54321);
    EXPECT_EQ(refused.status, TextBytes::Status::Unmappable);
    EXPECT_EQ(refused.count, 0);
}
