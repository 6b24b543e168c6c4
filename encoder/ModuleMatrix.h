#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

// A QR symbol as a square grid of 8-bit cells, (size + 3) x (size + 3),
// row-major from the top. Only the top-left size x size cells belong to the
// symbol; the three extra rows and columns stay 0. Since size + 3 = 4 *
// (version + 5), every row is a multiple of 4 bytes long and the buffer is at
// once the pixel array of a top-down 8-bit palettised bitmap with no row padding.
//
// While it is a template the cells are 0 = free (encoding region), 1 = dark
// function module, 2 = light or reserved function module; once finished they are
// 0 = light and 1 = dark.
class ModuleMatrix {
public:
    // size: modules per side, in [21, 177] for versions 1 to 40.
    explicit ModuleMatrix(int size)
        : size_(size), cells_(static_cast<std::size_t>(size + 3) * (size + 3), 0)
    {
        assert(size > 0);
    }

    int Size() const { return size_; }
    // Bytes per row, size + 3.
    int Stride() const { return size_ + 3; }

    std::uint8_t& At(int row, int column)
    {
        assert(row >= 0 && row < Stride() && column >= 0 && column < Stride());
        return cells_[static_cast<std::size_t>(row) * Stride() + column];
    }
    std::uint8_t At(int row, int column) const
    {
        assert(row >= 0 && row < Stride() && column >= 0 && column < Stride());
        return cells_[static_cast<std::size_t>(row) * Stride() + column];
    }
    // True for a dark module of the finished symbol.
    bool IsDark(int row, int column) const { return At(row, column) == 1; }

    std::uint8_t* Data() { return cells_.data(); }
    const std::uint8_t* Data() const { return cells_.data(); }

    bool operator==(const ModuleMatrix&) const = default;

private:
    int size_;
    std::vector<std::uint8_t> cells_;
};
