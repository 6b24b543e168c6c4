// Create: what Pic2 shows must read back, with a real decoder, to exactly
// the bytes of Text1 in the chosen encoding, at the chosen version, level and
// mask; what cannot be encoded gives a warning box and no symbol.
#include <gtest/gtest.h>

#include "FormDriver.h"
#include "mdlPictureFile.h"
#include "mdlTextBytes.h"

namespace {

const std::string StartBytes =
    "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n";

int SideOf(HBITMAP bitmap)
{
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    return size.bmWidth == size.bmHeight ? size.bmWidth : -1;
}

// Sharp edges: an enlargement by repeating pixels blends nothing.
bool EveryPixelIsBlackOrWhite(HBITMAP image)
{
    int width = 0, height = 0;
    for (const DWORD pixel : BitmapPixels(image, &width, &height))
        if (pixel != 0 && pixel != 0xFFFFFF) return false;
    return width > 0;
}

} // namespace

class Form1Create : public FormTest {
protected:
    // Creates and expects Pic2 to read back as bytes.
    void ExpectSymbolOf(const std::string& bytes)
    {
        SeenBox box;
        ASSERT_TRUE(Create(&box)) << "box: " << Narrow(box.text);
        ScopedBitmap shown = Pic2Image();
        std::string decoded;
        EXPECT_TRUE(DecodesTo(shown.get(), bytes, &decoded)) << decoded;
    }
};

TEST_F(Form1Create, TheStartStateEncodesTheStartTextAsUtf8WithItsLineBreak)
{
    ExpectSymbolOf("Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n");
    // Enlarged from the encoder's one pixel per module to the whole box,
    // by repeating pixels: only black and white, nothing blended.
    ScopedBitmap shown = Pic2Image();
    EXPECT_TRUE(EveryPixelIsBlackOrWhite(shown.get()));
    HBITMAP symbol = Image1Bitmap();
    ASSERT_NE(symbol, nullptr);
    const auto format = ReadFormatInfo(symbol);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->level, 2) << "the preset level is M";
}

TEST_F(Form1Create, TheSpaceKeyOnTheFocusedButtonCreates)
{
    ASSERT_EQ(GetFocus(), Item(Form1::Command1Id));
    SetText(L"keyboard");
    PressKey(VK_SPACE);
    ScopedBitmap shown = Pic2Image();
    std::string decoded;
    EXPECT_TRUE(DecodesTo(shown.get(), "keyboard", &decoded)) << decoded;
}

TEST_F(Form1Create, ChineseTextAndLineBreaksInUtf8)
{
    SetText(L"二维码\r\n第二行");
    ExpectSymbolOf("\xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81\r\n\xE7\xAC\xAC\xE4\xBA\x8C\xE8\xA1\x8C");
}

TEST_F(Form1Create, AnEmptyTextStillMakesASymbol)
{
    DoubleClick(Item(Form1::Text1Id));
    ASSERT_TRUE(Create());
    EXPECT_EQ(SideOf(Image1Bitmap()), 29);
}

TEST_F(Form1Create, AnsiOnAChineseSystemGivesGbkBytes)
{
    ASSERT_EQ(GetACP(), 936u) << "this test runs under a Chinese locale";
    Select(3, 0);
    SetText(L"二维码 QR");
    ExpectSymbolOf("\xB6\xFE\xCE\xAC\xC2\xEB QR");
}

TEST_F(Form1Create, GbkBytesNeverGoIntoKanjiMode)
{
    // Ten GBK characters whose byte pairs look like Shift JIS kanji: as
    // bytes (20) they do not fit version 1 at L (17); only Kanji mode, which
    // would make a reader see other characters, would squeeze them in.
    std::wstring text;
    for (wchar_t c = 0x4E02; text.size() < 10 && c < 0x4F00; ++c) {
        const TextBytes gbk = AnsiBytes(std::wstring(1, c), 936);
        if (gbk.count == 2 && gbk.bytes[0] >= 0x81 && gbk.bytes[0] <= 0x9F &&
            gbk.bytes[1] >= 0x40 && gbk.bytes[1] <= 0xFC && gbk.bytes[1] != 0x7F)
            text += c;
    }
    ASSERT_EQ(text.size(), 10u);
    Select(3, 0);
    Select(0, 1);
    Select(1, 0);
    SetText(text);
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择版本 2 或更大的版本！");
}

