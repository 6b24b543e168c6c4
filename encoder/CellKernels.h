#pragma once

#include <cstdint>

// The two passes over a symbol's cells that the placement of its codewords
// ends with (ISO/IEC 18004, 7.7.3). The placement runs down and up column
// pairs, so it gathers every column's modules as bits, writes each column out
// as cells along a row of the transposed grid, and turns the grid round.
namespace CellKernels {

enum class Kernel {
    Plain, // a cell at a time (the reference), or eight from a table
    Sse2,  // transposes 16 x 16 blocks in registers; expands as Plain
    Avx2,  // transposes as Sse2; expands 32 bits a step
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

// Transposes the top-left size x size cells of a row-major grid of byte cells
// in place, stride bytes a row (stride >= size >= 0): cell (i, j) and cell
// (j, i) trade places; cells past size in each row and the rows past size are
// left as they are. An unsupported kernel is taken as Plain.
void Transpose(Kernel kernel, std::uint8_t* cells, int size, int stride);

// Bits 0 .. count - 1 of the words bits (bit i in bit i % 64 of word i / 64)
// as cells of 0 and 1, bit i into cells[i]. Cells from count up to the next
// multiple of 32 may be written too (with anything); bits must hold the
// words that reach there. An unsupported kernel is taken as Plain.
void ExpandBits(Kernel kernel, const std::uint64_t* bits, int count, std::uint8_t* cells);

} // namespace CellKernels
