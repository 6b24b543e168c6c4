#pragma once

// An independent reader for our symbols: the matrix is drawn as a greyscale
// image with a light quiet zone and handed to ZXing-cpp, whose raw byte
// content must equal the message we encoded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ModuleImage.h"
#include "ModuleMatrix.h"
#include "ZxingRead.h"

using DecodedSymbol = ZxingReading;

// Any picture of a symbol, for instance one rasterised from a vector file;
// characterSet: how the reader takes byte segments (empty: it guesses).
inline std::optional<DecodedSymbol> ReadSymbolImage(const ModuleImage& image,
                                                    const std::string& characterSet = {})
{
    return ReadQrWithZxing(image.pixels.data(), image.side, image.side, ZxingSearch::Thorough,
                           characterSet);
}

// scale: pixels per module; quiet: light modules around the symbol (4 is the
// standard's minimum).
inline std::optional<DecodedSymbol> ReadSymbol(const ModuleMatrix& matrix, int scale = 3,
                                               int quiet = 4, const std::string& characterSet = {})
{
    return ReadSymbolImage(DrawModules(matrix.Data(), matrix.Size(), matrix.Stride(), scale, quiet),
                           characterSet);
}

inline std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}
