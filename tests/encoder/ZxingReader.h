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

#include "SymbolImage.h"

struct DecodedSymbol {
    std::vector<std::uint8_t> bytes;
    std::string ecLevel; // "L", "M", "Q" or "H"
    std::string text;    // the content as UTF-8, byte segments read in the given character set
};

// Any picture of a symbol, for instance one rasterised from a vector file;
// characterSet: how the reader takes byte segments (empty: it guesses).
inline std::optional<DecodedSymbol> ReadSymbolImage(const SymbolImage& image,
                                                    const std::string& characterSet = {})
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    if (!characterSet.empty()) hints.setCharacterSet(characterSet);
    const ZXing::ImageView view(image.pixels.data(), image.side, image.side,
                                ZXing::ImageFormat::Lum);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    return DecodedSymbol{std::vector<std::uint8_t>(bytes.begin(), bytes.end()), result.ecLevel(),
                         result.text()};
}

// scale: pixels per module; quiet: light modules around the symbol (4 is the
// standard's minimum).
inline std::optional<DecodedSymbol> ReadSymbol(const ModuleMatrix& matrix, int scale = 3,
                                               int quiet = 4, const std::string& characterSet = {})
{
    return ReadSymbolImage(DrawSymbol(matrix, scale, quiet), characterSet);
}

inline std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}
