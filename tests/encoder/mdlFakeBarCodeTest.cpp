// The renderer under Wine: picture sizes, every pixel against the module
// matrix, the palette, refusals, ownership of the bitmap, GDI leaks (proved
// by exhausting the process's GDI objects) and read-back by real decoders.
#include "mdlFakeBarCode.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <climits>
#include <string>
#include <vector>

#include "OlePicture.h"
#include "QrReadBack.h"
#include "ScopedWin.h"
#include "clsQRCode.h"

namespace {

using Picture = ScopedComPtr<IPictureDisp>;

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> rgb; // 0x00RRGGBB, top row first

    DWORD At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

constexpr DWORD White = 0xFFFFFF;
constexpr DWORD Black = 0x000000;
constexpr DWORD Grey = 0x808080;

Pixels ReadPixels(IPictureDisp* picture)
{
    Pixels pixels;
    pixels.rgb = BitmapPixels(PictureBitmap(picture), &pixels.width, &pixels.height);
    return pixels;
}

std::optional<ModuleMatrix> Matrix(const std::string& message, int version, int level, int mask)
{
    clsQRCode coder;
    return coder.EncodeMatrix(reinterpret_cast<const std::uint8_t*>(message.data()),
                              static_cast<int>(message.size()), version, level, mask);
}

Picture Encode(clsQRCode& coder, const std::string& message, int version, int level, int mask)
{
    return coder.Encode(reinterpret_cast<const std::uint8_t*>(message.data()),
                        static_cast<int>(message.size()), version, level, mask);
}

// The picture of Encode: a white frame of four pixels, then the matrix's
// stride x stride cells (its three extra rows and columns are 0, so white),
// then one more white pixel at the right and bottom.
void ExpectPictureOfMatrix(const Pixels& pixels, const ModuleMatrix& matrix)
{
    const int size = matrix.Size();
    ASSERT_EQ(pixels.width, size + 8);
    ASSERT_EQ(pixels.height, size + 8);
    int wrong = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const int row = y - 4, column = x - 4;
            const bool inSymbol = row >= 0 && column >= 0 && row < size && column < size;
            const DWORD expected = inSymbol && matrix.IsDark(row, column) ? Black : White;
            if (pixels.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << pixels.At(x, y);
        }
    EXPECT_EQ(wrong, 0);
}

// Creates brushes until GDI refuses; they all go when the object does.
class GdiExhaustion {
public:
    GdiExhaustion()
    {
        // Far more than Wine's limit of about 65,000 objects a process.
        for (int i = 0; i < 200000; ++i) {
            ScopedBrush brush(CreateSolidBrush(RGB(i & 0xFF, 0, 0)));
            if (!brush) break;
            brushes_.push_back(std::move(brush));
        }
    }
    int Held() const { return static_cast<int>(brushes_.size()); }
    void Free(int count)
    {
        for (int i = 0; i < count && !brushes_.empty(); ++i) brushes_.pop_back();
    }
    // How many objects can be created now; takes them all again.
    int Refill()
    {
        int created = 0;
        while (ScopedBrush brush{CreateSolidBrush(RGB(0, 0, 0xFF))}) {
            brushes_.push_back(std::move(brush));
            ++created;
        }
        return created;
    }

private:
    std::vector<ScopedBrush> brushes_;
};

} // namespace

TEST(mdlFakeBarCode, PictureIsSymbolPlusFourModulesEachSide)
{
    clsQRCode coder;
    for (int version = 1; version <= 40; ++version) {
        Picture picture = Encode(coder, "7", version, 1, 0);
        ASSERT_TRUE(picture) << "version " << version;
        BITMAP info{};
        ASSERT_TRUE(GetObjectW(PictureBitmap(picture.get()), sizeof info, &info))
            << "version " << version;
        EXPECT_EQ(info.bmWidth, 4 * version + 17 + 8) << "version " << version;
        EXPECT_EQ(info.bmHeight, 4 * version + 17 + 8) << "version " << version;
    }
    Picture first = Encode(coder, "", 1, 2, 0);
    Picture last = Encode(coder, "", 40, 2, 0);
    EXPECT_EQ(ReadPixels(first.get()).width, 29);
    EXPECT_EQ(ReadPixels(last.get()).width, 185);
}