TEST_F(Form1Create, Version40AndVersion1)
{
    SetText(L"HELLO");
    Select(0, 40);
    ASSERT_TRUE(Create());
    EXPECT_EQ(SideOf(Image1Bitmap()), 177 + 8);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(Image1Bitmap(), "HELLO", &decoded)) << decoded;
    // In the box the 185 modules get one or two pixels each (329 / 185):
    // ZXing gives up on such uneven modules, zbar still reads them.
    ScopedBitmap shown = Pic2Image();
    const QrReading reading = ReadBack(shown.get());
    EXPECT_TRUE(reading.zxing == "HELLO" || reading.zbar == "HELLO") << reading.error;

    // Version 1: 29 pixels enlarged about 11.3 times, modules 11 or 12 wide.
    Select(0, 1);
    ASSERT_TRUE(Create());
    EXPECT_EQ(SideOf(Image1Bitmap()), 29);
    shown = Pic2Image();
    EXPECT_TRUE(DecodesTo(shown.get(), "HELLO", &decoded)) << decoded;
    int width = 0, height = 0;
    const std::vector<DWORD> pixels = BitmapPixels(shown.get(), &width, &height);
    ASSERT_EQ(width, 329);
    // Along row 50 (inside the top-left finder's rows), every run of one
    // colour is a whole number of modules: between 11 and 12 pixels each.
    const int row = 50;
    int runStart = 0;
    for (int x = 1; x <= width; ++x) {
        if (x < width && pixels[row * width + x] == pixels[row * width + x - 1]) continue;
        const int run = x - runStart;
        const double modules = run / (329.0 / 29.0);
        const int whole = static_cast<int>(modules + 0.5);
        EXPECT_GE(whole, 1);
        EXPECT_GE(run, whole * 11) << "run at " << runStart;
        EXPECT_LE(run, whole * 12) << "run at " << runStart;
        runStart = x;
    }
}

TEST_F(Form1Create, EveryLevelAndEveryMaskAsChosen)
{
    SetText(L"Vemora 123");
    for (int level = 0; level < 4; ++level) {
        Select(1, level);
        ASSERT_TRUE(Create());
        const auto format = ReadFormatInfo(Image1Bitmap());
        ASSERT_TRUE(format);
        EXPECT_EQ(format->level, level + 1);
        EXPECT_EQ(format->mask, 0) << "the automatic mask is pattern 0";
        ScopedBitmap shown = Pic2Image();
        std::string decoded;
        EXPECT_TRUE(DecodesTo(shown.get(), "Vemora 123", &decoded))
            << "level " << level << ": " << decoded;
    }
    Select(1, 1);
    for (int mask = 0; mask < 8; ++mask) {
        Select(2, mask + 1);
        ASSERT_TRUE(Create());
        const auto format = ReadFormatInfo(Image1Bitmap());
        ASSERT_TRUE(format);
        EXPECT_EQ(format->mask, mask);
        ScopedBitmap shown = Pic2Image();
        std::string decoded;
        EXPECT_TRUE(DecodesTo(shown.get(), "Vemora 123", &decoded))
            << "mask " << mask << ": " << decoded;
    }
}

TEST_F(Form1Create, TwoCreatesGiveTheSamePicture)
{
    ASSERT_TRUE(Create());
    ScopedBitmap first = Pic2Image();
    ASSERT_TRUE(Create());
    ScopedBitmap second = Pic2Image();
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    EXPECT_EQ(BitmapPixels(first.get(), &w1, &h1), BitmapPixels(second.get(), &w2, &h2));
}

TEST_F(Form1Create, TooLongForTheVersionWarnsNamesAFitAndLeavesNoStaleSymbol)
{
    ASSERT_TRUE(Create());
    // 30 bytes do not fit version 1 at M (14 bytes), but version 3 (42) does,
    // and so does no lower level at version 1 (L holds 17).
    SetText(L"abcdefghijklmnopqrstuvwxyz0123");
    Select(0, 1);
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(box.owner, Form());
    EXPECT_TRUE(box.skinned) << "the skin reaches the box";
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择版本 3 或更大的版本！");
    EXPECT_EQ(Image1Bitmap(), nullptr);
    ScopedBitmap shown = Pic2Image();
    EXPECT_FALSE(DecodesTo(
        shown.get(), "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n"))
        << "the previous symbol must not stay";
    // Nothing to copy now.
    const SeenBox copy = ExpectBox([&] { Click(Item(Form1::Pic2Id)); });
    EXPECT_EQ(copy.text, L"你还没有“创建”二维码图片，请先创建后再进行复制！");
}

TEST_F(Form1Create, TooLongForTheLevelNamesALowerLevel)
{
    // 16 bytes: version 1 holds them at L (17) only, H needs version 3 (24).
    SetText(L"abcdefghijklmnop");
    Select(0, 1);
    Select(1, 3);
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择版本 3 "
                        L"或更大的版本，或选择纠错等级 L！");
    Select(1, 0);
    ASSERT_TRUE(Create());

    // Version 40 at M holds 2,331 bytes, at L 2,953: only the level helps,
    // and there is no level below L to offer beside it.
    SetText(std::wstring(2500, L'x'));
    Select(0, 40);
    Select(1, 1);
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择纠错等级 L！");
}

TEST_F(Form1Create, TooLongForAnyVersion)
{
    SetText(std::wstring(3000, L'x')); // 2953 bytes is version 40 at L
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！");
    SetText(std::wstring(2953, L'x'));
    Select(1, 0);
    ASSERT_TRUE(Create());
    EXPECT_EQ(SideOf(Image1Bitmap()), 185);
}

