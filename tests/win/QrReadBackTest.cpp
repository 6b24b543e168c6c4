// The bridge to the Linux readers must say yes to a real symbol with exactly
// its bytes and no to anything else; otherwise every test built on it would
// prove nothing.
#include "QrReadBack.h"

#include <gtest/gtest.h>

#include <string>

#include "ScopedWin.h"
#include "clsQRCode.h"

namespace {

// Draws the matrix with scale pixels per module and a four-module quiet zone
// through a 32-bit DIB section, independently of the program's renderer.
ScopedBitmap DrawMatrix(const ModuleMatrix& matrix, int scale)
{
    const int side = (matrix.Size() + 8) * scale;
    void* bits = nullptr;
    ScopedBitmap bitmap = NewTopDownDib(side, side, &bits);
    if (!bitmap) return bitmap;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int row = y / scale - 4, column = x / scale - 4;
            const bool dark = row >= 0 && column >= 0 && row < matrix.Size() &&
                              column < matrix.Size() && matrix.IsDark(row, column);
            pixels[y * side + x] = dark ? 0x000000 : 0xFFFFFF;
        }
    return bitmap;
}

ModuleMatrix Encode(const std::string& bytes, int version = 0, int level = 2)
{
    clsQRCode coder;
    coder.SetKanjiAllowed(false);
    std::optional<ModuleMatrix> matrix =
        coder.EncodeMatrix(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           static_cast<int>(bytes.size()), version, level, 0);
    EXPECT_TRUE(matrix.has_value());
    return matrix ? *matrix : ModuleMatrix(21);
}

} // namespace

TEST(QrReadBack, BothReadersGiveTheExactBytesOfASymbol)
{
    std::string binary;
    for (int b = 0; b < 256; ++b) binary += static_cast<char>(b);
    for (const std::string& message :
         {std::string("HELLO WORLD 123"), std::string("\xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81"),
          binary}) {
        ScopedBitmap bitmap = DrawMatrix(Encode(message), 1);
        ASSERT_TRUE(bitmap);
        const QrReading reading = ReadBack(bitmap.get());
        EXPECT_EQ(reading.error, "");
        ASSERT_TRUE(reading.zxing.has_value());
        EXPECT_EQ(*reading.zxing, message);
        ASSERT_TRUE(reading.zbar.has_value());
        EXPECT_EQ(*reading.zbar, message);
        std::string decoded;
        EXPECT_TRUE(DecodesTo(bitmap.get(), message, &decoded)) << decoded;
        EXPECT_EQ(decoded, message);
    }
}

TEST(QrReadBack, RefusesOtherBytesABlankPictureAndNoPicture)
{
    ScopedBitmap bitmap = DrawMatrix(Encode("abc"), 2);
    std::string decoded;
    EXPECT_FALSE(DecodesTo(bitmap.get(), "abd", &decoded));
    EXPECT_NE(decoded.find("616263"), std::string::npos) << decoded; // says what it did read
    EXPECT_FALSE(DecodesTo(bitmap.get(), "ab", nullptr));

    ScopedBitmap blank = DrawMatrix(ModuleMatrix(21), 2);
    const QrReading reading = ReadBack(blank.get());
    EXPECT_EQ(reading.error, "");
    EXPECT_FALSE(reading.zxing.has_value());
    EXPECT_FALSE(reading.zbar.has_value());
    EXPECT_FALSE(DecodesTo(blank.get(), "", nullptr));

    EXPECT_FALSE(DecodesTo(static_cast<HBITMAP>(nullptr), "abc", &decoded));
    EXPECT_FALSE(DecodesTo(static_cast<IPictureDisp*>(nullptr), "abc", &decoded));
}

TEST(QrReadBack, ReadsTheLargestSymbolAtOnePixelPerModule)
{
    const std::string message(2000, 'x');
    std::string decoded;
    EXPECT_TRUE(DecodesTo(DrawMatrix(Encode(message, 40, 1), 1).get(), message, &decoded))
        << decoded;
}

TEST(QrReadBack, ReadsABitmapFile)
{
    ScopedBitmap bitmap = DrawMatrix(Encode("file 42"), 3);
    const std::optional<GreyImage> grey = BitmapToGrey(bitmap.get());
    ASSERT_TRUE(grey.has_value());
    // A 24-bit bottom-up BMP, as most writers make them.
    const int width = grey->width, height = grey->height, stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] =
                static_cast<char>(grey->pixels[static_cast<std::size_t>(y) * width + x]);
        bytes += row;
    }
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    ASSERT_NE(GetTempFileNameW(folder, L"vqr", 0, path), 0u);
    {
        ScopedHandle out(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(out);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr));
    }
    std::string decoded;
    EXPECT_TRUE(FileDecodesTo(path, "file 42", &decoded)) << decoded;
    DeleteFileW(path);
    EXPECT_FALSE(FileDecodesTo(path, "file 42", &decoded));
}

TEST(QrReadBack, ManyImagesInOneRunAnswerInOrder)
{
    const std::string messages[] = {"FIRST", "second symbol", "3"};
    std::vector<GreyImage> images;
    for (const std::string& message : messages) {
        ScopedBitmap bitmap = DrawMatrix(Encode(message), 2);
        images.push_back(*BitmapToGrey(bitmap.get()));
        if (message == "second symbol") {
            ScopedBitmap blank = DrawMatrix(ModuleMatrix(21), 2);
            images.push_back(*BitmapToGrey(blank.get()));
        }
    }
    const std::vector<QrReading> readings = ReadBackAll(images);
    ASSERT_EQ(readings.size(), 4u);
    for (const QrReading& reading : readings) EXPECT_EQ(reading.error, "");
    EXPECT_EQ(readings[0].zxing, messages[0]);
    EXPECT_EQ(readings[1].zxing, messages[1]);
    EXPECT_FALSE(readings[2].zxing.has_value()) << "the blank picture";
    EXPECT_EQ(readings[3].zxing, messages[2]);
    EXPECT_TRUE(ReadBackAll({}).empty());
}