TEST(mdlFakeBarCode, EveryPixelIsTheModuleMatrix)
{
    struct Case {
        std::string message;
        int version, level, mask;
    };
    const Case cases[] = {
        {"", 1, 2, 0},
        {"01234567", 1, 2, 3},
        {"HELLO WORLD", 2, 4, 7},
        {"https://example.com/?q=QR%20Code", 7, 3, 5},
        {std::string(500, 'a'), 0, 1, 1},
        {std::string(1200, '9'), 40, 4, 6},
    };
    clsQRCode coder;
    for (const Case& c : cases) {
        SCOPED_TRACE("version " + std::to_string(c.version) + ", " +
                     std::to_string(c.message.size()) + " bytes");
        const std::optional<ModuleMatrix> matrix = Matrix(c.message, c.version, c.level, c.mask);
        ASSERT_TRUE(matrix.has_value());
        // Through the renderer's own entry, as Encode calls it ...
        Picture drawn(
            CreateSymbolPicture(matrix->Data(), matrix->Stride(), matrix->Stride(), 4, 4, 1, 1));
        ASSERT_TRUE(drawn);
        ExpectPictureOfMatrix(ReadPixels(drawn.get()), *matrix);
        // ... and through Encode, which must draw the very same matrix.
        Picture encoded = Encode(coder, c.message, c.version, c.level, c.mask);
        ASSERT_TRUE(encoded);
        ExpectPictureOfMatrix(ReadPixels(encoded.get()), *matrix);
    }
}

TEST(mdlFakeBarCode, RealReadersDecodeThePictureToTheInputBytes)
{
    std::string allBytes;
    for (int b = 0; b < 256; ++b) allBytes += static_cast<char>(b);
    const std::string messages[] = {
        "",
        "01234567",
        "VEMORA QR CODE 2026",
        "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C", // UTF-8 Chinese
        allBytes,
        std::string(2900, 'Z'),
    };
    clsQRCode coder;
    coder.SetKanjiAllowed(false);
    for (const std::string& message : messages) {
        for (int level = 1; level <= 4; ++level) {
            SCOPED_TRACE(std::to_string(message.size()) + " bytes, level " + std::to_string(level));
            Picture picture = Encode(coder, message, 0, level, level * 2 - 1);
            if (!picture) {
                // Only the longest message may not fit, and only at the higher levels.
                EXPECT_EQ(message.size(), 2900u);
                EXPECT_GE(level, 3);
                continue;
            }
            std::string decoded;
            EXPECT_TRUE(DecodesTo(picture.get(), message, &decoded)) << decoded;
            if (message.size() < 1000) {
                const QrReading second = ReadBack(PictureBitmap(picture.get()));
                EXPECT_EQ(second.zbar, std::optional<std::string>(message)) << "zbar";
            }
        }
    }
}

TEST(mdlFakeBarCode, PaletteIsWhiteBlackGreyThenBlack)
{
    // One row holding every cell value, drawn with uneven margins.
    std::vector<std::uint8_t> row(256);
    for (int i = 0; i < 256; ++i) row[i] = static_cast<std::uint8_t>(i);
    Picture picture(CreateSymbolPicture(row.data(), 256, 1, 3, 5, 7, 2));
    ASSERT_TRUE(picture);
    const Pixels pixels = ReadPixels(picture.get());
    ASSERT_EQ(pixels.width, 3 + 256 + 7);
    ASSERT_EQ(pixels.height, 5 + 1 + 2);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const bool inGrid = y == 5 && x >= 3 && x < 3 + 256;
            if (!inGrid) {
                EXPECT_EQ(pixels.At(x, y), White) << x << ", " << y;
                continue;
            }
            const int value = x - 3;
            const DWORD expected = value == 0 ? White : value == 2 ? Grey : Black;
            EXPECT_EQ(pixels.At(x, y), expected) << "cell value " << value;
        }
}

TEST(mdlFakeBarCode, GridRowsAreReadTopDownWithoutPadding)
{
    // 4 x 3 grid, each row different, to show row order and stride.
    const std::uint8_t grid[] = {1, 0, 0, 0, //
                                 0, 1, 0, 2, //
                                 1, 1, 1, 1};
    Picture picture(CreateSymbolPicture(grid, 4, 3, 0, 0, 0, 0));
    ASSERT_TRUE(picture);
    const Pixels pixels = ReadPixels(picture.get());
    ASSERT_EQ(pixels.width, 4);
    ASSERT_EQ(pixels.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint8_t v = grid[y * 4 + x];
            EXPECT_EQ(pixels.At(x, y), v == 0 ? White : v == 2 ? Grey : Black) << x << ", " << y;
        }
}

