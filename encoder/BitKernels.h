#pragma once

#include <cstdint>

// Scattering bits of a 64-bit word along a mask and gathering its even bits,
// what BMI2's PDEP and PEXT do, for the placement of codeword bits
// along the symbol's column pairs. BMI2 does each in one instruction; the
// plain kernels do the same with table lookups and shifts, on any CPU. On
// AMD processors before Zen 3 PDEP and PEXT are microcoded and far slower
// than the plain kernels, so those keep the plain ones.
namespace BitKernels {

enum class Kernel { Plain, Bmi2 };

// Whether this CPU can run kernel.
bool Supported(Kernel kernel);

// The kernel the placement uses: the one a test forced, else BMI2 where it
// is supported and fast, else plain.
Kernel Active();

// Makes Active() answer kernel until UseFastestKernel(); false, changing
// nothing, when this CPU cannot run it. For tests of the paths other CPUs take.
bool ForceKernel(Kernel kernel);
void UseFastestKernel();

// The low bits of source, one for each set bit of mask, into the set bits
// of mask, lowest to lowest; the other bits 0 (PDEP).
std::uint64_t DepositPlain(std::uint64_t source, std::uint64_t mask);

// The even bits of source (0, 2, .. 62) packed into the low 32 bits: PEXT
// with 0x5555555555555555, by halving the gaps five times.
constexpr std::uint64_t ExtractEvenPlain(std::uint64_t x)
{
    x &= 0x5555555555555555ull;
    x = (x | x >> 1) & 0x3333333333333333ull;
    x = (x | x >> 2) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | x >> 4) & 0x00FF00FF00FF00FFull;
    x = (x | x >> 8) & 0x0000FFFF0000FFFFull;
    return (x | x >> 16) & 0x00000000FFFFFFFFull;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The instructions themselves, written as assembly so that they can be
// inlined into code built for any x86-64; only call them where
// Supported(Kernel::Bmi2).
inline std::uint64_t DepositBmi2(std::uint64_t source, std::uint64_t mask)
{
    std::uint64_t result;
    asm("pdep %2, %1, %0" : "=r"(result) : "r"(source), "rm"(mask));
    return result;
}
// The bits of source at the set bits of mask, packed into the low bits,
// lowest to lowest.
inline std::uint64_t ExtractBmi2(std::uint64_t source, std::uint64_t mask)
{
    std::uint64_t result;
    asm("pext %2, %1, %0" : "=r"(result) : "r"(source), "rm"(mask));
    return result;
}
#define VEMORA_HAS_BMI2_KERNEL 1
#endif

} // namespace BitKernels
