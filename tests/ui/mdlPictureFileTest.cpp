// File names and never-replacing writes of the save commands, and the print
// picture read back by WIC and by real decoders.
#include "mdlPictureFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "FormDriver.h"
#include "clsQRCode.h"
#include "mdlSvgWriter.h"

TEST(mdlPictureFile, NamesByTimeOfDayAndNumber)
{
    SYSTEMTIME time{};
    time.wHour = 21;
    time.wMinute = 5;
    time.wSecond = 3;
    EXPECT_EQ(TimeOfDayName(time), L"21时05分03秒 ");
    time.wHour = 0;
    time.wMinute = 0;
    time.wSecond = 0;
    EXPECT_EQ(TimeOfDayName(time), L"00时00分00秒 ");
    EXPECT_EQ(NumberedFileName(L"x ", 1, L".png"), L"x .png");
    // One space before the number: the time-of-day base brings it.
    EXPECT_EQ(NumberedFileName(L"x ", 2, L".png"), L"x (2).png");
    EXPECT_EQ(NumberedFileName(L"x ", 12, L".png"), L"x (12).png");
    EXPECT_EQ(NumberedFileName(L"x", 2, L".png"), L"x (2).png");
    EXPECT_EQ(NumberedFileName(TimeOfDayName(time), 2, L".png"), L"00时00分00秒 (2).png");
    EXPECT_EQ(NumberedFileName(TimeOfDayName(time), 3, L".svg"), L"00时00分00秒 (3).svg");
}

TEST(mdlPictureFile, WritesNeverReplaceAFile)
{
    const TempFolder temp(L"file");
    const std::wstring& folder = temp.Path();
    const std::vector<std::uint8_t> one{'1'}, two{'2', '2'};
    const SaveResult first = WriteNewFile(folder, L"a ", L".png", one);
    const SaveResult second = WriteNewFile(folder, L"a ", L".png", two);
    const SaveResult other = WriteNewFile(folder, L"a ", L".svg", two);
    EXPECT_EQ(first.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(first.path, folder + L"\\a .png");
    EXPECT_EQ(second.path, folder + L"\\a (2).png");
    EXPECT_EQ(other.path, folder + L"\\a .svg") << "each ending counts on its own";
    std::ifstream in(first.path.c_str(), std::ios::binary);
    EXPECT_EQ(in.get(), '1');
    in.close();

    const SaveResult missing = WriteNewFile(folder + L"\\nowhere", L"a ", L".png", one);
    EXPECT_EQ(missing.error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(missing.path.empty());
    EXPECT_FALSE(SystemErrorText(missing.error).empty());
}

TEST(mdlPictureFile, SystemReasonsEndWithoutAFullStopForTheCallerToAddOne)
{
    // The Chinese system texts end in "。" and a line break, the English ones
    // in "." and a line break; Save's warning ends the sentence itself.
    for (const DWORD error : {DWORD(ERROR_PATH_NOT_FOUND), DWORD(ERROR_ACCESS_DENIED),
                              DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_DISK_FULL)}) {
        const std::wstring reason = SystemErrorText(error);
        ASSERT_FALSE(reason.empty()) << error;
        EXPECT_EQ(reason.find_last_not_of(L"\u3002.\r\n "), reason.size() - 1)
            << "error " << error << " ends in a full stop or a line break";
    }
}

TEST(mdlPictureFile, PngOfPixelsStartsWithTheSignature)
{
    std::vector<std::uint8_t> pixels(4 * 3 * 2, 0xFF);
    const std::vector<std::uint8_t> png = EncodePng(pixels.data(), 3, 2, 12);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_TRUE(EncodePng(nullptr, 3, 2, 12).empty());
    EXPECT_TRUE(EncodePng(pixels.data(), 3, 2, 8).empty()) << "a stride too short for the width";
}

namespace {

// The PNG chunk named type ("pHYs") of a file's bytes, without its length,
// name and check value; empty when the file has none.
std::string PngChunk(const std::string& file, const std::string& type)
{
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(file[i]); };
        const std::size_t length = (std::size_t{byte(at)} << 24) | (byte(at + 1) << 16) |
                                   (byte(at + 2) << 8) | byte(at + 3);
        if (file.compare(at + 4, 4, type) == 0) return file.substr(at + 8, length);
        at += 12 + length;
    }
    return {};
}

