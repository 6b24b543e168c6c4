#pragma once

#include <cstdint>

// The two passes that the placement of a symbol's codewords ends with
// (ISO/IEC 18004, 7.7.3). The placement runs down and up column pairs, so it
// gathers the modules as bits by column; these turn them into bits by row
// and write each row out as cells.
namespace CellKernels {

enum class Kernel {
    Plain, // a bit at a time (the reference); eight cells from a table
    Sse2,  // sixteen columns' bits a step (PMOVMSKB); expands as Plain
    Avx2,  // transposes as Sse2; expands 32 cells a step
};

// Whether this build and CPU (and its operating system) run kernel: Sse2
// wherever the compiler targets SSE2, which every x86-64 processor has.
bool Supported(Kernel kernel);

// The kernel in use: the one a test forced, else the fastest supported.
Kernel Active();

// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when this CPU cannot run it. For tests of the paths other CPUs take.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// The layout of a symbol's modules as bits by column, the placement's: byte
// k of column c (rows 8k .. 8k + 7, row 8k + t in bit t) at
// columnBytes[k * ColumnStride + c]; 24 bytes hold the 177 rows of the
// largest symbol and the placement's last window of rows past them.
constexpr int ColumnStride = 192;
constexpr int ColumnByteRows = 24;
// The layout of the same bits by row: row r's modules, column c in bit c % 64
// of word r * 3 + c / 64, for rows 0 .. 183 (whole bytes of rows).
constexpr int RowWords = 3;
constexpr int BitRows = 184;

// The bits of the size x size modules (size <= 177) from the column layout
// into the row layout: every word of the rows 0 .. size - 1 that holds one
// of their modules, its bits past size what the column layout holds there.
// The rows from size to the next multiple of 8 may be written too.
void TransposeBits(Kernel kernel, const std::uint8_t* columnBytes, int size, std::uint64_t* rowWords);

// The rows of the row layout as rows of cells of 0 and 1: module (r, c) of
// the size x size modules into cells[r * stride + c]. The cells of a row from
// size up to the next multiple of 32 may be written too (with anything), so
// cells must hold size * stride + 32 bytes. An unsupported kernel is taken as
// Plain.
void ExpandRows(Kernel kernel, const std::uint64_t* rowWords, int size, std::uint8_t* cells,
                int stride);

} // namespace CellKernels