TEST_F(Form1Create, APictureThatCannotBeMadeIsNotCalledTooLong)
{
    ASSERT_TRUE(Create());
    // Five bytes fit any version and level; only the picture fails.
    pictureFails_ = true;
    SetText(L"short");
    Select(0, 1);
    Select(1, 3);
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.title, L"系统提示");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(box.text, L"内容可以编码，但无法生成二维码图片，请稍后再试！");
    EXPECT_EQ(Image1Bitmap(), nullptr);
    ScopedBitmap shown = Pic2Image();
    EXPECT_FALSE(DecodesTo(shown.get(), StartBytes)) << "the previous symbol must not stay";
    // Data that really do not fit are still called too long.
    SetText(L"abcdefghijklmnopqrstuvwxyz0123");
    Select(1, 1);
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text, L"内容太长，所选版本和纠错等级无法容纳，请选择版本 3 或更大的版本！");
    // And once pictures can be made again, the same choices give the symbol.
    pictureFails_ = false;
    SetText(L"short");
    ExpectSymbolOf("short");
}

TEST_F(Form1Create, ALoneSurrogateWarnsInBothEncodings)
{
    // After a symbol: a text that cannot be converted must not leave it.
    ASSERT_TRUE(Create());
    SetText(std::wstring(L"ab") + wchar_t(0xD800) + L"cd");
    for (const int encoding : {1, 0}) {
        Select(3, encoding);
        SeenBox box;
        ASSERT_FALSE(Create(&box));
        EXPECT_EQ(box.title, L"系统提示");
        EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
        EXPECT_EQ(box.text,
                  L"内容中有无效的字符（不成对的代理项），无法转换为所选编码，请删除后再创建！");
        EXPECT_EQ(Image1Bitmap(), nullptr);
        ScopedBitmap shown = Pic2Image();
        EXPECT_FALSE(DecodesTo(shown.get(), StartBytes)) << "the previous symbol must not stay";
        EXPECT_EQ(ExpectBox([&] { Click(Item(Form1::Pic2Id)); }).text,
                  L"你还没有“创建”二维码图片，请先创建后再进行复制！");
    }
}

TEST_F(Form1Create, AnsiWarnsForACharacterTheCodePageLacks)
{
    ASSERT_TRUE(Create()); // a symbol first, which the warning must take away
    Select(3, 0);
    SetText(L"Thai \u0e01 Hindi \u0915"); // neither script is in GBK
    SeenBox box;
    ASSERT_FALSE(Create(&box));
    EXPECT_EQ(box.text,
              L"内容中有所选 ANSI 编码（代码页 936）无法表示的字符，请选择 UTF-8 编码后再创建！");
    EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
    EXPECT_EQ(Image1Bitmap(), nullptr);
    ScopedBitmap shown = Pic2Image();
    EXPECT_FALSE(DecodesTo(shown.get(), StartBytes)) << "the previous symbol must not stay";
    Select(3, 1);
    ExpectSymbolOf("Thai \xE0\xB8\x81 Hindi \xE0\xA4\x95");
}

TEST_F(Form1Create, ScreenshotAfterCreate)
{
    SetText(L"Vemora 二维码");
    ASSERT_TRUE(Create());
    SetForegroundWindow(Form());
    RedrawWindow(Form(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    // The window's client area as the screen shows it.
    POINT origin{0, 0};
    ClientToScreen(Form(), &origin);
    void* bits = nullptr;
    ScopedBitmap shot = NewTopDownDib(Form1::ClientWidth, Form1::ClientHeight, &bits);
    ASSERT_TRUE(shot);
    {
        ScopedGetDC screen(nullptr);
        ScopedMemDC dc(screen.get());
        ScopedSelectObject selected(dc.get(), shot.get());
        ASSERT_TRUE(BitBlt(dc.get(), 0, 0, Form1::ClientWidth, Form1::ClientHeight, screen.get(),
                           origin.x, origin.y, SRCCOPY));
        GdiFlush();
    }
    const std::vector<std::uint8_t> png =
        EncodePng(static_cast<const std::uint8_t*>(bits), Form1::ClientWidth, Form1::ClientHeight,
                  Form1::ClientWidth * 4);
    ASSERT_FALSE(png.empty());
    std::wstring path = L"Z:";
    for (const char c : std::string(VEMORA_UI_SCREENSHOT)) path += c == '/' ? L'\\' : wchar_t(c);
    DeleteFileW(path.c_str());
    DWORD written = 0;
    {
        ScopedHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    }
    EXPECT_EQ(written, png.size());

    // What the screen shows of Pic2 reads too.
    ScopedBitmap pic = NewTopDownDib(329, 329, &bits);
    {
        ScopedGetDC screen(nullptr);
        ScopedMemDC dc(screen.get());
        ScopedSelectObject selected(dc.get(), pic.get());
        BitBlt(dc.get(), 0, 0, 329, 329, screen.get(), origin.x + 96, origin.y + 88, SRCCOPY);
        GdiFlush();
    }
    std::string decoded;
    EXPECT_TRUE(DecodesTo(pic.get(), "Vemora \xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81", &decoded))
        << decoded;
}
