#pragma once

// A second independent reader: zbar, asked for the raw bytes of the symbol
// (binary mode, no character-set conversion).

#include <zbar.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "ModuleMatrix.h"

inline std::optional<std::vector<std::uint8_t>> ReadSymbolWithZbar(const ModuleMatrix& matrix, int scale = 3, int quiet = 4)
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

    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::Image image(static_cast<unsigned>(side), static_cast<unsigned>(side), "Y800", pixels.data(), pixels.size());
    if (scanner.scan(image) <= 0) return std::nullopt;
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol) {
        const std::string data = symbol->get_data();
        return std::vector<std::uint8_t>(data.begin(), data.end());
    }
    return std::nullopt;
}