// The pixels a metre of a pHYs chunk, both ways, or 0 unless they agree and
// the unit is the metre.
std::uint32_t PixelsPerMetre(const std::string& pHYs)
{
    if (pHYs.size() != 9 || pHYs.compare(0, 4, pHYs, 4, 4) != 0 || pHYs[8] != 1) return 0;
    std::uint32_t rate = 0;
    for (int i = 0; i < 4; ++i) rate = rate << 8 | static_cast<unsigned char>(pHYs[i]);
    return rate;
}

// The SVG's width attribute in millimetres, or -1.
double SvgWidthMillimetres(const std::string& svg)
{
    const std::size_t at = svg.find(" width=\"");
    return at == std::string::npos ? -1 : std::atof(svg.c_str() + at + 8);
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixels of a print picture (k pixels a module, four modules of margin) not
// black or white as their module is.
int PixelsOffTheirModule(const std::vector<DWORD>& pixels, const ModuleMatrix& matrix, int k)
{
    const int width = k * (matrix.Size() + 8);
    if (pixels.size() != static_cast<std::size_t>(width) * width) return -1;
    int wrong = 0;
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < width; ++x) {
            const int row = y / k - 4, column = x / k - 4;
            const bool dark = row >= 0 && column >= 0 && row < matrix.Size() &&
                              column < matrix.Size() && matrix.IsDark(row, column);
            wrong +=
                pixels[static_cast<std::size_t>(y) * width + x] != (dark ? 0x000000u : 0xFFFFFFu);
        }
    return wrong;
}

} // namespace

TEST(mdlPictureFile, PrintPngHasWholeSquareModulesAtHalfAMillimetreAndReadsBack)
{
    const TempFolder temp(L"print");
    const std::wstring& folder = temp.Path();

    clsQRCode qr;
    std::vector<std::string> messages;
    std::vector<GreyImage> pictures;
    for (int version = 1; version <= 40; ++version) {
        const int level = 1 + (version - 1) % 4; // version 1 at L holds the message
        const std::string message = "Vemora \xE6\x89\x93\xE5\x8D\xB0 " + std::to_string(version);
        const auto matrix =
            qr.EncodeMatrix(reinterpret_cast<const std::uint8_t*>(message.data()),
                            static_cast<int>(message.size()), version, level, version % 8);
        ASSERT_TRUE(matrix) << version;
        const std::vector<std::uint8_t> png = EncodePrintPng(*matrix);
        const SaveResult saved = WriteNewFile(folder, L"print ", L".png", png);
        ASSERT_EQ(saved.error, static_cast<DWORD>(ERROR_SUCCESS)) << version;
        const std::string what = "version " + std::to_string(version);

        // Half a millimetre a module in the file: pHYs in pixels a metre,
        // the same both ways, and WIC reads the same resolution back.
        const std::uint32_t rate = PixelsPerMetre(PngChunk(ReadWholeFile(saved.path), "pHYs"));
        ASSERT_GT(rate, 0u) << what;
        const int k = PrintModulePixels(matrix->Size());
        EXPECT_NEAR(1e6 * k / rate, 500.0, 0.01) << what << ": micrometres a module";
        const auto dpi = PngDotsPerInch(saved.path);
        ASSERT_TRUE(dpi) << what;
        EXPECT_NEAR(dpi->first, rate * 0.0254, 0.01) << what;
        EXPECT_NEAR(dpi->second, rate * 0.0254, 0.01) << what;

        // The least whole number of pixels a module that reaches 1,200
        // pixels, and every pixel black or white as its module is.
        ScopedBitmap picture = LoadPng(saved.path);
        int width = 0, height = 0;
        const std::vector<DWORD> pixels = BitmapPixels(picture.get(), &width, &height);
        const int side = matrix->Size() + 8;
        ASSERT_EQ(width, height) << what;
        ASSERT_EQ(width, k * side) << what;
        EXPECT_GE(width, 1200) << what;
        EXPECT_LT(width - side, 1200) << what << ": one pixel a module less would do";
        EXPECT_EQ(PixelsOffTheirModule(pixels, *matrix, k), 0)
            << what << ": pixels off their module";
        if (version == 1 || version == 10 || version == 40)
            std::printf("print PNG, version %d: %d x %d pixels, %d a module, %zu bytes\n", version,
                        width, height, k, png.size());
        messages.push_back(message);
        pictures.push_back(*BitmapToGrey(picture.get()));
        DeleteFileW(saved.path.c_str());
        if (HasFailure()) break;
    }

    // Both readers, every version; version 40 included (the 329-pixel box
    // picture has less than two pixels a module there).
    const std::vector<QrReading> readings = ReadBackAll(pictures);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(readings[i].error, "") << "version " << i + 1;
        EXPECT_EQ(readings[i].zxing.value_or("(none)"), messages[i]) << "version " << i + 1;
        EXPECT_EQ(readings[i].zbar.value_or("(none)"), messages[i]) << "version " << i + 1;
    }
}

