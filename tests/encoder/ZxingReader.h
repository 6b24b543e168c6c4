#pragma once

// An independent reader for our symbols: the matrix is drawn as a greyscale
// image with a light quiet zone and handed to ZXing-cpp, whose raw byte
// content must equal the message we encoded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "ModuleMatrix.h"

struct DecodedSymbol {
    std::vector<std::uint8_t> bytes;
    std::string ecLevel; // "L", "M", "Q" or "H"
};

// scale: pixels per module; quiet: light modules around the symbol (4 is the
// standard's minimum).
inline std::optional<DecodedSymbol> ReadSymbol(const ModuleMatrix& matrix, int scale = 3, int quiet = 4)
{
    const int size = matrix.Size();
    const int side = (size + 2 * quiet) * scale;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side, 0xFF);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            if (matrix.IsDark(r, c))
                for (int y = 0; y < scale; ++y)
                    for (int x = 0; x < scale; ++x)
                        pixels[static_cast<std::size_t>((quiet + r) * scale + y) * side + (quiet + c) * scale + x] = 0;

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::ImageView image(pixels.data(), side, side, ZXing::ImageFormat::Lum);
    const ZXing::Result result = ZXing::ReadBarcode(image, hints);
    if (!result.isValid()) return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    return DecodedSymbol{std::vector<std::uint8_t>(bytes.begin(), bytes.end()), result.ecLevel()};
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