TEST(mdlFakeBarCode, BadArgumentsGiveNoPicture)
{
    std::vector<std::uint8_t> grid(64 * 64, 1);
    const std::uint8_t* bits = grid.data();
    EXPECT_FALSE(CreateSymbolPicture(nullptr, 24, 24, 4, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 0, 24, 4, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, 0, 4, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, -24, 24, 4, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, -24, 4, 4, 1, 1));
    // Rows that are not a multiple of 4 bytes would make GDI read past the grid.
    EXPECT_FALSE(CreateSymbolPicture(bits, 21, 21, 4, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, 24, -1, 4, 1, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, 24, 4, 4, 1, -1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, 24, INT_MAX, 4, INT_MAX, 1));
    EXPECT_FALSE(CreateSymbolPicture(bits, 24, 24, 4, MaxPictureSide, 1, 1));
    Picture largest(CreateSymbolPicture(bits, 64, 64, MaxPictureSide - 64, 0, 0, 0));
    EXPECT_TRUE(largest);

    EXPECT_FALSE(BitmapToPicture(nullptr, true));
    EXPECT_FALSE(BitmapToPicture(nullptr, false));

    clsQRCode coder;
    EXPECT_FALSE(Encode(coder, "x", -1, 2, 0));
    EXPECT_FALSE(Encode(coder, std::string(100, 'x'), 1, 2, 0));  // too long for version 1
    EXPECT_FALSE(Encode(coder, std::string(8000, 'x'), 0, 2, 0)); // too long for any version
}

TEST(mdlFakeBarCode, PictureOwnsTheBitmapOnlyWhenAsked)
{
    ScopedGetDC screen(nullptr);
    BITMAP info{};

    HBITMAP owned = CreateCompatibleBitmap(screen.get(), 8, 8);
    ASSERT_NE(owned, nullptr);
    Picture owner(BitmapToPicture(owned, true));
    ASSERT_TRUE(owner);
    EXPECT_EQ(PictureBitmap(owner.get()), owned);
    owner.reset();
    EXPECT_EQ(GetObjectW(owned, sizeof info, &info), 0)
        << "the picture should have deleted its bitmap";

    ScopedBitmap kept(CreateCompatibleBitmap(screen.get(), 8, 8));
    ASSERT_TRUE(kept);
    Picture borrower(BitmapToPicture(kept.get(), false));
    ASSERT_TRUE(borrower);
    borrower.reset();
    EXPECT_NE(GetObjectW(kept.get(), sizeof info, &info), 0)
        << "the bitmap should still be the caller's";
}

// GetGuiResources is a stub under Wine, so leaks are proved by exhaustion: a
// process holds about 65,000 GDI objects, and one leaked object per cycle
// would use them all up long before the end.
TEST(mdlFakeBarCode, SeventyThousandPicturesLeakNoGdiObject)
{
    clsQRCode coder;
    const std::string message = "leak test";
    for (int cycle = 0; cycle < 70000; ++cycle) {
        const Picture picture = coder.Encode(reinterpret_cast<const std::uint8_t*>(message.data()),
                                             static_cast<int>(message.size()), 1, 2, cycle % 8);
        ASSERT_TRUE(picture) << "cycle " << cycle;
    }
    Picture last = Encode(coder, message, 1, 2, 0);
    ASSERT_TRUE(last);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(last.get(), message, &decoded)) << decoded;
}

// With the GDI objects of the process used up, drawing fails cleanly, and
// neither a failed nor a successful attempt keeps an object: exactly the
// freed number can be created again afterwards.
TEST(mdlFakeBarCode, ExhaustedGdiGivesNoPictureAndLeaksNothing)
{
    const std::optional<ModuleMatrix> matrix = Matrix("exhausted", 1, 2, 0);
    ASSERT_TRUE(matrix.has_value());
    // The first screen DC and the first picture of a process leave cached
    // objects behind in user32 and OLE for good; take those before counting.
    {
        Picture warmUp(
            CreateSymbolPicture(matrix->Data(), matrix->Stride(), matrix->Stride(), 4, 4, 1, 1));
        ASSERT_TRUE(warmUp);
        ExpectPictureOfMatrix(ReadPixels(warmUp.get()), *matrix);
    }
    bool drewOnce = false;
    {
        GdiExhaustion gdi;
        ASSERT_GT(gdi.Held(), 1000);
        ASSERT_LT(gdi.Held(), 200000) << "GDI never refused";
        for (int freed = 0; freed <= 6; ++freed) {
            gdi.Free(freed);
            {
                Picture picture(CreateSymbolPicture(matrix->Data(), matrix->Stride(),
                                                    matrix->Stride(), 4, 4, 1, 1));
                // Reading the pixels back needs GDI objects too; the recovered
                // picture below is checked pixel by pixel instead.
                if (picture) drewOnce = true;
            }
            EXPECT_EQ(gdi.Refill(), freed) << "after an attempt with " << freed << " free objects";
        }
        EXPECT_FALSE(
            CreateSymbolPicture(matrix->Data(), matrix->Stride(), matrix->Stride(), 4, 4, 1, 1));
    }
    EXPECT_TRUE(drewOnce) << "a few free objects should be enough for one picture";
    Picture recovered(
        CreateSymbolPicture(matrix->Data(), matrix->Stride(), matrix->Stride(), 4, 4, 1, 1));
    ASSERT_TRUE(recovered);
    ExpectPictureOfMatrix(ReadPixels(recovered.get()), *matrix);
}