TEST(mdlPictureFile, PrintPngAndSvgStateTheSameWidthAtEveryModuleSize)
{
    const TempFolder temp(L"sizes");
    clsQRCode qr;
    const std::string message = "Vemora 0123456789";
    std::vector<GreyImage> pictures;
    std::vector<std::wstring> svgs;
    for (const int micrometres : {250, 330, 500, 750, 1000})
        for (int version = 1; version <= 40; ++version) {
            const auto matrix = qr.EncodeMatrix(reinterpret_cast<const std::uint8_t*>(message.data()),
                                                static_cast<int>(message.size()), version, 2, 0);
            ASSERT_TRUE(matrix);
            const std::string what =
                std::to_string(micrometres) + " um, version " + std::to_string(version);
            const bool sample = version == 1 || version == 10 || version == 40;
            const std::string svg = SymbolToSvg(*matrix, micrometres);
            const SaveResult png = WriteNewFile(temp.Path(), L"size ", L".png",
                                                EncodePrintPng(*matrix, micrometres));
            ASSERT_EQ(png.error, static_cast<DWORD>(ERROR_SUCCESS)) << what;
            // Rasterised at 300 dpi, a module under 0.5 mm is three or four
            // dots, too few for the readers at the larger versions: the SVG
            // is read back at 0.5 mm and above (its pixels are the PNG's).
            if (sample && micrometres >= 500)
                svgs.push_back(
                    WriteNewFile(temp.Path(), L"size ", L".svg", {svg.begin(), svg.end()}).path);

            // Both state (modules + margin) x size: the SVG exactly, the PNG
            // at whole pixels a metre within a micrometre, with whole square
            // modules of at least the pixels that make 1,200.
            const int side = matrix->Size() + 8;
            const double exact = side * micrometres / 1000.0;
            EXPECT_NEAR(SvgWidthMillimetres(svg), exact, 1e-9) << what;
            ScopedBitmap picture = LoadPng(png.path);
            int width = 0, height = 0;
            const std::vector<DWORD> pixels = BitmapPixels(picture.get(), &width, &height);
            const int k = PrintModulePixels(matrix->Size(), micrometres);
            ASSERT_EQ(width, k * side) << what;
            ASSERT_EQ(height, width) << what;
            EXPECT_GE(width, 1200) << what;
            EXPECT_EQ(PixelsOffTheirModule(pixels, *matrix, k), 0) << what;
            const std::uint32_t rate = PixelsPerMetre(PngChunk(ReadWholeFile(png.path), "pHYs"));
            ASSERT_GT(rate, 0u) << what;
            const double stated = 1000.0 * width / rate;
            EXPECT_LT(std::abs(stated - exact), 0.001) << what << ": PNG " << stated << " mm";
            // The least such k: one pixel a module less is under 1,200
            // pixels or states the width a micrometre off or more.
            const double fewerStated =
                1000.0 * (k - 1) * side / PrintPixelsPerMetre(k - 1, micrometres);
            EXPECT_TRUE((k - 1) * side < 1200 || std::abs(fewerStated - exact) >= 0.001)
                << what << ": one pixel a module less would do";
            DeleteFileW(png.path.c_str());
            if (!sample) continue;
            std::printf("%s: %d x %d pixels, %d a module, %u pixels a metre, PNG %.4f mm, "
                        "SVG %s mm\n",
                        what.c_str(), width, height, k, rate, stated,
                        std::to_string(exact).c_str());
            pictures.push_back(*BitmapToGrey(picture.get()));
        }
    for (const QrReading& reading : ReadBackAll(pictures)) {
        EXPECT_EQ(reading.zxing.value_or("(none)"), message);
        EXPECT_EQ(reading.zbar.value_or("(none)"), message);
    }
    for (const QrReading& reading : ReadBackSvgFiles(svgs))
        EXPECT_EQ(reading.zxing.value_or("(none)"), message);
}
