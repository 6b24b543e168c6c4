#pragma once

// A finished symbol drawn as the greyscale image a camera would see: scale
// pixels per module, a light quiet zone of quiet modules (4 is the standard's
// minimum), 0 for dark and 255 for light, rows from the top.

#include <cstdint>
#include <vector>

#include "ModuleMatrix.h"

struct SymbolImage {
    int side = 0;
    std::vector<std::uint8_t> pixels;
};

inline SymbolImage DrawSymbol(const ModuleMatrix& matrix, int scale, int quiet)
{
    const int size = matrix.Size();
    SymbolImage image{(size + 2 * quiet) * scale, {}};
    image.pixels.assign(static_cast<std::size_t>(image.side) * image.side, 0xFF);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            if (matrix.IsDark(r, c))
                for (int y = 0; y < scale; ++y)
                    for (int x = 0; x < scale; ++x)
                        image
                            .pixels[static_cast<std::size_t>((quiet + r) * scale + y) * image.side +
                                    (quiet + c) * scale + x] = 0;
    return image;
}
