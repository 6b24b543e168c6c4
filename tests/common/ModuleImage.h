// A module grid drawn as the greyscale image a camera would see, the input of
// the real decoders (ZXing-cpp, zbar) that read our symbols back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// side x side pixels, one byte each, 0 black .. 255 white, rows from the top.
struct ModuleImage {
    int side = 0;
    std::vector<std::uint8_t> pixels;
};

// cells: size x size modules, row-major, rows stride bytes apart, nonzero =
// dark. Drawn black on white at scale pixels per module inside a light quiet
// zone of quiet modules (4 is the minimum of ISO/IEC 18004, 6.3.8).
inline ModuleImage DrawModules(const std::uint8_t* cells, int size, int stride, int scale,
                               int quiet)
{
    ModuleImage image{(size + 2 * quiet) * scale, {}};
    image.pixels.assign(static_cast<std::size_t>(image.side) * image.side, 0xFF);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            if (cells[static_cast<std::size_t>(row) * stride + column] == 0) continue;
            const int y0 = (row + quiet) * scale;
            const int x0 = (column + quiet) * scale;
            for (int y = y0; y < y0 + scale; ++y)
                std::fill_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.side + x0,
                            scale, std::uint8_t{0});
        }
    }
    return image;
}
