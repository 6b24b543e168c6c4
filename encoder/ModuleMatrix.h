#pragma once

#include <cassert>
#include <cstdint>
#include <memory>
#include <new>
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
    // The tag of the constructor that leaves the cells unset.
    struct UnsetCells {};

    // size: modules per side, in [21, 177] for versions 1 to 40. Every cell 0.
    explicit ModuleMatrix(int size)
        : size_(size), cells_(static_cast<std::size_t>(size + 3) * (size + 3), 0)
    {
        assert(size > 0);
    }
    // The same grid with its cells unset, for a writer that sets every one of
    // them (the extra rows and columns included) and would otherwise clear
    // the grid only to overwrite it.
    ModuleMatrix(int size, UnsetCells) : size_(size), cells_(static_cast<std::size_t>(size + 3) * (size + 3))
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
    // Makes a vector's new elements without a value (default-initialised),
    // so that a vector of n bytes is not cleared when it is made; elements
    // made from a value (the clearing constructor's) go through the default
    // construction of std::allocator_traits.
    template <typename T>
    struct UnsetAllocator : std::allocator<T> {
        UnsetAllocator() = default;
        template <typename U>
        UnsetAllocator(const UnsetAllocator<U>&) noexcept
        {
        }
        template <typename U>
        void construct(U* p) noexcept
        {
            ::new (static_cast<void*>(p)) U;
        }
    };

    int size_;
    std::vector<std::uint8_t, UnsetAllocator<std::uint8_t>> cells_;
};
