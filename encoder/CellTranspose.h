#pragma once

#include <cstdint>

// Transposes the top-left size x size cells of a row-major grid of byte cells
// in place: cell (i, j) and cell (j, i) trade places; cells past size in
// each row and the rows past size are left as they are.
//
// The placement of a symbol's codewords runs down and up column pairs
// (ISO/IEC 18004, 7.7.3), so it writes whole words along the columns of the
// transposed grid and turns it round afterwards, instead of writing one pair
// of cells per row of the symbol.
namespace CellTranspose {

enum class Kernel {
    Plain, // one swap per pair of cells: the reference
    Sse2,  // 16 x 16 blocks in registers, the scalar swaps for the cells past them
};

// Whether this build and CPU run kernel: Sse2 wherever the compiler targets
// SSE2, which every x86-64 processor has.
bool Supported(Kernel kernel);

// The fastest supported kernel.
Kernel Fastest();

// cells: the grid, stride bytes a row (stride >= size >= 0). Changes nothing,
// as Plain, when kernel is not supported.
void Transpose(Kernel kernel, std::uint8_t* cells, int size, int stride);

} // namespace CellTranspose
