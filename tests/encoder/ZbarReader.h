#pragma once

// A second independent reader: zbar, asked for the raw bytes of the symbol
// (binary mode, no character-set conversion).

#include <zbar.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "ModuleImage.h"
#include "ModuleMatrix.h"

// Any picture of a symbol, for instance one rasterised from a vector file.
inline std::optional<std::vector<std::uint8_t>> ReadImageWithZbar(const ModuleImage& image)
{
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::Image frame(static_cast<unsigned>(image.side), static_cast<unsigned>(image.side), "Y800",
                      image.pixels.data(), image.pixels.size());
    if (scanner.scan(frame) <= 0) return std::nullopt;
    for (auto symbol = frame.symbol_begin(); symbol != frame.symbol_end(); ++symbol) {
        const std::string data = symbol->get_data();
        return std::vector<std::uint8_t>(data.begin(), data.end());
    }
    return std::nullopt;
}

inline std::optional<std::vector<std::uint8_t>> ReadSymbolWithZbar(const ModuleMatrix& matrix,
                                                                   int scale = 3, int quiet = 4)
{
    return ReadImageWithZbar(
        DrawModules(matrix.Data(), matrix.Size(), matrix.Stride(), scale, quiet));
}
