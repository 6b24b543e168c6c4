// vemora-qrread: the Linux half of the Windows tests' symbol reader.
//
//   vemora-qrread IMAGE.pgm RESULT
//   vemora-qrread --list LIST RESULT
//
// The second form reads every image named in LIST (one path per line) and
// writes the two reader lines of each, followed by a line "end", in order.
//
// An image whose name ends in ".svg" is an SVG document: rsvg-convert
// rasterises it at 300 dpi from its own size, as a print would, and the PNG
// it writes beside it is read.
//
// Reads a binary greyscale PGM (P5, maxval 255) written by a test running
// under Wine, decodes the QR Code symbol in it with ZXing-cpp and with zbar
// (both asked for the raw bytes, no character-set conversion), and writes
// RESULT with one line per reader:
//
//   zxing <hex bytes>|none
//   zbar <hex bytes>|none
//
// RESULT is written under a temporary name and renamed, so a reader polling
// for it never sees half a file: Wine cannot wait for a Unix process it has
// started, so the Windows side polls.
#include <png.h>
#include <zbar.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ZxingRead.h"

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

std::optional<Image> ReadPgm(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    Image image;
    if (!(in >> magic >> image.width >> image.height >> maxval) || magic != "P5" || maxval != 255)
        return std::nullopt;
    if (image.width <= 0 || image.height <= 0 || image.width > 20000 || image.height > 20000)
        return std::nullopt;
    in.get(); // the single white space after maxval
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!in.read(reinterpret_cast<char*>(image.pixels.data()),
                 static_cast<std::streamsize>(image.pixels.size())))
        return std::nullopt;
    return image;
}

// An SVG document rasterised by rsvg-convert (VEMORA_RSVG_CONVERT, given by
// the build) and read back as grey pixels through libpng.
std::optional<Image> RasteriseSvg(const std::string& path)
{
    const std::string png = path + ".png";
    std::remove(png.c_str());
    const std::string command = std::string(VEMORA_RSVG_CONVERT) +
                                " --dpi-x 300 --dpi-y 300 --format png --output '" + png + "' '" +
                                path + "'";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_GRAY;
    Image grey{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    grey.pixels.resize(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255}; // transparent parts against paper
    const bool read = png_image_finish_read(&image, &white, grey.pixels.data(), 0, nullptr);
    std::remove(png.c_str());
    if (!read) return std::nullopt;
    return grey;
}

// Both readers want a few pixels per module; a picture with one pixel per
// module is enlarged by whole pixels, which keeps every module square.
Image Enlarge(const Image& image)
{
    const int longer = std::max(image.width, image.height);
    const int scale = std::max(1, (400 + longer - 1) / longer);
    if (scale == 1) return image;
    Image big{image.width * scale, image.height * scale, {}};
    big.pixels.resize(static_cast<std::size_t>(big.width) * big.height);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            big.pixels[static_cast<std::size_t>(y) * big.width + x] =
                image.pixels[static_cast<std::size_t>(y / scale) * image.width + x / scale];
    return big;
}

std::optional<std::string> ReadWithZxing(const Image& image)
{
    // Screenshots and enlarged pictures: the symbol is searched for.
    const auto reading =
        ReadQrWithZxing(image.pixels.data(), image.width, image.height, ZxingSearch::Thorough);
    if (!reading) return std::nullopt;
    return std::string(reading->bytes.begin(), reading->bytes.end());
}

std::optional<std::string> ReadWithZbar(const Image& image)
{
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::Image zimage(static_cast<unsigned>(image.width), static_cast<unsigned>(image.height),
                       "Y800", image.pixels.data(), image.pixels.size());
    if (scanner.scan(zimage) <= 0) return std::nullopt;
    for (auto symbol = zimage.symbol_begin(); symbol != zimage.symbol_end(); ++symbol)
        return symbol->get_data();
    return std::nullopt;
}

std::string Line(const char* reader, const std::optional<std::string>& bytes)
{
    std::string line = std::string(reader) + ' ';
    if (!bytes) return line + "none\n";
    static const char digits[] = "0123456789abcdef";
    for (unsigned char b : *bytes) {
        line += digits[b >> 4];
        line += digits[b & 15];
    }
    return line + '\n';
}

// The two reader lines for one image file.
std::string Report(const std::string& path)
{
    const bool svg = path.size() > 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
    const std::optional<Image> image = svg ? RasteriseSvg(path) : ReadPgm(path.c_str());
    if (!image) return "error cannot read " + path + '\n';
    const Image big = Enlarge(*image);
    return Line("zxing", ReadWithZxing(big)) + Line("zbar", ReadWithZbar(big));
}

} // namespace

int main(int argc, char** argv)
{
    std::string report, resultPath;
    if (argc == 4 && std::string(argv[1]) == "--list") {
        std::ifstream list(argv[2]);
        for (std::string path; std::getline(list, path);)
            if (!path.empty()) report += Report(path) + "end\n";
        resultPath = argv[3];
    } else if (argc == 3) {
        report = Report(argv[1]);
        resultPath = argv[2];
    } else {
        std::fprintf(stderr, "usage: %s IMAGE.pgm RESULT | --list LIST RESULT\n", argv[0]);
        return 2;
    }
    const std::string temporary = resultPath + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << report;
        if (!out) return 1;
    }
    return std::rename(temporary.c_str(), resultPath.c_str()) == 0 ? 0 : 1;
}
