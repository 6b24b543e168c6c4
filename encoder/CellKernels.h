#pragma once

#include <cstdint>

// The last pass of the placement of a symbol's codewords (ISO/IEC 18004,
// 7.7.3). The placement runs down and up column pairs, so it gathers the
// modules as bits by column, eight rows to a byte; this writes them out as
// the rows of cells of the symbol, many columns a step: bit t of each byte
// of a byte row is one row of cells.
namespace CellKernels {

enum class Kernel {
    Plain, // eight columns a step in 64-bit words, on any CPU
    Sse2,  // sixteen columns a step
    Avx2,  // 32 columns a step
};

// The layout of a symbol's modules as bits by column: byte k of column c
// (rows 8k .. 8k + 7, row 8k + t in bit t) at columnBytes[k * ColumnStride +
// c]; 24 bytes hold the 177 rows of the largest symbol and the placement's
// last window of rows past them.
constexpr int ColumnStride = 192;
constexpr int ColumnByteRows = 24;

// Whether this build and CPU (and its operating system) run kernel: Sse2
// wherever the compiler targets SSE2, which every x86-64 processor has.
bool Supported(Kernel kernel);

// The kernel in use: the one a test forced, else the fastest supported.
Kernel Active();

// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when this CPU cannot run it. For tests of the paths other CPUs take.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// The size x size modules (size <= 177) of columnBytes as cells of 0 and 1:
// module (r, c) into cells[r * stride + c]. A row's cells from size up to
// the next multiple of 32 may be written too (with what the column bytes
// hold there), so cells must hold size * stride + 32 bytes; rows past size
// are not written. An unsupported kernel is taken as Plain.
void ExpandColumns(Kernel kernel, const std::uint8_t* columnBytes, int size, std::uint8_t* cells,
                   int stride);

} // namespace CellKernels
