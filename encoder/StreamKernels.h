#pragma once

#include <cstdint>

// The kernels of the packed data bit stream (ISO/IEC 18004, 7.4): the
// fields of long numeric runs, and the bytes of a byte segment at the
// stream's bit offset.
//
// Digits go four groups of three at a time (12 digits, 40 bits). The plain
// kernel computes each group as 100a + 10b + c; the SSSE3 kernel lays the
// twelve digits of a 16-byte vector out as four groups of four bytes with one
// PSHUFB and then forms 10a + b and c with PMADDUBSW, the groups with
// PMADDWD, and pairs of groups as 1024g + g' with PMADDWD again; the AVX2
// kernel does the same for 24 digits a step. Byte segments: every stream byte
// after a segment's first is the low bits of one message byte and the high
// bits of the next; the plain kernel makes seven of them from one 64-bit
// word, the vector kernels 16 (SSE2) or 32 (AVX2) with two loads, two shifts
// and two masks.
namespace StreamKernels {

enum class Kernel { Plain, Ssse3, Avx2 };

// Whether this build, CPU and operating system can run kernel.
bool Supported(Kernel kernel);
// The kernel a test forced, else the fastest supported one.
Kernel Active();
// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when it is not supported. For tests of every path.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// The digits of one numeric field of 40 bits: four groups of three.
constexpr int DigitsPerField = 12;
// Bytes a kernel may read past the digits it packs.
constexpr int DigitsReadAhead = 4;

// Fields fields[0 .. count - 1], each the 40 bits of twelve digits of
// digits[12 f ..] ('0'..'9'), the first group highest; reads
// digits[0 .. 12 * count + DigitsReadAhead - 1].
void PackDigits(Kernel kernel, const std::uint8_t* digits, int count, std::uint64_t* fields);

// The stream bytes between bytes[0 .. count-1] at a bit offset of offset
// (0..7): out[k] = bytes[k] << (8 - offset) | bytes[k + 1] >> offset, for
// k in 0 .. count - 2. Reads bytes[0 .. count - 1] only; writes out[0 ..
// count - 2] only. count >= 1.
void ShiftBytes(Kernel kernel, const std::uint8_t* bytes, int count, int offset, std::uint8_t* out);

} // namespace StreamKernels
